// Device loss and reset: every setting put back, the menu font told around the reset, and a
// reset that keeps failing reported once per run of failures.

#include <map>

#include "session_rig.h"

namespace app::testing {
namespace {

using record::Args;
using record::FailPlan;
using DeviceReset = SessionTest;

TEST_F(DeviceReset, AResetPutsEverySettingBackAndTellsTheFontAroundIt) {
    Start();
    const record::DeviceRecord set = system.device();
    EXPECT_EQ(set.transforms.at(3),
              platform::MatrixPerspectiveFovLH(0.785398f, 5.0f / 3.0f, 1.0f, 1000.0f));
    // Ambient white, unlit, no culling, depth test.
    EXPECT_EQ(set.renderStates,
              (std::map<uint32_t, uint32_t>{{139, 0x00FFFFFF}, {137, 0}, {22, 1}, {7, 1}}));
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> samplers;
    for (uint32_t s = 0; s < 8; ++s) {
        samplers.insert({{{s, 6}, 2}, {{s, 5}, 2}, {{s, 7}, 3}, {{s, 10}, 0}});
    }
    EXPECT_EQ(set.samplerStates, samplers);
    EXPECT_EQ(set.fvf, 0x42u);

    StartPlaying();
    const auto mark = log().size();
    system.LoseDevice(0);
    session->Pass();
    const auto reset = Find("Device::Reset", mark);
    const auto back = Find("Font::OnResetDevice", mark);
    ASSERT_LT(Find("Font::OnLostDevice", mark), reset);
    ASSERT_LT(reset, back);
    EXPECT_LT(Find("Device::SetFVF", reset), back);  // the settings, then the font
    EXPECT_EQ(log()[reset].args, Args(system.device().createParams));
    // A reset clears the record: what is there now was all set again.
    EXPECT_EQ(system.device().transforms.at(3), set.transforms.at(3));
    EXPECT_EQ(system.device().renderStates, set.renderStates);
    EXPECT_EQ(system.device().samplerStates, set.samplerStates);
    EXPECT_EQ(system.device().fvf, set.fvf);
    // The board shows again from the buffers that survived the reset.
    EXPECT_EQ(Count("Device::CreateVertexBuffer"), 1u);
    EXPECT_EQ(system.device().draws, 2);
}

TEST_F(DeviceReset, AFailingResetIsShownOnceAndRetriedSilentlyEveryFrame) {
    Start();
    StartPlaying();
    const auto drawn = system.device().presents;
    system.faults().reset = FailPlan::Times(5);
    system.LoseDevice(2);
    Passes(2 + 5);
    EXPECT_EQ(ShownBoxes(), (Boxes{{"Reset() failed!", "CheckDevice()"}}));
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
    EXPECT_EQ(system.messageBoxes().size(), 2u);
    EXPECT_EQ(system.device().resets, 2);

    // Esc still ends a program whose device will never come back.
    system.faults().reset = FailPlan::Always();
    system.LoseDevice(0);
    EXPECT_EQ(RunToEsc(), 0x1B);
    EXPECT_EQ(system.messageBoxes().size(), 3u);
}

}  // namespace
}  // namespace app::testing
