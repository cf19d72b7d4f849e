#pragma once

// The recording backend's buffers, fonts and textures: what the device hands out.

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/record/record_objects.h"

namespace platform::record {

// Fresh buffer memory holds this byte, so a copy that never happened shows.
constexpr uint8_t kUnwritten = 0xCD;

class RecordBufferBytes {
  public:
    explicit RecordBufferBytes(std::size_t length) : bytes(length, kUnwritten) {}
    virtual ~RecordBufferBytes() = default;
    std::vector<uint8_t> bytes;
};

// Both buffer kinds: the bytes live in the buffer, and Lock hands out a pointer into them.
template <typename Base>
class RecordBuffer final : public Base, public Recorded, public RecordBufferBytes {
  public:
    RecordBuffer(std::shared_ptr<Recorder> recorder, std::string_view kind, uint32_t length,
                 FailPlan& lockPlan, int& liveCount)
        : Recorded(std::move(recorder), kind),
          RecordBufferBytes(length),
          releaseCall_(std::string(kind) + "::Release"),
          lockCall_(std::string(kind) + "::Lock"),
          unlockCall_(std::string(kind) + "::Unlock"),
          lockPlan_(lockPlan),
          liveCount_(liveCount) {
        ++liveCount_;
        rec().bufferSizes[this] = bytes.size();
    }

    ~RecordBuffer() override {
        Log(releaseCall_);
        --liveCount_;
        rec().bufferSizes.erase(this);
    }

    HResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) override {
        Log(lockCall_, offset, size, flags);
        if (data) {
            *data = nullptr;
        }
        if (const HResult r = lockPlan_.Next(); Failed(r)) {
            return r;
        }
        const std::size_t end = size == 0 ? bytes.size() : std::size_t{offset} + size;
        if (!data || offset > bytes.size() || end > bytes.size()) {
            ++rec().device.invalidCalls;
            return kInvalidCall;
        }
        *data = bytes.data() + offset;
        ++locks_;
        return kOk;
    }

    HResult Unlock() override {
        Log(unlockCall_);
        if (locks_ == 0) {
            ++rec().device.invalidCalls;
            return kInvalidCall;
        }
        --locks_;
        return kOk;
    }

  private:
    // Call names made once: the log may be off, but the calls go on for a million frames.
    std::string releaseCall_;
    std::string lockCall_;
    std::string unlockCall_;
    FailPlan& lockPlan_;
    int& liveCount_;
    int locks_ = 0;
};

class RecordFont final : public Font, public Recorded {
  public:
    RecordFont(std::shared_ptr<Recorder> recorder, const FontDesc& desc)
        : Recorded(std::move(recorder), "Font"), desc_(desc) {
        ++rec().live.fonts;
    }
    ~RecordFont() override {
        Log("Font::Release");
        --rec().live.fonts;
    }

    int32_t DrawTextA(const char* text, int32_t count, const Rect& rect, uint32_t format,
                      uint32_t colour) override {
        std::string shown;
        if (text) {
            shown = count < 0 ? std::string(text) : std::string(text, strnlen(text, count));
        }
        Log("Font::DrawTextA", text ? shown : "null", count, rect, format, colour);
        if (!text || lost_) {
            ++rec().device.invalidCalls;
            return 0;
        }
        return desc_.Height;
    }

    HResult OnLostDevice() override {
        Log("Font::OnLostDevice");
        lost_ = true;
        return kOk;
    }

    HResult OnResetDevice() override {
        Log("Font::OnResetDevice");
        lost_ = false;
        return kOk;
    }

  private:
    FontDesc desc_;
    bool lost_ = false;
};

class RecordTexture final : public Texture, public Recorded {
  public:
    explicit RecordTexture(std::shared_ptr<Recorder> recorder)
        : Recorded(std::move(recorder), "Texture") {
        ++rec().live.textures;
    }
    ~RecordTexture() override {
        Log("Texture::Release");
        --rec().live.textures;
    }
};

}  // namespace platform::record
