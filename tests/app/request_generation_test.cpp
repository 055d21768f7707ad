// Making requests from the form with real key containers in a temporary key
// folder: the extensions and string types the request carries, the messages
// of the failing steps, and containers created or reused.
#include "app/request/request_generation.h"
#include "app/grid/grid_operations.h"
#include "app/request/request_builder.h"
#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/certs/extension.h"
#include "crypto/platform/certs/extension_values.h"
#include "crypto/platform/certs/name.h"
#include "crypto/platform/certs/request.h"
#include "crypto/platform/certs/signature_check.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/system/clock.h"
#include "encoding/atomic_file.h"
#include "support/key_folder.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::ScopedKeyFolder;
using testing::ScriptedDialogs;

struct Made {
    platform::RequestInfo info;
    std::vector<platform::Extension> extensions;
    std::string signatureAlgorithm;
};

// The request decoded, its signature checked against its own key.
Made Decode(const Bytes& der) {
    Made made;
    const auto content = platform::DecodeSignedContent(der);
    EXPECT_TRUE(content);
    if (!content) {
        return made;
    }
    made.info = platform::DecodeRequestToBeSigned(content->toBeSigned).value();
    EXPECT_TRUE(platform::VerifyCertificateSignature(der, made.info.publicKey));
    made.signatureAlgorithm = content->signatureAlgorithm.oid;
    if (!made.info.attributes.empty()) {
        EXPECT_EQ(made.info.attributes.size(), 1u);
        EXPECT_EQ(made.info.attributes[0].oid, "1.2.840.113549.1.9.14");
        made.extensions = platform::DecodeExtensions(made.info.attributes[0].values.at(0)).value();
    }
    return made;
}

class RequestGenerationTest : public ::testing::Test {
  protected:
    RequestGenerationTest()
        : form_(grids_.Grids()), builder_(form_, {dialogs_, keys_.Root(), {}, {}}) {
        builder_.PrepareToShow();
        SetGridHeader(form_.grids.SUB_RDN, {"OID", "Значение", "Атрибут"}, false);
        SetGridHeader(form_.grids.SG_ALTNAME, {"OID", "Значение", "Атрибут"}, false);
        form_.Text("ContName") = "запрос";
        AppendGridRow(form_.grids.SUB_RDN, {"2.5.4.3", "Иванов Иван", ""}, false);
    }

    std::optional<Bytes> Make() { return MakeRequest(form_, dialogs_); }

    ScopedKeyFolder keys_;
    ScriptedDialogs dialogs_;
    MemoryRequestGrids grids_;
    RequestForm form_;
    RequestBuilder builder_;
};

TEST_F(RequestGenerationTest, KeyUsageAloneAndNoExtensionsAtAll) {
    ASSERT_EQ(form_.SelectedProviderEntry(),
              "[75] Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider");
    auto request = Make();
    ASSERT_TRUE(request);
    Made made = Decode(*request);
    EXPECT_TRUE(made.info.attributes.empty());
    EXPECT_EQ(made.signatureAlgorithm, "1.2.643.2.2.3");

    form_.Check("CB_KEY_USAGE") = true;
    form_.keyUse[0].checked = form_.keyUse[1].checked = true;
    request = Make();
    ASSERT_TRUE(request);
    made = Decode(*request);
    ASSERT_EQ(made.extensions.size(), 1u);
    EXPECT_EQ(made.extensions[0].oid, "2.5.29.15");
    EXPECT_TRUE(made.extensions[0].critical);
    EXPECT_EQ(made.extensions[0].value, (Bytes{0x03, 0x02, 0x01, 0xC0}));

    form_.keyUse[7].checked = true;
    made = Decode(Make().value());
    EXPECT_EQ(made.extensions[0].value, (Bytes{0x03, 0x03, 0x02, 0xC0, 0x80}));
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(RequestGenerationTest, StringTypesFollowTheAttributeAndTheScript) {
    AppendGridRow(form_.grids.SUB_RDN, {"2.5.4.6", "RU", ""}, false);
    AppendGridRow(form_.grids.SUB_RDN, {"1.2.840.113549.1.9.1", "ivanov@example.ru", ""}, false);
    form_.Check("CB_SUBJECT_ALT_NAME2") = true;
    AppendGridRow(form_.grids.SG_ALTNAME, {"1.2.643.3.61.502710.1.5", "01234", ""}, false);
    AppendGridRow(form_.grids.SG_ALTNAME, {"1.2.643.1.12345.1", "Код ЛД", ""}, false);
    form_.Check("CB_S_EP") = true;
    form_.Text("e_SrEP") = "\"КриптоПро CSP\" (версия 5.0)";
    const Made made = Decode(Make().value());
    const auto name = platform::DecodeName(made.info.subject).value();
    ASSERT_EQ(name.rdns.size(), 3u);
    EXPECT_EQ(name.rdns[0].attributes[0].valueType, platform::rdn_type::kBmpString);
    EXPECT_EQ(name.rdns[0].attributes[0].value.size(), 22u);
    EXPECT_EQ(name.rdns[1].attributes[0].valueType, platform::rdn_type::kPrintableString);
    EXPECT_EQ(name.rdns[2].attributes[0].valueType, platform::rdn_type::kIa5String);
    ASSERT_EQ(made.extensions.size(), 2u);
    const auto alt = platform::DecodeAltNames(made.extensions[0].value).value();
    ASSERT_EQ(alt.entries.size(), 2u);
    EXPECT_EQ(alt.entries[0].otherNameValue, (Bytes{0x13, 5, '0', '1', '2', '3', '4'}));
    EXPECT_EQ(alt.entries[1].otherNameValue.at(0), 0x1E);  // BMPString
    EXPECT_EQ(made.extensions[1].oid, "1.2.643.100.111");
    EXPECT_EQ(made.extensions[1].value.at(0), 0x0C);  // UTF8String
    EXPECT_FALSE(made.extensions[1].critical);

    // A Latin value with "@" or "_" is no PrintableString: the numbered error
    // box, and no request.
    form_.grids.SG_ALTNAME.SetCell(1, 1, "user_name@example");
    EXPECT_FALSE(Make());
    ASSERT_EQ(dialogs_.ErrorTexts().size(), 1u);
    EXPECT_TRUE(dialogs_.ErrorTexts()[0].starts_with("Ошибка № - "));
    // A Cyrillic country is refused by the name encoder: the system text alone.
    form_.grids.SG_ALTNAME.SetCell(1, 1, "01234");
    form_.grids.SUB_RDN.SetCell(2, 1, "РФ");
    EXPECT_FALSE(Make());
    ASSERT_EQ(dialogs_.ErrorTexts().size(), 2u);
    EXPECT_FALSE(dialogs_.ErrorTexts()[1].starts_with("Ошибка"));
}

TEST_F(RequestGenerationTest, KeyAttributesCarryTheKeyHashAndAYearFromNow) {
    platform::ScopedClockOverride clock(LocalToFileTime({2026, 12, 6, 0, 0, 1}));
    form_.Check("CB_KEY_ATTRIBUTES") = true;
    form_.attrKeyUse[0].checked = true;
    const Made made = Decode(Make().value());
    ASSERT_EQ(made.extensions.size(), 1u);
    const auto attributes = platform::DecodeKeyAttributes(made.extensions[0].value).value();
    EXPECT_EQ(attributes.keyId.size(), 20u);
    EXPECT_EQ(attributes.intendedKeyUsage.bytes, (Bytes{0x80}));
    ASSERT_TRUE(attributes.privateKeyUsagePeriod);
    EXPECT_EQ(attributes.privateKeyUsagePeriod->notBefore, UtcToFileTime({2026, 12, 5, 21, 0, 1}));
    EXPECT_EQ(attributes.privateKeyUsagePeriod->notAfter, UtcToFileTime({2027, 12, 4, 21, 0, 1}));
}

TEST_F(RequestGenerationTest, ContainersAreCreatedOnceAndReused) {
    form_.Text("IDENTIFY_KEY") = "1205063539";
    form_.Check("addContName") = true;
    const Made first = Decode(Make().value());
    EXPECT_TRUE(std::filesystem::exists(keys_.Keys()));
    // The identifier row was put into the alternative-name grid first.
    EXPECT_EQ(form_.grids.SG_ALTNAME.Cell(1, 0), "2.5.4.12");
    EXPECT_EQ(form_.grids.SG_ALTNAME.Cell(1, 1), "1205063539");
    EXPECT_EQ(form_.grids.SG_ALTNAME.Cell(1, 2), "");
    const Made second = Decode(Make().value());
    EXPECT_EQ(first.info.publicKey.publicKey, second.info.publicKey.publicKey);

    platform::CryptProvider context;
    EXPECT_TRUE(platform::AcquireContext(context, "запрос 1205063539", platform::kCryptoPro2001Name,
                                         platform::kProvGost2001, 0));
    form_.Check("addContName") = false;
    const Made third = Decode(Make().value());
    EXPECT_NE(third.info.publicKey.publicKey, first.info.publicKey.publicKey);

    // The 2012 provider signs with its own algorithm.
    form_.selectedProvider = 1;
    ASSERT_EQ(form_.SelectedProviderEntry(),
              "[80] Crypto-Pro GOST R 34.10-2012 Cryptographic Service Provider");
    form_.Text("ContName") = "запрос 2012";
    EXPECT_EQ(Decode(Make().value()).signatureAlgorithm, "1.2.643.7.1.1.3.2");
}

TEST_F(RequestGenerationTest, SignatureAlgorithmFollowsTheKeyWhereTheProviderNameWouldNot) {
    // A provider of another name signs with the algorithm of its key, not MD5.
    platform::ScopedProviderRegistration other({"Security Code Cryptographic Service Provider", 81,
                                                platform::KeyFamily::Gost2012_256, 0x0100});
    builder_.PrepareToShow();
    form_.selectedProvider = static_cast<int>(form_.providers.size()) - 1;
    ASSERT_EQ(form_.SelectedProviderEntry(), "[81] Security Code Cryptographic Service Provider");
    EXPECT_EQ(Decode(Make().value()).signatureAlgorithm, "1.2.643.7.1.1.3.2");
    EXPECT_EQ(RequestSignatureAlgorithm("Другой", "1.2.840.113549.1.1.1"), "1.2.840.113549.2.5");
    EXPECT_EQ(RequestSignatureAlgorithm(platform::kCryptoPro2012Name, "1.2.643.2.2.19"),
              "1.2.643.2.2.3");
}

TEST_F(RequestGenerationTest, FailuresStopWithTheirMessagesAndSaveWritesOnlyWhole) {
    // No provider: the error number as a plain message, then the system text.
    form_.selectedProvider = -1;
    EXPECT_FALSE(Make());
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::None);
    EXPECT_FALSE(dialogs_.messages[0].text.empty());
    EXPECT_EQ(dialogs_.messages[1].caption, "Ошибка");

    // An empty policy grid that is included reads as one row without an OID.
    form_.selectedProvider = 0;
    form_.Check("CB_CERT_POLICIES") = true;
    SetGridHeader(form_.grids.SG_CertPolicy, {"OID", "Атрибут"}, false);
    const std::filesystem::path out = keys_.Root() / "запрос.req";
    dialogs_.saveAnswers = {out};
    EXPECT_FALSE(builder_.req_saveClick());
    EXPECT_EQ(dialogs_.ErrorTexts().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(out));

    // Cancelling the save dialog writes nothing; confirming writes the DER.
    form_.Check("CB_CERT_POLICIES") = false;
    dialogs_.saveAnswers = {std::nullopt, out};
    EXPECT_FALSE(builder_.req_saveClick());
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_TRUE(builder_.req_saveClick());
    Decode(ReadFileBytes(out).value());
}

}  // namespace
}  // namespace velmora
