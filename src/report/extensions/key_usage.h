// Key usage: the decoded flags of a key usage bit string, their report text,
// and the table of usage names shared by the report and the request builder.
#pragma once

#include "encoding/bytes.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// The flags of a key usage bit string. The encipher-only bit (0x01 of the
// first byte) is not read.
struct TKEY_USAGE_STR {
    bool DigitalSignature = false;  // 0x80 of the first byte
    bool NonRepudiation = false;    // 0x40
    bool KeyEncipherment = false;   // 0x20
    bool DataEncipherment = false;  // 0x10
    bool KeyAgreement = false;      // 0x08
    bool KeyCertSign = false;       // 0x04
    bool CrlSign = false;           // 0x02
    bool DecipherOnly = false;      // 0x80 of the second byte
    std::string HexText;            // every byte of the bit string, HexSpacedText

    bool operator==(const TKEY_USAGE_STR&) const = default;
};

// The flags and hex text of a bit string's bytes; no bytes give the empty
// record.
TKEY_USAGE_STR KeyUsageOfBits(ByteView bits);

// The set flags' Russian names joined by ", " (data encipherment, digital
// signature, key agreement, certificate signing, key encipherment,
// non-repudiation, CRL signing, decipher only), directly followed by
// "(" + hex text + ")".
std::string KeyUsageText(const TKEY_USAGE_STR& usage);

// One row of the key usage name table.
struct KeyUsageName {
    std::string_view constantName;  // the platform's constant, e.g. CERT_CRL_SIGN_KEY_USAGE
    std::string_view russianName;
    std::uint8_t bit;
    int byteNumber;  // 1: the first byte of the bit string, 2: the second
};

inline constexpr std::array<KeyUsageName, 8> kKeyUsageNames{{
    {"CERT_DIGITAL_SIGNATURE_KEY_USAGE", "Цифровая подпись", 0x80, 1},
    {"CERT_NON_REPUDIATION_KEY_USAGE", "Неотрекаемость", 0x40, 1},
    {"CERT_KEY_ENCIPHERMENT_KEY_USAGE", "Шифрование ключа", 0x20, 1},
    {"CERT_DATA_ENCIPHERMENT_KEY_USAGE", "Шифрование данных", 0x10, 1},
    {"CERT_KEY_AGREEMENT_KEY_USAGE", "Согласование ключей", 0x08, 1},
    {"CERT_KEY_CERT_SIGN_KEY_USAGE", "Подпись ключа сертификата", 0x04, 1},
    {"CERT_CRL_SIGN_KEY_USAGE", "Подписание списков отзыва", 0x02, 1},
    {"CERT_DECIPHER_ONLY_KEY_USAGE", "Только расшифровка", 0x80, 2},
}};

// How a key usage name is given: as the constant name or as the Russian name.
enum class KeyUsageNameKind { kConstant = 1, kRussian = 2 };

// The bit value of the named usage (the name looked up ignoring case in the
// column of `kind`); 0 for a name outside the table. byteNumber receives 2
// exactly when the name is "Только расшифровка" or
// "CERT_DECIPHER_ONLY_KEY_USAGE" as written, and 1 otherwise.
std::uint8_t KeyUsageBit(std::string_view name, KeyUsageNameKind kind, int& byteNumber);

// The name in the other column of the row whose `kind` column holds the name
// (ignoring case); empty for a name outside the table.
std::string KeyUsageNameMap(std::string_view name, KeyUsageNameKind kind);

}  // namespace velmora
