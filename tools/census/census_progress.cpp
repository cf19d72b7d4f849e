#include "census/census_progress.h"

#include <ostream>
#include <string>

namespace census {

namespace {

std::string Duration(double seconds) {
    const auto whole = static_cast<uint64_t>(seconds + 0.5);
    if (whole < 120) {
        return std::to_string(whole) + " s";
    }
    if (whole < 2 * 3600) {
        return std::to_string(whole / 60) + " min";
    }
    return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
}

}  // namespace

CensusProgress::CensusProgress(std::ostream& err, bool shown, uint64_t shards, uint64_t deals)
    : err_(err), shown_(shown), shards_(shards), deals_(deals) {}

void CensusProgress::Show(uint64_t shardsDone, uint64_t dealsDone) {
    if (!shown_) {
        return;
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const double rate = elapsed > 0 ? static_cast<double>(dealsDone) / elapsed : 0;
    err_ << "\r\033[K" << shardsDone << " of " << shards_ << " shards done, "
         << static_cast<uint64_t>(rate) << " deals a second";
    if (rate > 0 && dealsDone < deals_) {
        err_ << ", about " << Duration(static_cast<double>(deals_ - dealsDone) / rate) << " left";
    }
    err_ << std::flush;
    onScreen_ = true;
}

void CensusProgress::Clear() {
    if (onScreen_) {
        err_ << "\r\033[K" << std::flush;
        onScreen_ = false;
    }
}

}  // namespace census
