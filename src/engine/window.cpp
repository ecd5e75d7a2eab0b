#include "engine/window.h"

#include <irrlicht.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace gv::engine {
namespace {

struct X11Window {
  Display* display;
  Window window;
  GLXContext context;
};

std::optional<X11Window> windowOf(irr::video::IVideoDriver* driver) {
  if (!driver || driver->getDriverType() != irr::video::EDT_OPENGL) return std::nullopt;
  const irr::video::SExposedVideoData& data = driver->getExposedVideoData();
  if (!data.OpenGLLinux.X11Display || !data.OpenGLLinux.X11Window) return std::nullopt;
  return X11Window{static_cast<Display*>(data.OpenGLLinux.X11Display), data.OpenGLLinux.X11Window,
                   static_cast<GLXContext>(data.OpenGLLinux.X11Context)};
}

int clampToClient(int position, int size) {
  if (position < 0) return -1;
  if (position >= size) return size + 1;
  return position;
}

}  // namespace

bool hasWindow(irr::video::IVideoDriver* driver) { return windowOf(driver).has_value(); }

void moveWindow(irr::video::IVideoDriver* driver, int x, int y) {
  if (std::optional<X11Window> w = windowOf(driver)) {
    XMoveWindow(w->display, w->window, x, y);
    XFlush(w->display);
  }
}

void hideWindow(irr::video::IVideoDriver* driver) {
  if (std::optional<X11Window> w = windowOf(driver)) {
    XUnmapWindow(w->display, w->window);
    XFlush(w->display);
  }
}

void showWindow(irr::video::IVideoDriver* driver) {
  if (std::optional<X11Window> w = windowOf(driver)) {
    XMapRaised(w->display, w->window);
    XFlush(w->display);
  }
}

void setWindowIcon(irr::video::IVideoDriver* driver, const std::vector<std::uint32_t>& argb, int size) {
  std::optional<X11Window> w = windowOf(driver);
  if (!w || size <= 0 || argb.size() != static_cast<std::size_t>(size) * size) return;
  // _NET_WM_ICON is a CARDINAL array of width, height and the pixels, 32 bits each, which
  // Xlib takes as longs.
  std::vector<unsigned long> property = {static_cast<unsigned long>(size), static_cast<unsigned long>(size)};
  property.insert(property.end(), argb.begin(), argb.end());
  Atom icon = XInternAtom(w->display, "_NET_WM_ICON", False);
  XChangeProperty(w->display, w->window, icon, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(property.data()), static_cast<int>(property.size()));
  XFlush(w->display);
}

std::optional<CursorPosition> cursorInClientArea(irr::video::IVideoDriver* driver) {
  std::optional<X11Window> w = windowOf(driver);
  if (!w) return std::nullopt;
  Window root, child;
  int rootX, rootY, x, y;
  unsigned int buttons;
  XWindowAttributes attributes;
  if (!XQueryPointer(w->display, w->window, &root, &child, &rootX, &rootY, &x, &y, &buttons) ||
      !XGetWindowAttributes(w->display, w->window, &attributes))
    return std::nullopt;
  return CursorPosition{clampToClient(x, attributes.width), clampToClient(y, attributes.height)};
}

std::optional<ScreenSize> defaultScreenSize() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return std::nullopt;
  int screen = DefaultScreen(display);
  ScreenSize size{DisplayWidth(display, screen), DisplayHeight(display, screen), DefaultDepth(display, screen)};
  XCloseDisplay(display);
  return size;
}

bool makeContextCurrent(irr::video::IVideoDriver* driver) {
  std::optional<X11Window> w = windowOf(driver);
  return w && w->context && glXMakeCurrent(w->display, w->window, w->context);
}

}  // namespace gv::engine
