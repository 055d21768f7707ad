#include "print/sheet/worksheet.h"

#include "print/sheet/cell_ref.h"
#include "print/sheet/formula_refs.h"

#include <algorithm>
#include <map>

namespace velmora::print {

Worksheet::Worksheet(std::string name, std::string part,
                     std::unique_ptr<pugi::xml_document> document)
    : name_(std::move(name)),
      part_(std::move(part)),
      document_(std::move(document)),
      names_(document_->document_element(), {kSpreadsheetNs, kSpreadsheetStrictNs}, "") {}

int RowNumber(const pugi::xml_node& row) {
    return row.attribute("r").as_int();
}

void SetRowNumber(pugi::xml_node row, int number, const Names& names) {
    if (!row.attribute("r")) {
        row.append_attribute("r");
    }
    row.attribute("r") = number;
    for (pugi::xml_node cell : row.children(names("c"))) {
        auto ref = ParseCellRef(cell.attribute("r").value());
        if (!ref) {
            continue;
        }
        ref->row = number;
        cell.attribute("r") = CellRefText(*ref).c_str();
    }
}

void Worksheet::Normalize() {
    const std::string rowName = names_("row");
    const std::string cellName = names_("c");
    int next = 1;
    for (pugi::xml_node row : SheetData().children(rowName.c_str())) {
        int number = RowNumber(row);
        if (number < 1 || number > kMaxSheetRow) {
            number = next;
            if (!row.attribute("r")) {
                row.append_attribute("r");
            }
            row.attribute("r") = number;
        }
        next = number + 1;
        int column = 1;
        for (pugi::xml_node cell : row.children(cellName.c_str())) {
            auto ref = ParseCellRef(cell.attribute("r").value());
            CellRef fixed{ref ? ref->column : column, number, false, false};
            if (!cell.attribute("r")) {
                cell.prepend_attribute("r");
            }
            cell.attribute("r") = CellRefText(fixed).c_str();
            column = fixed.column + 1;
        }
    }

    // Shared formulas: the first cell holds the text, the others refer to
    // it by index and read it moved to their own place.
    struct Master {
        std::string text;
        CellRef at;
    };
    std::map<std::string, Master> masters;
    ForEachFormula([&](pugi::xml_node formula) {
        if (std::string_view(formula.attribute("t").value()) == "shared" &&
            *formula.text().get() != '\0') {
            const auto at = ParseCellRef(formula.parent().attribute("r").value());
            masters[formula.attribute("si").value()] = {formula.text().get(),
                                                        at.value_or(CellRef{})};
        }
    });
    ForEachFormula([&](pugi::xml_node formula) {
        if (std::string_view(formula.attribute("t").value()) != "shared") {
            return;
        }
        const auto master = masters.find(formula.attribute("si").value());
        const auto at = ParseCellRef(formula.parent().attribute("r").value());
        if (master != masters.end() && at) {
            formula.text() = MoveFormula(master->second.text, at->row - master->second.at.row,
                                         at->column - master->second.at.column)
                                 .c_str();
        }
        formula.remove_attribute("t");
        formula.remove_attribute("si");
        formula.remove_attribute("ref");
    });
}

int Worksheet::LastRow() const {
    int last = 0;
    for (pugi::xml_node row : SheetData().children(names_("row"))) {
        last = std::max(last, RowNumber(row));
    }
    return last;
}

void Worksheet::ForEachFormula(const std::function<void(pugi::xml_node formula)>& visit) const {
    const std::string cellName = names_("c");
    const std::string formulaName = names_("f");
    for (pugi::xml_node row : SheetData().children(names_("row"))) {
        for (pugi::xml_node cell : row.children(cellName.c_str())) {
            if (pugi::xml_node formula = cell.child(formulaName.c_str())) {
                visit(formula);
            }
        }
    }
}

}  // namespace velmora::print
