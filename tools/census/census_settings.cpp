#include "census/census_settings.h"

#include <charconv>
#include <cstdio>
#include <sstream>

namespace census {

uint32_t CensusSettings::DealsIn(uint64_t shard) const {
    const uint64_t first = FirstDealOf(shard);
    return first >= count ? 0 : static_cast<uint32_t>(std::min<uint64_t>(shardSize, count - first));
}

std::optional<uint64_t> CensusSettings::DealAt(uint64_t second) const {
    if (second < from || (second - from) % step != 0 || (second - from) / step >= count) {
        return std::nullopt;
    }
    return (second - from) / step;
}

std::string Problem(const CensusSettings& s) {
    if (s.count == 0) {
        return "--count takes a whole number from 1, not 0";
    }
    if (s.step == 0) {
        return "--step takes a whole number from 1, not 0";
    }
    if (s.shardSize == 0) {
        return "--shard-size takes a whole number from 1, not 0";
    }
    if ((s.count - 1) > (kLastSecond - s.from) / s.step) {
        return "--count " + std::to_string(s.count) + " from " + std::to_string(s.from) +
               " every " + std::to_string(s.step) + " runs past second 4294967295";
    }
    return {};
}

std::string SettingsText(const CensusSettings& s) {
    return "tavorin-census 1\nfrom " + std::to_string(s.from) + "\nstep " + std::to_string(s.step) +
           "\ncount " + std::to_string(s.count) + "\nshard-size " + std::to_string(s.shardSize) +
           "\n";
}

std::optional<CensusSettings> ParseSettingsText(const std::string& text) {
    CensusSettings s;
    // The text must be exactly what SettingsText writes: anything else is not ours.
    std::istringstream in(text);
    std::string tag, version, key;
    uint64_t from = 0, step = 0, size = 0;
    if (!(in >> tag >> version) || tag != "tavorin-census" || version != "1" ||
        !(in >> key >> from) || key != "from" || !(in >> key >> step) || key != "step" ||
        !(in >> key >> s.count) || key != "count" || !(in >> key >> size) || key != "shard-size" ||
        from > kLastSecond || step > kLastSecond || size > kLastSecond) {
        return std::nullopt;
    }
    s.from = static_cast<uint32_t>(from);
    s.step = static_cast<uint32_t>(step);
    s.shardSize = static_cast<uint32_t>(size);
    if (!Problem(s).empty() || SettingsText(s) != text) {
        return std::nullopt;
    }
    return s;
}

std::string ShardFileName(uint64_t shard) {
    char name[40];
    std::snprintf(name, sizeof name, "shard-%06llu.census", static_cast<unsigned long long>(shard));
    return name;
}

std::string LockFileName(uint64_t shard) {
    char name[40];
    std::snprintf(name, sizeof name, "shard-%06llu.lock", static_cast<unsigned long long>(shard));
    return name;
}

std::optional<uint64_t> ShardIndexOf(const std::string& fileName) {
    constexpr std::string_view prefix = "shard-";
    if (fileName.size() <= prefix.size() || fileName.compare(0, prefix.size(), prefix) != 0) {
        return std::nullopt;
    }
    uint64_t index = 0;
    const char* first = fileName.data() + prefix.size();
    const auto [end, error] = std::from_chars(first, fileName.data() + fileName.size(), index);
    // Only the one name each index is written under, so no two files claim one shard.
    if (error != std::errc() || ShardFileName(index) != fileName) {
        return std::nullopt;
    }
    return index;
}

}  // namespace census
