#include "report/crl/crl_entry_text.h"

#include "crypto/platform/asn1/decode_values.h"
#include "report/text/value_text.h"

#include <array>
#include <optional>

namespace velmora {
namespace {

constexpr const char* kReasonOid = "2.5.29.21";
constexpr const char* kInvalidityDateOid = "2.5.29.24";

constexpr const char* kUnknownReason = "Неизвестный код";

// By code; 7 is unused by the standard.
constexpr std::array<const char*, 11> kReasonNames = {
    "Не определена",
    "Компрометация ключа электронной подписи",
    "Компрометация центра сертификации",
    "Изменение принадлежности УЦ",
    "Сертификат заменен",
    "Прекращение работы",
    "Сертификат приостановлен",
    kUnknownReason,
    "Удалить из CRL",
    "Привилегии отменены",
    "Компрометация полномочий по проверке",
};

}  // namespace

std::string CrlReasonName(std::int64_t code) {
    if (code < 0 || code >= static_cast<std::int64_t>(kReasonNames.size())) {
        return kUnknownReason;
    }
    return kReasonNames[static_cast<std::size_t>(code)];
}

std::string CrlReasonText(const std::vector<platform::Extension>& extensions) {
    const platform::Extension* reason = platform::FindExtension(extensions, kReasonOid);
    if (reason == nullptr) {
        return {};
    }
    const std::optional<std::int32_t> code = platform::DecodeEnumerated(reason->value);
    if (!code) {
        return {};
    }
    return CrlReasonName(*code) + " (" + std::to_string(*code) + ")";
}

std::string InvalidityDateText(const std::vector<platform::Extension>& extensions) {
    const platform::Extension* date = platform::FindExtension(extensions, kInvalidityDateOid);
    if (date == nullptr) {
        return {};
    }
    const std::optional<FileTime> time = platform::DecodeChoiceOfTime(date->value);
    return time ? FileTimeText(*time) : std::string();
}

}  // namespace velmora
