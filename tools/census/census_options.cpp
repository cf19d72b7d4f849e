#include "census/census_options.h"

#include <map>
#include <set>

namespace census {

const char* const kUsage =
    "usage: tavorin-census run --from T --count N --dir DIR [--step K] [--shard-size S]\n"
    "                          [--threads J] [--shard I]\n"
    "       tavorin-census report DIR [--json] [--svg FILE]\n"
    "       tavorin-census list DIR [--from T] [--count N] [--json]\n"
    "\n"
    "Decides every deal of a range, each won with its proven-shortest win or lost, in shards\n"
    "of deals kept in DIR, one file each, written whole or not at all. Running the same\n"
    "command again redoes only the shards that are missing or damaged.\n"
    "\n"
    "run:\n"
    "  --from T        the first deal's clock second (0 to 4294967295)\n"
    "  --count N       how many deals (1 to 4294967296)\n"
    "  --step K        seconds from one deal to the next (default 1)\n"
    "  --dir DIR       the census's folder, made when missing\n"
    "  --shard-size S  deals a shard (default 10000)\n"
    "  --threads J     decide on J threads (default: one per processor)\n"
    "  --shard I       decide shard I alone (from 0), as one task of a job array does\n"
    "report:           checks every shard and prints what the census holds\n"
    "  --json          as one JSON object\n"
    "  --svg FILE      also draws it into FILE\n"
    "list:             one deal a line\n"
    "  --from T        from the census's first deal at second T or later\n"
    "  --count N       that many deals (default: to the end)\n"
    "  --json          one JSON object a line\n"
    "  --help          this text\n"
    "  --version       the version\n"
    "\n"
    "Exit status: 0 done (report: every shard present and sound), 1 a shard missing or\n"
    "damaged (report, list) or a win that did not replay (run), 2 bad arguments, a folder\n"
    "that cannot hold the census, or a shard that could not be written.\n";

namespace {

struct NumberRange {
    uint64_t least;
    uint64_t most;
    const char* words;
};

// The options that take a number, with the range each takes.
const std::map<std::string, NumberRange>& NumberOptions() {
    static const std::map<std::string, NumberRange> options = {
        {"--from", {0, kLastSecond, "0 to 4294967295"}},
        {"--count", {1, kLastSecond + 1, "1 to 4294967296"}},
        {"--step", {1, kLastSecond, "1 to 4294967295"}},
        {"--shard-size", {1, kLastSecond, "1 to 4294967295"}},
        {"--threads", {1, 1024, "1 to 1024"}},
        {"--shard", {0, kLastSecond, "0 to 4294967295"}},
    };
    return options;
}

// Which options each command takes.
bool Takes(Command command, const std::string& option) {
    switch (command) {
        case Command::Run:
            return option != "--json" && option != "--svg";
        case Command::Report:
            return option == "--json" || option == "--svg";
        case Command::List:
            return option == "--json" || option == "--from" || option == "--count";
    }
    return false;
}

const char* NameOf(Command command) {
    return command == Command::Run ? "run" : command == Command::Report ? "report" : "list";
}

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    cli::Parsed<CensusOptions> Parse() {
        if (args_.empty()) {
            return cli::BadArgument{"give a command: run, report or list"};
        }
        const std::string& command = args_[0];
        if (command == "run" || command == "report" || command == "list") {
            options_.command = command == "run"      ? Command::Run
                               : command == "report" ? Command::Report
                                                     : Command::List;
        } else {
            return cli::BadArgument{"unknown command '" + command + "' (run, report or list)"};
        }
        for (std::size_t i = 1; i < args_.size(); ++i) {
            if (auto bad = Take(i)) {
                return *bad;
            }
        }
        if (auto bad = CheckTogether()) {
            return *bad;
        }
        return options_;
    }

  private:
    std::optional<cli::BadArgument> Take(std::size_t& i) {
        const std::string& arg = args_[i];
        if (arg.rfind("--", 0) != 0) {
            if (options_.command == Command::Run || !options_.dir.empty()) {
                return cli::BadArgument{"unknown argument '" + arg + "'"};
            }
            options_.dir = arg;
            return std::nullopt;
        }
        const bool numeric = NumberOptions().count(arg) != 0;
        if (!numeric && arg != "--dir" && arg != "--svg" && arg != "--json") {
            return cli::BadArgument{"unknown argument '" + arg + "'"};
        }
        if (!Takes(options_.command, arg)) {
            return cli::BadArgument{arg + " does not go with " + NameOf(options_.command)};
        }
        if (!seen_.insert(arg).second) {
            return cli::BadArgument{arg + " is given twice"};
        }
        if (arg == "--json") {
            options_.json = true;
            return std::nullopt;
        }
        if (i + 1 >= args_.size()) {
            return cli::BadArgument{arg + " needs a value"};
        }
        const std::string& value = args_[++i];
        if (!numeric) {
            if (value.empty()) {
                return cli::BadArgument{arg + " needs a file name, not ''"};
            }
            (arg == "--dir" ? options_.dir : options_.svg) = value;
            return std::nullopt;
        }
        const NumberRange& range = NumberOptions().at(arg);
        const auto number = cli::ParseWholeNumber(value, range.most);
        if (!number || *number < range.least) {
            return cli::BadArgument{arg + " takes a whole number from " + range.words + ", not '" +
                                    value + "'"};
        }
        Store(arg, *number);
        return std::nullopt;
    }

    void Store(const std::string& arg, uint64_t number) {
        CensusSettings& s = options_.census;
        if (options_.command == Command::List) {
            (arg == "--from" ? options_.listFrom : options_.listCount) = number;
        } else if (arg == "--from") {
            s.from = static_cast<uint32_t>(number);
        } else if (arg == "--count") {
            s.count = number;
        } else if (arg == "--step") {
            s.step = static_cast<uint32_t>(number);
        } else if (arg == "--shard-size") {
            s.shardSize = static_cast<uint32_t>(number);
        } else if (arg == "--threads") {
            options_.threads = static_cast<unsigned>(number);
        } else {
            options_.shard = number;
        }
    }

    std::optional<cli::BadArgument> CheckTogether() const {
        if (options_.command != Command::Run) {
            if (options_.dir.empty()) {
                return cli::BadArgument{std::string(NameOf(options_.command)) +
                                        " needs the census's folder"};
            }
            return std::nullopt;
        }
        for (const char* needed : {"--from", "--count", "--dir"}) {
            if (seen_.count(needed) == 0) {
                return cli::BadArgument{std::string("run needs ") + needed};
            }
        }
        if (const std::string problem = Problem(options_.census); !problem.empty()) {
            return cli::BadArgument{problem};
        }
        if (options_.shard && *options_.shard >= options_.census.Shards()) {
            return cli::BadArgument{"--shard " + std::to_string(*options_.shard) +
                                    " is past the last shard of this census, " +
                                    std::to_string(options_.census.Shards() - 1)};
        }
        return std::nullopt;
    }

    const std::vector<std::string>& args_;
    CensusOptions options_;
    std::set<std::string> seen_;
};

}  // namespace

cli::Parsed<CensusOptions> ParseCensusOptions(const std::vector<std::string>& args) {
    CensusOptions options;
    for (const std::string& arg : args) {
        options.help = options.help || arg == "--help" || arg == "-h";
        options.version = options.version || arg == "--version";
    }
    if (options.help || options.version) {
        return options;
    }
    return Parser(args).Parse();
}

}  // namespace census
