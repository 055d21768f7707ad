#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/system/last_error.h"
#include "platform/decode_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora::platform {
namespace {

using testing::FixturePath;
using testing::Hex;
using testing::ReadFixture;

TEST(CertContext, DecodesTheFieldsOfAQualifiedCertificate) {
    const Bytes der = ReadFixture("ee-256.cer");
    const CertContext cert = CreateCertificateContext(der);
    ASSERT_TRUE(cert);
    EXPECT_EQ(cert->Encoded(), der);
    const CertInfo& info = cert->Info();
    EXPECT_EQ(info.version, 2);
    // 02 0B 00 9C 4E 2A 17 B3 D5 F6 07 18 29: least significant first, sign byte kept.
    EXPECT_EQ(info.serialNumber, Hex("29 18 07 F6 D5 B3 17 2A 4E 9C 00"));
    EXPECT_EQ(info.signatureAlgorithm.oid, "1.2.643.7.1.1.3.2");
    EXPECT_EQ(info.signatureAlgorithm.parameters, Hex("05 00"));
    EXPECT_EQ(info.publicKey.algorithm.oid, "1.2.643.7.1.1.1.1");
    EXPECT_EQ(info.publicKey.unusedBits, 0);
    ASSERT_EQ(info.publicKey.publicKey.size(), 66u);
    EXPECT_EQ(info.publicKey.publicKey[0], 0x04);
    EXPECT_EQ(info.publicKey.publicKey[1], 0x40);
    const std::vector<std::string> expected = {
        "2.5.29.32",       "2.5.29.17",       "2.5.29.2",   "2.5.29.15!",    "2.5.29.37",
        "1.2.643.100.111", "1.2.643.100.112", "2.5.29.19!", "2.5.29.16",     "2.5.29.35",
        "2.5.29.14",       "2.5.29.31",       "2.5.29.18",  "1.2.643.2.99.1"};
    EXPECT_EQ(testing::ExtensionOids(info.extensions), expected);
    const Extension* key_usage = FindExtension(info.extensions, "2.5.29.15");
    ASSERT_NE(key_usage, nullptr);
    EXPECT_EQ(key_usage->value, Hex("03 03 07 F8 80"));
    EXPECT_EQ(FindExtension(info.extensions, "2.5.29.99"), nullptr);

    EXPECT_EQ(cert->SignatureAlgorithm().oid, "1.2.643.7.1.1.3.2");
    ASSERT_EQ(cert->Signature().size(), 64u);
    // The outer signature, least significant byte first: the encoded form
    // ends where the decoded one starts.
    EXPECT_EQ(cert->Signature().back(), der[der.size() - 64]);
    EXPECT_EQ(cert->Signature().front(), der.back());
}

// The reports of every fixture show serial numbers and validity; here what
// the decoded form alone shows.
TEST(CertContext, VersionOneAndRepeatedExtensions) {
    const CertContext v1 = CreateCertificateContext(ReadFixture("ee-noext.cer"));
    ASSERT_TRUE(v1);
    EXPECT_EQ(v1->Info().version, 0);
    EXPECT_EQ(v1->Info().serialNumber, Hex("00 04"));  // 02 02 04 00
    EXPECT_TRUE(v1->Info().extensions.empty());
    const CertContext odd = CreateCertificateContext(ReadFixture("ee-oddext.cer"));
    ASSERT_TRUE(odd);
    // Duplicates stay, in input order.
    EXPECT_EQ(std::count_if(odd->Info().extensions.begin(), odd->Info().extensions.end(),
                            [](const Extension& e) { return e.oid == "2.5.29.32"; }),
              2);
}

TEST(CertContext, ThumbprintMatchesOpenSsl) {
    for (const char* file : {"ca.cer", "intermediate.cer", "ee-256.cer", "ee-512.cer",
                             "ee-2001.cer", "ee-oddext.cer", "ee-noext.cer"}) {
        const Bytes der = ReadFixture(file);
        const std::string output =
            testing::RunCommand("openssl x509 -inform DER -noout -fingerprint -sha1 -in '" +
                                FixturePath(file).string() + "'");
        // "SHA1 Fingerprint=AB:CD:..."
        std::string digits = output.substr(output.find('=') + 1);
        std::erase(digits, ':');
        std::erase(digits, '\n');
        EXPECT_EQ(HashCertificateSha1(der), Hex(digits)) << file;
    }
}

TEST(CertContext, RefusesAnythingButExactlyOneCertificate) {
    const Bytes der = ReadFixture("ee-256.cer");
    Bytes trailing = der;
    trailing.push_back(0x00);
    EXPECT_FALSE(CreateCertificateContext(trailing));
    EXPECT_EQ(GetLastError(), error::kAsn1Corrupt);
    EXPECT_FALSE(CreateCertificateContext(ReadFixture("ee-256.pem")));
    EXPECT_FALSE(CreateCertificateContext({}));
    EXPECT_EQ(GetLastError(), error::kAsn1Eod);
    EXPECT_FALSE(CreateCertificateContext(ReadFixture("req-full.req")));
    EXPECT_FALSE(CreateCertificateContext(ReadFixture("crl-full.crl")));
    // Every cut of the certificate fails cleanly.
    for (std::size_t size = 0; size < der.size(); ++size) {
        EXPECT_FALSE(CreateCertificateContext(ByteView(der).first(size))) << size;
    }
}

Bytes Replaced(Bytes bytes, std::string_view from, std::string_view to) {
    const auto at = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
    EXPECT_NE(at, bytes.end()) << from;
    if (at != bytes.end()) {
        std::copy(to.begin(), to.end(), at);
    }
    return bytes;
}

TEST(CertContext, ToBeSignedPartIsCheckedFieldByField) {
    const Bytes der = ReadFixture("ee-noext.cer");
    const std::optional<SignedContent> content = DecodeSignedContent(der);
    ASSERT_TRUE(content);
    ASSERT_TRUE(DecodeCertificateToBeSigned(content->toBeSigned));

    // An impossible validity date: the field is there but is no time.
    const Bytes bad_date = Replaced(der, "240315090000Z", "240231090000Z");
    EXPECT_FALSE(CreateCertificateContext(bad_date));
    EXPECT_EQ(GetLastError(), error::kAsn1Corrupt);
    // A validity time of another type.
    const Bytes bad_type = Replaced(der,
                                    "\x17\x0D"
                                    "240315",
                                    "\x04\x0D"
                                    "240315");
    EXPECT_FALSE(CreateCertificateContext(bad_type));
    EXPECT_EQ(GetLastError(), error::kAsn1BadTag);

    // A field too many at the end of the to-be-signed part.
    Bytes longer(content->toBeSigned.begin() + 4, content->toBeSigned.end());
    ASSERT_EQ(content->toBeSigned[1], 0x82);  // two length bytes
    longer.push_back(0x05);
    longer.push_back(0x00);
    const Bytes rewrapped = Der(0x30, longer);
    EXPECT_FALSE(DecodeCertificateToBeSigned(rewrapped));
    EXPECT_EQ(GetLastError(), error::kAsn1Corrupt);
    // The same bytes decode again once the extra field is gone.
    longer.resize(longer.size() - 2);
    EXPECT_TRUE(DecodeCertificateToBeSigned(Der(0x30, longer)));
}

// Binding a key makes a new context; the original stays as it was.
TEST(CertContext, KeyProviderPropertyMakesANewContext) {
    const CertContext cert = CreateCertificateContext(ReadFixture("ee-2001.cer"));
    ASSERT_TRUE(cert);
    const KeyProvInfo prov{"user 1205063539",
                           "Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider", 75, 1};
    const CertContext bound = cert->WithKeyProv(prov);
    ASSERT_TRUE(bound);
    EXPECT_EQ(bound->KeyProv(), prov);
    EXPECT_FALSE(cert->KeyProv());
    EXPECT_EQ(bound->Encoded(), cert->Encoded());
}

}  // namespace
}  // namespace velmora::platform
