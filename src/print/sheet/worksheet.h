// One worksheet of a workbook being filled: its parsed part, the names of
// its elements, and the walks over its rows, cells and formulas.
#pragma once

#include "print/package/xml_part.h"
#include "print/tables/data_table.h"

#include <pugixml.hpp>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

namespace velmora::print {

// Which record of which table a row of a repeated band shows; rows outside
// every band are not in the map and show the first record.
struct RowRecord {
    const DataTable* table = nullptr;
    std::size_t index = 0;
};
using RowRecords = std::unordered_map<const void*, RowRecord>;

class Worksheet {
  public:
    Worksheet(std::string name, std::string part, std::unique_ptr<pugi::xml_document> document);

    const std::string& Name() const { return name_; }
    const std::string& Part() const { return part_; }
    pugi::xml_document& Document() { return *document_; }
    pugi::xml_node Root() const { return document_->document_element(); }
    const Names& N() const { return names_; }
    pugi::xml_node SheetData() const { return Root().child(names_("sheetData")); }

    // Gives every row and cell its number and reference where the part left
    // them implicit, and turns shared formulas into formulas of their own
    // cells, so that rows can be moved and copied one by one.
    void Normalize();

    // The highest row number used.
    int LastRow() const;

    // Calls visit with every formula element of the cells.
    void ForEachFormula(const std::function<void(pugi::xml_node formula)>& visit) const;

    // The worksheet's drawing part (anchors of pictures and charts), if any.
    std::string drawingPart;
    std::unique_ptr<pugi::xml_document> drawing;
    bool drawingChanged = false;

    bool changed = false;

  private:
    std::string name_;
    std::string part_;
    std::unique_ptr<pugi::xml_document> document_;
    Names names_;
};

// The row number of a row element; the cell reference of a cell element.
int RowNumber(const pugi::xml_node& row);
void SetRowNumber(pugi::xml_node row, int number, const Names& names);

}  // namespace velmora::print
