#pragma once

// What every command-line tool does before its own work, the same way in each: standard
// streams in binary, the arguments parsed, a bad one named on standard error with status 2,
// --help and --version answered on standard output with status 0.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "version/version.h"

namespace cli {

// What was wrong, naming the argument.
struct BadArgument {
    std::string message;
};

template <typename Options>
using Parsed = std::variant<Options, BadArgument>;

// A whole number from 0 to `most`, digits only; nothing for anything else.
std::optional<uint64_t> ParseWholeNumber(const std::string& text, uint64_t most);

// Binary standard streams, so that the output is the same on every system.
void PrepareStreams();
// Names the bad argument and how to get help; the status to exit with.
int RefuseArgument(std::string_view tool, const BadArgument& bad);
// Writes `text` to standard output; 0, or 1 when it could not be written.
int Answer(std::string_view text);

// The options to run with, or the status to exit with at once. Options has `help` and
// `version` flags; `parse` takes the arguments after the program's name.
template <typename Options, typename ParseFn>
std::variant<Options, int> StartTool(std::string_view tool, std::string_view usage, int argc,
                                     char** argv, ParseFn&& parse) {
    PrepareStreams();
    Parsed<Options> parsed = parse(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* bad = std::get_if<BadArgument>(&parsed)) {
        return RefuseArgument(tool, *bad);
    }
    Options& options = std::get<Options>(parsed);
    if (options.help) {
        return Answer(usage);
    }
    if (options.version) {
        return Answer(version::VersionText(tool) + "\n");
    }
    return std::move(options);
}

}  // namespace cli
