// The cell references inside worksheet formulas and defined names, moved
// when rows are copied or when a band of rows grows or goes away.
#pragma once

#include "print/sheet/cell_ref.h"
#include "print/sheet/row_edit.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::print {

struct FormulaRef {
    enum class Kind { Cell, Area, Rows };
    Kind kind = Kind::Cell;
    bool hasSheet = false;
    std::string sheet;  // the sheet name without its quotes
    CellRef from;       // for Rows only the row parts count
    CellRef to;
};

// Passes every cell, area and whole-row reference of the formula (outside
// string literals and bracketed parts) to rewrite, and puts what it returns
// in place of the reference after its sheet prefix; nothing keeps the
// reference as written.
using RefRewrite = std::function<std::optional<std::string>(const FormulaRef&)>;
std::string RewriteReferences(std::string_view formula, const RefRewrite& rewrite);

// The formula with the references to the sheet following the row edit. A
// reference without a sheet prefix is the sheet's when onSheet is set. A
// reference whose rows went away becomes #REF!.
std::string ShiftFormula(std::string_view formula, const RowEdit& edit, std::string_view sheet,
                         bool onSheet);

// The formula as it reads when copied the given rows down and columns to
// the right: relative parts move, absolute ones stay; a reference moved off
// the sheet becomes #REF!.
std::string MoveFormula(std::string_view formula, int rows, int columns);

// The text of a reference after its sheet prefix.
std::string ReferenceText(const FormulaRef& ref);

}  // namespace velmora::print
