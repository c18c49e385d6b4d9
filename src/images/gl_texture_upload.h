// Texture upload into the current OpenGL context: the pixels become a
// mipmapped, repeating, linearly filtered texture that modulates the
// lit surface colour.
#pragma once

#include "images/texture_table.h"

namespace modra {

class GlTextureUpload : public TextureUploader {
 public:
  // Needs a current context. Any width and height: GLU scales the picture
  // to powers of two for the mipmap chain.
  void Upload(unsigned textureObject, const uint8_t* rgb, int width, int height) override;
  // Deletes the texture object.
  void Release(unsigned textureObject) override;
};

}  // namespace modra
