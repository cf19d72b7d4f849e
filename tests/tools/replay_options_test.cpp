#include <gtest/gtest.h>

#include "replay/replay_options.h"

namespace {

using replay::ParseReplayOptions;

TEST(ReplayOptions, KeysOfEveryForm) {
    const auto options = ParseReplayOptions(
        {"--time", "-7", "--text", "Esc", "F2", "0x41", "0X1b", "Alt+S", "Alt+0x73"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->time, -7);
    EXPECT_TRUE(options->text);
    ASSERT_EQ(options->keys.size(), 6u);
    EXPECT_EQ(options->keys[0].virtualKey, 0x1Bu);
    EXPECT_EQ(options->keys[1].virtualKey, 0x71u);
    EXPECT_EQ(options->keys[2].virtualKey, 0x41u);
    EXPECT_EQ(options->keys[3].virtualKey, 0x1Bu);
    EXPECT_FALSE(options->keys[3].alt);
    EXPECT_TRUE(options->keys[4].alt);
    EXPECT_EQ(options->keys[4].virtualKey, 0x53u);
    EXPECT_EQ(options->keyNames[5], "Alt+0x73");
}

TEST(ReplayOptions, BadArgumentsAreRefused) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"s"},
                                               {"Z"},
                                               {"0x"},
                                               {"0x123"},
                                               {"0xG1"},
                                               {"Alt+"},
                                               {"Alt+Alt+S"},
                                               {"--time"},
                                               {"--time", "12x"},
                                               {"--time", ""},
                                               {"--dump-mesh"},
                                               {"--verbose"},
                                               {"S", "F3"}}) {
        EXPECT_FALSE(ParseReplayOptions(args)) << args.back();
    }
}

TEST(ReplayOptions, NoKeysIsAnEmptyReplay) {
    const auto options = ParseReplayOptions({});
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->keys.empty());
    EXPECT_FALSE(options->time);
}

}  // namespace
