// Scene descriptions: defaults of absent keys, links between records, parameter kinds,
// renderer command limits and the surface effect choice.
#include "gf_test_util.h"
#include "scene/scene_desc.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace gv::test {
namespace {

struct SceneDescDeleter {
  void operator()(SGvSceneDesc* desc) const { gvSceneDescFree(desc); }
};
using SceneDescPtr = std::unique_ptr<SGvSceneDesc, SceneDescDeleter>;

SceneDescPtr build(const std::string& sceneBody) {
  std::string text = "# scene test\n{ Scene\n" + sceneBody + "}\n";
  return SceneDescPtr(gvSceneDescBuild(GF_Parse(text.data(), text.size())));
}

std::string node(const std::string& name, const std::string& body) {
  return "{ " + name + "\n" + body + "}\n";
}

std::string repeat(int count, const std::function<std::string(int)>& make) {
  std::string text;
  for (int i = 0; i < count; ++i) text += make(i);
  return text;
}

TEST(SceneDescTest, AbsentKeysReadAsTheirDefaults) {
  SceneDescPtr desc = build(node("Cameras", node("cam", "")) + node("Lights", node("light", "")) +
                            node("Objects", node("obj", "")) +
                            node("SceneObjects", node("set", node("Surfaces", node("s", "")))) +
                            node("GavoRenderSettings", ""));
  ASSERT_TRUE(desc);
  EXPECT_EQ(desc->frameStart, 0);
  EXPECT_EQ(desc->framesPerSecond, 0);
  EXPECT_EQ(desc->loadAudio, nullptr);
  EXPECT_EQ(desc->renderCamera, nullptr);
  ASSERT_EQ(desc->cameras.size(), 1u);
  EXPECT_EQ(desc->cameras[0].resolution[0], 640);
  EXPECT_EQ(desc->cameras[0].resolution[1], 480);
  EXPECT_EQ(desc->cameras[0].position, nullptr);
  const SGvLightDesc& light = desc->lights.at(0);
  EXPECT_EQ(light.name, nullptr);
  EXPECT_EQ(light.type, 0);
  EXPECT_EQ(light.shadowColor.x + light.shadowColor.y + light.shadowColor.z, 0);
  EXPECT_EQ(light.volumetricNode, nullptr);
  const SGvObjectDesc& object = desc->objects.at(0);
  EXPECT_EQ(object.surfaceSet, -1);
  EXPECT_EQ(object.mdd.node, nullptr);
  const SGvSurfaceDesc& surface = desc->surfaceSets.at(0).surfaces.at(0);
  EXPECT_EQ(surface.params[0].kind, EGVPK_NONE);
  EXPECT_EQ(surface.params[0].imgMipmap, 1);
  EXPECT_EQ(surface.params[0].imgColorSpace, 0);
  EXPECT_FALSE(surface.hasEffect);
  const SGvRenderSettingsDesc& settings = desc->renderSettings;
  EXPECT_FALSE(settings.glowEnableSet);
  EXPECT_EQ(settings.aaLocation, 1);
  EXPECT_EQ(settings.aaMode, 1);
  EXPECT_EQ(settings.aaJitter, 0);
  EXPECT_EQ(settings.aaVLimitVal, 0);
  EXPECT_FALSE(desc->hasRenderer);
  EXPECT_STREQ(gvSceneDescError(), "");
}

TEST(SceneDescTest, KeysOfTheirShapeAreRead) {
  SceneDescPtr desc = build(
      node("SceneInfo", "frameStart I4 10\nframeEnd U4 250\nframeStep I4 2\n"
                        "framesPerSecond FP 29.97\nloadAudio STR \"music.mp3\"\n"
                        "audioStartTime FP_C DAT 2 1.5 9\nrenderCamera FP_C RUN 3 1\n") +
      node("Cameras", node("cam", "resolution I4 1920\nflags I4 9\n")) +
      node("GavoRenderSettings", "CH_GLOW_ENABLE I4 0\nCH_AA_MODE I4 4\nCH_AA_LOCATION FP 7\n"
                                 "CH_CAMERARANGE_MAX FP 5000\n") +
      node("BackdropInfo", "zenith FP 0.1 0.2 0.3\n") +
      node("ImageProcessing", "glowEffect I4 1\n"));
  ASSERT_TRUE(desc);
  EXPECT_EQ(desc->frameStart, 10);
  EXPECT_EQ(desc->frameEnd, 250);
  EXPECT_EQ(desc->frameStep, 2);
  EXPECT_FLOAT_EQ(desc->framesPerSecond, 29.97f);
  EXPECT_STREQ(desc->loadAudio, "music.mp3");
  EXPECT_EQ(desc->audioStartTime, 1.5f);  // the first sample
  EXPECT_EQ(GF_FP_Lerp(desc->renderCamera, 2), 1);
  EXPECT_EQ(desc->cameras[0].resolution[0], 1920);
  EXPECT_EQ(desc->cameras[0].resolution[1], 480);  // a missing height keeps its default
  EXPECT_EQ(desc->cameras[0].flags, 9);
  EXPECT_TRUE(desc->renderSettings.glowEnableSet);
  EXPECT_EQ(desc->renderSettings.aaMode, 4);
  EXPECT_EQ(desc->renderSettings.aaLocation, 1);  // not an integer: read as absent
  EXPECT_EQ(desc->renderSettings.cameraRangeMax, 5000);
  EXPECT_FLOAT_EQ(desc->backdropZenith.z, 0.3f);
  EXPECT_EQ(desc->glowEffect, 1);
}

TEST(SceneDescTest, ScenesWithoutASceneNodeDoNotLoad) {
  TempDir dir;
  std::string noScene = dir.write("a.gscn", "# no scene here\n{ Other\n}\n");
  std::string valueScene = dir.write("b.gscn", "# scene value\nScene I4 1\n");
  std::string notGF = dir.write("c.gscn", std::string("\0\0\0\0\0\0\0\0\0\0\0\0", 12));
  std::string noCameras = dir.write("d.gscn", "# no cameras\n{ Scene\n}\n");
  testing::internal::CaptureStdout();
  EXPECT_FALSE(gvSceneDescLoad(noScene.c_str()));
  EXPECT_STREQ(gvSceneDescError(), "Scene: the file has no Scene node");
  EXPECT_FALSE(gvSceneDescLoad(valueScene.c_str()));
  EXPECT_FALSE(gvSceneDescLoad(notGF.c_str()));
  EXPECT_STREQ(gvSceneDescError(), "Scene: the file is not a GF file");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error, file is not GF format\n\nError, Not a GF file\n\n");
  SceneDescPtr desc(gvSceneDescLoad(noCameras.c_str()));
  ASSERT_TRUE(desc);
  EXPECT_STREQ(gvSceneDescError(), "");
  EXPECT_TRUE(desc->cameras.empty());
}

TEST(SceneDescTest, ParameterValueKinds) {
  struct Case {
    const char* value;
    EGvParamKind kind;
  } cases[] = {
      {"", EGVPK_NONE},
      {"value FP_C [\nRUN 1 1\nRUN 1 2\nRUN 1 3\n]\n", EGVPK_FLOAT3},
      {"value FP 1 2 3\n", EGVPK_FLOAT3},
      {"value FP 1\n", EGVPK_FLOAT},
      {"value FP 1 2 3 4\n", EGVPK_FLOAT},
      {"value FP_C RUN 2 5\n", EGVPK_FLOAT},
      {"value I4 7\n", EGVPK_INTEGER},
      {"value U4 7\n", EGVPK_INTEGER},
      {"value STR \"wood.png\"\n", EGVPK_TEXT},
  };
  for (const Case& c : cases) {
    SceneDescPtr desc = build(node(
        "SceneObjects",
        node("set", node("Surfaces", node("s", node("Parameters", node("Diffuse", c.value)) +
                                                   node("Shader", node("Effect", node("Parameters", node("p", c.value)))))))));
    ASSERT_TRUE(desc) << c.value;
    const SGvSurfaceDesc& surface = desc->surfaceSets[0].surfaces[0];
    EXPECT_EQ(surface.params[2].kind, c.kind) << c.value;
    ASSERT_TRUE(surface.hasEffect);
    EXPECT_EQ(surface.effect.params.at(0).kind, c.kind) << c.value;
  }
}

TEST(SceneDescTest, EvaluatesSurfacesWithTheirParametersAndEffects) {
  SceneDescPtr desc = build(node(
      "SceneObjects",
      node("set", "filename STR \"cube.x\"\n" +
                      node("Surfaces",
                           node("a", "name STR \"Paint\"\n" +
                                         node("Parameters",
                                              node("BaseColor", "value FP_C [\nDAT 2 0 1\nRUN 2 0.5\nRUN 2 0\n]\n") +
                                              node("Luminosity", "value FP_C DAT 2 0 4\n") +
                                              node("Bump", "value STR \"bump.png\"\nimg_filename STR \"bump.png\"\n"
                                                           "img_colorspace I4 2\nimg_mipmap I4 0\n")) +
                                         node("Shader", "applyToSurface I4 0\n" +
                                                            node("Effect", "filename STR \"Forward.hlsl\"\n" +
                                                                               node("Parameters",
                                                                                    repeat(31, [](int i) {
                                                                                      return node("p" + std::to_string(i),
                                                                                                  "value I4 " + std::to_string(i) + "\n");
                                                                                    }))))) +
                               node("b", "")))));
  ASSERT_TRUE(desc);
  std::vector<SGvSurfaceValues> values;
  ASSERT_EQ(gvEvalSurfaceSet(desc->surfaceSets[0], 0.5f, values), 2);
  const SGvSurfaceValues& paint = values[0];
  EXPECT_EQ(paint.params[0].value.kind, EGVPK_FLOAT3);
  EXPECT_EQ(paint.params[0].value.value[0], 0.5f);
  EXPECT_EQ(paint.params[0].value.value[1], 0.5f);
  EXPECT_EQ(paint.params[1].value.value[0], 2.0f);
  EXPECT_STREQ(paint.params[8].value.text, "bump.png");
  EXPECT_STREQ(paint.params[8].imgFilename, "bump.png");
  EXPECT_EQ(paint.params[8].imgColorSpace, 2);
  EXPECT_EQ(paint.params[8].imgMipmap, 0);
  ASSERT_TRUE(paint.effect);
  EXPECT_STREQ(paint.effect->filename, "Forward.hlsl");
  EXPECT_EQ(paint.effectParams.count, 30);  // of 31
  EXPECT_STREQ(paint.effectParams.params[29].name, "p29");
  EXPECT_EQ(paint.effectParams.params[29].integer, 29);
  EXPECT_EQ(values[1].effect, nullptr);
  EXPECT_EQ(values[1].params[0].value.kind, EGVPK_NONE);
}

TEST(SceneDescTest, SurfacesTakeTheEffectThatAppliesToThem) {
  // applyToSurface per surface; -1 means the surface has no Effect of its own.
  struct Case {
    std::vector<int> apply;
    std::vector<int> source;
  } cases[] = {
      {{0, -1, 0}, {0, -1, 2}},
      {{0, 2, 0, 2, 3}, {3, 3, 3, 3, -1}},
      {{1, -1, 0, 1, -1}, {0, 3, 2, 3, 3}},
      {{-1, 2}, {1, 1}},
      {{3}, {-1}},
  };
  for (const Case& c : cases) {
    std::string surfaces;
    for (int apply : c.apply) {
      std::string shader = "applyToSurface I4 " + std::to_string(apply < 0 ? 0 : apply) + "\n";
      if (apply >= 0) shader += node("Effect", "filename STR \"x.hlsl\"\n");
      surfaces += node("s", node("Shader", shader));
    }
    SceneDescPtr desc = build(node("SceneObjects", node("set", node("Surfaces", surfaces))));
    ASSERT_TRUE(desc);
    EXPECT_EQ(desc->surfaceSets[0].effectSource, c.source);
  }
}

TEST(SceneDescTest, ObjectsLinkToSurfaceSetsCubeMapsAndBack) {
  SceneDescPtr desc = build(
      node("CubeMaps", node("c", "name STR \"probe\"\nhideObject I4 1\n" +
                                     node("hideSet", "a STR \"ship\"\nb STR \"nobody\"\nc STR \"rock\"\n") +
                                     node("showSet", "a STR \"probe\"\n"))) +
      node("SceneObjects", node("s1", "filename STR \"rock.lwo\"\n") + node("s2", "filename STR \"ship.lwo\"\n")) +
      node("Objects",
           node("o", "name STR \"ship\"\nfilename STR \"ship.lwo\"\n" +
                         node("UseCubeMaps", node("u", "renderCubeMap STR \"probe\"\n") +
                                                 node("v", "renderCubeMap STR \"Probe\"\n")) +
                         node("Morphs", node("smile", "value FP_C DAT 2 0 1\n")) +
                         node("MDD", "filename STR \"ship.gmdd\"\nendBehavior I4 3\n")) +
               node("o", "name STR \"rock\"\nfilename STR \"ship.lwo\"\n") +
               node("o", "name STR \"probe\"\nfilename STR \"Ship.lwo\"\n")));
  ASSERT_TRUE(desc);
  EXPECT_EQ(desc->objects[0].surfaceSet, 1);
  EXPECT_EQ(desc->objects[1].surfaceSet, 1);  // shared
  EXPECT_EQ(desc->objects[2].surfaceSet, -1);
  ASSERT_EQ(desc->objects[0].cubeMapUses.size(), 2u);
  EXPECT_EQ(desc->objects[0].cubeMapUses[0].cubeMap, 0);
  EXPECT_EQ(desc->objects[0].cubeMapUses[1].cubeMap, -1);
  EXPECT_STREQ(desc->objects[0].morphs.at(0).name, "smile");
  EXPECT_EQ(GF_FP_Lerp(desc->objects[0].morphs[0].value, 0.5f), 0.5f);
  EXPECT_STREQ(desc->objects[0].mdd.filename, "ship.gmdd");
  EXPECT_EQ(desc->objects[0].mdd.endBehavior, 3);
  const SGvCubeMapDesc& cube = desc->cubeMaps[0];
  EXPECT_EQ(cube.hideSet, (std::vector<std::int32_t>{0, 1}));
  EXPECT_EQ(cube.showSet, (std::vector<std::int32_t>{2}));
  EXPECT_EQ(cube.hiddenObject, 2);
}

std::string command(const std::string& name, const std::string& body) {
  return node("c", "name STR \"" + name + "\"\ncmd STR \"draw\"\n" + body);
}

std::string param(const std::string& name, const std::string& body) {
  return node("p", "name STR \"" + name + "\"\n" + body);
}

std::string params(int count) {
  return repeat(count, [](int i) { return param("p" + std::to_string(i), "value I4 1\n"); });
}

std::string renderer(const std::string& commands) {
  return node("Lights", node("l", "name STR \"Key\"\n")) +
         node("GavoRenderCommands", node("Commands", commands));
}

TEST(SceneDescTest, RendererParametersGetTheirKinds) {
  SceneDescPtr desc = build(renderer(command(
      "Render Objects",
      node("Inputs", node("i", "name STR \"color\"\nvalue STR \"rt0\"\n")) +
          node("Parameters",
               param("a", "value FP 1 2 3\n") + param("b", "value FP 1\n") + param("c", "value FP 1 2 3 4\n") +
                   param("d", "value I4 7\n") + param("e", "value STR \"txt\"\n") + param("f", "") +
                   param("g", node("Effect", "filename STR \"Blur.hlsl\"\n")) +
                   param("View", "value I4 2\n") + param("ViewSelect", "value STR \"Key\"\n")))));
  ASSERT_TRUE(desc);
  EXPECT_TRUE(desc->hasRenderer);
  const SGvRenderCommandDesc& cmd = desc->renderCommands.at(0);
  EXPECT_STREQ(cmd.cmd, "draw");
  EXPECT_STREQ(cmd.inputs.at(0).value, "rt0");
  const EGvRenderParamKind kinds[] = {EGVRP_FLOAT3, EGVRP_FLOAT,   EGVRP_FLOAT,   EGVRP_INTEGER, EGVRP_TEXT,
                                      EGVRP_NONE,   EGVRP_EFFECT,  EGVRP_INTEGER, EGVRP_TEXT,    EGVRP_LIGHT};
  ASSERT_EQ(cmd.params.size(), 10u);
  for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(cmd.params[i].kind, kinds[i]) << i;
  EXPECT_EQ(cmd.params[0].value[2], 3);
  EXPECT_EQ(cmd.params[2].value[0], 1);
  EXPECT_EQ(cmd.params[6].index, 0);
  EXPECT_STREQ(desc->effects.at(0).filename, "Blur.hlsl");
  EXPECT_STREQ(cmd.params[9].name, "ViewNode");
  EXPECT_EQ(cmd.params[9].index, 0);
  EXPECT_STREQ(gvSceneDescError(), "");
}

TEST(SceneDescTest, BadRendererParametersAreKeptWithoutAValue) {
  struct Case {
    std::string params;
    const char* error;
  } cases[] = {
      {param("a", "value FP_C RUN 1 1\n"), "Renderer: unknown param value type"},
      {param("a", node("value", "")), "Renderer: unknown param type"},
      {param("a", "value FP [\n1\n]\n"), "Renderer: unknown param type"},
      {param("a", "Effect STR \"x\"\n"), "Renderer: failed to create effect"},
  };
  for (const Case& c : cases) {
    SceneDescPtr desc = build(renderer(command("Draw", node("Parameters", c.params))));
    ASSERT_TRUE(desc) << c.error;
    EXPECT_EQ(desc->renderCommands[0].params.at(0).kind, EGVRP_NONE);
    EXPECT_STREQ(gvSceneDescError(), c.error);
  }
  // The scene's effect list holds 50 effects.
  std::string effects = repeat(3, [](int) {
    return command("Draw", node("Parameters", repeat(20, [](int) { return param("e", node("Effect", "")); })));
  });
  SceneDescPtr desc = build(renderer(effects));
  ASSERT_TRUE(desc);
  EXPECT_EQ(desc->effects.size(), 50u);
  EXPECT_EQ(desc->renderCommands[2].params[9].kind, EGVRP_EFFECT);
  EXPECT_EQ(desc->renderCommands[2].params[10].kind, EGVRP_NONE);
  EXPECT_STREQ(gvSceneDescError(), "Renderer: too much shaders");
}

TEST(SceneDescTest, RendererLimitsFailTheLoad) {
  std::string lightView = param("View", "value I4 2\n") + param("ViewSelect", "value STR \"Key\"\n");
  struct Case {
    std::string commands;
    const char* error;
  } cases[] = {
      {repeat(51, [](int) { return command("Draw", ""); }), "Renderer: too much commands"},
      {command("Draw", node("Inputs", repeat(11, [](int) { return node("i", ""); }))), "Renderer: too much inputs"},
      {command("Draw", node("Outputs", repeat(6, [](int) { return node("o", ""); }))), "Renderer: too much outputs"},
      {command("Draw", node("Parameters", params(21))), "Renderer: too much parameters"},
      {command("Render Objects", node("Parameters", params(18) + lightView)),
       "Renderer: too much parameters to add extra"},
      {command("Render Objects", node("Parameters", param("View", "value I4 2\n") +
                                                        param("ViewSelect", "value STR \"key\"\n"))),
       "Renderer: cannot find light for Render Objects"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(build(renderer(c.commands))) << c.error;
    EXPECT_STREQ(gvSceneDescError(), c.error);
  }
  // Within the limits, and light views that name no light.
  struct Fine {
    std::string commands;
    std::size_t params;
  } fine[] = {
      {repeat(50, [](int) { return command("Draw", ""); }), 0},
      {command("Draw", node("Parameters", params(20))), 20},
      {command("Render Objects", node("Parameters", params(17) + lightView)), 20},
      {command("Render Objects", node("Parameters", param("View", "value I4 2\n") +
                                                        param("ViewSelect", "value STR \"(none)\"\n"))),
       2},
      {command("Render Objects", node("Parameters", param("View", "value I4 1\n") +
                                                        param("ViewSelect", "value STR \"Key\"\n"))),
       2},
  };
  for (const Fine& f : fine) {
    SceneDescPtr desc = build(renderer(f.commands));
    ASSERT_TRUE(desc) << gvSceneDescError();
    EXPECT_EQ(desc->renderCommands[0].params.size(), f.params);
  }
}

}  // namespace
}  // namespace gv::test
