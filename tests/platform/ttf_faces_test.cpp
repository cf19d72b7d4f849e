// The desktop's faces on the machine's own fonts: cells as tall as asked, widths that hold
// the ink drawn, fits that agree with widths, and odd heights and bytes handled.

#include "platform/sdl/ttf_faces.h"

#include <gtest/gtest.h>

#include <algorithm>
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

struct Ink {
    int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
};

Ink Draw(gl::TextFace& face, std::string_view line, int columns, int rows) {
    std::vector<uint8_t> coverage(static_cast<size_t>(columns) * rows, 0);
    face.Draw(line, coverage.data(), columns, rows);
    Ink ink;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            if (coverage[static_cast<size_t>(y) * columns + x] != 0) {
                ink = {std::min(ink.left, x), std::max(ink.right, x), std::min(ink.top, y),
                       std::max(ink.bottom, y)};
            }
        }
    }
    return ink;
}

class TtfFacesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        faces_ = TtfFaces::Start();
        ASSERT_TRUE(faces_);
    }
    std::shared_ptr<TtfFaces> faces_;
};

TEST_F(TtfFacesTest, ACellIsAsTallAsAskedAndItsInkStaysInside) {
    for (const int height : {12, 28, 48}) {
        SCOPED_TRACE(height);
        const auto face = faces_->Open(Desc(height));
        ASSERT_TRUE(face);
        EXPECT_EQ(face->cellHeight(), height);
        const std::string line = "Objective of the game, Tutorial: gjpqy";
        const int width = face->Width(line);
        const Ink ink = Draw(*face, line, width + 40, height + 20);
        ASSERT_GE(ink.right, 0) << "nothing drawn";
        EXPECT_LE(ink.right, width - 1) << "ink past the width";
        EXPECT_LT(ink.bottom, height) << "ink below the cell";
        EXPECT_LE(ink.left, height / 4);
        EXPECT_GT(ink.bottom - ink.top, height / 2);
    }
    // A negative height is the em: the cell then is taller than it.
    const auto em = faces_->Open(Desc(-20));
    ASSERT_TRUE(em);
    EXPECT_GT(em->cellHeight(), 20);
    EXPECT_LT(em->cellHeight(), 30);
}

TEST_F(TtfFacesTest, AFitIsTheLongestStartNoWiderThanTheWidth) {
    const auto face = faces_->Open(Desc(16));
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
    EXPECT_EQ(face->Width(""), 0);
    EXPECT_GT(face->Width("ab"), face->Width("a"));
}

TEST_F(TtfFacesTest, OddHeightsAndBytesNeitherCrashNorDrawOutside) {
    EXPECT_FALSE(faces_->Open(Desc(100000)));
    EXPECT_FALSE(faces_->Open(Desc(INT32_MIN)));
    const auto fallback = faces_->Open(Desc(0, "No Such Face At All"));
    ASSERT_TRUE(fallback) << "an unknown face falls back on the family's";
    EXPECT_EQ(fallback->cellHeight(), 16);
    // Every byte, control characters and Latin-1 alike, into an area too small for it.
    std::string bytes;
    for (int c = 1; c < 256; ++c) {
        bytes.push_back(static_cast<char>(c));
    }
    EXPECT_GT(fallback->Width(bytes), 0);
    Draw(*fallback, bytes, 7, 3);
    Draw(*fallback, bytes, 1, 1);
    // The same face and size again is the same face, opened once.
    EXPECT_EQ(faces_->Open(Desc(0, "No Such Face At All")), fallback);
}

}  // namespace
}  // namespace platform::sdl
