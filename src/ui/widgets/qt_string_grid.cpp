#include "ui/widgets/qt_string_grid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

namespace velmora {
namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtStringGrid::QtStringGrid(QTableWidget* table) : table_(table) {}

int QtStringGrid::RowCount() const {
    return table_->rowCount() + 1;
}

void QtStringGrid::SetRowCount(int rows) {
    const int selected = SelectedRow();
    table_->setRowCount(std::max(rows, 1) - 1);
    if (table_->rowCount() > 0) {
        SetSelectedRow(std::clamp(selected, 1, table_->rowCount()));
    }
}

int QtStringGrid::ColumnCount() const {
    return table_->columnCount();
}

std::string QtStringGrid::Cell(int row, int column) const {
    if (column < 0 || column >= ColumnCount() || row < 0 || row >= RowCount()) {
        return {};
    }
    const QTableWidgetItem* item =
        row == 0 ? table_->horizontalHeaderItem(column) : table_->item(row - 1, column);
    return item != nullptr ? item->text().toStdString() : std::string();
}

void QtStringGrid::SetCell(int row, int column, std::string_view text) {
    if (column < 0 || column >= ColumnCount() || row < 0 || row >= RowCount()) {
        return;
    }
    if (row == 0) {
        table_->setHorizontalHeaderItem(column, new QTableWidgetItem(ToQString(text)));
        return;
    }
    QTableWidgetItem* item = table_->item(row - 1, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table_->setItem(row - 1, column, item);
    }
    item->setText(ToQString(text));
}

bool QtStringGrid::Enabled() const {
    return table_->isEnabled();
}

void QtStringGrid::SetEnabled(bool enabled) {
    table_->setEnabled(enabled);
}

int QtStringGrid::SelectedRow() const {
    const int current = table_->currentRow();
    if (current >= 0) {
        return current + 1;
    }
    return table_->rowCount() > 0 ? 1 : 0;
}

void QtStringGrid::SetSelectedRow(int row) {
    if (row >= 1 && row < RowCount()) {
        table_->setCurrentCell(row - 1, std::max(table_->currentColumn(), 0));
        table_->selectRow(row - 1);
    }
}

int QtStringGrid::ColumnWidth(int column) const {
    return column >= 0 && column < ColumnCount() ? table_->columnWidth(column) : 0;
}

void QtStringGrid::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < ColumnCount()) {
        table_->setColumnWidth(column, std::max(width, 0));
    }
}

int QtStringGrid::TextWidth(std::string_view text) const {
    // A cell draws its text inside a margin on either side and beside the
    // grid line; counting them in lets a column as wide as the text show it
    // whole, not elided.
    const int margin =
        table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table_) + 1;
    constexpr int kGridLineAndRounding = 2;
    return QFontMetrics(table_->font()).horizontalAdvance(ToQString(text)) + 2 * margin +
           kGridLineAndRounding;
}

void ConfigureGridTable(QTableWidget* table, int columns) {
    table->setColumnCount(columns);
    table->setRowCount(1);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
}

}  // namespace velmora
