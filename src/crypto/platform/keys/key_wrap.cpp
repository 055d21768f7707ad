#include "crypto/platform/keys/key_wrap.h"

#include "crypto/platform/keys/secret.h"
#include "crypto/platform/system/gost_engine.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/hmac.h>

#include <string>

namespace velmora::platform {
namespace {

// The engine's control that sets a MAC digest's key (EVP_MD_CTRL_ALG_CTRL + 4
// in the engine's own header).
constexpr int kMdCtrlSetKey = EVP_MD_CTRL_ALG_CTRL + 4;
constexpr std::size_t kKeySize = 32;

using CipherCtx = ossl::Ptr<EVP_CIPHER_CTX, EVP_CIPHER_CTX_free>;

const char* CtrName(WrapCipher cipher) {
    return cipher == WrapCipher::Magma ? "magma-ctr" : "kuznyechik-ctr";
}

const char* MacName(WrapCipher cipher) {
    return cipher == WrapCipher::Magma ? "magma-mac" : "kuznyechik-mac";
}

std::optional<Bytes> Mac(WrapCipher cipher, ByteView key, ByteView iv, ByteView data) {
    Bytes mac(WrapMacSize(cipher));
    ossl::EvpMdCtx ctx(EVP_MD_CTX_new());
    const EVP_MD* md = EVP_get_digestbyname(MacName(cipher));
    if (!ctx || md == nullptr || EVP_DigestInit_ex(ctx.get(), md, nullptr) <= 0 ||
        EVP_MD_CTX_ctrl(ctx.get(), kMdCtrlSetKey, static_cast<int>(key.size()),
                        const_cast<std::uint8_t*>(key.data())) <= 0 ||
        EVP_MD_CTX_ctrl(ctx.get(), EVP_MD_CTRL_XOF_LEN, static_cast<int>(mac.size()), nullptr) <=
            0 ||
        EVP_DigestUpdate(ctx.get(), iv.data(), iv.size()) <= 0 ||
        EVP_DigestUpdate(ctx.get(), data.data(), data.size()) <= 0 ||
        EVP_DigestFinalXOF(ctx.get(), mac.data(), mac.size()) <= 0) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    return mac;
}

// CTR over the pieces in turn, into `out` (which has room for all of them).
bool Ctr(WrapCipher cipher, ByteView key, ByteView iv, std::initializer_list<ByteView> pieces,
         std::uint8_t* out) {
    CipherCtx ctx(EVP_CIPHER_CTX_new());
    const EVP_CIPHER* ctr = EVP_get_cipherbyname(CtrName(cipher));
    int length = 0;
    if (!ctx || ctr == nullptr ||
        static_cast<std::size_t>(EVP_CIPHER_get_iv_length(ctr)) != iv.size() ||
        EVP_CipherInit_ex(ctx.get(), ctr, nullptr, key.data(), iv.data(), 1) <= 0) {
        ERR_clear_error();
        return Fail(error::kFail);
    }
    for (ByteView piece : pieces) {
        if (EVP_CipherUpdate(ctx.get(), out, &length, piece.data(),
                             static_cast<int>(piece.size())) <= 0) {
            ERR_clear_error();
            return Fail(error::kFail);
        }
        out += length;
    }
    if (EVP_CipherFinal_ex(ctx.get(), out, &length) <= 0) {
        ERR_clear_error();
        return Fail(error::kFail);
    }
    return true;
}

bool ValidWrapInput(WrapCipher cipher, ByteView mac_key, ByteView cipher_key, ByteView iv) {
    return StartGostEngine() && mac_key.size() == kKeySize && cipher_key.size() == kKeySize &&
           iv.size() == WrapIvSize(cipher);
}

}  // namespace

std::size_t WrapIvSize(WrapCipher cipher) {
    return cipher == WrapCipher::Magma ? 4 : 8;
}

std::size_t WrapMacSize(WrapCipher cipher) {
    return cipher == WrapCipher::Magma ? 8 : 16;
}

std::optional<WipedBytes> AgreeKey(EVP_PKEY* own, EVP_PKEY* peer, ByteView ukm) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string ukm_hex;
    for (std::uint8_t byte : ukm) {
        ukm_hex += kHex[byte >> 4];
        ukm_hex += kHex[byte & 0x0F];
    }
    ossl::EvpPkeyCtx ctx(EVP_PKEY_CTX_new(own, nullptr));
    WipedBytes agreed{Bytes(64)};
    std::size_t length = agreed.bytes().size();
    if (!ctx || EVP_PKEY_derive_init(ctx.get()) <= 0 ||
        EVP_PKEY_derive_set_peer(ctx.get(), peer) <= 0 ||
        EVP_PKEY_CTX_ctrl_str(ctx.get(), "ukmhex", ukm_hex.c_str()) <= 0 ||
        EVP_PKEY_derive(ctx.get(), agreed.bytes().data(), &length) <= 0 || length != kKeySize) {
        ERR_clear_error();
        return Fail(error::kBadPublicKey, std::optional<WipedBytes>{});
    }
    agreed.bytes().resize(length);
    return agreed;
}

std::optional<WipedBytes> KdfTree256(ByteView key, ByteView label, ByteView seed,
                                     std::size_t length) {
    const EVP_MD* md = StartGostEngine() ? EVP_get_digestbyname("md_gost12_256") : nullptr;
    if (md == nullptr || length == 0 || length % kKeySize != 0 || length / kKeySize > 255) {
        return Fail(error::kFail, std::optional<WipedBytes>{});
    }
    // The length in bits, big endian, without leading zero bytes.
    Bytes bits;
    for (std::size_t rest = length * 8; rest != 0; rest >>= 8) {
        bits.insert(bits.begin(), static_cast<std::uint8_t>(rest));
    }
    WipedBytes out{Bytes(length)};
    for (std::size_t block = 0; block < length / kKeySize; ++block) {
        Bytes message;
        message.push_back(static_cast<std::uint8_t>(block + 1));
        message.insert(message.end(), label.begin(), label.end());
        message.push_back(0);
        message.insert(message.end(), seed.begin(), seed.end());
        message.insert(message.end(), bits.begin(), bits.end());
        unsigned int size = kKeySize;
        if (HMAC(md, key.data(), static_cast<int>(key.size()), message.data(), message.size(),
                 out.bytes().data() + block * kKeySize, &size) == nullptr ||
            size != kKeySize) {
            ERR_clear_error();
            return Fail(error::kFail, std::optional<WipedBytes>{});
        }
    }
    return out;
}

std::optional<Bytes> KExp15(WrapCipher cipher, ByteView data, ByteView mac_key, ByteView cipher_key,
                            ByteView iv) {
    if (!ValidWrapInput(cipher, mac_key, cipher_key, iv)) {
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    auto mac = Mac(cipher, mac_key, iv, data);
    if (!mac) {
        return std::nullopt;
    }
    Bytes wrapped(data.size() + mac->size());
    if (!Ctr(cipher, cipher_key, iv, {data, *mac}, wrapped.data())) {
        return std::nullopt;
    }
    return wrapped;
}

std::optional<WipedBytes> KImp15(WrapCipher cipher, ByteView wrapped, ByteView mac_key,
                                 ByteView cipher_key, ByteView iv) {
    const std::size_t mac_size = WrapMacSize(cipher);
    if (!ValidWrapInput(cipher, mac_key, cipher_key, iv) || wrapped.size() < mac_size) {
        return Fail(error::kBadData, std::optional<WipedBytes>{});
    }
    WipedBytes plain{Bytes(wrapped.size())};
    if (!Ctr(cipher, cipher_key, iv, {wrapped}, plain.bytes().data())) {
        return std::nullopt;
    }
    const std::size_t data_size = wrapped.size() - mac_size;
    const ByteView data(plain.bytes().data(), data_size);
    const auto mac = Mac(cipher, mac_key, iv, data);
    if (!mac || CRYPTO_memcmp(mac->data(), plain.bytes().data() + data_size, mac_size) != 0) {
        return Fail(error::kBadData, std::optional<WipedBytes>{});
    }
    // Shrinking keeps the buffer: the MAC bytes past the end are wiped with it.
    plain.bytes().resize(data_size);
    return plain;
}

}  // namespace velmora::platform
