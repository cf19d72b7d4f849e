#include "census/census_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cli/number_text.h"

namespace census {

using cli::Grouped;

namespace {

constexpr double kWidth = 960;
constexpr double kLeft = 90;
constexpr double kRight = 930;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string Text(double x, double y, const std::string& words, const char* anchor = "middle",
                 int size = 13) {
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor +
           "\" font-size=\"" + std::to_string(size) + "\">" + words + "</text>\n";
}

std::string Line(double x1, double y1, double x2, double y2, const char* style) {
    return "<line x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" + Number(x2) +
           "\" y2=\"" + Number(y2) + "\" " + style + "/>\n";
}

// A round step for about `ticks` ticks over `span`.
double TickStep(double span, int ticks) {
    const double raw = span / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * power >= raw) {
            return m * power;
        }
    }
    return 10 * power;
}

// Shortest wins by length, top panel.
std::string HistogramPanel(const CensusTally& t, double top, double bottom) {
    unsigned shortest = 0, longest = 0;
    uint64_t most = 0;
    for (unsigned length = 1; length < t.lengths.size(); ++length) {
        if (t.lengths[length] != 0) {
            shortest = shortest == 0 ? length : shortest;
            longest = length;
            most = std::max(most, t.lengths[length]);
        }
    }
    std::string svg = Text(kLeft, top - 12, "Shortest wins by length (keys after S)", "start", 15);
    if (most == 0) {
        return svg + Text((kLeft + kRight) / 2, (top + bottom) / 2, "no wins yet");
    }
    const double slot = (kRight - kLeft) / (longest - shortest + 1);
    const double step = TickStep(static_cast<double>(most), 5);
    const double scaleTop = std::ceil(static_cast<double>(most) / step) * step;
    for (double v = 0; v <= scaleTop + step / 2; v += step) {
        const double y = bottom - (bottom - top) * v / scaleTop;
        svg += Line(kLeft, y, kRight, y, "stroke=\"#dddddd\"");
        svg += Text(kLeft - 6, y + 4, Grouped(static_cast<uint64_t>(v)), "end", 11);
    }
    for (unsigned length = shortest; length <= longest; ++length) {
        const double x = kLeft + slot * (length - shortest);
        const double h = (bottom - top) * static_cast<double>(t.lengths[length]) / scaleTop;
        svg += "<rect x=\"" + Number(x + slot * 0.1) + "\" y=\"" + Number(bottom - h) +
               "\" width=\"" + Number(slot * 0.8) + "\" height=\"" + Number(h) +
               "\" fill=\"#3b6fb6\"/>\n";
        const unsigned labelEvery = longest - shortest < 30 ? 1 : 5;
        if (length % labelEvery == 0 || length == shortest) {
            svg += Text(x + slot / 2, bottom + 15,
                        length > outcome::kLongestLength ? ">125" : std::to_string(length),
                        "middle", 11);
        }
    }
    const LengthFigures l = WinLengths(t);
    const double median = kLeft + slot * (l.median - shortest + 0.5);
    svg += Line(median, top, median, bottom, "stroke=\"#c0392b\" stroke-dasharray=\"4 3\"");
    svg += Text(median + 4, top + 12, "median " + std::to_string(l.median), "start", 12);
    return svg;
}

// Won share per stretch of the range, with its interval, bottom panel.
std::string SharePanel(const CensusTally& t, double top, double bottom) {
    std::string svg =
        Text(kLeft, top - 12, "Won share along the range (95 % Wilson interval)", "start", 15);
    double low = 1, high = 0;
    for (const Stretch& s : t.along) {
        if (s.decided != 0) {
            const Interval w = WilsonInterval(s.won, s.decided);
            low = std::min(low, w.low);
            high = std::max(high, w.high);
        }
    }
    if (low > high) {
        return svg + Text((kLeft + kRight) / 2, (top + bottom) / 2, "no deal decided yet");
    }
    const double step = TickStep(std::max(high - low, 0.01), 4);
    low = std::max(0.0, std::floor(low / step) * step);
    high = std::min(1.0, std::ceil(high / step) * step);
    if (high <= low) {
        high = std::min(1.0, low + step);
        low = high - step;
    }
    const auto y = [&](double share) {
        return bottom - (bottom - top) * (share - low) / (high - low);
    };
    for (double v = low; v <= high + step / 2; v += step) {
        svg += Line(kLeft, y(v), kRight, y(v), "stroke=\"#dddddd\"");
        char label[16];
        std::snprintf(label, sizeof label, "%.*f %%", step < 0.01 ? 1 : 0, 100 * v);
        svg += Text(kLeft - 6, y(v) + 4, label, "end", 11);
    }
    const double slot = (kRight - kLeft) / static_cast<double>(t.along.size());
    std::string points;
    for (std::size_t i = 0; i < t.along.size(); ++i) {
        const Stretch& s = t.along[i];
        if (s.decided == 0) {
            continue;
        }
        const double x = kLeft + slot * (static_cast<double>(i) + 0.5);
        const Interval w = WilsonInterval(s.won, s.decided);
        svg += Line(x, y(w.low), x, y(w.high), "stroke=\"#8fb3e0\" stroke-width=\"3\"");
        const double share = static_cast<double>(s.won) / static_cast<double>(s.decided);
        points += Number(x) + "," + Number(y(share)) + " ";
    }
    svg += "<polyline points=\"" + points +
           "\" fill=\"none\" stroke=\"#3b6fb6\" stroke-width=\"2\"/>\n";
    if (t.won + t.lost != 0) {
        const double all = static_cast<double>(t.won) / static_cast<double>(t.won + t.lost);
        svg += Line(kLeft, y(all), kRight, y(all), "stroke=\"#c0392b\" stroke-dasharray=\"4 3\"");
    }
    svg += Text(kLeft, bottom + 16, "second " + std::to_string(t.along.front().firstSecond),
                "start", 11);
    svg += Text(kRight, bottom + 16,
                "second " + std::to_string(t.settings.SecondOf(t.settings.count - 1)), "end", 11);
    return svg;
}

}  // namespace

std::string CensusSvg(const CensusTally& t) {
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"960\" height=\"640\" "
        "viewBox=\"0 0 960 640\" font-family=\"DejaVu Sans, sans-serif\">\n"
        "<rect width=\"960\" height=\"640\" fill=\"white\"/>\n";
    std::string title =
        "Tavorin census: " + Grouped(t.deals) + " deals, " + Grouped(t.won) + " won";
    if (t.won + t.lost != 0) {
        const Interval w = WilsonInterval(t.won, t.won + t.lost);
        char share[96];
        std::snprintf(share, sizeof share, " (%.2f %%, 95 %% interval %.2f to %.2f %%)",
                      100.0 * static_cast<double>(t.won) / static_cast<double>(t.won + t.lost),
                      100 * w.low, 100 * w.high);
        title += share;
    }
    svg += Text(kWidth / 2, 28, title, "middle", 17);
    svg += HistogramPanel(t, 80, 340);
    svg += SharePanel(t, 410, 600);
    return svg + "</svg>\n";
}

}  // namespace census
