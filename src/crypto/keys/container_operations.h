// What the program knows about cryptographic service providers and their key
// containers: the provider list, readers and containers, the certificate of
// a container's exchange key, its key information, deleting a container and
// copying its key into a new one. Failures are reported as the commands show
// them: error boxes through the dialogs, or lines of a message list.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "report/record/record.h"
#include "report/view/dialogs.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A reader: its name as it stands in fully qualified container names, and the
// name shown to users.
struct TReaderInfo {
    std::string name;
    std::string displayName;

    bool operator==(const TReaderInfo&) const = default;
};

// An enumerated key container.
struct TContainerInfo {
    std::string fullyQualifiedName;  // "\\.\HDIMAGE\name"; empty for plain providers
    std::string containerName;       // the name the commands open it by
    std::string uniqueName;          // the last part of the unique name
    std::string carrier;             // the reader's display name
    bool hasCertificate = false;

    bool operator==(const TContainerInfo&) const = default;
};

// The prefix of the system's error text in message boxes and message lists.
inline constexpr const char* kErrorBoxPrefix = "Ошибка № - ";
inline constexpr const char* kErrorLinePrefix = "Ошибка  - ";

// "[type] name" of every provider in the platform's order; the error box and
// an empty list when not even the first can be read.
std::vector<std::string> ProviderList(Dialogs& dialogs);

// True for the two Crypto-Pro provider names (exact comparison).
bool IsCryptoProProvider(std::string_view provider);

// The request signature algorithm of a provider: its GOST algorithm, or MD5
// for any other.
std::string SignatureAlgorithmOfProvider(std::string_view provider);

// "\"КриптоПро CSP\" (версия 5.0)": the provider's short name in double quotes
// and its version; empty when the provider cannot be opened or its version
// cannot be read.
std::string ProviderVersionText(const std::string& provider, std::uint32_t type, Dialogs& dialogs);

// The provider's readers; true when there is at least one.
bool EnumerateReaders(const std::string& provider, std::uint32_t type,
                      std::vector<TReaderInfo>& readers);

// The provider's containers; true when there is at least one.
bool EnumerateContainers(const std::string& provider, std::uint32_t type,
                         std::vector<TContainerInfo>& containers, Dialogs& dialogs);

// True when the container's exchange key holds a certificate that parses.
bool CertificateInContainer(const std::string& provider, std::uint32_t type,
                            const std::string& container, Dialogs& dialogs);

// That certificate, or nullptr.
platform::CertContext CertificateFromContainer(const std::string& provider, std::uint32_t type,
                                               const std::string& container, Dialogs& dialogs);

// Writes the certificate to the container's exchange key.
bool SetContainerCertificate(const std::string& provider, std::uint32_t type,
                             const std::string& container, const platform::CertContext& certificate,
                             Dialogs& dialogs);

bool DeleteContainer(const std::string& provider, std::uint32_t type, const std::string& container);

// The lines describing the container's key: its public key, its algorithm
// and its private key's validity. The record is filled from the container's
// certificate when there is one.
std::vector<std::string> ContainerKeyInfo(const std::string& provider, std::uint32_t type,
                                          const std::string& container, TRCstruct& record,
                                          Dialogs& dialogs);

// Copies the container's exchange key (and its certificate, when asked) into
// a new container; "Ключ скопирован", or the failing step's error line, is
// appended to the messages. A new container made before a failure stays.
bool CopyContainerKey(const std::string& provider, std::uint32_t type, const std::string& source,
                      const std::string& new_name, bool copy_certificate,
                      std::vector<std::string>& messages);

}  // namespace velmora
