// The shard file and the census's settings record: what is written reads back, and a file
// damaged anywhere, cut short or lengthened is refused, never counted.

#include <gtest/gtest.h>

#include <variant>

#include "census/census_settings.h"
#include "census/shard_format.h"

namespace census {
namespace {

CensusSettings Census() {
    CensusSettings s;
    s.from = 1000;
    s.step = 7;
    s.count = 25;
    s.shardSize = 10;
    return s;
}

ShardHeader HeaderOf(uint32_t index) {
    ShardHeader h;
    h.solverVersion = 3;
    h.census = Census();
    h.index = index;
    h.firstSecond = h.census.SecondOf(h.census.FirstDealOf(index));
    h.deals = h.census.DealsIn(index);
    return h;
}

std::vector<uint8_t> SomeDeals(std::size_t n) {
    std::vector<uint8_t> deals;
    const uint8_t kinds[] = {0, 17, 0x80 | 9, outcome::kUndecided, outcome::kWonLonger, 99};
    for (std::size_t i = 0; i < n; ++i) {
        deals.push_back(kinds[i % 6]);
    }
    return deals;
}

TEST(ShardFormat, ReadsBackWhatItWrites) {
    const auto deals = SomeDeals(5);  // the last shard holds the 5 left over
    const auto bytes = EncodeShard(HeaderOf(2), deals);
    ASSERT_EQ(bytes.size(), kHeaderSize + 5);
    const auto decoded = DecodeShard(bytes);
    ASSERT_TRUE(std::holds_alternative<Shard>(decoded)) << std::get<ShardFault>(decoded).reason;
    EXPECT_EQ(std::get<Shard>(decoded).header, HeaderOf(2));
    EXPECT_EQ(std::get<Shard>(decoded).deals, deals);
    EXPECT_EQ(MismatchWith(std::get<Shard>(decoded).header, Census(), 2, 3), "");
}

TEST(ShardFormat, HeaderFieldsLieWhereTheFormatSays) {
    const auto bytes = EncodeShard(HeaderOf(1), SomeDeals(10));
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "TAVCENSU");
    EXPECT_EQ(bytes[8] | bytes[9] << 8, 1);                // format
    EXPECT_EQ(bytes[10] | bytes[11] << 8, 64);             // header size
    EXPECT_EQ(bytes[12], 3);                               // solver
    EXPECT_EQ(bytes[16] | bytes[17] << 8, 1000);           // census from
    EXPECT_EQ(bytes[20], 7);                               // step
    EXPECT_EQ(bytes[24], 25);                              // census count
    EXPECT_EQ(bytes[32], 10);                              // shard size
    EXPECT_EQ(bytes[36], 1);                               // index
    EXPECT_EQ(bytes[40] | bytes[41] << 8, 1000 + 10 * 7);  // first second
    EXPECT_EQ(bytes[44], 10);                              // deals
    // CRC-32 as zip has it: the check value of "123456789" is CBF43926.
    const std::string nine = "123456789";
    EXPECT_EQ(Crc32(std::span(reinterpret_cast<const uint8_t*>(nine.data()), 9)), 0xCBF43926u);
}

TEST(ShardFormat, EveryFlippedByteIsRefused) {
    const auto good = EncodeShard(HeaderOf(0), SomeDeals(10));
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (const uint8_t flip : {0x01, 0x80, 0xFF}) {
            auto bad = good;
            bad[at] ^= flip;
            EXPECT_TRUE(std::holds_alternative<ShardFault>(DecodeShard(bad)))
                << "byte " << at << " ^ " << int(flip);
        }
    }
}

TEST(ShardFormat, CutOrLengthenedFilesAreRefused) {
    const auto good = EncodeShard(HeaderOf(0), SomeDeals(10));
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_TRUE(std::holds_alternative<ShardFault>(DecodeShard(std::span(good).first(size))))
            << size;
    }
    auto longer = good;
    longer.push_back(0);
    EXPECT_EQ(std::get<ShardFault>(DecodeShard(longer)).reason, "longer than its header says");
}

TEST(ShardFormat, ConsistentButWrongHeadersAreRefused) {
    // Each is a sound file, checksums and all, whose header cannot be a part of a census.
    auto wrongFirst = HeaderOf(1);
    wrongFirst.firstSecond += 1;
    auto pastTheEnd = HeaderOf(1);
    pastTheEnd.index = 3;
    auto pastTheClock = HeaderOf(0);
    pastTheClock.census.from = 0xFFFFFFF0u;
    pastTheClock.firstSecond = pastTheClock.census.from;
    for (const ShardHeader& h : {wrongFirst, pastTheEnd, pastTheClock}) {
        EXPECT_TRUE(std::holds_alternative<ShardFault>(DecodeShard(EncodeShard(h, SomeDeals(10)))));
    }
    auto deals = SomeDeals(10);
    deals[4] = outcome::kChecksAloneWin;  // "lost, and C alone wins it"
    EXPECT_TRUE(std::holds_alternative<ShardFault>(DecodeShard(EncodeShard(HeaderOf(0), deals))));
}

TEST(ShardFormat, ASoundShardInTheWrongPlaceIsNamed) {
    EXPECT_NE(MismatchWith(HeaderOf(1), Census(), 0, 3).find("holds shard 1"), std::string::npos);
    EXPECT_NE(MismatchWith(HeaderOf(0), Census(), 0, 4).find("solver version 3"),
              std::string::npos);
    CensusSettings other = Census();
    other.step = 8;
    EXPECT_NE(MismatchWith(HeaderOf(0), other, 0, 3).find("another census"), std::string::npos);
}

TEST(ShardFormat, DealBytesSayWhatWasFound) {
    EXPECT_EQ(EncodeDeal(DealOutcome::Lost, 0, false), 0);
    EXPECT_EQ(EncodeDeal(DealOutcome::Won, 99, false), 99);
    EXPECT_EQ(EncodeDeal(DealOutcome::Won, 12, true), 0x80 | 12);
    EXPECT_EQ(EncodeDeal(DealOutcome::Won, 126, false), outcome::kWonLonger);
    EXPECT_EQ(EncodeDeal(DealOutcome::Undecided, 0, true), 0x80 | outcome::kUndecided);
    for (int byte = 0; byte < 256; ++byte) {
        const DealByte deal{static_cast<uint8_t>(byte)};
        const auto again =
            EncodeDeal(deal.Outcome(), deal.Length() ? deal.Length() : 126, deal.ChecksAloneWin());
        if (byte != outcome::kChecksAloneWin) {
            EXPECT_EQ(again, byte) << byte;
        }
    }
}

TEST(CensusSettings, RangesAndShards) {
    const CensusSettings s = Census();
    EXPECT_EQ(s.Shards(), 3u);
    EXPECT_EQ(s.DealsIn(2), 5u);
    EXPECT_EQ(s.DealsIn(3), 0u);
    EXPECT_EQ(s.SecondOf(24), 1000u + 24 * 7);
    EXPECT_EQ(s.DealAt(1007), 1u);
    EXPECT_FALSE(s.DealAt(1008));
    EXPECT_FALSE(s.DealAt(1000 + 25 * 7));

    CensusSettings whole;  // every second of the clock, one deal a shard
    whole.count = 1ull << 32;
    whole.shardSize = 1;
    EXPECT_EQ(Problem(whole), "");
    EXPECT_EQ(whole.SecondOf(whole.count - 1), 0xFFFFFFFFu);
    whole.from = 1;
    EXPECT_NE(Problem(whole).find("past second 4294967295"), std::string::npos);
    CensusSettings stepped;
    stepped.count = 2;
    stepped.step = 0x80000000u;
    EXPECT_EQ(Problem(stepped), "");
    stepped.count = 3;
    EXPECT_NE(Problem(stepped), "");
    stepped = {};
    EXPECT_NE(Problem(stepped).find("--count"), std::string::npos);
    stepped.count = 1;
    stepped.shardSize = 0;
    EXPECT_NE(Problem(stepped).find("--shard-size"), std::string::npos);
}

TEST(CensusSettings, RecordReadsBackAndRefusesAnythingElse) {
    const std::string text = SettingsText(Census());
    EXPECT_EQ(text, "tavorin-census 1\nfrom 1000\nstep 7\ncount 25\nshard-size 10\n");
    EXPECT_EQ(ParseSettingsText(text), Census());
    const std::vector<std::string> bad = {
        "",
        text.substr(0, text.size() - 1),
        text + "x",
        "tavorin-census 2" + text.substr(16),
        "tavorin-census 1\nfrom 1000\nstep 0\ncount 25\nshard-size 10\n",
        "tavorin-census 1\nfrom 4294967296\nstep 7\ncount 25\nshard-size 10\n"};
    for (const std::string& other : bad) {
        EXPECT_FALSE(ParseSettingsText(other)) << other;
    }
}

TEST(CensusSettings, EachShardHasOneFileName) {
    EXPECT_EQ(ShardFileName(42), "shard-000042.census");
    EXPECT_EQ(ShardFileName(12345678), "shard-12345678.census");
    EXPECT_EQ(ShardIndexOf("shard-000042.census"), 42u);
    EXPECT_EQ(ShardIndexOf("shard-12345678.census"), 12345678u);
    for (const char* name : {"shard-42.census", "shard-0000042.census", "shard-000042.census.tmp-1",
                             "shard--00042.census", "shard-000042.lock", "census.txt"}) {
        EXPECT_FALSE(ShardIndexOf(name)) << name;
    }
}

}  // namespace
}  // namespace census
