// Loading a demo: the order of the steps, the numbering, the part timing and freeing.
#include "demo/demo.h"

#include "demo_fixture.h"

#include <algorithm>
#include <map>

namespace {

using gv::test::DemoTest;
using gv::test::demoBoxes;

// Records every call in order; scenes answer from a table keyed by file name.
class RecordingServices : public IGvDemoServices {
 public:
  void beginLoading() override { calls.push_back("begin"); }
  bool showProgress(int percent) override {
    calls.push_back("progress " + std::to_string(percent));
    return percent < abandonAt;
  }
  void endLoading() override { calls.push_back("end"); }
  SGvDemoSceneResult loadScene(const SGvDemoSceneRequest& request) override {
    calls.push_back("scene " + request.directory + "|" + request.file + (request.instanceObjects ? " instance" : "") +
                    (request.createLights ? " lights" : "") + " from " + std::to_string(request.first.scenes) + "/" +
                    std::to_string(request.first.objects) + " dir=" + gv::getDirectory());
    if (request.progress && !request.progress(50)) return abandoned();
    auto found = scenes.find(request.file);
    if (found != scenes.end()) return found->second;
    SGvDemoSceneResult result;
    result.status = 0;
    result.objects = 3;
    result.lights = 2;
    result.postPasses = 1;
    result.renderers = 1;
    return result;
  }
  void freeScene(std::int32_t scene) override { calls.push_back("free scene " + std::to_string(scene)); }
  int loadMusic(const std::string& path, std::int32_t id) override {
    calls.push_back("music " + path + " #" + std::to_string(id) + " dir=" + gv::getDirectory());
    return path.find("bad") == std::string::npos ? 0 : -1;
  }
  void deleteMusic(std::int32_t id) override { calls.push_back("delete music " + std::to_string(id)); }
  int loadCameraEffect(const std::string& path, std::int32_t id) override {
    calls.push_back("camera effect " + path + " #" + std::to_string(id));
    return path.find("bad") == std::string::npos ? 0 : -1;
  }
  void deleteCameraEffect(std::int32_t id) override { calls.push_back("delete camera effect " + std::to_string(id)); }

  static SGvDemoSceneResult withAudio(const char* loadAudio, float frameStart, float fps, float audioStart) {
    SGvDemoSceneResult result;
    result.status = 0;
    result.objects = 1;
    result.audio = {loadAudio, frameStart, fps, audioStart};
    return result;
  }
  static SGvDemoSceneResult failed() { return SGvDemoSceneResult(); }
  static SGvDemoSceneResult abandoned() {
    SGvDemoSceneResult result;
    result.status = 1;
    return result;
  }

  std::vector<std::string> calls;
  std::map<std::string, SGvDemoSceneResult> scenes;
  int abandonAt = 1000;
};

class DemoLoadTest : public DemoTest {
 protected:
  int load(const std::string& text) {
    std::string path = writeDemo(text);
    demoDirectory = dir.file("demo/");
    return gvDemoLoad(demo, path, counters, services);
  }
  std::vector<std::string> callsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : services.calls)
      if (call.rfind(prefix, 0) == 0) found.push_back(call);
    return found;
  }

  SGvDemo demo;
  SGvDemoCounters counters;
  RecordingServices services;
  std::string demoDirectory;
};

TEST_F(DemoLoadTest, StepsRunInTheirFixedOrderAndNumbersAdvance) {
  ASSERT_EQ(load("[setup]\nmusicdirectory=music\nshadersdirectory=fx\n"
                 "[part1]\ntime=0\nmusic=one.mp3\ndirectory=scenes/\nfilename=city.gscn\nreuseobjects=1\n"
                 "extra.4.directory=ships\nextra.4.filename=ship.gscn\nextra.4.reuseobjects=1\n"
                 "shader.0.name=Glow.fx\nshader.1.name=blur.fx\n"
                 "[part2]\ntime=5000\nmusic=two.mp3\n"
                 "[part3]\ntime=9000\ndirectory=sea\nfilename=sea.gscn\nshader.0.name=glow.fx\n"),
            0)
      << lastBox();
  const std::string d = demoDirectory;
  std::vector<std::string> expected = {
      "begin",
      "scene " + d + "scenes/|city.gscn instance lights from 0/1 dir=" + d + "scenes/",
      "progress 16",  // (0 * 1000 + 50 * 10) * 100 / 3000
      "scene " + d + "ships|ship.gscn instance from 1/4 dir=" + d + "ships",
      "scene " + d + "sea|sea.gscn lights from 2/7 dir=" + d + "sea",
      "progress 83",  // (2 * 1000 + 500) * 100 / 3000
      "music music/one.mp3 #1 dir=" + d,
      "music music/two.mp3 #2 dir=" + d,
      // Camera effects number after the scenes' post-processing passes; glow.fx is Glow.fx.
      "camera effect fx/Glow.fx #3",
      "camera effect fx/blur.fx #4",
      "end",
  };
  EXPECT_EQ(services.calls, expected);
  const SGvDemoPart& first = demo.parts[0];
  EXPECT_EQ(first.numbers.scene, 0);
  EXPECT_EQ(first.numbers.firstObject, 1);
  EXPECT_EQ(first.numbers.firstLight, 0);
  EXPECT_EQ(first.extras[0].numbers.scene, 1);
  EXPECT_EQ(first.extras[0].numbers.firstObject, 4);
  EXPECT_EQ(demo.parts[2].numbers.scene, 2);
  EXPECT_EQ(demo.parts[2].numbers.firstLight, 4);
  EXPECT_EQ(first.musicNumber, 1);
  EXPECT_EQ(demo.parts[1].musicNumber, 2);
  EXPECT_EQ(demo.parts[2].musicNumber, kGvDemoNone);
  EXPECT_EQ(first.shaders[0].cameraEffect, 3);
  EXPECT_EQ(first.shaders[1].cameraEffect, 4);
  EXPECT_EQ(demo.parts[2].shaders[0].cameraEffect, 3);
  EXPECT_EQ(counters.scenes, 3);
  EXPECT_EQ(counters.objects, 10);
  EXPECT_EQ(counters.lights, 6);
  EXPECT_EQ(counters.cameraEffects, 5);
  EXPECT_EQ(counters.renderers, 3);
  EXPECT_EQ(counters.music, 3);

  services.calls.clear();
  gvDemoFree(demo, services);
  expected = {"delete music 1", "free scene 0", "free scene 1", "delete music 2", "free scene 2",
              "delete camera effect 3", "delete camera effect 4"};
  EXPECT_EQ(services.calls, expected);
  services.calls.clear();
  gvDemoFree(demo, services);
  EXPECT_TRUE(services.calls.empty()) << "freeing twice does nothing more";
}

TEST_F(DemoLoadTest, AFailedLoadFreesWhatItLoaded) {
  services.scenes["broken.gscn"] = RecordingServices::failed();
  struct Case {
    const char* what;
    std::string text;
    const char* says;
    std::vector<std::string> freed;
  } cases[] = {
      {"scene", "[p1part]\ntime=0\nfilename=a.gscn\n[part2]\ntime=1\nfilename=broken.gscn\n",
       "Fail to load scene broken.gscn", {"free scene 0"}},
      {"extra",
       "[part1]\ntime=0\nfilename=a.gscn\nextra.2.directory=x\nextra.2.filename=ok.gscn\n"
       "extra.6.directory=x\nextra.6.filename=broken.gscn\n",
       "Fail to load in scene a.gscn the extra id=1 broken.gscn", {"free scene 0", "free scene 1"}},
      {"music", "[part1]\ntime=0\nfilename=a.gscn\nmusic=one.mp3\n[part2]\ntime=9\nmusic=bad.mp3\n",
       "Fail to load music bad.mp3", {"delete music 1", "free scene 0"}},
  };
  for (const Case& c : cases) {
    services.calls.clear();
    counters = SGvDemoCounters();
    EXPECT_EQ(load(c.text), -1) << c.what;
    EXPECT_EQ(lastBox(), c.says) << c.what;
    std::vector<std::string> released = callsStartingWith("free");
    for (const std::string& call : callsStartingWith("delete")) released.push_back(call);
    std::sort(released.begin(), released.end());
    std::vector<std::string> freed = c.freed;
    std::sort(freed.begin(), freed.end());
    EXPECT_EQ(released, freed) << c.what;
  }
}

TEST_F(DemoLoadTest, AFailedShaderLeavesEveryPartShaderUnnumberedButTheDemoLoads) {
  ASSERT_EQ(load("[part1]\ntime=0\nshader.0.name=a.fx\nshader.1.name=bad.fx\nshader.2.name=c.fx\n"
                 "[part2]\ntime=5\nshader.0.name=A.FX\n"),
            0);
  EXPECT_EQ(lastBox(), "Failed to load shader bad.fx");
  EXPECT_EQ(callsStartingWith("camera effect"), (std::vector<std::string>{"camera effect a.fx #0", "camera effect bad.fx #1"}));
  for (const SGvDemoPart& part : demo.parts)
    for (const SGvDemoShader& shader : part.shaders) EXPECT_EQ(shader.cameraEffect, kGvDemoNone) << shader.name;
  services.calls.clear();
  gvDemoFree(demo, services);
  EXPECT_EQ(services.calls, std::vector<std::string>{"delete camera effect 0"});
}

TEST_F(DemoLoadTest, ClosingTheWindowAbandonsTheLoadSilently) {
  services.abandonAt = 40;
  EXPECT_EQ(load("[part1]\ntime=0\nfilename=a.gscn\n[part2]\ntime=1\nfilename=b.gscn\n"), 1);
  EXPECT_TRUE(demoBoxes().empty());
  EXPECT_EQ(callsStartingWith("progress"), (std::vector<std::string>{"progress 25", "progress 75"}));
  EXPECT_EQ(callsStartingWith("free"), std::vector<std::string>{"free scene 0"}) << "the second scene was not loaded";
  EXPECT_TRUE(callsStartingWith("music").empty());
}

// Part timing: the part's time from the scene's music, or the scene's music as the part's.
struct TimingCase {
  const char* what;
  std::string text;
  std::map<std::string, SGvDemoSceneResult> scenes;
  const char* says;                  // nullptr: the load succeeds
  std::int32_t lastTime = 0;         // then the last part's time and base time
  const char* lastMusic = "";
};

TEST_F(DemoLoadTest, PartTimingRulesAndTheirMessages) {
  using S = RecordingServices;
  const std::string musicPart = "[part1]\ntime=1000\nmusic=track.mp3\n";
  TimingCase cases[] = {
      {"no time, music in the part", musicPart + "[part2]\nmusic=other.mp3\nfilename=s.gscn\n",
       {{"s.gscn", S::withAudio("track.wav", 0, 30, 0)}},
       "Part part2: no time, but music specified in the part, impossible to determine time begin of the part"},
      {"no time, no scene music", musicPart + "[part2]\nfilename=s.gscn\n", {},
       "Part part2: no time, and no music specified in scene, impossible to determine time begin of the part"},
      {"no time and no scene", musicPart + "[part2]\n", {},
       "Part part2: no time, and no music specified in scene, impossible to determine time begin of the part"},
      {"no time, no music before", "[part1]\ntime=0\n[part2]\nfilename=s.gscn\n",
       {{"s.gscn", S::withAudio("track.wav", 0, 30, 0)}},
       "Part part2: when no time in part and a music in the scene, there must be a music before"},
      {"no time, a clock reset before the music", musicPart + "[part2]\ntime=0\ntimereset=1\n[part3]\nfilename=s.gscn\n",
       {{"s.gscn", S::withAudio("track.wav", 0, 30, 0)}},
       "Part part3: timereset no supported before a part that has a music within the scene"},
      {"no time, other music than before", musicPart + "[part2]\nfilename=s.gscn\n",
       {{"s.gscn", S::withAudio("Track.wav", 0, 30, 0)}},
       "Part part2: when no time in part, the music in the scene must be the same than the previous music"},
      {"no time, the scene's music follows the previous", musicPart + "[part2]\ntime=3000\n[part3]\nfilename=s.gscn\n",
       {{"s.gscn", S::withAudio("C:\\audio\\track.wav", 300, 30, 2.5f)}},  // (300 / 30 - 2.5) * 1000
       nullptr, 1000 + 7500, ""},
      {"time, the scene's music is the previous one", musicPart + "[part2]\ntime=12000\nfilename=s.gscn\n",
       {{"s.gscn", S::withAudio("track.wav", 0, 30, 0)}},
       "Part part2: music within the scene, with a time in the part :the music must not be the same music than previous"},
      {"time, the scene's music has an offset", musicPart + "[part2]\ntime=12000\nfilename=s.gscn\n",
       {{"s.gscn", S::withAudio("other.wav", 30, 30, 0)}},
       "Part part2: music within the scene, with a time in the part :the music offset within the scene must be zero"},
      {"time, the scene's music becomes the part's", musicPart + "[part2]\ntime=12000\nfilename=s.gscn\n",
       {{"s.gscn", S::withAudio("other.wav", 60, 30, 2)}}, nullptr, 12000, "other.mp3"},
      {"time and music: nothing changes", musicPart + "[part2]\ntime=12000\nmusic=own.mp3\nfilename=s.gscn\n",
       {{"s.gscn", S::withAudio("track.wav", 30, 30, 0)}}, nullptr, 12000, "own.mp3"},
  };
  for (const TimingCase& c : cases) {
    demoBoxes().clear();
    services = RecordingServices();
    services.scenes = c.scenes;
    counters = SGvDemoCounters();
    int result = load(c.text);
    if (c.says) {
      EXPECT_EQ(result, -1) << c.what;
      EXPECT_EQ(lastBox(), c.says) << c.what;
      EXPECT_TRUE(callsStartingWith("music").empty()) << c.what << ": timing comes before the music";
      continue;
    }
    ASSERT_EQ(result, 0) << c.what << ": " << lastBox();
    const SGvDemoPart& last = demo.parts.back();
    EXPECT_EQ(last.time, c.lastTime) << c.what;
    EXPECT_EQ(last.baseTime, c.lastTime) << c.what;
    EXPECT_EQ(last.music, c.lastMusic) << c.what;
  }
}

TEST_F(DemoLoadTest, AnEmptyMusicDirectoryLeavesTheMusicBesideTheDemo) {
  ASSERT_EQ(load("[part1]\ntime=0\nmusic=one.mp3\n"), 0);
  EXPECT_EQ(callsStartingWith("music"), std::vector<std::string>{"music one.mp3 #1 dir=" + demoDirectory});
}

}  // namespace
