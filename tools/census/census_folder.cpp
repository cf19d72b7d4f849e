#include "census/census_folder.h"

#include <vector>

#include "platform/console/whole_files.h"

namespace census {

namespace {

constexpr uint64_t kMostSettingsBytes = 4096;

std::variant<CensusSettings, std::string> ReadSettings(const std::string& path) {
    const auto bytes = platform::ReadWholeFile(path, kMostSettingsBytes);
    if (!bytes) {
        return "holds no census (" + path + " cannot be read)";
    }
    const auto settings = ParseSettingsText(std::string(bytes->begin(), bytes->end()));
    if (!settings) {
        return path + " is not a census's settings record";
    }
    return *settings;
}

std::string Describe(const CensusSettings& s) {
    return "seconds from " + std::to_string(s.from) + " every " + std::to_string(s.step) + ", " +
           std::to_string(s.count) + " deals in shards of " + std::to_string(s.shardSize);
}

}  // namespace

std::variant<CensusFolder, std::string> CensusFolder::ForRun(const std::string& dir,
                                                             const CensusSettings& settings) {
    if (const auto error = platform::MakeFolder(dir); !error.empty()) {
        return "cannot use the folder " + dir + ": " + error;
    }
    CensusFolder folder(dir, settings);
    const std::string path = folder.PathOf(kSettingsFile);
    bool existed = platform::PathExists(path);
    if (!existed) {
        // Of several tasks starting at once, one records the settings and the rest check them.
        const std::string text = SettingsText(settings);
        const auto error = platform::CreateWholeFileOnce(
            path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), existed);
        if (!error.empty()) {
            return "cannot write in the folder " + dir + ": " + error;
        }
    }
    if (existed) {
        auto recorded = ReadSettings(path);
        if (const auto* problem = std::get_if<std::string>(&recorded)) {
            return dir + " " + *problem;
        }
        if (std::get<CensusSettings>(recorded) != settings) {
            return dir + " holds another census (" + Describe(std::get<CensusSettings>(recorded)) +
                   "), not this one (" + Describe(settings) + ")";
        }
    }
    return folder;
}

std::variant<CensusFolder, std::string> CensusFolder::ForReading(const std::string& dir) {
    auto recorded = ReadSettings(dir + "/" + kSettingsFile);
    if (const auto* problem = std::get_if<std::string>(&recorded)) {
        return dir + " " + *problem;
    }
    return CensusFolder(dir, std::get<CensusSettings>(recorded));
}

std::string CensusFolder::PathOf(const std::string& name) const {
    return dir_ + "/" + name;
}

ShardCheck CensusFolder::Check(uint64_t index, uint32_t solverVersion) const {
    ShardCheck check;
    const std::string path = PathOf(ShardFileName(index));
    const auto bytes = platform::ReadWholeFile(path, kHeaderSize + settings_.shardSize);
    if (!bytes) {
        check.missing = !platform::PathExists(path);
        check.fault = check.missing ? "" : "it cannot be read, or is longer than a shard";
        return check;
    }
    auto decoded = DecodeShard(*bytes);
    if (const auto* fault = std::get_if<ShardFault>(&decoded)) {
        check.fault = fault->reason;
        return check;
    }
    Shard& shard = std::get<Shard>(decoded);
    check.fault =
        MismatchWith(shard.header, settings_, static_cast<uint32_t>(index), solverVersion);
    if (check.fault.empty()) {
        check.shard = std::move(shard);
    }
    return check;
}

std::string CensusFolder::Write(uint64_t index, uint32_t solverVersion,
                                std::span<const uint8_t> deals) const {
    ShardHeader header;
    header.solverVersion = solverVersion;
    header.census = settings_;
    header.index = static_cast<uint32_t>(index);
    header.firstSecond = settings_.SecondOf(settings_.FirstDealOf(index));
    header.deals = static_cast<uint32_t>(deals.size());
    const std::vector<uint8_t> bytes = EncodeShard(header, deals);
    return platform::WriteWholeFile(PathOf(ShardFileName(index)), bytes);
}

}  // namespace census
