// The desktop's faces on the machine's own fonts, beside the backend's drawing test: fits
// that agree with widths (the wrap depends on both), the em height, and odd heights and bytes.

#include "platform/sdl/ttf_faces.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace platform::sdl {
namespace {

FontDesc Desc(int32_t height, const char* face = "Arial") {
    FontDesc desc;
    desc.Height = height;
    desc.PitchAndFamily = 0x20;  // swiss
    std::strncpy(desc.FaceName, face, sizeof desc.FaceName - 1);
    return desc;
}

TEST(TtfFaces, AFitIsTheLongestStartNoWiderThanTheWidth) {
    const auto faces = TtfFaces::Start();
    ASSERT_TRUE(faces);
    const auto face = faces->Open(Desc(16));
    ASSERT_TRUE(face);
    const std::string line = "The objective of the game is to eliminate all the tiles.";
    const int whole = face->Width(line);
    EXPECT_EQ(face->Fit(line, whole), line.size());
    EXPECT_EQ(face->Fit(line, 0), 0u);
    for (const int width : {whole / 3, whole / 2, whole - 1}) {
        const size_t fit = face->Fit(line, width);
        ASSERT_LT(fit, line.size());
        EXPECT_LE(face->Width(line.substr(0, fit)), width);
        EXPECT_GT(face->Width(line.substr(0, fit + 1)), width);
    }
    // A negative height is the em: the cell then is taller than it.
    const auto em = faces->Open(Desc(-20));
    ASSERT_TRUE(em);
    EXPECT_GT(em->cellHeight(), 20);
    EXPECT_LT(em->cellHeight(), 30);
}

TEST(TtfFaces, OddHeightsAndBytesNeitherCrashNorDrawOutside) {
    const auto faces = TtfFaces::Start();
    ASSERT_TRUE(faces);
    EXPECT_FALSE(faces->Open(Desc(INT32_MIN)));
    const auto fallback = faces->Open(Desc(0, "No Such Face At All"));
    ASSERT_TRUE(fallback) << "an unknown face falls back on the family's";
    EXPECT_EQ(fallback->cellHeight(), 16);
    EXPECT_EQ(faces->Open(Desc(0, "No Such Face At All")), fallback) << "opened once";
    // Every byte, control characters and Latin-1 alike, into areas too small for it.
    std::string bytes;
    for (int c = 1; c < 256; ++c) {
        bytes.push_back(static_cast<char>(c));
    }
    EXPECT_GT(fallback->Width(bytes), 0);
    for (const auto& [columns, rows] : {std::pair{7, 3}, std::pair{1, 1}}) {
        std::vector<uint8_t> coverage(static_cast<size_t>(columns) * rows);
        fallback->Draw(bytes, coverage.data(), columns, rows);
    }
}

}  // namespace
}  // namespace platform::sdl
