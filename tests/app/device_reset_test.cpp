// Device loss and reset: every setting put back, the menu font told around the reset, and a
// reset that keeps failing reported once per run of failures.

#include <algorithm>

#include "session_rig.h"

namespace app::testing {
namespace {

using record::Args;
using record::FailPlan;
using DeviceReset = SessionTest;

// The device settings as a list of calls with their arguments.
std::vector<std::string> SettingCalls(const record::CallLog& log, std::size_t from) {
    std::vector<std::string> calls;
    for (std::size_t i = from; i < log.size(); ++i) {
        const auto& e = log[i];
        if (e.call == "Device::SetTransform" || e.call == "Device::SetRenderState" ||
            e.call == "Device::SetSamplerState" || e.call == "Device::SetFVF") {
            calls.push_back(e.ToString());
        }
    }
    return calls;
}

TEST_F(DeviceReset, AResetPutsEverySettingBackInOrderAndTellsTheFontAroundIt) {
    Start();
    const platform::Matrix projection = session->application.projection;
    std::vector<std::string> expected = {
        record::Entry{"Device::SetTransform", "Device#3", Args(3, projection)}.ToString(),
        record::Entry{"Device::SetRenderState", "Device#3", Args(139, 0x00FFFFFF)}.ToString(),
        record::Entry{"Device::SetRenderState", "Device#3", Args(137, 0)}.ToString(),
        record::Entry{"Device::SetRenderState", "Device#3", Args(22, 1)}.ToString(),
        record::Entry{"Device::SetRenderState", "Device#3", Args(7, 1)}.ToString()};
    for (int sampler = 0; sampler < 8; ++sampler) {
        for (const auto& [type, value] : {std::pair{6, 2}, {5, 2}, {7, 3}, {10, 0}}) {
            expected.push_back(
                record::Entry{"Device::SetSamplerState", "Device#3", Args(sampler, type, value)}
                    .ToString());
        }
    }
    expected.push_back(record::Entry{"Device::SetFVF", "Device#3", Args(0x42)}.ToString());
    ASSERT_EQ(SettingCalls(log(), 0), expected);
    EXPECT_EQ(projection, platform::MatrixPerspectiveFovLH(0.785398f, 5.0f / 3.0f, 1.0f, 1000.0f));
    const record::DeviceRecord before = system.device();

    StartPlaying();
    const auto mark = log().size();
    system.LoseDevice(0);
    session->Pass();
    const auto lost = Find("Font::OnLostDevice", mark);
    const auto reset = Find("Device::Reset", mark);
    const auto back = Find("Font::OnResetDevice", mark);
    ASSERT_LT(lost, reset);
    ASSERT_LT(reset, back);
    EXPECT_EQ(log()[reset].args, Args(system.device().createParams));
    EXPECT_EQ(system.device().resetParams, system.device().createParams);
    // Settings between the reset and the font, then this frame's world transform.
    std::vector<std::string> after = SettingCalls(log(), reset);
    ASSERT_EQ(after.size(), expected.size() + 1);
    after.pop_back();
    EXPECT_EQ(after, expected);
    EXPECT_LT(Find("Device::SetFVF", reset), back);
    EXPECT_EQ(system.device().renderStates, before.renderStates);
    EXPECT_EQ(system.device().samplerStates, before.samplerStates);
    EXPECT_EQ(system.device().fvf, 0x42u);
    EXPECT_EQ(system.device().transforms.at(3), projection);
    // The board shows again, unchanged, from the buffers that survived the reset.
    EXPECT_EQ(system.live().vertexBuffers, 1);
    EXPECT_EQ(Count("Device::CreateVertexBuffer"), 1u);
    EXPECT_EQ(system.device().lastDrawPrimitives, 7590u);
    EXPECT_EQ(system.device().draws, 2);
}

TEST_F(DeviceReset, TheRulesPageLeavesTheMenuFontToBeToldAsUsual) {
    Start();
    session->Pass();
    const std::string menuFont = record::RecordSystem::Tag(session->screens.sharedFont.get());
    EXPECT_EQ(log()[Find("Font::DrawText")].object, menuFont);
    system.PostKeyDown('T');
    Passes(5);
    EXPECT_EQ(system.live().fonts, 1);
    system.LoseDevice(0);
    session->Pass();
    const auto lost = log().All("Font::OnLostDevice");
    const auto back = log().All("Font::OnResetDevice");
    ASSERT_EQ(lost.size(), 1u);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(lost[0].object, menuFont);
    EXPECT_EQ(back[0].object, menuFont);
    EXPECT_EQ(system.device().invalidCalls, 0);  // no font drew while it was let go
    End();
    const auto released = log().All("Font::Release");
    EXPECT_EQ(std::count_if(released.begin(), released.end(),
                            [&](const auto& e) { return e.object == menuFont; }),
              1);
}

TEST_F(DeviceReset, AFailingResetIsShownOnceAndRetriedSilentlyEveryFrame) {
    Start();
    StartPlaying();
    const auto drawn = system.device().presents;
    system.faults().reset = FailPlan::Times(5);
    system.LoseDevice(2);
    Passes(2 + 5);
    EXPECT_EQ(Boxes(), (testing::Boxes{{"Reset() failed!", "CheckDevice()"}}));
    EXPECT_EQ(system.messageBoxes()[0].owner, "Window#1");
    EXPECT_EQ(system.device().failedResets, 5);
    EXPECT_EQ(system.device().presents, drawn);  // every failing frame skipped
    EXPECT_EQ(system.device().callsWhileLost, 0);

    session->Pass();  // the sixth attempt succeeds
    EXPECT_EQ(system.device().resets, 1);
    EXPECT_EQ(system.device().presents, drawn + 1);

    // A later run of failures is news again, once.
    system.faults().reset = FailPlan::Times(3);
    system.LoseDevice(0);
    Passes(10);
    EXPECT_EQ(Boxes(), (testing::Boxes{{"Reset() failed!", "CheckDevice()"},
                                       {"Reset() failed!", "CheckDevice()"}}));
    EXPECT_EQ(system.device().resets, 2);
    EXPECT_TRUE(session->running());

    // Esc still ends a program whose device will never come back.
    system.faults().reset = FailPlan::Always();
    system.LoseDevice(0);
    EXPECT_EQ(RunToEsc(), 0x1B);
    EXPECT_EQ(system.messageBoxes().size(), 3u);
}

}  // namespace
}  // namespace app::testing
