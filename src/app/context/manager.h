#pragma once
// The engine manager: owns the engine's own services (shader programs, effects, renderer,
// textures, scene extensions) beside the Irrlicht device. Each service joins it when its
// subsystem exists; the manager builds them in dependency order and destroys them in
// reverse.
#include <irrlicht.h>

#include <memory>

#include "effects/shaders/gpu_programming_services.h"

class IGvManager {
 public:
  virtual ~IGvManager() = default;
  virtual gv::IGvGPUProgrammingServices* getGPUProgrammingServices() = 0;
  // The driver is about to reset its device; resources living on the device must let go.
  virtual void onDeviceReset(void* argument) = 0;
};

class CGvManager final : public IGvManager {
 public:
  explicit CGvManager(irr::IrrlichtDevice* device);
  gv::IGvGPUProgrammingServices* getGPUProgrammingServices() override { return gpu_.get(); }
  void onDeviceReset(void* argument) override;

 private:
  std::unique_ptr<gv::CGvGPUProgrammingServices> gpu_;
};
