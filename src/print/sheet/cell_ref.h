// A1-style cell references of a worksheet: columns by letters, rows from 1,
// each part absolute when "$" stands before it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::print {

inline constexpr int kMaxSheetRow = 1048576;
inline constexpr int kMaxSheetColumn = 16384;

struct CellRef {
    int column = 1;  // 1 for A
    int row = 1;
    bool absoluteColumn = false;
    bool absoluteRow = false;
};

// "A1", "$B$7"; nothing for anything else, or a cell outside the sheet.
std::optional<CellRef> ParseCellRef(std::string_view text);
std::string CellRefText(const CellRef& ref);

// The column letters: 1 gives "A", 28 "AB".
std::string ColumnLetters(int column);

// A rectangle of cells; a single cell has from == to.
struct CellRange {
    CellRef from;
    CellRef to;
};

// "A1:C5" or "B2"; nothing for anything else.
std::optional<CellRange> ParseCellRange(std::string_view text);
std::string CellRangeText(const CellRange& range);

// A blank-separated list of ranges ("A1:B2 D4"); ranges that do not parse
// are left out.
std::vector<CellRange> ParseRangeList(std::string_view text);
std::string RangeListText(const std::vector<CellRange>& ranges);

}  // namespace velmora::print
