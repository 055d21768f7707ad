#include "app/grid/grid_operations.h"
#include "app/grid/memory_grid.h"
#include "ui/widgets/qt_string_grid.h"

#include <gtest/gtest.h>
#include <QTableWidget>

#include <functional>

namespace velmora {
namespace {

using Texts = std::vector<std::string>;

std::vector<Texts> AllRows(const StringGrid& grid) {
    std::vector<Texts> rows;
    for (int row = 0; row < grid.RowCount(); ++row) {
        Texts texts;
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            texts.push_back(grid.Cell(row, column));
        }
        rows.push_back(texts);
    }
    return rows;
}

// The same operations on the Qt table and on the in-memory grid leave the
// same cells, enabled state and selection: the adapter maps rows faithfully
// (header row 0 onto the table's header, data rows onto table rows).
TEST(QtStringGrid, BehavesAsTheMemoryGridUnderTheGridOperations) {
    QTableWidget table;
    ConfigureGridTable(&table, 3);
    QtStringGrid qt(&table);
    MemoryGrid memory(3);

    const std::vector<std::function<void(StringGrid&)>> steps = {
        [](StringGrid& g) {
            SetGridHeader(g, {"Носитель", "Имя", "Уникальное имя"}, false);
        },
        [](StringGrid& g) {
            AppendGridRow(g, {"HDIMAGE", "b", "второй"}, false);
        },
        [](StringGrid& g) {
            AppendGridRow(g, {"HDIMAGE", "a", "первый"}, false);
        },
        [](StringGrid& g) {
            AppendGridRow(g, {"FLASH", "c", "третий"}, false);
        },
        [](StringGrid& g) {
            PutGridRowByKey(g, 1, {"#N#", "a", "заменён"});
        },
        [](StringGrid& g) { SortGridRows(g, 1, SortDirection::kAscending); },
        [](StringGrid& g) { g.SetSelectedRow(2); },
        [](StringGrid& g) { DeleteSelectedGridRow(g); },
        [](StringGrid& g) {
            SetSelectedGridRow(g, {"#N#", "#N#", "правка"});
        },
        [](StringGrid& g) { DeleteGridRowsByKey(g, 0, "HDIMAGE"); },
        [](StringGrid& g) { DeleteSelectedGridRow(g); },
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i](qt);
        steps[i](memory);
        EXPECT_EQ(AllRows(qt), AllRows(memory)) << "after step " << i;
        EXPECT_EQ(qt.Enabled(), memory.Enabled()) << "after step " << i;
        EXPECT_EQ(qt.SelectedRow(), memory.SelectedRow()) << "after step " << i;
    }
    // The last row went: the grid is empty, disabled, with one blank row.
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_FALSE(table.isEnabled());
    EXPECT_EQ(table.horizontalHeaderItem(2)->text().toStdString(), "Уникальное имя");
}

TEST(QtStringGrid, MeasuresTextsInTheTablesFontForAutoWidth) {
    QTableWidget table;
    ConfigureGridTable(&table, 2);
    QtStringGrid grid(&table);
    SetGridHeader(grid, {"Имя", "Серт. в конт."}, true);
    EXPECT_EQ(grid.ColumnWidth(1), grid.TextWidth("Серт. в конт.") + kColumnTextMargin);
    EXPECT_GT(grid.TextWidth("Серт. в конт."), grid.TextWidth("Имя"));
    const std::string longer = "\\\\.\\HDIMAGE\\очень длинное имя контейнера";
    AppendGridRow(grid, {longer, "Да"}, true);
    EXPECT_EQ(grid.ColumnWidth(0), grid.TextWidth(longer) + kColumnTextMargin);
    // A cell outside the grid reads empty and takes no write.
    grid.SetCell(5, 0, "x");
    EXPECT_EQ(grid.Cell(5, 0), "");
    EXPECT_EQ(table.rowCount(), 1);
}

}  // namespace
}  // namespace velmora
