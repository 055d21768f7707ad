// Signer certificates with their keys in containers, for the tests of
// signing: a temporary data folder (keys and the user's stores) and machine
// folder, the signer keys of tests/data/keys imported into containers, and
// the certificates carrying the key-provider property that names them.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/stores/cert_store.h"
#include "encoding/atomic_file.h"
#include "support/key_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
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
        if (const auto known = signers_.find(name); known != signers_.end()) {
            return known->second;
        }
        const auto certificate = CertificateOfFile(SigningData() / (name + ".cer"));
        const auto key = ReadFileBytes(TestData() / "keys" / (name + ".key"));
        EXPECT_TRUE(certificate && key) << name;
        if (!certificate || !key) {
            return nullptr;
        }
        const bool old = name == "signer-2001";
        const std::string provider =
            old ? platform::kCryptoPro2001Name : platform::kCryptoPro2012Name;
        const std::uint32_t type = old ? platform::kProvGost2001 : platform::kProvGost2012;
        const std::string container = "test-" + name;
        EXPECT_TRUE(
            platform::ImportContainerKey(container, provider, type, *key, certificate, true))
            << name;
        return signers_[name] = certificate->WithKeyProv(
                   platform::KeyProvInfo{container, provider, type, platform::kAtKeyExchange});
    }

    void InstallCertificate(platform::StoreLocation location, const char* store,
                            const std::filesystem::path& file) {
        auto opened = platform::OpenSystemStore(location, store);
        ASSERT_TRUE(opened) << store;
        ASSERT_TRUE(platform::AddCertificateToStore(*opened, CertificateOfFile(file))) << file;
    }

    void InstallCrl(platform::StoreLocation location, const char* store,
                    const std::filesystem::path& file) {
        auto opened = platform::OpenSystemStore(location, store);
        ASSERT_TRUE(opened) << store;
        ASSERT_TRUE(platform::AddCrlToStore(*opened, ReadFileBytes(file).value_or(Bytes{})))
            << file;
    }

    // The test chain: the root trusted by the user, the intermediate CA among
    // the user's CAs, and the CRL of the intermediate (revoking signer-revoked)
    // beside it unless `crl_elsewhere` puts it among the machine's CAs.
    void InstallTestChain(bool crl_elsewhere = false) {
        using platform::StoreLocation;
        InstallCertificate(StoreLocation::CurrentUser, "ROOT", TestData() / "ca.cer");
        InstallCertificate(StoreLocation::CurrentUser, "CA", TestData() / "intermediate.cer");
        InstallCrl(crl_elsewhere ? StoreLocation::LocalMachine : StoreLocation::CurrentUser, "CA",
                   SigningData() / "intermediate.crl");
    }

  private:
    ScopedKeyFolder keys_;
    std::optional<std::string> previous_machine_;
    std::map<std::string, platform::CertContext> signers_;
};

}  // namespace velmora::testing
