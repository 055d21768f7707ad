#include "report/names/attribute_label.h"

#include "crypto/platform/asn1/oid_registry.h"

#include <array>
#include <utility>

namespace velmora {

namespace {

struct LabelRow {
    std::string_view oid;
    std::string_view label;
};

// Searched in this order.
constexpr std::array<LabelRow, 15> kLabels{{
    {"2.5.4.11", "Подразделение"},
    {"2.5.4.12", "Должность"},
    {"2.5.4.10", "Организация"},
    {"2.5.4.6", "Страна"},
    {"2.5.4.9", "Улица"},
    {"2.5.4.7", "Населённый пункт"},
    {"2.5.4.8", "Регион"},
    {"2.5.4.3", "Обобщённое имя (COMMON NAME)"},
    {"2.5.4.4", "Фамилия (SURNAME)"},
    {"2.5.4.42", "Имя Отчество (GIVEN NAME)"},
    {"2.5.4.43", "Инициалы"},
    {"1.2.840.113549.1.9.1", "Адрес электронной почты"},
    {"1.2.840.113549.1.9.2", "Формализованная должность АСФК"},
    {"2.5.4.13", "Описание"},
    {"1.2.643.2.2.37.3.10", "Срок действия закрытого ключа"},
}};

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
}

}  // namespace

std::string AttributeLabel(std::string_view oid) {
    for (const LabelRow& row : kLabels) {
        if (row.oid == oid) {
            return std::string(row.label);
        }
    }
    return RegisteredOidName(oid);
}

std::string AttributeLabelWithOid(std::string_view oid, bool withOid) {
    std::string label = AttributeLabel(oid);
    if (withOid) {
        label += "(";
        label += oid;
        label += ")";
    }
    return label;
}

std::string RegisteredOidName(std::string_view oid) {
    std::optional<std::string> name = platform::FindOidName(oid);
    return name ? std::move(*name) : std::string(oid);
}

std::string OidFriendlyName(std::string_view oid) {
    std::optional<std::string> name = platform::FindOidName(oid);
    return name ? std::move(*name) : std::string("Неизвестный OID");
}

std::string OgrnSnilsInnText(std::string_view text) {
    std::string result(text);
    ReplaceAll(result, "1.2.643.100.1", "ОГРН");
    ReplaceAll(result, "1.2.643.100.3", "СНИЛС");
    ReplaceAll(result, "1.2.643.3.131.1.1", "ИНН");
    return result;
}

}  // namespace velmora
