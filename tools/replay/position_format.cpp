#include "replay/position_format.h"

#include <string>

namespace replay {

namespace {

int RowLength(const board::TileBoard& board, int row) {
    return row == board::kStockRow ? board.stockCount()
                                   : board.counts[static_cast<std::size_t>(row)];
}

std::string TilesJson(const board::TileBoard& board, int row) {
    std::string out = "[";
    for (int p = 0; p < RowLength(board, row); ++p) {
        const board::Tile tile = board.TileAt(row, p);
        out += p ? ",[" : "[";
        out += std::to_string(tile.first);
        out += ',';
        out += std::to_string(tile.second);
        out += ']';
    }
    out += ']';
    return out;
}

std::string TilesText(const board::TileBoard& board, int row) {
    std::string out;
    for (int p = 0; p < RowLength(board, row); ++p) {
        const board::Tile tile = board.TileAt(row, p);
        out += ' ';
        out += std::to_string(board::PipValue(tile.first));
        out += '-';
        out += std::to_string(board::PipValue(tile.second));
    }
    return out.empty() ? " (empty)" : out;
}

}  // namespace

std::string_view GameStateName(app::GameState gameState) {
    switch (gameState) {
        case app::Tutorial:
            return "Tutorial";
        case app::Menu:
            return "Menu";
        case app::NewGame:
            return "NewGame";
        case app::NewDeal:
            return "NewDeal";
        case app::CheckRow:
            return "CheckRow";
        case app::DealStock:
            return "DealStock";
        case app::Playing:
            return "Playing";
        default:
            return "unknown";
    }
}

std::string PositionJson(std::string_view key, const app::GameFlow& flow,
                         const board::TileBoard& board) {
    std::string out = "{\"key\":";
    if (key.empty()) {
        out += "null";
    } else {
        out += '"';
        out += key;
        out += '"';
    }
    out += ",\"gameState\":";
    out += std::to_string(static_cast<int32_t>(flow.GameState));
    out += ",\"currentRow\":";
    out += std::to_string(flow.currentRow);
    out += ",\"counts\":[";
    for (std::size_t i = 0; i < board.counts.size(); ++i) {
        out += i ? "," : "";
        out += std::to_string(board.counts[i]);
    }
    out += "],\"rows\":[";
    for (int row = 0; row < board::kTableRows; ++row) {
        out += row ? "," : "";
        out += TilesJson(board, row);
    }
    out += "],\"stock\":";
    out += TilesJson(board, board::kStockRow);
    out += '}';
    return out;
}

std::string PositionText(std::string_view key, const app::GameFlow& flow,
                         const board::TileBoard& board) {
    std::string out = "key: ";
    out += key.empty() ? std::string_view("(none)") : key;
    for (int row = 0; row < board::kTableRows; ++row) {
        out += "\nrow ";
        out += std::to_string(row);
        out += ':';
        out += TilesText(board, row);
    }
    out += "\nstock:";
    out += TilesText(board, board::kStockRow);
    out += "\ncounts:";
    for (int16_t count : board.counts) {
        out += ' ';
        out += std::to_string(count);
    }
    out += "\ncurrent row: ";
    out += std::to_string(flow.currentRow);
    out += "\nstate: ";
    out += GameStateName(flow.GameState);
    out += '\n';
    return out;
}

}  // namespace replay
