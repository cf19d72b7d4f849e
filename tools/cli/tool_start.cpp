#include "cli/tool_start.h"

#include <charconv>
#include <iostream>

#include "platform/console/standard_streams.h"

namespace cli {

std::optional<uint64_t> ParseWholeNumber(const std::string& text, uint64_t most) {
    uint64_t value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || error != std::errc() || end != last || value > most) {
        return std::nullopt;
    }
    return value;
}

void PrepareStreams() {
    platform::UseBinaryStandardStreams();
}

int RefuseArgument(std::string_view tool, const BadArgument& bad) {
    std::cerr << tool << ": " << bad.message << "\n"
              << "Try '" << tool << " --help' for more.\n";
    return 2;
}

int Answer(std::string_view text) {
    std::cout << text;
    return std::cout.flush() ? 0 : 1;
}

}  // namespace cli
