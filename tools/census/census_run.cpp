#include "census/census_run.h"

#include <atomic>
#include <chrono>
#include <ostream>
#include <vector>

#include "census/census_folder.h"
#include "census/census_progress.h"
#include "census/deal_decider.h"
#include "platform/console/whole_files.h"
#include "solver/search.h"

namespace census {

namespace {

enum class ShardRun { Done, Taken, Failed };

// One census run over its shards, each under its lock so that no two runs decide one shard.
class Run {
  public:
    Run(const RunRequest& request, const CensusFolder& folder, std::ostream& err,
        std::vector<uint64_t> shards, uint64_t deals)
        : request_(request),
          folder_(folder),
          err_(err),
          decider_(request.threads),
          progress_(err, request.progress, shards.size(), deals),
          shards_(std::move(shards)) {}

    int Go() {
        std::vector<uint64_t> taken;  // by another run: waited for once the rest is done
        for (const uint64_t index : shards_) {
            const ShardRun run = Shard(index, request_.shard.has_value());
            if (run == ShardRun::Failed) {
                return 2;
            }
            if (run == ShardRun::Taken) {
                taken.push_back(index);
            }
        }
        for (const uint64_t index : taken) {
            if (Shard(index, true) == ShardRun::Failed) {
                return 2;
            }
        }
        progress_.Clear();
        return unverified_ ? 1 : 0;
    }

    uint64_t decidedShards() const { return decidedShards_; }

  private:
    ShardRun Shard(uint64_t index, bool wait) {
        platform::FileError error;
        const auto lock =
            platform::FileLock::Take(folder_.PathOf(LockFileName(index)), wait, error);
        if (!lock) {
            return error.empty() ? ShardRun::Taken : Fail(LockFileName(index), error);
        }
        if (!folder_.Check(index, solver::kSolverVersion).shard) {
            std::vector<uint8_t> deals(folder_.settings().DealsIn(index));
            const bool verified =
                decider_.Decide(folder_.settings(), folder_.settings().FirstDealOf(index), deals,
                                decided_, [&] { progress_.Show(done_, decided_); });
            if (!verified) {
                unverified_ = true;
                progress_.Clear();
                err_ << "tavorin-census: a win found in " << ShardFileName(index)
                     << " does not clear the board in the game; its deal is left undecided\n";
            }
            if (error = folder_.Write(index, solver::kSolverVersion, deals); !error.empty()) {
                return Fail(ShardFileName(index), error);
            }
            ++decidedShards_;
        }
        ++done_;
        progress_.Show(done_, decided_);
        return ShardRun::Done;
    }

    ShardRun Fail(const std::string& name, const std::string& error) {
        progress_.Clear();
        err_ << "tavorin-census: could not write " << folder_.PathOf(name) << ": " << error << "\n";
        return ShardRun::Failed;
    }

    const RunRequest& request_;
    const CensusFolder& folder_;
    std::ostream& err_;
    DealDecider decider_;
    CensusProgress progress_;
    std::vector<uint64_t> shards_;
    std::atomic<uint64_t> decided_{0};
    uint64_t done_ = 0;
    uint64_t decidedShards_ = 0;
    bool unverified_ = false;
};

}  // namespace

int RunCensus(const RunRequest& request, std::ostream& err) {
    auto opened = CensusFolder::ForRun(request.dir, request.census);
    if (const auto* problem = std::get_if<std::string>(&opened)) {
        err << "tavorin-census: " << *problem << "\n";
        return 2;
    }
    const CensusFolder& folder = std::get<CensusFolder>(opened);
    std::vector<uint64_t> shards;
    uint64_t deals = 0;
    const uint64_t first = request.shard.value_or(0);
    const uint64_t last = request.shard ? first + 1 : request.census.Shards();
    for (uint64_t index = first; index < last; ++index) {
        if (!folder.Check(index, solver::kSolverVersion).shard) {
            shards.push_back(index);
            deals += request.census.DealsIn(index);
        }
    }
    Run run(request, folder, err, std::move(shards), deals);
    return run.Go();
}

}  // namespace census
