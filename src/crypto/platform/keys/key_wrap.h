// The primitives that carry a private key from one container to another:
// key agreement (VKO GOST R 34.10 with a UKM), the key derivation
// KDF_TREE_GOSTR3411_2012_256 (R 50.1.113-2016) and the key export KExp15
// (R 1323565.1.017: CTR encryption of the key followed by its OMAC), here
// over a key of any length. Boundary-internal.
#pragma once

#include "crypto/platform/keys/key_material.h"
#include "crypto/platform/ossl_ptr.h"
#include "encoding/bytes.h"

#include <optional>

namespace velmora::platform {

enum class WrapCipher {
    Magma,       // 64-bit block: 4-byte IV, 8-byte MAC
    Kuznyechik,  // 128-bit block: 8-byte IV, 16-byte MAC
};

// The IV and MAC lengths of the cipher.
std::size_t WrapIvSize(WrapCipher cipher);
std::size_t WrapMacSize(WrapCipher cipher);

// The 32-byte key agreed between a key pair and the other side's public key
// (both of one parameter set) with the UKM; both sides get the same key.
std::optional<WipedBytes> AgreeKey(EVP_PKEY* own, EVP_PKEY* peer, ByteView ukm);

// KDF_TREE with HMAC-Streebog-256, a one-byte counter and a length of
// `length` bytes (a multiple of 32).
std::optional<WipedBytes> KdfTree256(ByteView key, ByteView label, ByteView seed,
                                     std::size_t length);

// KExp15: the data and its MAC, encrypted. Keys are 32 bytes; the IV is half
// a block.
std::optional<Bytes> KExp15(WrapCipher cipher, ByteView data, ByteView mac_key, ByteView cipher_key,
                            ByteView iv);

// The data back from KExp15; nullopt (NTE_BAD_DATA) when the MAC does not match.
std::optional<WipedBytes> KImp15(WrapCipher cipher, ByteView wrapped, ByteView mac_key,
                                 ByteView cipher_key, ByteView iv);

}  // namespace velmora::platform
