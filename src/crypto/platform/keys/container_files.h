// The files of a key container folder, as bytes: what is written and how it
// is read back. Reading is strict (every field in its place, nothing left
// over, sizes bounded), since the files may have been damaged or tampered
// with; a file that does not read gives nullopt and NTE_KEYSET_ENTRY_BAD.
//
// "container": the container's own name and its provider parameters,
//     Velmora key container 1
//     Name: <the name, UTF-8>
//     Hash-OID: <the hash parameter set, parameter 92>
//     Cipher-OID: <the cipher parameter set, parameter 93>
// "exchange.key", "signature.key": one key pair each, as PKCS#8 in PEM
// (encrypted when the container has a password), preceded by explanatory
// lines that PEM readers skip, so that `openssl pkcs8` reads the file as it is:
//     Velmora key 1
//     Exportable: yes | no
//     Public-Key: <SubjectPublicKeyInfo, DER in base64>
//     Extension: <OID> <0 | 1 critical> <value, base64>     (any number)
//     -----BEGIN [ENCRYPTED ]PRIVATE KEY-----
// "exchange.cer", "signature.cer": the certificate of the key pair, DER.
#pragma once

#include "crypto/platform/certs/extension.h"
#include "encoding/bytes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

inline constexpr const char* kContainerFileName = "container";

// The largest file the container folder is read for; anything larger is damaged.
inline constexpr std::size_t kMaxContainerFileSize = 64 * 1024;
inline constexpr std::size_t kMaxCertificateFileSize = 1024 * 1024;

// The longest container name, in bytes.
inline constexpr std::size_t kMaxContainerNameSize = 1024;

// True when the text can name a container: not empty, at most
// kMaxContainerNameSize bytes of well-formed UTF-8 without control
// characters (a NUL would cut the enumeration's entries, a line break the
// container file).
bool IsValidContainerName(std::string_view name);

struct ContainerRecord {
    std::string name;
    std::string hashOid;
    std::string cipherOid;

    bool operator==(const ContainerRecord&) const = default;
};

Bytes SerializeContainerRecord(const ContainerRecord& record);
std::optional<ContainerRecord> ParseContainerRecord(ByteView bytes);

// A key file: the explanatory lines and the private key's PEM block.
struct KeyFileContent {
    bool exportable = false;
    Bytes publicKeyInfo;                // DER of the SubjectPublicKeyInfo
    std::vector<Extension> extensions;  // the container extensions (parameter 133)
    bool encrypted = false;             // ENCRYPTED PRIVATE KEY (X509_SIG) or PRIVATE KEY
    Bytes privateKeyDer;                // the PEM block's content: PKCS#8, encrypted or not
};

// The key file's bytes. Callers wipe both the content's privateKeyDer and
// the result when the key is not encrypted.
Bytes SerializeKeyFile(const KeyFileContent& content);
// The key file read back; the public key is only checked to be one DER
// element, the private key only to be valid base64 (its DER is checked
// where it is decoded).
std::optional<KeyFileContent> ParseKeyFile(ByteView bytes);

// The file names of a key kind's key pair and certificate.
const char* KeyFileName(std::uint32_t key_spec);
const char* CertificateFileName(std::uint32_t key_spec);

}  // namespace velmora::platform
