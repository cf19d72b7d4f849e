#include "census/shard_format.h"

#include <algorithm>

namespace census {

namespace {

// Where each field of the header lies.
enum Offset : std::size_t {
    kMagicAt = 0,
    kFormatAt = 8,
    kHeaderSizeAt = 10,
    kSolverAt = 12,
    kFromAt = 16,
    kStepAt = 20,
    kCountAt = 24,
    kShardSizeAt = 32,
    kIndexAt = 36,
    kFirstSecondAt = 40,
    kDealsAt = 44,
    kBodyCrcAt = 48,
    kHeaderCrcAt = 60,
};

void Put(std::vector<uint8_t>& bytes, std::size_t at, uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint64_t Get(std::span<const uint8_t> bytes, std::size_t at, int size) {
    uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        value |= uint64_t{bytes[at + i]} << (8 * i);
    }
    return value;
}

constexpr std::array<uint32_t, 256> kCrcTable = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}();

}  // namespace

uint32_t Crc32(std::span<const uint8_t> bytes) {
    uint32_t c = 0xFFFFFFFFu;
    for (const uint8_t b : bytes) {
        c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

uint8_t EncodeDeal(DealOutcome result, std::size_t length, bool checksAloneWin) {
    const uint8_t alone = checksAloneWin ? outcome::kChecksAloneWin : 0;
    switch (result) {
        case DealOutcome::Lost:
            return outcome::kLost;  // C alone cannot win a lost deal
        case DealOutcome::Undecided:
            return outcome::kUndecided | alone;
        case DealOutcome::Won:
            break;
    }
    if (length == 0 || length > outcome::kLongestLength) {
        return outcome::kWonLonger | alone;
    }
    return static_cast<uint8_t>(length) | alone;
}

std::vector<uint8_t> EncodeShard(const ShardHeader& h, std::span<const uint8_t> deals) {
    std::vector<uint8_t> bytes(kHeaderSize + deals.size(), 0);
    std::copy(kShardMagic.begin(), kShardMagic.end(), bytes.begin());
    Put(bytes, kFormatAt, kFormatVersion, 2);
    Put(bytes, kHeaderSizeAt, kHeaderSize, 2);
    Put(bytes, kSolverAt, h.solverVersion, 4);
    Put(bytes, kFromAt, h.census.from, 4);
    Put(bytes, kStepAt, h.census.step, 4);
    Put(bytes, kCountAt, h.census.count, 8);
    Put(bytes, kShardSizeAt, h.census.shardSize, 4);
    Put(bytes, kIndexAt, h.index, 4);
    Put(bytes, kFirstSecondAt, h.firstSecond, 4);
    Put(bytes, kDealsAt, deals.size(), 4);
    Put(bytes, kBodyCrcAt, Crc32(deals), 4);
    Put(bytes, kHeaderCrcAt, Crc32(std::span(bytes).first(kHeaderCrcAt)), 4);
    std::copy(deals.begin(), deals.end(), bytes.begin() + kHeaderSize);
    return bytes;
}

std::variant<Shard, ShardFault> DecodeShard(std::span<const uint8_t> bytes) {
    if (bytes.size() < kHeaderSize) {
        return ShardFault{"shorter than a shard's header"};
    }
    if (!std::equal(kShardMagic.begin(), kShardMagic.end(), bytes.begin())) {
        return ShardFault{"not a census shard"};
    }
    if (Get(bytes, kFormatAt, 2) != kFormatVersion || Get(bytes, kHeaderSizeAt, 2) != kHeaderSize) {
        return ShardFault{"written in another format version"};
    }
    if (Get(bytes, kHeaderCrcAt, 4) != Crc32(bytes.first(kHeaderCrcAt)) || Get(bytes, 52, 8) != 0) {
        return ShardFault{"its header is damaged (checksum)"};
    }
    Shard shard;
    ShardHeader& h = shard.header;
    h.solverVersion = static_cast<uint32_t>(Get(bytes, kSolverAt, 4));
    h.census.from = static_cast<uint32_t>(Get(bytes, kFromAt, 4));
    h.census.step = static_cast<uint32_t>(Get(bytes, kStepAt, 4));
    h.census.count = Get(bytes, kCountAt, 8);
    h.census.shardSize = static_cast<uint32_t>(Get(bytes, kShardSizeAt, 4));
    h.index = static_cast<uint32_t>(Get(bytes, kIndexAt, 4));
    h.firstSecond = static_cast<uint32_t>(Get(bytes, kFirstSecondAt, 4));
    h.deals = static_cast<uint32_t>(Get(bytes, kDealsAt, 4));
    if (!Problem(h.census).empty() || h.index >= h.census.Shards() ||
        h.deals != h.census.DealsIn(h.index) ||
        h.firstSecond != h.census.SecondOf(h.census.FirstDealOf(h.index))) {
        return ShardFault{"its header does not describe a part of a census"};
    }
    const std::span body = bytes.subspan(kHeaderSize);
    if (body.size() != h.deals) {
        return ShardFault{body.size() < h.deals ? "cut short" : "longer than its header says"};
    }
    if (Get(bytes, kBodyCrcAt, 4) != Crc32(body)) {
        return ShardFault{"its deals are damaged (checksum)"};
    }
    if (std::find(body.begin(), body.end(), outcome::kChecksAloneWin) != body.end()) {
        return ShardFault{"it holds a lost deal that C alone wins"};
    }
    shard.deals.assign(body.begin(), body.end());
    return shard;
}

std::string MismatchWith(const ShardHeader& h, const CensusSettings& census, uint32_t index,
                         uint32_t solverVersion) {
    if (h.census != census) {
        return "it belongs to another census (seconds from " + std::to_string(h.census.from) +
               " every " + std::to_string(h.census.step) + ", " + std::to_string(h.census.count) +
               " deals in shards of " + std::to_string(h.census.shardSize) + ")";
    }
    if (h.index != index) {
        return "it holds shard " + std::to_string(h.index) + ", overlapping that one's deals";
    }
    if (h.solverVersion != solverVersion) {
        return "it was decided by solver version " + std::to_string(h.solverVersion) +
               ", not this tool's " + std::to_string(solverVersion);
    }
    return {};
}

}  // namespace census
