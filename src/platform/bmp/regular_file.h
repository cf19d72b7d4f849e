#pragma once

// Reads a whole regular file of at most `maxBytes`; nothing for a missing file, an empty or
// larger one, a directory, a device or a named pipe (which would wait for a writer).

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::bmp {

std::optional<std::vector<uint8_t>> ReadRegularFile(const char* file, uintmax_t maxBytes);

}  // namespace platform::bmp
