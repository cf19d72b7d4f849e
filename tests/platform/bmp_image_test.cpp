#include "platform/bmp/bmp_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using platform::bmp::ArgbImage;
using platform::bmp::DecodeBmp;
using platform::bmp::LoadBmp;
using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
    }
}

// A file with a 40-byte header, `extra` bytes (palette or masks) and the given rows.
Bytes Bmp(int32_t width, int32_t height, uint16_t bits, uint32_t compression, const Bytes& extra,
          const Bytes& rows) {
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(54 + extra.size() + rows.size()));
    Put32(b, 10, static_cast<uint32_t>(54 + extra.size()));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = static_cast<uint8_t>(bits);
    Put32(b, 30, compression);
    for (const Bytes* part : {&extra, &rows}) {
        for (const uint8_t byte : *part) {
            b.push_back(byte);
        }
    }
    return b;
}

bool Decode(const Bytes& b, ArgbImage& image, uint32_t key = 0) {
    return DecodeBmp(b.data(), b.size(), key, image);
}

// A 2 x 2, 24-bit image, bottom row first: black, white / red, blue.
const Bytes kRgb = Bmp(2, 2, 24, 0, {}, {0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0});

TEST(BmpImage, ReadsEachDepthBottomUpOrTopDown) {
    ArgbImage image;
    ASSERT_TRUE(Decode(kRgb, image, 0xFF000000u));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFFFF0000u, 0xFF0000FFu, 0, 0xFFFFFFFFu}));

    // 1 bit with a two-colour palette, top-down: 10 / 01.
    const Bytes palette = {0, 0, 0, 0, 0, 255, 0, 0};  // black, green
    ASSERT_TRUE(Decode(Bmp(2, -2, 1, 0, palette, {0x80, 0, 0, 0, 0x40, 0, 0, 0}), image));
    EXPECT_EQ(image.pixels,
              (std::vector<uint32_t>{0xFF00FF00u, 0xFF000000u, 0xFF000000u, 0xFF00FF00u}));

    // 16 bits in 5-6-5 bit fields; 32 bits without fields is opaque whatever its fourth byte.
    Bytes masks(12);
    Put32(masks, 0, 0xF800);
    Put32(masks, 4, 0x07E0);
    Put32(masks, 8, 0x001F);
    ASSERT_TRUE(Decode(Bmp(1, 1, 16, 3, masks, {0xE0, 0x07, 0, 0}), image));
    EXPECT_EQ(image.pixels, std::vector<uint32_t>{0xFF00FF00u});
    ASSERT_TRUE(Decode(Bmp(1, 1, 32, 0, {}, {1, 2, 3, 0}), image));
    EXPECT_EQ(image.pixels, std::vector<uint32_t>{0xFF030201u});
}

TEST(BmpImage, RefusesEveryMalformedFile) {
    const auto changed = [](size_t at, uint32_t value) {
        Bytes b = kRgb;
        Put32(b, at, value);
        return b;
    };
    const Bytes palette = {0, 0, 0, 0};  // one colour, but index 1 used below
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, Bytes>>{
             {"empty", {}},
             {"text", {'h', 'e', 'l', 'l', 'o'}},
             {"truncated", Bytes(kRgb.begin(), kRgb.end() - 8)},
             {"huge", changed(18, 0x7FFFFFFF)},
             {"zero height", changed(22, 0)},
             {"pixels after the end", changed(10, 0xFF)},
             {"odd header", changed(14, 20)},
             {"run-length", changed(30, 1)},
             {"odd depth", changed(28, 7)},
             {"palette index past the palette",
              Bmp(1, 1, 1, 0, Bytes{palette.begin(), palette.end()}, {0x80, 0, 0, 0})},
             {"palette past the pixels", Bmp(1, 1, 8, 0, {}, {0, 0, 0, 0})}}) {
        ArgbImage image;
        EXPECT_FALSE(Decode(bytes, image)) << name;
    }
    ArgbImage image;
    EXPECT_FALSE(DecodeBmp(nullptr, 100, 0, image));
}

// Only regular files are read: a missing file, a folder and a null name are refused at once.
TEST(BmpImage, LoadsOnlyRegularFiles) {
    const auto folder = std::filesystem::temp_directory_path() / "tavorin-bmp-test";
    std::filesystem::create_directories(folder);
    const auto file = folder / "arrow.bmp";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(kRgb.data()),
               static_cast<std::streamsize>(kRgb.size()));
    ArgbImage image;
    EXPECT_TRUE(LoadBmp(file.string().c_str(), 0xFF000000u, image));
    EXPECT_EQ(image.pixels.size(), 4u);
    EXPECT_FALSE(LoadBmp(folder.string().c_str(), 0, image));
    EXPECT_FALSE(LoadBmp((folder / "missing.bmp").string().c_str(), 0, image));
    EXPECT_FALSE(LoadBmp(nullptr, 0, image));
    std::filesystem::remove_all(folder);
}

}  // namespace
