#include "images/gl_texture_upload.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cassert>
#include <new>

namespace modra {
namespace {

void DefineTexture(GLuint name, const uint8_t* rgb, int width, int height) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows are packed
  glBindTexture(GL_TEXTURE_2D, name);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

}  // namespace

bool GlTextureUpload::Upload(int index, const uint8_t* rgb, int width, int height) {
  assert(index >= 0 && rgb && width > 0 && height > 0);
  try {
    Picture picture{index, width, height,
                    std::vector<uint8_t>(rgb, rgb + static_cast<size_t>(width) * height * 3)};
    Forget(index);
    waiting_.push_back(std::move(picture));
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void GlTextureUpload::Release(int index) {
  try {
    Forget(index);
  } catch (const std::bad_alloc&) {
    // note: the object then stays until its context goes; no group names an
    // entry that the table did not keep.
  }
}

void GlTextureUpload::Forget(int index) {
  std::erase_if(waiting_, [&](const Picture& p) { return p.index == index; });
  if (index >= 0 && static_cast<size_t>(index) < names_.size() && names_[index] != 0) {
    released_.push_back(names_[index]);
    names_[index] = 0;
  }
}

std::span<const unsigned> GlTextureUpload::DrawingNames() {
  if (!released_.empty()) {
    glDeleteTextures(static_cast<GLsizei>(released_.size()), released_.data());
    released_.clear();
  }
  if (waiting_.empty()) return names_;
  const size_t entries = std::ranges::max_element(waiting_, {}, &Picture::index)->index + size_t{1};
  try {
    if (entries > names_.size()) names_.resize(entries, 0);
  } catch (const std::bad_alloc&) {
    return names_;  // the pictures wait for the next draw
  }
  for (const Picture& p : waiting_) {
    GLuint name = 0;
    glGenTextures(1, &name);
    DefineTexture(name, p.rgb.data(), p.width, p.height);
    names_[p.index] = name;
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  waiting_.clear();
  return names_;
}

}  // namespace modra
