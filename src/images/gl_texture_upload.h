// The table's textures as OpenGL texture objects of the context that draws.
//
// The editor's view shares its context with Qt's own textures and makes it
// current only while it paints, so an upload never touches OpenGL: the
// picture waits here until drawing asks for the names with its context
// current. The names then come from glGenTextures, never from the entry's
// index, and an entry's replaced or released object is deleted there too.
// The objects belong to that context and go with it.
#pragma once

#include <vector>

#include "images/texture_table.h"

namespace modra {

class GlTextureUpload : public TextureUploader {
 public:
  // Keeps a copy of the picture until the next DrawingNames. index is not
  // negative; the picture has width x height pixels, both at least 1.
  bool Upload(int index, const uint8_t* rgb, int width, int height) override;
  void Release(int index) override;
  // Needs the drawing context current. Each waiting picture becomes a
  // mipmapped, repeating, linearly filtered texture that modulates the lit
  // surface colour; any width and height, as GLU scales the picture to
  // powers of two for the mipmap chain.
  std::span<const unsigned> DrawingNames() override;

 private:
  struct Picture {
    int index = 0, width = 0, height = 0;
    std::vector<uint8_t> rgb;
  };
  // Forgets what entry `index` had, waiting or defined.
  void Forget(int index);

  std::vector<Picture> waiting_;
  std::vector<unsigned> names_;     // by entry; 0 for none
  std::vector<unsigned> released_;  // names to delete once a context is current
};

}  // namespace modra
