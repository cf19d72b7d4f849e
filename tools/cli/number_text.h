#pragma once

// Numbers as the tools print them for people, the same in every tool.

#include <cstdint>
#include <string>

namespace cli {

// 1234567 as "1,234,567".
std::string Grouped(uint64_t value);

// A fixed number of decimals: Fixed(2.345, 1) is "2.3".
std::string Fixed(double value, int decimals);

}  // namespace cli
