// The request builder's state without its window: the edit fields, check
// boxes and check lists by their control names, the provider list and the
// four grids. The window mirrors it into its widgets; the command line fills
// it from a form file. The request content is exactly what stands here when
// a request is made.
#pragma once

#include "app/grid/memory_grid.h"
#include "app/grid/string_grid.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What kind of control a named field is.
enum class FormFieldKind {
    kEdit,      // one-line edit (or an editable drop-down)
    kMemo,      // several lines
    kCheckBox,  // "1" / "0" in a form file
    kLabel,     // shown, never read back from a form file
};

struct FormField {
    std::string_view name;
    std::string_view caption;  // the text beside the control; empty when none
    FormFieldKind kind;
};

// Every named field of the window, in the order the form file writes them.
extern const std::vector<FormField> kRequestFormFields;

// The field of that name; nullptr for a name that is not one.
const FormField* FindFormField(std::string_view name);

// One item of a check list.
struct CheckListItem {
    std::string text;
    bool checked = false;

    bool operator==(const CheckListItem&) const = default;
};

// The four grids of the window, by their control names.
struct RequestGrids {
    StringGrid& SUB_RDN;
    StringGrid& GridKEYUSAGE;
    StringGrid& SG_ALTNAME;
    StringGrid& SG_CertPolicy;
};

// Grids held in memory, for the command line and the tests.
struct MemoryRequestGrids {
    MemoryGrid subject{3};
    MemoryGrid usages{2};
    MemoryGrid altNames{3};
    MemoryGrid policies{2};

    RequestGrids Grids() { return {subject, usages, altNames, policies}; }
};

class RequestForm {
  public:
    // Texts empty, check boxes unchecked, both check lists holding the eight
    // key-usage items unchecked, no providers.
    explicit RequestForm(RequestGrids grids);

    // The text of an edit, memo or label field. Throws std::logic_error for
    // a name that is not such a field.
    std::string& Text(std::string_view name);
    const std::string& Text(std::string_view name) const;

    // The state of a check box; the same for names that are not check boxes.
    bool& Check(std::string_view name);
    bool Check(std::string_view name) const;

    // The provider entries "[type] name" of SetCsp and the selected one
    // (-1 for none).
    std::vector<std::string> providers;
    int selectedProvider = -1;
    std::string SelectedProviderEntry() const;

    // KeyUse and attr_Key_USE.
    std::vector<CheckListItem> keyUse;
    std::vector<CheckListItem> attrKeyUse;

    RequestGrids grids;

  private:
    std::map<std::string, std::string, std::less<>> texts_;
    std::map<std::string, bool, std::less<>> checks_;
};

// The provider's name and type of a SetCsp entry "[type] name"; type 0
// when the entry names no decimal type.
struct ProviderOfEntry {
    std::string name;
    std::uint32_t type = 0;
};
ProviderOfEntry SplitProviderEntry(const std::string& entry);

// The eight key-usage items in the order of the check lists, all unchecked.
std::vector<CheckListItem> KeyUsageItems();

// The data rows of a grid from row 1 to the last, as the request is built
// from them: an empty (disabled) grid still gives its one blank row.
int GridDataRows(const StringGrid& grid);

}  // namespace velmora
