#include "report/crl/crl_entry_text.h"

#include "crypto/platform/asn1/decode_values.h"
#include "encoding/cp1251.h"
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

namespace {

std::string Cp1251Of(const std::string& text) {
    const Bytes bytes = Utf8ToCp1251(text);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

CrlEntryLineWriter::CrlEntryLineWriter() : unknownReason_(Cp1251Of(kUnknownReason)) {
    for (std::size_t code = 0; code < reasons_.size(); ++code) {
        reasons_[code] =
            Cp1251Of(kReasonNames[code] + std::string(" (") + std::to_string(code) + ")");
    }
}

void CrlEntryLineWriter::Append(const platform::CrlEntryInfo& entry, std::string& line) {
    // ="serial";date;reason;invalidity date -- the equals sign and the quotes
    // make a spreadsheet keep the serial number as text.
    constexpr char kDigits[] = "0123456789ABCDEF";
    line += "=\"";
    const std::size_t at = line.size();
    line.resize(at + 2 * entry.serialNumber.size());
    char* out = line.data() + at;
    for (std::size_t i = entry.serialNumber.size(); i > 0; --i) {
        const std::uint8_t byte = entry.serialNumber[i - 1];
        *out++ = kDigits[byte >> 4];
        *out++ = kDigits[byte & 0x0F];
    }
    line += "\";";
    times_.Append(entry.revocationDate, line);
    line += ';';
    if (const platform::Extension* reason = platform::FindExtension(entry.extensions, kReasonOid)) {
        if (const std::optional<std::int32_t> code = platform::DecodeEnumerated(reason->value)) {
            if (*code >= 0 && static_cast<std::size_t>(*code) < reasons_.size()) {
                line += reasons_[static_cast<std::size_t>(*code)];
            } else {
                line += unknownReason_;
                line += " (" + std::to_string(*code) + ")";
            }
        }
    }
    line += ';';
    if (const platform::Extension* date =
            platform::FindExtension(entry.extensions, kInvalidityDateOid)) {
        if (const std::optional<FileTime> time = platform::DecodeChoiceOfTime(date->value)) {
            times_.Append(*time, line);
        }
    }
}

}  // namespace velmora
