#include "print/sheet/formula_refs.h"

#include "print/package/ascii_case.h"

#include <algorithm>

namespace velmora::print {
namespace {

constexpr const char* kRefError = "#REF!";

bool IsWordChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '$' || c == '\\' || byte >= 0x80;
}

std::size_t WordEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsWordChar(text[pos])) {
        ++pos;
    }
    return pos;
}

// "$12" or "12": a whole-row end.
std::optional<CellRef> ParseRowPart(std::string_view text) {
    CellRef ref;
    if (text.starts_with('$')) {
        ref.absoluteRow = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 7) {
        return std::nullopt;
    }
    long row = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        row = row * 10 + (c - '0');
    }
    if (row < 1 || row > kMaxSheetRow) {
        return std::nullopt;
    }
    ref.row = static_cast<int>(row);
    return ref;
}

// The reference that starts at pos, and where it ends.
std::optional<FormulaRef> ParseReference(std::string_view text, std::size_t pos, std::size_t& end) {
    const std::size_t firstEnd = WordEnd(text, pos);
    const std::string_view first = text.substr(pos, firstEnd - pos);
    if (firstEnd < text.size() && text[firstEnd] == '(') {
        return std::nullopt;  // a function
    }
    std::string_view second;
    std::size_t secondEnd = firstEnd;
    if (firstEnd < text.size() && text[firstEnd] == ':') {
        secondEnd = WordEnd(text, firstEnd + 1);
        second = text.substr(firstEnd + 1, secondEnd - firstEnd - 1);
    }
    FormulaRef ref;
    if (const auto cell = ParseCellRef(first)) {
        ref.from = *cell;
        if (const auto other = ParseCellRef(second); other && !second.empty()) {
            ref.kind = FormulaRef::Kind::Area;
            ref.to = *other;
            end = secondEnd;
        } else {
            ref.kind = FormulaRef::Kind::Cell;
            ref.to = *cell;
            end = firstEnd;
        }
        return ref;
    }
    const auto top = ParseRowPart(first);
    const auto bottom = ParseRowPart(second);
    if (top && bottom) {
        ref.kind = FormulaRef::Kind::Rows;
        ref.from = *top;
        ref.to = *bottom;
        end = secondEnd;
        return ref;
    }
    return std::nullopt;
}

// Copies a quoted literal or a bracketed part starting at pos; returns
// where it ends.
std::size_t SkipEnclosed(std::string_view text, std::size_t pos, std::string& out) {
    const char open = text[pos];
    std::size_t i = pos + 1;
    if (open == '"') {
        while (i < text.size()) {
            if (text[i] == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            ++i;
        }
    } else {
        int depth = 1;
        for (; i < text.size() && depth > 0; ++i) {
            depth += text[i] == '[' ? 1 : text[i] == ']' ? -1 : 0;
        }
    }
    out.append(text.substr(pos, i - pos));
    return i;
}

CellRef Moved(CellRef ref, int rows, int columns, bool& off) {
    if (!ref.absoluteRow) {
        ref.row += rows;
    }
    if (!ref.absoluteColumn) {
        ref.column += columns;
    }
    off = off || ref.row < 1 || ref.row > kMaxSheetRow || ref.column < 1 ||
          ref.column > kMaxSheetColumn;
    return ref;
}

}  // namespace

std::string ReferenceText(const FormulaRef& ref) {
    switch (ref.kind) {
        case FormulaRef::Kind::Cell:
            return CellRefText(ref.from);
        case FormulaRef::Kind::Area:
            return CellRefText(ref.from) + ":" + CellRefText(ref.to);
        case FormulaRef::Kind::Rows:
            return (ref.from.absoluteRow ? "$" : "") + std::to_string(ref.from.row) + ":" +
                   (ref.to.absoluteRow ? "$" : "") + std::to_string(ref.to.row);
    }
    return {};
}

std::string RewriteReferences(std::string_view formula, const RefRewrite& rewrite) {
    std::string out;
    std::size_t i = 0;
    while (i < formula.size()) {
        const char c = formula[i];
        if (c == '"' || c == '[') {
            i = SkipEnclosed(formula, i, out);
            continue;
        }
        const std::size_t start = i;
        FormulaRef ref;
        std::size_t body = i;
        if (c == '\'') {
            std::size_t j = i + 1;
            std::string sheet;
            while (j < formula.size()) {
                if (formula[j] == '\'') {
                    if (j + 1 < formula.size() && formula[j + 1] == '\'') {
                        sheet += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                sheet += formula[j++];
            }
            if (j + 1 >= formula.size() || formula[j + 1] != '!') {
                out.append(formula.substr(start, std::min(j + 1, formula.size()) - start));
                i = j + 1;
                continue;
            }
            ref.hasSheet = true;
            ref.sheet = sheet;
            body = j + 2;
        } else if (IsWordChar(c)) {
            const std::size_t end = WordEnd(formula, i);
            if (end < formula.size() && formula[end] == '!') {
                ref.hasSheet = true;
                ref.sheet = formula.substr(i, end - i);
                body = end + 1;
            }
        } else {
            out += c;
            ++i;
            continue;
        }
        std::size_t end = body;
        const auto parsed =
            body < formula.size() ? ParseReference(formula, body, end) : std::nullopt;
        if (!parsed) {
            // Not a reference: the prefix and the word after it stay. The
            // word is not empty when there is no prefix, so the scan moves on.
            const std::size_t wordEnd = WordEnd(formula, body);
            out.append(formula.substr(start, wordEnd - start));
            i = wordEnd;
            continue;
        }
        ref.kind = parsed->kind;
        ref.from = parsed->from;
        ref.to = parsed->to;
        out.append(formula.substr(start, body - start));
        const std::optional<std::string> replacement = rewrite(ref);
        out += replacement ? *replacement : std::string(formula.substr(body, end - body));
        i = end;
    }
    return out;
}

std::string ShiftFormula(std::string_view formula, const RowEdit& edit, std::string_view sheet,
                         bool onSheet) {
    return RewriteReferences(formula, [&](const FormulaRef& ref) -> std::optional<std::string> {
        if (ref.hasSheet ? !SameName(ref.sheet, sheet) : !onSheet) {
            return std::nullopt;
        }
        FormulaRef moved = ref;
        if (ref.kind == FormulaRef::Kind::Cell) {
            const auto row = edit.Row(ref.from.row);
            if (!row) {
                return kRefError;
            }
            moved.from.row = moved.to.row = *row;
        } else {
            const auto rows =
                edit.Range(std::min(ref.from.row, ref.to.row), std::max(ref.from.row, ref.to.row));
            if (!rows) {
                return kRefError;
            }
            moved.from.row = rows->first;
            moved.to.row = rows->second;
        }
        return ReferenceText(moved);
    });
}

std::string MoveFormula(std::string_view formula, int rows, int columns) {
    return RewriteReferences(formula, [&](const FormulaRef& ref) -> std::optional<std::string> {
        bool off = false;
        const int across = ref.kind == FormulaRef::Kind::Rows ? 0 : columns;
        FormulaRef moved = ref;
        moved.from = Moved(ref.from, rows, across, off);
        moved.to = Moved(ref.to, rows, across, off);
        return off ? std::string(kRefError) : ReferenceText(moved);
    });
}

}  // namespace velmora::print
