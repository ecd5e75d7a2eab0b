#pragma once
// Window services Irrlicht 1.8 lacks on X11: placing, hiding and showing the device's
// window, the cursor relative to its client area, and making its GL context current again
// after another device used GL. Every call does nothing (or answers "none") for a driver
// that has no X11 window, such as the NULL driver.
#include <cstdint>
#include <optional>
#include <vector>

namespace irr::video {
class IVideoDriver;
}

namespace gv::engine {

// Whether the driver draws into an X11 window.
bool hasWindow(irr::video::IVideoDriver* driver);

void moveWindow(irr::video::IVideoDriver* driver, int x, int y);
void hideWindow(irr::video::IVideoDriver* driver);
void showWindow(irr::video::IVideoDriver* driver);

struct CursorPosition {
  int x;
  int y;
};
// The system cursor in window coordinates: -1 left of (above) the client area, width + 1
// (height + 1) right of (below) it. Nothing without a window.
std::optional<CursorPosition> cursorInClientArea(irr::video::IVideoDriver* driver);

struct ScreenSize {
  int width;
  int height;
  int depth;  // colour depth as X reports it (24 for 32-bit pixels)
};
// The default screen of the display named in the environment; nothing without one.
std::optional<ScreenSize> defaultScreenSize();

// Sets the window's icon from square ARGB pixels (0xAARRGGBB, rows top to bottom).
void setWindowIcon(irr::video::IVideoDriver* driver, const std::vector<std::uint32_t>& argb, int size);

// Makes the driver's GL context current on its window again; false without one.
bool makeContextCurrent(irr::video::IVideoDriver* driver);

}  // namespace gv::engine
