// Temporary user and machine data folders for one test: XDG_DATA_HOME and
// VELMORA_MACHINE_DIR point into the test's own folder while it runs, so the
// stores it opens are its own; and a selector that answers from a script.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/stores/cert_selector.h"
#include "gui/test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::testing {

class StoreFolderTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        Save("XDG_DATA_HOME", user_);
        Save("VELMORA_MACHINE_DIR", machine_);
        ::setenv("XDG_DATA_HOME", (folder_ / "user").c_str(), 1);
        ::setenv("VELMORA_MACHINE_DIR", (folder_ / "machine").c_str(), 1);
    }
    void TearDown() override {
        Restore("XDG_DATA_HOME", user_);
        Restore("VELMORA_MACHINE_DIR", machine_);
        TempFolderTest::TearDown();
    }

    std::filesystem::path UserStore(const std::string& name) const {
        return folder_ / "user" / "velmora" / "stores" / name;
    }
    std::filesystem::path MachineStore(const std::string& name) const {
        return folder_ / "machine" / "stores" / name;
    }

  private:
    static void Save(const char* name, std::optional<std::string>& saved) {
        const char* value = std::getenv(name);
        saved = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& saved) {
        if (saved) {
            ::setenv(name, saved->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    std::optional<std::string> user_;
    std::optional<std::string> machine_;
};

// Picks the certificate whose thumbprint is next in the script (nullopt
// cancels); keeps the thumbprints it was offered each time.
class ScriptedSelector : public platform::CertificateSelector {
  public:
    std::deque<std::optional<Bytes>> answers;
    std::vector<std::vector<Bytes>> offered;

    platform::CertContext SelectCertificate(
        const std::vector<platform::CertContext>& certificates) override {
        std::vector<Bytes> thumbprints;
        for (const auto& certificate : certificates) {
            thumbprints.push_back(platform::HashCertificateSha1(certificate->Encoded()));
        }
        offered.push_back(thumbprints);
        if (answers.empty()) {
            ADD_FAILURE() << "the selection dialog was shown without a scripted answer";
            return nullptr;
        }
        const std::optional<Bytes> answer = answers.front();
        answers.pop_front();
        for (std::size_t i = 0; answer && i < certificates.size(); ++i) {
            if (thumbprints[i] == *answer) {
                return certificates[i];
            }
        }
        return nullptr;
    }
};

}  // namespace velmora::testing
