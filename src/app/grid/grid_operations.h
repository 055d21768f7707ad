// The operations through which the windows change their string grids. They
// share one convention: a grid never shows zero data rows, so an empty grid
// is a disabled grid of the header row and one blank data row.
#pragma once

#include "app/grid/string_grid.h"

#include <locale>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The cell text that means "keep the cell's old text".
inline constexpr std::string_view kKeepCell = "#N#";

// Extra pixels beside a text when a column is widened to fit it.
inline constexpr int kColumnTextMargin = 4;

enum class SortDirection { kAscending = 1, kDescending = 2 };

// Empties the grid (header row and one blank row, disabled, every cell of
// both cleared) and writes the texts into the header row from column 0. With
// `auto_width`, each column with a text becomes that text's width plus the margin.
void SetGridHeader(StringGrid& grid, const std::vector<std::string>& texts, bool auto_width);

// Writes the texts from column 0 into a new bottom row, or into row 1 of an
// empty grid, which it enables. With `auto_width`, a column narrower than a
// text written into it becomes that text's width plus the margin. Returns the
// row written.
int AppendGridRow(StringGrid& grid, const std::vector<std::string>& texts, bool auto_width);

// Rewrites the first data row whose cell in `key_column` equals the key text
// (the new texts' cell in that column) byte for byte; without one, a row is
// appended at the bottom (or row 1 of an empty grid used). Texts equal to
// kKeepCell leave the old cell text. A key column outside the grid matches no
// row. Returns the row written.
int PutGridRowByKey(StringGrid& grid, int key_column, const std::vector<std::string>& texts);

// Rewrites the selected data row from column 0, keeping the cells whose new
// text is kKeepCell. Nothing happens when no data row is selected.
void SetSelectedGridRow(StringGrid& grid, const std::vector<std::string>& texts);

// Deletes the selected data row: the rows below move up one. The last data
// row is blanked instead, and the grid disabled.
void DeleteSelectedGridRow(StringGrid& grid);

// Deletes every data row whose cell in `key_column` equals `key` byte for
// byte, each as DeleteSelectedGridRow does (the selection ends at the place of
// the last row deleted). An empty grid has no rows to delete, even when its
// blank row matches. Returns how many were deleted.
int DeleteGridRowsByKey(StringGrid& grid, int key_column, std::string_view key);

// The user's locale for text comparison; the classic "C" locale when the
// environment names a locale that is not installed.
std::locale UserLocale();

// Reorders the data rows (all their cells) by the texts of one column,
// compared case-sensitively with the locale's collation. Rows that compare
// equal keep their order. The selected row number stays as it was.
void SortGridRows(StringGrid& grid, int column, SortDirection direction,
                  const std::locale& locale = UserLocale());

}  // namespace velmora
