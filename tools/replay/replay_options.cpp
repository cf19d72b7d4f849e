#include "replay/replay_options.h"

#include <limits>

namespace replay {

const char* const kUsage =
    "usage: tavorin-replay [--time T] [--text] [--dump-mesh PREFIX] KEY...\n"
    "\n"
    "Plays the game from a list of keys, without a window, through the same key handling and\n"
    "frame dispatch, and prints the position before the first key and after each key as one\n"
    "JSON object per line. A key that closes the window ends the replay; keys after it are\n"
    "reported on standard error and not played.\n"
    "\n"
    "  --time T            the clock, in seconds since 1970 (0 to 4294967295), for every\n"
    "                      shuffle; the real clock without it\n"
    "  --text              positions for people to read\n"
    "  --dump-mesh PREFIX  after the last key, write the mesh to PREFIX.vertices and\n"
    "                      PREFIX.indices as an upload hands it to the device\n"
    "  --help              this text\n"
    "  --version           the version\n"
    "\n"
    "KEY: Esc Q S F2 N C D T, 0xNN for any virtual-key code, or Alt+KEY; in any letter case.\n";

cli::Parsed<ReplayOptions> ParseReplayOptions(const std::vector<std::string>& args) {
    ReplayOptions options;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            options.help = true;  // whatever else is wrong
            return options;
        }
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--text") {
            options.text = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--time" || arg == "--dump-mesh") {
            if (i + 1 >= args.size()) {
                return cli::BadArgument{arg + " needs a value"};
            }
            const std::string& value = args[++i];
            if (arg == "--dump-mesh") {
                if (value.empty()) {
                    return cli::BadArgument{"--dump-mesh needs a file name prefix"};
                }
                options.meshPrefix = value;
            } else if (const auto seconds =
                           cli::ParseWholeNumber(value, std::numeric_limits<uint32_t>::max())) {
                options.time = static_cast<int64_t>(*seconds);
            } else {
                return cli::BadArgument{"--time takes a whole number from 0 to 4294967295, not '" +
                                        value + "'"};
            }
        } else if (const auto key = headless::ParseKey(arg)) {
            options.keyNames.push_back(arg);
            options.keys.push_back(*key);
        } else if (arg.starts_with("--")) {
            return cli::BadArgument{"unknown argument '" + arg + "'"};
        } else {
            return cli::BadArgument{"unknown key '" + arg +
                                    "' (keys: Esc Q S F2 N C D T, 0xNN, Alt+KEY)"};
        }
    }
    return options;
}

}  // namespace replay
