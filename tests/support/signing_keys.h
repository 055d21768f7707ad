// Signer certificates with their keys in containers, for the tests of
// signing: a temporary data folder (keys and the user's stores) and machine
// folder, the signer keys of tests/data/keys imported into containers, and
// the certificates carrying the key-provider property that names them.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "encoding/atomic_file.h"
#include "support/key_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velmora::testing {

inline std::filesystem::path TestData() {
    const char* data = std::getenv("VELMORA_TEST_DATA");
    return data != nullptr ? std::filesystem::path(data) : std::filesystem::path("tests/data");
}

inline std::filesystem::path SigningData() {
    return TestData() / "signing";
}

inline platform::CertContext CertificateOfFile(const std::filesystem::path& file) {
    const auto bytes = ReadFileBytes(file);
    return bytes ? platform::CreateCertificateContext(*bytes) : nullptr;
}

// The user's folders and the machine's folder in one temporary folder.
class ScopedSigningFolders {
  public:
    ScopedSigningFolders() {
        const char* previous = std::getenv("VELMORA_MACHINE_DIR");
        if (previous != nullptr) {
            previous_machine_ = previous;
        }
        ::setenv("VELMORA_MACHINE_DIR", (keys_.Root() / "machine").c_str(), 1);
    }
    ~ScopedSigningFolders() {
        if (previous_machine_) {
            ::setenv("VELMORA_MACHINE_DIR", previous_machine_->c_str(), 1);
        } else {
            ::unsetenv("VELMORA_MACHINE_DIR");
        }
    }
    ScopedSigningFolders(const ScopedSigningFolders&) = delete;
    ScopedSigningFolders& operator=(const ScopedSigningFolders&) = delete;

    const std::filesystem::path& Root() const { return keys_.Root(); }

    // The signer's certificate (signer-2001, signer-256 or signer-revoked)
    // with its key in a container of the provider of its family, bound to it.
    platform::CertContext Signer(const std::string& name) {
        const auto certificate = CertificateOfFile(SigningData() / (name + ".cer"));
        const auto key = ReadFileBytes(TestData() / "keys" / (name + ".key"));
        EXPECT_TRUE(certificate && key) << name;
        if (!certificate || !key) {
            return nullptr;
        }
        const bool old = name == "signer-2001";
        const std::string provider = old ? platform::kCryptoPro2001Name : platform::kCryptoPro2012Name;
        const std::uint32_t type = old ? platform::kProvGost2001 : platform::kProvGost2012;
        const std::string container = "test-" + name;
        EXPECT_TRUE(platform::ImportContainerKey(container, provider, type, *key, certificate, true))
            << name;
        return certificate->WithKeyProv(
            platform::KeyProvInfo{container, provider, type, platform::kAtKeyExchange});
    }

  private:
    ScopedKeyFolder keys_;
    std::optional<std::string> previous_machine_;
};

}  // namespace velmora::testing
