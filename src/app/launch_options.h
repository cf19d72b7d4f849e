#pragma once

// What the game is started with, read the same way for every backend: the arguments of a
// command line (Linux, Windows) or the query string of the page (the web).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace app {

struct LaunchOptions {
    // The clock second that seeds the first deal laid out; later deals take the real clock.
    std::optional<uint32_t> firstDealSecond;
};

// Why the game will not start, naming the argument, for the game's own message box.
struct LaunchRefused {
    std::string message;
};

using Launch = std::variant<LaunchOptions, LaunchRefused>;

// The exit status of a game that refused its arguments, as the tools' is.
inline constexpr int kRefusedStatus = 2;

// The arguments after the program's name: `--time T`, nothing else.
Launch ParseArguments(const std::vector<std::string>& args);

// A page's query string, with or without its '?': `time=T`. Other names are passed over, since
// a shared link gathers parameters of its own on the way.
Launch ParseQuery(std::string_view query);

}  // namespace app
