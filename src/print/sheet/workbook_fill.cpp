#include "print/sheet/workbook_fill.h"

#include "encoding/error.h"
#include "print/package/ascii_case.h"
#include "print/package/xml_part.h"
#include "print/sheet/band_edit.h"
#include "print/sheet/cell_fill.h"
#include "print/sheet/formula_refs.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace velmora::print {
namespace {

// Cells the copies of all bands may add; more would be a form no one
// prints, made by a hostile template or certificate.
constexpr std::size_t kMaxCopiedCells = 1000000;
// Each band moves the rows of its sheet and the formulas of every sheet.
constexpr std::size_t kMaxBands = 64;

// The rows of one repeated band.
struct Band {
    std::size_t sheet = 0;
    int first = 0;
    int last = 0;
    const DataTable* table = nullptr;
    std::string name;
};

// The table a defined name repeats: its name is the table's, alone or
// between double underscores.
const DataTable* BandTable(std::string_view name, const TableSet& tables) {
    if (const DataTable* table = tables.Find(name)) {
        return table;
    }
    if (name.size() > 4 && name.starts_with("__") && name.ends_with("__")) {
        return tables.Find(name.substr(2, name.size() - 4));
    }
    return nullptr;
}

class WorkbookFill {
  public:
    WorkbookFill(Package& package, std::string mainPart, const TableSet& tables)
        : package_(package), mainPart_(std::move(mainPart)), tables_(tables) {}

    void Run() {
        workbook_ = ParsePart(package_, mainPart_);
        n_ = std::make_unique<Names>(
            workbook_->document_element(),
            std::initializer_list<std::string_view>{kSpreadsheetNs, kSpreadsheetStrictNs}, "");
        relationships_ = ReadRelationships(package_, mainPart_);
        LoadSheets();
        LoadSharedStrings();
        const std::vector<Band> bands = FindBands();
        ApplyBands(bands);
        const FillPlace place{package_.DisplayName(), tables_};
        for (Worksheet& sheet : sheets_) {
            FillSheetCells(sheet, strings_, records_, place);
        }
        Save(!bands.empty());
    }

  private:
    void LoadSheets() {
        const std::string relationshipId = Names(
            workbook_->document_element(), {kRelationshipsNs, kRelationshipsStrictNs}, "r:")("id");
        const pugi::xml_node list = workbook_->document_element().child((*n_)("sheets"));
        for (pugi::xml_node sheet : list.children((*n_)("sheet"))) {
            const std::string_view id = sheet.attribute(relationshipId.c_str()).value();
            const auto found =
                std::find_if(relationships_.begin(), relationships_.end(),
                             [&](const Relationship& r) { return r.id == id && !r.external; });
            if (found == relationships_.end() || !found->type.ends_with("/worksheet")) {
                continue;  // a chart sheet, or a sheet the package lacks
            }
            sheets_.emplace_back(sheet.attribute("name").value(), package_.Find(found->target),
                                 ParsePart(package_, found->target));
        }
    }

    void LoadSharedStrings() {
        const Relationship* shared = FindRelationship(relationships_, "sharedStrings");
        if (shared == nullptr || !package_.Has(shared->target)) {
            return;
        }
        strings_.document = ParsePart(package_, shared->target);
        const Names n(strings_.document->document_element(), {kSpreadsheetNs, kSpreadsheetStrictNs},
                      "");
        for (pugi::xml_node item : strings_.document->document_element().children(n("si"))) {
            strings_.items.push_back(item);
        }
    }

    Worksheet* SheetNamed(std::string_view name) {
        for (Worksheet& sheet : sheets_) {
            if (SameName(sheet.Name(), name)) {
                return &sheet;
            }
        }
        return nullptr;
    }

    [[noreturn]] void BadBand(const std::string& name, const std::string& why) const {
        throw Error("Шаблон " + package_.DisplayName() + ": область " + name + " " + why);
    }

    std::vector<Band> FindBands() {
        std::vector<Band> bands;
        const pugi::xml_node names = workbook_->document_element().child((*n_)("definedNames"));
        for (pugi::xml_node defined : names.children((*n_)("definedName"))) {
            const std::string name = defined.attribute("name").value();
            const DataTable* table = BandTable(name, tables_);
            if (table == nullptr) {
                continue;
            }
            std::vector<FormulaRef> refs;
            const std::string value = RewriteReferences(
                defined.text().get(), [&](const FormulaRef& ref) -> std::optional<std::string> {
                    refs.push_back(ref);
                    return std::nullopt;
                });
            if (refs.size() != 1 || refs.front().kind == FormulaRef::Kind::Cell ||
                !refs.front().hasSheet) {
                BadBand(name, "должна быть одним диапазоном строк листа, а не \"" + value + "\"");
            }
            const FormulaRef& ref = refs.front();
            Worksheet* sheet = SheetNamed(ref.sheet);
            if (sheet == nullptr) {
                BadBand(name, "указывает на лист \"" + ref.sheet + "\", которого в книге нет");
            }
            bands.push_back({static_cast<std::size_t>(sheet - sheets_.data()),
                             std::min(ref.from.row, ref.to.row), std::max(ref.from.row, ref.to.row),
                             table, name});
        }
        if (bands.size() > kMaxBands) {
            throw Error("Шаблон " + package_.DisplayName() + ": повторяемых областей больше " +
                        std::to_string(kMaxBands));
        }
        // Bottom up: a band's copies then never move a band still to come.
        std::sort(bands.begin(), bands.end(), [](const Band& a, const Band& b) {
            return a.sheet != b.sheet ? a.sheet < b.sheet : a.first > b.first;
        });
        for (std::size_t i = 1; i < bands.size(); ++i) {
            if (bands[i].sheet == bands[i - 1].sheet && bands[i].last >= bands[i - 1].first) {
                BadBand(bands[i].name, "пересекается с областью " + bands[i - 1].name);
            }
        }
        return bands;
    }

    void LoadDrawing(Worksheet& sheet) {
        const std::vector<Relationship> relationships = ReadRelationships(package_, sheet.Part());
        const Relationship* drawing = FindRelationship(relationships, "drawing");
        if (drawing != nullptr && package_.Has(drawing->target)) {
            sheet.drawingPart = package_.Find(drawing->target);
            sheet.drawing = ParsePart(package_, drawing->target);
        }
    }

    std::size_t BandCells(Worksheet& sheet, const Band& band) const {
        std::size_t cells = 0;
        for (pugi::xml_node row : sheet.SheetData().children(sheet.N()("row"))) {
            const int number = RowNumber(row);
            if (number >= band.first && number <= band.last) {
                cells += static_cast<std::size_t>(
                    std::distance(row.children().begin(), row.children().end()));
            }
        }
        return cells;
    }

    void ApplyBands(const std::vector<Band>& bands) {
        std::vector<bool> prepared(sheets_.size(), false);
        std::size_t copiedCells = 0;
        for (const Band& band : bands) {
            Worksheet& sheet = sheets_[band.sheet];
            if (!prepared[band.sheet]) {
                sheet.Normalize();
                LoadDrawing(sheet);
                prepared[band.sheet] = true;
            }
            const RowEdit edit(band.first, band.last, band.table->RecordCount());
            if (sheet.LastRow() + edit.Delta() > kMaxSheetRow ||
                band.last + edit.Delta() > kMaxSheetRow) {
                BadBand(band.name,
                        "с " + std::to_string(edit.Copies()) + " записями не помещается на листе");
            }
            copiedCells += BandCells(sheet, band) * edit.Copies();
            if (copiedCells > kMaxCopiedCells) {
                BadBand(band.name, "дала бы более " + std::to_string(kMaxCopiedCells) + " ячеек");
            }
            ApplyBandEdit(sheet, edit, *band.table, records_);
            for (std::size_t i = 0; i < sheets_.size(); ++i) {
                if (i != band.sheet) {
                    ShiftOtherSheet(sheets_[i], edit, sheet.Name());
                }
            }
            const pugi::xml_node names = workbook_->document_element().child((*n_)("definedNames"));
            for (pugi::xml_node defined : names.children((*n_)("definedName"))) {
                defined.text() =
                    ShiftFormula(defined.text().get(), edit, sheet.Name(), false).c_str();
            }
        }
    }

    void Save(bool rowsMoved) {
        for (Worksheet& sheet : sheets_) {
            if (sheet.changed) {
                package_.Replace(sheet.Part(), WritePart(sheet.Document()));
            }
            if (sheet.drawingChanged) {
                package_.Replace(sheet.drawingPart, WritePart(*sheet.drawing));
            }
        }
        if (!rowsMoved) {
            return;
        }
        // Formulas moved: the cached order of calculation no longer fits, and
        // the applications are asked to calculate everything on opening.
        if (const Relationship* chain = FindRelationship(relationships_, "calcChain")) {
            RemovePart(package_, mainPart_, chain->target);
        }
        pugi::xml_node root = workbook_->document_element();
        pugi::xml_node calc = root.child((*n_)("calcPr"));
        if (!calc) {
            // calcPr follows definedNames in the schema's order.
            pugi::xml_node before = root.child((*n_)("oleSize"));
            for (const char* next :
                 {"customWorkbookViews", "pivotCaches", "smartTagPr", "smartTagTypes",
                  "webPublishing", "fileRecoveryPr", "webPublishObjects", "extLst"}) {
                if (!before) {
                    before = root.child((*n_)(next));
                }
            }
            calc = before ? root.insert_child_before((*n_)("calcPr"), before)
                          : root.append_child((*n_)("calcPr"));
        }
        if (!calc.attribute("fullCalcOnLoad")) {
            calc.append_attribute("fullCalcOnLoad");
        }
        calc.attribute("fullCalcOnLoad") = "1";
        package_.Replace(mainPart_, WritePart(*workbook_));
    }

    Package& package_;
    std::string mainPart_;
    const TableSet& tables_;
    std::unique_ptr<pugi::xml_document> workbook_;
    std::unique_ptr<Names> n_;
    std::vector<Relationship> relationships_;
    std::vector<Worksheet> sheets_;
    SharedStrings strings_;
    RowRecords records_;
};

}  // namespace

void FillWorkbook(Package& package, const std::string& mainPart, const TableSet& tables) {
    WorkbookFill(package, mainPart, tables).Run();
}

}  // namespace velmora::print
