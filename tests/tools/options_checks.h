#pragma once

// What the tools' option tests share: a parse that must succeed, and refusals that must
// name what was wrong.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

#include "cli/tool_start.h"

namespace options_checks {

template <typename Options>
Options Accepted(const cli::Parsed<Options>& parsed) {
    if (const auto* bad = std::get_if<cli::BadArgument>(&parsed)) {
        ADD_FAILURE() << bad->message;
        return {};
    }
    return std::get<Options>(parsed);
}

struct Refusal {
    std::vector<std::string> args;
    std::string named;  // a part of the message
};

template <typename ParseFn>
void ExpectRefusalsNamed(ParseFn&& parse, std::initializer_list<Refusal> refusals) {
    for (const Refusal& refusal : refusals) {
        const auto parsed = parse(refusal.args);
        const auto* bad = std::get_if<cli::BadArgument>(&parsed);
        const std::string message = bad ? bad->message : "accepted";
        EXPECT_NE(message.find(refusal.named), std::string::npos)
            << message << " should name " << refusal.named;
    }
}

}  // namespace options_checks
