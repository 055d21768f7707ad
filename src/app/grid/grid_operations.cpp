#include "app/grid/grid_operations.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace velmora {
namespace {

// Number of texts that fit into the grid's columns; the rest have no cell.
int WritableCount(const StringGrid& grid, const std::vector<std::string>& texts) {
    return std::min(static_cast<int>(texts.size()), grid.ColumnCount());
}

void WriteRow(StringGrid& grid, int row, const std::vector<std::string>& texts, bool keep_marked) {
    const int count = WritableCount(grid, texts);
    for (int column = 0; column < count; ++column) {
        const std::string& text = texts[static_cast<std::size_t>(column)];
        if (keep_marked && text == kKeepCell) {
            continue;
        }
        grid.SetCell(row, column, text);
    }
}

void ClearRow(StringGrid& grid, int row) {
    for (int column = 0; column < grid.ColumnCount(); ++column) {
        grid.SetCell(row, column, "");
    }
}

// Widens the columns that are narrower than the texts written into them.
void FitColumns(StringGrid& grid, const std::vector<std::string>& texts, bool keep_marked) {
    const int count = WritableCount(grid, texts);
    for (int column = 0; column < count; ++column) {
        const std::string& text = texts[static_cast<std::size_t>(column)];
        if (keep_marked && text == kKeepCell) {
            continue;
        }
        const int width = grid.TextWidth(text);
        if (grid.ColumnWidth(column) < width) {
            grid.SetColumnWidth(column, width + kColumnTextMargin);
        }
    }
}

// The row that a new data row goes into: row 1 of an empty grid, which is
// enabled, or a new row at the bottom.
int NewDataRow(StringGrid& grid) {
    if (!grid.Enabled()) {
        grid.SetEnabled(true);
        if (grid.RowCount() < 2) {
            grid.SetRowCount(2);
        }
        return 1;
    }
    const int row = grid.RowCount();
    grid.SetRowCount(row + 1);
    return row;
}

bool HasSelectedDataRow(const StringGrid& grid) {
    const int row = grid.SelectedRow();
    return row >= 1 && row < grid.RowCount();
}

}  // namespace

void SetGridHeader(StringGrid& grid, const std::vector<std::string>& texts, bool auto_width) {
    grid.SetRowCount(2);
    ClearRow(grid, 0);
    ClearRow(grid, 1);
    WriteRow(grid, 0, texts, false);
    if (auto_width) {
        const int count = WritableCount(grid, texts);
        for (int column = 0; column < count; ++column) {
            grid.SetColumnWidth(column, grid.TextWidth(texts[static_cast<std::size_t>(column)]) +
                                            kColumnTextMargin);
        }
    }
    grid.SetEnabled(false);
}

int AppendGridRow(StringGrid& grid, const std::vector<std::string>& texts, bool auto_width) {
    const int row = NewDataRow(grid);
    WriteRow(grid, row, texts, false);
    if (auto_width) {
        FitColumns(grid, texts, false);
    }
    return row;
}

int PutGridRowByKey(StringGrid& grid, int key_column, const std::vector<std::string>& texts) {
    const std::string key = key_column >= 0 && key_column < static_cast<int>(texts.size())
                                ? texts[static_cast<std::size_t>(key_column)]
                                : std::string();
    int target = 0;
    // A key column outside the grid matches no row.
    if (grid.Enabled() && key_column >= 0 && key_column < grid.ColumnCount()) {
        for (int row = 1; row < grid.RowCount(); ++row) {
            if (grid.Cell(row, key_column) == key) {
                target = row;
                break;
            }
        }
    }
    if (target == 0) {
        target = NewDataRow(grid);
    }
    WriteRow(grid, target, texts, true);
    return target;
}

void SetSelectedGridRow(StringGrid& grid, const std::vector<std::string>& texts) {
    if (HasSelectedDataRow(grid)) {
        WriteRow(grid, grid.SelectedRow(), texts, true);
    }
}

void DeleteSelectedGridRow(StringGrid& grid) {
    if (!HasSelectedDataRow(grid)) {
        return;
    }
    const int last = grid.RowCount() - 1;
    if (last == 1) {
        ClearRow(grid, 1);
        grid.SetEnabled(false);
        return;
    }
    for (int row = grid.SelectedRow(); row < last; ++row) {
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            grid.SetCell(row, column, grid.Cell(row + 1, column));
        }
    }
    grid.SetRowCount(last);
    if (grid.SelectedRow() >= last) {
        grid.SetSelectedRow(last - 1);
    }
}

int DeleteGridRowsByKey(StringGrid& grid, int key_column, std::string_view key) {
    int deleted = 0;
    if (key_column < 0 || key_column >= grid.ColumnCount()) {
        return deleted;  // no cell of the grid holds the key
    }
    int row = 1;
    // An empty grid holds no data rows, even when its blank row matches the key.
    while (grid.Enabled() && row < grid.RowCount()) {
        if (grid.Cell(row, key_column) != key) {
            ++row;
            continue;
        }
        // The row below moves up into this place: look at it again.
        grid.SetSelectedRow(row);
        DeleteSelectedGridRow(grid);
        ++deleted;
    }
    return deleted;
}

std::locale UserLocale() {
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
}

void SortGridRows(StringGrid& grid, int column, SortDirection direction,
                  const std::locale& locale) {
    if (direction != SortDirection::kAscending && direction != SortDirection::kDescending) {
        return;
    }
    const int data_rows = grid.RowCount() - 1;
    if (data_rows < 2) {
        return;
    }
    const int columns = grid.ColumnCount();
    std::vector<std::vector<std::string>> rows(static_cast<std::size_t>(data_rows));
    for (int r = 0; r < data_rows; ++r) {
        auto& cells = rows[static_cast<std::size_t>(r)];
        cells.reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c) {
            cells.push_back(grid.Cell(r + 1, c));
        }
    }
    const auto& collate = std::use_facet<std::collate<char>>(locale);
    const auto key = [column](const std::vector<std::string>& cells) -> const std::string& {
        static const std::string kNone;
        return column >= 0 && column < static_cast<int>(cells.size())
                   ? cells[static_cast<std::size_t>(column)]
                   : kNone;
    };
    const auto compare = [&](const std::vector<std::string>& a, const std::vector<std::string>& b) {
        const std::string& x = key(a);
        const std::string& y = key(b);
        return collate.compare(x.data(), x.data() + x.size(), y.data(), y.data() + y.size());
    };
    if (direction == SortDirection::kAscending) {
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const auto& a, const auto& b) { return compare(a, b) < 0; });
    } else {
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const auto& a, const auto& b) { return compare(a, b) > 0; });
    }
    for (int r = 0; r < data_rows; ++r) {
        const auto& cells = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < columns; ++c) {
            grid.SetCell(r + 1, c, cells[static_cast<std::size_t>(c)]);
        }
    }
}

}  // namespace velmora
