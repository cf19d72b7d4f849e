#pragma once

#include <string>

#include "census/census_tally.h"

namespace census {

// What the census holds, for a reader: coverage, the won share with its interval, the
// shortest wins' lengths and histogram, C alone, the longest wins, and every shard that was
// not counted, by file name.
std::string ReportText(const CensusTally& tally);

// The same as one JSON object.
std::string ReportJson(const CensusTally& tally);

// One deal a line, as tavorin-solve prints its results: "T: won in L keys after S".
std::string ListLine(uint32_t second, uint8_t byte, bool json);

}  // namespace census
