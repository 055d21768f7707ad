// How the provider asks for a container's password. The front end installs a
// prompt (a dialog in the window, the terminal or a --pass source in the
// command line, a script in tests); the operations above the boundary never
// see a password.
#pragma once

#include "crypto/platform/keys/secret.h"

#include <optional>
#include <string>

namespace velmora::platform {

struct PasswordRequest {
    enum class Kind {
        Unlock,       // the password of an existing container
        NewPassword,  // a password for a new container; an empty answer leaves it unprotected
        KeyFile,      // the password of an encrypted key file being imported into a container
    };
    Kind kind = Kind::Unlock;
    std::string containerName;  // as the user knows it (the new container's, for KeyFile)
    int attempt = 1;            // counts up after a wrong password
};

class PasswordPrompt {
  public:
    virtual ~PasswordPrompt() = default;
    // The password, or nullopt when the user cancels (the operation then
    // fails with ERROR_CANCELLED).
    virtual std::optional<Secret> AskPassword(const PasswordRequest& request) = 0;
};

// The prompt of the calling thread; null when none is installed, in which
// case a protected container cannot be opened (NTE_SILENT_CONTEXT) and new
// containers get no password.
PasswordPrompt* CurrentPasswordPrompt();

// Installs a prompt for the calling thread while it lives; installations
// nest, and each restores the one it replaced.
class ScopedPasswordPrompt {
  public:
    explicit ScopedPasswordPrompt(PasswordPrompt* prompt);
    ~ScopedPasswordPrompt();
    ScopedPasswordPrompt(const ScopedPasswordPrompt&) = delete;
    ScopedPasswordPrompt& operator=(const ScopedPasswordPrompt&) = delete;

  private:
    PasswordPrompt* previous_;
};

}  // namespace velmora::platform
