#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "census/census_settings.h"

namespace census {

struct RunRequest {
    CensusSettings census;
    std::string dir;
    unsigned threads = 1;
    std::optional<uint64_t> shard;  // this shard alone
    bool progress = false;          // a progress line on `err`
};

// Decides every shard of the request that the folder does not hold whole and valid, and
// writes each as it is done. The exit status: 0 when every shard asked for is complete,
// 1 when a win found could not be played through the game, 2 when the folder cannot hold
// the census or a shard cannot be written (a full disk among them).
int RunCensus(const RunRequest& request, std::ostream& err);

}  // namespace census
