#include "engine/presented_frame.h"

#include <irrlicht.h>
#include <GL/gl.h>

#include <cstring>
#include <vector>

namespace gv::engine {
namespace {

// Irrlicht caches the texture bound on each unit; whatever is touched here is put back.
class TextureBindingGuard {
 public:
  TextureBindingGuard() { glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous_); }
  ~TextureBindingGuard() { glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous_)); }

 private:
  GLint previous_ = 0;
};

}  // namespace

void PresentedFrame::keep(irr::video::IVideoDriver* driver) {
  if (!driver || driver->getDriverType() != irr::video::EDT_OPENGL) return;
  const irr::core::dimension2d<irr::u32>& size = driver->getScreenSize();
  int width = static_cast<int>(size.Width);
  int height = static_cast<int>(size.Height);
  if (width <= 0 || height <= 0) return;

  TextureBindingGuard binding;
  GLint readBuffer = 0;
  glGetIntegerv(GL_READ_BUFFER, &readBuffer);
  glReadBuffer(GL_BACK);
  if (!texture_) glGenTextures(1, &texture_);
  glBindTexture(GL_TEXTURE_2D, texture_);
  if (width != width_ || height != height_) {
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 0, 0, width, height, 0);
    width_ = width;
    height_ = height;
  } else {
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
  }
  glReadBuffer(static_cast<GLenum>(readBuffer));
}

irr::video::IImage* PresentedFrame::createImage(irr::video::IVideoDriver* driver) const {
  if (!driver || !texture_) return nullptr;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(width_) * height_ * 3);
  {
    TextureBindingGuard binding;
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  }
  irr::video::IImage* image = driver->createImage(
      irr::video::ECF_R8G8B8,
      irr::core::dimension2d<irr::u32>(static_cast<irr::u32>(width_), static_cast<irr::u32>(height_)));
  if (!image) return nullptr;
  // GL rows run bottom to top; images run top to bottom.
  auto* target = static_cast<unsigned char*>(image->lock());
  const std::size_t row = static_cast<std::size_t>(width_) * 3;
  for (int y = 0; y < height_; ++y)
    std::memcpy(target + y * image->getPitch(), pixels.data() + (height_ - 1 - y) * row, row);
  image->unlock();
  return image;
}

void PresentedFrame::release() {
  if (texture_) glDeleteTextures(1, &texture_);
  texture_ = 0;
  width_ = height_ = 0;
}

}  // namespace gv::engine
