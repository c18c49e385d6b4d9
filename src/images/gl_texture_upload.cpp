#include "images/gl_texture_upload.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace modra {

void GlTextureUpload::Upload(unsigned textureObject, const uint8_t* rgb, int width, int height) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows are packed
  glBindTexture(GL_TEXTURE_2D, textureObject);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void GlTextureUpload::Release(unsigned textureObject) {
  const GLuint name = textureObject;
  glDeleteTextures(1, &name);
}

}  // namespace modra
