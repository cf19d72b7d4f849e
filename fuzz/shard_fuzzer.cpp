// Reads fuzzed bytes as a census shard and as a census's settings record: never a crash or
// a read out of bounds, and whatever is accepted is exactly what the writer would have made
// of it, so a damaged file can never pass as a sound one.

#include <string>
#include <variant>

#include "census/census_settings.h"
#include "census/shard_format.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const auto decoded = census::DecodeShard(bytes);
    if (const auto* shard = std::get_if<census::Shard>(&decoded)) {
        const auto again = census::EncodeShard(shard->header, shard->deals);
        Require(std::equal(again.begin(), again.end(), bytes.begin(), bytes.end()),
                "an accepted shard is what the writer makes of it");
        Require(shard->deals.size() == shard->header.census.DealsIn(shard->header.index),
                "an accepted shard holds its share of the census");
    } else {
        Require(!std::get<census::ShardFault>(decoded).reason.empty(), "a refusal says why");
    }
    const std::string text(bytes.begin(), bytes.end());
    if (const auto settings = census::ParseSettingsText(text)) {
        Require(census::SettingsText(*settings) == text, "an accepted record is the writer's");
        Require(census::Problem(*settings).empty(), "an accepted record is a census");
    }
    return 0;
}
