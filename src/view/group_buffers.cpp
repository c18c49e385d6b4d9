// The buffer functions are OpenGL 1.5; libOpenGL exports them and
// dispatches them to the current context, as it does the 1.1 ones.
#define GL_GLEXT_PROTOTYPES 1
#include "view/group_buffers.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "view/primitive_runs.h"

namespace modra {

namespace {

constexpr uint32_t kLayoutBits = VertexColors | TexCoords;

template <class T>
size_t BytesOf(const std::vector<T>& v) {
  return v.size() * sizeof(T);
}

}  // namespace

bool HasBufferObjects(const char* version) {
  int major = 0, minor = 0;
  return version && std::sscanf(version, "%d.%d", &major, &minor) == 2 &&
         (major > 1 || (major == 1 && minor >= 5));
}

bool GroupBuffers::Usable() {
  if (usable_ < 0) {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!version) return false;  // no context: ask again with one
    usable_ = HasBufferObjects(version);
  }
  return usable_ == 1;
}

const GroupBuffers::Buffers* GroupBuffers::Get(const Scene& s, int g) {
  if (!IsLiveGroup(s, g)) return nullptr;
  if (entries_.size() <= static_cast<size_t>(g)) entries_.resize(static_cast<size_t>(g) + 1);
  Entry& e = entries_[static_cast<size_t>(g)];
  const DisplayGroup& group = s.groups[static_cast<size_t>(g)];
  const uint32_t layout = group.flags & kLayoutBits;
  const size_t count = group.primitives.size();
  const bool sameShape = e.made && e.layout == layout && e.held.size() == count && [&] {
    for (size_t i = 0; i < count; ++i)
      if (e.held[i].type != group.primitives[i].type ||
          e.held[i].vertexCount != group.primitives[i].vertexCount)
        return false;
    return true;
  }();
  if (sameShape) {
    bool sameArrays = true;
    for (size_t i = 0; i < count && sameArrays; ++i)
      sameArrays = e.held[i].array.ArrayId() == group.primitives[i].vertices.ArrayId();
    if (sameArrays) return e.failed ? nullptr : &e.buffers;
  }
  // What the draws read of each array: its drawn vertices.
  const int stride = VertexStride(group);
  const auto sameFloats = [&] {
    for (size_t i = 0; i < count; ++i) {
      const Held& h = e.held[i];
      const DisplayPrimitive& prim = group.primitives[i];
      const int was = DrawnVertexCount(h.type, h.vertexCount, h.array.size(), stride);
      const int now = DrawnVertexCount(prim, stride);
      if (was != now) return false;
      if (now > 0 &&
          std::memcmp(h.array.data(), prim.vertices.data(),
                      static_cast<size_t>(now) * static_cast<size_t>(stride) * sizeof(float)) != 0)
        return false;
    }
    return true;
  };
  const bool keep = sameShape && !e.failed && sameFloats();
  e.held.resize(count);
  for (size_t i = 0; i < count; ++i)
    e.held[i] = {group.primitives[i].vertices, group.primitives[i].type,
                 group.primitives[i].vertexCount};
  e.layout = layout;
  e.made = true;
  if (!keep) {
    ++e.uploads;
    e.failed = !Upload(group, e);
  }
  return e.failed ? nullptr : &e.buffers;
}

bool GroupBuffers::Upload(const DisplayGroup& group, Entry& e) {
  GroupMesh mesh;
  try {
    mesh = BuildGroupMesh(group);
  } catch (const std::bad_alloc&) {
    Drop(e);
    return false;
  }
  e.buffers.draws = std::move(mesh.draws);
  e.buffers.stride = mesh.stride;
  e.buffers.normalAt = NormalOffset(group.flags);
  e.buffers.vertexCount = mesh.VertexCount();
  e.bytes = 0;
  if (mesh.vertices.empty()) {
    Drop(e);
    return true;  // nothing to draw, and no buffer needed for it
  }
  // Errors from before are not this upload's.
  while (glGetError() != GL_NO_ERROR) {
  }
  Buffers& b = e.buffers;
  if (!b.vertexBuffer) glGenBuffers(1, &b.vertexBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, b.vertexBuffer);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(BytesOf(mesh.vertices)),
               mesh.vertices.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  e.bytes = BytesOf(mesh.vertices);
  // The driver has its copy: a big mesh's peak memory need not hold both.
  std::vector<float>().swap(mesh.vertices);
  if (mesh.indices.empty()) {
    if (b.indexBuffer) glDeleteBuffers(1, &b.indexBuffer);
    b.indexBuffer = 0;
    b.indexType = 0;
  } else {
    if (!b.indexBuffer) glGenBuffers(1, &b.indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indexBuffer);
    // Half the bytes to store and to read when every index fits.
    if (e.buffers.vertexCount <= 0x10000) {
      const std::vector<uint16_t> shorts(mesh.indices.begin(), mesh.indices.end());
      glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(BytesOf(shorts)), shorts.data(),
                   GL_STATIC_DRAW);
      b.indexType = GL_UNSIGNED_SHORT;
      e.bytes += BytesOf(shorts);
    } else {
      glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(BytesOf(mesh.indices)),
                   mesh.indices.data(), GL_STATIC_DRAW);
      b.indexType = GL_UNSIGNED_INT;
      e.bytes += BytesOf(mesh.indices);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
  if (glGetError() == GL_OUT_OF_MEMORY) {
    Drop(e);
    return false;
  }
  return true;
}

void GroupBuffers::Drop(Entry& e) {
  Buffers& b = e.buffers;
  if (b.vertexBuffer) glDeleteBuffers(1, &b.vertexBuffer);
  if (b.indexBuffer) glDeleteBuffers(1, &b.indexBuffer);
  b.vertexBuffer = b.indexBuffer = b.indexType = 0;
  e.bytes = 0;
}

void GroupBuffers::Prune(const Scene& s) {
  for (size_t g = 0; g < entries_.size(); ++g)
    if (entries_[g].made && !IsLiveGroup(s, static_cast<int>(g))) {
      Drop(entries_[g]);
      entries_[g] = {};
    }
}

void GroupBuffers::Release() {
  for (Entry& e : entries_)
    Drop(e);
  entries_.clear();
  usable_ = -1;
}

void GroupBuffers::Abandon() {
  entries_.clear();
  usable_ = -1;
}

int GroupBuffers::Uploads(int g) const {
  return g >= 0 && static_cast<size_t>(g) < entries_.size()
             ? entries_[static_cast<size_t>(g)].uploads
             : 0;
}

size_t GroupBuffers::Bytes() const {
  size_t bytes = 0;
  for (const Entry& e : entries_)
    bytes += e.bytes;
  return bytes;
}

void DrawBuffers(const GroupBuffers::Buffers& b, bool colors, bool normals, bool texCoords) {
  if (!b.vertexBuffer) return;
  const auto at = [](size_t floats) {
    return reinterpret_cast<const void*>(floats * sizeof(float));
  };
  const size_t stride = static_cast<size_t>(b.stride);
  const GLsizei bytes = static_cast<GLsizei>(stride * sizeof(float));
  glBindBuffer(GL_ARRAY_BUFFER, b.vertexBuffer);
  glVertexPointer(3, GL_FLOAT, bytes, at(0));
  if (colors) glColorPointer(3, GL_FLOAT, bytes, at(3));
  if (normals) glNormalPointer(GL_FLOAT, bytes, at(static_cast<size_t>(b.normalAt)));
  if (texCoords) glTexCoordPointer(2, GL_FLOAT, bytes, at(stride - 2));
  if (b.indexBuffer) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indexBuffer);
  const size_t size = b.indexType == GL_UNSIGNED_SHORT ? 2 : 4;
  // The range spares the driver a pass over the indices to find it.
  const GLuint last = static_cast<GLuint>(b.vertexCount - 1);
  for (const MeshDraw& d : b.draws)
    if (d.indexed)
      glDrawRangeElements(GlModeOf(d.type), 0, last, static_cast<GLsizei>(d.count), b.indexType,
                          reinterpret_cast<const void*>(d.first * size));
    else
      glDrawArrays(GlModeOf(d.type), static_cast<GLint>(d.first), static_cast<GLsizei>(d.count));
  if (b.indexBuffer) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace modra
