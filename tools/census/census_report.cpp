#include "census/census_report.h"

#include <algorithm>
#include <cstdio>

#include "cli/number_text.h"

namespace census {

using cli::Fixed;
using cli::Grouped;

namespace {

std::string LengthName(unsigned length) {
    return length > outcome::kLongestLength ? "over 125" : std::to_string(length);
}

std::string Percent(double share) {
    return Fixed(100 * share, 2) + " %";
}

// A JSON string of a file name or fault: quotes, backslashes and controls escaped.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string Histogram(const CensusTally& t) {
    uint64_t most = 1;
    for (const uint64_t count : t.lengths) {
        most = std::max(most, count);
    }
    std::string text;
    for (unsigned length = 1; length < t.lengths.size(); ++length) {
        if (t.lengths[length] == 0) {
            continue;
        }
        char row[64];
        std::snprintf(row, sizeof row, "  %8s keys %12s  ", LengthName(length).c_str(),
                      Grouped(t.lengths[length]).c_str());
        text += row + std::string((t.lengths[length] * 40 + most - 1) / most, '#') + "\n";
    }
    return text;
}

std::string Problems(const CensusTally& t) {
    std::string text;
    for (const ShardProblem& p : t.problems) {
        text += p.file + ": " + (p.fault.empty() ? "missing" : "not counted: " + p.fault) + "\n";
    }
    for (const std::string& name : t.strangers) {
        text += name + ": not counted: no shard of this census has that name\n";
    }
    return text;
}

}  // namespace

std::string ReportText(const CensusTally& t) {
    const CensusSettings& s = t.settings;
    std::string text = "census of " + Grouped(s.count) + " deals: seconds " +
                       std::to_string(s.from) + " to " + std::to_string(s.SecondOf(s.count - 1));
    text += s.step == 1 ? "" : ", every " + Grouped(s.step) + " seconds";
    text += ", in " + Grouped(s.Shards()) + " shards of " + Grouped(s.shardSize) + "\n";
    text += "covered: " + Grouped(t.deals) + " deals, " + Grouped(t.complete) + " of " +
            Grouped(s.Shards()) + " shards complete\n";
    text += "won " + Grouped(t.won) + ", lost " + Grouped(t.lost) + ", undecided " +
            Grouped(t.undecided) + "\n";
    if (t.won + t.lost != 0) {
        const Interval w = WilsonInterval(t.won, t.won + t.lost);
        text += "won share of the decided deals: " +
                Percent(static_cast<double>(t.won) / static_cast<double>(t.won + t.lost)) +
                " (95 % Wilson interval " + Percent(w.low) + " to " + Percent(w.high) + ")\n";
    }
    text += "pressing only C wins " + Grouped(t.checksAloneWin) + "\n";
    if (t.won != 0) {
        const LengthFigures l = WinLengths(t);
        text += "shortest wins after S: " + LengthName(l.min) + " to " + LengthName(l.max) +
                " keys, median " + LengthName(l.median) + ", 90th percentile " + LengthName(l.p90) +
                ", 99th percentile " + LengthName(l.p99) + "\n";
        text += "shortest wins by length:\n" + Histogram(t);
        text += "the longest shortest wins:\n";
        for (const LongWin& w : t.longest) {
            text += "  " + std::to_string(w.second) + ": " + LengthName(w.length) + " keys\n";
        }
    }
    if (t.leftovers != 0) {
        text += Grouped(t.leftovers) + " temporary files of stopped runs, never counted\n";
    }
    return text + Problems(t);
}

std::string ReportJson(const CensusTally& t) {
    const CensusSettings& s = t.settings;
    std::string json = "{\"deals\":" + std::to_string(t.deals) +
                       ",\"won\":" + std::to_string(t.won) + ",\"lost\":" + std::to_string(t.lost) +
                       ",\"undecided\":" + std::to_string(t.undecided);
    json += ",\"census\":{\"from\":" + std::to_string(s.from) +
            ",\"step\":" + std::to_string(s.step) + ",\"count\":" + std::to_string(s.count) +
            ",\"shard_size\":" + std::to_string(s.shardSize) + "}";
    json +=
        ",\"shards\":" + std::to_string(s.Shards()) + ",\"complete\":" + std::to_string(t.complete);
    const Interval w = WilsonInterval(t.won, t.won + t.lost);
    const double share =
        t.won + t.lost == 0 ? 0 : static_cast<double>(t.won) / static_cast<double>(t.won + t.lost);
    json += ",\"won_share\":" + Fixed(share, 6) + ",\"wilson_95\":[" + Fixed(w.low, 6) + "," +
            Fixed(w.high, 6) + "]";
    json += ",\"checks_only\":" + std::to_string(t.checksAloneWin);
    const LengthFigures l = WinLengths(t);
    json += ",\"lengths\":{\"min\":" + std::to_string(l.min) +
            ",\"median\":" + std::to_string(l.median) + ",\"p90\":" + std::to_string(l.p90) +
            ",\"p99\":" + std::to_string(l.p99) + ",\"max\":" + std::to_string(l.max) + "}";
    json += ",\"histogram\":{";
    bool first = true;
    for (unsigned length = 1; length < t.lengths.size(); ++length) {
        if (t.lengths[length] != 0) {
            json += (first ? "\"" : ",\"") + std::to_string(length) +
                    "\":" + std::to_string(t.lengths[length]);
            first = false;
        }
    }
    json += "},\"longest\":[";
    for (std::size_t i = 0; i < t.longest.size(); ++i) {
        json += (i ? ",{\"time\":" : "{\"time\":") + std::to_string(t.longest[i].second) +
                ",\"length\":" + std::to_string(t.longest[i].length) + "}";
    }
    json += "],\"redo\":[";
    for (std::size_t i = 0; i < t.problems.size(); ++i) {
        json += i ? "," : "";
        json += std::to_string(t.problems[i].index);
    }
    json += "],\"not_counted\":[";
    first = true;
    for (const ShardProblem& p : t.problems) {
        if (!p.fault.empty()) {
            json += (first ? "{\"file\":" : ",{\"file\":") + Quoted(p.file) +
                    ",\"fault\":" + Quoted(p.fault) + "}";
            first = false;
        }
    }
    for (const std::string& name : t.strangers) {
        json += (first ? "{\"file\":" : ",{\"file\":") + Quoted(name) +
                ",\"fault\":\"no shard of this census has that name\"}";
        first = false;
    }
    return json + "],\"leftovers\":" + std::to_string(t.leftovers) + "}";
}

std::string ListLine(uint32_t second, uint8_t byte, bool json) {
    const DealByte deal{byte};
    const std::string time = std::to_string(second);
    switch (deal.Outcome()) {
        case DealOutcome::Lost:
            return json ? "{\"time\":" + time + ",\"result\":\"lost\"}"
                        : time + ": lost, no way to empty the table";
        case DealOutcome::Undecided:
            return json ? "{\"time\":" + time + ",\"result\":\"undecided\"}" : time + ": undecided";
        case DealOutcome::Won:
            break;
    }
    if (deal.Length() == 0) {
        return json ? "{\"time\":" + time + ",\"result\":\"won\",\"length\":null}"
                    : time + ": won in over 125 keys after S";
    }
    const std::string length = std::to_string(deal.Length());
    return json ? "{\"time\":" + time + ",\"result\":\"won\",\"length\":" + length + "}"
                : time + ": won in " + length + " keys after S";
}

}  // namespace census
