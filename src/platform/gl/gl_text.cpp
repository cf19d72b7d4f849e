#include "platform/gl/gl_text.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gl/gl_api.h"
#include "platform/gl/gl_device.h"
#include "platform/gl/text_layout.h"

namespace platform::gl {

namespace {

constexpr int kMaxTextureSide = 8192;
constexpr size_t kMaxBlocks = 256;

uint64_t NewFaceId() {
    static uint64_t last = 0;  // one thread draws
    return ++last;
}

}  // namespace

TextFace::TextFace(int cellHeight) : cellHeight_(std::max(cellHeight, 1)), id_(NewFaceId()) {}

TextCache::~TextCache() {
    Clear();
}

void TextCache::ForgetGl() {
    blocks_.clear();
}

void TextCache::Clear() {
    for (auto& [key, block] : blocks_) {
        glDeleteTextures(1, &block.texture);
    }
    blocks_.clear();
}

const TextCache::Block* TextCache::Find(TextFace& face, std::string_view text, int wrapWidth) {
    ++uses_;
    if (Block* found = LookUp(face, text, wrapWidth)) {
        found->lastUse = uses_;
        return found;
    }
    MakeRoom();
    const std::vector<std::string> lines = LinesOf(face, text, wrapWidth);
    Block block = Measure(face, lines);
    block.texture = Upload(Rasterise(face, lines, block), block);
    block.lastUse = uses_;
    return &blocks_.emplace(Key{face.id(), wrapWidth, std::string(text)}, block).first->second;
}

TextCache::Block* TextCache::LookUp(const TextFace& face, std::string_view text, int wrapWidth) {
    const auto found = blocks_.find(KeyView{face.id(), wrapWidth, text});
    return found == blocks_.end() ? nullptr : &found->second;
}

void TextCache::MakeRoom() {
    if (blocks_.size() < kMaxBlocks) {
        return;
    }
    const auto oldest = std::min_element(blocks_.begin(), blocks_.end(), [](auto& a, auto& b) {
        return a.second.lastUse < b.second.lastUse;
    });
    glDeleteTextures(1, &oldest->second.texture);
    blocks_.erase(oldest);
}

std::vector<std::string> TextCache::LinesOf(TextFace& face, std::string_view text, int wrapWidth) {
    std::vector<std::string> lines =
        LayOutLines(text, wrapWidth, [&face](std::string_view line) { return face.Width(line); });
    // Only what a texture can hold is rendered: the rest lies off the back buffer anyway.
    for (std::string& line : lines) {
        line.resize(std::min(line.size(), face.Fit(line, kMaxTextureSide)));
    }
    return lines;
}

TextCache::Block TextCache::Measure(TextFace& face, const std::vector<std::string>& lines) {
    Block block;
    block.lineCount = static_cast<int>(lines.size());
    int width = 1;
    for (const std::string& line : lines) {
        width = std::max(width, face.Width(line));
    }
    block.width = std::min(width, kMaxTextureSide);
    block.height = std::clamp(face.cellHeight() * block.lineCount, 1, kMaxTextureSide);
    return block;
}

std::vector<uint8_t> TextCache::Rasterise(TextFace& face, const std::vector<std::string>& lines,
                                          const Block& block) {
    // Coverage only; the colour comes at drawing time.
    std::vector<uint8_t> coverage(static_cast<size_t>(block.width) * block.height, 0);
    const int step = face.cellHeight();
    for (size_t i = 0; i < lines.size(); ++i) {
        const int top = static_cast<int>(i) * step;
        if (lines[i].empty() || top >= block.height) {
            continue;
        }
        face.Draw(lines[i], coverage.data() + static_cast<size_t>(top) * block.width, block.width,
                  std::min(step, block.height - top));
    }
    return coverage;
}

unsigned TextCache::Upload(const std::vector<uint8_t>& coverage, const Block& block) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, block.width, block.height, 0, GL_RED, GL_UNSIGNED_BYTE,
                 coverage.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

int32_t GlFont::DrawTextA(const char* text, int32_t count, const Rect& rect, uint32_t format,
                          uint32_t colour) {
    GlDevice* device = link_->device;
    if (!device || lost_ || !text) {
        return 0;
    }
    return device->DrawTextBlock(*face_, text, count, rect, format, colour);
}

HResult GlFont::OnLostDevice() {
    lost_ = true;
    return kOk;
}

HResult GlFont::OnResetDevice() {
    lost_ = false;
    return kOk;
}

}  // namespace platform::gl
