#include "engine/device.h"

#include <X11/Xlib.h>

namespace gv::engine {
namespace {

// X_GLXVendorPrivate and X_GLXVendorPrivateWithReply of the GLX protocol.
constexpr unsigned char kGlxVendorPrivate = 16;
constexpr unsigned char kGlxVendorPrivateWithReply = 17;

XErrorHandler previousHandler = nullptr;
int glxOpcode = -1;

// An error handler may not talk to the server, so GLX's request number is asked for first,
// on a connection of its own. -1 without GLX.
int queryGlxOpcode(Display* display) {
  int opcode = 0, firstEvent = 0, firstError = 0;
  return XQueryExtension(display, "GLX", &opcode, &firstEvent, &firstError) ? opcode : -1;
}

int ignoreGlxVendorErrors(Display* display, XErrorEvent* error) {
  if (error->request_code == glxOpcode &&
      (error->minor_code == kGlxVendorPrivate || error->minor_code == kGlxVendorPrivateWithReply))
    return 0;
  return previousHandler ? previousHandler(display, error) : 0;
}

Display* displayOf(irr::IrrlichtDevice* device) {
  irr::video::IVideoDriver* driver = device->getVideoDriver();
  if (!driver || driver->getDriverType() != irr::video::EDT_OPENGL) return nullptr;
  return static_cast<Display*>(driver->getExposedVideoData().OpenGLLinux.X11Display);
}

}  // namespace

irr::IrrlichtDevice* createDevice(const irr::SIrrlichtCreationParameters& parameters) {
  if (parameters.DriverType != irr::video::EDT_OPENGL) return irr::createDeviceEx(parameters);
  // The query connection stays open until the device has its own: an X server such as Xvfb
  // resets itself whenever its last client leaves, refusing connections while it does.
  Display* query = XOpenDisplay(nullptr);
  glxOpcode = query ? queryGlxOpcode(query) : -1;
  irr::IrrlichtDevice* device = nullptr;
  if (glxOpcode < 0) {
    device = irr::createDeviceEx(parameters);
  } else {
    previousHandler = XSetErrorHandler(ignoreGlxVendorErrors);
    device = irr::createDeviceEx(parameters);
    // Errors arrive asynchronously: collect every answer before the usual handler returns.
    if (device)
      if (Display* display = displayOf(device)) XSync(display, False);
    XSetErrorHandler(previousHandler);
    previousHandler = nullptr;
  }
  if (query) XCloseDisplay(query);
  return device;
}

}  // namespace gv::engine
