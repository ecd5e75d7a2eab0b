#pragma once
// What loading a demo asks of the rest of the engine: the scene loader, the music, the camera
// effects and the loading screen, behind one narrow interface so that the demo depends on
// none of them directly and tests can record the loading order.
#include <cstdint>
#include <functional>
#include <string>

// The next free number of each entity table; a load advances them.
struct SGvDemoCounters {
  std::int32_t scenes = 0;
  std::int32_t objects = 1;
  std::int32_t lights = 0;
  std::int32_t emitters = 0;
  std::int32_t cubeMaps = 0;
  std::int32_t cameraEffects = 0;
  std::int32_t renderers = 0;
  std::int32_t effects = 0;
  std::int32_t palettes = 1;
  std::int32_t music = 1;
};

// The numbers a loaded scene took: its slot and the first number of each kind of entity.
struct SGvDemoSceneNumbers {
  std::int32_t scene = -1;
  std::int32_t firstObject = -1;
  std::int32_t firstLight = -1;
  std::int32_t firstEmitter = -1;
  std::int32_t firstCubeMap = -1;
};

// The music a scene names and where the music starts against the scene's first frame.
struct SGvDemoSceneAudio {
  std::string loadAudio;  // empty: the scene names no music
  float frameStart = 0.0f;
  float framesPerSecond = 0.0f;
  float audioStartTime = 0.0f;  // seconds
};

struct SGvDemoSceneRequest {
  std::string file;       // relative to `directory`
  std::string directory;  // the file layer's current directory while the scene loads
  bool instanceObjects = false;
  bool createLights = true;  // extras share their part's lights
  SGvDemoCounters first;     // the numbers the scene starts from
  // Called with the scene's percent loaded; false abandons the load. Empty for extras.
  std::function<bool(int percent)> progress;
};

struct SGvDemoSceneResult {
  int status = -1;  // 0 loaded, -1 failed, 1 abandoned
  // How many numbers of each table the scene used.
  std::int32_t objects = 0;
  std::int32_t lights = 0;
  std::int32_t emitters = 0;
  std::int32_t cubeMaps = 0;
  std::int32_t postPasses = 0;  // camera effects
  std::int32_t renderers = 0;   // 0 or 1
  std::int32_t effects = 0;
  SGvDemoSceneAudio audio;
};

class IGvDemoServices {
 public:
  virtual ~IGvDemoServices() = default;
  // Before the first scene: objects that cannot be loaded are reported from now on, and the
  // loading screen shows 0 %.
  virtual void beginLoading() = 0;
  // The loading screen at `percent`; false when the user asked to stop (window closed, Escape).
  virtual bool showProgress(int percent) = 0;
  virtual void endLoading() = 0;

  virtual SGvDemoSceneResult loadScene(const SGvDemoSceneRequest& request) = 0;
  virtual void freeScene(std::int32_t scene) = 0;
  virtual int loadMusic(const std::string& path, std::int32_t id) = 0;
  // Stops the music when it plays.
  virtual void deleteMusic(std::int32_t id) = 0;
  virtual int loadCameraEffect(const std::string& path, std::int32_t id) = 0;
  virtual void deleteCameraEffect(std::int32_t id) = 0;
};
