#include "encoding/atomic_file.h"
#include "encoding/base64.h"
#include "encoding/pem.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <random>

namespace velmora {
namespace {

using testing::TempFolder;

TEST(Base64, EncodesWithPaddingAndRoundTrips) {
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"A", "QQ=="},
        {"AB", "QUI="},
        {"ABC", "QUJD"},
        {std::string("\xFF\xFE\x00", 3), "//4A"},
        {std::string("\xFB\xEF", 2), "++8="},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Base64Encode(AsBytes(c.in)), c.out) << c.in;
        EXPECT_EQ(Base64Decode(c.out), Bytes(c.in.begin(), c.in.end())) << c.out;
    }
    const std::string long100 = Base64Encode(Bytes(100, 0xAB));
    EXPECT_EQ(long100.size(), 136u);
    EXPECT_EQ(long100.find_first_of("\r\n"), std::string::npos);

    std::mt19937 random(7);
    for (std::size_t size = 0; size < 70; ++size) {
        Bytes bytes(size);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        EXPECT_EQ(Base64Decode(Base64Encode(bytes)), bytes) << size;
    }
}

TEST(Base64, DecodesWithItsPaddingRules) {
    struct Case {
        std::string in;
        std::optional<std::string> out;  // nothing: the decoding fails
    };
    const std::vector<Case> cases = {
        {"QQ", "A"},  // no padding needed
        {"QQ=", "A"},
        {"QQ===", std::nullopt},
        {"=Q=Q=", std::nullopt},  // three "=" anywhere
        {"QUJD-", std::nullopt},  // outside the alphabet
        {"Q\r\nU\tJ\nD ", "ABC"},
        {"   \r\n", ""},
        {"Q", ""},   // 6 bits: no whole byte
        {"==", ""},  // more padding than digits
        // Every "=" counts wherever it stands: here it cuts two bits from the
        // end of 24, leaving two whole bytes.
        {"Q=UJD", "AB"},
        {"QQ==QUI=", std::nullopt},
        {"QUJDQUJD=", "ABCAB"},  // 48 bits less 2: the last byte is cut
        {std::string("QU\0JD", 5), std::nullopt},
        {"QUJD\xD0\x90", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = Base64Decode(c.in);
        if (c.out) {
            ASSERT_TRUE(got) << c.in;
            EXPECT_EQ(AsText(*got), *c.out) << c.in;
        } else {
            EXPECT_FALSE(got) << c.in;
        }
    }
}

TEST(Base64, SizeQueryThenFillIntoABoundedBuffer) {
    const std::string text = "QUJDREVG";  // "ABCDEF"
    std::size_t count = 12345;
    ASSERT_TRUE(Base64Decode(text, nullptr, count));
    EXPECT_EQ(count, 6u);

    std::array<std::uint8_t, 8> buffer;
    buffer.fill(0xEE);
    count = 8;
    ASSERT_TRUE(Base64Decode(text, buffer.data(), count));
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(AsText(ByteView(buffer.data(), 6)), "ABCDEF");
    EXPECT_EQ(buffer[6], 0xEE);

    // Too small a buffer: false, nothing written, count unchanged.
    buffer.fill(0xEE);
    count = 5;
    EXPECT_FALSE(Base64Decode(text, buffer.data(), count));
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(buffer[0], 0xEE);

    // A failing text writes nothing either and leaves count alone.
    count = 8;
    EXPECT_FALSE(Base64Decode("QUJD====", buffer.data(), count));
    EXPECT_FALSE(Base64Decode("QUJD!", nullptr, count));
    EXPECT_EQ(count, 8u);
    EXPECT_EQ(buffer[0], 0xEE);
}

TEST(PemArmour, StripsTheFirstBlockOnly) {
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"QUJD\r\n", "QUJD\r\n"},
        {"-----BEGIN CERTIFICATE-----\r\nQUJD\r\n-----END CERTIFICATE-----\r\n", "\nQUJD\r\n"},
        {"-----BEGIN X509 CRL-----\nQUJD\n-----END X509 CRL-----\n", "QUJD\n"},
        {"-----BEGIN NEW CERTIFICATE REQUEST-----\nQQ==\n-----END NEW CERTIFICATE "
         "REQUEST-----\n-----BEGIN CERTIFICATE-----\nQUI=\n-----END CERTIFICATE-----\n",
         "QQ==\n"},
        {"preamble\n-----BEGIN A-----\nQUJD\n-----END A-----", "preamble\nQUJD\n"},
        {"-----BEGIN CERTIFICATE", "-----BEGIN CERTIFICATE"},  // BEGIN line not closed
        {"-----BEGIN A-----", ""},
        {"QUJD\n-----END A-----\n", "QUJD\n-----END A-----\n"},  // no BEGIN: unchanged
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StripPemArmour(c.in), c.out) << c.in;
    }
}

TEST(PemFiles, DerToBase64AndBackGivesTheSameBytes) {
    TempFolder folder;
    Bytes der(5000);
    for (std::size_t k = 0; k < der.size(); ++k) {
        der[k] = static_cast<std::uint8_t>(k * 31 + 7);
    }
    const auto source = folder / "cert.cer";
    ASSERT_TRUE(WriteBufferToFile(der, source));
    EXPECT_EQ(ReadFileBytes(source), der);

    const auto pem = folder / "PEM-cert.cer";
    ASSERT_TRUE(DerFileToBase64(source, pem));
    const std::string line = TempFolder::Read(pem);
    ASSERT_TRUE(line.ends_with("\r\n"));
    EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2);  // one line, however long
    EXPECT_EQ(line.find("-----"), std::string::npos);

    const auto back = folder / "DER-cert.cer";
    ASSERT_TRUE(PemFileToDer(pem, back));
    EXPECT_EQ(ReadFileBytes(back), der);

    // Armoured text with LF line ends converts the same way.
    const auto armoured = folder.Write(
        "a.pem", "-----BEGIN CERTIFICATE-----\n" + Base64Encode(der).substr(0, 64) + "\n" +
                     Base64Encode(der).substr(64) + "\n-----END CERTIFICATE-----\n");
    ASSERT_TRUE(PemFileToDer(armoured, back));
    EXPECT_EQ(ReadFileBytes(back), der);
}

TEST(PemFiles, TextThatDoesNotDecodeFailsAndWritesNothing) {
    TempFolder folder;
    const auto target = folder / "DER-x.cer";
    const std::vector<std::string> bad = {
        "not base64: a text file.\n",
        "Certificate:\n-----BEGIN CERTIFICATE-----\nQUJD\n-----END CERTIFICATE-----\n",
        "-----BEGIN CERTIFICATE-----\nQUJD====\n-----END CERTIFICATE-----\n",
        "",  // decodes to no bytes
        "-----BEGIN CERTIFICATE-----\n-----END CERTIFICATE-----\n",
    };
    for (const auto& text : bad) {
        const auto source = folder.Write("x.pem", text);
        EXPECT_FALSE(PemFileToDer(source, target)) << text;
        EXPECT_FALSE(std::filesystem::exists(target)) << text;
    }
    // An existing target stays as it was.
    folder.Write("DER-x.cer", "old");
    EXPECT_FALSE(PemFileToDer(folder / "x.pem", target));
    EXPECT_EQ(TempFolder::Read(target), "old");
    // A missing source, and an unwritable target, fail too.
    EXPECT_FALSE(PemFileToDer(folder / "missing.pem", folder / "t1"));
    EXPECT_FALSE(DerFileToBase64(folder / "missing.cer", folder / "t2"));
    const auto good = folder.Write("good.pem", "QUJD");
    EXPECT_FALSE(PemFileToDer(good, target / "under-a-file"));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"DER-x.cer", "good.pem", "x.pem"}));
}

}  // namespace
}  // namespace velmora
