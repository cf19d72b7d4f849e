#pragma once

// One shard of a census on disk: a 64-byte header, then one byte per deal. Every number is
// little-endian; docs/census.md describes the format for readers without this code.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "census/census_settings.h"

namespace census {

inline constexpr std::array<uint8_t, 8> kShardMagic = {'T', 'A', 'V', 'C', 'E', 'N', 'S', 'U'};
inline constexpr uint16_t kFormatVersion = 1;
inline constexpr std::size_t kHeaderSize = 64;

// What a shard says of itself: which census, which part of it, which solver decided it.
struct ShardHeader {
    uint32_t solverVersion = 0;
    CensusSettings census;
    uint32_t index = 0;
    uint32_t firstSecond = 0;  // the second of its first deal
    uint32_t deals = 0;
    friend bool operator==(const ShardHeader&, const ShardHeader&) = default;
};

// One deal's byte. Bit 7: pressing only C wins. Bits 0-6: 0 lost, 1 to 125 the length of the
// shortest win after S, 126 won in more keys than that, 127 undecided.
namespace outcome {
inline constexpr uint8_t kLost = 0;
inline constexpr uint8_t kLongestLength = 125;
inline constexpr uint8_t kWonLonger = 126;
inline constexpr uint8_t kUndecided = 127;
inline constexpr uint8_t kChecksAloneWin = 0x80;
}  // namespace outcome

enum class DealOutcome { Lost, Won, Undecided };

struct DealByte {
    uint8_t byte;
    DealOutcome Outcome() const {
        const uint8_t value = byte & 0x7F;
        return value == outcome::kLost        ? DealOutcome::Lost
               : value == outcome::kUndecided ? DealOutcome::Undecided
                                              : DealOutcome::Won;
    }
    // The shortest win's length; 0 when lost, undecided or longer than kLongestLength.
    unsigned Length() const {
        const uint8_t value = byte & 0x7F;
        return value <= outcome::kLongestLength ? value : 0;
    }
    bool ChecksAloneWin() const { return (byte & outcome::kChecksAloneWin) != 0; }
};

uint8_t EncodeDeal(DealOutcome result, std::size_t length, bool checksAloneWin);

// CRC-32 as zip and PNG use it (zlib.crc32 in Python).
uint32_t Crc32(std::span<const uint8_t> bytes);

std::vector<uint8_t> EncodeShard(const ShardHeader& header, std::span<const uint8_t> deals);

struct Shard {
    ShardHeader header;
    std::vector<uint8_t> deals;
};

// Why a file is not a shard, in words for the user.
struct ShardFault {
    std::string reason;
};

// A whole, self-consistent shard, or why not: magic, version, sizes, both checksums, every
// deal's byte, the range inside the clock. No file is trusted further than this reads it.
std::variant<Shard, ShardFault> DecodeShard(std::span<const uint8_t> bytes);

// Why a sound shard does not belong at place `index` of `census` by solver `solverVersion`;
// empty when it does.
std::string MismatchWith(const ShardHeader& header, const CensusSettings& census, uint32_t index,
                         uint32_t solverVersion);

}  // namespace census
