#include "app/request/request_form_file.h"

#include "app/grid/grid_operations.h"
#include "app/request/request_lists.h"
#include "encoding/text_file.h"
#include "encoding/text_words.h"

#include <algorithm>
#include <optional>
#include <set>

namespace velmora {

namespace {

using namespace request;

constexpr std::string_view kHeaderComment =
    "# Форма запроса на сертификат (velmora-cli request-make)";

struct NamedGrid {
    std::string_view name;
    StringGrid& grid;
    const std::vector<std::string>& header;
};

std::vector<NamedGrid> Grids(const RequestForm& form) {
    return {{"SUB_RDN", form.grids.SUB_RDN, kSubjectHeader},
            {"GridKEYUSAGE", form.grids.GridKEYUSAGE, kUsageHeader},
            {"SG_ALTNAME", form.grids.SG_ALTNAME, kAltNameHeader},
            {"SG_CertPolicy", form.grids.SG_CertPolicy, kPolicyHeader}};
}

std::string Escape(std::string_view text, bool bars) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '|':
                out += bars ? "\\|" : "|";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The parts of a value split at unescaped "|" (one part when `split` is
// false), unescaped; nothing for an escape the format does not have.
std::optional<std::vector<std::string>> Unescape(std::string_view text, bool split) {
    std::vector<std::string> parts(1);
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '|' && split) {
            parts.emplace_back();
        } else if (c != '\\') {
            parts.back() += c;
        } else if (++k == text.size()) {
            return std::nullopt;
        } else {
            switch (text[k]) {
                case '\\':
                    parts.back() += '\\';
                    break;
                case 'n':
                    parts.back() += '\n';
                    break;
                case 'r':
                    parts.back() += '\r';
                    break;
                case '|':
                    parts.back() += '|';
                    break;
                default:
                    return std::nullopt;
            }
        }
    }
    return parts;
}

std::string CheckedItems(const std::vector<CheckListItem>& items) {
    std::string out;
    for (const CheckListItem& item : items) {
        if (item.checked) {
            out += (out.empty() ? "" : "|") + Escape(item.text, true);
        }
    }
    return out;
}

// Checks the named items of the eight; false for a name outside them.
bool SetCheckedItems(const std::vector<std::string>& names, std::vector<CheckListItem>& items,
                     std::string& bad) {
    items = KeyUsageItems();
    for (const std::string& name : names) {
        if (name.empty()) {
            continue;
        }
        const auto found = std::find_if(items.begin(), items.end(), [&name](const auto& item) {
            return CompareTexts(item.text, name) != TextMatch::Different;
        });
        if (found == items.end()) {
            bad = name;
            return false;
        }
        found->checked = true;
    }
    return true;
}

}  // namespace

std::string WriteFormText(const RequestForm& form) {
    std::string out = std::string(kHeaderComment) + "\n";
    for (const FormField& field : kRequestFormFields) {
        if (field.kind == FormFieldKind::kLabel) {
            continue;
        }
        const std::string value = field.kind == FormFieldKind::kCheckBox
                                      ? (form.Check(field.name) ? "1" : "0")
                                      : Escape(form.Text(field.name), false);
        out += std::string(field.name) + "=" + value + "\n";
    }
    out += "SetCsp=" + Escape(form.SelectedProviderEntry(), false) + "\n";
    out += "KeyUse=" + CheckedItems(form.keyUse) + "\n";
    out += "attr_Key_USE=" + CheckedItems(form.attrKeyUse) + "\n";
    for (const NamedGrid& grid : Grids(form)) {
        if (!grid.grid.Enabled()) {
            continue;
        }
        for (int row = 1; row < grid.grid.RowCount(); ++row) {
            out += std::string(grid.name) + "=";
            for (int column = 0; column < grid.grid.ColumnCount(); ++column) {
                out += (column == 0 ? "" : "|") + Escape(grid.grid.Cell(row, column), true);
            }
            out += "\n";
        }
    }
    return out;
}

bool ReadFormText(ByteView text, RequestForm& form, std::string& error) {
    const std::vector<NamedGrid> grids = Grids(form);
    for (const NamedGrid& grid : grids) {
        SetGridHeader(grid.grid, grid.header, true);
    }
    std::set<std::string, std::less<>> seen;
    int number = 0;
    const auto fail = [&error, &number](const std::string& message) {
        error = "строка " + std::to_string(number) + ": " + message;
        return false;
    };
    for (const std::string& line : SplitLines(DecodeTextBytes(text))) {
        ++number;
        if (line.empty() || line.starts_with('#')) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            return fail("нет знака \"=\" после имени поля");
        }
        const std::string name = line.substr(0, equals);
        const std::string_view raw = std::string_view(line).substr(equals + 1);
        const auto grid = std::find_if(grids.begin(), grids.end(),
                                       [&name](const NamedGrid& g) { return g.name == name; });
        const bool listed = grid != grids.end() || name == "KeyUse" || name == "attr_Key_USE";
        const std::optional<std::vector<std::string>> parts = Unescape(raw, listed);
        if (!parts) {
            return fail("неверная escape-последовательность в значении поля " + name);
        }
        if (grid != grids.end()) {
            if (static_cast<int>(parts->size()) > grid->grid.ColumnCount()) {
                return fail("в строке таблицы " + name + " больше ячеек, чем столбцов");
            }
            AppendGridRow(grid->grid, *parts, true);
            continue;
        }
        if (!seen.insert(name).second) {
            return fail("поле " + name + " указано дважды");
        }
        const std::string& value = parts->front();
        if (listed) {
            std::string bad;
            if (!SetCheckedItems(*parts, name == "KeyUse" ? form.keyUse : form.attrKeyUse, bad)) {
                return fail("неизвестное назначение ключа \"" + bad + "\"");
            }
        } else if (name == "SetCsp") {
            const auto found = std::find(form.providers.begin(), form.providers.end(), value);
            if (!value.empty() && found == form.providers.end()) {
                return fail("криптопровайдер \"" + value + "\" не установлен");
            }
            form.selectedProvider =
                value.empty() ? -1 : static_cast<int>(found - form.providers.begin());
        } else {
            const FormField* field = FindFormField(name);
            if (field == nullptr || field->kind == FormFieldKind::kLabel) {
                return fail("неизвестное поле " + name);
            }
            if (field->kind == FormFieldKind::kCheckBox) {
                if (value != "0" && value != "1") {
                    return fail("флажок " + name + " принимает значения 1 или 0");
                }
                form.Check(name) = value == "1";
            } else {
                form.Text(name) = value;
            }
        }
    }
    return true;
}

}  // namespace velmora
