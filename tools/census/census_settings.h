#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace census {

inline constexpr uint64_t kLastSecond = 0xFFFFFFFFull;
inline constexpr uint32_t kDefaultShardSize = 10'000;

// Which deals a census decides, and how they are cut into shards: the deals of seconds
// from, from + step, ..., `count` of them, shard i holding deals i * shardSize on.
struct CensusSettings {
    uint32_t from = 0;
    uint32_t step = 1;
    uint64_t count = 0;
    uint32_t shardSize = kDefaultShardSize;
    friend bool operator==(const CensusSettings&, const CensusSettings&) = default;

    uint64_t Shards() const { return (count + shardSize - 1) / shardSize; }
    uint64_t FirstDealOf(uint64_t shard) const { return shard * shardSize; }
    uint32_t DealsIn(uint64_t shard) const;
    uint32_t SecondOf(uint64_t deal) const { return static_cast<uint32_t>(from + deal * step); }
    // The census's deal at this second, if it has one.
    std::optional<uint64_t> DealAt(uint64_t second) const;
};

// Why these settings make no census (a count of 0, a range past the clock's last second, ...),
// in words naming the option; empty when they are sound.
std::string Problem(const CensusSettings& settings);

// The census's own record in its folder, written once, so that a run with other settings is
// refused and the report knows what the census should hold.
inline constexpr const char* kSettingsFile = "census.txt";
std::string SettingsText(const CensusSettings& settings);
std::optional<CensusSettings> ParseSettingsText(const std::string& text);

// "shard-000042.census", and its index back from a name.
std::string ShardFileName(uint64_t shard);
std::optional<uint64_t> ShardIndexOf(const std::string& fileName);
std::string LockFileName(uint64_t shard);

}  // namespace census
