// A long run of random keys, Alt combinations, mouse motion and device losses: the board
// keeps exactly one buffer pair and memory stays flat. The frame count is set by the build
// (fewer under the sanitizers) and can be overridden with TAVORIN_SOAK_FRAMES.

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include "app/game_session.h"
#include "platform/record/record_backend.h"

#ifndef TAVORIN_SOAK_FRAMES
#define TAVORIN_SOAK_FRAMES 1000000
#endif

namespace app {
namespace {

namespace record = platform::record;

long FramesToRun() {
    const char* text = std::getenv("TAVORIN_SOAK_FRAMES");
    const long frames = text ? std::strtol(text, nullptr, 10) : 0;
    return frames > 0 ? frames : TAVORIN_SOAK_FRAMES;
}

// Resident set size in KiB, from the second field of /proc/self/statm (pages).
long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = -1;
    statm >> size >> resident;
    return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// One random message, or none; never one that would end the run (Esc, Q, Alt+F4).
void PostRandomMessage(record::RecordSystem& system, std::mt19937& rng) {
    static constexpr uint32_t kCommands[] = {'S', platform::vk::F2, 'N', 'C', 'D', 'T'};
    const uint32_t kind = rng() % 16;
    const uint32_t key = rng() % 256;
    if (kind < 2) {
        system.PostKeyDown(kCommands[key % std::size(kCommands)]);
    } else if (kind == 2 && key != platform::vk::ESCAPE && key != 'Q') {
        system.PostKeyDown(key);
    } else if (kind == 3 && key != platform::vk::F4) {
        system.PostSysKeyDown(key);
    } else if (kind == 4) {
        system.Post(rng() % 2 ? platform::wm::KEYUP : platform::wm::CHAR, key);
    }
}

TEST(Soak, RandomPlayWithDeviceLossesKeepsOneBufferPairAndFlatMemory) {
    const long frames = FramesToRun();
    record::RecordSystem system;
    system.log().Enable(false);
    std::mt19937 rng(20261206);
    long resident = -1;
    std::size_t failingRuns = 0;
    bool uploaded = false;
    {
        GameSession session(system);
        ASSERT_TRUE(session.running());
        for (long frame = 0; frame < frames; ++frame) {
            PostRandomMessage(system, rng);
            if (rng() % 4 == 0 && system.recorder().mouseReads.empty()) {
                system.ScriptMouse({.lX = static_cast<int32_t>(rng() % 401) - 200,
                                    .lY = static_cast<int32_t>(rng() % 401) - 200});
            }
            // Now and then the device goes, sometimes with resets that fail for a while.
            if (rng() % 4096 == 0 && system.deviceCondition() == record::DeviceCondition::Usable &&
                system.faults().reset.count == 0) {
                system.LoseDevice(static_cast<int>(rng() % 5));
                const int failures = static_cast<int>(rng() % 4);
                system.faults().reset = record::FailPlan::Times(failures);
                failingRuns += failures > 0 ? 1 : 0;
            }

            session.Pass();

            ASSERT_TRUE(session.running()) << "frame " << frame;
            const int buffers = system.live().vertexBuffers + system.live().indexBuffers;
            uploaded = uploaded || buffers > 0;
            ASSERT_EQ(buffers, uploaded ? 2 : 0) << "frame " << frame;
            if (frame == frames / 10) {
                resident = ResidentKiB();
            }
        }
        EXPECT_TRUE(uploaded);
        EXPECT_EQ(system.device().invalidCalls, 0);
        EXPECT_EQ(system.device().callsWhileLost, 0);
        EXPECT_EQ(system.messageBoxes().size(), failingRuns);
        EXPECT_EQ(system.live().fonts, 1);
#if TAVORIN_SOAK_CHECK_RSS
        // The sanitizers hold freed memory back on purpose; without them it must stay flat.
        const long grown = ResidentKiB() - resident;
        EXPECT_LT(grown, 2048) << "resident set grew by " << grown << " KiB";
#endif
        std::printf(
            "soak: %ld frames, %lld drawn, %lld draws, %lld resets, %zu reset-failure runs, "
            "resident %ld KiB after warm-up, %ld KiB at the end\n",
            frames, static_cast<long long>(system.device().presents),
            static_cast<long long>(system.device().draws),
            static_cast<long long>(system.device().resets), failingRuns, resident, ResidentKiB());

        system.PostKeyDown(platform::vk::ESCAPE);
        EXPECT_EQ(session.Run(), platform::vk::ESCAPE);
    }
    EXPECT_EQ(system.live().Total(), 0);
}

}  // namespace
}  // namespace app
