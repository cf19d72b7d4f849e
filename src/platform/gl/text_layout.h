#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::gl {

// Splits text into the lines it is drawn as: at every line break, and, when `wrapWidth` is
// not negative, at the word boundaries that keep each line within it (a word wider than the
// whole width keeps a line to itself). `measure` gives a string's width in pixels.
std::vector<std::string> LayOutLines(std::string_view text, int wrapWidth,
                                     const std::function<int(std::string_view)>& measure);

}  // namespace platform::gl
