// A string grid shown as a Qt table: the grid's row 0 is the table's
// horizontal header, and grid row r (from 1) is table row r - 1. The grid
// operations work on it as on the in-memory grid, so the windows and the
// headless models share them.
#pragma once

#include "app/grid/string_grid.h"

class QTableWidget;

namespace velmora {

class QtStringGrid final : public StringGrid {
  public:
    // The table must outlive the adapter; its column count is the grid's.
    explicit QtStringGrid(QTableWidget* table);

    int RowCount() const override;
    void SetRowCount(int rows) override;
    int ColumnCount() const override;
    std::string Cell(int row, int column) const override;
    void SetCell(int row, int column, std::string_view text) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    // The table's current row; row 1 when the table has rows and none is current.
    int SelectedRow() const override;
    void SetSelectedRow(int row) override;
    int ColumnWidth(int column) const override;
    void SetColumnWidth(int column, int width) override;
    // The width a cell needs to show the text: its advance in the table's
    // font and the cell's own margins, in pixels.
    int TextWidth(std::string_view text) const override;

    QTableWidget* Table() const { return table_; }

  private:
    QTableWidget* table_;
};

// Sets up a table the way the windows' grids look: one header row, no row
// numbers, whole-row selection of one row, cells not editable, columns
// sized by the user.
void ConfigureGridTable(QTableWidget* table, int columns);

}  // namespace velmora
