// A framebuffer object to draw into instead of a window: an RGBA8 colour
// and a 24-bit depth renderbuffer of one size, in whatever desktop OpenGL
// context is current when it is made. The headless context of the batch
// renderer and the tests draws into one, and so does the editor's render
// window in a context of the editor's own.
//
// Framebuffer objects are not in OpenGL 1.1's library interface: their
// entry points come from the window system that made the context, through
// the resolver the caller passes (eglGetProcAddress, glXGetProcAddress or
// the toolkit's own lookup).
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace modra {

class OffscreenFramebuffer {
 public:
  using Function = void (*)();
  // An entry point of the current context by its name, or null.
  using Resolver = std::function<Function(const char* name)>;

  OffscreenFramebuffer();
  OffscreenFramebuffer(const OffscreenFramebuffer&) = delete;
  OffscreenFramebuffer& operator=(const OffscreenFramebuffer&) = delete;
  // Deletes nothing: there may be no context current by then. A holder
  // whose context outlives this object calls Release first.
  ~OffscreenFramebuffer();

  // With the context current: makes the width x height framebuffer, binds
  // it for drawing and reading, and sets the viewport to cover it. false
  // with a reason in *error (when not null) when the context has no
  // framebuffer objects, refuses the size, or cannot complete the
  // framebuffer; the object then holds nothing. Calling it again releases
  // what the object held first, so the same context must be current.
  bool Create(int width, int height, const Resolver& resolve, std::string* error);
  // Binds the framebuffer again, in the context it was made in (a context
  // made current after another keeps its own binding, but Qt and other
  // code may have bound something else meanwhile). Nothing when empty.
  void Bind() const;
  // Binds the context's default framebuffer: drawing goes to its surface again.
  void Unbind() const;
  // Deletes the framebuffer and its renderbuffers; needs the context it
  // was made in current. The renderbuffers belong to the context's share
  // group and would outlive a context destroyed while another shares them.
  void Release();
  // Forgets the objects without deleting them, for when their context
  // cannot be made current again: they go with it.
  void Abandon();

  bool Valid() const { return framebuffer_ != 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  struct Functions;

  // The entry points, looked up once by Create; valid for the context it
  // was made in. Opaque so that this header needs no OpenGL header.
  std::unique_ptr<const Functions> gl_;
  unsigned framebuffer_ = 0, colorBuffer_ = 0, depthBuffer_ = 0;
  int width_ = 0, height_ = 0;
};

}  // namespace modra
