#include "render/framebuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <type_traits>

#include "render/extension_list.h"

namespace modra {

struct OffscreenFramebuffer::Functions {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
};

namespace {

bool Fail(std::string* error, const char* what) {
  if (error) *error = what;
  return false;
}

}  // namespace

OffscreenFramebuffer::OffscreenFramebuffer() = default;
OffscreenFramebuffer::~OffscreenFramebuffer() = default;

bool OffscreenFramebuffer::Create(int width, int height, const Resolver& resolve,
                                  std::string* error) {
  Release();
  if (width <= 0 || height <= 0) return Fail(error, "framebuffer size must be positive");
  if (!resolve) return Fail(error, "no way to look up OpenGL entry points");
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version) return Fail(error, "no OpenGL context is current");

  // The core names (GL 3.0, ARB_framebuffer_object) where the context has
  // them, else the EXT names of older renderers.
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  const bool core = (version[0] >= '3' && version[0] <= '9') ||
                    HasExtension(extensions, "GL_ARB_framebuffer_object");
  if (!core && !HasExtension(extensions, "GL_EXT_framebuffer_object"))
    return Fail(error, "no framebuffer objects");
  auto f = std::make_unique<Functions>();
  const std::string suffix = core ? "" : "EXT";
  auto load = [&](auto* out, const char* name) {
    *out = reinterpret_cast<std::remove_pointer_t<decltype(out)>>(resolve((name + suffix).c_str()));
    return *out != nullptr;
  };
  if (!(load(&f->genFramebuffers, "glGenFramebuffers") &&
        load(&f->deleteFramebuffers, "glDeleteFramebuffers") &&
        load(&f->bindFramebuffer, "glBindFramebuffer") &&
        load(&f->framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
        load(&f->checkFramebufferStatus, "glCheckFramebufferStatus") &&
        load(&f->genRenderbuffers, "glGenRenderbuffers") &&
        load(&f->deleteRenderbuffers, "glDeleteRenderbuffers") &&
        load(&f->bindRenderbuffer, "glBindRenderbuffer") &&
        load(&f->renderbufferStorage, "glRenderbufferStorage")))
    return Fail(error, "no framebuffer objects");

  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
  if (maxSize > 0 && (width > maxSize || height > maxSize))
    return Fail(error, "framebuffer larger than the renderer allows");

  gl_ = std::move(f);
  const Functions& fn = *gl_;
  fn.genFramebuffers(1, &framebuffer_);
  fn.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  fn.genRenderbuffers(1, &colorBuffer_);
  fn.bindRenderbuffer(GL_RENDERBUFFER, colorBuffer_);
  fn.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  fn.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer_);
  fn.genRenderbuffers(1, &depthBuffer_);
  fn.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
  fn.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  fn.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
  fn.bindRenderbuffer(GL_RENDERBUFFER, 0);
  if (fn.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
    return Release(), Fail(error, "framebuffer incomplete");

  width_ = width;
  height_ = height;
  // The draw and read buffers are state of the bound framebuffer object:
  // set once, they hold whenever it is bound again.
  glDrawBuffer(GL_COLOR_ATTACHMENT0);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glViewport(0, 0, width, height);
  return true;
}

void OffscreenFramebuffer::Bind() const {
  if (gl_ && framebuffer_) gl_->bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void OffscreenFramebuffer::Unbind() const {
  if (gl_) gl_->bindFramebuffer(GL_FRAMEBUFFER, 0);
}

void OffscreenFramebuffer::Release() {
  if (gl_ && (framebuffer_ || colorBuffer_ || depthBuffer_)) {
    gl_->bindFramebuffer(GL_FRAMEBUFFER, 0);
    if (framebuffer_) gl_->deleteFramebuffers(1, &framebuffer_);
    if (colorBuffer_) gl_->deleteRenderbuffers(1, &colorBuffer_);
    if (depthBuffer_) gl_->deleteRenderbuffers(1, &depthBuffer_);
  }
  Abandon();
}

void OffscreenFramebuffer::Abandon() {
  gl_.reset();
  framebuffer_ = colorBuffer_ = depthBuffer_ = 0;
  width_ = height_ = 0;
}

}  // namespace modra
