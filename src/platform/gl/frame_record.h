#pragma once

// What one frame asked the device to draw, kept as bytes, so that a frame asking exactly
// what the frame on screen asked need not be drawn again. A frame runs from one Present to
// the next; each clear, draw and text draw adds its signature as it comes.

#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <vector>

namespace platform::gl {

// The bytes that tell one command from another: every argument and setting that shows.
class Signature {
  public:
    template <typename T>
    Signature& Put(const T& value) {
        static_assert(
            std::is_trivially_copyable_v<T> && std::has_unique_object_representations_v<T>,
            "no padding or float bytes of uncertain meaning");
        Append(&value, sizeof value);
        return *this;
    }
    Signature& Put(float value);
    Signature& Put(std::string_view text);

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    void Clear() { bytes_.clear(); }

  private:
    void Append(const void* data, size_t size);
    std::vector<uint8_t> bytes_;
};

class FrameRecord {
  public:
    // Adds the next command; true while the frame so far is what the shown frame began with.
    bool Add(const Signature& command);
    // The frame so far still matches the shown one: its commands may wait.
    bool matching() const { return matching_; }
    // The whole frame is the one on screen.
    bool SameAsShown() const;

    // Something of this frame was drawn after all: it goes to the screen.
    void Diverge() { matching_ = false; }
    // The frame went to the screen and is now the one to compare with.
    void Shown();
    // The frame was the one on screen; the next one starts.
    void Skipped();
    // The picture on screen is gone (a new back buffer): the next frame is drawn whatever it is.
    void Forget();

  private:
    std::vector<uint8_t> frame_;
    std::vector<uint8_t> shown_;
    bool haveShown_ = false;
    bool matching_ = false;
};

}  // namespace platform::gl
