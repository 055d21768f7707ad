// Cut and bit-flipped fixtures against OpenSSL's own parser: what OpenSSL
// refuses, the boundary refuses too, so that no damaged certificate or CRL is
// ever shown or listed as if it were whole. The boundary is stricter than
// OpenSSL in four ways only, each checked for every mutant it alone
// refuses: DER forms (a SEQUENCE or SET marked primitive, a string or time
// marked constructed, which OpenSSL reads as BER), validity and update times
// that are no dates, versions that do not exist, and a public key or a known
// extension that OpenSSL itself cannot decode.

#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/certs/crl.h"
#include "crypto/platform/system/gost_engine.h"
#include "decode_test_util.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <gtest/gtest.h>

#include <functional>

namespace velmora::platform {
namespace {

using testing::ReadFixture;

// Every cut of the bytes and every single-bit flip of them.
std::vector<Bytes> Mutants(const Bytes& der) {
    std::vector<Bytes> mutants;
    for (std::size_t size = 0; size < der.size(); ++size) {
        mutants.emplace_back(der.begin(), der.begin() + static_cast<std::ptrdiff_t>(size));
    }
    for (std::size_t i = 0; i < der.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            Bytes flipped = der;
            flipped[i] ^= static_cast<std::uint8_t>(1 << bit);
            mutants.push_back(std::move(flipped));
        }
    }
    return mutants;
}

// How OpenSSL reads the bytes: refused, taken as DER, or taken only as BER
// (its own encoding of what it read differs from the bytes).
enum class Openssl { Refuses, AcceptsDer, AcceptsBer };

template <typename T, T* (*D2i)(T**, const unsigned char**, long), void (*Free)(T*),
          int (*ReencodeTbs)(T*, unsigned char**)>
Openssl OpensslReads(const Bytes& der) {
    const unsigned char* p = der.data();
    T* object = D2i(nullptr, &p, static_cast<long>(der.size()));
    Openssl outcome = Openssl::Refuses;
    if (object != nullptr && p == der.data() + der.size()) {
        // The to-be-signed part follows the outer header; encoded afresh it
        // must give the same bytes.
        DerReader outer(der);
        DerElement list, tbs;
        unsigned char* encoded = nullptr;
        const int size = ReencodeTbs(object, &encoded);
        const bool same =
            outer.Read(der::kSequence, list) && DerReader(list.content).Read(der::kSequence, tbs) &&
            size > 0 &&
            ByteView(encoded, static_cast<std::size_t>(size)).size() == tbs.encoded.size() &&
            std::equal(tbs.encoded.begin(), tbs.encoded.end(), encoded);
        OPENSSL_free(encoded);
        outcome = same ? Openssl::AcceptsDer : Openssl::AcceptsBer;
    }
    Free(object);
    ERR_clear_error();
    return outcome;
}

// What each byte of the original encoding is part of.
struct ByteRole {
    bool tag = false;         // the identifier byte of an element
    std::uint8_t within = 0;  // the innermost element whose content holds the byte
    bool version = false;     // the content of the version number
};

void MapRoles(ByteView content, std::size_t offset, std::uint8_t parent, int depth,
              std::vector<ByteRole>& roles) {
    DerReader reader(content);
    DerElement element;
    bool first = true;
    while (reader.Next(element)) {
        const std::size_t start =
            offset + static_cast<std::size_t>(element.encoded.data() - content.data());
        const std::size_t contentStart =
            offset + static_cast<std::size_t>(element.content.data() - content.data());
        roles[start].tag = true;
        if (element.tag == der::kUtcTime || element.tag == der::kGeneralizedTime) {
            for (std::size_t i = start + 1; i < contentStart; ++i) {
                roles[i].within = element.tag;  // a time's length too
            }
        }
        for (std::size_t i = 0; i < element.content.size(); ++i) {
            roles[contentStart + i].within = element.tag;
            // [0] { INTEGER } of a certificate; the leading INTEGER of a CRL's list.
            roles[contentStart + i].version =
                element.tag == der::kInteger && (parent == 0xA0 || (depth == 2 && first));
        }
        if (element.tag & 0x20) {
            MapRoles(element.content, contentStart, element.tag, depth + 1, roles);
        }
        first = false;
    }
}

// True when OpenSSL takes a mutant for one of the reasons the boundary
// refuses on purpose.
bool StricterOnPurpose(const Bytes& original, const std::vector<ByteRole>& roles, std::size_t at,
                       std::uint8_t now) {
    const ByteRole& role = roles[at];
    if (role.within == der::kUtcTime || role.within == der::kGeneralizedTime || role.version) {
        return true;
    }
    if (role.tag) {
        const std::uint8_t number = now & 0x1F;
        const bool constructed = (now & 0x20) != 0;
        const bool sequenceOrSet = number == 0x10 || number == 0x11;
        // SEQUENCE or SET made primitive, another universal type made
        // constructed: forms DER forbids and OpenSSL reads as BER.
        return (now & 0xC0) == 0 && constructed != sequenceOrSet &&
               (!constructed || (original[at] ^ now) == 0x20 || (original[at] & 0x20) != 0);
    }
    return false;
}

struct Outcomes {
    std::size_t mutants = 0;
    std::size_t bothAccept = 0;
    std::vector<std::size_t> oursOnly;     // damaged objects we would show
    std::vector<std::size_t> opensslOnly;  // DER objects we refuse that OpenSSL takes
};

Outcomes Compare(const Bytes& der, const std::function<bool(const Bytes&)>& ours,
                 const std::function<Openssl(const Bytes&)>& openssl) {
    Outcomes outcomes;
    const std::vector<Bytes> mutants = Mutants(der);
    outcomes.mutants = mutants.size();
    for (std::size_t i = 0; i < mutants.size(); ++i) {
        const bool a = ours(mutants[i]);
        const Openssl b = openssl(mutants[i]);
        if (a && b != Openssl::Refuses) {
            ++outcomes.bothAccept;
        } else if (a) {
            outcomes.oursOnly.push_back(i);
        } else if (b == Openssl::AcceptsDer) {
            outcomes.opensslOnly.push_back(i);
        }
    }
    return outcomes;
}

std::string Describe(const Bytes& der, const std::vector<std::size_t>& indexes) {
    std::string text;
    for (const std::size_t index : indexes) {
        if (index < der.size()) {
            text += " cut@" + std::to_string(index);
        } else {
            const std::size_t flip = index - der.size();
            text += " flip@" + std::to_string(flip / 8) + "." + std::to_string(flip % 8);
        }
    }
    return text;
}

// True when OpenSSL reads the bytes as a certificate whose public key it
// cannot decode (an algorithm it knows, parameters or a point it refuses) or
// with an extension it knows and cannot decode: OpenSSL takes the
// certificate, but would fail on it as soon as it is used.
bool KeyOrExtensionOpensslCannotDecode(const Bytes& der) {
    StartGostEngine();
    const unsigned char* p = der.data();
    X509* cert = d2i_X509(nullptr, &p, static_cast<long>(der.size()));
    bool broken = false;
    if (cert != nullptr) {
        if (X509_get0_pubkey(cert) == nullptr) {
            ASN1_OBJECT* algorithm = nullptr;
            X509_PUBKEY_get0_param(&algorithm, nullptr, nullptr, nullptr,
                                   X509_get_X509_PUBKEY(cert));
            EVP_PKEY* probe = EVP_PKEY_new();
            broken = EVP_PKEY_set_type(probe, OBJ_obj2nid(algorithm)) == 1;
            EVP_PKEY_free(probe);
        }
        for (int i = 0; !broken && i < X509_get_ext_count(cert); ++i) {
            X509_EXTENSION* extension = X509_get_ext(cert, i);
            const X509V3_EXT_METHOD* method = X509V3_EXT_get(extension);
            if (method == nullptr) {
                continue;
            }
            void* value = X509V3_EXT_d2i(extension);
            broken = value == nullptr;
            if (value != nullptr) {
                ASN1_item_free(static_cast<ASN1_VALUE*>(value), ASN1_ITEM_ptr(method->it));
            }
        }
    }
    X509_free(cert);
    ERR_clear_error();
    return broken;
}

void ExpectOnlyStricterOnPurpose(const Bytes& der, const std::vector<std::size_t>& opensslOnly) {
    std::vector<ByteRole> roles(der.size());
    MapRoles(der, 0, 0, 0, roles);
    std::vector<std::size_t> unexplained;
    for (const std::size_t index : opensslOnly) {
        const std::size_t flip = index - der.size();  // cuts are never accepted
        const std::size_t at = flip / 8;
        const std::uint8_t now = der[at] ^ static_cast<std::uint8_t>(1 << (flip % 8));
        Bytes mutant = der;
        mutant[at] = now;
        if (index < der.size() || (!StricterOnPurpose(der, roles, at, now) &&
                                   !KeyOrExtensionOpensslCannotDecode(mutant))) {
            unexplained.push_back(index);
        }
    }
    EXPECT_TRUE(unexplained.empty()) << Describe(der, unexplained);
}

TEST(OpensslAgreement, Certificates) {
    // A CA with a 512-bit key, the smallest end-entity certificate and the
    // one with unusual extensions: every bit of each is flipped.
    for (const char* name : {"ca.cer", "ee-noext.cer", "ee-oddext.cer"}) {
        SCOPED_TRACE(name);
        const Bytes der = ReadFixture(name);
        const Outcomes outcomes = Compare(
            der, [](const Bytes& bytes) { return CreateCertificateContext(bytes) != nullptr; },
            OpensslReads<X509, d2i_X509, X509_free, i2d_re_X509_tbs>);
        EXPECT_TRUE(outcomes.oursOnly.empty()) << Describe(der, outcomes.oursOnly);
        ExpectOnlyStricterOnPurpose(der, outcomes.opensslOnly);
    }
}

TEST(OpensslAgreement, Crls) {
    for (const char* name : {"crl-full.crl", "crl-empty.crl", "crl-nonext.crl", "crl-root.crl"}) {
        SCOPED_TRACE(name);
        const Bytes der = ReadFixture(name);
        const Outcomes outcomes = Compare(
            der,
            [](const Bytes& bytes) {
                CrlInfo info;
                return DecodeCrlInfo(bytes, info, true);
            },
            OpensslReads<X509_CRL, d2i_X509_CRL, X509_CRL_free, i2d_re_X509_CRL_tbs>);
        EXPECT_TRUE(outcomes.oursOnly.empty()) << Describe(der, outcomes.oursOnly);
        ExpectOnlyStricterOnPurpose(der, outcomes.opensslOnly);
    }
}

}  // namespace
}  // namespace velmora::platform
