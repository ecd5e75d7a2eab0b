#pragma once
// The last frame shown on screen, kept for screenshots. On OpenGL the front buffer cannot
// be read back reliably after a swap (Mesa's software rasteriser returns black), so the
// back buffer is copied into a texture just before each present and read from there.
#include <cstdint>

namespace irr::video {
class IVideoDriver;
class IImage;
}  // namespace irr::video

namespace gv::engine {

class PresentedFrame {
 public:
  // Copies the back buffer; call right before presenting. Does nothing off OpenGL.
  void keep(irr::video::IVideoDriver* driver);
  // The kept frame as an R8G8B8 image (the caller drops it), or nullptr when none is kept.
  irr::video::IImage* createImage(irr::video::IVideoDriver* driver) const;
  // Frees the copy; call while the driver's context is still alive.
  void release();

 private:
  std::uint32_t texture_ = 0;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace gv::engine
