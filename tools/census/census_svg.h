#pragma once

#include <string>

#include "census/census_tally.h"

namespace census {

// The census as a picture: the histogram of shortest-win lengths above, the won share along
// the range below (each stretch with its 95 % interval), as a standalone SVG document.
std::string CensusSvg(const CensusTally& tally);

}  // namespace census
