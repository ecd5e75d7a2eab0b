// Reading demo description files into the demo record.
#include "demo/demo.h"

#include "demo_fixture.h"

namespace {

using gv::test::DemoTest;
using gv::test::demoBoxes;

std::string partNames(const SGvDemo& demo) {
  std::string names;
  for (const SGvDemoPart& part : demo.parts) names += "[" + part.name + "]";
  return names;
}

TEST_F(DemoTest, PartsAreTheSectionsNamingPartInFileOrder) {
  SGvDemo demo;
  ASSERT_EQ(gvDemoRead(demo, writeDemo("[Setup]\nMusicDirectory=Music\nshadersdirectory = fx\n"
                                       "[Intro Part]\nTIME=0x10\n"
                                       "[misc]\ntime=5\n"
                                       "[part2]\ntime=010\ntimereset=1\n"
                                       "[Departure]\n")),
            0);
  EXPECT_EQ(partNames(demo), "[intro part][part2][departure]");
  EXPECT_EQ(demo.musicDirectory, "Music");
  EXPECT_EQ(demo.shadersDirectory, "fx");
  EXPECT_EQ(demo.parts[0].time, 16);
  EXPECT_EQ(demo.parts[0].baseTime, 16);
  EXPECT_EQ(demo.parts[1].time, 8);
  EXPECT_EQ(demo.parts[1].baseTime, 0) << "the clock restarts with the part";
  const SGvDemoPart& departure = demo.parts[2];
  EXPECT_EQ(departure.time, kGvDemoNone);
  EXPECT_EQ(departure.baseTime, kGvDemoNone);
  EXPECT_FLOAT_EQ(departure.nearPlane, 0.1f);
  EXPECT_FLOAT_EQ(departure.farPlane, 1000.0f);
  EXPECT_TRUE(departure.music.empty() && departure.filename.empty());
}

TEST_F(DemoTest, PartKeysWithTheirValues) {
  SGvDemo demo;
  ASSERT_EQ(gvDemoRead(demo, writeDemo("[part]\ntime=1000\nmusic=\"Track One.mp3\"\ndirectory=scenes\\city\n"
                                       "filename=city.gscn ; the city\ncamerarange=1.5 5000\n"
                                       "reuseobjects=2\nflushobjects=1\npalette=p.pal\n")),
            0);
  const SGvDemoPart& part = demo.parts[0];
  EXPECT_EQ(part.music, "Track One.mp3");
  EXPECT_EQ(part.directory, "scenes\\city");
  EXPECT_EQ(part.filename, "city.gscn");
  EXPECT_FLOAT_EQ(part.nearPlane, 1.5f);
  EXPECT_FLOAT_EQ(part.farPlane, 5000.0f);
  EXPECT_TRUE(part.reuseObjects);
  EXPECT_TRUE(part.flushObjects);
}

TEST_F(DemoTest, ExtrasShadersAndFadersWithGapsAndCapacities) {
  std::string text = "[part1]\ntime=0\n"
                     "extra.3.directory=a\nextra.3.filename=a.gscn\nextra.3.time=500\nextra.3.length=200\n"
                     "extra.3.reuseobjects=1\n"
                     "extra.5.filename=nodir.gscn\n"  // no directory: not an extra
                     "extra.7.directory=b\nextra.7.filename=b.gscn\nextra.7.flushobjects=1\n"
                     "fader.3.time=100\nfader.3.fadein=0\nfader.3.color=0xFF8000\n"
                     "fader.9.time=200\nfader.9.length=50\nfader.9.fadelength=25\n"
                     "fader.12.length=10\n"  // no time: no fader
                     "shader.19.name=last.fx\n"
                     "[part2]\ntime=1\n";
  for (int n = 0; n < 20; ++n) {
    text += "shader." + std::to_string(n) + ".name=s" + std::to_string(n) + ".fx\n";
    text += "extra." + std::to_string(n) + ".directory=d\nextra." + std::to_string(n) + ".filename=e" +
            std::to_string(n) + "\n";
  }
  SGvDemo demo;
  ASSERT_EQ(gvDemoRead(demo, writeDemo(text)), 0) << lastBox();
  const SGvDemoPart& first = demo.parts[0];
  ASSERT_EQ(first.extras.size(), 2u);
  EXPECT_EQ(first.extras[0].filename, "a.gscn");
  EXPECT_EQ(first.extras[0].time, 500);
  EXPECT_EQ(first.extras[0].length, 200);
  EXPECT_TRUE(first.extras[0].reuseObjects);
  EXPECT_FALSE(first.extras[0].flushObjects);
  EXPECT_EQ(first.extras[1].filename, "b.gscn");
  EXPECT_TRUE(first.extras[1].flushObjects);
  ASSERT_EQ(first.shaders.size(), 1u);
  EXPECT_EQ(first.shaders[0].name, "last.fx");
  EXPECT_EQ(first.shaders[0].cameraEffect, kGvDemoNone);
  ASSERT_EQ(first.faders.size(), 2u);
  EXPECT_FALSE(first.faders[0].fadeOut) << "fadein present, even as 0: fade in";
  EXPECT_EQ(first.faders[0].color, 0xFF8000u);
  EXPECT_EQ(first.faders[0].length, 1000);
  EXPECT_EQ(first.faders[0].fadeLength, 1000);
  EXPECT_TRUE(first.faders[1].fadeOut) << "no fadein: fade out";
  EXPECT_EQ(first.faders[1].length, 50);
  EXPECT_EQ(first.faders[1].fadeLength, 25);

  const SGvDemoPart& second = demo.parts[1];
  ASSERT_EQ(second.shaders.size(), 10u) << "further shaders are ignored";
  EXPECT_EQ(second.shaders[9].name, "s9.fx");
  ASSERT_EQ(second.extras.size(), 15u) << "further extras are ignored";
  EXPECT_EQ(second.extras[14].filename, "e14");
}

TEST_F(DemoTest, FilesThatCannotBeUsedAreRejectedWithAClearMessage) {
  std::string manyParts;
  for (int n = 0; n <= 64; ++n) manyParts += "[part" + std::to_string(n) + "]\n";
  struct Case {
    const char* what;
    std::string text;
    const char* says;
  } cases[] = {
      {"no part", "[setup]\nmusicdirectory=m\n[intro]\n", "No parts!"},
      {"syntax error", "[part1\ntime=0\n", "Fail to parse ini"},
      {"65 parts", manyParts, "more than 64 parts"},
      {"a file name too long to keep", "[part1]\nfilename=" + std::string(128, 'f') + "\n",
       "[part1] filename is longer than 127 characters"},
      {"a shader name too long", "[part1]\nshader.2.name=" + std::string(128, 's') + "\n",
       "[part1] shader.2.name is longer than 127 characters"},
      {"a setup directory too long", "[setup]\nmusicdirectory=" + std::string(200, 'm') + "\n[part1]\n",
       "[setup] musicdirectory is longer than 127 characters"},
      {"a part name too long", "[part" + std::string(36, 'x') + "]\n", "is longer than 39 characters"},
  };
  for (const Case& c : cases) {
    demoBoxes().clear();
    SGvDemo demo;
    EXPECT_EQ(gvDemoRead(demo, writeDemo(c.text)), -1) << c.what;
    EXPECT_NE(lastBox().find(c.says), std::string::npos) << c.what << ": " << lastBox();
    EXPECT_TRUE(demo.parts.empty()) << c.what;
  }
  SGvDemo demo;
  EXPECT_EQ(gvDemoRead(demo, ""), -1);
  EXPECT_EQ(lastBox(), "Fail to load ");
  EXPECT_EQ(gvDemoRead(demo, dir.file("missing.demo.ini")), -1);
  EXPECT_EQ(lastBox(), "Fail to load " + dir.file("missing.demo.ini"));
}

TEST_F(DemoTest, LimitsAreInclusiveAndAByteOrderMarkIsAccepted) {
  std::string text = "\xEF\xBB\xBF[part" + std::string(35, 'x') + "]\nfilename=" + std::string(127, 'f') + "\n";
  for (int n = 1; n < 64; ++n) text += "[part" + std::to_string(n) + "]\n";
  SGvDemo demo;
  ASSERT_EQ(gvDemoRead(demo, writeDemo(text)), 0) << lastBox();
  EXPECT_EQ(demo.parts.size(), 64u);
  EXPECT_EQ(demo.parts[0].filename.size(), 127u);
}

TEST_F(DemoTest, PackageDirectoriesSkipEmptiesAndLaterDuplicatesOfAnyCase) {
  SGvDemo demo;
  ASSERT_EQ(gvDemoRead(demo, writeDemo("[part1]\ndirectory=Scenes/City\nextra.0.directory=shared\n"
                                       "extra.0.filename=a\n[part2]\n[part3]\ndirectory=scenes/city\n"
                                       "extra.1.directory=SHARED\nextra.1.filename=b\n"
                                       "extra.2.directory=ships\nextra.2.filename=c\n")),
            0);
  std::optional<std::vector<std::string>> directories = gvDemoPackageDirectories(demo);
  ASSERT_TRUE(directories);
  EXPECT_EQ(*directories, (std::vector<std::string>{"Scenes/City", "shared", "ships"}));

  std::string text;
  for (int n = 0; n < 64; ++n) {
    text += "[part" + std::to_string(n) + "]\ndirectory=p" + std::to_string(n) + "\n";
    for (int e = 0; e < 4; ++e)
      text += "extra." + std::to_string(e) + ".directory=e" + std::to_string(n * 4 + e) + "\nextra." +
              std::to_string(e) + ".filename=x\n";
  }
  ASSERT_EQ(gvDemoRead(demo, writeDemo(text)), 0);  // 320 distinct directories
  EXPECT_FALSE(gvDemoPackageDirectories(demo));
  EXPECT_EQ(lastBox(), "Reached max directories");
}

}  // namespace
