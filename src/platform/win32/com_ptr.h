#pragma once

// Owns one reference to a COM object and releases it once.

#include <utility>

namespace platform::win32 {

template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    explicit ComPtr(T* object) : object_(object) {}
    ~ComPtr() { Reset(); }
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    void Reset() {
        if (object_) {
            std::exchange(object_, nullptr)->Release();
        }
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

  private:
    T* object_ = nullptr;
};

}  // namespace platform::win32
