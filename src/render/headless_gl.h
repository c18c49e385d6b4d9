// An OpenGL context that needs no window or display server: EGL on Mesa's
// surfaceless platform, desktop OpenGL with the compatibility profile (so
// the fixed-function drawing code runs unchanged), drawing into a
// framebuffer object of a fixed size (OffscreenFramebuffer). Tests and the
// batch renderer draw with it and read the pixels back with glReadPixels.
#pragma once

#include <string>

#include "render/framebuffer.h"

namespace modra {

// Which rasteriser draws.
enum class GlRenderer {
  kDefault,   // Mesa's choice: a GPU when it finds one it may use
  kSoftware,  // Mesa's software device (llvmpipe): the same pixels on every machine
};

class HeadlessGl {
 public:
  HeadlessGl() = default;
  HeadlessGl(const HeadlessGl&) = delete;
  HeadlessGl& operator=(const HeadlessGl&) = delete;
  // Releases the framebuffer and the context.
  ~HeadlessGl();

  // Creates the context and a width x height framebuffer (RGBA8 colour,
  // 24-bit depth), and leaves both current and bound with the viewport
  // covering them. false with a reason in *error (when not null) if any
  // step fails; the object then holds nothing. Calling it again replaces
  // what the object held.
  bool Create(int width, int height, std::string* error,
              GlRenderer renderer = GlRenderer::kDefault);
  // Makes this context and its framebuffer current again (after another
  // context was used on this thread). false when EGL refuses, as it does
  // while another window API (GLX) has a context current on the thread.
  bool MakeCurrent();
  // Leaves no EGL context current on this thread. A thread may hold only
  // one window API's context at a time: the editor releases this one
  // before its own GLX contexts draw again.
  void DoneCurrent();

  int Width() const { return framebuffer_.Width(); }
  int Height() const { return framebuffer_.Height(); }

 private:
  void Release();

  void* display_ = nullptr;  // EGLDisplay
  void* context_ = nullptr;  // EGLContext
  OffscreenFramebuffer framebuffer_;
};

}  // namespace modra
