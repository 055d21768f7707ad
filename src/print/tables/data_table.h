// Named in-memory tables of texts that a spreadsheet template refers to by
// table and column name: one record per row of the table.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::print {

class DataTable {
  public:
    DataTable(std::string name, std::vector<std::string> columns);

    const std::string& Name() const { return name_; }
    const std::vector<std::string>& Columns() const { return columns_; }
    // The column's index, its name compared ignoring ASCII case; -1 when the
    // table has no such column.
    int ColumnIndex(std::string_view column) const;

    std::size_t RecordCount() const { return records_.size(); }
    const std::vector<std::string>& Record(std::size_t index) const { return records_.at(index); }
    // The value of a column of a record; empty for a record past the end.
    const std::string& Value(std::size_t record, std::size_t column) const;

    void Clear() { records_.clear(); }
    // Adds a record with one value per column, in column order.
    void AddRecord(std::vector<std::string> values);

  private:
    std::string name_;
    std::vector<std::string> columns_;
    std::vector<std::vector<std::string>> records_;
};

class TableSet {
  public:
    void Add(DataTable table) { tables_.push_back(std::move(table)); }
    // The table of the name, compared ignoring ASCII case; null when none.
    const DataTable* Find(std::string_view name) const;
    DataTable* Find(std::string_view name);
    const std::vector<DataTable>& Tables() const { return tables_; }
    // Empties every table, keeping their columns.
    void Clear();

  private:
    std::vector<DataTable> tables_;
};

}  // namespace velmora::print
