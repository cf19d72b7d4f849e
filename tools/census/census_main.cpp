// Decides the deal space shard by shard, resumably, and reports what the census holds.

#include <algorithm>
#include <iostream>
#include <thread>
#include <variant>

#include "census/census_folder.h"
#include "census/census_options.h"
#include "census/census_report.h"
#include "census/census_run.h"
#include "census/census_svg.h"
#include "census/census_tally.h"
#include "cli/tool_start.h"
#include "platform/console/terminal.h"
#include "platform/console/whole_files.h"
#include "solver/search.h"

namespace {

constexpr const char* kTool = "tavorin-census";

int Finish(int status) {
    if (!std::cout.flush()) {
        std::cerr << kTool << ": could not write the output\n";
        return std::max(status, 1);
    }
    return status;
}

std::variant<census::CensusFolder, int> OpenForReading(const std::string& dir) {
    auto opened = census::CensusFolder::ForReading(dir);
    if (const auto* problem = std::get_if<std::string>(&opened)) {
        std::cerr << kTool << ": " << *problem << "\n";
        return 2;
    }
    return std::move(std::get<census::CensusFolder>(opened));
}

int Report(const census::CensusOptions& options) {
    auto opened = OpenForReading(options.dir);
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    const auto tally =
        census::TallyCensus(std::get<census::CensusFolder>(opened), solver::kSolverVersion);
    std::cout << (options.json ? census::ReportJson(tally) + "\n" : census::ReportText(tally));
    for (const census::ShardProblem& p : tally.problems) {
        if (!p.fault.empty()) {
            std::cerr << kTool << ": " << p.file << " not counted: " << p.fault << "\n";
        }
    }
    if (!options.svg.empty()) {
        const std::string svg = census::CensusSvg(tally);
        const auto error = platform::WriteWholeFile(
            options.svg, std::span(reinterpret_cast<const uint8_t*>(svg.data()), svg.size()));
        if (!error.empty()) {
            std::cerr << kTool << ": could not write " << options.svg << ": " << error << "\n";
            return Finish(2);
        }
    }
    return Finish(tally.Sound() ? 0 : 1);
}

int List(const census::CensusOptions& options) {
    auto opened = OpenForReading(options.dir);
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    const census::CensusFolder& folder = std::get<census::CensusFolder>(opened);
    const census::CensusSettings& s = folder.settings();
    // The first deal at or after --from.
    uint64_t deal = 0;
    if (options.listFrom && *options.listFrom > s.from) {
        deal = (*options.listFrom - s.from + s.step - 1) / s.step;
    }
    const uint64_t end = std::min(s.count, deal + options.listCount.value_or(s.count));
    int status = 0;
    while (deal < end) {
        const uint64_t index = deal / s.shardSize;
        const census::ShardCheck check = folder.Check(index, solver::kSolverVersion);
        const uint64_t shardEnd = std::min(end, s.FirstDealOf(index) + s.DealsIn(index));
        if (!check.shard) {
            std::cerr << kTool << ": " << census::ShardFileName(index) << " "
                      << (check.fault.empty() ? "is missing" : "not counted: " + check.fault)
                      << "; its deals are not listed\n";
            status = 1;
            deal = shardEnd;
            continue;
        }
        for (; deal < shardEnd; ++deal) {
            std::cout << census::ListLine(s.SecondOf(deal),
                                          check.shard->deals[deal - s.FirstDealOf(index)],
                                          options.json)
                      << '\n';
        }
    }
    return Finish(status);
}

int Run(const census::CensusOptions& options) {
    census::RunRequest request;
    request.census = options.census;
    request.dir = options.dir;
    request.threads =
        options.threads != 0 ? options.threads : std::max(std::thread::hardware_concurrency(), 1u);
    request.shard = options.shard;
    request.progress = platform::StandardErrorIsTerminal();
    return census::RunCensus(request, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    auto started = cli::StartTool<census::CensusOptions>(kTool, census::kUsage, argc, argv,
                                                         census::ParseCensusOptions);
    if (const int* status = std::get_if<int>(&started)) {
        return *status;
    }
    const census::CensusOptions& options = std::get<census::CensusOptions>(started);
    switch (options.command) {
        case census::Command::Run:
            return Run(options);
        case census::Command::Report:
            return Report(options);
        case census::Command::List:
            return List(options);
    }
    return 2;
}
