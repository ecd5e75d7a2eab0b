#pragma once
// The engine manager: owns the engine's own services (shader programs, effects, renderer,
// textures, scene extensions) beside the Irrlicht device. Each service joins it when its
// subsystem exists; the manager builds them in dependency order and destroys them in
// reverse.

class IGvManager {
 public:
  virtual ~IGvManager() = default;
  // The driver is about to reset its device; resources living on the device must let go.
  virtual void onDeviceReset(void* argument) = 0;
};

class CGvManager final : public IGvManager {
 public:
  void onDeviceReset(void* argument) override;
};
