#pragma once
// Pixel tests on Irrlicht's OpenGL driver: a small window, and frames of one quad read back as
// they were shown.
#include <irrlicht.h>

#include <string>

namespace gv::test {

// An OpenGL device with a window of the given size, or null with the reason in `whyNot` (no
// display, or a display without OpenGL windows); tests skip with that reason.
irr::IrrlichtDevice* createOpenGLTestDevice(irr::u32 width, irr::u32 height, std::string& whyNot);

// Draws the quad covering the whole view (texture coordinates from 0,0 at the top left,
// corners in `vertexColour`) with `material`, without starting or ending a frame.
void drawViewQuad(irr::video::IVideoDriver* driver, const irr::video::SMaterial& material,
                  irr::video::SColor vertexColour = irr::video::SColor(255, 255, 255, 255));

// One whole frame: cleared to `background`, the quad drawn; the shown pixels (the caller drops
// them), or null.
irr::video::IImage* drawQuadFrame(irr::video::IVideoDriver* driver,
                                  const irr::video::SMaterial& material,
                                  irr::video::SColor background,
                                  irr::video::SColor vertexColour = irr::video::SColor(255, 255,
                                                                                       255, 255));

// A material for drawing the quad with a shader material type: unlit, both faces.
irr::video::SMaterial quadMaterial(irr::s32 materialType);

}  // namespace gv::test
