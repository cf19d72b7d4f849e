#include "platform/web/canvas_faces.h"

#include <climits>
#include <string>

#include "platform/web/web_page.h"

namespace platform::web {

namespace {

constexpr int32_t kMaxHeight = 2048;
constexpr int32_t kDefaultHeight = 16;
constexpr uint32_t kBoldWeight = 600;

}  // namespace

int CanvasFace::Width(std::string_view line) {
    return page::TextWidth(font_, std::string(line).c_str());
}

size_t CanvasFace::Fit(std::string_view line, int width) {
    const int bytes = page::TextFit(font_, std::string(line).c_str(), width);
    return bytes < 0 ? 0 : static_cast<size_t>(bytes);
}

void CanvasFace::Draw(std::string_view line, uint8_t* coverage, int columns, int rows) {
    page::DrawText(font_, std::string(line).c_str(), coverage, columns, rows);
}

std::shared_ptr<gl::TextFace> CanvasFaces::Open(const FontDesc& desc) {
    // A positive height is the cell's, a negative one the characters' (the em square).
    int32_t height = desc.Height == 0 ? kDefaultHeight : desc.Height;
    const bool cellHeight = height > 0;
    if (height == INT32_MIN || (height < 0 ? -height : height) > kMaxHeight) {
        return nullptr;
    }
    height = height < 0 ? -height : height;
    const bool bold = desc.Weight >= kBoldWeight;
    const bool italic = desc.Italic != 0;
    const auto key = std::make_tuple(cellHeight ? height : -height, bold, italic);
    if (auto found = faces_.find(key); found != faces_.end()) {
        return found->second;
    }
    int step = 0;
    const int font = page::OpenFont(height, cellHeight, bold, italic, step);
    auto face = font > 0 ? std::make_shared<CanvasFace>(font, step) : nullptr;
    faces_.emplace(key, face);
    return face;
}

}  // namespace platform::web
