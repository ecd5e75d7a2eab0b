#include "demo/engine_demo_services.h"

#include "app/log/log.h"
#include "script/music/music.h"

namespace {

class EngineDemoServices final : public IGvDemoServices {
 public:
  void beginLoading() override { gvLog(GVLOG_INFO, "The loading screen is not available in this build"); }
  bool showProgress(int) override { return true; }
  void endLoading() override {}

  SGvDemoSceneResult loadScene(const SGvDemoSceneRequest& request) override {
    gvLog(GVLOG_ERROR, "%s: scene loading is not available in this build", request.file.c_str());
    return SGvDemoSceneResult();
  }
  void freeScene(std::int32_t) override {}

  int loadMusic(const std::string& path, std::int32_t id) override { return gv::loadMusic(path, id); }
  void deleteMusic(std::int32_t id) override { gv::deleteMusic(id); }

  int loadCameraEffect(const std::string& path, std::int32_t) override {
    gvLog(GVLOG_ERROR, "%s: camera effects are not available in this build", path.c_str());
    return -1;
  }
  void deleteCameraEffect(std::int32_t) override {}
};

}  // namespace

IGvDemoServices& gvEngineDemoServices() {
  static EngineDemoServices services;
  return services;
}
