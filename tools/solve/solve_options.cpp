#include "solve/solve_options.h"

#include <charconv>
#include <limits>
#include <optional>

namespace solve {

const char* const kUsage =
    "usage: tavorin-solve (--time T | --from T [--count N]) [--threads K] [--json] [--quick]\n"
    "\n"
    "Proves the deal laid out when S is pressed at clock second T won or lost. A won deal\n"
    "comes with a shortest winning sequence of the keys C, D and T pressed after S, checked\n"
    "by playing it through the game before it is printed.\n"
    "\n"
    "  --time T     the deal of clock second T (0 to 4294967295)\n"
    "  --from T     the deals of seconds T, T+1, ..., with a summary at the end\n"
    "  --count N    how many deals from --from (default 1)\n"
    "  --threads K  solve on K threads (default: one per processor)\n"
    "  --json       one JSON object per line\n"
    "  --quick      any win, not the shortest, as fast as possible\n"
    "  --help       this text\n"
    "  --version    the version\n";

namespace {

std::optional<uint64_t> ParseNumber(const std::string& text, uint64_t most) {
    uint64_t value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || error != std::errc() || end != last || value > most) {
        return std::nullopt;
    }
    return value;
}

constexpr uint64_t kLastSecond = std::numeric_limits<uint32_t>::max();

}  // namespace

std::variant<SolveOptions, BadArgument> ParseSolveOptions(const std::vector<std::string>& args) {
    SolveOptions options;
    for (const std::string& arg : args) {
        options.help = options.help || arg == "--help" || arg == "-h";
        options.version = options.version || arg == "--version";
    }
    if (options.help || options.version) {
        return options;
    }
    bool time = false;
    bool count = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (arg == "--quick") {
            options.quick = true;
            continue;
        }
        if (arg != "--time" && arg != "--from" && arg != "--count" && arg != "--threads") {
            return BadArgument{"unknown argument '" + arg + "'"};
        }
        if (i + 1 >= args.size()) {
            return BadArgument{arg + " needs a value"};
        }
        const std::string& value = args[++i];
        const uint64_t most = arg == "--count"     ? kLastSecond + 1
                              : arg == "--threads" ? 1024
                                                   : kLastSecond;
        const auto number = ParseNumber(value, most);
        if (!number || ((arg == "--count" || arg == "--threads") && *number == 0)) {
            const char* range = arg == "--count"     ? "1 to 4294967296"
                                : arg == "--threads" ? "1 to 1024"
                                                     : "0 to 4294967295";
            return BadArgument{arg + " takes a whole number from " + range + ", not '" + value +
                               "'"};
        }
        if (arg == "--time" || arg == "--from") {
            if (time || options.range) {
                return BadArgument{arg + ": give one --time or one --from"};
            }
            options.from = static_cast<uint32_t>(*number);
            (arg == "--time" ? time : options.range) = true;
        } else if (arg == "--count") {
            options.count = *number;
            count = true;
        } else {
            options.threads = static_cast<unsigned>(*number);
        }
    }
    if (!time && !options.range) {
        return BadArgument{"give --time T, or --from T and --count N"};
    }
    if (count && !options.range) {
        return BadArgument{"--count goes with --from, not --time"};
    }
    if (options.from + options.count - 1 > kLastSecond) {
        return BadArgument{"--count " + std::to_string(options.count) + " from " +
                           std::to_string(options.from) + " runs past second 4294967295"};
    }
    return options;
}

}  // namespace solve
