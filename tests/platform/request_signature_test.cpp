#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/certs/encode_request.h"
#include "crypto/platform/certs/extension_values.h"
#include "crypto/platform/certs/request.h"
#include "crypto/platform/certs/signature_check.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/temp_folder.h"
#include "platform/decode_test_util.h"

#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

using testing::Hex;
using testing::ReadFixture;
using testing::RunCommand;

struct DecodedRequest {
    SignedContent signed_content;
    RequestInfo info;
};

DecodedRequest DecodeRequestFile(const char* file) {
    DecodedRequest request;
    const std::optional<SignedContent> content = DecodeSignedContent(ReadFixture(file));
    EXPECT_TRUE(content) << file;
    if (content) {
        request.signed_content = *content;
        const std::optional<RequestInfo> info = DecodeRequestToBeSigned(content->toBeSigned);
        EXPECT_TRUE(info) << file;
        if (info) {
            request.info = *info;
        }
    }
    return request;
}

TEST(Requests, AttributesAndTheExtensionRequest) {
    const DecodedRequest request = DecodeRequestFile("req-full.req");
    EXPECT_EQ(request.info.version, 0);
    EXPECT_EQ(request.info.publicKey.algorithm.oid, "1.2.643.7.1.1.1.1");
    EXPECT_EQ(request.signed_content.signatureAlgorithm.oid, "1.2.643.7.1.1.3.2");
    ASSERT_EQ(request.info.attributes.size(), 2u);
    const RequestAttribute& password = request.info.attributes[0];
    EXPECT_EQ(password.oid, "1.2.840.113549.1.9.7");
    ASSERT_EQ(password.values.size(), 1u);
    EXPECT_FALSE(DecodeExtensions(password.values[0]));  // no extension list: skipped by callers

    const RequestAttribute& extension_request = request.info.attributes[1];
    EXPECT_EQ(extension_request.oid, kExtensionRequestOid);
    ASSERT_EQ(extension_request.values.size(), 1u);
    const std::optional<std::vector<Extension>> extensions =
        DecodeExtensions(extension_request.values[0]);
    ASSERT_TRUE(extensions);
    EXPECT_EQ(testing::ExtensionOids(*extensions),
              (std::vector<std::string>{"2.5.29.17", "2.5.29.2", "2.5.29.15!", "2.5.29.37",
                                        "2.5.29.32", "1.2.643.100.111"}));
    const std::optional<KeyAttributes> attributes =
        DecodeKeyAttributes(FindExtension(*extensions, "2.5.29.2")->value);
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->keyId, HashPublicKeyInfoSha1(request.info.publicKey));
    // Encoding the list again gives the bytes openssl wrote.
    EXPECT_EQ(EncodeExtensions(*extensions), extension_request.values[0]);

    const DecodedRequest bare = DecodeRequestFile("req-noattr.req");
    EXPECT_TRUE(bare.info.attributes.empty());
    EXPECT_EQ(bare.info.publicKey.algorithm.oid, "1.2.643.2.2.19");
}

TEST(Requests, EncodingTheDecodedPartsGivesTheSameBytes) {
    for (const char* file : {"req-full.req", "req-snils.req", "req-noattr.req"}) {
        const Bytes der = ReadFixture(file);
        const DecodedRequest request = DecodeRequestFile(file);
        EXPECT_EQ(EncodeRequestToBeSigned(request.info), request.signed_content.toBeSigned) << file;
        EXPECT_EQ(EncodeSignedContent(request.signed_content), der) << file;
    }
    for (const char* file : {"ca.cer", "ee-256.cer", "ee-noext.cer", "crl-full.crl"}) {
        const Bytes der = ReadFixture(file);
        const std::optional<SignedContent> content = DecodeSignedContent(der);
        ASSERT_TRUE(content) << file;
        EXPECT_EQ(EncodeSignedContent(*content), der) << file;
    }

    // A request without the attribute set at all still decodes.
    DecodedRequest request = DecodeRequestFile("req-noattr.req");
    const Bytes& tbs = request.signed_content.toBeSigned;
    ASSERT_EQ(Bytes(tbs.end() - 2, tbs.end()), Hex("A0 00"));
    ASSERT_LT(tbs[1], 0x80u + 3);  // a length of at most two bytes
    const std::size_t header = tbs[1] < 0x80 ? 2 : 2 + (tbs[1] & 0x7F);
    const Bytes without(tbs.begin() + header, tbs.end() - 2);
    const std::optional<RequestInfo> info = DecodeRequestToBeSigned(Der(0x30, without));
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->attributes.empty());
    EXPECT_FALSE(DecodeRequestToBeSigned(Der(0x30, Bytes(tbs.begin() + header, tbs.end() - 1))));
}

TEST(SignatureCheck, GostRequestsAndCertificatesAgainstTheirKeys) {
    for (const char* file : {"req-full.req", "req-snils.req", "req-noattr.req"}) {
        const DecodedRequest request = DecodeRequestFile(file);
        EXPECT_TRUE(VerifyCertificateSignature(ReadFixture(file), request.info.publicKey))
            << file << " " << std::hex << GetLastError();
    }
    const DecodedRequest good = DecodeRequestFile("req-full.req");
    SetLastError(0);
    EXPECT_FALSE(VerifyCertificateSignature(ReadFixture("req-badsig.req"), good.info.publicKey));
    EXPECT_EQ(GetLastError(), error::kBadSignature);

    const CertContext root = CreateCertificateContext(ReadFixture("ca.cer"));
    const CertContext intermediate = CreateCertificateContext(ReadFixture("intermediate.cer"));
    ASSERT_TRUE(root);
    ASSERT_TRUE(intermediate);
    struct Case {
        const char* file;
        const CertContext& issuer;
    };
    const Case cases[] = {{"ca.cer", root},
                          {"intermediate.cer", root},
                          {"ee-256.cer", intermediate},
                          {"ee-512.cer", intermediate},
                          {"ee-2001.cer", intermediate},
                          {"ee-oddext.cer", intermediate},
                          {"crl-full.crl", intermediate},
                          {"crl-root.crl", root}};
    for (const Case& c : cases) {
        EXPECT_TRUE(VerifyCertificateSignature(ReadFixture(c.file), c.issuer->Info().publicKey))
            << c.file << " " << std::hex << GetLastError();
    }
    // The root's 512-bit key does not fit a 256-bit signature algorithm.
    SetLastError(0);
    EXPECT_FALSE(VerifyCertificateSignature(ReadFixture("ee-256.cer"), root->Info().publicKey));
    EXPECT_EQ(GetLastError(), error::kBadKey);
    // Another key of the same kind: a wrong signature.
    const CertContext ee = CreateCertificateContext(ReadFixture("ee-256.cer"));
    SetLastError(0);
    EXPECT_FALSE(VerifyCertificateSignature(ReadFixture("ee-512.cer"), ee->Info().publicKey));
    EXPECT_EQ(GetLastError(), error::kBadSignature);

    // An algorithm the check does not know.
    std::optional<SignedContent> content = DecodeSignedContent(ReadFixture("req-full.req"));
    ASSERT_TRUE(content);
    content->signatureAlgorithm.oid = "1.2.3.4";
    SetLastError(0);
    EXPECT_FALSE(VerifyCertificateSignature(*EncodeSignedContent(*content), good.info.publicKey));
    EXPECT_EQ(GetLastError(), error::kUnknownAlgo);
    EXPECT_FALSE(VerifyCertificateSignature(Hex("30 00"), good.info.publicKey));
    EXPECT_EQ(GetLastError(), error::kAsn1Eod);
}

Bytes ReadFile(const std::filesystem::path& file) {
    const std::string text = velmora::testing::TempFolder::Read(file);
    return Bytes(text.begin(), text.end());
}

// RSA and ECDSA objects made by the openssl command verify, and stop
// verifying when a signed byte changes; the key hash matches openssl's.
TEST(SignatureCheck, RsaAndEcdsaObjectsMadeByOpenSsl) {
    const velmora::testing::TempFolder folder;
    const std::string dir = folder.path().string();
    struct Kind {
        const char* name;
        const char* key_options;
        const char* algorithm_oid;
    };
    const Kind kinds[] = {
        {"rsa", "-newkey rsa:2048", "1.2.840.113549.1.1.11"},
        {"ec", "-newkey ec -pkeyopt ec_paramgen_curve:P-256", "1.2.840.10045.4.3.2"},
    };
    for (const Kind& kind : kinds) {
        const std::string base = dir + "/" + kind.name;
        RunCommand("openssl req -x509 -nodes -sha256 -days 2 -subj /CN=Velmora " +
                   std::string(kind.key_options) + " -keyout " + base + ".key -outform DER -out " +
                   base + ".cer 2>/dev/null");
        RunCommand("openssl req -new -sha256 -subj /CN=Velmora -key " + base +
                   ".key -outform DER -out " + base + ".req 2>/dev/null");
        const Bytes cert_der = ReadFile(base + ".cer");
        const CertContext cert = CreateCertificateContext(cert_der);
        ASSERT_TRUE(cert) << kind.name;
        EXPECT_EQ(cert->SignatureAlgorithm().oid, kind.algorithm_oid);
        const PublicKeyInfo& key = cert->Info().publicKey;
        EXPECT_TRUE(VerifyCertificateSignature(cert_der, key)) << kind.name;
        const Bytes request_der = ReadFile(base + ".req");
        EXPECT_TRUE(VerifyCertificateSignature(request_der, key)) << kind.name;

        Bytes tampered = request_der;
        tampered[20] ^= 0x01;  // inside the subject
        SetLastError(0);
        EXPECT_FALSE(VerifyCertificateSignature(tampered, key)) << kind.name;
        EXPECT_EQ(GetLastError(), error::kBadSignature) << kind.name;

        const std::string digest =
            RunCommand("openssl pkey -in " + base + ".key -pubout -outform DER | openssl sha1 -r");
        EXPECT_EQ(HashPublicKeyInfoSha1(key), Hex(digest.substr(0, 40))) << kind.name;
        EXPECT_EQ(EncodePublicKeyInfo(key), key.encoded) << kind.name;
    }
}

}  // namespace
}  // namespace velmora::platform
