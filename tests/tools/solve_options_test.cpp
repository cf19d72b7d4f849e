#include <gtest/gtest.h>

#include "options_checks.h"
#include "solve/solve_options.h"

namespace {

using solve::ParseSolveOptions;
using solve::SolveOptions;

SolveOptions Parsed(const std::vector<std::string>& args) {
    return options_checks::Accepted(ParseSolveOptions(args));
}

TEST(SolveOptions, OneDealOrARange) {
    const SolveOptions one = Parsed({"--time", "4294967295", "--json"});
    EXPECT_EQ(one.from, 4294967295u);
    EXPECT_EQ(one.count, 1u);
    EXPECT_FALSE(one.range);
    EXPECT_TRUE(one.json);
    EXPECT_EQ(one.threads, 0u);

    const SolveOptions range =
        Parsed({"--quick", "--from", "1700000000", "--threads", "3", "--count", "1000"});
    EXPECT_EQ(range.from, 1'700'000'000u);
    EXPECT_EQ(range.count, 1000u);
    EXPECT_TRUE(range.range);
    EXPECT_TRUE(range.quick);
    EXPECT_EQ(range.threads, 3u);

    EXPECT_EQ(Parsed({"--from", "0"}).count, 1u);
    EXPECT_EQ(Parsed({"--from", "0"}).step, 1u);
    EXPECT_EQ(Parsed({"--from", "0", "--step", "2147", "--count", "3000"}).step, 2147u);
    EXPECT_EQ(Parsed({"--from", "1", "--step", "2", "--count", "2147483648"}).step, 2u);
    EXPECT_EQ(Parsed({"--from", "0", "--count", "4294967296"}).count, 4'294'967'296u);
    EXPECT_TRUE(Parsed({"--time", "x", "--help"}).help);  // help whatever else is wrong
    EXPECT_TRUE(Parsed({"-h"}).help);
    EXPECT_TRUE(Parsed({"--version"}).version);
}

// Each refusal names what was wrong.
TEST(SolveOptions, BadArgumentsAreNamed) {
    options_checks::ExpectRefusalsNamed(
        ParseSolveOptions,
        {
            {{}, "--time"},
            {{"--time"}, "--time needs a value"},
            {{"--time", "-1"}, "--time takes a whole number from 0 to 4294967295, not '-1'"},
            {{"--time", "4294967296"}, "not '4294967296'"},
            {{"--time", "12x"}, "not '12x'"},
            {{"--time", ""}, "not ''"},
            {{"--from", "1", "--count", "0"}, "--count takes a whole number from 1"},
            {{"--from", "4294967295", "--count", "2"}, "runs past second 4294967295"},
            {{"--time", "5", "--count", "2"}, "--count and --step go with --from"},
            {{"--time", "5", "--step", "2"}, "--count and --step go with --from"},
            {{"--from", "0", "--step", "0"}, "--step takes a whole number from 1 to 4294967295"},
            {{"--from", "2", "--step", "2", "--count", "2147483648"},
             "--count 2147483648 --step 2 from 2 runs past second 4294967295"},
            {{"--time", "5", "--from", "6"}, "--from: give one --time or one --from"},
            {{"--time", "5", "--threads", "0"}, "--threads takes a whole number from 1 to 1024"},
            {{"--time", "5", "--verbose"}, "unknown argument '--verbose'"},
            {{"1700000000"}, "unknown argument '1700000000'"},
        });
}

}  // namespace
