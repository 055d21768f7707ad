// Hashing through the boundary: SHA-1 and the GOST hash functions, in one
// call or piece by piece.
#pragma once

#include "encoding/bytes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace velmora::platform {

enum class HashAlgorithm {
    kSha1,
    kGost94,       // GOST R 34.11-94 with the CryptoPro parameter set
    kStreebog256,  // GOST R 34.11-2012, 256-bit
    kStreebog512,  // GOST R 34.11-2012, 512-bit
};

// The algorithm identifiers the platform's callers know the algorithms by.
namespace alg_id {
inline constexpr std::uint32_t kSha1 = 0x8004;         // CALG_SHA1
inline constexpr std::uint32_t kGost94 = 0x801E;       // CALG_GR3411
inline constexpr std::uint32_t kStreebog256 = 0x8021;  // CALG_GR3411_2012_256
inline constexpr std::uint32_t kStreebog512 = 0x8022;  // CALG_GR3411_2012_512
}  // namespace alg_id

std::uint32_t AlgIdOf(HashAlgorithm algorithm);

// The algorithm of an identifier; nullopt (and kBadAlgId) for any other.
std::optional<HashAlgorithm> HashAlgorithmOfAlgId(std::uint32_t alg_id);

// The digest length in bytes: 20, 32, 32 or 64.
std::size_t HashSize(HashAlgorithm algorithm);

// A hash in progress: created for one algorithm, fed with Update any number
// of times, and finished once. Move-only; a moved-from or finished object
// refuses further use (false/nullopt and kBadHash).
class HashObject {
  public:
    // Starts a hash. The GOST algorithms need the GOST engine: without it the
    // result is nullopt with the last error kProviderDllFail, and
    // GostEngineFailureText() says why; an algorithm the engine does not offer
    // gives kBadAlgId.
    static std::optional<HashObject> Create(HashAlgorithm algorithm);

    HashObject(HashObject&&) noexcept;
    HashObject& operator=(HashObject&&) noexcept;
    HashObject(const HashObject&) = delete;
    HashObject& operator=(const HashObject&) = delete;
    ~HashObject();

    HashAlgorithm Algorithm() const { return algorithm_; }

    bool Update(ByteView data);

    // The digest of everything fed in; the object cannot be used afterwards.
    std::optional<Bytes> Finish();

  private:
    struct State;
    HashObject(HashAlgorithm algorithm, std::unique_ptr<State> state);

    HashAlgorithm algorithm_;
    std::unique_ptr<State> state_;
};

// The digest of the data in one call; nullopt and the last error as
// HashObject::Create gives them.
std::optional<Bytes> HashBytes(HashAlgorithm algorithm, ByteView data);

}  // namespace velmora::platform
