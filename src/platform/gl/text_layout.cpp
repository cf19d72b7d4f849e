#include "platform/gl/text_layout.h"

namespace platform::gl {

namespace {

void WrapParagraph(std::string_view paragraph, int wrapWidth,
                   const std::function<int(std::string_view)>& measure,
                   std::vector<std::string>& lines) {
    std::string line;
    size_t pos = 0;
    while (pos < paragraph.size()) {
        // The next word with the spaces before it.
        size_t start = pos;
        while (pos < paragraph.size() && paragraph[pos] == ' ') {
            ++pos;
        }
        while (pos < paragraph.size() && paragraph[pos] != ' ') {
            ++pos;
        }
        const std::string_view piece = paragraph.substr(start, pos - start);
        if (line.empty()) {
            line.assign(piece);
            continue;
        }
        std::string candidate = line;
        candidate.append(piece);
        if (measure(candidate) <= wrapWidth) {
            line = std::move(candidate);
            continue;
        }
        lines.push_back(std::move(line));
        // The spaces at a break belong to neither line.
        const size_t word = piece.find_first_not_of(' ');
        line.assign(word == std::string_view::npos ? std::string_view{} : piece.substr(word));
    }
    lines.push_back(std::move(line));
}

}  // namespace

std::vector<std::string> LayOutLines(std::string_view text, int wrapWidth,
                                     const std::function<int(std::string_view)>& measure) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t end = text.find('\n', start);
        std::string_view paragraph = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') {
            paragraph.remove_suffix(1);
        }
        if (wrapWidth < 0) {
            lines.emplace_back(paragraph);
        } else {
            WrapParagraph(paragraph, wrapWidth, measure, lines);
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace platform::gl
