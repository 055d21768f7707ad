#include "print/sheet/cell_fill.h"

#include "encoding/error.h"
#include "encoding/utf8.h"
#include "print/package/xml_part.h"
#include "print/sheet/cell_ref.h"
#include "print/sheet/field_refs.h"

namespace velmora::print {
namespace {

constexpr std::size_t kMaxCellCharacters = 32767;

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// One run of a string item: its properties (null for plain text) and text.
struct Run {
    pugi::xml_node properties;
    std::string text;
};

// The runs of a string item (<si> or <is>): a plain <t>, or rich-text <r>s.
std::vector<Run> RunsOf(pugi::xml_node item, const Names& n) {
    std::vector<Run> runs;
    for (pugi::xml_node child : item.children()) {
        if (n.Is(child, "t")) {
            runs.push_back({{}, child.text().get()});
        } else if (n.Is(child, "r")) {
            runs.push_back({child.child(n("rPr")), child.child(n("t")).text().get()});
        }
    }
    return runs;
}

void AppendText(pugi::xml_node parent, const std::string& text, const Names& n) {
    pugi::xml_node t = parent.append_child(n("t"));
    if (!text.empty() && (text.front() == ' ' || text.back() == ' ' ||
                          text.find_first_of("\n\t") != std::string::npos)) {
        t.append_attribute("xml:space") = "preserve";
    }
    t.text() = text.c_str();
}

// The runs with their references filled. References that run across runs
// cannot keep the runs' formats: the whole text is then filled as one run.
std::vector<Run> FilledRuns(std::vector<Run> runs, const FieldLookup& lookup) {
    bool crossing = false;
    for (const Run& run : runs) {
        const std::size_t open = run.text.rfind("<#");
        crossing = crossing ||
                   (open != std::string::npos && run.text.find('>', open) == std::string::npos);
    }
    if (crossing && runs.size() > 1) {
        std::string joined;
        for (const Run& run : runs) {
            joined += run.text;
        }
        runs = {{runs.front().properties, joined}};
    }
    for (Run& run : runs) {
        run.text = FillFieldRefs(run.text, lookup);
    }
    return runs;
}

// Makes the cell an inline string of the runs, keeping its style.
void WriteInlineString(pugi::xml_node cell, const std::vector<Run>& runs, const Names& n) {
    while (pugi::xml_node child = cell.first_child()) {
        cell.remove_child(child);
    }
    if (!cell.attribute("t")) {
        cell.append_attribute("t");
    }
    cell.attribute("t") = "inlineStr";
    pugi::xml_node item = cell.append_child(n("is"));
    if (runs.size() == 1 && !runs.front().properties) {
        AppendText(item, runs.front().text, n);
        return;
    }
    for (const Run& run : runs) {
        pugi::xml_node r = item.append_child(n("r"));
        if (run.properties) {
            r.append_copy(run.properties);
        }
        AppendText(r, run.text, n);
    }
}

}  // namespace

std::string CellText(std::string_view value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r') {
            text += '\n';
            if (i + 1 < value.size() && value[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '_' && i + 6 < value.size() && value[i + 1] == 'x' && IsHex(value[i + 2]) &&
                   IsHex(value[i + 3]) && IsHex(value[i + 4]) && IsHex(value[i + 5]) &&
                   value[i + 6] == '_') {
            text += "_x005F_";  // the underscore itself, escaped
        } else {
            text += c;
        }
    }
    text = XmlSafeText(text);
    if (Utf8Length(text) > kMaxCellCharacters) {
        std::size_t pos = 0;
        for (std::size_t count = 0; count < kMaxCellCharacters && pos < text.size(); ++count) {
            DecodeUtf8(text, pos);
        }
        text.resize(pos);
    }
    return text;
}

void FillSheetCells(Worksheet& sheet, const SharedStrings& strings, const RowRecords& records,
                    const FillPlace& place) {
    const Names& n = sheet.N();
    const std::string cellName = n("c");
    const auto lookupFor = [&](const RowRecord* band, const std::string& cell,
                               bool header) -> FieldLookup {
        return [&, band, cell, header](std::string_view tableName,
                                       std::string_view column) -> std::optional<std::string> {
            const DataTable* table = place.tables.Find(tableName);
            if (table == nullptr) {
                return std::nullopt;
            }
            const int index = table->ColumnIndex(column);
            if (index < 0) {
                throw Error("Шаблон " + place.templateName + ", лист \"" + sheet.Name() + "\", " +
                            cell + ": в таблице " + table->Name() + " нет поля " +
                            std::string(column));
            }
            const std::size_t record = band != nullptr && band->table == table ? band->index : 0;
            std::string value = CellText(table->Value(record, static_cast<std::size_t>(index)));
            if (header) {
                // "&" starts a code in header and footer texts.
                std::string escaped;
                for (char c : value) {
                    escaped += c == '&' ? std::string("&&") : std::string(1, c);
                }
                value = escaped;
            }
            return value;
        };
    };

    for (pugi::xml_node row : sheet.SheetData().children(n("row"))) {
        const auto found = records.find(row.internal_object());
        const RowRecord* band = found == records.end() ? nullptr : &found->second;
        for (pugi::xml_node cell : row.children(cellName.c_str())) {
            const std::string_view type = cell.attribute("t").value();
            pugi::xml_node item;
            Names itemNames = n;
            if (type == "s") {
                const std::size_t index = cell.child(n("v")).text().as_ullong(~0ull);
                if (index < strings.items.size()) {
                    item = strings.items[index];
                    itemNames = Names(strings.document->document_element(),
                                      {kSpreadsheetNs, kSpreadsheetStrictNs}, "");
                }
            } else if (type == "inlineStr") {
                item = cell.child(n("is"));
            }
            if (!item) {
                continue;
            }
            std::vector<Run> runs = RunsOf(item, itemNames);
            bool holdsRefs = false;
            for (const Run& run : runs) {
                holdsRefs = holdsRefs || HasFieldRefs(run.text);
            }
            if (!holdsRefs) {
                continue;
            }
            const std::string place_text = "ячейка " + std::string(cell.attribute("r").value());
            WriteInlineString(cell, FilledRuns(std::move(runs), lookupFor(band, place_text, false)),
                              n);
            sheet.changed = true;
        }
    }

    if (pugi::xml_node headers = sheet.Root().child(n("headerFooter"))) {
        for (pugi::xml_node text : headers.children()) {
            if (HasFieldRefs(text.text().get())) {
                text.text() =
                    FillFieldRefs(text.text().get(), lookupFor(nullptr, "колонтитул", true))
                        .c_str();
                sheet.changed = true;
            }
        }
    }
}

}  // namespace velmora::print
