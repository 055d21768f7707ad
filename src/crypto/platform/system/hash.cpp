#include "crypto/platform/system/hash.h"

#include "crypto/platform/ossl_ptr.h"
#include "crypto/platform/system/gost_engine.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>
#include <openssl/evp.h>

#include <array>

namespace velmora::platform {
namespace {

// GOST R 34.11-94 (CryptoPro parameter set) of the empty message, the
// published CryptoPro value. The GOST engine gives a different digest for a
// message of no bytes, while CryptoPro implementations (and so the other
// programs that read our hashes) give this one; a hash of no bytes has only
// one possible value, so it is returned as it stands.
constexpr std::array<std::uint8_t, 32> kGost94EmptyDigest = {
    0x98, 0x1e, 0x5f, 0x3c, 0xa3, 0x0c, 0x84, 0x14, 0x87, 0x83, 0x0f, 0x84, 0xfb, 0x43, 0x3e, 0x13,
    0xac, 0x11, 0x01, 0x56, 0x9b, 0x9c, 0x13, 0x58, 0x4a, 0xc4, 0x83, 0x23, 0x4c, 0xd6, 0x56, 0xc0,
};

const char* DigestName(HashAlgorithm algorithm) {
    switch (algorithm) {
        case HashAlgorithm::kSha1:
            return "SHA1";
        case HashAlgorithm::kGost94:
            return "md_gost94";
        case HashAlgorithm::kStreebog256:
            return "md_gost12_256";
        case HashAlgorithm::kStreebog512:
            return "md_gost12_512";
    }
    return nullptr;
}

bool NeedsGostEngine(HashAlgorithm algorithm) {
    return algorithm != HashAlgorithm::kSha1;
}

}  // namespace

struct HashObject::State {
    ossl::EvpMdCtx ctx;
    std::uint64_t bytes_fed = 0;
};

std::uint32_t AlgIdOf(HashAlgorithm algorithm) {
    switch (algorithm) {
        case HashAlgorithm::kSha1:
            return alg_id::kSha1;
        case HashAlgorithm::kGost94:
            return alg_id::kGost94;
        case HashAlgorithm::kStreebog256:
            return alg_id::kStreebog256;
        case HashAlgorithm::kStreebog512:
            return alg_id::kStreebog512;
    }
    return 0;
}

std::optional<HashAlgorithm> HashAlgorithmOfAlgId(std::uint32_t id) {
    switch (id) {
        case alg_id::kSha1:
            return HashAlgorithm::kSha1;
        case alg_id::kGost94:
            return HashAlgorithm::kGost94;
        case alg_id::kStreebog256:
            return HashAlgorithm::kStreebog256;
        case alg_id::kStreebog512:
            return HashAlgorithm::kStreebog512;
        default:
            return Fail(error::kBadAlgId, std::optional<HashAlgorithm>{});
    }
}

std::size_t HashSize(HashAlgorithm algorithm) {
    switch (algorithm) {
        case HashAlgorithm::kSha1:
            return 20;
        case HashAlgorithm::kGost94:
        case HashAlgorithm::kStreebog256:
            return 32;
        case HashAlgorithm::kStreebog512:
            return 64;
    }
    return 0;
}

HashObject::HashObject(HashAlgorithm algorithm, std::unique_ptr<State> state)
    : algorithm_(algorithm), state_(std::move(state)) {}

HashObject::HashObject(HashObject&&) noexcept = default;
HashObject& HashObject::operator=(HashObject&&) noexcept = default;
HashObject::~HashObject() = default;

std::optional<HashObject> HashObject::Create(HashAlgorithm algorithm) {
    if (NeedsGostEngine(algorithm) && !StartGostEngine()) {
        return std::nullopt;  // StartGostEngine has set the last error
    }
    const EVP_MD* md = EVP_get_digestbyname(DigestName(algorithm));
    if (md == nullptr || static_cast<std::size_t>(EVP_MD_get_size(md)) != HashSize(algorithm)) {
        ERR_clear_error();
        return Fail(error::kBadAlgId, std::optional<HashObject>{});
    }
    auto state = std::make_unique<State>();
    state->ctx.reset(EVP_MD_CTX_new());
    if (!state->ctx) {
        ERR_clear_error();
        return Fail(error::kNoMemory, std::optional<HashObject>{});
    }
    if (EVP_DigestInit_ex(state->ctx.get(), md, nullptr) != 1) {
        ERR_clear_error();
        return Fail(error::kBadAlgId, std::optional<HashObject>{});
    }
    return HashObject(algorithm, std::move(state));
}

bool HashObject::Update(ByteView data) {
    if (!state_) {
        return Fail(error::kBadHash);
    }
    if (data.empty()) {
        return true;
    }
    if (EVP_DigestUpdate(state_->ctx.get(), data.data(), data.size()) != 1) {
        ERR_clear_error();
        state_.reset();  // the digest state is undefined after a failed update
        return Fail(error::kFail);
    }
    state_->bytes_fed += data.size();
    return true;
}

std::optional<Bytes> HashObject::Finish() {
    if (!state_) {
        return Fail(error::kBadHash, std::optional<Bytes>{});
    }
    const std::unique_ptr<State> state = std::move(state_);
    Bytes digest(static_cast<std::size_t>(EVP_MAX_MD_SIZE));
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(state->ctx.get(), digest.data(), &length) != 1) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    if (algorithm_ == HashAlgorithm::kGost94 && state->bytes_fed == 0) {
        return Bytes(kGost94EmptyDigest.begin(), kGost94EmptyDigest.end());
    }
    digest.resize(length);
    return digest;
}

std::optional<Bytes> HashBytes(HashAlgorithm algorithm, ByteView data) {
    std::optional<HashObject> hash = HashObject::Create(algorithm);
    if (!hash || !hash->Update(data)) {
        return std::nullopt;
    }
    return hash->Finish();
}

}  // namespace velmora::platform
