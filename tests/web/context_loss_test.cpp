// The page losing its WebGL context in a real browser (WEBGL_lose_context, on F8 and F9 from
// a probe the test loads into a copy of the page): the game waits while the context is lost,
// then shows the same screen, pixel for pixel, keys still working, every GL object made again
// once; a context that does not come back is reported in the game's own words.

#include <array>
#include <cstdio>

#include "browser_page.h"

namespace browser_test {
namespace {

// What the probe puts at the end of the page's title (context_probe.js).
struct ProbeReport {
    bool read = false;
    int lost = 0;
    int losses = 0;
    // Buffers, textures, programs, shaders, framebuffers, renderbuffers, vertex arrays.
    std::array<int, 7> live{};
    int stale = 0;
    int twice = 0;
    std::string dialog;  // "none", or the caption and the text, quoted
};

std::ostream& operator<<(std::ostream& out, const ProbeReport& r) {
    out << "lost " << r.lost << " losses " << r.losses << " live";
    for (const int n : r.live) {
        out << ' ' << n;
    }
    return out << " stale " << r.stale << " twice " << r.twice << " dialog " << r.dialog;
}

ProbeReport ParseProbe(const std::string& title) {
    ProbeReport r;
    const size_t at = title.find("[probe ");
    const size_t end = title.rfind(']');
    int dialogAt = 0;
    if (at == std::string::npos || end == std::string::npos ||
        std::sscanf(title.c_str() + at,
                    "[probe lost %d losses %d live %d %d %d %d %d %d %d stale %d twice %d "
                    "dialog %n",
                    &r.lost, &r.losses, &r.live[0], &r.live[1], &r.live[2], &r.live[3], &r.live[4],
                    &r.live[5], &r.live[6], &r.stale, &r.twice, &dialogAt) != 11 ||
        dialogAt == 0 || at + dialogAt > end) {
        return r;
    }
    r.dialog = title.substr(at + dialogAt, end - at - dialogAt);
    r.read = true;
    return r;
}

constexpr int kTextures = 1;
constexpr int kPrograms = 2;
// The menu's: the text's and sprites' program, and the board's, made after the first frame.
constexpr int kMenuPrograms = 2;
const char* const kResetFailed = "\"CheckDevice()\" \"Reset() failed!\"";

class ContextLossTest : public BrowserTest {
  protected:
    void SetUp() override {
        // The page as built, the probe loaded before the game's code.
        folder_ = std::filesystem::temp_directory_path() /
                  ("tavorin-probe-page-" + std::to_string(getpid()) + "-" + GetParam().name);
        std::filesystem::remove_all(folder_);
        if (std::filesystem::exists(kPage + "/index.html")) {
            std::filesystem::copy(kPage, folder_, std::filesystem::copy_options::recursive);
            std::filesystem::copy_file(TAVORIN_CONTEXT_PROBE, folder_ / "context_probe.js");
            std::ifstream in(folder_ / "index.html");
            std::string page((std::istreambuf_iterator<char>(in)), {});
            in.close();
            const size_t game = page.find("<script src=\"tavorin.js\"");
            ASSERT_NE(game, std::string::npos) << "the page loads no tavorin.js";
            page.insert(game, "<script src=\"context_probe.js\"></script>\n");
            std::ofstream(folder_ / "index.html") << page;
        }
        BrowserTest::SetUp();
    }

    void TearDown() override {
        BrowserTest::TearDown();
        std::filesystem::remove_all(folder_);
    }

    std::string PageFolder() const override { return folder_.string(); }

    ProbeReport Probe() {
        std::string title = RunOnDisplay("xdotool getwindowname " + window_);
        return ParseProbe(title);
    }

    // Polls the title until the report shows what is awaited; the last report when it never did.
    template <typename Shows>
    ProbeReport ProbeWhen(Shows shows, std::chrono::seconds timeout = 20s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        ProbeReport r;
        while (std::chrono::steady_clock::now() < end) {
            r = Probe();
            if (r.read && shows(r)) {
                break;
            }
            std::this_thread::sleep_for(100ms);
        }
        return r;
    }

    // Canvas pixels that differ between two captures.
    int Differences(const Capture& a, const Capture& b) const {
        int differ = 0;
        for (int y = area_.top; y < area_.top + area_.height; ++y) {
            for (int x = area_.left; x < area_.left + area_.width; ++x) {
                const Rgb p = a.At(x, y), q = b.At(x, y);
                differ += p.r != q.r || p.g != q.g || p.b != q.b ? 1 : 0;
            }
        }
        return differ;
    }

    // Loses the context, and keeps it lost for a second and a half: no message meanwhile.
    void Lose() {
        const int losses = Probe().losses;
        Press("F8");
        const ProbeReport lost =
            ProbeWhen([losses](const ProbeReport& r) { return r.lost && r.losses > losses; });
        ASSERT_TRUE(lost.lost) << lost;
        const auto end = std::chrono::steady_clock::now() + 1500ms;
        while (std::chrono::steady_clock::now() < end) {
            const ProbeReport r = Probe();
            ASSERT_EQ(r.dialog, "none") << "a message while the context is lost";
            std::this_thread::sleep_for(100ms);
        }
    }

    // Restores it: the game makes its programs again (Firefox shows the last frame meanwhile,
    // so the screen alone proves nothing), then the screen comes back as `before` shows it.
    ProbeReport Restore(const Capture& before, const ProbeReport& report) {
        Press("F9");
        const int programs = report.live[kPrograms];
        ProbeWhen(
            [programs](const ProbeReport& r) { return !r.lost && r.live[kPrograms] >= programs; });
        const Capture after =
            ShotWhen([&](const Capture& s) { return Differences(before, s) == 0; });
        EXPECT_EQ(Differences(before, after), 0) << "the screen after the restore";
        if (Differences(before, after) != 0) {
            wine_test::Save(profile_.string() + "/../tavorin-context-before.ppm", before);
            wine_test::Save(profile_.string() + "/../tavorin-context-after.ppm", after);
        }
        return Restored();
    }

    // The report once the context is back: no message, nothing deleted that was not the
    // present context's to delete.
    ProbeReport Restored() {
        const ProbeReport r = ProbeWhen([](const ProbeReport& p) { return !p.lost; });
        EXPECT_FALSE(r.lost) << r;
        EXPECT_EQ(r.dialog, "none") << r;
        EXPECT_EQ(r.stale, 0) << "objects of the lost context deleted: " << r;
        EXPECT_EQ(r.twice, 0) << "objects deleted twice: " << r;
        return r;
    }

    // The board the replay gives after `keys` from the page's second.
    Capture Board(const std::string& keys) {
        SCOPED_TRACE(keys);
        const wine_test::Picture expected = Expected(kDealSecond, keys);
        const Capture shot =
            ShotWhen([&](const Capture& s) { return Mismatches(s, area_, expected) < 50; });
        EXPECT_LT(Mismatches(shot, area_, expected), 50);
        return shot;
    }

    std::filesystem::path folder_;
};

// The same objects as before the loss; textures no more (text blocks of other screens kept
// before it are made again only when drawn).
void ExpectMadeAgainOnce(const ProbeReport& before, const ProbeReport& after) {
    for (size_t kind = 0; kind < before.live.size(); ++kind) {
        if (kind == kTextures) {
            EXPECT_LE(after.live[kind], before.live[kind]) << "textures: " << after;
            EXPECT_GE(after.live[kind], 1) << "the cursor image at least: " << after;
        } else {
            EXPECT_EQ(after.live[kind], before.live[kind]) << "kind " << kind << ": " << after;
        }
    }
}

TEST_P(ContextLossTest, TheMenuTheRulesAndTheBoardComeBackAsTheyWereWithEveryObjectMadeOnce) {
    const Capture menu = MenuShot();
    const ProbeReport start =
        ProbeWhen([](const ProbeReport& r) { return r.live[kPrograms] >= kMenuPrograms; });
    ASSERT_TRUE(start.read) << "no probe in the title";
    Lose();
    ExpectMadeAgainOnce(start, Restore(menu, start));
    EXPECT_EQ(Probe().live, start.live) << "the menu's own objects, all of them";

    Press("t");
    const Capture rules = ShotWhen(
        [this](const Capture& s) { return Count(s, area_, 30, 230, 780, 290, IsLit) > 600; });
    const ProbeReport onRules = Probe();
    Lose();
    ExpectMadeAgainOnce(onRules, Restore(rules, onRules));

    // Mid-game: restored as it was, a key pressed while lost carried out once it is back, and
    // the keys after it; three losses leave as many objects as one.
    Press("s");
    Board("S");
    Press("d");
    const Capture dealt = Board("S D");
    const ProbeReport onBoard = Probe();
    Lose();
    const ProbeReport once = Restore(dealt, onBoard);
    ExpectMadeAgainOnce(onBoard, once);
    Lose();
    Press("d");
    Press("F9");
    const Capture dealtAgain = Board("S D D");
    const ProbeReport twice = Restored();
    EXPECT_EQ(twice.live, once.live);
    Lose();
    const ProbeReport thrice = Restore(dealtAgain, twice);
    EXPECT_EQ(thrice.live, once.live);
    Press("c");
    Board("S D D C");
    Press("Escape");
    EXPECT_FALSE(e2e::FindWindow(display_.name(), "Tavorin \\(exit 27\\).*", 20s).empty());
}

// A context that does not come back: after a few seconds the game's message for a device it
// cannot reset, and the game still there for a context restored after all.
TEST_P(ContextLossTest, OneThatStaysLostIsReportedAndTheGameGoesOnOnceItIsBack) {
    MenuShot();
    Press("s");
    const Capture board = Board("S");
    const ProbeReport before = Probe();
    Press("F8");
    const auto lost = std::chrono::steady_clock::now();
    const ProbeReport told =
        ProbeWhen([](const ProbeReport& r) { return r.dialog != "none"; }, 30s);
    const auto waited = std::chrono::steady_clock::now() - lost;
    EXPECT_EQ(told.dialog, kResetFailed) << told;
    EXPECT_TRUE(told.lost) << told;
    EXPECT_GE(waited, 4s) << "told before the game waited";
    Press("Return");
    const ProbeReport read = ProbeWhen([](const ProbeReport& r) { return r.dialog == "none"; });
    EXPECT_EQ(read.dialog, "none") << read;
    ExpectMadeAgainOnce(before, Restore(board, before));
    Press("d");
    Board("S D");
}

INSTANTIATE_TEST_SUITE_P(Browsers, ContextLossTest,
                         ::testing::Values(Browser{"chromium", "chromium"},
                                           Browser{"firefox", "firefox-esr"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace browser_test
