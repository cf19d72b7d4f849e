// A census's folder on disk: runs that are stopped, damaged files, another census, two runs
// at once and a failed write, each leaving the census right: every deal counted once, as the
// solver decides it, and a second run making the very same bytes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "census/census_folder.h"
#include "census/census_run.h"
#include "census/census_tally.h"
#include "platform/console/whole_files.h"
#include "solve/range_run.h"
#include "solver/search.h"

namespace census {
namespace {

namespace fs = std::filesystem;

class CensusFolderTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("census-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        settings_.from = 1'700'000'000;
        settings_.step = 3;
        settings_.count = 46;  // six shards, the last of six deals
        settings_.shardSize = 8;
    }
    void TearDown() override { fs::remove_all(dir_); }

    int Run(std::optional<uint64_t> shard = std::nullopt) {
        RunRequest request;
        request.census = settings_;
        request.dir = dir_.string();
        request.threads = 2;
        request.shard = shard;
        std::ostringstream err;
        const int status = RunCensus(request, err);
        err_ = err.str();
        return status;
    }

    CensusTally Tally() const {
        const auto folder = CensusFolder::ForReading(dir_.string());
        return TallyCensus(std::get<CensusFolder>(folder), solver::kSolverVersion);
    }

    std::string Bytes(uint64_t shard) const {
        std::ifstream in(dir_ / ShardFileName(shard), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }

    fs::path dir_;
    CensusSettings settings_;
    std::string err_;
};

TEST_F(CensusFolderTest, EveryDealCountedOnceAsTheSolverDecidesIt) {
    ASSERT_EQ(Run(), 0) << err_;
    const CensusTally tally = Tally();
    EXPECT_TRUE(tally.Sound());
    EXPECT_EQ(tally.complete, 6u);
    EXPECT_EQ(tally.deals, 46u);
    uint64_t won = 0, alone = 0;
    std::array<uint64_t, 127> lengths{};
    solver::Solver solver;
    for (uint64_t deal = 0; deal < settings_.count; ++deal) {
        const auto result = solve::DecideDeal(settings_.SecondOf(deal), false, solver);
        won += result.won ? 1 : 0;
        alone += result.checksAloneWin ? 1 : 0;
        lengths[result.keys.size()] += result.won ? 1 : 0;
    }
    EXPECT_EQ(tally.won, won);
    EXPECT_EQ(tally.lost, 46 - won);
    EXPECT_EQ(tally.undecided, 0u);
    EXPECT_EQ(tally.checksAloneWin, alone);
    EXPECT_EQ(tally.lengths, lengths);
    ASSERT_FALSE(tally.longest.empty());
    EXPECT_GE(tally.longest.front().length, tally.longest.back().length);
}

TEST_F(CensusFolderTest, DamagedShardsAreNamedNeverCountedAndRedoneToTheSameBytes) {
    ASSERT_EQ(Run(), 0) << err_;
    std::vector<std::string> original;
    for (uint64_t shard = 0; shard < 6; ++shard) {
        original.push_back(Bytes(shard));
    }
    Put(ShardFileName(0), original[0].substr(0, original[0].size() - 1));  // killed mid-write
    std::string flipped = original[1];
    flipped[70] ^= 4;
    Put(ShardFileName(1), flipped);
    Put(ShardFileName(2), original[3]);   // overlap: another shard under this name
    fs::remove(dir_ / ShardFileName(3));  // a gap
    // Decided by another solver: sound in itself, counted by no other version.
    const auto folder = CensusFolder::ForReading(dir_.string());
    std::vector<uint8_t> deals(original[4].begin() + kHeaderSize, original[4].end());
    ASSERT_EQ(std::get<CensusFolder>(folder).Write(4, solver::kSolverVersion + 1, deals), "");
    Put("shard-000099.census", original[5]);                  // no shard of this census
    Put(ShardFileName(5) + ".tmp-0123456789abcdef", "half");  // a stopped run's leftover

    CensusTally tally = Tally();
    EXPECT_FALSE(tally.Sound());
    EXPECT_EQ(tally.complete, 1u);
    EXPECT_EQ(tally.deals, 6u);  // shard 5 alone
    EXPECT_EQ(tally.Redo(), (std::vector<uint64_t>{0, 1, 2, 3, 4}));
    ASSERT_EQ(tally.problems.size(), 5u);
    EXPECT_EQ(tally.problems[0].fault, "cut short");
    EXPECT_EQ(tally.problems[1].fault, "its deals are damaged (checksum)");
    EXPECT_NE(tally.problems[2].fault.find("holds shard 3"), std::string::npos);
    EXPECT_EQ(tally.problems[3].fault, "");  // missing
    EXPECT_NE(tally.problems[4].fault.find("solver version"), std::string::npos);
    EXPECT_EQ(tally.strangers, std::vector<std::string>{"shard-000099.census"});
    EXPECT_EQ(tally.leftovers, 1u);

    ASSERT_EQ(Run(), 0) << err_;
    for (uint64_t shard = 0; shard < 6; ++shard) {
        EXPECT_EQ(Bytes(shard), original[shard]) << shard;
    }
    fs::remove(dir_ / "shard-000099.census");
    tally = Tally();
    EXPECT_TRUE(tally.Sound());
    EXPECT_EQ(tally.deals, 46u);
}

TEST_F(CensusFolderTest, AFolderOfAnotherCensusIsRefusedUntouched) {
    ASSERT_EQ(Run(3), 0) << err_;
    const std::string before = Bytes(3);
    for (const auto change :
         {&CensusSettings::from, &CensusSettings::step, &CensusSettings::shardSize}) {
        CensusSettings other = settings_;
        other.*change += 1;
        const auto opened = CensusFolder::ForRun(dir_.string(), other);
        ASSERT_TRUE(std::holds_alternative<std::string>(opened));
        EXPECT_NE(std::get<std::string>(opened).find("holds another census"), std::string::npos);
    }
    settings_.count += 1;
    EXPECT_EQ(Run(), 2);
    EXPECT_NE(err_.find("holds another census"), std::string::npos);
    EXPECT_EQ(Bytes(3), before);
    EXPECT_EQ(fs::directory_iterator(dir_)->path().filename(), "census.txt");
    EXPECT_FALSE(fs::exists(dir_ / ShardFileName(0)));
}

TEST_F(CensusFolderTest, ARunWaitsForTheShardAnotherHolds) {
    platform::FileError error;
    fs::create_directories(dir_);
    auto held = platform::FileLock::Take((dir_ / LockFileName(0)).string(), false, error);
    ASSERT_TRUE(held) << error;
    int status = -1;
    std::thread run([&] { status = Run(); });
    while (!fs::exists(dir_ / ShardFileName(5))) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(fs::exists(dir_ / ShardFileName(0)));  // the other run's, for now
    held.reset();
    run.join();
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(Tally().Sound());
    EXPECT_TRUE(fs::exists(dir_ / LockFileName(0)));  // kept for a later run to take
}

TEST_F(CensusFolderTest, AFailedWriteLeavesNoShardAndNoTemporary) {
    fs::create_directories(dir_ / ShardFileName(2));  // a shard's name the rename cannot take
    EXPECT_EQ(Run(), 2);
    EXPECT_NE(err_.find("could not write"), std::string::npos);
    EXPECT_NE(err_.find(ShardFileName(2)), std::string::npos);
    fs::remove(dir_ / ShardFileName(2));
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
    }
    const CensusTally tally = Tally();
    EXPECT_EQ(tally.complete, 2u);  // shards 0 and 1, written before the failure
    EXPECT_EQ(tally.Redo(), (std::vector<uint64_t>{2, 3, 4, 5}));
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(Tally().Sound());
}

}  // namespace
}  // namespace census
