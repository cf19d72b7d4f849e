#include "solve/deal_report.h"

#include <algorithm>
#include <cstdio>

#include "cli/number_text.h"

namespace solve {

using cli::Fixed;
using cli::Grouped;

std::string JsonLine(const DealResult& r) {
    std::string line = "{\"time\":" + std::to_string(r.time);
    if (!r.replayCleared) {
        line += ",\"result\":\"unverified\"";
    } else if (r.won) {
        line += ",\"result\":\"won\",\"length\":" + std::to_string(r.keys.size()) + ",\"keys\":\"" +
                r.keys + "\"";
    } else {
        line += ",\"result\":\"lost\"";
    }
    return line + ",\"states\":" + std::to_string(r.states) + ",\"ms\":" + Fixed(r.ms, 1) + "}";
}

std::string TextLine(const DealResult& r) {
    const std::string figures = " (" + Grouped(r.states) + " positions, " + Fixed(r.ms, 1) + " ms)";
    if (!r.replayCleared) {
        return std::to_string(r.time) + ": no answer, the keys found did not clear the board" +
               figures;
    }
    if (r.won) {
        return std::to_string(r.time) + ": won in " + std::to_string(r.keys.size()) +
               " keys after S: " + r.keys + figures;
    }
    return std::to_string(r.time) + ": lost, no way to empty the table" + figures;
}

void RangeSummary::Add(const DealResult& r) {
    first_ = deals_ == 0 ? r.time : std::min(first_, r.time);
    last_ = deals_ == 0 ? r.time : std::max(last_, r.time);
    ++deals_;
    checksAloneWin_ += r.checksAloneWin ? 1 : 0;
    if (!r.replayCleared) {
        ++unverified_;
    } else if (r.won) {
        ++won_;
        lengths_.push_back(r.keys.size());
    }
}

RangeSummary::Lengths RangeSummary::WinLengths() const {
    if (lengths_.empty()) {
        return {};
    }
    std::vector<std::size_t> sorted = lengths_;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return {sorted.front(), sorted[(n - 1) / 2], sorted[(9 * n + 9) / 10 - 1], sorted.back()};
}

std::string RangeSummary::Text(bool quick, double wallSeconds, double processorSeconds,
                               unsigned threads) const {
    const uint64_t lost = deals_ - won_ - unverified_;
    std::string text = Grouped(deals_) + (deals_ == 1 ? " deal" : " deals");
    text += deals_ == 1 ? " (" + std::to_string(first_) + ")"
                        : " (" + std::to_string(first_) + " to " + std::to_string(last_) + ")";
    text += ": " + Grouped(won_) + " won, " + Grouped(lost) + " lost";
    if (unverified_ != 0) {
        text += ", " + Grouped(unverified_) + " unanswered";
    }
    text += "\n";
    if (won_ != 0) {
        const Lengths l = WinLengths();
        text += quick ? "wins found: " : "shortest wins: ";
        text += std::to_string(l.min) + " to " + std::to_string(l.max) + " keys, median " +
                std::to_string(l.median) + ", 90th percentile " + std::to_string(l.p90) + "\n";
    }
    text += "pressing only C wins " + Grouped(checksAloneWin_) + "\n";
    text += Fixed(wallSeconds, 1) + " s (" + Fixed(processorSeconds, 1) + " s of processor time, " +
            std::to_string(threads) + (threads == 1 ? " thread)\n" : " threads)\n");
    return text;
}

std::string RangeSummary::Json(double wallSeconds, double processorSeconds) const {
    const Lengths l = WinLengths();
    return "{\"deals\":" + std::to_string(deals_) + ",\"won\":" + std::to_string(won_) +
           ",\"lost\":" + std::to_string(deals_ - won_ - unverified_) +
           ",\"unverified\":" + std::to_string(unverified_) + ",\"min\":" + std::to_string(l.min) +
           ",\"median\":" + std::to_string(l.median) + ",\"p90\":" + std::to_string(l.p90) +
           ",\"max\":" + std::to_string(l.max) +
           ",\"checks_only\":" + std::to_string(checksAloneWin_) +
           ",\"seconds\":" + Fixed(wallSeconds, 2) +
           ",\"processor_seconds\":" + Fixed(processorSeconds, 2) + "}";
}

}  // namespace solve
