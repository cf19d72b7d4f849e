#include "offscreen_window.h"

// libepoxy's EGL: its headers and <EGL/egl.h> cannot both be included.
#include <epoxy/egl.h>
#include <epoxy/gl.h>

namespace gl_test {

struct OffscreenWindow::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
};

namespace {

// One display for the whole test run: Mesa's software renderer with no window system.
EGLDisplay Display(std::string& why) {
    static EGLDisplay display = [] {
        if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) {
            return EGL_NO_DISPLAY;
        }
        EGLDisplay d =
            eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0, minor = 0;
        if (d == EGL_NO_DISPLAY || !eglInitialize(d, &major, &minor)) {
            return EGL_NO_DISPLAY;
        }
        return d;
    }();
    if (display == EGL_NO_DISPLAY) {
        why = "no EGL surfaceless platform (libegl1 and Mesa's libegl-mesa0)";
    }
    return display;
}

}  // namespace

OffscreenWindow::OffscreenWindow(int width, int height) : width_(width), height_(height) {}

OffscreenWindow::~OffscreenWindow() {
    DropContext();
}

bool OffscreenWindow::Available(std::string& why) {
    OffscreenWindow probe(4, 4);
    const bool made = probe.MakeContext(why);
    probe.DropContext();
    return made;
}

bool OffscreenWindow::MakeContext(std::string& why) {
    DropContext();
    auto egl = std::make_unique<Egl>();
    egl->display = Display(why);
    if (egl->display == EGL_NO_DISPLAY) {
        return false;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglBindAPI(EGL_OPENGL_API) ||
        !eglChooseConfig(egl->display, configAttributes, &config, 1, &configs) || configs < 1) {
        why = "no EGL configuration for an OpenGL pbuffer";
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width_, EGL_HEIGHT, height_, EGL_NONE};
    egl->surface = eglCreatePbufferSurface(egl->display, config, surfaceAttributes);
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        3,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_NONE};
    egl->context = eglCreateContext(egl->display, config, EGL_NO_CONTEXT, contextAttributes);
    egl_ = std::move(egl);
    lost_ = false;
    if (egl_->surface == EGL_NO_SURFACE || egl_->context == EGL_NO_CONTEXT || !MakeCurrent()) {
        why = "no OpenGL 3.3 core context on a pbuffer";
        DropContext();
        return false;
    }
    ++contextsMade_;
    return true;
}

void OffscreenWindow::DropContext() {
    if (!egl_) {
        return;
    }
    eglMakeCurrent(egl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (egl_->context != EGL_NO_CONTEXT) {
        eglDestroyContext(egl_->display, egl_->context);
    }
    if (egl_->surface != EGL_NO_SURFACE) {
        eglDestroySurface(egl_->display, egl_->surface);
    }
    egl_.reset();
}

bool OffscreenWindow::MakeCurrent() {
    return egl_ && !lost_ &&
           eglMakeCurrent(egl_->display, egl_->surface, egl_->surface, egl_->context);
}

std::vector<uint32_t> OffscreenWindow::Pixels() {
    std::vector<uint32_t> rgb(static_cast<size_t>(width_) * height_, 0);
    if (!MakeCurrent()) {
        return rgb;
    }
    std::vector<uint8_t> rgba(rgb.size() * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (int y = 0; y < height_; ++y) {
        const uint8_t* row = rgba.data() + static_cast<size_t>(height_ - 1 - y) * width_ * 4;
        for (int x = 0; x < width_; ++x) {
            const uint8_t* p = row + static_cast<size_t>(x) * 4;
            rgb[static_cast<size_t>(y) * width_ + x] =
                uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
        }
    }
    return rgb;
}

}  // namespace gl_test
