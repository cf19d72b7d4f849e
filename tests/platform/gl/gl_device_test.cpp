// The shared OpenGL device on Mesa's software renderer with no display: the 16-bit back
// buffer and its presentation into windows of other sizes read back pixel by pixel, the
// game's drawing conventions, loss, reset and a lost context, still frames, buffers and text.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "offscreen_window.h"
#include "platform/gl/gl_graphics.h"
#include "platform/gl/gl_text.h"

namespace {

namespace d3d = platform::d3d;
using platform::kOk;

constexpr int kWidth = 1280, kHeight = 768;
constexpr uint32_t kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

struct Vertex {
    float x, y, z;
    uint32_t colour;
};

// A quad at depth `z` as two triangles (indices 0 1 2, 2 1 3), turning clockwise as the
// viewer sees it.
void Quad(std::vector<Vertex>& v, float x0, float y0, float x1, float y1, float z,
          uint32_t colour) {
    v.insert(v.end(),
             {{x0, y1, z, colour}, {x1, y1, z, colour}, {x0, y0, z, colour}, {x1, y0, z, colour}});
}

// The quad over back-buffer pixels [left, right) x [top, bottom), drawn with no transform.
void PixelQuad(std::vector<Vertex>& v, int left, int top, int right, int bottom, uint32_t colour) {
    const auto x = [](int px) { return 2.0f * static_cast<float>(px) / kWidth - 1; };
    const auto y = [](int py) { return 1 - 2.0f * static_cast<float>(py) / kHeight; };
    Quad(v, x(left), y(bottom), x(right), y(top), 0.5f, colour);
}

// Whether 0xRRGGBB is what a 16-bit back buffer can hold (5, 6 and 5 bits, read back
// widened) of the colour asked for, within the one step its rounding may take.
bool Kept565(uint32_t rgb, uint32_t asked) {
    for (const auto& [shift, bits] : {std::pair{16, 5}, std::pair{8, 6}, std::pair{0, 5}}) {
        const int got = static_cast<int>(rgb >> shift & 0xFF);
        const int want = static_cast<int>(asked >> shift & 0xFF);
        const int q = got >> (8 - bits);
        if (got != ((q << (8 - bits)) | (q >> (2 * bits - 8))) ||
            std::abs(got - want) > (256 >> bits)) {
            return false;
        }
    }
    return true;
}

// Every character a box `kAdvance` wide, lit over the cell's height but for a row above and
// below: a face whose every pixel the test can predict.
constexpr int kAdvance = 6;
class BoxFace final : public platform::gl::TextFace {
  public:
    explicit BoxFace(int cellHeight) : TextFace(cellHeight) {}
    int Width(std::string_view line) override { return static_cast<int>(line.size()) * kAdvance; }
    size_t Fit(std::string_view line, int width) override {
        return std::min(line.size(), static_cast<size_t>(std::max(width, 0) / kAdvance));
    }
    void Draw(std::string_view line, uint8_t* coverage, int columns, int rows) override {
        for (int y = 1; y < rows - 1; ++y) {
            for (size_t i = 0; i < line.size(); ++i) {
                if (line[i] == ' ') {
                    continue;
                }
                for (int x = 1; x < kAdvance - 1 && int(i) * kAdvance + x < columns; ++x) {
                    coverage[static_cast<size_t>(y) * columns + i * kAdvance + x] = 255;
                }
            }
        }
    }
};

class BoxFaces final : public platform::gl::TextFaces {
  public:
    std::shared_ptr<platform::gl::TextFace> Open(const platform::FontDesc& desc) override {
        if (desc.Height <= 0 || desc.Height > 1000) {
            return nullptr;
        }
        return std::make_shared<BoxFace>(desc.Height);
    }
};

platform::PresentParams GameParams(uint32_t width = kWidth) {
    return {width, kHeight, d3d::FMT_R5G6B5, 0, 0, 0, d3d::SWAPEFFECT_DISCARD, nullptr,
            1,     1,       d3d::FMT_D16};
}

class GlDeviceTest : public ::testing::Test {
  protected:
    // A device on a window of the given size, the game's settings made.
    void Open(int windowWidth = 1280, int windowHeight = 760) {
        window_ = std::make_shared<gl_test::OffscreenWindow>(windowWidth, windowHeight);
        platform::HResult result = 0;
        std::string why;
        device_ = platform::gl::CreateGlDevice(window_, std::make_shared<BoxFaces>(), GameParams(),
                                               result, why);
        ASSERT_NE(device_, nullptr) << why;
        ASSERT_EQ(result, kOk);
        SetGameState(platform::MatrixIdentity());
    }

    void SetGameState(const platform::Matrix& projection) {
        device_->SetTransform(d3d::TS_PROJECTION, projection);
        device_->SetTransform(d3d::TS_WORLD, platform::MatrixIdentity());
        device_->SetRenderState(d3d::RS_CULLMODE, d3d::CULL_NONE);
        device_->SetRenderState(d3d::RS_ZENABLE, d3d::ZB_TRUE);
        device_->SetFVF(d3d::FVF_XYZ | d3d::FVF_DIFFUSE);
    }

    // The quads in one vertex and one index buffer of the managed pool.
    void Upload(const std::vector<Vertex>& vertices) {
        std::vector<uint16_t> indices;
        for (size_t i = 0; i < vertices.size() / 4 * 6; ++i) {
            indices.push_back(static_cast<uint16_t>(i / 6 * 4 + "\0\1\2\2\1\3"[i % 6]));
        }
        const auto vbytes = static_cast<uint32_t>(vertices.size() * sizeof(Vertex));
        const auto ibytes = static_cast<uint32_t>(indices.size() * 2);
        ASSERT_EQ(device_->CreateVertexBuffer(vbytes, d3d::USAGE_WRITEONLY, 0x42, d3d::POOL_MANAGED,
                                              vertices_),
                  kOk);
        ASSERT_EQ(
            device_->CreateIndexBuffer(ibytes, 0, d3d::FMT_INDEX16, d3d::POOL_MANAGED, indices_),
            kOk);
        Fill(*vertices_, vertices.data(), vbytes);
        Fill(*indices_, indices.data(), ibytes);
    }

    static void Fill(platform::Buffer& buffer, const void* bytes, size_t size) {
        void* data = nullptr;
        ASSERT_EQ(buffer.Lock(0, 0, &data, 0), kOk);
        std::memcpy(data, bytes, size);
        buffer.Unlock();
    }

    platform::HResult Draw(uint32_t quads, uint32_t background = kBlack) {
        device_->Clear(0, nullptr, d3d::CLEAR_TARGET | d3d::CLEAR_ZBUFFER, background, 1.0f, 0);
        device_->SetStreamSource(0, vertices_.get(), 0, sizeof(Vertex));
        device_->SetIndices(indices_.get());
        return device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0, quads * 4, 0, quads * 2);
    }

    // The back buffer as 0xRRGGBB, top row first.
    std::vector<uint32_t> BackBuffer() {
        std::vector<uint32_t> argb;
        int w = 0, h = 0;
        EXPECT_TRUE(platform::gl::ReadBackBuffer(*device_, argb, w, h));
        EXPECT_EQ(w, kWidth);
        EXPECT_EQ(h, kHeight);
        argb.resize(size_t{kWidth} * kHeight);
        for (uint32_t& p : argb) {
            p &= 0xFFFFFF;
        }
        return argb;
    }

    uint32_t Pixel(int x, int y) { return BackBuffer()[static_cast<size_t>(y) * kWidth + x]; }

    int Count(uint32_t rgb, int left, int top, int right, int bottom) {
        const std::vector<uint32_t> pixels = BackBuffer();
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                count += pixels[static_cast<size_t>(y) * kWidth + x] == (rgb & 0xFFFFFF);
            }
        }
        return count;
    }

    uint64_t Shown() { return platform::gl::FramesShown(*device_); }

    std::shared_ptr<gl_test::OffscreenWindow> window_;
    std::unique_ptr<platform::Device> device_;
    std::unique_ptr<platform::VertexBuffer> vertices_;
    std::unique_ptr<platform::IndexBuffer> indices_;
};

// A mosaic of 16-pixel cells in random colours: the colours asked for, cell by cell.
std::vector<uint32_t> Mosaic(std::vector<Vertex>& v) {
    std::mt19937 random(23);
    std::vector<uint32_t> cells;
    for (int top = 0; top < kHeight; top += 16) {
        for (int left = 0; left < kWidth; left += 16) {
            const uint32_t colour = 0xFF000000 | (random() & 0xFFFFFF);
            cells.push_back(colour & 0xFFFFFF);
            PixelQuad(v, left, top, left + 16, top + 16, colour);
        }
    }
    return cells;
}

uint32_t CellAt(const std::vector<uint32_t>& cells, int x, int y) {
    return cells[static_cast<size_t>(y / 16) * (kWidth / 16) + x / 16];
}

TEST_F(GlDeviceTest, TheBackBufferKeepsSixteenBitColourAndPresentShowsItNearlyAsIsInTheWindow) {
    Open(1280, 760);
    std::vector<Vertex> v;
    const std::vector<uint32_t> cells = Mosaic(v);
    Upload(v);
    ASSERT_EQ(Draw(static_cast<uint32_t>(v.size() / 4)), kOk);
    // Every pixel its cell's colour in 16 bits, the same all over the cell: no dithering.
    const std::vector<uint32_t> back = BackBuffer();
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t got = back[static_cast<size_t>(y) * kWidth + x];
            wrong += got != back[static_cast<size_t>(y / 16 * 16) * kWidth + x / 16 * 16] ||
                     !Kept565(got, CellAt(cells, x, y));
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << kWidth * kHeight << " back-buffer pixels";

    // 768 rows into the window's 760: the nearest row of each, so that edges stay crisp.
    ASSERT_EQ(device_->Present(), kOk);
    EXPECT_EQ(window_->swaps(), 1);
    const std::vector<uint32_t> shown = window_->Pixels();
    wrong = 0;
    for (int row = 0; row < 760; ++row) {  // counted from the bottom, as OpenGL counts
        const int source = (2 * row + 1) * kHeight / (2 * 760);
        for (int x = 0; x < kWidth; ++x) {
            wrong += shown[static_cast<size_t>(759 - row) * kWidth + x] !=
                     back[static_cast<size_t>(kHeight - 1 - source) * kWidth + x];
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << kWidth * 760 << " window pixels";
}

TEST_F(GlDeviceTest, PresentScalesIntoASmallerWindowSmoothly) {
    constexpr int kShownWidth = 1000, kShownHeight = 600;
    Open(kShownWidth, kShownHeight);
    std::vector<Vertex> v;
    Mosaic(v);
    Upload(v);
    ASSERT_EQ(Draw(static_cast<uint32_t>(v.size() / 4)), kOk);
    const std::vector<uint32_t> back = BackBuffer();
    ASSERT_EQ(device_->Present(), kOk);
    const std::vector<uint32_t> shown = window_->Pixels();
    // Each window pixel blends the four back-buffer pixels around where it lands: inside a
    // cell the cell's colour, at an edge something between the cells it straddles.
    int inside = 0, between = 0, blended = 0, wrong = 0;
    for (int y = 0; y < kShownHeight; ++y) {
        for (int x = 0; x < kShownWidth; ++x) {
            const float bx = (x + 0.5f) * kWidth / kShownWidth;
            const float by = (y + 0.5f) * kHeight / kShownHeight;
            const int x0 = std::max(int(bx - 0.5f), 0), x1 = std::min(int(bx + 0.5f), kWidth - 1);
            const int y0 = std::max(int(by - 0.5f), 0), y1 = std::min(int(by + 0.5f), kHeight - 1);
            const auto at = [&back](int px, int py) {
                return back[static_cast<size_t>(py) * kWidth + px];
            };
            const uint32_t corners[] = {at(x0, y0), at(x1, y0), at(x0, y1), at(x1, y1)};
            const uint32_t got = shown[static_cast<size_t>(y) * kShownWidth + x];
            bool ok = true;
            for (int shift : {0, 8, 16}) {
                uint32_t low = 255, high = 0;
                for (uint32_t c : corners) {
                    low = std::min(low, c >> shift & 0xFF);
                    high = std::max(high, c >> shift & 0xFF);
                }
                const uint32_t channel = got >> shift & 0xFF;
                ok = ok && channel + 1 >= low && channel <= high + 1;
            }
            const bool flat = std::all_of(std::begin(corners), std::end(corners),
                                          [&](uint32_t c) { return c == corners[0]; });
            wrong += !ok;
            (flat ? inside : between) += 1;
            blended += std::find(std::begin(corners), std::end(corners), got) == std::end(corners);
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << inside << " pixels inside cells and " << between << " at edges";
    EXPECT_GT(between, 40000);
    EXPECT_GT(blended, between / 2) << "edges blend: not the nearest pixel's colour";
}

TEST_F(GlDeviceTest, DrawsWithTheGameConventions) {
    Open();
    SetGameState(platform::MatrixPerspectiveFovLH(0.785398f, 5.0f / 3.0f, 1, 1000));
    // At depth 40 with the game's projection a point (x, y) lands at
    // (640 (1 + x cot / (40 aspect)), 384 (1 - y cot / 40)), cot = 2.41421.
    std::vector<Vertex> v;
    Quad(v, -10, -5, 10, 5, 40, kWhite);         // drawn first
    Quad(v, 0, 0, 10, 5, 40, kRed);              // same depth, drawn after: wins, as pips do
    Quad(v, -10, 0, 0, 5, 50, 0xFF00FF00);       // green, behind: hidden
    Quad(v, -20, -10, -15, -5, 40, 0xFF0000FF);  // blue: the colour bytes' order
    Upload(v);
    EXPECT_EQ(Draw(4), kOk);
    EXPECT_EQ(Pixel(640 - 100, 384 + 40), 0xFFFFFFu) << "white at (-5, -2)";
    EXPECT_EQ(Pixel(640 + 100, 384 - 40), 0xFF0000u) << "red over white at (5, 2)";
    EXPECT_EQ(Pixel(640 - 100, 384 - 40), 0xFFFFFFu) << "green behind white at (-5, 2)";
    EXPECT_EQ(Pixel(234, 558), 0x0000FFu) << "blue at (-17.5, -7.5)";
    EXPECT_EQ(Pixel(100, 100), 0u) << "cleared black";

    // Culling follows the winding the viewer sees; the game culls nothing.
    for (const auto& [mode, kept] :
         {std::pair{uint32_t{d3d::CULL_NONE}, true}, std::pair{3u, true}, std::pair{2u, false}}) {
        device_->SetRenderState(d3d::RS_CULLMODE, mode);
        EXPECT_EQ(Draw(1), kOk);
        EXPECT_EQ(Pixel(640 - 100, 384 + 40), kept ? 0xFFFFFFu : 0u) << "cull mode " << mode;
    }
    // Without the depth test the later draw wins wherever it lands.
    device_->SetRenderState(d3d::RS_CULLMODE, d3d::CULL_NONE);
    device_->SetRenderState(d3d::RS_ZENABLE, 0);
    EXPECT_EQ(Draw(3), kOk);
    EXPECT_EQ(Pixel(640 - 100, 384 - 40), 0x00FF00u);
}

TEST_F(GlDeviceTest, AHiddenWindowOrALostContextLosesTheDeviceUntilResetAndTheBuffersComeBack) {
    Open();
    std::vector<Vertex> v;
    PixelQuad(v, 100, 100, 200, 200, kRed);
    Upload(v);
    std::unique_ptr<platform::Font> font;
    ASSERT_EQ(device_->CreateFontIndirectA({20, 0, 0, 0, 0, 0, 0, 0, 0, "any"}, font), kOk);
    const auto frame = [&] {
        EXPECT_EQ(Draw(1), kOk);
        EXPECT_EQ(font->DrawTextA("ab", -1, {300, 300, 400, 400}, 0, kWhite), 20);
    };
    frame();

    window_->SetDrawable(false);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceLost);
    EXPECT_EQ(device_->Present(), platform::kDeviceLost);
    EXPECT_EQ(device_->Reset(GameParams()), platform::kDeviceLost);
    EXPECT_LT(Draw(1), 0) << "nothing is drawn while lost";
    window_->SetDrawable(true);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceNotReset);
    // A reset that cannot be made leaves the device waiting for one that can, a frame at a
    // time: the game retries every pass, and a page that never waits freezes.
    const int idles = window_->idles();
    EXPECT_LT(device_->Reset(GameParams(1u << 20)), 0);
    EXPECT_EQ(window_->idles(), idles + 1);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceNotReset);
    ASSERT_EQ(device_->Reset(GameParams()), kOk);
    EXPECT_EQ(device_->TestCooperativeLevel(), kOk);
    EXPECT_LT(Draw(1), 0) << "a reset puts the vertex format back to none";
    SetGameState(platform::MatrixIdentity());
    frame();
    EXPECT_EQ(Count(kRed, 100, 100, 200, 200), 100 * 100);

    // A graphics reset takes the context and every GL object: a new context, and the
    // managed buffers and text made again from what the device kept.
    window_->LoseContext();
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceNotReset);
    EXPECT_LT(device_->Present(), 0);
    ASSERT_EQ(device_->Reset(GameParams()), kOk);
    EXPECT_EQ(window_->contextsMade(), 2);
    SetGameState(platform::MatrixIdentity());
    frame();
    EXPECT_EQ(Count(kRed, 0, 0, kWidth, kHeight), 100 * 100);
    EXPECT_EQ(Count(kWhite, 300, 300, 312, 320), 2 * 4 * 18) << "two boxes of text";
    EXPECT_EQ(device_->Present(), kOk);
}

TEST_F(GlDeviceTest, FramesLikeTheOneShownAreSkippedAndEveryChangeShowsInItsOwnFrame) {
    Open();
    std::vector<Vertex> v;
    PixelQuad(v, 100, 100, 200, 200, kWhite);
    Upload(v);
    std::unique_ptr<platform::Font> font;
    ASSERT_EQ(device_->CreateFontIndirectA({40, 0, 0, 0, 0, 0, 0, 0, 0, "any"}, font), kOk);
    const platform::Rect label{300, 600, 780, 650};
    // The game's frame: clear, the mesh, a label.
    const auto frame = [&](uint32_t colour, const char* text) {
        EXPECT_EQ(Draw(1), kOk);
        if (text) {
            font->DrawTextA(text, -1, label, 0, colour);
        }
        EXPECT_EQ(device_->Present(), kOk);
    };

    frame(kRed, "Start");
    const uint64_t first = Shown();
    const int swaps = window_->swaps();
    for (int i = 0; i < 30; ++i) {
        frame(kRed, "Start");
    }
    EXPECT_EQ(Shown(), first) << "still frames are not drawn again";
    EXPECT_EQ(window_->swaps(), swaps);
    EXPECT_EQ(Count(kRed, 300, 600, 780, 650), 5 * 4 * 38) << "the back buffer keeps the frame";

    // Each kind of change is drawn in the very frame that makes it.
    uint64_t expected = first;
    const auto changed = [&](const char* what) {
        EXPECT_EQ(Shown(), ++expected) << what;
        frame(kRed, "Start");  // and back, itself a change
        EXPECT_EQ(Shown(), ++expected) << what;
    };
    frame(kWhite, "Start");
    EXPECT_EQ(Count(kRed, 0, 0, kWidth, kHeight), 0);
    changed("colour");
    frame(kRed, "Stars");
    changed("text");
    frame(kRed, nullptr);
    changed("a frame with fewer draws");
    device_->SetTransform(d3d::TS_WORLD, platform::MatrixTranslation(0.5f, 0, 0));
    frame(kRed, "Start");
    EXPECT_EQ(Pixel(150, 150), 0u) << "moved right";
    device_->SetTransform(d3d::TS_WORLD, platform::MatrixIdentity());
    changed("transform");
    std::vector<Vertex> green;
    PixelQuad(green, 100, 100, 200, 200, 0xFF00FF00);
    Fill(*vertices_, green.data(), green.size() * sizeof(Vertex));
    frame(kRed, "Start");
    EXPECT_EQ(Pixel(150, 150), 0x00FF00u);
    changed("the vertex bytes");
    frame(kRed, "Start");
    EXPECT_EQ(Shown(), expected) << "still again";

    // The window lost its picture (uncovered): the same frame is shown again, not drawn.
    window_->Uncover();
    frame(kRed, "Start");
    EXPECT_EQ(Shown(), expected + 1);
    frame(kRed, "Start");
    EXPECT_EQ(Shown(), expected + 1);
}

TEST_F(GlDeviceTest, TextDrawsInItsFacesCellsFromTheRectanglesCornerAndWrapsAtWords) {
    Open();
    std::unique_ptr<platform::Font> font;
    ASSERT_EQ(device_->CreateFontIndirectA({20, 0, 0, 0, 0, 0, 0, 0, 0, "any"}, font), kOk);
    device_->Clear(0, nullptr, d3d::CLEAR_TARGET, kBlack, 1, 0);
    // "ab cd" in a rectangle 4 boxes wide: a line for each word, boxes from the corner on.
    EXPECT_EQ(font->DrawTextA("ab cd", -1, {100, 50, 124, 500}, platform::dt::WORDBREAK, kRed), 40);
    const std::vector<uint32_t> pixels = BackBuffer();
    int wrong = 0;
    for (int y = 40; y < 100; ++y) {
        for (int x = 90; x < 140; ++x) {
            // Each line's boxes, a pixel in from every side of their cells.
            const int row = (y - 50) % 20, column = (x - 100) % kAdvance;
            const bool lit = y >= 50 && y < 90 && x >= 100 && x < 112 && row >= 1 && row < 19 &&
                             column >= 1 && column < kAdvance - 1;
            wrong += pixels[static_cast<size_t>(y) * kWidth + x] != (lit ? 0xFF0000u : 0u);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(Count(0xFF0000, 0, 0, kWidth, kHeight), 4 * 4 * 18) << "nothing drawn elsewhere";

    // Without word breaks one line; a count stops the text short, and so does its end.
    EXPECT_EQ(font->DrawTextA("ab cd", -1, {100, 200, 124, 500}, 0, kWhite), 20);
    EXPECT_EQ(font->DrawTextA("ab cd", 2, {100, 300, 124, 500}, 0, kWhite), 20);
    EXPECT_EQ(font->DrawTextA("ab", 50, {100, 400, 124, 500}, 0, kWhite), 20);
    EXPECT_EQ(Count(kWhite, 0, 200, kWidth, 220), 4 * 4 * 18);
    EXPECT_EQ(Count(kWhite, 0, 300, kWidth, 320), 2 * 4 * 18);
    EXPECT_EQ(Count(kWhite, 0, 400, kWidth, 420), 2 * 4 * 18);
    EXPECT_EQ(font->DrawTextA("", -1, {0, 0, 10, 10}, 0, kWhite), 0);
    // Text reaching past the back buffer is cut there, and far past a texture's size is not
    // rendered whole.
    EXPECT_EQ(font->DrawTextA("abc", -1, {kWidth - 6, kHeight - 10, kWidth, kHeight}, 0, kWhite),
              20);
    EXPECT_EQ(font->DrawTextA(std::string(200000, 'W').c_str(), -1, {0, 0, 100, 100}, 0, kWhite),
              20);
    std::string tall;
    for (int i = 0; i < 20000; ++i) {
        tall += "line\n";
    }
    EXPECT_EQ(font->DrawTextA(tall.c_str(), -1, {0, 0, 100, 100}, 0, kWhite), 20 * 20001)
        << "the height of every line, though a texture holds fewer";
    EXPECT_LT(device_->CreateFontIndirectA({0, 0, 0, 0, 0, 0, 0, 0, 0, "any"}, font), 0);
    EXPECT_EQ(font, nullptr);

    // A font outliving its device draws nothing and does not crash.
    ASSERT_EQ(device_->CreateFontIndirectA({20, 0, 0, 0, 0, 0, 0, 0, 0, "any"}, font), kOk);
    device_.reset();
    EXPECT_EQ(font->DrawTextA("Start", -1, {0, 0, 100, 100}, 0, kWhite), 0);
}

TEST_F(GlDeviceTest, ImagesComeOnlyFromSoundFilesAndOutliveALostContext) {
    Open();
    const auto file = std::filesystem::temp_directory_path() /
                      ("tavorin-gl-" + std::to_string(getpid()) + ".bmp");
    std::unique_ptr<platform::Texture> texture;
    const auto load = [&](const std::vector<uint8_t>& bytes) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return device_->CreateTextureFromFileExA(
            file.c_str(), d3d::X_DEFAULT, d3d::X_DEFAULT, d3d::X_DEFAULT, 0, d3d::FMT_UNKNOWN,
            d3d::POOL_MANAGED, d3d::X_DEFAULT, d3d::X_DEFAULT, kBlack, texture);
    };
    // A 2 x 2, 24-bit image: one black pixel (keyed out), three white.
    std::vector<uint8_t> good = {'B', 'M', 70, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0,  // file
                                 40,  0,   0,  0, 2, 0, 0, 0, 2,  0, 0,  0,        // size
                                 1,   0,   24, 0, 0, 0, 0, 0, 16, 0, 0,  0};       // format
    good.resize(54, 0);
    good.insert(good.end(), {0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0});
    EXPECT_LT(load({good.begin(), good.end() - 8}), 0) << "cut short";
    EXPECT_EQ(texture, nullptr);
    ASSERT_EQ(load(good), kOk);
    EXPECT_NE(texture, nullptr);
    std::filesystem::remove(file);
    EXPECT_LT(device_->CreateTextureFromFileExA(file.c_str(), 0, 0, 0, 0, 0, 1, 0, 0, 0, texture),
              0);
    EXPECT_EQ(texture, nullptr);
    ASSERT_EQ(load(good), kOk);
    std::filesystem::remove(file);

    window_->LoseContext();
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceNotReset);
    EXPECT_EQ(device_->Reset(GameParams()), kOk);
    texture.reset();  // its name is the new context's, deleted there
    device_.reset();
}

TEST_F(GlDeviceTest, RefusesDrawsAndLocksOutsideTheBuffersAndSettingsItCannotKeep) {
    Open();
    std::vector<Vertex> v;
    PixelQuad(v, 0, 0, 10, 10, kWhite);
    Upload(v);
    void* data = nullptr;
    EXPECT_LT(vertices_->Lock(0, 1000, &data, 0), 0);
    EXPECT_LT(vertices_->Lock(65, 0, &data, 0), 0);
    EXPECT_EQ(data, nullptr);
    // An index past the four vertices, more indices than the buffer holds, no index buffer.
    ASSERT_EQ(indices_->Lock(2, 2, &data, 0), kOk);
    std::memcpy(data, "\4\0", 2);
    indices_->Unlock();
    EXPECT_LT(Draw(1), 0);
    EXPECT_LT(device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0, 4, 3, 2), 0);
    EXPECT_LT(device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 1, 0, 4, 0, 1), 0)
        << "a base vertex past the end";
    indices_.reset();
    EXPECT_LT(device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0, 4, 0, 1), 0);
    std::unique_ptr<platform::VertexBuffer> huge;
    EXPECT_EQ(device_->CreateVertexBuffer(0xFFFFFFF0u, 0, 0x42, d3d::POOL_MANAGED, huge),
              platform::kOutOfMemory);
    EXPECT_EQ(huge, nullptr);
    // Part of the back buffer, or the stencil, it does not clear.
    const platform::Rect part{0, 0, 10, 10};
    EXPECT_LT(device_->Clear(1, &part, d3d::CLEAR_TARGET, kBlack, 1, 0), 0);
    EXPECT_LT(device_->Clear(0, nullptr, 4, kBlack, 1, 0), 0);
    // Only the back buffer the game asks for.
    platform::PresentParams other = GameParams();
    other.BackBufferFormat = 22;  // 32-bit
    EXPECT_LT(device_->Reset(other), 0);
}

}  // namespace
