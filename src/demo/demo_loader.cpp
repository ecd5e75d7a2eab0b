// Loading what a demo names, in a fixed order: scenes, part timing, music, camera shaders.
#include "demo/demo.h"

#include "app/log/log.h"
#include "resources/files/files.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

// `second` under `first`; no separator is added after one that ends the first, and an empty
// first leaves the second alone (it must not become a path from the root).
std::string joinPath(const std::string& first, const std::string& second) {
  if (first.empty()) return second;
  char last = first.back();
  return last == '/' || last == '\\' || last == ':' ? first + second : first + "/" + second;
}

// The music a scene names, as the demo's music files are named: its base name with ".mp3".
std::string sceneMusic(const SGvDemoSceneAudio& audio) {
  std::string name = audio.loadAudio;
  std::size_t separator = name.find_last_of("/\\:");
  if (separator != std::string::npos) name.erase(0, separator + 1);
  std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name + ".mp3";
}

// Where the music starts against the part's clock, in milliseconds.
std::int32_t sceneAudioOffset(const SGvDemoSceneAudio& audio) {
  double start = audio.framesPerSecond > 0.0f ? audio.frameStart / audio.framesPerSecond : 0.0;
  return static_cast<std::int32_t>((start - audio.audioStartTime) * 1000.0);
}

void resetNumbers(SGvDemo& demo) {
  for (SGvDemoPart& part : demo.parts) {
    part.musicNumber = kGvDemoNone;
    part.numbers = SGvDemoSceneNumbers();
    for (SGvDemoExtra& extra : part.extras) extra.numbers = SGvDemoSceneNumbers();
    for (SGvDemoShader& shader : part.shaders) shader.cameraEffect = kGvDemoNone;
  }
  demo.cameraEffects.clear();
}

class DemoLoader {
 public:
  DemoLoader(SGvDemo& demo, const std::string& path, SGvDemoCounters& counters, IGvDemoServices& services)
      : demo_(demo), directory_(gv::directoryPart(path)), counters_(counters), services_(services) {}

  int load() {
    resetNumbers(demo_);
    services_.beginLoading();
    gv::setDirectory(directory_);
    int result = loadScenes();
    if (result == 0) result = applyPartTiming();
    gv::setDirectory(directory_);
    if (result == 0) result = loadMusic();
    if (result == 0) loadShaders();
    services_.endLoading();
    return result;
  }

 private:
  int loadScenes() {
    const int parts = static_cast<int>(demo_.parts.size());
    for (int index = 0; index < parts; ++index) {
      SGvDemoPart& part = demo_.parts[index];
      if (part.filename.empty()) continue;
      auto progress = [&](int percent) {
        return services_.showProgress((index * 1000 + percent * 10) * 100 / (parts * 1000));
      };
      int status = loadScene(part.directory, part.filename, part.reuseObjects, true, progress, part.numbers,
                             &part.sceneAudio);
      if (status == 1) return 1;
      if (status != 0) {
        gvLogError("Fail to load scene %s", part.filename.c_str());
        return -1;
      }
      for (std::size_t e = 0; e < part.extras.size(); ++e) {
        SGvDemoExtra& extra = part.extras[e];
        if (loadScene(extra.directory, extra.filename, extra.reuseObjects, false, nullptr, extra.numbers, nullptr) != 0) {
          gvLogError("Fail to load in scene %s the extra id=%d %s", part.filename.c_str(), static_cast<int>(e),
                     extra.filename.c_str());
          return -1;
        }
      }
    }
    return 0;
  }

  int loadScene(const std::string& directory, const std::string& file, bool instance, bool lights,
                std::function<bool(int)> progress, SGvDemoSceneNumbers& numbers, SGvDemoSceneAudio* audio) {
    SGvDemoSceneRequest request;
    request.file = file;
    request.directory = joinPath(directory_, directory);
    request.instanceObjects = instance;
    request.createLights = lights;
    request.first = counters_;
    request.progress = std::move(progress);
    gv::setDirectory(request.directory);
    SGvDemoSceneResult result = services_.loadScene(request);
    if (result.status != 0) return result.status;
    numbers = {counters_.scenes, counters_.objects, counters_.lights, counters_.emitters, counters_.cubeMaps};
    if (audio) *audio = result.audio;
    counters_.scenes += 1;
    counters_.objects += result.objects;
    counters_.lights += result.lights;
    counters_.emitters += result.emitters;
    counters_.cubeMaps += result.cubeMaps;
    counters_.cameraEffects += result.postPasses;
    counters_.renderers += result.renderers;
    counters_.effects += result.effects;
    return 0;
  }

  // The nearest earlier part with music; nullptr when there is none or when a clock reset
  // lies between (reported).
  const SGvDemoPart* previousMusicPart(std::size_t index, bool& failed) const {
    for (std::size_t i = index; i-- > 0;) {
      const SGvDemoPart& earlier = demo_.parts[i];
      if (!earlier.music.empty()) return &earlier;
      if (earlier.timeReset != 0) {
        gvLogError("Part %s: timereset no supported before a part that has a music within the scene",
                   demo_.parts[index].name.c_str());
        failed = true;
        return nullptr;
      }
    }
    return nullptr;
  }

  int applyPartTiming() {
    for (std::size_t index = 0; index < demo_.parts.size(); ++index)
      if (timePart(index) != 0) return -1;
    return 0;
  }

  int timePart(std::size_t index) {
    SGvDemoPart& part = demo_.parts[index];
    const char* name = part.name.c_str();
    const bool sceneHasMusic = !part.sceneAudio.loadAudio.empty();
    if (part.time == kGvDemoNone) {
      if (!part.music.empty()) {
        gvLogError("Part %s: no time, but music specified in the part, impossible to determine time begin of the part", name);
        return -1;
      }
      if (!sceneHasMusic) {
        gvLogError("Part %s: no time, and no music specified in scene, impossible to determine time begin of the part", name);
        return -1;
      }
      bool failed = false;
      const SGvDemoPart* previous = previousMusicPart(index, failed);
      if (failed) return -1;
      if (!previous) {
        gvLogError("Part %s: when no time in part and a music in the scene, there must be a music before", name);
        return -1;
      }
      if (previous->music != sceneMusic(part.sceneAudio)) {
        gvLogError("Part %s: when no time in part, the music in the scene must be the same than the previous music", name);
        return -1;
      }
      part.time = part.baseTime = previous->baseTime + sceneAudioOffset(part.sceneAudio);
      return 0;
    }
    if (!part.music.empty() || !sceneHasMusic) return 0;
    bool failed = false;
    const SGvDemoPart* previous = previousMusicPart(index, failed);
    if (failed) return -1;
    std::string music = sceneMusic(part.sceneAudio);
    if (previous && previous->music == music) {
      gvLogError("Part %s: music within the scene, with a time in the part :the music must not be the same music than previous", name);
      return -1;
    }
    if (sceneAudioOffset(part.sceneAudio) != 0) {
      gvLogError("Part %s: music within the scene, with a time in the part :the music offset within the scene must be zero", name);
      return -1;
    }
    part.music = music;
    return 0;
  }

  int loadMusic() {
    for (SGvDemoPart& part : demo_.parts) {
      if (part.music.empty()) continue;
      std::int32_t id = counters_.music++;
      if (services_.loadMusic(joinPath(demo_.musicDirectory, part.music), id) != 0) {
        gvLogError("Fail to load music %s", part.music.c_str());
        return -1;
      }
      part.musicNumber = id;
    }
    return 0;
  }

  // A shader that fails leaves every part shader without a number (never shown); the demo
  // still plays.
  void loadShaders() {
    std::vector<std::string> names;
    for (const SGvDemoPart& part : demo_.parts)
      for (const SGvDemoShader& shader : part.shaders)
        if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return sameIgnoringCase(n, shader.name); }))
          names.push_back(shader.name);
    std::vector<std::int32_t> numbers;
    for (const std::string& name : names) {
      std::int32_t id = counters_.cameraEffects++;
      std::string path = joinPath(demo_.shadersDirectory, name);
      if (services_.loadCameraEffect(path, id) != 0) {
        gvLogError("Failed to load shader %s", path.c_str());
        return;
      }
      demo_.cameraEffects.push_back(id);
      numbers.push_back(id);
    }
    for (SGvDemoPart& part : demo_.parts)
      for (SGvDemoShader& shader : part.shaders)
        for (std::size_t i = 0; i < names.size(); ++i)
          if (sameIgnoringCase(names[i], shader.name)) shader.cameraEffect = numbers[i];
  }

  SGvDemo& demo_;
  std::string directory_;
  SGvDemoCounters& counters_;
  IGvDemoServices& services_;
};

}  // namespace

int gvDemoLoad(SGvDemo& demo, const std::string& path, SGvDemoCounters& counters, IGvDemoServices& services) {
  if (gvDemoRead(demo, path) != 0) return -1;
  int result = DemoLoader(demo, path, counters, services).load();
  if (result != 0) gvDemoFree(demo, services);
  return result;
}

void gvDemoFree(SGvDemo& demo, IGvDemoServices& services) {
  for (SGvDemoPart& part : demo.parts) {
    if (part.musicNumber != kGvDemoNone) services.deleteMusic(part.musicNumber);
    if (part.numbers.scene != kGvDemoNone) services.freeScene(part.numbers.scene);
    for (SGvDemoExtra& extra : part.extras)
      if (extra.numbers.scene != kGvDemoNone) services.freeScene(extra.numbers.scene);
  }
  for (std::int32_t id : demo.cameraEffects) services.deleteCameraEffect(id);
  resetNumbers(demo);
}

std::optional<std::vector<std::string>> gvDemoPackageDirectories(const SGvDemo& demo) {
  std::vector<std::string> directories;
  auto collect = [&](const std::string& directory) {
    if (directory.empty() ||
        std::any_of(directories.begin(), directories.end(), [&](const std::string& d) { return sameIgnoringCase(d, directory); }))
      return true;
    if (directories.size() == kGvDemoMaxPackageDirectories) {
      gvLogError("Reached max directories");
      return false;
    }
    directories.push_back(directory);
    return true;
  };
  for (const SGvDemoPart& part : demo.parts) {
    if (!collect(part.directory)) return std::nullopt;
    for (const SGvDemoExtra& extra : part.extras)
      if (!collect(extra.directory)) return std::nullopt;
  }
  return directories;
}
