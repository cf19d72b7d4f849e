#include "solve/solve_options.h"

#include <limits>
#include <optional>

namespace solve {

const char* const kUsage =
    "usage: tavorin-solve (--time T | --from T [--count N] [--step S]) [--threads K] [--json]\n"
    "       [--quick]\n"
    "\n"
    "Proves the deal laid out when S is pressed at clock second T won or lost. A won deal\n"
    "comes with a shortest winning sequence of the keys C, D and T pressed after S, checked\n"
    "by playing it through the game before it is printed.\n"
    "\n"
    "  --time T     the deal of clock second T (0 to 4294967295)\n"
    "  --from T     the deals of seconds T, T+1, ..., with a summary at the end\n"
    "  --count N    how many deals from --from (default 1)\n"
    "  --step S     seconds from one deal of the range to the next (default 1)\n"
    "  --threads K  solve on K threads (default: one per processor)\n"
    "  --json       one JSON object per line\n"
    "  --quick      any win, not the shortest, as fast as possible\n"
    "  --help       this text\n"
    "  --version    the version\n";

namespace {

constexpr uint64_t kLastSecond = std::numeric_limits<uint32_t>::max();

// The number an option takes, within its range.
std::optional<cli::BadArgument> ReadNumber(const std::string& arg, const std::string& value,
                                           uint64_t& number) {
    const bool positive = arg == "--count" || arg == "--threads" || arg == "--step";
    const uint64_t most = arg == "--count"     ? kLastSecond + 1
                          : arg == "--threads" ? 1024
                                               : kLastSecond;
    const auto parsed = cli::ParseWholeNumber(value, most);
    if (!parsed || (positive && *parsed == 0)) {
        const char* range = arg == "--count"     ? "1 to 4294967296"
                            : arg == "--threads" ? "1 to 1024"
                            : arg == "--step"    ? "1 to 4294967295"
                                                 : "0 to 4294967295";
        return cli::BadArgument{arg + " takes a whole number from " + range + ", not '" + value +
                                "'"};
    }
    number = *parsed;
    return std::nullopt;
}

// --time, --from, --count, --step or --threads with its value; `count` notes --count or
// --step, which go with --from.
std::optional<cli::BadArgument> ReadValueOption(const std::string& arg, const std::string& value,
                                                SolveOptions& options, bool& time, bool& count) {
    uint64_t number = 0;
    if (auto bad = ReadNumber(arg, value, number)) {
        return bad;
    }
    if (arg == "--time" || arg == "--from") {
        if (time || options.range) {
            return cli::BadArgument{arg + ": give one --time or one --from"};
        }
        options.from = static_cast<uint32_t>(number);
        (arg == "--time" ? time : options.range) = true;
    } else if (arg == "--count") {
        options.count = number;
        count = true;
    } else if (arg == "--step") {
        options.step = static_cast<uint32_t>(number);
        count = true;
    } else {
        options.threads = static_cast<unsigned>(number);
    }
    return std::nullopt;
}

// What the options say together, once each has been read.
std::optional<cli::BadArgument> CheckTogether(const SolveOptions& options, bool time, bool count) {
    if (!time && !options.range) {
        return cli::BadArgument{"give --time T, or --from T and --count N"};
    }
    if (count && !options.range) {
        return cli::BadArgument{"--count and --step go with --from, not --time"};
    }
    if (options.from + (options.count - 1) * options.step > kLastSecond) {
        std::string message = "--count " + std::to_string(options.count);
        if (options.step != 1) {
            message += " --step " + std::to_string(options.step);
        }
        message += " from " + std::to_string(options.from) + " runs past second 4294967295";
        return cli::BadArgument{message};
    }
    return std::nullopt;
}

}  // namespace

cli::Parsed<SolveOptions> ParseSolveOptions(const std::vector<std::string>& args) {
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
        if (arg == "--json" || arg == "--quick") {
            (arg == "--json" ? options.json : options.quick) = true;
            continue;
        }
        if (arg != "--time" && arg != "--from" && arg != "--count" && arg != "--step" &&
            arg != "--threads") {
            return cli::BadArgument{"unknown argument '" + arg + "'"};
        }
        if (i + 1 >= args.size()) {
            return cli::BadArgument{arg + " needs a value"};
        }
        if (auto bad = ReadValueOption(arg, args[++i], options, time, count)) {
            return *bad;
        }
    }
    if (auto bad = CheckTogether(options, time, count)) {
        return *bad;
    }
    return options;
}

}  // namespace solve
