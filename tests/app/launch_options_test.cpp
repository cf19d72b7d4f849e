// The game's start-up arguments, from a command line and from a page's query string, and
// what the game does with them: the first deal from the second given, later ones from the
// clock, and a refusal shown in the game's own message box before any window.

#include <gtest/gtest.h>

#include "app/launch_options.h"
#include "session_rig.h"

namespace app::testing {
namespace {

std::optional<uint32_t> Second(const Launch& launch) {
    const auto* options = std::get_if<LaunchOptions>(&launch);
    EXPECT_NE(options, nullptr) << std::get<LaunchRefused>(launch).message;
    return options ? options->firstDealSecond : std::nullopt;
}

std::string Refusal(const Launch& launch) {
    const auto* refused = std::get_if<LaunchRefused>(&launch);
    return refused ? refused->message : "(accepted)";
}

TEST(LaunchArguments, TimeTakesEveryWholeSecondOfTheClockAndNothingElse) {
    EXPECT_EQ(Second(ParseArguments({})), std::nullopt);
    EXPECT_EQ(Second(ParseArguments({"--time", "0"})), 0u);
    EXPECT_EQ(Second(ParseArguments({"--time", "1700000000"})), 1700000000u);
    EXPECT_EQ(Second(ParseArguments({"--time", "4294967295"})), 4294967295u);
    EXPECT_EQ(Second(ParseArguments({"--time", "0004294967295"})), 4294967295u) << "as the tools";
    EXPECT_EQ(Second(ParseArguments({"--time", "1", "--time", "2"})), 2u) << "the last counts";

    for (const char* bad :
         {"4294967296", "99999999999", "-1", "+1", " 1", "1 ", "1.5", "0x10", "12a", ""}) {
        SCOPED_TRACE(bad);
        const std::string message = Refusal(ParseArguments({"--time", bad}));
        EXPECT_TRUE(message.starts_with("--time takes a whole number from 0 to 4294967295, not '" +
                                        std::string(bad) + "'"))
            << message;
        EXPECT_NE(message.find("usage: tavorin [--time T]"), std::string::npos) << message;
    }
    EXPECT_TRUE(Refusal(ParseArguments({"--time"})).starts_with("--time needs a value"));
    EXPECT_TRUE(Refusal(ParseArguments({"--help"})).starts_with("unknown argument '--help'"));
    EXPECT_TRUE(Refusal(ParseArguments({"--time", "5", "S"})).starts_with("unknown argument 'S'"));
    // What a message quotes stays short and printable, whatever was passed.
    const std::string message = Refusal(ParseArguments({std::string(500, 'x') + "\n\x1b"}));
    EXPECT_LT(message.find('\n'), message.find("usage")) << "only the usage's own lines";
    EXPECT_EQ(message.find('\x1b'), std::string::npos);
    EXPECT_LT(message.size(), 200u);
}

TEST(LaunchQuery, TimeAmongTheLinksOwnParametersDecodedAndChecked) {
    EXPECT_EQ(Second(ParseQuery("")), std::nullopt);
    EXPECT_EQ(Second(ParseQuery("?")), std::nullopt);
    EXPECT_EQ(Second(ParseQuery("?time=1700000000")), 1700000000u);
    EXPECT_EQ(Second(ParseQuery("time=7")), 7u);
    EXPECT_EQ(Second(ParseQuery("?ref=mail&time=42&x")), 42u) << "others passed over";
    EXPECT_EQ(Second(ParseQuery("?times=3&atime=4")), std::nullopt);
    EXPECT_EQ(Second(ParseQuery("?%74ime=%34%32")), 42u) << "percent-decoded";
    EXPECT_EQ(Second(ParseQuery("?time=4294967295")), 4294967295u);

    EXPECT_TRUE(Refusal(ParseQuery("?time=")).starts_with("time= needs a value"));
    EXPECT_TRUE(Refusal(ParseQuery("?time")).starts_with("time= needs a value"));
    for (const char* bad : {"4294967296", "-1", "1+", "1%20", "abc", "%zz"}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(Refusal(ParseQuery(std::string("?time=") + bad))
                        .starts_with("time= takes a whole number from 0 to 4294967295, not '"))
            << Refusal(ParseQuery(std::string("?time=") + bad));
    }
}

using LaunchedGame = SessionTest;

board::TileBoard DealOf(int64_t second) {
    record::RecordSystem system;
    system.SetTime(second);
    GameSession session(system);
    system.PostKeyDown('S');
    session.Pass();
    session.Pass();
    return session.game->board;
}

TEST_F(LaunchedGame, FirstDealIsTheSecondGivenAndEveryLaterOneTheClocks) {
    system.SetTime(1800000000);
    session = std::make_unique<GameSession>(system, LaunchOptions{.firstDealSecond = 12345});
    const auto halves = [this] { return session->game->board.halves; };
    StartPlaying();
    EXPECT_EQ(halves(), DealOf(12345).halves);
    int64_t clock = 1800000000;
    for (const uint32_t key : {uint32_t{'S'}, uint32_t{'N'}, uint32_t{platform::vk::F2}}) {
        system.SetTime(++clock);
        system.PostKeyDown(key);
        Passes(2);
        EXPECT_EQ(halves(), DealOf(clock).halves) << key;
    }
    EXPECT_NE(DealOf(12345).halves, DealOf(1800000000).halves);
}

TEST_F(LaunchedGame, NewDealFromTheMenuIsTheFirstDealToo) {
    session = std::make_unique<GameSession>(system, LaunchOptions{.firstDealSecond = 99});
    system.PostKeyDown('N');
    Passes(2);
    EXPECT_EQ(session->game->board.halves, DealOf(99).halves);
}

TEST_F(LaunchedGame, RefusedArgumentsAreNamedInTheGamesBoxBeforeAnyWindowWithStatusTwo) {
    EXPECT_EQ(PlayGame(system, ParseArguments({"--time", "soon"})), kRefusedStatus);
    ASSERT_EQ(system.messageBoxes().size(), 1u);
    EXPECT_EQ(system.messageBoxes()[0].caption, "Tavorin");
    EXPECT_TRUE(system.messageBoxes()[0].text.starts_with(
        "--time takes a whole number from 0 to 4294967295, not 'soon'"));
    EXPECT_EQ(Count("CreateWindowExA"), 0u);
    EXPECT_EQ(Count("Direct3DCreate9"), 0u);
}

TEST_F(LaunchedGame, AcceptedArgumentsPlayTheGameToItsOwnStatus) {
    system.PostKeyDown('S');
    system.PostKeyDown('Q');
    EXPECT_EQ(PlayGame(system, ParseQuery("?time=5")), 'Q');
    EXPECT_TRUE(system.messageBoxes().empty());
    EXPECT_EQ(Count("CreateWindowExA"), 1u);
}

}  // namespace
}  // namespace app::testing
