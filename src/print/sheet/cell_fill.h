// Putting the values of "<#table.column>" references into the cells, the
// headers and the footers of a worksheet.
#pragma once

#include "print/sheet/worksheet.h"
#include "print/tables/data_table.h"

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace velmora::print {

// The shared strings of the workbook: the string items cells refer to by
// index.
struct SharedStrings {
    std::unique_ptr<pugi::xml_document> document;
    std::vector<pugi::xml_node> items;
};

// What a filled cell can report when its template is at fault.
struct FillPlace {
    const std::string& templateName;
    const TableSet& tables;
};

// Replaces the references in every text cell of the sheet. A cell of a
// repeated band shows the record its row stands for, any other the first
// record of the table (or nothing when the table has none). A filled cell
// becomes an inline string with the cell's own style; the shared strings
// stay as they are. Raises Error for a reference to a column that the table
// does not have.
void FillSheetCells(Worksheet& sheet, const SharedStrings& strings, const RowRecords& records,
                    const FillPlace& place);

// The text as a cell value stores it: line breaks as line feeds, the
// "_xHHHH_" escapes of the format protected, at most 32767 characters.
std::string CellText(std::string_view value);

}  // namespace velmora::print
