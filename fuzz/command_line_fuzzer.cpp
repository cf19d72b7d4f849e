// The tools' command lines from fuzzed bytes (arguments split at NUL bytes): every answer is
// either options the tool can run with or a refusal naming what was wrong, never a crash.

#include <string>
#include <variant>
#include <vector>

#include "census/census_options.h"
#include "fuzz_check.h"
#include "replay/replay_options.h"
#include "solve/solve_options.h"

namespace {

template <typename Options>
const Options* Accepted(const cli::Parsed<Options>& parsed) {
    if (const auto* bad = std::get_if<cli::BadArgument>(&parsed)) {
        Require(!bad->message.empty(), "a refusal says what was wrong");
        return nullptr;
    }
    return &std::get<Options>(parsed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back().push_back(static_cast<char>(data[i]));
        }
    }
    const auto solveParsed = solve::ParseSolveOptions(args);
    if (const auto* solve = Accepted(solveParsed)) {
        Require(solve->help || solve->version ||
                    uint64_t{solve->from} + solve->count - 1 <= 0xFFFFFFFFull,
                "a solve range inside the clock");
    }
    Accepted(replay::ParseReplayOptions(args));
    const auto censusParsed = census::ParseCensusOptions(args);
    if (const auto* census = Accepted(censusParsed)) {
        const bool run = census->command == census::Command::Run;
        Require(census->help || census->version || !census->dir.empty(), "a census's folder");
        Require(census->help || census->version || !run || census::Problem(census->census).empty(),
                "a census that can be run");
        Require(!census->shard || *census->shard < census->census.Shards(), "a shard in range");
    }
    return 0;
}
