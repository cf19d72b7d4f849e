#include <gtest/gtest.h>

#include "options_checks.h"
#include "replay/replay_options.h"

namespace {

using replay::ParseReplayOptions;
using replay::ReplayOptions;

ReplayOptions Parsed(const std::vector<std::string>& args) {
    return options_checks::Accepted(ParseReplayOptions(args));
}

TEST(ReplayOptions, KeysOfEveryFormInAnyCase) {
    const ReplayOptions options = Parsed({"--time", "4294967295", "--text", "Esc", "f2", "0x41",
                                          "0X1b", "alt+s", "ALT+0x73", "esc", "q", "d"});
    EXPECT_EQ(options.time, 4294967295);
    EXPECT_TRUE(options.text);
    ASSERT_EQ(options.keys.size(), 9u);
    const uint32_t codes[] = {0x1B, 0x71, 0x41, 0x1B, 'S', 0x73, 0x1B, 'Q', 'D'};
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(options.keys[i].virtualKey, codes[i]) << options.keyNames[i];
        EXPECT_EQ(options.keys[i].alt, i == 4 || i == 5) << options.keyNames[i];
    }
    EXPECT_EQ(options.keyNames[4], "alt+s");  // printed as given
    EXPECT_EQ(Parsed({"--time", "0"}).time, 0);
    EXPECT_TRUE(Parsed({}).keys.empty());
    EXPECT_FALSE(Parsed({}).time);
}

// Each refusal names what was wrong.
TEST(ReplayOptions, BadArgumentsAreNamed) {
    options_checks::ExpectRefusalsNamed(
        ParseReplayOptions, {
                                {{"Z"}, "unknown key 'Z'"},
                                {{"S", "F3"}, "unknown key 'F3'"},
                                {{"0x"}, "'0x'"},
                                {{"0x123"}, "'0x123'"},
                                {{"0xG1"}, "'0xG1'"},
                                {{"Alt+"}, "'Alt+'"},
                                {{"Alt+Alt+S"}, "'Alt+Alt+S'"},
                                {{"--time"}, "--time needs a value"},
                                {{"--time", "12x"}, "not '12x'"},
                                {{"--time", ""}, "not ''"},
                                {{"--time", "-1"}, "from 0 to 4294967295, not '-1'"},
                                {{"--time", "4294967296"}, "not '4294967296'"},
                                {{"--dump-mesh"}, "--dump-mesh needs a value"},
                                {{"--dump-mesh", ""}, "--dump-mesh needs a file name prefix"},
                                {{"--verbose"}, "unknown argument '--verbose'"},
                            });
}

TEST(ReplayOptions, HelpWhateverElseIsThere) {
    EXPECT_TRUE(Parsed({"Z", "--help"}).help);
    EXPECT_TRUE(Parsed({"-h"}).help);
    EXPECT_TRUE(Parsed({"--version"}).version);
}

}  // namespace
