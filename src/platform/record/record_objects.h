#pragma once

// The recording backend's own objects; only the system makes them.

#include <memory>
#include <span>

#include "platform/record/record_backend.h"

namespace platform::record {

std::unique_ptr<Window> CreateRecordWindow(std::shared_ptr<Recorder> recorder, WindowProc proc);
std::unique_ptr<Graphics> CreateRecordGraphics(std::shared_ptr<Recorder> recorder);
std::unique_ptr<InputSystem> CreateRecordInputSystem(std::shared_ptr<Recorder> recorder);

std::span<const uint8_t> BufferBytes(const Buffer* buffer);

// Every object carries its tag and the shared record.
class Recorded {
  public:
    Recorded(std::shared_ptr<Recorder> recorder, std::string_view kind)
        : recorder_(std::move(recorder)), tag_(recorder_->NewTag(kind)) {}
    virtual ~Recorded() = default;
    const std::string& tag() const { return tag_; }

  protected:
    Recorder& rec() { return *recorder_; }
    template <typename... T>
    void Log(std::string_view call, const T&... args) {
        recorder_->log.Add(call, tag_, args...);
    }

  private:
    std::shared_ptr<Recorder> recorder_;
    std::string tag_;
};

// The name a log entry gives an object: "VertexBuffer#4", "null", or "foreign" for one this
// backend did not make.
template <typename T>
std::string TagOf(const T* object) {
    if (!object) {
        return "null";
    }
    const auto* recorded = dynamic_cast<const Recorded*>(object);
    return recorded ? recorded->tag() : "foreign";
}

}  // namespace platform::record
