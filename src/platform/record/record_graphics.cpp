#include <cstring>
#include <vector>

#include "platform/record/record_objects.h"
#include "platform/record/record_resources.h"

namespace platform::record {

namespace {

class RecordDevice final : public Device, public Recorded {
  public:
    RecordDevice(std::shared_ptr<Recorder> recorder, const PresentParams& params)
        : Recorded(recorder, "Device"), recorder_(std::move(recorder)) {
        ++rec().live.devices;
        rec().device = DeviceRecord{};
        rec().device.createParams = params;
        rec().condition = DeviceCondition::Usable;
    }
    ~RecordDevice() override {
        Log("Device::Release");
        --rec().live.devices;
    }

    HResult TestCooperativeLevel() override {
        Log("Device::TestCooperativeLevel");
        Recorder& r = rec();
        if (r.condition == DeviceCondition::Lost) {
            if (r.lostChecksLeft > 0) {
                --r.lostChecksLeft;
                return kDeviceLost;
            }
            r.condition = DeviceCondition::NotReset;
        }
        return r.condition == DeviceCondition::NotReset ? kDeviceNotReset : kOk;
    }

    HResult Reset(const PresentParams& params) override {
        Log("Device::Reset", params);
        DeviceRecord& d = rec().device;
        d.resetParams = params;
        if (rec().condition == DeviceCondition::Lost) {
            ++d.failedResets;
            return kDeviceLost;  // too early: the device cannot be reset yet
        }
        if (const HResult r = rec().faults.reset.Next(); Failed(r)) {
            ++d.failedResets;
            rec().condition = DeviceCondition::NotReset;
            return r;
        }
        ++d.resets;
        d.transforms.clear();
        d.renderStates.clear();
        d.samplerStates.clear();
        d.fvf = 0;
        rec().condition = DeviceCondition::Usable;
        return kOk;
    }

    HResult SetTransform(uint32_t state, const Matrix& matrix) override {
        Log("Device::SetTransform", state, matrix);
        rec().device.transforms[state] = matrix;
        return kOk;
    }

    HResult SetRenderState(uint32_t state, uint32_t value) override {
        Log("Device::SetRenderState", state, value);
        rec().device.renderStates[state] = value;
        return kOk;
    }

    HResult SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) override {
        Log("Device::SetSamplerState", sampler, type, value);
        rec().device.samplerStates[{sampler, type}] = value;
        return kOk;
    }

    HResult SetFVF(uint32_t fvf) override {
        Log("Device::SetFVF", fvf);
        rec().device.fvf = fvf;
        return kOk;
    }

    HResult Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour, float z,
                  uint32_t stencil) override {
        Log("Device::Clear", rectCount, rects ? Format(*rects) : "null", flags, colour, z, stencil);
        ++rec().device.clears;
        NoteIfLost();
        return kOk;
    }

    HResult BeginScene() override {
        Log("Device::BeginScene");
        ++rec().device.beginScenes;
        NoteIfLost();
        if (const HResult r = rec().faults.beginScene.Next(); Failed(r)) {
            return r;
        }
        if (inScene_) {
            ++rec().device.invalidCalls;
            return kInvalidCall;
        }
        inScene_ = true;
        return kOk;
    }

    HResult EndScene() override {
        Log("Device::EndScene");
        ++rec().device.endScenes;
        if (!inScene_) {
            ++rec().device.invalidCalls;
            return kInvalidCall;
        }
        inScene_ = false;
        return kOk;
    }

    HResult Present() override {
        Log("Device::Present");
        ++rec().device.presents;
        NoteIfLost();
        if (inScene_) {
            ++rec().device.invalidCalls;
        }
        if (const HResult r = rec().faults.present.Next(); Failed(r)) {
            return r;
        }
        return rec().condition == DeviceCondition::Usable ? kOk : kDeviceLost;
    }

    HResult CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                               std::unique_ptr<VertexBuffer>& out) override {
        Log("Device::CreateVertexBuffer", length, usage, fvf, pool);
        return CreateBuffer(out, "VertexBuffer", length, rec().faults.createVertexBuffer,
                            rec().faults.lockVertexBuffer, rec().live.vertexBuffers);
    }

    HResult CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                              std::unique_ptr<IndexBuffer>& out) override {
        Log("Device::CreateIndexBuffer", length, usage, format, pool);
        return CreateBuffer(out, "IndexBuffer", length, rec().faults.createIndexBuffer,
                            rec().faults.lockIndexBuffer, rec().live.indexBuffers);
    }

    HResult SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset,
                            uint32_t stride) override {
        Log("Device::SetStreamSource", stream, TagOf(buffer), offset, stride);
        if (stream == 0) {
            stream_ = buffer;
            streamTag_ = TagOf(buffer);
            streamOffset_ = offset;
            stride_ = stride;
        }
        return kOk;
    }

    HResult SetIndices(IndexBuffer* buffer) override {
        Log("Device::SetIndices", TagOf(buffer));
        indices_ = buffer;
        indicesTag_ = TagOf(buffer);
        return kOk;
    }

    HResult DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                 uint32_t numVertices, uint32_t startIndex,
                                 uint32_t primitiveCount) override {
        Log("Device::DrawIndexedPrimitive", type, baseVertex, minIndex, numVertices, startIndex,
            primitiveCount);
        DeviceRecord& d = rec().device;
        NoteIfLost();
        // Only the triangle list is checked against the buffers' sizes.
        const uint64_t vertexBytes =
            uint64_t{streamOffset_} + (uint64_t{minIndex} + numVertices) * stride_;
        const uint64_t indexBytes = (uint64_t{startIndex} + uint64_t{primitiveCount} * 3) * 2;
        if (!inScene_ || !IsBound(stream_, streamTag_) || !IsBound(indices_, indicesTag_) ||
            vertexBytes > rec().bufferSizes[stream_] || indexBytes > rec().bufferSizes[indices_]) {
            ++d.invalidCalls;
            return kInvalidCall;
        }
        (void)type;
        (void)baseVertex;
        ++d.draws;
        d.lastDrawVertices = numVertices;
        d.lastDrawPrimitives = primitiveCount;
        return kOk;
    }

    HResult CreateFontIndirectA(const FontDesc& desc, std::unique_ptr<Font>& out) override {
        Log("Device::CreateFontIndirectA", desc);
        out.reset();
        if (const HResult r = rec().faults.createFont.Next(); Failed(r)) {
            return r;
        }
        out = std::make_unique<RecordFont>(recorder_, desc);
        return kOk;
    }

    HResult CreateTextureFromFileExA(const char* file, uint32_t width, uint32_t height,
                                     uint32_t mipLevels, uint32_t usage, uint32_t format,
                                     uint32_t pool, uint32_t filter, uint32_t mipFilter,
                                     uint32_t colourKey, std::unique_ptr<Texture>& out) override {
        Log("Device::CreateTextureFromFileExA", file, width, height, mipLevels, usage, format, pool,
            filter, mipFilter, colourKey);
        out.reset();
        if (const HResult r = rec().faults.loadTexture.Next(); Failed(r)) {
            return r;
        }
        if (!file) {
            ++rec().device.invalidCalls;
            return kInvalidCall;
        }
        out = std::make_unique<RecordTexture>(recorder_);
        return kOk;
    }

  private:
    // Vertex and index buffers alike: an injected failure, a refused empty length, or a
    // buffer with its own bytes, counted while alive.
    template <typename BufferT>
    HResult CreateBuffer(std::unique_ptr<BufferT>& out, const char* tag, uint32_t length,
                         FailPlan& createPlan, FailPlan& lockPlan, int& liveCount) {
        out.reset();
        if (const HResult r = createPlan.Next(); Failed(r)) {
            return r;
        }
        if (length == 0) {
            ++rec().device.invalidCalls;
            return kInvalidCall;
        }
        out = std::make_unique<RecordBuffer<BufferT>>(recorder_, tag, length, lockPlan, liveCount);
        return kOk;
    }

    // Still the buffer that was bound: a released one may have left its address to another.
    bool IsBound(const Buffer* buffer, const std::string& tag) const {
        return buffer && recorder_->bufferSizes.contains(buffer) && TagOf(buffer) == tag;
    }
    void NoteIfLost() {
        if (rec().condition != DeviceCondition::Usable) {
            ++rec().device.callsWhileLost;
        }
    }

    std::shared_ptr<Recorder> recorder_;
    bool inScene_ = false;
    const VertexBuffer* stream_ = nullptr;
    std::string streamTag_;
    uint32_t streamOffset_ = 0;
    uint32_t stride_ = 0;
    const IndexBuffer* indices_ = nullptr;
    std::string indicesTag_;
};

class RecordGraphics final : public Graphics, public Recorded {
  public:
    explicit RecordGraphics(std::shared_ptr<Recorder> recorder)
        : Recorded(recorder, "Graphics"), recorder_(std::move(recorder)) {
        ++rec().live.graphics;
    }
    ~RecordGraphics() override {
        Log("Graphics::Release");
        --rec().live.graphics;
    }

    HResult CreateDevice(uint32_t adapter, uint32_t deviceType, Window* focusWindow,
                         uint32_t behaviourFlags, PresentParams& params,
                         std::unique_ptr<Device>& out) override {
        Log("Graphics::CreateDevice", adapter, deviceType, TagOf(focusWindow), behaviourFlags,
            params);
        out.reset();
        if (const HResult r = rec().faults.createDevice.Next(); Failed(r)) {
            return r;
        }
        // Without a window there is nothing to present into.
        if (!focusWindow && !params.hDeviceWindow) {
            return kInvalidCall;
        }
        out = std::make_unique<RecordDevice>(recorder_, params);
        return kOk;
    }

  private:
    std::shared_ptr<Recorder> recorder_;
};

}  // namespace

std::unique_ptr<Graphics> CreateRecordGraphics(std::shared_ptr<Recorder> recorder) {
    return std::make_unique<RecordGraphics>(std::move(recorder));
}

std::span<const uint8_t> BufferBytes(const Buffer* buffer) {
    const auto* held = dynamic_cast<const RecordBufferBytes*>(buffer);
    if (!held) {
        return {};
    }
    return held->bytes;
}

}  // namespace platform::record
