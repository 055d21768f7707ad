// A temporary data folder for tests that write key containers: XDG_DATA_HOME
// points into it while the object lives, so KeyFolder() is
// <temporary>/data/velmora/keys; and a password prompt that answers from a
// script and keeps what it was asked.
#pragma once

#include "crypto/platform/keys/password_prompt.h"
#include "crypto/platform/system/locations.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::testing {

class ScopedKeyFolder {
  public:
    ScopedKeyFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-keys-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        root_ = pattern;
        const char* previous = std::getenv("XDG_DATA_HOME");
        if (previous != nullptr) {
            previous_ = previous;
        }
        ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    }
    ScopedKeyFolder(const ScopedKeyFolder&) = delete;
    ScopedKeyFolder& operator=(const ScopedKeyFolder&) = delete;
    ~ScopedKeyFolder() {
        if (previous_) {
            ::setenv("XDG_DATA_HOME", previous_->c_str(), 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
        std::error_code ignored;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(root_, ignored);
    }

    // The temporary folder that holds the data folder (and nothing else of the tests').
    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path Keys() const { return platform::KeyFolder(); }

  private:
    std::filesystem::path root_;
    std::optional<std::string> previous_;
};

// Answers password requests in order; nullopt cancels. Without an answer
// left the request fails the test and is cancelled.
class ScriptedPasswordPrompt : public platform::PasswordPrompt {
  public:
    std::deque<std::optional<std::string>> answers;
    std::vector<platform::PasswordRequest> requests;

    std::optional<platform::Secret> AskPassword(const platform::PasswordRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) {
            ADD_FAILURE() << "a password was asked for " << request.containerName
                          << " without a scripted answer";
            return std::nullopt;
        }
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        if (!answer) {
            return std::nullopt;
        }
        return platform::Secret(*answer);
    }
};

}  // namespace velmora::testing
