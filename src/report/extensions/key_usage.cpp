#include "report/extensions/key_usage.h"

#include "encoding/text_words.h"
#include "report/text/value_text.h"

namespace velmora {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return CompareTexts(a, b) != TextMatch::Different;
}

const KeyUsageName* FindUsageName(std::string_view name, KeyUsageNameKind kind) {
    for (const KeyUsageName& row : kKeyUsageNames) {
        const std::string_view column =
            kind == KeyUsageNameKind::kConstant ? row.constantName : row.russianName;
        if (SameName(column, name)) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

TKEY_USAGE_STR KeyUsageOfBits(ByteView bits) {
    TKEY_USAGE_STR usage;
    if (bits.empty()) {
        return usage;
    }
    const std::uint8_t first = bits[0];
    usage.DigitalSignature = (first & 0x80) != 0;
    usage.NonRepudiation = (first & 0x40) != 0;
    usage.KeyEncipherment = (first & 0x20) != 0;
    usage.DataEncipherment = (first & 0x10) != 0;
    usage.KeyAgreement = (first & 0x08) != 0;
    usage.KeyCertSign = (first & 0x04) != 0;
    usage.CrlSign = (first & 0x02) != 0;
    usage.DecipherOnly = bits.size() > 1 && (bits[1] & 0x80) != 0;
    usage.HexText = HexSpacedText(bits);
    return usage;
}

std::string KeyUsageText(const TKEY_USAGE_STR& usage) {
    // The order of the report, which is not the order of the bits.
    const std::pair<bool, std::string_view> names[] = {
        {usage.DataEncipherment, "Шифрование данных"},
        {usage.DigitalSignature, "Цифровая подпись"},
        {usage.KeyAgreement, "Согласование ключей"},
        {usage.KeyCertSign, "Подпись ключа сертификата"},
        {usage.KeyEncipherment, "Шифрование ключа"},
        {usage.NonRepudiation, "Неотрекаемость"},
        {usage.CrlSign, "Подписание списков отзыва"},
        {usage.DecipherOnly, "Только расшифровка"},
    };
    std::string text;
    for (const auto& [set, name] : names) {
        if (set) {
            if (!text.empty()) {
                text += ", ";
            }
            text += name;
        }
    }
    text += "(" + usage.HexText + ")";
    return text;
}

std::uint8_t KeyUsageBit(std::string_view name, KeyUsageNameKind kind, int& byteNumber) {
    byteNumber = (name == "Только расшифровка" || name == "CERT_DECIPHER_ONLY_KEY_USAGE") ? 2 : 1;
    const KeyUsageName* row = FindUsageName(name, kind);
    return row != nullptr ? row->bit : 0;
}

std::string KeyUsageNameMap(std::string_view name, KeyUsageNameKind kind) {
    const KeyUsageName* row = FindUsageName(name, kind);
    if (row == nullptr) {
        return {};
    }
    return std::string(kind == KeyUsageNameKind::kConstant ? row->russianName : row->constantName);
}

}  // namespace velmora
