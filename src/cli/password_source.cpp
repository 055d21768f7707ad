#include "cli/password_source.h"

#include "encoding/atomic_file.h"

#include <cstdlib>

#include <termios.h>
#include <unistd.h>

namespace velmora::cli {
namespace {

constexpr int kNewPasswordAttempts = 3;

// The text up to the first line end, without a carriage return before it.
std::string FirstLine(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return std::string(line);
}

platform::Secret WipedSecret(std::string& text) {
    platform::Secret secret(text);
    platform::WipeMemory(text.data(), text.size());
    return secret;
}

// Echo of the terminal switched off while it lives.
class HiddenInput {
  public:
    HiddenInput() : saved_(::tcgetattr(STDIN_FILENO, &original_) == 0) {
        if (saved_) {
            termios quiet = original_;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        }
    }
    ~HiddenInput() {
        if (saved_) {
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &original_);
        }
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

  private:
    termios original_{};
    bool saved_;
};

}  // namespace

std::optional<PasswordSource> PasswordSource::Parse(std::string_view text, std::string& error) {
    if (text.starts_with("env:") && text.size() > 4) {
        return PasswordSource(Kind::Environment, std::string(text.substr(4)));
    }
    if (text.starts_with("file:") && text.size() > 5) {
        return PasswordSource(Kind::File, std::string(text.substr(5)));
    }
    if (text == "stdin") {
        return PasswordSource(Kind::Input, {});
    }
    error = text.starts_with("pass:")
                ? "пароль в командной строке не принимается: её видят все пользователи; "
                  "используйте env:ПЕРЕМЕННАЯ, file:ФАЙЛ или stdin"
                : "источник пароля должен быть env:ПЕРЕМЕННАЯ, file:ФАЙЛ или stdin";
    return std::nullopt;
}

std::optional<platform::Secret> PasswordSource::Read(std::istream& in, std::string& error) const {
    switch (kind_) {
        case Kind::Environment: {
            const char* value = std::getenv(argument_.c_str());
            if (value == nullptr) {
                error = "переменная окружения " + argument_ + " не задана";
                return std::nullopt;
            }
            return platform::Secret(value);
        }
        case Kind::File: {
            auto bytes = ReadFileBytes(argument_);
            if (!bytes) {
                error = "файл пароля не прочитан - " + argument_;
                return std::nullopt;
            }
            std::string line = FirstLine(AsText(*bytes));
            platform::WipeMemory(bytes->data(), bytes->size());
            return WipedSecret(line);
        }
        case Kind::Input: {
            std::string line;
            if (!std::getline(in, line)) {
                error = "пароль не прочитан со стандартного ввода";
                return std::nullopt;
            }
            std::string first = FirstLine(line);
            platform::WipeMemory(line.data(), line.size());
            return WipedSecret(first);
        }
    }
    return std::nullopt;
}

std::optional<platform::Secret> CommandPasswordPrompt::AskPassword(
    const platform::PasswordRequest& request) {
    using Kind = platform::PasswordRequest::Kind;
    if (request.kind == Kind::NewPassword) {
        if (create_) {
            return FromSource(*create_, create_answer_);
        }
        if (terminal_) {
            return AskNewOnTerminal(request.containerName);
        }
        return platform::Secret();
    }
    if (open_) {
        return FromSource(*open_, open_answer_);
    }
    if (!terminal_) {
        if (error_.empty()) {
            error_ = request.kind == Kind::KeyFile ? "файл ключа защищён паролем: укажите --passin"
                                                   : "контейнер защищён паролем: укажите --passin";
        }
        return std::nullopt;
    }
    std::string prompt = request.attempt > 1 ? "Неверный пароль. " : "";
    prompt += request.kind == Kind::KeyFile
                  ? "Пароль файла ключа: "
                  : "Пароль контейнера \"" + request.containerName + "\": ";
    return AskTerminal(prompt);
}

std::optional<platform::Secret> CommandPasswordPrompt::FromSource(
    const PasswordSource& source, std::optional<platform::Secret>& cache) {
    if (!cache) {
        cache = source.Read(in_, error_);
        if (!cache) {
            return std::nullopt;
        }
    }
    return platform::Secret(cache->View());
}

std::optional<platform::Secret> CommandPasswordPrompt::AskTerminal(const std::string& prompt) {
    err_ << prompt << std::flush;
    std::string line;
    bool read = false;
    {
        HiddenInput hidden;
        read = static_cast<bool>(std::getline(in_, line));
    }
    err_ << '\n';
    if (!read) {
        return std::nullopt;
    }
    std::string first = FirstLine(line);
    platform::WipeMemory(line.data(), line.size());
    return WipedSecret(first);
}

std::optional<platform::Secret> CommandPasswordPrompt::AskNewOnTerminal(
    const std::string& container) {
    for (int attempt = 0; attempt < kNewPasswordAttempts; ++attempt) {
        auto first =
            AskTerminal("Пароль нового контейнера \"" + container + "\" (пусто - без пароля): ");
        if (!first || first->Empty()) {
            return first;
        }
        auto again = AskTerminal("Повторите пароль: ");
        if (!again) {
            return std::nullopt;
        }
        if (again->View() == first->View()) {
            return first;
        }
        err_ << "Пароли не совпадают.\n";
    }
    return std::nullopt;
}

}  // namespace velmora::cli
