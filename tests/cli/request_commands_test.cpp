// request-load and request-make end to end: forms printed from requests,
// requests made from forms, and the round trips between them.
#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/certs/extension.h"
#include "crypto/platform/certs/request.h"
#include "crypto/platform/system/clock.h"
#include "encoding/atomic_file.h"
#include "report/record/decode_record.h"
#include "support/cli_run.h"
#include "support/key_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
    return (fs::path(std::getenv("VELMORA_TEST_DATA")) / name).string();
}

void WriteText(const fs::path& file, const std::string& text) {
    ASSERT_TRUE(WriteFileAtomic(file, Bytes(text.begin(), text.end())));
}

platform::RequestInfo ToBeSigned(const fs::path& file) {
    const auto content = platform::DecodeSignedContent(ReadFileBytes(file).value());
    return platform::DecodeRequestToBeSigned(content.value().toBeSigned).value();
}

Bytes ToBeSignedBytes(const fs::path& file) {
    return platform::DecodeSignedContent(ReadFileBytes(file).value()).value().toBeSigned;
}

// The line of the form with that name ("NAME=..."), or empty.
std::vector<std::string> FormLines(const std::string& form, const std::string& name) {
    std::vector<std::string> lines;
    std::istringstream in(form);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(name + "=")) {
            lines.push_back(line.substr(name.size() + 1));
        }
    }
    return lines;
}

class RequestCommandsTest : public ::testing::Test {
  protected:
    velmora::testing::ScopedKeyFolder keys_;
    // 5 December 2026 06:35:39 Moscow time.
    platform::ScopedClockOverride clock_{LocalToFileTime({2026, 12, 5, 6, 35, 39})};
};

constexpr const char* kForm = R"(# made by hand
e_INN=7701000000
e_OGRN=1027700000000
e_CN=Петров Пётр Петрович
e_SURNAME=Петров
e_GIVEN_NAME=Пётр Петрович
E_COUNTRY_NAME=RU
e_email=petrov@example.ru
e_SPZ=01234
TITLE_ASFK=Главный бухгалтер (1.2.643.3.61.1.1.6.502710.3.4.2.3)
avtoSet=1
addContName=1
ContName=Петров Пётр Петрович
CB_SUBJECT_ALT_NAME2=1
CB_KEY_USAGE=1
CB_KEY_ATTRIBUTES=1
CB_ENHANCED_KEY_USAGE=1
CB_CERT_POLICIES=1
CB_S_EP=1
e_SrEP="КриптоПро CSP" (версия 5.0)
SetCsp=[80] Crypto-Pro GOST R 34.10-2012 Cryptographic Service Provider
KeyUse=Цифровая подпись|Неотрекаемость|Только расшифровка
attr_Key_USE=Цифровая подпись
GridKEYUSAGE=1.3.6.1.5.5.7.3.2|Проверка подлинности клиента
SG_CertPolicy=1.2.643.100.113.1|Класс средства ЭП КС1
SG_ALTNAME=1.2.643.1.12345.1|Код ЛД|
)";

TEST_F(RequestCommandsTest, MadeFormLoadsBackAndMakesTheSameRequestAgain) {
    WriteText(keys_.Root() / "form.txt", kForm);
    const fs::path first = keys_.Root() / "first.req";
    CliResult made =
        Cli({"request-make", (keys_.Root() / "form.txt").string(), first.string(), "--apply"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.out.find("Контейнер: Петров Пётр Петрович 1205063539"), std::string::npos);

    const CliResult loaded = Cli({"request-load", first.string()});
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    const std::string& form = loaded.out;
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"e_INN", "7701000000"},
             {"e_OGRN", "1027700000000"},
             {"e_CN", "Петров Пётр Петрович"},
             {"E_COUNTRY_NAME", "RU"},
             {"e_email", "petrov@example.ru"},
             {"e_SPZ", "01234"},
             {"IDENTIFY_KEY", "1205063539"},
             {"ContName", "Петров Пётр Петрович"},
             {"CB_KEY_USAGE", "1"},
             {"CB_S_EP", "1"},
             {"e_SrEP", "\"КриптоПро CSP\" (версия 5.0)"},
             {"KeyUse", "Цифровая подпись|Неотрекаемость|Только расшифровка"},
             {"attr_Key_USE", "Цифровая подпись"},
             {"GridKEYUSAGE", "1.3.6.1.5.5.7.3.2|Проверка подлинности клиента"},
             {"SG_CertPolicy", "1.2.643.100.113.1|Класс средства ЭП КС1"}}) {
        EXPECT_EQ(FormLines(form, name), std::vector<std::string>{value}) << name;
    }
    // The alternative name: the hand row, the timer's, then the apply step's.
    const auto alt = FormLines(form, "SG_ALTNAME");
    ASSERT_EQ(alt.size(), 3u);
    EXPECT_TRUE(alt[0].starts_with("1.2.643.1.12345.1|Код ЛД|"));
    EXPECT_TRUE(alt[1].starts_with("2.5.4.12|1205063539|"));
    EXPECT_TRUE(alt[2].starts_with("1.2.643.3.61.502710.1.5|01234|"));
    const auto subject = FormLines(form, "SUB_RDN");
    ASSERT_EQ(subject.size(), 7u);
    EXPECT_TRUE(subject[0].starts_with(
        "1.2.372.980001.8.4.1|1.2.643.100.1=1027700000000;1.2.643.3.131.1.1=7701000000|"));

    // The loaded form, pointed at the same container and provider, makes the
    // same to-be-signed content, and that loads back alike.
    const fs::path second = keys_.Root() / "second.req";
    std::string again = form;
    const auto replace = [&again](const std::string& from, const std::string& to) {
        const std::size_t at = again.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        again.replace(at, from.size(), to);
    };
    replace("\nContName=Петров Пётр Петрович\n", "\nContName=Петров Пётр Петрович 1205063539\n");
    replace("\nSetCsp=[75] Crypto-Pro GOST R 34.10-2001",
            "\nSetCsp=[80] Crypto-Pro GOST R 34.10-2012");
    WriteText(keys_.Root() / "again.txt", again);
    made = Cli({"request-make", (keys_.Root() / "again.txt").string(), second.string()});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(ToBeSignedBytes(second), ToBeSignedBytes(first));
    EXPECT_EQ(Cli({"request-load", second.string()}).out, form);
}

TEST_F(RequestCommandsTest, AnotherProgramsRequestIsMadeAgainWithANewKey) {
    const CliResult loaded = Cli({"request-load", Fixture("req-full.req")});
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_EQ(FormLines(loaded.out, "CB_KEY_USAGE"), std::vector<std::string>{"1"});
    WriteText(keys_.Root() / "form.txt", loaded.out);
    const fs::path out = keys_.Root() / "again.req";
    const CliResult made =
        Cli({"request-make", (keys_.Root() / "form.txt").string(), out.string()});
    ASSERT_EQ(made.status, 0) << made.err;

    TRCstruct original;
    TRCstruct remade;
    ASSERT_TRUE(DecodeRequest(original, ReadFileBytes(Fixture("req-full.req")).value()));
    ASSERT_TRUE(DecodeRequest(remade, ReadFileBytes(out).value()));
    EXPECT_EQ(remade.SignatureCheck, "Подпись соответствует открытому ключу");
    EXPECT_EQ(remade.Subject, original.Subject);
    EXPECT_NE(remade.PublicKey.Value, original.PublicKey.Value);
    // The same extensions, in the same order and criticality, with the same
    // decoded content; the key attributes name the new key and period.
    const auto extensions = [](const fs::path& file) {
        const auto info = ToBeSigned(file);
        const auto with =
            std::find_if(info.attributes.begin(), info.attributes.end(),
                         [](const auto& a) { return a.oid == "1.2.840.113549.1.9.14"; });
        return platform::DecodeExtensions(with->values.at(0)).value();
    };
    const auto before = extensions(Fixture("req-full.req"));
    const auto after = extensions(out);
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t k = 0; k < before.size(); ++k) {
        EXPECT_EQ(before[k].oid, after[k].oid);
        EXPECT_EQ(before[k].critical, after[k].critical);
    }
    ASSERT_EQ(original.Extensions.Items.size(), remade.Extensions.Items.size());
    for (std::size_t k = 0; k < remade.Extensions.Items.size(); ++k) {
        TCERT_EXTENSION_STR a = original.Extensions.Items[k];
        TCERT_EXTENSION_STR b = remade.Extensions.Items[k];
        a.KeyAttributes = b.KeyAttributes = {};
        EXPECT_EQ(a.Purposes, b.Purposes);
        EXPECT_EQ(a.Policies, b.Policies);
        EXPECT_EQ(a.KeyUsage, b.KeyUsage);
        EXPECT_EQ(a.SubjectToolText, b.SubjectToolText);
        EXPECT_EQ(a.AltNames, b.AltNames);
    }
}

TEST_F(RequestCommandsTest, BadInputFailsWithAMessageAndWritesNothing) {
    const fs::path out = keys_.Root() / "x.req";
    WriteText(keys_.Root() / "bad.txt", "e_CN=a\nнечто\n");
    CliResult result = Cli({"request-make", (keys_.Root() / "bad.txt").string(), out.string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("строка 2: нет знака"), std::string::npos);
    // A value the encoder refuses: the message, no file.
    WriteText(keys_.Root() / "refused.txt",
              "ContName=отказ\nSUB_RDN=2.5.4.6|Россия|\nSetCsp=[80] Crypto-Pro GOST R 34.10-2012 "
              "Cryptographic Service Provider\n");
    result = Cli({"request-make", (keys_.Root() / "refused.txt").string(), out.string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(result.err.empty());
    EXPECT_FALSE(fs::exists(out));
    result = Cli({"request-load", Fixture("crl-full.crl")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Файл не поддерживается"), std::string::npos);
}

}  // namespace
}  // namespace velmora::cli
