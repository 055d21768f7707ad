// The cryptographic service providers the program knows. Two are built in:
// the software GOST providers of types 75 and 80, under the names the
// program's rules depend on. Tests can register further providers (a plain
// one, or one under another vendor's name) to exercise name-dependent rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

inline constexpr std::uint32_t kProvGost2001 = 75;  // PROV_GOST_2001_DH
inline constexpr std::uint32_t kProvGost2012 = 80;  // PROV_GOST_2012_256

inline constexpr const char* kCryptoPro2001Name =
    "Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider";
inline constexpr const char* kCryptoPro2012Name =
    "Crypto-Pro GOST R 34.10-2012 Cryptographic Service Provider";
inline constexpr const char* kSecurityCodeName = "Security Code Cryptographic Service Provider";

// The key pairs a provider makes.
enum class KeyFamily {
    Gost2001,      // GOST R 34.10-2001, hashing GOST R 34.11-94 (CryptoPro parameters)
    Gost2012_256,  // GOST R 34.10-2012 256-bit, hashing Streebog-256
};

// A reader the provider reports (the reader enumeration): its name as it
// stands in fully qualified container names, and the name shown to users.
struct ReaderDescription {
    std::string name;
    std::string displayName;
};

// The reader that holds the containers on disk (KeyFolder()).
inline constexpr const char* kDiskReaderName = "HDIMAGE";
inline constexpr const char* kDiskReaderDisplayName = "Жёсткий диск";

struct ProviderDescription {
    std::string name;
    std::uint32_t type = 0;
    KeyFamily family = KeyFamily::Gost2001;
    // PP_VERSION: major version in bits 8-15, minor in bits 0-7.
    std::uint32_t version = 0;
    // True when container enumeration gives fully qualified and unique names
    // (flags 0x08 | 0x10); false when it gives the plain container name only.
    bool qualifiedNames = true;
    // The readers the reader enumeration reports. Containers always live in
    // the disk reader; a provider that reports other readers only (a test
    // provider) shows how the callers treat a reader they do not know.
    std::vector<ReaderDescription> readers = {{kDiskReaderName, kDiskReaderDisplayName}};
};

// True when the provider can hold a key pair of that family: each provider
// its own, and the GOST R 34.10-2012 providers GOST R 34.10-2001 keys too.
bool ProviderHandles(const ProviderDescription& provider, KeyFamily family);

// Every provider in the platform's order: the built-in ones, then those
// registered on the calling thread, in order of registration.
std::vector<ProviderDescription> Providers();

// The provider with that name and type; the name empty means the default
// provider of the type (the first one of that type). nullopt when none.
std::optional<ProviderDescription> FindProvider(const std::string& name, std::uint32_t type);

// Registers a provider on the calling thread while it lives, for tests.
class ScopedProviderRegistration {
  public:
    explicit ScopedProviderRegistration(ProviderDescription provider);
    ~ScopedProviderRegistration();
    ScopedProviderRegistration(const ScopedProviderRegistration&) = delete;
    ScopedProviderRegistration& operator=(const ScopedProviderRegistration&) = delete;

  private:
    std::string name_;
    std::uint32_t type_;
};

}  // namespace velmora::platform
