#include "app/grid/memory_grid.h"

#include <algorithm>

namespace velmora {

MemoryGrid::MemoryGrid(int columns, int rows, int char_width)
    : cells_(static_cast<std::size_t>(std::max(rows, 1)),
             std::vector<std::string>(static_cast<std::size_t>(std::max(columns, 0)))),
      widths_(static_cast<std::size_t>(std::max(columns, 0)), kDefaultColumnWidth),
      char_width_(char_width),
      selected_(RowCount() > 1 ? 1 : 0) {}

void MemoryGrid::SetRowCount(int rows) {
    cells_.resize(static_cast<std::size_t>(std::max(rows, 1)),
                  std::vector<std::string>(widths_.size()));
    selected_ = std::min(selected_, RowCount() - 1);
}

bool MemoryGrid::Inside(int row, int column) const {
    return row >= 0 && row < RowCount() && column >= 0 && column < ColumnCount();
}

std::string MemoryGrid::Cell(int row, int column) const {
    if (!Inside(row, column)) {
        return {};
    }
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void MemoryGrid::SetCell(int row, int column, std::string_view text) {
    if (Inside(row, column)) {
        cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
    }
}

void MemoryGrid::SetSelectedRow(int row) {
    if (row >= 0 && row < RowCount()) {
        selected_ = row;
    }
}

int MemoryGrid::ColumnWidth(int column) const {
    if (column < 0 || column >= ColumnCount()) {
        return 0;
    }
    return widths_[static_cast<std::size_t>(column)];
}

void MemoryGrid::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < ColumnCount()) {
        widths_[static_cast<std::size_t>(column)] = std::max(width, 0);
    }
}

int MemoryGrid::TextWidth(std::string_view text) const {
    // Count the bytes that start a character: all but UTF-8 continuation bytes.
    const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    // Kept far below the int range, so that callers may add margins to it.
    constexpr long long kLimit = 1 << 24;
    return static_cast<int>(
        std::min<long long>(characters * static_cast<long long>(char_width_), kLimit));
}

std::vector<std::string> MemoryGrid::Row(int row) const {
    if (row < 0 || row >= RowCount()) {
        return {};
    }
    return cells_[static_cast<std::size_t>(row)];
}

}  // namespace velmora
