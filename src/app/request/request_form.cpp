#include "app/request/request_form.h"

#include "encoding/text_parts.h"
#include "report/extensions/key_usage.h"

#include <algorithm>
#include <stdexcept>

namespace velmora {

namespace {

using K = FormFieldKind;

}  // namespace

const std::vector<FormField> kRequestFormFields = {
    // "Общие данные", organisation.
    {"e_INN", "ИНН", K::kEdit},
    {"e_KPP", "КПП", K::kEdit},
    {"e_OGRN", "ОГРН", K::kEdit},
    {"E_SNILS", "СНИЛС", K::kEdit},
    {"e_SPZ", "код в СПЗ", K::kEdit},
    {"e_GMU", "Учётный номер организации ГМУ", K::kEdit},
    {"e_locality", "Нас.пункт", K::kEdit},
    {"e_region", "Регион", K::kEdit},
    {"E_COUNTRY_NAME", "Страна", K::kEdit},
    {"Org", "Наименование организации", K::kMemo},
    // Owner.
    {"e_CN", "Обобщеннное имя (COMMON NAME)", K::kEdit},
    {"e_SURNAME", "Фамилия (SURNAME)", K::kEdit},
    {"e_GIVEN_NAME", "имя и отчество  (GIVEN NAME)", K::kEdit},
    {"e_dolgn", "Должность", K::kEdit},
    {"e_podr", "Подразделение", K::kEdit},
    {"e_login_asfk", "учётная запись пользователя АСФК", K::kEdit},
    {"TITLE_ASFK", "Формализованная должность АСФК", K::kEdit},
    {"e_email", "email", K::kEdit},
    {"IDENTIFY_KEY", "Идентификатор ключей при смене", K::kEdit},
    {"avtoSet", "Сформировать автоматически", K::kCheckBox},
    {"addContName", "Добавить в имя контейнера", K::kCheckBox},
    {"ContName", "Имя контейнера", K::kEdit},
    {"CB_S_EP",
     "Включить в запрос наименование средства электронной подписи "
     "владельца(1.2.643.100.111)",
     K::kCheckBox},
    {"e_SrEP", "", K::kEdit},
    {"Label16", "", K::kLabel},
    // "Расширения": the include check boxes and the key attributes' texts.
    {"CB_ENHANCED_KEY_USAGE", "Включить в запрос", K::kCheckBox},
    {"CB_SUBJECT_ALT_NAME2", "Включить в запрос", K::kCheckBox},
    {"CB_KEY_USAGE", "Включить в запрос", K::kCheckBox},
    {"CB_KEY_ATTRIBUTES", "Включить в запрос", K::kCheckBox},
    {"CB_CERT_POLICIES", "Включить в запрос", K::kCheckBox},
    {"attr_ID_KEY", "Идентификатор ключа", K::kEdit},
    {"attr_NotBefore", "Не ранее", K::kEdit},
    {"attr_NotAfter", "Не позднее", K::kEdit},
    // The name of the file loaded last.
    {"Label2", "", K::kLabel},
};

const FormField* FindFormField(std::string_view name) {
    for (const FormField& field : kRequestFormFields) {
        if (field.name == name) {
            return &field;
        }
    }
    return nullptr;
}

RequestForm::RequestForm(RequestGrids form_grids)
    : keyUse(KeyUsageItems()), attrKeyUse(KeyUsageItems()), grids(form_grids) {
    for (const FormField& field : kRequestFormFields) {
        if (field.kind == FormFieldKind::kCheckBox) {
            checks_.emplace(field.name, false);
        } else {
            texts_.emplace(field.name, std::string());
        }
    }
}

std::string& RequestForm::Text(std::string_view name) {
    const auto found = texts_.find(name);
    if (found == texts_.end()) {
        throw std::logic_error("no text field " + std::string(name));
    }
    return found->second;
}

const std::string& RequestForm::Text(std::string_view name) const {
    return const_cast<RequestForm*>(this)->Text(name);
}

bool& RequestForm::Check(std::string_view name) {
    const auto found = checks_.find(name);
    if (found == checks_.end()) {
        throw std::logic_error("no check box " + std::string(name));
    }
    return found->second;
}

bool RequestForm::Check(std::string_view name) const {
    return const_cast<RequestForm*>(this)->Check(name);
}

std::string RequestForm::SelectedProviderEntry() const {
    if (selectedProvider < 0 || selectedProvider >= static_cast<int>(providers.size())) {
        return {};
    }
    return providers[static_cast<std::size_t>(selectedProvider)];
}

ProviderOfEntry SplitProviderEntry(const std::string& entry) {
    ProviderOfEntry provider;
    provider.name = BracketPart(entry, 2);
    const std::string type = BracketPart(entry, 1);
    if (!type.empty() && type.size() < 10 &&
        std::all_of(type.begin(), type.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        provider.type = static_cast<std::uint32_t>(std::stoul(type));
    }
    return provider;
}

std::vector<CheckListItem> KeyUsageItems() {
    std::vector<CheckListItem> items;
    for (const KeyUsageName& name : kKeyUsageNames) {
        items.push_back({std::string(name.russianName), false});
    }
    return items;
}

int GridDataRows(const StringGrid& grid) {
    return grid.RowCount() - 1;
}

}  // namespace velmora
