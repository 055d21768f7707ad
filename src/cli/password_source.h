// Container passwords on the command line. A password never stands on the
// command line itself (every user can read it there); it comes from a source
// named as openssl's -passin names them, or from the terminal without echo.
#pragma once

#include "crypto/platform/keys/password_prompt.h"
#include "crypto/platform/keys/secret.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace velmora::cli {

class PasswordSource {
  public:
    // "env:VAR" (the variable's value), "file:PATH" (the file's first line) or
    // "stdin" (the next line of the standard input). Anything else, "pass:"
    // included, gives nullopt and the reason in `error`.
    static std::optional<PasswordSource> Parse(std::string_view text, std::string& error);

    // The password, or nullopt with the reason in `error`.
    std::optional<platform::Secret> Read(std::istream& in, std::string& error) const;

  private:
    enum class Kind { Environment, File, Input };
    PasswordSource(Kind kind, std::string argument) : kind_(kind), argument_(std::move(argument)) {}

    Kind kind_;
    std::string argument_;
};

// The password prompt of one command: passwords that open a container or a
// key file come from `open` (--passin), a new container's password from
// `create` (--pass). Without a source the terminal is asked when the input is
// one; otherwise opening is cancelled and a new container gets no password.
class CommandPasswordPrompt : public platform::PasswordPrompt {
  public:
    CommandPasswordPrompt(std::optional<PasswordSource> open, std::optional<PasswordSource> create,
                          std::istream& in, std::ostream& err, bool terminal)
        : open_(std::move(open)),
          create_(std::move(create)),
          in_(in),
          err_(err),
          terminal_(terminal) {}

    std::optional<platform::Secret> AskPassword(const platform::PasswordRequest& request) override;

    // Why a source gave no password; empty when none failed.
    const std::string& SourceError() const { return error_; }

  private:
    std::optional<platform::Secret> FromSource(const PasswordSource& source,
                                               std::optional<platform::Secret>& cache);
    std::optional<platform::Secret> AskTerminal(const std::string& prompt);
    std::optional<platform::Secret> AskNewOnTerminal(const std::string& container);

    std::optional<PasswordSource> open_;
    std::optional<PasswordSource> create_;
    std::istream& in_;
    std::ostream& err_;
    bool terminal_;
    std::string error_;
    // A source is read once; a second attempt gets the same answer.
    std::optional<platform::Secret> open_answer_;
    std::optional<platform::Secret> create_answer_;
};

}  // namespace velmora::cli
