#include "crypto/platform/keys/secret.h"

#include <openssl/crypto.h>

#include <utility>

namespace velmora::platform {

void WipeMemory(void* data, std::size_t size) {
    if (data != nullptr && size != 0) {
        OPENSSL_cleanse(data, size);
    }
}

Secret::Secret(std::string_view text) : bytes_(text.begin(), text.end()) {}

Secret::~Secret() {
    Clear();
}

Secret::Secret(Secret&& other) noexcept : bytes_(std::move(other.bytes_)) {
    other.bytes_.clear();
}

Secret& Secret::operator=(Secret&& other) noexcept {
    if (this != &other) {
        Clear();
        bytes_ = std::move(other.bytes_);
        other.bytes_.clear();
    }
    return *this;
}

void Secret::Clear() {
    WipeMemory(bytes_.data(), bytes_.capacity());
    bytes_.clear();
}

}  // namespace velmora::platform
