#include "crypto/platform/keys/container_files.h"

#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/secret.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/base64.h"
#include "encoding/utf8.h"

#include <algorithm>

namespace velmora::platform {
namespace {

constexpr std::string_view kContainerMagic = "Velmora key container 1";
constexpr std::string_view kKeyMagic = "Velmora key 1";
constexpr std::string_view kPlainLabel = "PRIVATE KEY";
constexpr std::string_view kEncryptedLabel = "ENCRYPTED PRIVATE KEY";
constexpr std::size_t kPemLineLength = 64;

// The lines of a text whose every line ends with LF; nothing when a line
// does not (a file cut short) or the text is not UTF-8.
std::optional<std::vector<std::string_view>> Lines(ByteView bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (bytes.size() > kMaxContainerFileSize || !IsValidUtf8(text)) {
        return std::nullopt;
    }
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The value of a "Field: value" line.
std::optional<std::string_view> FieldValue(std::string_view line, std::string_view field) {
    if (line.size() < field.size() + 2 || !line.starts_with(field) ||
        line.substr(field.size(), 2) != ": ") {
        return std::nullopt;
    }
    return line.substr(field.size() + 2);
}

// Base64 that is exactly the standard encoding of its bytes: no padding or
// white space out of place, so that one file has one reading only.
// The text compared with may hold a private key, so it is wiped.
std::optional<Bytes> CanonicalBase64(std::string_view text) {
    std::optional<Bytes> bytes = Base64Decode(text);
    if (!bytes) {
        return std::nullopt;
    }
    std::string again = Base64Encode(*bytes);
    const bool canonical = again == text;
    WipeMemory(again.data(), again.size());
    if (!canonical) {
        WipeMemory(bytes->data(), bytes->size());
        return std::nullopt;
    }
    return bytes;
}

bool IsOidText(std::string_view text) {
    return OidContentOfText(text).has_value();
}

bool IsOneDerElement(ByteView der) {
    DerReader reader(der);
    DerElement element;
    return reader.Next(element) && reader.AtEnd();
}

void AppendLine(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back('\n');
}

template <typename T>
std::optional<T> Damaged() {
    return Fail(error::kKeysetEntryBad, std::optional<T>{});
}

}  // namespace

bool IsValidContainerName(std::string_view name) {
    if (name.empty() || name.size() > kMaxContainerNameSize || !IsValidUtf8(name)) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

Bytes SerializeContainerRecord(const ContainerRecord& record) {
    Bytes out;
    AppendLine(out, kContainerMagic);
    AppendLine(out, "Name: " + record.name);
    AppendLine(out, "Hash-OID: " + record.hashOid);
    AppendLine(out, "Cipher-OID: " + record.cipherOid);
    return out;
}

std::optional<ContainerRecord> ParseContainerRecord(ByteView bytes) {
    const auto lines = Lines(bytes);
    if (!lines || lines->size() != 4 || (*lines)[0] != kContainerMagic) {
        return Damaged<ContainerRecord>();
    }
    const auto name = FieldValue((*lines)[1], "Name");
    const auto hash = FieldValue((*lines)[2], "Hash-OID");
    const auto cipher = FieldValue((*lines)[3], "Cipher-OID");
    if (!name || !hash || !cipher || !IsValidContainerName(*name) || !IsOidText(*hash) ||
        !IsOidText(*cipher)) {
        return Damaged<ContainerRecord>();
    }
    return ContainerRecord{std::string(*name), std::string(*hash), std::string(*cipher)};
}

Bytes SerializeKeyFile(const KeyFileContent& content) {
    const std::string body = Base64Encode(content.privateKeyDer);
    const std::string_view label = content.encrypted ? kEncryptedLabel : kPlainLabel;
    Bytes out;
    out.reserve(512 + content.publicKeyInfo.size() * 2 + body.size() * 2);
    AppendLine(out, kKeyMagic);
    AppendLine(out, content.exportable ? "Exportable: yes" : "Exportable: no");
    AppendLine(out, "Public-Key: " + Base64Encode(content.publicKeyInfo));
    for (const Extension& extension : content.extensions) {
        AppendLine(out, "Extension: " + extension.oid + (extension.critical ? " 1 " : " 0 ") +
                            Base64Encode(extension.value));
    }
    AppendLine(out, "-----BEGIN " + std::string(label) + "-----");
    for (std::size_t at = 0; at < body.size(); at += kPemLineLength) {
        AppendLine(out, std::string_view(body).substr(at, kPemLineLength));
    }
    AppendLine(out, "-----END " + std::string(label) + "-----");
    // The body's text held the key in base64; it goes with the function.
    WipeMemory(const_cast<char*>(body.data()), body.size());
    return out;
}

std::optional<KeyFileContent> ParseKeyFile(ByteView bytes) {
    const auto lines = Lines(bytes);
    if (!lines || lines->size() < 6 || (*lines)[0] != kKeyMagic) {
        return Damaged<KeyFileContent>();
    }
    KeyFileContent content;
    const auto exportable = FieldValue((*lines)[1], "Exportable");
    if (!exportable || (*exportable != "yes" && *exportable != "no")) {
        return Damaged<KeyFileContent>();
    }
    content.exportable = *exportable == "yes";
    const auto publicKey = FieldValue((*lines)[2], "Public-Key");
    std::optional<Bytes> publicKeyDer = publicKey ? CanonicalBase64(*publicKey) : std::nullopt;
    if (!publicKeyDer || !IsOneDerElement(*publicKeyDer)) {
        return Damaged<KeyFileContent>();
    }
    content.publicKeyInfo = std::move(*publicKeyDer);

    std::size_t at = 3;
    for (; at < lines->size(); ++at) {
        const auto extension = FieldValue((*lines)[at], "Extension");
        if (!extension) {
            break;
        }
        const std::size_t first = extension->find(' ');
        if (first == std::string_view::npos || extension->size() < first + 3 ||
            ((*extension)[first + 1] != '0' && (*extension)[first + 1] != '1') ||
            (*extension)[first + 2] != ' ') {
            return Damaged<KeyFileContent>();
        }
        Extension entry;
        entry.oid = std::string(extension->substr(0, first));
        entry.critical = (*extension)[first + 1] == '1';
        std::optional<Bytes> value = CanonicalBase64(extension->substr(first + 3));
        if (!IsOidText(entry.oid) || !value || value->empty()) {
            return Damaged<KeyFileContent>();
        }
        entry.value = std::move(*value);
        content.extensions.push_back(std::move(entry));
    }

    // The PEM block: BEGIN, full lines of base64, one shorter last line, END.
    if (at + 3 > lines->size()) {
        return Damaged<KeyFileContent>();
    }
    const std::string_view begin = (*lines)[at];
    std::string_view label;
    if (begin == "-----BEGIN " + std::string(kEncryptedLabel) + "-----") {
        label = kEncryptedLabel;
        content.encrypted = true;
    } else if (begin == "-----BEGIN " + std::string(kPlainLabel) + "-----") {
        label = kPlainLabel;
    } else {
        return Damaged<KeyFileContent>();
    }
    const std::string end = "-----END " + std::string(label) + "-----";
    if (lines->back() != end) {
        return Damaged<KeyFileContent>();
    }
    std::string body;
    body.reserve(bytes.size());
    for (std::size_t line = at + 1; line + 1 < lines->size(); ++line) {
        const std::string_view text = (*lines)[line];
        const bool last = line + 2 == lines->size();
        if (text.empty() || text.size() > kPemLineLength ||
            (!last && text.size() != kPemLineLength)) {
            WipeMemory(body.data(), body.size());
            return Damaged<KeyFileContent>();
        }
        body.append(text);
    }
    std::optional<Bytes> der = CanonicalBase64(body);
    WipeMemory(body.data(), body.size());
    if (!der || der->empty()) {
        return Damaged<KeyFileContent>();
    }
    content.privateKeyDer = std::move(*der);
    return content;
}

const char* KeyFileName(std::uint32_t key_spec) {
    return key_spec == kAtSignature ? "signature.key" : "exchange.key";
}

const char* CertificateFileName(std::uint32_t key_spec) {
    return key_spec == kAtSignature ? "signature.cer" : "exchange.cer";
}

}  // namespace velmora::platform
