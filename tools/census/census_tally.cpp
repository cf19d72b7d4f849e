#include "census/census_tally.h"

#include <algorithm>
#include <cmath>

#include "platform/console/whole_files.h"

namespace census {

namespace {

void CountShard(CensusTally& tally, const Shard& shard) {
    const CensusSettings& s = tally.settings;
    const uint64_t first = s.FirstDealOf(shard.header.index);
    for (std::size_t i = 0; i < shard.deals.size(); ++i) {
        const DealByte deal{shard.deals[i]};
        ++tally.deals;
        tally.checksAloneWin += deal.ChecksAloneWin() ? 1 : 0;
        Stretch& stretch = tally.along[(first + i) * tally.along.size() / s.count];
        switch (deal.Outcome()) {
            case DealOutcome::Lost:
                ++tally.lost;
                ++stretch.decided;
                continue;
            case DealOutcome::Undecided:
                ++tally.undecided;
                continue;
            case DealOutcome::Won:
                break;
        }
        ++tally.won;
        ++stretch.won;
        ++stretch.decided;
        const unsigned length = deal.Length() != 0 ? deal.Length() : outcome::kWonLonger;
        ++tally.lengths[length];
        const LongWin win{s.SecondOf(first + i), length};
        const auto later = [](const LongWin& a, const LongWin& b) {
            return a.length != b.length ? a.length > b.length : a.second < b.second;
        };
        if (tally.longest.size() < kLongestKept || later(win, tally.longest.back())) {
            tally.longest.insert(
                std::upper_bound(tally.longest.begin(), tally.longest.end(), win, later), win);
            if (tally.longest.size() > kLongestKept) {
                tally.longest.pop_back();
            }
        }
    }
}

// Files that look like shards but are no place of this census, and stopped runs' leftovers.
void LookAtOtherFiles(CensusTally& tally, const CensusFolder& folder) {
    const auto names = platform::ListFolder(folder.PathOf(""));
    for (const std::string& name : names.value_or(std::vector<std::string>{})) {
        if (name.find(".tmp-") != std::string::npos) {
            ++tally.leftovers;
            continue;
        }
        const bool shardLike = name.rfind("shard-", 0) == 0 && name.size() > 7 &&
                               name.compare(name.size() - 7, 7, ".census") == 0;
        const auto index = ShardIndexOf(name);
        if (shardLike && (!index || *index >= tally.settings.Shards())) {
            tally.strangers.push_back(name);
        }
    }
}

}  // namespace

std::vector<uint64_t> CensusTally::Redo() const {
    std::vector<uint64_t> redo;
    for (const ShardProblem& problem : problems) {
        redo.push_back(problem.index);
    }
    return redo;
}

CensusTally TallyCensus(const CensusFolder& folder, uint32_t solverVersion) {
    CensusTally tally;
    tally.settings = folder.settings();
    tally.along.resize(std::min<uint64_t>(kStretches, tally.settings.count));
    for (std::size_t i = 0; i < tally.along.size(); ++i) {
        tally.along[i].firstSecond = tally.settings.SecondOf(
            (i * tally.settings.count + tally.along.size() - 1) / tally.along.size());
    }
    for (uint64_t index = 0; index < tally.settings.Shards(); ++index) {
        ShardCheck check = folder.Check(index, solverVersion);
        if (check.shard) {
            ++tally.complete;
            CountShard(tally, *check.shard);
        } else {
            tally.problems.push_back({index, ShardFileName(index), check.fault});
        }
    }
    LookAtOtherFiles(tally, folder);
    return tally;
}

Interval WilsonInterval(uint64_t won, uint64_t n) {
    if (n == 0) {
        return {0, 1};
    }
    constexpr double z = 1.959963984540054;
    const double p = static_cast<double>(won) / static_cast<double>(n);
    const double total = static_cast<double>(n);
    const double centre = p + z * z / (2 * total);
    const double spread = z * std::sqrt(p * (1 - p) / total + z * z / (4 * total * total));
    const double scale = 1 + z * z / total;
    return {std::max(0.0, (centre - spread) / scale), std::min(1.0, (centre + spread) / scale)};
}

unsigned NthLength(const CensusTally& tally, uint64_t k) {
    for (unsigned length = 1; length < tally.lengths.size(); ++length) {
        if (k < tally.lengths[length]) {
            return length;
        }
        k -= tally.lengths[length];
    }
    return 0;
}

LengthFigures WinLengths(const CensusTally& tally) {
    const uint64_t n = tally.won;
    if (n == 0) {
        return {};
    }
    return {NthLength(tally, 0), NthLength(tally, (n - 1) / 2),
            NthLength(tally, (9 * n + 9) / 10 - 1), NthLength(tally, (99 * n + 99) / 100 - 1),
            NthLength(tally, n - 1)};
}

}  // namespace census
