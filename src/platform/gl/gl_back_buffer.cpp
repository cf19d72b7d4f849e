// The back buffer: a framebuffer object made (and remade on Reset) at the game's 16-bit
// colour and depth, cleared, blitted into the window on Present and read back for tests.
// Also the device's loss, when the window is hidden or the context goes, and its reset.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/gl/gl_api.h"
#include "platform/gl/gl_device.h"
#include "platform/gl/gl_graphics.h"
#include "platform/gl/gl_text.h"

namespace platform::gl {

namespace {

// How long the game waits for a lost context to come back before it is told that the device
// cannot be reset (it goes on waiting after that).
constexpr std::chrono::seconds kContextPatience{5};

// The one back buffer the game asks for; any other is refused.
bool Supported(const PresentParams& params) {
    return params.BackBufferFormat == d3d::FMT_R5G6B5 && params.EnableAutoDepthStencil &&
           params.AutoDepthStencilFormat == d3d::FMT_D16 && params.BackBufferWidth > 0 &&
           params.BackBufferHeight > 0 && params.BackBufferWidth <= INT32_MAX &&
           params.BackBufferHeight <= INT32_MAX;
}

}  // namespace

bool GlDevice::MakeBackBuffer(const PresentParams& params) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (kDrawnPresent) {
        GLint largestTexture = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestTexture);
        largest = std::min(largest, largestTexture);
    }
    if (!Supported(params) || params.BackBufferWidth > static_cast<uint32_t>(largest) ||
        params.BackBufferHeight > static_cast<uint32_t>(largest)) {
        return false;
    }
    const auto width = static_cast<int>(params.BackBufferWidth);
    const auto height = static_cast<int>(params.BackBufferHeight);
    DropBackBuffer();
    glGenFramebuffers(1, &framebuffer_);
    glGenRenderbuffers(1, &depthBuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (kDrawnPresent) {
        // A texture, as the present samples it.
        glGenTextures(1, &colourBuffer_);
        glBindTexture(GL_TEXTURE_2D, colourBuffer_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB565, width, height, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                     nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourBuffer_,
                               0);
    } else {
        glGenRenderbuffers(1, &colourBuffer_);
        glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB565, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colourBuffer_);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    // Storage that could not be had leaves its buffer empty, and the framebuffer incomplete.
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        DropBackBuffer();
        return false;
    }
    width_ = width;
    height_ = height;
    glViewport(0, 0, width, height);
    ForgetFrames();
    return true;
}

void GlDevice::DropBackBuffer() {
    if (framebuffer_) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer_);
    }
    if (kDrawnPresent) {
        glDeleteTextures(1, &colourBuffer_);
    } else {
        glDeleteRenderbuffers(1, &colourBuffer_);
    }
    glDeleteRenderbuffers(1, &depthBuffer_);
    framebuffer_ = colourBuffer_ = depthBuffer_ = 0;
}

bool GlDevice::Drawable() const {
    return window_->Drawable();
}

bool GlDevice::ContextReset() {
    return haveContext_ && !contextLost_ && window_->ContextLost();
}

HResult GlDevice::TestCooperativeLevel() {
    const auto now = std::chrono::steady_clock::now();
    if (ContextReset()) {
        // Every GL object went with the context; Reset makes a new one.
        contextLost_ = true;
        lost_ = true;
        contextAwaited_ = now;
        text_->ForgetGl();
        for (GlResource* resource : resources_) {
            resource->ForgetGl();
        }
        programs_ = {};
        framebuffer_ = colourBuffer_ = depthBuffer_ = 0;
        ForgetFrames();
    }
    if (!Drawable()) {
        lost_ = true;
        contextAwaited_ = now;
        // Nothing is presented while lost, so the wait for the display happens here.
        window_->Idle();
        return kDeviceLost;
    }
    if (contextLost_ && !window_->ContextRestored()) {
        // Lost until the context is back. Past the patience a reset is asked for, which
        // fails and says so; the wait goes on all the same.
        window_->Idle();
        return now - contextAwaited_ < kContextPatience ? kDeviceLost : kDeviceNotReset;
    }
    return lost_ ? kDeviceNotReset : kOk;
}

HResult GlDevice::Reset(const PresentParams& params) {
    if (!Drawable()) {
        return kDeviceLost;
    }
    if (contextLost_) {
        if (!window_->ContextRestored()) {
            return kDeviceLost;
        }
        DropContext();
        contextLost_ = false;
        std::string why;
        if (!MakeContext(why)) {
            std::fprintf(stderr, "Tavorin: no new context: %s\n", why.c_str());
            contextLost_ = true;
            // The game retries every pass: a wait for the display keeps a page answering.
            window_->Idle();
            return kFail;
        }
        for (GlResource* resource : resources_) {
            resource->RestoreGl();
        }
    }
    if (!MakeCurrent() || !MakeBackBuffer(params)) {
        // No back buffer: the device stays lost until a Reset succeeds, retried a frame on.
        lost_ = true;
        window_->Idle();
        return kInvalidCall;
    }
    ResetState();
    lost_ = false;
    return kOk;
}

HResult GlDevice::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour,
                        float z, uint32_t stencil) {
    (void)stencil;
    // The whole back buffer only: the game never clears part of it.
    if (lost_ || rectCount != 0 || rects || !MakeCurrent() ||
        (flags & ~(d3d::CLEAR_TARGET | d3d::CLEAR_ZBUFFER)) != 0) {
        return kInvalidCall;
    }
    ClearCommand command{flags, colour, z};
    if (!Defer(command)) {
        Draw(command);
    }
    return kOk;
}

void GlDevice::Draw(const ClearCommand& command) {
    GLbitfield mask = 0;
    if (command.flags & d3d::CLEAR_TARGET) {
        float rgba[4];
        ArgbToFloats(command.colour, rgba);
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (command.flags & d3d::CLEAR_ZBUFFER) {
        ClearDepth(std::clamp(command.z, 0.0f, 1.0f));
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glClear(mask);
}

HResult GlDevice::Present() {
    if (lost_ || !Drawable()) {
        return kDeviceLost;
    }
    if (!MakeCurrent()) {
        return kInvalidCall;
    }
    // The window system asks for the picture again (uncovered, restored, resized).
    const uint64_t damage = window_->damage();
    const bool damaged = damage != damageSeen_;
    damageSeen_ = damage;
    const bool same = record_.SameAsShown();
    if (same) {
        // The back buffer still holds the frame shown: nothing to draw, and the window gets
        // it again only when it lost it.
        waiting_.clear();
        record_.Skipped();
        if (damaged) {
            ShowBackBuffer();
        }
    } else {
        DrawWaiting();
        ShowBackBuffer();
        record_.Shown();
        // Now that a frame is on screen: the board's first frame then waits for no compile.
        MakeMeshProgram();
    }
    window_->FrameDone(!same || damaged);
    return kOk;
}

void GlDevice::ShowBackBuffer() {
    int width = 0;
    int height = 0;
    window_->DrawableSize(width, height);
    // Within a few percent of the back buffer's size (a window frame's worth) the nearest
    // pixel keeps text and edges crisp, and costs half as much where the drawing is software.
    const bool nearSize =
        std::abs(width - width_) * 20 <= width_ && std::abs(height - height_) * 20 <= height_;
    if (kDrawnPresent) {
        DrawBackBuffer(width, height, nearSize);
    } else {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          nearSize ? GL_NEAREST : GL_LINEAR);
    }
    window_->Swap();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    ++framesShown_;
}

void GlDevice::DrawBackBuffer(int width, int height, bool nearest) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    const PresentProgram& present = programs_.Present(nearest);
    glUseProgram(present.program);
    glUniform4f(present.area, 0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
    glUniform2f(present.target, static_cast<float>(width), static_cast<float>(height));
    glUniform2f(present.source, static_cast<float>(width_), static_cast<float>(height_));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, colourBuffer_);
    glBindVertexArray(programs_.textArray);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    // Not left bound where the next frame draws into it.
    glBindTexture(GL_TEXTURE_2D, 0);
    glViewport(0, 0, width_, height_);
}

void GlDevice::ReadBack(std::vector<uint32_t>& argb, int& width, int& height) {
    width = width_;
    height = height_;
    argb.assign(static_cast<size_t>(width_) * height_, 0);
    if (!MakeCurrent() || !framebuffer_) {
        return;
    }
    // What the frame asked for so far, not the frame shown before it.
    DrawWaiting();
    std::vector<uint8_t> rgba(argb.size() * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // OpenGL counts rows from the bottom.
    for (int y = 0; y < height_; ++y) {
        const uint8_t* row = rgba.data() + static_cast<size_t>(height_ - 1 - y) * width_ * 4;
        uint32_t* target = argb.data() + static_cast<size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) {
            const uint8_t* p = row + static_cast<size_t>(x) * 4;
            target[x] = uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
        }
    }
}

uint64_t FramesShown(Device& device) {
    auto* ours = dynamic_cast<GlDevice*>(&device);
    return ours ? ours->framesShown() : 0;
}

bool ReadBackBuffer(Device& device, std::vector<uint32_t>& argb, int& width, int& height) {
    auto* ours = dynamic_cast<GlDevice*>(&device);
    if (!ours) {
        return false;
    }
    ours->ReadBack(argb, width, height);
    return true;
}

}  // namespace platform::gl
