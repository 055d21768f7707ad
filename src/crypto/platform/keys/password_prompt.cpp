#include "crypto/platform/keys/password_prompt.h"

namespace velmora::platform {
namespace {

thread_local PasswordPrompt* current_prompt = nullptr;

}  // namespace

PasswordPrompt* CurrentPasswordPrompt() {
    return current_prompt;
}

ScopedPasswordPrompt::ScopedPasswordPrompt(PasswordPrompt* prompt) : previous_(current_prompt) {
    current_prompt = prompt;
}

ScopedPasswordPrompt::~ScopedPasswordPrompt() {
    current_prompt = previous_;
}

}  // namespace velmora::platform
