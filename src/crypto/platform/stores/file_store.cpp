// File stores: a read-only store over a certificate bundle file.
#include "crypto/platform/asn1/base64_armour.h"
#include "crypto/platform/ossl_ptr.h"
#include "crypto/platform/stores/cert_store.h"
#include "crypto/platform/stores/cert_store_state.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/atomic_file.h"

#include <openssl/pkcs7.h>

#include <sys/stat.h>

#include <climits>
#include <string_view>

namespace velmora::platform {
namespace {

// A bundle larger than this is no certificate file a person would open.
constexpr std::size_t kMaxBundleSize = 64 * 1024 * 1024;

constexpr std::string_view kBegin = "-----BEGIN";
constexpr std::string_view kEnd = "-----END";

// A PKCS#7 signed-data object (BER as well as DER, as other programs write
// it) that fills the bytes: its certificates and CRLs, each in its own
// encoding.
bool ReadPkcs7Bundle(ByteView der, CertificateBundle& bundle) {
    if (der.size() > static_cast<std::size_t>(LONG_MAX)) {
        return false;
    }
    const unsigned char* p = der.data();
    ossl::Pkcs7 pkcs7(d2i_PKCS7(nullptr, &p, static_cast<long>(der.size())));
    if (!pkcs7 || p != der.data() + der.size() || !PKCS7_type_is_signed(pkcs7.get()) ||
        pkcs7->d.sign == nullptr) {
        return false;
    }
    STACK_OF(X509)* certs = pkcs7->d.sign->cert;
    for (int i = 0; certs != nullptr && i < sk_X509_num(certs); ++i) {
        unsigned char* out = nullptr;
        const int length = i2d_X509(sk_X509_value(certs, i), &out);
        if (length <= 0) {
            continue;
        }
        // OpenSSL hands back the bytes it read, so the context holds the
        // certificate exactly as the bundle does.
        CertContext certificate =
            CreateCertificateContext(ByteView(out, static_cast<std::size_t>(length)));
        OPENSSL_free(out);
        if (certificate) {
            bundle.certificates.push_back(std::move(certificate));
        }
    }
    STACK_OF(X509_CRL)* crls = pkcs7->d.sign->crl;
    for (int i = 0; crls != nullptr && i < sk_X509_CRL_num(crls); ++i) {
        unsigned char* out = nullptr;
        const int length = i2d_X509_CRL(sk_X509_CRL_value(crls, i), &out);
        if (length > 0) {
            bundle.crls.emplace_back(out, out + length);
        }
        OPENSSL_free(out);
    }
    return true;
}

// One certificate or one bundle.
bool ReadDerObject(ByteView der, CertificateBundle& bundle) {
    if (CertContext certificate = CreateCertificateContext(der)) {
        bundle.certificates.push_back(std::move(certificate));
        return true;
    }
    return ReadPkcs7Bundle(der, bundle);
}

// Every armoured block of the text, in order; a block that does not decode
// to a certificate or bundle is passed over.
bool ReadPemBlocks(std::string_view text, CertificateBundle& bundle) {
    bool any = false;
    for (std::size_t begin = text.find(kBegin); begin != std::string_view::npos;
         begin = text.find(kBegin, begin + kBegin.size())) {
        const std::size_t end = text.find(kEnd, begin);
        if (end == std::string_view::npos) {
            break;
        }
        const std::size_t line_end = text.find('\n', end);
        const std::string_view block = text.substr(
            begin, (line_end == std::string_view::npos ? text.size() : line_end) - begin);
        const std::optional<Bytes> der = StringToBinary(block, StringFormat::kBase64Header);
        if (der && ReadDerObject(*der, bundle)) {
            any = true;
        }
    }
    return any;
}

}  // namespace

std::optional<CertificateBundle> ParseCertificateBundle(ByteView bytes) {
    CertificateBundle bundle;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.find(kBegin) != std::string_view::npos) {
        if (ReadPemBlocks(text, bundle)) {
            return bundle;
        }
    } else if (ReadDerObject(bytes, bundle)) {
        return bundle;
    } else if (const auto der = StringToBinary(text, StringFormat::kBase64)) {
        if (ReadDerObject(*der, bundle)) {
            return bundle;
        }
    }
    return Fail(error::kAsn1BadTag, std::optional<CertificateBundle>());
}

std::optional<CertStore> OpenFileStore(const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        return Fail(errno == EACCES ? error::kAccessDenied : error::kFileNotFound,
                    std::optional<CertStore>());
    }
    if (!S_ISREG(info.st_mode)) {
        return Fail(error::kAccessDenied, std::optional<CertStore>());
    }
    if (static_cast<std::uint64_t>(info.st_size) > kMaxBundleSize) {
        return Fail(error::kFileTooLarge, std::optional<CertStore>());
    }
    const std::optional<Bytes> bytes = ReadFileBytes(file);
    if (!bytes) {
        return Fail(error::kFileError, std::optional<CertStore>());
    }
    std::optional<CertificateBundle> bundle = ParseCertificateBundle(*bytes);
    if (!bundle) {
        return std::nullopt;
    }
    return CertStore(
        std::make_unique<CertStoreState>(std::move(bundle->certificates), std::move(bundle->crls)));
}

}  // namespace velmora::platform
