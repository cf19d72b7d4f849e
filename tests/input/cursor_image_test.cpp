#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "input_rig.h"

namespace input::testing {
namespace {

namespace fs = std::filesystem;
using platform::record::FailPlan;
using namespace std::string_literals;

// Runs from a fresh working directory, where "arrow.bmp" is looked for.
class CursorImage : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ = fs::current_path();
        dir_ = fs::temp_directory_path() /
               ("tavorin-cursor-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(home_);
        fs::remove_all(dir_);
    }

    fs::path home_;
    fs::path dir_;
};

TEST_F(CursorImage, MissingOrBadFileIsNeitherReportedNorFatal) {
    const std::pair<const char*, std::string> files[] = {
        {"missing", ""},
        {"empty", ""},
        {"truncated", "BM\x36\x0C\0\0\0\0\0\0\x36\0\0\0"s},
        {"malformed", "not a bitmap at all"},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        fs::remove("arrow.bmp");
        if (std::string(name) != "missing") {
            std::ofstream("arrow.bmp", std::ios::binary) << bytes;
        }
        InputRig rig;
        rig.system.faults().loadTexture = FailPlan::Always();  // the loader refuses the file
        InputManager& input = rig.Start();
        EXPECT_TRUE(rig.running);
        EXPECT_TRUE(rig.system.messageBoxes().empty());
        EXPECT_EQ(input.cursorTexture, nullptr);
        EXPECT_EQ(input.sensitivity, 1.0f);  // set-up went on past the image
        EXPECT_TRUE(rig.Move(1, 1));
        EXPECT_EQ(input.cursorX, 641.0f);
        rig.input.reset();
        EXPECT_EQ(rig.system.log().Count("Texture::Release"), 0u);
    }

    InputRig headless;
    headless.device.reset();
    EXPECT_EQ(headless.Start().cursorTexture, nullptr);
    EXPECT_TRUE(headless.running);
}

}  // namespace
}  // namespace input::testing
