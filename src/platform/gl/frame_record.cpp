#include "platform/gl/frame_record.h"

namespace platform::gl {

Signature& Signature::Put(float value) {
    // The bits, so that 0.0 and -0.0 differ as the picture might.
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Put(bits);
}

Signature& Signature::Put(std::string_view text) {
    Put(static_cast<uint64_t>(text.size()));
    Append(text.data(), text.size());
    return *this;
}

void Signature::Append(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + size);
}

bool FrameRecord::Add(const Signature& command) {
    const std::vector<uint8_t>& bytes = command.bytes();
    const size_t at = frame_.size();
    frame_.insert(frame_.end(), bytes.begin(), bytes.end());
    // Only the new bytes need comparing: the ones before them have matched already.
    matching_ = matching_ && frame_.size() <= shown_.size() &&
                std::memcmp(shown_.data() + at, bytes.data(), bytes.size()) == 0;
    return matching_;
}

bool FrameRecord::SameAsShown() const {
    return matching_ && frame_.size() == shown_.size();
}

void FrameRecord::Shown() {
    frame_.swap(shown_);
    frame_.clear();
    haveShown_ = true;
    matching_ = true;
}

void FrameRecord::Skipped() {
    frame_.clear();
    matching_ = haveShown_;
}

void FrameRecord::Forget() {
    shown_.clear();
    haveShown_ = false;
    matching_ = false;
}

}  // namespace platform::gl
