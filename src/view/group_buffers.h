// Each group's geometry kept in buffer objects of one context: the mesh of
// group_mesh.h uploaded once and drawn frame after frame from there, so a
// frame sends the driver matrices and materials, not vertices.
//
// Knowing when to upload again: an entry holds on to the vertex arrays it
// was made from, as copies of the group's VertexBuffers. A held array is
// shared, so whatever writes the group's vertices gives the group a new
// array first, and the held one can neither change nor be freed and its
// address reused. The
// entry is current while the group still has exactly those arrays, with the
// same primitive types and counts and the same vertex layout. When they
// differ, the held floats are compared with the new ones: geometry built
// again the same (undo of a step that only moved, a paste of what is
// there) keeps its buffers.
//
// Buffer objects belong to the context they were made in, or to its share
// group: one GroupBuffers per drawing context, used only while that context
// is current. The destructor makes no OpenGL call; its owner calls Release
// with the context current before the context goes, or Abandon once it has.
#pragma once

#include <vector>

#include "scene/scene.h"
#include "view/group_mesh.h"

namespace modra {

class GroupBuffers {
 public:
  struct Buffers {
    unsigned vertexBuffer = 0;
    unsigned indexBuffer = 0;  // 0: the draws read the vertices in order
    unsigned indexType = 0;    // GL_UNSIGNED_SHORT or GL_UNSIGNED_INT
    int stride = 0;            // floats per vertex
    int normalAt = 3;          // where the normal starts in a vertex
    size_t vertexCount = 0;
    std::vector<MeshDraw> draws;
  };

  GroupBuffers() = default;
  GroupBuffers(const GroupBuffers&) = delete;
  GroupBuffers& operator=(const GroupBuffers&) = delete;

  // Whether the current context has buffer objects (OpenGL 1.5 or later);
  // asked of the first context only.
  bool Usable();

  // Group g's buffers, uploaded first when its geometry differs from what
  // they hold. Null when g is no live group or the context refused the
  // memory; the caller then draws the old way.
  const Buffers* Get(const Scene& s, int g);
  // Deletes the buffers of slots that hold no live group any more.
  void Prune(const Scene& s);
  // Deletes every buffer; needs the context current.
  void Release();
  // Forgets every buffer without calling OpenGL: its context is gone.
  void Abandon();

  // How many times slot g's geometry was uploaded since its entry was made.
  int Uploads(int g) const;
  // Bytes held in buffer objects.
  size_t Bytes() const;

 private:
  struct Held {
    VertexBuffer array;  // a copy, sharing the group's floats
    int32_t type = 0;
    int32_t vertexCount = 0;
  };
  struct Entry {
    bool made = false;
    bool failed = false;  // the last upload ran out of memory
    uint32_t layout = 0;  // the group's VertexColors and TexCoords bits
    std::vector<Held> held;
    Buffers buffers;
    size_t bytes = 0;
    int uploads = 0;
  };
  bool Upload(const DisplayGroup& group, Entry& e);
  void Drop(Entry& e);

  std::vector<Entry> entries_;  // by slot
  int usable_ = -1;             // not asked yet
};

// Whether a context of this GL_VERSION string has buffer objects: OpenGL
// 1.5 or later. False for none.
bool HasBufferObjects(const char* version);

// Draws b's runs from its buffers, the client arrays of positions and of
// whichever of colours, normals and texture coordinates are asked for
// pointing into them; the caller has enabled exactly those arrays. Leaves
// no buffer bound, so client arrays work after it as before.
void DrawBuffers(const GroupBuffers::Buffers& b, bool colors, bool normals, bool texCoords);

}  // namespace modra
