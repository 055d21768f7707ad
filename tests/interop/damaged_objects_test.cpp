// Damaged requests and certificates (real fixtures cut short and with bits
// flipped) are shown exactly when OpenSSL's own strict parse takes them as
// whole, and a damaged one gives no message of its own: the caller's single
// "Файл не поддерживается" is all the user sees.

#include "encoding/error.h"
#include "report/fixture_files.h"
#include "support/scripted_dialogs.h"

#include "support/lcg.h"

#include <gtest/gtest.h>

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstdint>
#include <set>

namespace velmora {
namespace {

// OpenSSL's strict reading, written here against OpenSSL's own API: the
// object parses with every byte consumed, its public key decodes (unless
// OpenSSL does not know the key's algorithm at all), every extension OpenSSL
// knows decodes (the extension request of a request included), and what
// OpenSSL's reader lets through but its own checks refuse is refused: a
// certificate version beyond v3, a validity time that ASN1_TIME_check
// rejects, a name that OpenSSL would not encode the way it stands.
bool KeyDecodes(X509_PUBKEY* key) {
    if (X509_PUBKEY_get0(key) != nullptr) {
        return true;
    }
    ASN1_OBJECT* algorithm = nullptr;
    X509_PUBKEY_get0_param(&algorithm, nullptr, nullptr, nullptr, key);
    EVP_PKEY* probe = EVP_PKEY_new();
    const bool known = EVP_PKEY_set_type(probe, OBJ_obj2nid(algorithm)) == 1;
    EVP_PKEY_free(probe);
    return !known;
}

bool ExtensionsDecode(const STACK_OF(X509_EXTENSION) * extensions) {
    for (int i = 0; i < sk_X509_EXTENSION_num(extensions); ++i) {
        X509_EXTENSION* extension = sk_X509_EXTENSION_value(extensions, i);
        const X509V3_EXT_METHOD* method = X509V3_EXT_get(extension);
        if (method == nullptr) {
            continue;
        }
        void* value = X509V3_EXT_d2i(extension);
        if (value == nullptr) {
            return false;
        }
        ASN1_item_free(static_cast<ASN1_VALUE*>(value), ASN1_ITEM_ptr(method->it));
    }
    return true;
}

// A name is whole when OpenSSL parsed it and building it anew from its
// entries gives the very bytes it was read from: OpenSSL's reader lets a few
// encoding faults through (a SET not marked constructed) that its writer
// never produces.
bool NameIsCanonical(const X509_NAME* name) {
    X509_NAME* rebuilt = X509_NAME_new();
    bool same = rebuilt != nullptr;
    int previous_set = -1;
    for (int i = 0; same && i < X509_NAME_entry_count(name); ++i) {
        const X509_NAME_ENTRY* entry = X509_NAME_get_entry(name, i);
        const int set = X509_NAME_ENTRY_set(entry);
        same = X509_NAME_add_entry(rebuilt, entry, -1, set == previous_set ? -1 : 0) == 1;
        previous_set = set;
    }
    const unsigned char* original = nullptr;
    std::size_t original_size = 0;
    unsigned char* encoded = nullptr;
    if (same && X509_NAME_get0_der(name, &original, &original_size) == 1) {
        const int size = i2d_X509_NAME(rebuilt, &encoded);
        same = size >= 0 && static_cast<std::size_t>(size) == original_size &&
               std::equal(encoded, encoded + size, original);
    } else {
        same = false;
    }
    OPENSSL_free(encoded);
    X509_NAME_free(rebuilt);
    return same;
}

bool OpenSslTakesWhole(ByteView der, bool request) {
    const unsigned char* p = der.data();
    const long size = static_cast<long>(der.size());
    bool whole = false;
    if (request) {
        X509_REQ* req = d2i_X509_REQ(nullptr, &p, size);
        if (req != nullptr && p == der.data() + der.size() &&
            KeyDecodes(X509_REQ_get_X509_PUBKEY(req))) {
            STACK_OF(X509_EXTENSION)* extensions = X509_REQ_get_extensions(req);
            const bool has_request = X509_REQ_get_attr_by_NID(req, NID_ext_req, -1) >= 0;
            whole = (extensions != nullptr ? ExtensionsDecode(extensions) : !has_request) &&
                    NameIsCanonical(X509_REQ_get_subject_name(req));
            sk_X509_EXTENSION_pop_free(extensions, X509_EXTENSION_free);
        }
        X509_REQ_free(req);
    } else {
        X509* cert = d2i_X509(nullptr, &p, size);
        whole = cert != nullptr && p == der.data() + der.size() &&
                KeyDecodes(X509_get_X509_PUBKEY(cert)) &&
                ExtensionsDecode(X509_get0_extensions(cert)) && X509_get_version(cert) >= 0 &&
                X509_get_version(cert) <= 2 && ASN1_TIME_check(X509_get0_notBefore(cert)) == 1 &&
                ASN1_TIME_check(X509_get0_notAfter(cert)) == 1 &&
                NameIsCanonical(X509_get_subject_name(cert)) &&
                NameIsCanonical(X509_get_issuer_name(cert));
        X509_free(cert);
    }
    ERR_clear_error();
    return whole;
}

// Our reading: the record decoded, with no message box shown on the way.
bool WeShow(ByteView der, bool request, testing::ScriptedDialogs& dialogs) {
    TRCstruct record;
    if (request) {
        return DecodeRequest(record, der, &dialogs);
    }
    return DecodeCertificate(record, platform::CreateCertificateContext(der), &dialogs);
}

using testing::Lcg;

TEST(DamagedObjects, ShownExactlyWhenOpenSslTakesThemWhole) {
    testing::UseMoscowTime();
    std::vector<std::pair<Bytes, bool>> objects;
    std::set<Bytes> seen;
    for (const auto& fixture : testing::ReportFixtures()) {
        std::optional<Bytes> der = DerOfFileBytes(testing::ReadFileBytes(fixture));
        if (der && seen.insert(*der).second) {
            objects.emplace_back(std::move(*der), testing::IsRequestFixture(fixture));
        }
    }
    ASSERT_GE(objects.size(), 10u);
    Lcg random(20240603);
    int variants = 0;
    int whole = 0;
    for (const auto& [der, request] : objects) {
        ASSERT_TRUE(OpenSslTakesWhole(der, request));
        std::vector<Bytes> damaged;
        for (std::size_t k = 1; k < 40; ++k) {
            damaged.emplace_back(der.begin(), der.begin() + der.size() * k / 40);
        }
        for (int k = 0; k < 200; ++k) {
            Bytes flipped = der;
            for (std::uint32_t flips = 1 + random.Next() % 2; flips > 0; --flips) {
                flipped[random.Next() % flipped.size()] ^= 1u << (random.Next() % 8);
            }
            damaged.push_back(std::move(flipped));
        }
        for (const Bytes& bytes : damaged) {
            testing::ScriptedDialogs dialogs;
            const bool expected = OpenSslTakesWhole(bytes, request);
            EXPECT_EQ(WeShow(bytes, request, dialogs), expected)
                << (request ? "request" : "certificate") << " variant " << variants;
            EXPECT_TRUE(dialogs.messages.empty()) << variants;
            ++variants;
            whole += expected;
        }
    }
    // Flips in signatures and values leave many variants whole: both
    // outcomes must be well represented, or the test proves little.
    EXPECT_GT(whole, variants / 5);
    EXPECT_LT(whole, variants * 4 / 5);
}

}  // namespace
}  // namespace velmora
