#include "support/gl_frame.h"

#include "engine/device.h"
#include "engine/presented_frame.h"
#include "platform/process.h"

namespace gv::test {

irr::IrrlichtDevice* createOpenGLTestDevice(irr::u32 width, irr::u32 height, std::string& whyNot) {
  if (!platform::hasDisplay()) {
    whyNot = "no X display: run under xvfb-run (./test does)";
    return nullptr;
  }
  irr::SIrrlichtCreationParameters parameters;
  parameters.DriverType = irr::video::EDT_OPENGL;
  parameters.WindowSize = {width, height};
  irr::IrrlichtDevice* device = engine::createDevice(parameters);
  if (!device) whyNot = "the display offers no OpenGL window";
  return device;
}

void drawViewQuad(irr::video::IVideoDriver* driver, const irr::video::SMaterial& material,
                  irr::video::SColor vertexColour) {
  const irr::video::S3DVertex corners[] = {{-1, -1, 0, 0, 0, 1, vertexColour, 0, 1},
                                           {1, -1, 0, 0, 0, 1, vertexColour, 1, 1},
                                           {1, 1, 0, 0, 0, 1, vertexColour, 1, 0},
                                           {-1, 1, 0, 0, 0, 1, vertexColour, 0, 0}};
  const irr::u16 indices[] = {0, 2, 1, 0, 3, 2};
  driver->setMaterial(material);
  driver->drawIndexedTriangleList(corners, 4, indices, 2);
}

irr::video::IImage* drawQuadFrame(irr::video::IVideoDriver* driver,
                                  const irr::video::SMaterial& material,
                                  irr::video::SColor background, irr::video::SColor vertexColour) {
  driver->beginScene(true, true, background);
  drawViewQuad(driver, material, vertexColour);
  engine::PresentedFrame frame;
  frame.keep(driver);
  driver->endScene();
  irr::video::IImage* shot = frame.createImage(driver);
  frame.release();
  return shot;
}

irr::video::SMaterial quadMaterial(irr::s32 materialType) {
  irr::video::SMaterial quad;
  quad.MaterialType = static_cast<irr::video::E_MATERIAL_TYPE>(materialType);
  quad.Lighting = false;
  quad.BackfaceCulling = false;
  return quad;
}

}  // namespace gv::test
