#include "crypto/platform/certs/cert_hash.h"

#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>
#include <openssl/evp.h>

namespace velmora::platform {
namespace {

Bytes Sha1(ByteView data) {
    Bytes digest(EVP_MAX_MD_SIZE);
    unsigned int size = 0;
    if (EVP_Digest(data.data(), data.size(), digest.data(), &size, EVP_sha1(), nullptr) != 1) {
        ERR_clear_error();
        SetLastError(error::kFail);
        return {};
    }
    digest.resize(size);
    return digest;
}

}  // namespace

Bytes HashCertificateSha1(ByteView encoded) {
    return Sha1(encoded);
}

std::optional<Bytes> HashPublicKeyInfoSha1(const PublicKeyInfo& info) {
    std::optional<Bytes> der = EncodePublicKeyInfo(info);
    if (!der) {
        return std::nullopt;
    }
    Bytes digest = Sha1(*der);
    if (digest.empty()) {
        return std::nullopt;
    }
    return digest;
}

}  // namespace velmora::platform
