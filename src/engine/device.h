#pragma once
// Device creation that survives X servers refusing the swap-interval request.
//
// With vsync asked for, Irrlicht 1.8 sends GLX's swap-interval request; servers without
// support for it for the context in use (Xvfb with Mesa's software rasteriser) answer with
// a GLX error, and Xlib's default handler ends the process. Such errors are ignored while
// the device is made: the window then simply runs without vsync.
#include <irrlicht.h>

namespace gv::engine {

irr::IrrlichtDevice* createDevice(const irr::SIrrlichtCreationParameters& parameters);

}  // namespace gv::engine
