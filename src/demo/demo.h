#pragma once
// Demo description files (".demo.ini"): the parts of a show with their scenes, music, camera
// shaders and faders, read into plain records, and the loading of everything they name in a
// fixed order. Main thread only.
#include "demo/demo_services.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr int kGvDemoMaxParts = 64;
constexpr int kGvDemoMaxExtras = 15;
constexpr int kGvDemoMaxShaders = 10;
constexpr int kGvDemoMaxFaders = 20;
constexpr int kGvDemoEntryNumbers = 20;          // N of extra.N, shader.N and fader.N runs 0 to 19
constexpr std::size_t kGvDemoTextMax = 127;      // directories, file names, music, shader names
constexpr std::size_t kGvDemoPartNameMax = 39;   // the section name
constexpr int kGvDemoMaxPackageDirectories = 255;
constexpr std::int32_t kGvDemoNone = -1;

struct SGvDemoExtra {
  std::string directory;
  std::string filename;
  std::int32_t time = 0;
  std::int32_t length = 0;
  bool reuseObjects = false;
  bool flushObjects = false;
  SGvDemoSceneNumbers numbers;  // set while loading
  bool active = false;
};

struct SGvDemoShader {
  std::string name;
  std::int32_t time = 0;
  std::int32_t length = 0;
  std::int32_t cameraEffect = kGvDemoNone;  // none: never shown
  bool active = false;
  bool done = false;
};

struct SGvDemoFader {
  std::int32_t time = 0;
  std::int32_t length = 1000;
  std::int32_t fadeLength = 1000;
  std::uint32_t color = 0;  // 0xRRGGBB
  bool fadeOut = true;
  bool active = false;
  bool done = false;
};

struct SGvDemoPart {
  std::string name;  // the section name
  std::int32_t time = kGvDemoNone;
  std::int32_t timeReset = 0;
  std::int32_t baseTime = 0;  // 0 after a clock reset, else time
  std::string music;
  std::string directory;
  std::string filename;
  float nearPlane = 0.1f;
  float farPlane = 1000.0f;
  bool reuseObjects = false;
  bool flushObjects = false;
  // Set while loading.
  std::int32_t musicNumber = kGvDemoNone;
  SGvDemoSceneNumbers numbers;
  SGvDemoSceneAudio sceneAudio;
  std::vector<SGvDemoExtra> extras;
  std::vector<SGvDemoShader> shaders;
  std::vector<SGvDemoFader> faders;
};

struct SGvDemo {
  std::string musicDirectory;
  std::string paletteDirectory;  // accepted; palettes have no effect
  std::string shadersDirectory;
  std::vector<SGvDemoPart> parts;
  std::vector<std::int32_t> cameraEffects;  // loaded for the parts' shaders
};

// Reads the file (through the file layer) into the record; 0 or -1 with the failure reported.
int gvDemoRead(SGvDemo& demo, const std::string& path);

// Reads and loads a demo: the parts' scenes, the part timing, the music, the camera shaders,
// through `services`, numbering from `counters`, which the load advances. 0 on success, 1
// when the user abandoned the load, -1 on failure; a load that does not succeed frees what it
// loaded.
int gvDemoLoad(SGvDemo& demo, const std::string& path, SGvDemoCounters& counters, IGvDemoServices& services);

// Stops and frees the music, frees the scenes of the parts and extras and the camera effects.
// Freeing twice does nothing more.
void gvDemoFree(SGvDemo& demo, IGvDemoServices& services);

// The scene directories a package of the demo carries: every part's and extra's directory,
// empty ones skipped, later duplicates (compared without case) removed. Nothing, with
// "Reached max directories" reported, when there are more than 255.
std::optional<std::vector<std::string>> gvDemoPackageDirectories(const SGvDemo& demo);
