// Frames that ask for what is on screen already: each command's signature goes into the
// frame's record, and the command waits while the record matches the frame shown. The first
// command that differs draws everything that waited, then itself; a frame that matched to its
// end is not drawn at all (Present then only paces).

#include "platform/gl/gl_buffers.h"
#include "platform/gl/gl_device.h"
#include "platform/gl/gl_text.h"

namespace platform::gl {

namespace {

enum class Kind : uint32_t { kClear, kMesh, kText };

void Put(Signature& signature, const Matrix& matrix) {
    for (const auto& row : matrix.m) {
        for (float value : row) {
            signature.Put(value);
        }
    }
}

}  // namespace

bool GlDevice::Defer(const Command& command) {
    Signature& s = signature_;
    s.Clear();
    if (const auto* clear = std::get_if<ClearCommand>(&command)) {
        s.Put(Kind::kClear).Put(clear->flags).Put(clear->colour).Put(clear->z);
    } else if (const auto* mesh = std::get_if<MeshCommand>(&command)) {
        const DeviceSettings& settings = mesh->settings;
        s.Put(Kind::kMesh);
        Put(s, settings.world);
        Put(s, settings.projection);
        s.Put(uint32_t{settings.depthTest}).Put(settings.cullMode).Put(settings.fvf);
        s.Put(mesh->vertices->version()).Put(mesh->offset).Put(mesh->stride);
        s.Put(mesh->indices->version()).Put(mesh->baseVertex).Put(mesh->startIndex);
        s.Put(mesh->indexCount);
    } else if (const auto* text = std::get_if<TextCommand>(&command)) {
        s.Put(Kind::kText).Put(text->face->id()).Put(text->wrapWidth).Put(text->rect);
        s.Put(text->colour).Put(std::string_view(text->text));
    }
    if (record_.Add(s)) {
        waiting_.push_back(command);
        return true;
    }
    DrawWaiting();
    return false;
}

void GlDevice::DrawWaiting() {
    record_.Diverge();
    for (const Command& command : waiting_) {
        std::visit([this](const auto& c) { Draw(c); }, command);
    }
    waiting_.clear();
}

void GlDevice::BufferChanging(const GlBuffer& buffer) {
    for (const Command& command : waiting_) {
        const auto* mesh = std::get_if<MeshCommand>(&command);
        if (mesh && (mesh->vertices == &buffer || mesh->indices == &buffer)) {
            DrawWaiting();
            return;
        }
    }
}

void GlDevice::ForgetFrames() {
    waiting_.clear();
    record_.Forget();
}

}  // namespace platform::gl
