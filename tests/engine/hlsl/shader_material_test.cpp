// Shader materials made from compiled HLSL programs, drawn by Irrlicht's OpenGL driver (Mesa's
// software rasteriser under an X virtual frame buffer) and checked pixel by pixel.
#include "engine/hlsl/shader_programming.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

#include "support/gl_frame.h"

namespace gv::engine {
namespace {

using irr::video::SColor;

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return file ? text.str() : std::string();
}

// Looks in the fixture directory and in every directory an include was found in before.
class FixtureIncludes : public IIncludeCallback {
 public:
  bool Open(const char* name, const void** data, irr::u32* size) override {
    for (size_t i = 0; i < directories_.size(); ++i) {
      const std::string path = directories_[i] + "/" + name;
      std::string text = readFile(path);
      if (text.empty()) continue;
      directories_.push_back(path.substr(0, path.rfind('/')));
      auto kept = std::make_unique<std::string>(std::move(text));
      *data = kept->data();
      *size = static_cast<irr::u32>(kept->size());
      texts_[*data] = std::move(kept);
      return true;
    }
    return false;
  }
  void Close(const void* data) override { texts_.erase(data); }

 private:
  std::vector<std::string> directories_{GAVO_SHADER_FIXTURES};
  std::map<const void*, std::unique_ptr<std::string>> texts_;
};

// Sets the matrix that puts the quad over the right half of the view, then the case's own
// constants.
class Constants : public irr::video::IShaderConstantSetCallBack {
 public:
  std::function<void(irr::video::IMaterialRendererServices*)> set;
  irr::video::IVideoDriver* seenDriver = nullptr;
  void OnSetConstants(irr::video::IMaterialRendererServices* services, irr::s32) override {
    irr::core::matrix4 rightHalf;
    rightHalf.setScale(irr::core::vector3df(0.5f, 1, 1));
    rightHalf.setTranslation(irr::core::vector3df(0.5f, 0, 0));
    EXPECT_TRUE(services->setVertexShaderConstant("WorldViewProj", rightHalf.pointer(), 16));
    seenDriver = services->getVideoDriver();
    if (set) set(services);
  }
};

class ShaderMaterial : public testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    device = test::createOpenGLTestDevice(64, 64, whyNot);
    if (!device) GTEST_SKIP() << whyNot;
    driver = device->getVideoDriver();
    programming = createShaderProgramming(driver);
    source = readFile(std::string(GAVO_SHADER_FIXTURES) + "/material.hlsl");
    ASSERT_FALSE(source.empty());
  }
  void TearDown() override {
    programming.reset();
    if (device) device->drop();
  }

  ShaderCode compile(bool isVertex, const char* mode) {
    const CGvMacro macros[] = {{"MODE", mode}, {nullptr, nullptr}};
    FixtureIncludes includes;
    ShaderCode code;
    std::string errors;
    const bool compiled =
        isVertex ? programming->compileHLSLVertexShader(source.c_str(), "vsMain",
                                                         irr::video::EVST_VS_3_0, macros,
                                                         &includes, code, &errors, "material.hlsl")
                 : programming->compileHLSLPixelShader(source.c_str(), "psMain",
                                                        irr::video::EPST_PS_3_0, macros,
                                                        &includes, code, &errors, "material.hlsl");
    EXPECT_TRUE(compiled) << mode << ": " << errors;
    return code;
  }

  irr::s32 material(const char* mode) {
    const ShaderCode vertex = compile(true, "MODE_TINT");
    const ShaderCode pixel = compile(false, mode);
    return programming->addHighLevelShaderMaterialFromTokens(
        &vertex, &pixel, nullptr, irr::scene::EPT_TRIANGLES, irr::scene::EPT_TRIANGLE_STRIP, 0,
        &constants, irr::video::EMT_SOLID, 0);
  }

  void drawQuad(const irr::video::SMaterial& quad) { test::drawViewQuad(driver, quad); }

  // One frame with the quad on a blue background; the shown pixels (the caller drops them).
  irr::video::IImage* drawFrame(const irr::video::SMaterial& quad) {
    return test::drawQuadFrame(driver, quad, SColor(255, 0, 0, 255));
  }

  // The quad's colour at (x, y); the left half must still show the background.
  static void expectPixels(irr::video::IImage* shot, irr::u32 x, irr::u32 y, SColor expected,
                           const char* what) {
    ASSERT_NE(shot, nullptr) << what;
    const SColor background = shot->getPixel(16, 32);
    EXPECT_EQ(background.color, SColor(255, 0, 0, 255).color) << what;
    const SColor pixel = shot->getPixel(x, y);
    EXPECT_NEAR(pixel.getRed(), expected.getRed(), 2) << what;
    EXPECT_NEAR(pixel.getGreen(), expected.getGreen(), 2) << what;
    EXPECT_NEAR(pixel.getBlue(), expected.getBlue(), 2) << what;
  }

  irr::IrrlichtDevice* device = nullptr;
  irr::video::IVideoDriver* driver = nullptr;
  std::unique_ptr<IShaderProgramming> programming;
  std::string source;
  Constants constants;
};

irr::video::ITexture* solidTexture(irr::video::IVideoDriver* driver, const char* name,
                                   SColor colour) {
  irr::video::IImage* image =
      driver->createImage(irr::video::ECF_A8R8G8B8, irr::core::dimension2d<irr::u32>(2, 2));
  image->fill(colour);
  irr::video::ITexture* texture = driver->addTexture(name, image);
  image->drop();
  return texture;
}

TEST_F(ShaderMaterial, DrawsWithConstantsDefaultsTexturesAndInterpolators) {
  using Services = irr::video::IMaterialRendererServices;
  struct Case {
    const char* what;
    const char* mode;
    std::function<void(Services*)> set;
    irr::u32 x, y;
    SColor expected;
  } cases[] = {
      {"declared defaults", "MODE_TINT", nullptr, 48, 32, SColor(255, 255, 128, 64)},
      {"set by name", "MODE_TINT",
       [](Services* s) {
         const float tint[] = {0, 1, 0, 1}, half = 0.5f;
         EXPECT_TRUE(s->setPixelShaderConstant("Tint", tint, 4));
         EXPECT_TRUE(s->setPixelShaderConstant("Brightness", &half, 1));
         EXPECT_FALSE(s->setPixelShaderConstant("Missing", tint, 4));
       },
       48, 32, SColor(255, 0, 128, 0)},
      // Gain and Bias share a register's bytes; a whole register written to Gain's register
      // leaves Bias at its default.
      {"set by register", "MODE_PACKED",
       [](Services* s) {
         const float gain[] = {0.5f, 9, 9, 9};
         s->setPixelShaderConstant(gain, 0, 1);
       },
       48, 32, SColor(255, 128, 64, 0)},
      {"float array by name", "MODE_ARRAY",
       [](Services* s) {
         const float weights[] = {0.25f, 0.5f, 1};
         EXPECT_TRUE(s->setPixelShaderConstant("Weights", weights, 3));
       },
       48, 32, SColor(255, 64, 128, 255)},
      {"sampler register s1 reads material texture 1", "MODE_TEXTURE", nullptr, 48, 32,
       SColor(255, 0, 255, 0)},
      {"float2 read from a float4 interpolator", "MODE_NARROW", nullptr, 48, 32,
       SColor(255, 64, 128, 0)},
      {"VPOS counts pixels from the top left", "MODE_VPOS", nullptr, 48, 20,
       SColor(255, 194, 81, 0)},
  };
  irr::video::SMaterial quad = test::quadMaterial(0);
  quad.setTexture(0, solidTexture(driver, "red", SColor(255, 255, 0, 0)));
  quad.setTexture(1, solidTexture(driver, "green", SColor(255, 0, 255, 0)));
  for (const Case& c : cases) {
    const irr::s32 type = material(c.mode);
    ASSERT_GE(type, 0) << c.what;
    quad.MaterialType = static_cast<irr::video::E_MATERIAL_TYPE>(type);
    constants.set = c.set;
    irr::video::IImage* shot = drawFrame(quad);
    expectPixels(shot, c.x, c.y, c.expected, c.what);
    if (shot) shot->drop();
  }
  EXPECT_EQ(constants.seenDriver, driver);
}

TEST_F(ShaderMaterial, WritesTwoRenderTargets) {
  const irr::s32 type = material("MODE_MRT");
  ASSERT_GE(type, 0);
  const irr::core::dimension2d<irr::u32> size(64, 64);
  irr::video::ITexture* first = driver->addRenderTargetTexture(size, "first");
  irr::video::ITexture* second = driver->addRenderTargetTexture(size, "second");
  ASSERT_TRUE(first && second);
  irr::core::array<irr::video::IRenderTarget> targets;
  targets.push_back(irr::video::IRenderTarget(first));
  targets.push_back(irr::video::IRenderTarget(second));
  driver->beginScene(true, true, SColor(255, 0, 0, 255));
  ASSERT_TRUE(driver->setRenderTarget(targets, true, true, SColor(255, 0, 0, 255)));
  drawQuad(test::quadMaterial(type));
  driver->setRenderTarget(nullptr);
  driver->endScene();
  struct Expected {
    irr::video::ITexture* target;
    SColor colour;
  } expected[] = {{first, SColor(255, 255, 0, 0)}, {second, SColor(255, 0, 255, 0)}};
  for (const Expected& e : expected) {
    const auto* texels = static_cast<const irr::u32*>(e.target->lock(irr::video::ETLM_READ_ONLY));
    ASSERT_NE(texels, nullptr);
    const irr::u32 pitch = e.target->getPitch() / 4;
    EXPECT_EQ(texels[32 * pitch + 48] & 0xffffff, e.colour.color & 0xffffff) << e.target->getName().getPath().c_str();
    EXPECT_EQ(texels[32 * pitch + 16] & 0xffffff, 0x0000ffu) << e.target->getName().getPath().c_str();
    e.target->unlock();
  }
}

// The programs are replaced under the same id and drawn at once, even when the material
// set for the draw did not change; a failed update leaves the material as it was.
TEST_F(ShaderMaterial, UpdatesInPlace) {
  const irr::s32 type = material("MODE_TINT");
  ASSERT_GE(type, 0);
  const irr::video::SMaterial quad = test::quadMaterial(type);
  irr::video::IImage* shot = drawFrame(quad);
  expectPixels(shot, 48, 32, SColor(255, 255, 128, 64), "before the update");
  if (shot) shot->drop();

  const ShaderCode narrow = compile(false, "MODE_NARROW");
  ASSERT_TRUE(programming->updateHighLevelShaderMaterialFromTokens(type, nullptr, &narrow,
                                                                   nullptr));
  SShaderConstantTable vertexTable, pixelTable;
  ASSERT_TRUE(programming->getMaterialTypeConstantTables(type, vertexTable, pixelTable));
  EXPECT_NE(vertexTable.findConstant("WorldViewProj"), nullptr);
  EXPECT_EQ(pixelTable.findConstant("Tint"), nullptr);
  shot = drawFrame(quad);
  expectPixels(shot, 48, 32, SColor(255, 64, 128, 0), "after the update");
  if (shot) shot->drop();

  const ShaderCode damaged = {0x07230203, 1, 2};
  EXPECT_FALSE(programming->updateHighLevelShaderMaterialFromTokens(type, &damaged, nullptr,
                                                                    nullptr));
  EXPECT_FALSE(programming->updateHighLevelShaderMaterialFromTokens(type + 1000, nullptr,
                                                                    &narrow, nullptr));
  EXPECT_FALSE(programming->getMaterialTypeConstantTables(irr::video::EMT_SOLID, vertexTable,
                                                          pixelTable));
  shot = drawFrame(quad);
  expectPixels(shot, 48, 32, SColor(255, 64, 128, 0), "after a failed update");
  if (shot) shot->drop();
}

}  // namespace
}  // namespace gv::engine
