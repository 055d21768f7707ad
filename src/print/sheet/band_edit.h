// Replacing the rows of a band by one copy per record: the rows, their
// cells and formulas, and everything else on the sheet that names rows
// (merged cells, conditional formats, validations, links, page breaks,
// drawing anchors, the used range).
#pragma once

#include "print/sheet/row_edit.h"
#include "print/sheet/worksheet.h"

#include <string_view>

namespace velmora::print {

// Applies the edit to the worksheet that holds the band. The copies of the
// band's rows are recorded as showing the table's records 0, 1, ...
void ApplyBandEdit(Worksheet& sheet, const RowEdit& edit, const DataTable& table,
                   RowRecords& records);

// Moves the references that another sheet's formulas make to the edited
// sheet.
void ShiftOtherSheet(Worksheet& sheet, const RowEdit& edit, std::string_view editedSheet);

}  // namespace velmora::print
