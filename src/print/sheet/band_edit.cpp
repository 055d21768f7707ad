#include "print/sheet/band_edit.h"

#include "print/sheet/cell_ref.h"
#include "print/sheet/formula_refs.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace velmora::print {
namespace {

// A range that reaches outside the band, moved; nothing when it went away.
std::optional<CellRange> MovedRange(CellRange range, const RowEdit& edit) {
    const auto rows =
        edit.Range(std::min(range.from.row, range.to.row), std::max(range.from.row, range.to.row));
    if (!rows) {
        return std::nullopt;
    }
    range.from.row = rows->first;
    range.to.row = rows->second;
    return range;
}

CellRange Down(CellRange range, int rows) {
    range.from.row += rows;
    range.to.row += rows;
    return range;
}

bool Inside(const CellRange& range, const RowEdit& edit) {
    return edit.Inside(std::min(range.from.row, range.to.row),
                       std::max(range.from.row, range.to.row));
}

// Ranges inside the band are repeated in every copy (or go with the band);
// the others move.
std::vector<CellRange> EditedRanges(const std::vector<CellRange>& ranges, const RowEdit& edit) {
    std::vector<CellRange> edited;
    for (const CellRange& range : ranges) {
        if (Inside(range, edit)) {
            for (std::size_t k = 0; k < edit.Copies(); ++k) {
                edited.push_back(Down(range, static_cast<int>(k) * edit.Height()));
            }
        } else if (const auto moved = MovedRange(range, edit)) {
            edited.push_back(*moved);
        }
    }
    return edited;
}

// An attribute holding one range (a link, the used range, a filter):
// moved; a range inside the band stays with the first copy. False when it
// went away.
bool EditRangeAttribute(pugi::xml_node node, const char* attribute, const RowEdit& edit) {
    const auto range = ParseCellRange(node.attribute(attribute).value());
    if (!range) {
        return true;
    }
    std::optional<CellRange> moved;
    if (Inside(*range, edit)) {
        moved = edit.Copies() == 0 ? std::nullopt : range;
    } else {
        moved = MovedRange(*range, edit);
    }
    if (!moved) {
        return false;
    }
    node.attribute(attribute) = CellRangeText(*moved).c_str();
    return true;
}

void SetCount(pugi::xml_node list, const std::string& itemName) {
    if (pugi::xml_attribute count = list.attribute("count")) {
        count = static_cast<unsigned>(std::distance(list.children(itemName.c_str()).begin(),
                                                    list.children(itemName.c_str()).end()));
    }
}

// The list elements whose items carry a range list in "sqref" (conditional
// formats, validations): each item's ranges are edited, an item left with
// none is removed, and the formulas inside follow the rows.
void EditRangeLists(pugi::xml_node parent, const std::string& itemName, const RowEdit& edit,
                    const std::string& sheetName) {
    std::vector<pugi::xml_node> gone;
    for (pugi::xml_node item : parent.children(itemName.c_str())) {
        const std::vector<CellRange> ranges =
            EditedRanges(ParseRangeList(item.attribute("sqref").value()), edit);
        if (ranges.empty()) {
            gone.push_back(item);
            continue;
        }
        item.attribute("sqref") = RangeListText(ranges).c_str();
        // The formulas of the rules (formula) and validations (formula1,
        // formula2), one or two levels down.
        const auto shift = [&](pugi::xml_node node) {
            const std::string_view name = node.name();
            if (name.ends_with("formula") || name.ends_with("formula1") ||
                name.ends_with("formula2")) {
                node.text() = ShiftFormula(node.text().get(), edit, sheetName, true).c_str();
            }
        };
        for (pugi::xml_node child : item.children()) {
            shift(child);
            for (pugi::xml_node grandchild : child.children()) {
                shift(grandchild);
            }
        }
    }
    for (pugi::xml_node item : gone) {
        parent.remove_child(item);
    }
}

void EditFormulaElement(pugi::xml_node formula, const RowEdit& edit, const std::string& sheetName,
                        bool onSheet) {
    if (*formula.text().get() != '\0') {
        formula.text() = ShiftFormula(formula.text().get(), edit, sheetName, onSheet).c_str();
    }
    if (onSheet && formula.attribute("ref")) {
        const auto range = ParseCellRange(formula.attribute("ref").value());
        if (range && !Inside(*range, edit)) {
            if (const auto moved = MovedRange(*range, edit)) {
                formula.attribute("ref") = CellRangeText(*moved).c_str();
            }
        }
    }
}

void MoveCopiedFormula(pugi::xml_node formula, int rows) {
    if (*formula.text().get() != '\0') {
        formula.text() = MoveFormula(formula.text().get(), rows, 0).c_str();
    }
    if (const auto range = ParseCellRange(formula.attribute("ref").value())) {
        formula.attribute("ref") = CellRangeText(Down(*range, rows)).c_str();
    }
}

void EditRows(Worksheet& sheet, const RowEdit& edit, const DataTable& table, RowRecords& records) {
    const Names& n = sheet.N();
    pugi::xml_node data = sheet.SheetData();
    std::vector<pugi::xml_node> band;
    pugi::xml_node after;
    for (pugi::xml_node row : data.children(n("row"))) {
        const int number = RowNumber(row);
        if (number > edit.Last()) {
            if (!after) {
                after = row;
            }
            SetRowNumber(row, *edit.Row(number), n);
        } else if (number >= edit.First()) {
            band.push_back(row);
        }
    }
    if (edit.Copies() == 0) {
        for (pugi::xml_node row : band) {
            records.erase(row.internal_object());
            data.remove_child(row);
        }
        return;
    }
    for (pugi::xml_node row : band) {
        records[row.internal_object()] = {&table, 0};
    }
    const std::string formulaName = n("f");
    const std::string cellName = n("c");
    for (std::size_t k = 1; k < edit.Copies(); ++k) {
        const int down = static_cast<int>(k) * edit.Height();
        for (pugi::xml_node row : band) {
            pugi::xml_node copy =
                after ? data.insert_copy_before(row, after) : data.append_copy(row);
            SetRowNumber(copy, RowNumber(row) + down, n);
            for (pugi::xml_node cell : copy.children(cellName.c_str())) {
                if (pugi::xml_node formula = cell.child(formulaName.c_str())) {
                    MoveCopiedFormula(formula, down);
                }
            }
            records[copy.internal_object()] = {&table, k};
        }
    }
}

void EditMergedCells(Worksheet& sheet, const RowEdit& edit) {
    const Names& n = sheet.N();
    pugi::xml_node list = sheet.Root().child(n("mergeCells"));
    if (!list) {
        return;
    }
    const std::string itemName = n("mergeCell");
    std::vector<CellRange> ranges;
    std::vector<pugi::xml_node> items;
    for (pugi::xml_node item : list.children(itemName.c_str())) {
        if (const auto range = ParseCellRange(item.attribute("ref").value())) {
            ranges.push_back(*range);
            items.push_back(item);
        }
    }
    for (pugi::xml_node item : items) {
        list.remove_child(item);
    }
    for (const CellRange& range : EditedRanges(ranges, edit)) {
        list.append_child(itemName.c_str()).append_attribute("ref") = CellRangeText(range).c_str();
    }
    SetCount(list, itemName);
    if (!list.first_child()) {
        sheet.Root().remove_child(list);
    }
}

void EditPageBreaks(Worksheet& sheet, const RowEdit& edit) {
    const Names& n = sheet.N();
    pugi::xml_node breaks = sheet.Root().child(n("rowBreaks"));
    if (!breaks) {
        return;
    }
    // A break stands after the row its id names; one after the band's last
    // row moves after the last copy.
    std::vector<pugi::xml_node> gone;
    for (pugi::xml_node item : breaks.children(n("brk"))) {
        const int id = item.attribute("id").as_int();
        int moved = id;
        if (id >= edit.Last()) {
            moved = static_cast<int>(id + edit.Delta());
        } else if (id >= edit.First() && edit.Copies() == 0) {
            moved = edit.First() - 1;
        }
        if (moved < 1) {
            gone.push_back(item);
        } else {
            item.attribute("id") = moved;
        }
    }
    for (pugi::xml_node item : gone) {
        breaks.remove_child(item);
    }
    SetCount(breaks, n("brk"));
    if (pugi::xml_attribute manual = breaks.attribute("manualBreakCount")) {
        manual = breaks.attribute("count").as_uint();
    }
}

void EditDrawing(Worksheet& sheet, const RowEdit& edit) {
    if (!sheet.drawing) {
        return;
    }
    pugi::xml_node root = sheet.drawing->document_element();
    const Names n(root, {kDrawingNs, kDrawingStrictNs}, "xdr:");
    bool changed = false;
    for (pugi::xml_node anchor : root.children()) {
        for (const char* end : {"from", "to"}) {
            pugi::xml_node row = anchor.child(n(end)).child(n("row"));
            if (!row) {
                continue;
            }
            // Anchor rows count from 0.
            const int number = row.text().as_int() + 1;
            const int moved = edit.Clamped(number);
            if (moved != number) {
                row.text() = moved - 1;
                changed = true;
            }
        }
    }
    if (changed) {
        sheet.drawingChanged = true;
    }
}

}  // namespace

void ApplyBandEdit(Worksheet& sheet, const RowEdit& edit, const DataTable& table,
                   RowRecords& records) {
    const Names& n = sheet.N();
    sheet.ForEachFormula(
        [&](pugi::xml_node formula) { EditFormulaElement(formula, edit, sheet.Name(), true); });
    EditRows(sheet, edit, table, records);
    EditMergedCells(sheet, edit);
    EditRangeLists(sheet.Root(), n("conditionalFormatting"), edit, sheet.Name());
    if (pugi::xml_node validations = sheet.Root().child(n("dataValidations"))) {
        EditRangeLists(validations, n("dataValidation"), edit, sheet.Name());
        SetCount(validations, n("dataValidation"));
        if (!validations.child(n("dataValidation"))) {
            sheet.Root().remove_child(validations);
        }
    }
    if (pugi::xml_node links = sheet.Root().child(n("hyperlinks"))) {
        std::vector<pugi::xml_node> gone;
        for (pugi::xml_node link : links.children(n("hyperlink"))) {
            if (!EditRangeAttribute(link, "ref", edit)) {
                gone.push_back(link);
            }
        }
        for (pugi::xml_node link : gone) {
            links.remove_child(link);
        }
        if (!links.first_child()) {
            sheet.Root().remove_child(links);
        }
    }
    EditRangeAttribute(sheet.Root().child(n("dimension")), "ref", edit);
    EditRangeAttribute(sheet.Root().child(n("autoFilter")), "ref", edit);
    EditPageBreaks(sheet, edit);
    EditDrawing(sheet, edit);
    sheet.changed = true;
}

void ShiftOtherSheet(Worksheet& sheet, const RowEdit& edit, std::string_view editedSheet) {
    sheet.ForEachFormula([&](pugi::xml_node formula) {
        const std::string before = formula.text().get();
        EditFormulaElement(formula, edit, std::string(editedSheet), false);
        sheet.changed = sheet.changed || before != formula.text().get();
    });
}

}  // namespace velmora::print
