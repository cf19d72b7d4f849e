// The shared OpenGL device's parts that draw nothing: text layout, the settings it takes,
// and the record of a frame that tells a still frame from a changed one.

#include <gtest/gtest.h>

#include "platform/gl/device_settings.h"
#include "platform/gl/frame_record.h"
#include "platform/gl/text_layout.h"

namespace {

using platform::gl::LayOutLines;
namespace d3d = platform::d3d;

TEST(TextLayout, BreaksAtLineBreaksAndAtWordsWithinTheWidth) {
    // Every character is 10 pixels wide.
    const auto measure = [](std::string_view text) { return static_cast<int>(text.size()) * 10; };
    using Lines = std::vector<std::string>;
    struct Case {
        const char* text;
        int width;
        Lines lines;
    };
    for (const Case& c : std::vector<Case>{
             {"one two three four", 90, {"one two", "three", "four"}},
             {"one two three four", 180, {"one two three four"}},
             // A word wider than the width keeps a line to itself; spaces at a break vanish.
             {"a extraordinarily b", 50, {"a", "extraordinarily", "b"}},
             {"ab   cd", 30, {"ab", "cd"}},
             {"ab cd", 0, {"ab", "cd"}},
             {"one\ntwo three", -1, {"one", "two three"}},
             {"one\r\ntwo", 1000, {"one", "two"}},
             {"one  two", -1, {"one  two"}},
             {"", -1, {""}}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(LayOutLines(c.text, c.width, measure), c.lines);
    }
}

// The device takes exactly what the game sets and refuses the rest rather than half-doing it.
TEST(DeviceSettings, TakesTheGameSettingsAndRefusesOthers) {
    platform::gl::DeviceSettings settings;
    const platform::Matrix world = platform::MatrixTranslation(3, 4, 10);
    EXPECT_EQ(settings.SetTransform(d3d::TS_WORLD, world), platform::kOk);
    EXPECT_EQ(settings.world, world);
    EXPECT_EQ(settings.SetTransform(2, world), platform::kInvalidCall);  // the view
    EXPECT_EQ(settings.SetRenderState(d3d::RS_AMBIENT, 0x00FFFFFF), platform::kOk);
    EXPECT_EQ(settings.SetRenderState(d3d::RS_LIGHTING, 0), platform::kOk);
    EXPECT_EQ(settings.SetRenderState(d3d::RS_CULLMODE, d3d::CULL_NONE), platform::kOk);
    EXPECT_EQ(settings.cullMode, d3d::CULL_NONE);
    EXPECT_EQ(settings.SetRenderState(d3d::RS_CULLMODE, 4), platform::kInvalidCall);
    EXPECT_EQ(settings.cullMode, d3d::CULL_NONE);
    EXPECT_EQ(settings.SetRenderState(d3d::RS_ZENABLE, d3d::ZB_TRUE), platform::kOk);
    EXPECT_EQ(settings.SetRenderState(14, 0), platform::kInvalidCall);  // depth writes
    for (uint32_t sampler = 0; sampler < 8; ++sampler) {
        EXPECT_EQ(settings.SetSamplerState(sampler, d3d::SAMP_MIPFILTER, d3d::TEXF_ANISOTROPIC),
                  platform::kOk);
    }
    EXPECT_EQ(settings.SetSamplerState(16, d3d::SAMP_MINFILTER, 0), platform::kInvalidCall);
    EXPECT_EQ(settings.SetFVF(0x42), platform::kOk);
    EXPECT_EQ(settings.SetFVF(0x142), platform::kInvalidCall);  // a texture coordinate
    EXPECT_EQ(settings.fvf, 0x42u);
}

TEST(FrameRecord, AFrameMatchesOnlyWhenEveryCommandRepeatsTheShownFrame) {
    using platform::gl::FrameRecord;
    using platform::gl::Signature;
    const auto command = [](uint32_t kind, std::string_view text) {
        Signature s;
        s.Put(kind).Put(0.5f).Put(text);
        return s;
    };
    FrameRecord record;
    // Nothing shown yet: the first frame is drawn whatever it is.
    EXPECT_FALSE(record.Add(command(1, "Start")));
    record.Shown();

    EXPECT_TRUE(record.Add(command(1, "Start")));
    EXPECT_TRUE(record.SameAsShown());
    record.Skipped();

    // A longer text, a shorter frame, a frame that goes on past the shown one.
    EXPECT_FALSE(record.Add(command(1, "Starts")));
    EXPECT_FALSE(record.Add(command(1, "Start"))) << "once different, the frame stays so";
    record.Shown();
    EXPECT_TRUE(record.Add(command(1, "Starts")));
    EXPECT_FALSE(record.SameAsShown()) << "a prefix of the shown frame is not the frame";
    EXPECT_TRUE(record.Add(command(1, "Start")));
    EXPECT_TRUE(record.SameAsShown());
    EXPECT_FALSE(record.Add(command(2, "")));
    record.Shown();

    // Something drawn after all, or the picture lost, and the frame is not taken as shown.
    EXPECT_TRUE(record.Add(command(1, "Starts")));
    record.Diverge();
    EXPECT_FALSE(record.SameAsShown());
    record.Shown();
    record.Forget();
    EXPECT_FALSE(record.Add(command(1, "Starts")));
}

}  // namespace
