#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace std::string_literals;

#include "input_rig.h"

namespace input::testing {
namespace {

namespace fs = std::filesystem;
using platform::record::FailPlan;

// Runs the test from a fresh working directory, where "arrow.bmp" is looked for.
class CursorImage : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ = fs::current_path();
        dir_ =
            fs::temp_directory_path() /
            ("tavorin-cursor-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(home_);
        fs::remove_all(dir_);
    }

    static void Write(const std::string& bytes) {
        std::ofstream("arrow.bmp", std::ios::binary) << bytes;
    }

    fs::path home_;
    fs::path dir_;
};

TEST_F(CursorImage, BadOrMissingFileIsNeitherReportedNorFatal) {
    const std::string header = "BM\x36\x0C\0\0\0\0\0\0\x36\0\0\0"s;
    const std::vector<std::pair<const char*, std::string>> files{
        {"missing", ""}, {"empty", ""}, {"truncated", header}, {"garbage", "not a bitmap at all"}};

    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        fs::remove("arrow.bmp");
        if (std::string(name) != "missing") {
            Write(bytes);
        }
        InputRig rig;
        // The loader refuses such a file; the game must carry on without the image.
        rig.system.faults().loadTexture = FailPlan::Always();
        InputManager& input = rig.Start();
        EXPECT_TRUE(rig.running);
        EXPECT_TRUE(rig.system.messageBoxes().empty());
        EXPECT_EQ(input.cursorTexture, nullptr);
        EXPECT_EQ(input.sensitivity, 1.0f);  // set-up went on past the image
        EXPECT_TRUE(rig.Move(1, 1));
        EXPECT_EQ(input.cursorX, 641.0f);
        rig.input.reset();
        EXPECT_EQ(rig.system.log().Count("Texture::Release"), 0u);
        EXPECT_EQ(rig.system.live().textures, 0);
    }
}

TEST_F(CursorImage, WithoutADeviceNothingIsLoaded) {
    InputRig rig;
    rig.device.reset();
    InputManager& input = rig.Start();
    EXPECT_TRUE(rig.running);
    EXPECT_EQ(input.cursorTexture, nullptr);
    EXPECT_EQ(rig.system.log().Count("Device::CreateTextureFromFileEx"), 0u);
}

}  // namespace
}  // namespace input::testing
