#include "render/headless_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <vector>

#include "render/extension_list.h"

namespace modra {

namespace {

OffscreenFramebuffer::Function EglEntryPoint(const char* name) {
  return eglGetProcAddress(name);
}

template <class Function>
Function EglFunction(const char* name) {
  return reinterpret_cast<Function>(eglGetProcAddress(name));
}

EGLDisplay Initialized(EGLDisplay display) {
  return display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr) ? display
                                                                               : EGL_NO_DISPLAY;
}

// Mesa's software rasteriser is one of the EGL devices; choosing it there
// changes nothing for the rest of the process, as the environment variable
// that also forces it would.
EGLDisplay OpenSoftwareDisplay() {
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!HasExtension(clientExtensions, "EGL_EXT_device_enumeration") ||
      !HasExtension(clientExtensions, "EGL_EXT_platform_device"))
    return EGL_NO_DISPLAY;
  auto queryDevices = EglFunction<PFNEGLQUERYDEVICESEXTPROC>("eglQueryDevicesEXT");
  auto deviceString = EglFunction<PFNEGLQUERYDEVICESTRINGEXTPROC>("eglQueryDeviceStringEXT");
  auto getPlatformDisplay =
      EglFunction<PFNEGLGETPLATFORMDISPLAYEXTPROC>("eglGetPlatformDisplayEXT");
  if (!queryDevices || !deviceString || !getPlatformDisplay) return EGL_NO_DISPLAY;
  EGLint count = 0;
  if (!queryDevices(0, nullptr, &count) || count <= 0) return EGL_NO_DISPLAY;
  std::vector<EGLDeviceEXT> devices(static_cast<size_t>(count));
  if (!queryDevices(count, devices.data(), &count)) return EGL_NO_DISPLAY;
  for (EGLint i = 0; i < count; ++i)
    if (HasExtension(deviceString(devices[i], EGL_EXTENSIONS), "EGL_MESA_device_software"))
      return Initialized(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr));
  return EGL_NO_DISPLAY;
}

EGLDisplay OpenDisplay(GlRenderer renderer) {
  if (renderer == GlRenderer::kSoftware) return OpenSoftwareDisplay();
  // Mesa's surfaceless platform needs neither X nor a GPU device node; when
  // it is missing, the default display is the best remaining guess.
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
    auto getPlatformDisplay =
        EglFunction<PFNEGLGETPLATFORMDISPLAYEXTPROC>("eglGetPlatformDisplayEXT");
    if (getPlatformDisplay) {
      EGLDisplay display = Initialized(
          getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr));
      if (display != EGL_NO_DISPLAY) return display;
    }
  }
  return Initialized(eglGetDisplay(EGL_DEFAULT_DISPLAY));
}

bool Fail(std::string* error, const char* what) {
  if (error) {
    *error = what;
    EGLint code = eglGetError();
    if (code != EGL_SUCCESS) {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, " (EGL error 0x%04X)", static_cast<unsigned>(code));
      *error += buffer;
    }
  }
  return false;
}

}  // namespace

HeadlessGl::~HeadlessGl() {
  Release();
}

bool HeadlessGl::Create(int width, int height, std::string* error, GlRenderer renderer) {
  Release();
  if (width <= 0 || height <= 0) return Fail(error, "framebuffer size must be positive");

  EGLDisplay display = OpenDisplay(renderer);
  if (display == EGL_NO_DISPLAY)
    return Fail(error,
                renderer == GlRenderer::kSoftware ? "no software EGL device" : "no EGL display");
  display_ = display;
  if (!HasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context"))
    return Release(), Fail(error, "EGL cannot make a context current without a surface");
  if (!eglBindAPI(EGL_OPENGL_API)) return Release(), Fail(error, "EGL has no desktop OpenGL");

  // The colour and depth buffers are our own renderbuffers; the config
  // only has to be able to render desktop OpenGL. (The default surface
  // type would ask for windows, which the surfaceless platform has none of.)
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                     EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configCount = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1)
    return Release(), Fail(error, "no EGL config renders desktop OpenGL");

  const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                      EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
  if (context == EGL_NO_CONTEXT) return Release(), Fail(error, "no compatibility-profile context");
  context_ = context;
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
    return Release(), Fail(error, "cannot make the context current");

  std::string reason;
  if (!framebuffer_.Create(width, height, EglEntryPoint, &reason)) {
    Release();
    if (error) *error = reason;
    return false;
  }
  return true;
}

bool HeadlessGl::MakeCurrent() {
  if (!context_) return false;
  if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) return false;
  framebuffer_.Bind();
  return true;
}

void HeadlessGl::DoneCurrent() {
  if (context_) eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void HeadlessGl::Release() {
  if (context_) {
    if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
      framebuffer_.Release();
      eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroyContext(display_, context_);
  }
  // note: the display is not terminated. EGL hands every caller the same
  // display, and terminating it would pull the contexts of other live
  // objects out from under them; Mesa tears it down at exit.
  display_ = nullptr;
  context_ = nullptr;
  // Objects of a context that could not be made current go with it.
  framebuffer_.Abandon();
}

}  // namespace modra
