// A grid of text cells as the windows keep their lists: row 0 is a fixed
// header row, data rows are 1 and up. The Qt table and a plain in-memory
// model implement it; the grid operations work on either.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

class StringGrid {
  public:
    virtual ~StringGrid() = default;

    // Rows, the header row included. Changing the count drops the rows past
    // the new end, adds blank rows at the bottom, and keeps the selected row
    // inside the grid.
    virtual int RowCount() const = 0;
    virtual void SetRowCount(int rows) = 0;

    virtual int ColumnCount() const = 0;

    // Cells outside the grid read as empty, and writes to them are ignored.
    virtual std::string Cell(int row, int column) const = 0;
    virtual void SetCell(int row, int column, std::string_view text) = 0;

    // A grid without data is disabled: enabled is the only sign of rows.
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;

    virtual int SelectedRow() const = 0;
    virtual void SetSelectedRow(int row) = 0;

    // Column widths and text widths in pixels, in the grid's font.
    virtual int ColumnWidth(int column) const = 0;
    virtual void SetColumnWidth(int column, int width) = 0;
    virtual int TextWidth(std::string_view text) const = 0;
};

}  // namespace velmora
