#include "platform/gl/gl_buffers.h"

#include "platform/gl/gl_api.h"

#include <algorithm>
#include <cstring>

#include "platform/gl/gl_device.h"

namespace platform::gl {

namespace {

uint64_t NewVersion() {
    static uint64_t last = 0;  // one thread draws
    return ++last;
}

}  // namespace

GlBuffer::GlBuffer(std::shared_ptr<DeviceLink> link, uint32_t length, bool indices)
    : link_(std::move(link)), bytes_(length), indices_(indices), version_(NewVersion()) {
    if (link_->device) {
        link_->device->AddResource(this);
        RestoreGl();
    }
}

GlBuffer::~GlBuffer() {
    if (GlDevice* device = link_->device) {
        device->BufferChanging(*this);
        device->RemoveResource(this);
        if (name_ != 0 && device->MakeCurrent()) {
            glDeleteBuffers(1, &name_);
        }
    }
}

HResult GlBuffer::LockBytes(uint32_t offset, uint32_t size, void** data) {
    if (!data) {
        return kInvalidCall;
    }
    *data = nullptr;
    const uint64_t length = bytes_.size();
    if (offset > length || (size != 0 && uint64_t{offset} + size > length)) {
        return kInvalidCall;
    }
    *data = bytes_.data() + offset;
    ++locks_;
    return kOk;
}

HResult GlBuffer::UnlockBytes() {
    if (locks_ == 0) {
        return kInvalidCall;
    }
    if (--locks_ == 0) {
        if (GlDevice* device = link_->device) {
            device->BufferChanging(*this);
        }
        version_ = NewVersion();
        Upload();
    }
    return kOk;
}

void GlBuffer::RestoreGl() {
    GlDevice* device = link_->device;
    if (!device || !device->MakeCurrent()) {
        return;
    }
    glGenBuffers(1, &name_);
    Upload();
}

void GlBuffer::Upload() {
    GlDevice* device = link_->device;
    if (!device || name_ == 0 || !device->MakeCurrent()) {
        return;
    }
    // Each buffer keeps to its own target, as WebGL 2 insists. Index buffers bind to a
    // vertex array of their own meanwhile; the array buffer is no vertex array's state.
    const GLenum target = indices_ ? GL_ELEMENT_ARRAY_BUFFER : GL_ARRAY_BUFFER;
    if (indices_) {
        glBindVertexArray(device->uploadArray());
    }
    glBindBuffer(target, name_);
    glBufferData(target, static_cast<GLsizeiptr>(bytes_.size()), bytes_.data(), GL_STATIC_DRAW);
    if (indices_) {
        glBindVertexArray(0);
    } else {
        glBindBuffer(target, 0);
    }
}

uint32_t GlIndexBuffer::MaxIndex(uint32_t first, uint32_t count) {
    if (cachedVersion_ == version() && cachedFirst_ == first && cachedCount_ == count) {
        return cachedMax_;
    }
    uint32_t largest = 0;
    const uint8_t* data = bytes().data() + static_cast<size_t>(first) * 2;
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t index;
        std::memcpy(&index, data + i * 2u, 2);
        largest = std::max<uint32_t>(largest, index);
    }
    cachedVersion_ = version();
    cachedFirst_ = first;
    cachedCount_ = count;
    cachedMax_ = largest;
    return largest;
}

}  // namespace platform::gl
