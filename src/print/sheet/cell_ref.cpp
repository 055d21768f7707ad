#include "print/sheet/cell_ref.h"

namespace velmora::print {

std::optional<CellRef> ParseCellRef(std::string_view text) {
    CellRef ref;
    std::size_t pos = 0;
    if (pos < text.size() && text[pos] == '$') {
        ref.absoluteColumn = true;
        ++pos;
    }
    int column = 0;
    std::size_t letters = 0;
    for (; pos < text.size() && letters < 4; ++pos, ++letters) {
        char c = text[pos];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c < 'A' || c > 'Z') {
            break;
        }
        column = column * 26 + (c - 'A' + 1);
    }
    if (letters == 0 || letters > 3 || column > kMaxSheetColumn) {
        return std::nullopt;
    }
    if (pos < text.size() && text[pos] == '$') {
        ref.absoluteRow = true;
        ++pos;
    }
    long row = 0;
    std::size_t digits = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 8;
         ++pos, ++digits) {
        row = row * 10 + (text[pos] - '0');
    }
    if (digits == 0 || pos != text.size() || row < 1 || row > kMaxSheetRow) {
        return std::nullopt;
    }
    ref.column = column;
    ref.row = static_cast<int>(row);
    return ref;
}

std::string ColumnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    }
    return letters;
}

std::string CellRefText(const CellRef& ref) {
    return (ref.absoluteColumn ? "$" : "") + ColumnLetters(ref.column) +
           (ref.absoluteRow ? "$" : "") + std::to_string(ref.row);
}

std::optional<CellRange> ParseCellRange(std::string_view text) {
    const std::size_t colon = text.find(':');
    const auto from = ParseCellRef(text.substr(0, colon));
    if (!from) {
        return std::nullopt;
    }
    if (colon == std::string_view::npos) {
        return CellRange{*from, *from};
    }
    const auto to = ParseCellRef(text.substr(colon + 1));
    if (!to) {
        return std::nullopt;
    }
    return CellRange{*from, *to};
}

std::string CellRangeText(const CellRange& range) {
    const std::string from = CellRefText(range.from);
    if (range.from.row == range.to.row && range.from.column == range.to.column &&
        range.from.absoluteRow == range.to.absoluteRow &&
        range.from.absoluteColumn == range.to.absoluteColumn) {
        return from;
    }
    return from + ":" + CellRefText(range.to);
}

std::vector<CellRange> ParseRangeList(std::string_view text) {
    std::vector<CellRange> ranges;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (const auto range = ParseCellRange(text.substr(start, end - start))) {
            ranges.push_back(*range);
        }
        start = end + 1;
    }
    return ranges;
}

std::string RangeListText(const std::vector<CellRange>& ranges) {
    std::string text;
    for (const CellRange& range : ranges) {
        text += (text.empty() ? "" : " ") + CellRangeText(range);
    }
    return text;
}

}  // namespace velmora::print
