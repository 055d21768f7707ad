#include "print/tables/data_table.h"

#include "print/package/ascii_case.h"

#include <stdexcept>
#include <utility>

namespace velmora::print {

DataTable::DataTable(std::string name, std::vector<std::string> columns)
    : name_(std::move(name)), columns_(std::move(columns)) {}

int DataTable::ColumnIndex(std::string_view column) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (SameName(columns_[i], column)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const std::string& DataTable::Value(std::size_t record, std::size_t column) const {
    static const std::string kEmpty;
    if (record >= records_.size() || column >= columns_.size()) {
        return kEmpty;
    }
    return records_[record][column];
}

void DataTable::AddRecord(std::vector<std::string> values) {
    if (values.size() != columns_.size()) {
        throw std::logic_error("a record of " + name_ + " needs one value per column");
    }
    records_.push_back(std::move(values));
}

const DataTable* TableSet::Find(std::string_view name) const {
    for (const DataTable& table : tables_) {
        if (SameName(table.Name(), name)) {
            return &table;
        }
    }
    return nullptr;
}

DataTable* TableSet::Find(std::string_view name) {
    return const_cast<DataTable*>(std::as_const(*this).Find(name));
}

void TableSet::Clear() {
    for (DataTable& table : tables_) {
        table.Clear();
    }
}

}  // namespace velmora::print
