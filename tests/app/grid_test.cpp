#include "app/grid/grid_operations.h"
#include "app/grid/memory_grid.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace velmora {
namespace {

using Texts = std::vector<std::string>;

// A three-column grid holding the given data rows, enabled, row 1 selected.
MemoryGrid GridWith(const std::vector<Texts>& rows) {
    MemoryGrid grid(3);
    SetGridHeader(grid, {"Ключ", "Значение", "Прочее"}, false);
    for (const Texts& row : rows) {
        AppendGridRow(grid, row, false);
    }
    grid.SetSelectedRow(1);
    return grid;
}

std::vector<Texts> DataRows(const MemoryGrid& grid) {
    std::vector<Texts> rows;
    for (int row = 1; row < grid.RowCount(); ++row) {
        rows.push_back(grid.Row(row));
    }
    return rows;
}

TEST(GridHeader, EmptiesTheGridAndWritesTheHeader) {
    MemoryGrid grid(3, 10);
    grid.SetCell(0, 2, "old header");
    grid.SetCell(1, 0, "old data");
    grid.SetCell(9, 1, "last");
    SetGridHeader(grid, {"Имя", "Тип"}, false);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_FALSE(grid.Enabled());
    EXPECT_EQ(grid.Row(0), (Texts{"Имя", "Тип", ""}));
    EXPECT_EQ(grid.Row(1), (Texts{"", "", ""}));
    EXPECT_EQ(grid.ColumnWidth(0), MemoryGrid::kDefaultColumnWidth);
    // Growing the grid again brings back no stale rows.
    grid.SetRowCount(10);
    EXPECT_EQ(grid.Cell(9, 1), "");

    // Auto width: the header's width plus 4, also when that narrows a column;
    // texts beyond the last column are ignored.
    grid.SetColumnWidth(1, 500);
    SetGridHeader(grid, {"Имя", "Тип", "Очень длинный заголовок", "лишний"}, true);
    EXPECT_EQ(grid.ColumnWidth(0), 3 * MemoryGrid::kCharWidth + 4);
    EXPECT_EQ(grid.ColumnWidth(1), 3 * MemoryGrid::kCharWidth + 4);
    EXPECT_EQ(grid.ColumnWidth(2), 23 * MemoryGrid::kCharWidth + 4);
    EXPECT_EQ(grid.ColumnCount(), 3);
}

TEST(GridAppend, FirstRowEnablesLaterRowsGrowAndWidthsOnlyWiden) {
    MemoryGrid grid(2);
    SetGridHeader(grid, {"A", "B"}, true);
    EXPECT_EQ(AppendGridRow(grid, {"один", "x"}, false), 1);
    EXPECT_TRUE(grid.Enabled());
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(AppendGridRow(grid, {"два"}, false), 2);
    EXPECT_EQ(DataRows(grid), (std::vector<Texts>{{"один", "x"}, {"два", ""}}));

    AppendGridRow(grid, {"шесть6", "y", "beyond the last column"}, true);
    EXPECT_EQ(grid.ColumnWidth(0), 6 * MemoryGrid::kCharWidth + 4);
    EXPECT_EQ(grid.ColumnWidth(1), 1 * MemoryGrid::kCharWidth + 4);  // "y" fits: unchanged
    AppendGridRow(grid, {"ab", "yy"}, true);
    EXPECT_EQ(grid.ColumnWidth(0), 6 * MemoryGrid::kCharWidth + 4);  // never narrowed
    EXPECT_EQ(grid.ColumnWidth(1), 2 * MemoryGrid::kCharWidth + 4);
    // A column exactly as wide as the text is not widened.
    grid.SetColumnWidth(1, 3 * MemoryGrid::kCharWidth);
    AppendGridRow(grid, {"", "zzz"}, true);
    EXPECT_EQ(grid.ColumnWidth(1), 3 * MemoryGrid::kCharWidth);
    EXPECT_EQ(grid.RowCount(), 6);
}

TEST(GridPutByKey, RewritesTheFirstMatchKeepsMarkedCellsAndAppendsOtherwise) {
    MemoryGrid empty(3);
    SetGridHeader(empty, {"k", "v", "w"}, false);
    EXPECT_EQ(PutGridRowByKey(empty, 0, {"K", "#N#", "x"}), 1);
    EXPECT_TRUE(empty.Enabled());
    EXPECT_EQ(empty.Row(1), (Texts{"K", "", "x"}));  // the marker is never written

    MemoryGrid grid = GridWith({{"A", "1", "a"}, {"K", "v", "y"}, {"K", "dup", "z"}});
    EXPECT_EQ(PutGridRowByKey(grid, 0, {"K", "#N#", "x"}), 2);
    EXPECT_EQ(DataRows(grid),
              (std::vector<Texts>{{"A", "1", "a"}, {"K", "v", "x"}, {"K", "dup", "z"}}));
    // The key is compared byte for byte: "k" is a new row.
    EXPECT_EQ(PutGridRowByKey(grid, 0, {"k", "#N#", "new"}), 4);
    EXPECT_EQ(grid.Row(4), (Texts{"k", "", "new"}));
    // Any column can be the key.
    EXPECT_EQ(PutGridRowByKey(grid, 2, {"#N#", "changed", "a"}), 1);
    EXPECT_EQ(grid.Row(1), (Texts{"A", "changed", "a"}));
    // A key column outside the grid matches nothing.
    EXPECT_EQ(PutGridRowByKey(grid, 7, {"A", "", ""}), 5);
    EXPECT_EQ(grid.RowCount(), 6);
}

TEST(GridSelectedRow, RewriteKeepsMarkedCellsAndNeedsADataRow) {
    MemoryGrid grid = GridWith({{"a", "b", "c"}, {"d", "e", "f"}});
    grid.SetSelectedRow(2);
    SetSelectedGridRow(grid, {"#N#", "E"});
    EXPECT_EQ(grid.Row(2), (Texts{"d", "E", "f"}));
    grid.SetSelectedRow(0);  // the header row is no data row
    SetSelectedGridRow(grid, {"X", "Y", "Z"});
    EXPECT_EQ(grid.Row(0), (Texts{"Ключ", "Значение", "Прочее"}));
}

TEST(GridDeleteSelected, MovesRowsUpOrEmptiesTheGrid) {
    MemoryGrid one = GridWith({{"a", "b", "c"}});
    DeleteSelectedGridRow(one);
    EXPECT_FALSE(one.Enabled());
    EXPECT_EQ(one.RowCount(), 2);
    EXPECT_EQ(one.Row(1), (Texts{"", "", ""}));

    MemoryGrid three = GridWith({{"1", "", ""}, {"2", "", ""}, {"3", "x", ""}});
    three.SetSelectedRow(2);
    DeleteSelectedGridRow(three);
    EXPECT_TRUE(three.Enabled());
    EXPECT_EQ(DataRows(three), (std::vector<Texts>{{"1", "", ""}, {"3", "x", ""}}));
    EXPECT_EQ(three.SelectedRow(), 2);

    // Deleting the bottom row leaves the selection on the new bottom row.
    DeleteSelectedGridRow(three);
    EXPECT_EQ(DataRows(three), (std::vector<Texts>{{"1", "", ""}}));
    EXPECT_EQ(three.SelectedRow(), 1);
    EXPECT_TRUE(three.Enabled());
}

TEST(GridDeleteByKey, RemovesEveryMatchIncludingAdjacentOnes) {
    MemoryGrid grid =
        GridWith({{"x", "1", ""}, {"x", "2", ""}, {"y", "3", ""}, {"x", "4", ""}, {"x", "5", ""}});
    EXPECT_EQ(DeleteGridRowsByKey(grid, 0, "x"), 4);
    EXPECT_EQ(DataRows(grid), (std::vector<Texts>{{"y", "3", ""}}));
    EXPECT_TRUE(grid.Enabled());

    MemoryGrid all = GridWith({{"k", "1", ""}, {"k", "2", ""}});
    EXPECT_EQ(DeleteGridRowsByKey(all, 0, "k"), 2);
    EXPECT_FALSE(all.Enabled());
    EXPECT_EQ(all.RowCount(), 2);

    // The blank row of an empty grid matches an empty key but is no data row.
    EXPECT_EQ(DeleteGridRowsByKey(all, 0, ""), 0);
    EXPECT_EQ(DeleteGridRowsByKey(grid, 5, ""), 0);
    EXPECT_EQ(DeleteGridRowsByKey(grid, 0, "X"), 0);  // byte for byte
}

// Orders texts by length: a collation nothing else would give.
class LengthCollate : public std::collate<char> {
  protected:
    int do_compare(const char* a1, const char* a2, const char* b1, const char* b2) const override {
        return (a2 - a1 < b2 - b1) ? -1 : (a2 - a1 > b2 - b1) ? 1 : 0;
    }
};

TEST(GridSort, OrdersWholeRowsByTheLocalesCollation) {
    const std::locale c_locale = std::locale::classic();
    MemoryGrid one = GridWith({{"only", "row", ""}});
    SortGridRows(one, 0, SortDirection::kDescending, c_locale);
    EXPECT_EQ(DataRows(one), (std::vector<Texts>{{"only", "row", ""}}));

    MemoryGrid grid = GridWith({{"b", "1", "x"},
                                {"Яблоко", "2", ""},
                                {"B", "3", ""},
                                {"a", "4", ""},
                                {"b", "5", "y"},
                                {"абв", "6", ""}});
    grid.SetSelectedRow(3);
    SortGridRows(grid, 0, SortDirection::kAscending, c_locale);
    // Byte order under the C locale: capitals first, Cyrillic after Latin;
    // equal keys keep their order.
    EXPECT_EQ(DataRows(grid), (std::vector<Texts>{{"B", "3", ""},
                                                  {"a", "4", ""},
                                                  {"b", "1", "x"},
                                                  {"b", "5", "y"},
                                                  {"Яблоко", "2", ""},
                                                  {"абв", "6", ""}}));
    EXPECT_EQ(grid.Row(0), (Texts{"Ключ", "Значение", "Прочее"}));
    EXPECT_EQ(grid.SelectedRow(), 3);

    SortGridRows(grid, 1, SortDirection::kDescending, c_locale);
    EXPECT_EQ(grid.Cell(1, 1), "6");
    EXPECT_EQ(grid.Cell(6, 1), "1");
    EXPECT_EQ(grid.Row(6), (Texts{"b", "1", "x"}));

    const std::locale by_length(c_locale, new LengthCollate);
    SortGridRows(grid, 0, SortDirection::kAscending, by_length);
    EXPECT_EQ(grid.Cell(6, 0), "Яблоко");
    EXPECT_EQ(grid.Cell(5, 0), "абв");

    // A direction other than the two leaves the rows alone.
    const std::vector<Texts> before = DataRows(grid);
    SortGridRows(grid, 0, static_cast<SortDirection>(3), c_locale);
    EXPECT_EQ(DataRows(grid), before);
}

TEST(GridSort, UserLocaleFallsBackToCWhenTheNamedLocaleIsMissing) {
    const char* saved = std::getenv("LC_ALL");
    const std::optional<std::string> old = saved ? std::optional<std::string>(saved) : std::nullopt;
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    const std::locale fallback = UserLocale();
    if (old) {
        setenv("LC_ALL", old->c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
    EXPECT_EQ(fallback.name(), "C");
    EXPECT_EQ(std::locale().name(), "C");  // the global locale is left alone
}

TEST(MemoryGrid, OutOfRangeCellsAndWidths) {
    MemoryGrid grid(2);
    grid.SetCell(5, 0, "x");
    grid.SetCell(0, -1, "x");
    EXPECT_EQ(grid.Cell(5, 0), "");
    EXPECT_EQ(grid.Cell(-1, 0), "");
    EXPECT_EQ(grid.TextWidth("Ёж"), 2 * MemoryGrid::kCharWidth);
    grid.SetSelectedRow(9);
    EXPECT_EQ(grid.SelectedRow(), 1);
}

}  // namespace
}  // namespace velmora
