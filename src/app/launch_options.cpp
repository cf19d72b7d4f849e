#include "app/launch_options.h"

#include <limits>

namespace app {

namespace {

constexpr const char* kUsage =
    "\n\nusage: tavorin [--time T]\n"
    "T: the clock second, 0 to 4294967295, whose deal is laid out first";

// A whole number from 0 to 4294967295, digits only.
std::optional<uint32_t> ParseSecond(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > std::numeric_limits<uint32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<uint32_t>(value);
}

Launch Refuse(std::string message) {
    return LaunchRefused{std::move(message) + kUsage};
}

// The value of a query parameter: %XX and '+' decoded; bytes that are not text are kept.
std::string Decoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto hex = [](char c) {
            return c >= '0' && c <= '9'   ? c - '0'
                   : c >= 'a' && c <= 'f' ? c - 'a' + 10
                   : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                          : -1;
        };
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 &&
            hex(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i] == '+' ? ' ' : text[i]);
        }
    }
    return out;
}

// A value quoted in a message: as typed, cut short when long, control bytes as '?'.
std::string Quoted(std::string_view value) {
    std::string out = "'";
    for (const char c : value.substr(0, 40)) {
        out.push_back(static_cast<unsigned char>(c) < 0x20 ? '?' : c);
    }
    return out + (value.size() > 40 ? "...'" : "'");
}

}  // namespace

Launch ParseArguments(const std::vector<std::string>& args) {
    LaunchOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--time") {
            return Refuse("unknown argument " + Quoted(args[i]));
        }
        if (i + 1 >= args.size()) {
            return Refuse("--time needs a value");
        }
        const std::string& value = args[++i];
        options.firstDealSecond = ParseSecond(value);
        if (!options.firstDealSecond) {
            return Refuse("--time takes a whole number from 0 to 4294967295, not " + Quoted(value));
        }
    }
    return options;
}

Launch ParseQuery(std::string_view query) {
    if (query.starts_with('?')) {
        query.remove_prefix(1);
    }
    LaunchOptions options;
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view pair = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view{} : query.substr(end + 1);
        const std::size_t equals = pair.find('=');
        if (Decoded(pair.substr(0, equals)) != "time") {
            continue;
        }
        const std::string value =
            equals == std::string_view::npos ? std::string{} : Decoded(pair.substr(equals + 1));
        if (value.empty()) {
            return LaunchRefused{
                "time= needs a value: the clock second, 0 to 4294967295, whose "
                "deal is laid out first"};
        }
        options.firstDealSecond = ParseSecond(value);
        if (!options.firstDealSecond) {
            return LaunchRefused{"time= takes a whole number from 0 to 4294967295, not " +
                                 Quoted(value)};
        }
    }
    return options;
}

}  // namespace app
