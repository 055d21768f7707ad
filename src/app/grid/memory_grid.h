// A string grid held in memory: the grid of the headless front end and of
// the tests.
#pragma once

#include "app/grid/string_grid.h"

#include <string>
#include <vector>

namespace velmora {

class MemoryGrid final : public StringGrid {
  public:
    // The default text width of one character, in pixels.
    static constexpr int kCharWidth = 7;
    static constexpr int kDefaultColumnWidth = 64;

    // A grid of `columns` columns and `rows` blank rows (at least the header
    // row), enabled, with row 1 selected when there is one.
    explicit MemoryGrid(int columns, int rows = 2, int char_width = kCharWidth);

    int RowCount() const override { return static_cast<int>(cells_.size()); }
    void SetRowCount(int rows) override;
    int ColumnCount() const override { return static_cast<int>(widths_.size()); }
    std::string Cell(int row, int column) const override;
    void SetCell(int row, int column, std::string_view text) override;
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    int SelectedRow() const override { return selected_; }
    void SetSelectedRow(int row) override;
    int ColumnWidth(int column) const override;
    void SetColumnWidth(int column, int width) override;

    // Characters (UTF-8 code points) times the character width.
    int TextWidth(std::string_view text) const override;

    // All texts of a row, for checks and for printing the grid.
    std::vector<std::string> Row(int row) const;

  private:
    bool Inside(int row, int column) const;

    std::vector<std::vector<std::string>> cells_;
    std::vector<int> widths_;
    int char_width_;
    bool enabled_ = true;
    int selected_ = 0;
};

}  // namespace velmora
