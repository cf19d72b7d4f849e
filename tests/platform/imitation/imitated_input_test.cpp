// DirectInput's device behaviour as the non-Windows backends imitate it: what a device
// refuses before it is set up, acquisition, and a foreground device lost with the focus.

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "platform/imitation/imitated_input.h"

namespace {

using platform::DataFormat;
using platform::HResult;
namespace dinput = platform::dinput;

constexpr uint32_t kForegroundNonExclusive = 0x04 | dinput::COOP_NONEXCLUSIVE;
constexpr uint32_t kBackgroundNonExclusive = dinput::COOP_BACKGROUND | dinput::COOP_NONEXCLUSIVE;

struct Source {
    uint64_t focusLosses = 0;
    int reads = 0;
    int acquisitions = 0;
};

class TestKeyboard final : public platform::ImitatedInputDevice {
  public:
    explicit TestKeyboard(std::shared_ptr<Source> source)
        : ImitatedInputDevice(platform::kKeyboardShape), source_(std::move(source)) {}

  protected:
    bool OwnWindow(platform::Window* window) const override { return window == kOurs; }
    uint64_t FocusLosses() const override { return source_->focusLosses; }
    void Read(void* data) override {
        ++source_->reads;
        static_cast<uint8_t*>(data)[0x1F] = platform::kKeyDown;
    }
    void OnAcquire() override { ++source_->acquisitions; }

  public:
    static inline platform::Window* const kOurs = reinterpret_cast<platform::Window*>(0x10);

  private:
    std::shared_ptr<Source> source_;
};

TEST(ImitatedInput, ADeviceReadsOnlyOnceSetUpAndAcquiredAndRefusesWhatDirectInputRefuses) {
    auto source = std::make_shared<Source>();
    TestKeyboard keyboard(source);
    std::array<uint8_t, 256> keys{};

    platform::DeviceCaps caps;
    EXPECT_EQ(keyboard.GetCapabilities(caps), platform::kInvalidParam) << "dwSize unset";
    caps.dwSize = sizeof caps;
    ASSERT_EQ(keyboard.GetCapabilities(caps), platform::kOk);
    EXPECT_EQ(caps.dwFlags, dinput::CAPS_ATTACHED);
    EXPECT_EQ(caps.dwDevType, platform::kDeviceTypeKeyboard);
    EXPECT_EQ(caps.dwButtons, 256u);

    EXPECT_EQ(keyboard.Acquire(), platform::kInvalidParam) << "no data format yet";
    EXPECT_EQ(keyboard.SetDataFormat(DataFormat::Mouse2), platform::kInvalidParam);
    ASSERT_EQ(keyboard.SetDataFormat(DataFormat::Keyboard), platform::kOk);
    EXPECT_EQ(keyboard.GetDeviceState(256, keys.data()), platform::kNotAcquired);
    // One of exclusive and non-exclusive, one of foreground and background, our own window.
    EXPECT_LT(keyboard.SetCooperativeLevel(TestKeyboard::kOurs, dinput::COOP_NONEXCLUSIVE), 0);
    EXPECT_LT(keyboard.SetCooperativeLevel(TestKeyboard::kOurs, 0x01 | kForegroundNonExclusive), 0);
    EXPECT_LT(keyboard.SetCooperativeLevel(nullptr, kForegroundNonExclusive), 0);
    ASSERT_EQ(keyboard.SetCooperativeLevel(TestKeyboard::kOurs, kForegroundNonExclusive),
              platform::kOk);

    ASSERT_EQ(keyboard.Acquire(), platform::kOk);
    EXPECT_EQ(keyboard.Acquire(), HResult{1}) << "DI_NOEFFECT";
    EXPECT_EQ(source->acquisitions, 1);
    EXPECT_EQ(keyboard.SetDataFormat(DataFormat::Keyboard), platform::kInvalidCall)
        << "not while acquired";
    EXPECT_EQ(keyboard.GetDeviceState(20, keys.data()), platform::kInvalidParam);
    EXPECT_EQ(keyboard.GetDeviceState(256, nullptr), platform::kInvalidParam);
    ASSERT_EQ(keyboard.GetDeviceState(256, keys.data()), platform::kOk);
    EXPECT_EQ(keys[0x1F], platform::kKeyDown);
    EXPECT_EQ(keyboard.Unacquire(), platform::kOk);
    EXPECT_EQ(keyboard.Unacquire(), HResult{1});
    EXPECT_EQ(keyboard.GetDeviceState(256, keys.data()), platform::kNotAcquired);
    EXPECT_EQ(source->reads, 1);
}

TEST(ImitatedInput, AForegroundDeviceIsLostWithTheFocusUntilAcquiredAgain) {
    for (const bool foreground : {true, false}) {
        SCOPED_TRACE(foreground ? "foreground" : "background");
        auto source = std::make_shared<Source>();
        TestKeyboard keyboard(source);
        std::array<uint8_t, 256> keys{};
        ASSERT_EQ(keyboard.SetDataFormat(DataFormat::Keyboard), platform::kOk);
        ASSERT_EQ(
            keyboard.SetCooperativeLevel(TestKeyboard::kOurs, foreground ? kForegroundNonExclusive
                                                                         : kBackgroundNonExclusive),
            platform::kOk);
        ++source->focusLosses;  // a loss before acquiring is not this acquisition's
        ASSERT_EQ(keyboard.Acquire(), platform::kOk);
        EXPECT_EQ(keyboard.GetDeviceState(256, keys.data()), platform::kOk);
        ++source->focusLosses;
        EXPECT_EQ(keyboard.GetDeviceState(256, keys.data()),
                  foreground ? platform::kInputLost : platform::kOk);
        EXPECT_EQ(keyboard.GetDeviceState(256, keys.data()),
                  foreground ? platform::kNotAcquired : platform::kOk);
        EXPECT_EQ(keyboard.Acquire(), foreground ? platform::kOk : HResult{1});
        EXPECT_EQ(keyboard.GetDeviceState(256, keys.data()), platform::kOk);
    }
}

}  // namespace
