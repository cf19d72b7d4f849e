#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "census/census_settings.h"
#include "census/shard_format.h"

namespace census {

// What a shard's file holds: a shard that belongs here, nothing yet, or a fault.
struct ShardCheck {
    std::optional<Shard> shard;
    bool missing = false;
    std::string fault;  // why the file is not counted, when it is there
};

// A census's folder: its settings record and its shard files.
class CensusFolder {
  public:
    // For a run: the folder made when missing and the settings recorded, or the record there
    // checked against them. The error says why the folder cannot hold this census.
    static std::variant<CensusFolder, std::string> ForRun(const std::string& dir,
                                                          const CensusSettings& settings);
    // For reading: the settings as recorded.
    static std::variant<CensusFolder, std::string> ForReading(const std::string& dir);

    const CensusSettings& settings() const { return settings_; }
    std::string PathOf(const std::string& name) const;

    ShardCheck Check(uint64_t index, uint32_t solverVersion) const;
    // Whole or not at all; the error in words.
    std::string Write(uint64_t index, uint32_t solverVersion, std::span<const uint8_t> deals) const;

  private:
    CensusFolder(std::string dir, const CensusSettings& settings)
        : dir_(std::move(dir)), settings_(settings) {}

    std::string dir_;
    CensusSettings settings_;
};

}  // namespace census
