#pragma once

// The ordered record of platform calls, and the one text form every argument is kept in, so
// that a test compares what the game passed with plain strings built by Args().

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics.h"
#include "platform/input_devices.h"
#include "platform/matrix.h"
#include "platform/win_types.h"
#include "platform/window.h"

namespace platform::record {

// One call: "Device::Clear", "PeekMessageA"; `object` names the instance ("VertexBuffer#4"),
// empty for calls on the system itself.
struct Entry {
    std::string call;
    std::string object;
    std::vector<std::string> args;

    std::string ToString() const;  // Device#3 Device::Clear(0, null, 3, ...)
};

// Integers in decimal whatever their type, floats in their shortest exact form ("1", "1.5"),
// text as is, null pointers as "null".
template <std::integral T>
std::string Format(T value) {
    return std::to_string(value);
}
std::string Format(float value);
std::string Format(double value);
std::string Format(const char* text);
std::string Format(const std::string& text);
std::string Format(std::string_view text);
std::string Format(std::nullptr_t);
std::string Format(const Rect& rect);             // {l, t, r, b}
std::string Format(const Matrix& matrix);         // [16 values, row by row]
std::string Format(const PresentParams& params);  // {field, ...} in declaration order
std::string Format(const FontDesc& desc);         // {..., face name}
std::string Format(const DeviceCaps& caps);       // {field, ...}
std::string Format(const WindowDesc& desc);       // {class, title, exStyle, ...}
std::string Format(DeviceGuid guid);              // Keyboard, Mouse
std::string Format(DataFormat format);            // Keyboard, Mouse2

// The arguments of an expected call, in the log's text form.
template <typename... T>
std::vector<std::string> Args(const T&... values) {
    return {Format(values)...};
}

class CallLog {
  public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Off, nothing is kept: a long run then does not grow memory.
    bool enabled() const { return enabled_; }
    void Enable(bool on) { enabled_ = on; }
    void Clear() { entries_.clear(); }

    const std::vector<Entry>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }
    const Entry& operator[](std::size_t i) const { return entries_[i]; }

    // Index of the first `call` at or after `from`, or npos.
    std::size_t Find(std::string_view call, std::size_t from = 0) const;
    // Index of the last `call`, or npos.
    std::size_t FindLast(std::string_view call) const;
    std::size_t Count(std::string_view call) const;
    // Every entry of `call`, in order.
    std::vector<Entry> All(std::string_view call) const;
    // The call names in order; with a prefix ("Device::"), only those that start with it.
    std::vector<std::string> Calls(std::string_view prefix = {}) const;
    // The call names from `from` to the end.
    std::vector<std::string> CallsFrom(std::size_t from, std::string_view prefix = {}) const;
    std::string ToString() const;  // one entry per line, for failure output

    template <typename... T>
    void Add(std::string_view call, std::string_view object, const T&... args) {
        if (enabled_) {
            entries_.push_back({std::string(call), std::string(object), {Format(args)...}});
        }
    }

  private:
    bool enabled_ = true;
    std::vector<Entry> entries_;
};

}  // namespace platform::record
