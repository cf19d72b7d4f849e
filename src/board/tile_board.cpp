#include "board/tile_board.h"

#include <algorithm>
#include <cassert>

namespace board {

namespace {

std::size_t At(int half) {
    return static_cast<std::size_t>(half);
}

}  // namespace

void TileBoard::LayOut(const WorkingList& working) {
    ResetCounts();
    halves.fill(0);
    for (int row = 0; row < kTableRows; ++row) {
        const auto from = working.begin() + 2 * kOpeningRowLength * row;
        std::copy(from, from + 2 * kOpeningRowLength, halves.begin() + HalfIndex(row, 0));
    }
    const auto stockFrom = working.begin() + 2 * kOpeningRowLength * kTableRows;
    std::copy(stockFrom, working.end(), halves.begin() + kStockFirstHalf);
}

void TileBoard::CheckCurrentRow(int32_t& currentRow) {
    currentRow = NextLiveRow(counts, std::max(currentRow, 0) - 1);  // this row or a later one
    if (currentRow < kTableRows) {
        CheckRowTail(currentRow);
    }
}

bool TailQualifies(std::span<const FaceCode, 6> tail) {
    std::array<int, 7> valueCounts{};
    for (FaceCode code : tail) {
        ++valueCounts[At(PipValue(code))];
    }
    int tripleCount = 0;
    int leftoverPips = 0;
    for (int value = 1; value <= 6; ++value) {
        const int count = valueCounts[At(value)];
        if (count >= 3) {
            ++tripleCount;
            leftoverPips += value * (count - 3);
        } else {
            leftoverPips += value * count;
        }
    }
    return tripleCount == 2 || (tripleCount >= 1 && leftoverPips >= 9);
}

void TileBoard::CheckRowTail(int32_t row) {
    assert(row >= 0 && row < kTableRows);
    if (row < 0 || row >= kTableRows) {
        return;  // only table rows have tails; never read the stock's count as one
    }
    const int n = counts[At(row)];
    if (n < 3) {
        return;
    }
    const int firstHalf = HalfIndex(row, n - 3);
    if (TailQualifies(std::span<const FaceCode, 6>(halves.data() + firstHalf, 6))) {
        MoveToStock(row, firstHalf, HalfIndex(row, n));
    }
}

void TileBoard::MoveToStock(int32_t row, int32_t firstHalf, int32_t endHalf) {
    const int s = stockCount();
    const int moved = endHalf - firstHalf;
    // The 32 tiles are conserved, so a row holding three tiles leaves room for them in
    // the stock; a call outside a table row's filled tail would break that, so it is refused.
    const bool inRow = row >= 0 && row < kTableRows && firstHalf >= HalfIndex(row, 0) &&
                       endHalf <= HalfIndex(row, counts[At(row)]) && moved > 0;
    assert(inRow && HalfIndex(kStockRow, s) + moved <= kHalfCount);
    if (!inRow || HalfIndex(kStockRow, s) + moved > kHalfCount) {
        return;
    }
    int to = HalfIndex(kStockRow, s);
    for (int h = firstHalf; h < endHalf; ++h) {
        halves[At(to++)] = halves[At(h)];
        halves[At(h)] = 0;
    }
    stockCount() = static_cast<int16_t>(s + 3);
    counts[At(row)] = static_cast<int16_t>(counts[At(row)] - 3);
    if (counts[At(row)] <= 0) {
        counts[At(row)] = 0;
        --liveRows();
    }
}

void TileBoard::DealFromStock() {
    const int stock = stockCount();
    // liveRows counts the rows that hold tiles; counting them here keeps a deal from
    // dropping stock tiles even if the two ever disagreed.
    const int live = static_cast<int>(std::count_if(counts.begin(), counts.begin() + kTableRows,
                                                    [](int16_t count) { return count > 0; }));
    assert(live == liveRows());
    const int n = std::min(live, stock);
    if (n <= 0) {
        return;
    }
    int given = 0;
    for (int row = 0; row < kTableRows && given < n; ++row) {
        const int count = counts[At(row)];
        if (count == 0) {
            continue;
        }
        // Conservation keeps a live row below 32 tiles while the stock holds one.
        assert(count < kPositionsPerRow);
        if (count >= kPositionsPerRow) {
            break;
        }
        const int from = HalfIndex(kStockRow, n - 1 - given);
        const int to = HalfIndex(row, count);
        halves[At(to)] = halves[At(from)];
        halves[At(to + 1)] = halves[At(from + 1)];
        counts[At(row)] = static_cast<int16_t>(count + 1);
        ++given;
    }
    assert(given == n);
    const auto stockBegin = halves.begin() + kStockFirstHalf;
    std::copy(stockBegin + 2 * n, stockBegin + 2 * stock, stockBegin);
    stockCount() = static_cast<int16_t>(stock - n);
}

}  // namespace board
