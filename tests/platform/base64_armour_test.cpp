#include "crypto/platform/asn1/base64_armour.h"

#include "crypto/platform/system/last_error.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::platform {
namespace {

struct DecodeCase {
    const char* what;
    std::string text;
    StringFormat format;
    std::optional<std::string> bytes;  // nullopt: the conversion fails
    StringFormat used = StringFormat::kBase64;
};

// Runs the size query and the conversion, and checks that they agree.
void Check(const DecodeCase& c) {
    SCOPED_TRACE(c.what);
    SetLastError(error::kSuccess);
    StringFormat size_used = StringFormat::kBase64Any;
    const std::optional<std::size_t> size = StringToBinarySize(c.text, c.format, &size_used);
    StringFormat used = StringFormat::kBase64Any;
    const std::optional<Bytes> bytes = StringToBinary(c.text, c.format, &used);
    if (!c.bytes) {
        EXPECT_FALSE(size);
        EXPECT_FALSE(bytes);
        EXPECT_EQ(GetLastError(), error::kInvalidData);
        return;
    }
    ASSERT_TRUE(size);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(AsText(*bytes), *c.bytes);
    EXPECT_EQ(*size, bytes->size());
    EXPECT_EQ(used, c.used);
    EXPECT_EQ(size_used, c.used);
}

TEST(Base64Armour, PlainAndArmouredBase64) {
    const StringFormat plain = StringFormat::kBase64;
    const StringFormat header = StringFormat::kBase64Header;
    const StringFormat used = StringFormat::kBase64Header;
    const DecodeCase cases[] = {
        {"one byte, no padding", "QQ", plain, "A"},
        {"two bytes, no padding", "QUI", plain, "AB"},
        {"whitespace anywhere", " Q U\r\nJ\tD\n\n", plain, "ABC"},
        {"lines of any length", "QUJD\r\nRA\r\n==\r\n", plain, "ABCD"},
        {"every alphabet character", "+/+/", plain, "\xfb\xff\xbf"},
        {"three pads", "QQ===", plain, std::nullopt},
        {"one character left over", "QUJDR", plain, std::nullopt},
        {"pad after a whole group", "QUJD=", plain, std::nullopt},
        {"one pad where two are due", "QQ=", plain, std::nullopt},
        {"data after the padding", "QQ==QUJD", plain, std::nullopt},
        {"URL-safe alphabet", "QU_D", plain, std::nullopt},
        {"a NUL byte", std::string("QUJD\0", 5), plain, std::nullopt},
        {"nothing", "", plain, std::nullopt},
        {"only padding", "==", plain, std::nullopt},
        {"armour is not plain base64", "-----BEGIN X-----\nQUJD\n-----END X-----\n", plain,
         std::nullopt},
        {"certificate armour",
         "-----BEGIN CERTIFICATE-----\r\nQUJD\r\n-----END CERTIFICATE-----\r\n", header, "ABC",
         used},
        {"label with a hyphen", "-----BEGIN X509-CRL-----\nQUI=\n-----END X509-CRL-----", header,
         "AB", used},
        {"text before BEGIN is ignored",
         "Subject: CN=x\nIssuer: <&>\n-----BEGIN CERTIFICATE-----\nQQ==\n-----END CERTIFICATE-----",
         header, "A", used},
        {"text after END is ignored",
         "-----BEGIN CERTIFICATE-----\nQQ==\n-----END CERTIFICATE-----\n\x01garbage!", header, "A",
         used},
        {"only the first block is read",
         "-----BEGIN A-----\nQQ==\n-----END A-----\n-----BEGIN B-----\nQUJD\n-----END B-----\n",
         header, "A", used},
        {"damaged base64 inside the armour",
         "-----BEGIN CERTIFICATE-----\nQU*D\n-----END CERTIFICATE-----\n", header, std::nullopt},
        {"empty body", "-----BEGIN CERTIFICATE-----\n-----END CERTIFICATE-----\n", header,
         std::nullopt},
        {"no END line", "-----BEGIN CERTIFICATE-----\nQUJD\n", header, std::nullopt},
        {"BEGIN line not closed", "-----BEGIN CERTIFICATE\nQUJD\n-----END CERTIFICATE-----\n",
         header, std::nullopt},
        {"END before BEGIN", "-----END X-----\n-----BEGIN X-----\nQUJD\n", header, std::nullopt},
        {"no armour at all", "QUJD", header, std::nullopt},
        {"nothing", "", header, std::nullopt},
    };
    for (const DecodeCase& c : cases) {
        Check(c);
    }
}

TEST(Base64Armour, LoaderFallbacksAndUnknownFormat) {
    // The loader picks the header format when a file contains "BEGIN" and
    // takes the file as DER when that conversion fails.
    std::string der = "\x30\x82\x01\x0a\x02\x01";
    der += "BEGIN";
    der += std::string("\x00\xff-----\x04\x05", 9);
    Check({"DER bytes that contain BEGIN", der, StringFormat::kBase64Header, std::nullopt});
    std::string der_with_marker = "\x30\x10-----BEGIN ";
    der_with_marker += std::string("\x00\x01-----\x30\x03-----END", 16);
    Check({"DER bytes with a whole marker pair", der_with_marker, StringFormat::kBase64Header,
           std::nullopt});
    // A base64 file without armour lines decodes with the plain format.
    Check({"bare base64 file", "QUJD\r\nRA==\r\n", StringFormat::kBase64, "ABCD"});
    // The "any" format reports which form it used.
    Check({"any: armoured", "-----BEGIN X-----\nQUJD\n-----END X-----\n", StringFormat::kBase64Any,
           "ABC", StringFormat::kBase64Header});
    Check({"any: bare", "QUJD", StringFormat::kBase64Any, "ABC", StringFormat::kBase64});
    Check({"any: damaged armour", "-----BEGIN X-----\nQU!D\n-----END X-----\n",
           StringFormat::kBase64Any, std::nullopt});
    SetLastError(error::kSuccess);
    EXPECT_FALSE(StringToBinary("QUJD", static_cast<StringFormat>(2)));
    EXPECT_EQ(GetLastError(), error::kInvalidParameter);
}

TEST(Base64Armour, EncodesInLinesOf64WithCrLf) {
    EXPECT_EQ(BinaryToString(AsBytes("ABC"), StringFormat::kBase64Header),
              "-----BEGIN CERTIFICATE-----\r\nQUJD\r\n-----END CERTIFICATE-----\r\n");
    EXPECT_EQ(BinaryToString(AsBytes("A"), StringFormat::kBase64), "QQ==\r\n");
    EXPECT_EQ(BinaryToString(AsBytes("AB"), StringFormat::kBase64, "X509 CRL"), "QUI=\r\n");
    EXPECT_EQ(BinaryToString({}, StringFormat::kBase64), "");
    EXPECT_EQ(BinaryToString({}, StringFormat::kBase64Header, "X509 CRL"),
              "-----BEGIN X509 CRL-----\r\n-----END X509 CRL-----\r\n");
    // 48 bytes fill exactly one line; 49 start a second.
    const std::string line48 = BinaryToString(Bytes(48, 0xff), StringFormat::kBase64);
    EXPECT_EQ(line48, std::string(64, '/') + "\r\n");
    const std::string line49 = BinaryToString(Bytes(49, 0xff), StringFormat::kBase64);
    EXPECT_EQ(line49, std::string(64, '/') + "\r\n/w==\r\n");
}

TEST(Base64Armour, RoundTripsEveryLength) {
    for (std::size_t n = 1; n <= 200; ++n) {
        Bytes data(n);
        for (std::size_t i = 0; i < n; ++i) {
            data[i] = static_cast<std::uint8_t>(i * 37 + n);
        }
        for (const StringFormat format : {StringFormat::kBase64, StringFormat::kBase64Header}) {
            const std::string text = BinaryToString(data, format, "PKCS7");
            std::size_t line_start = 0;
            for (std::size_t at = text.find("\r\n"); at != std::string::npos;
                 at = text.find("\r\n", line_start)) {
                EXPECT_LE(at - line_start, 64u);
                line_start = at + 2;
            }
            EXPECT_EQ(line_start, text.size()) << "the text ends with CR LF";
            EXPECT_EQ(StringToBinary(text, format), data) << n;
            EXPECT_EQ(StringToBinarySize(text, format), n);
        }
    }
}

TEST(Base64Armour, LargeAndHostileInput) {
    // Large input goes through in one pass without trouble.
    const Bytes big(3 << 20, 0x5a);
    const std::string text = BinaryToString(big, StringFormat::kBase64Header);
    EXPECT_EQ(StringToBinarySize(text, StringFormat::kBase64Header), big.size());
    EXPECT_EQ(StringToBinary(text, StringFormat::kBase64Header), big);
    // Many markers, none of them completing an armour.
    std::string markers;
    for (int i = 0; i < 200000; ++i) {
        markers += "-----BEGIN";
    }
    EXPECT_FALSE(StringToBinary(markers, StringFormat::kBase64Header));
    EXPECT_FALSE(StringToBinary(markers, StringFormat::kBase64Any));
    // Megabytes of whitespace and a bad character at the very end.
    std::string spaces(4 << 20, ' ');
    spaces += "QUJD";
    EXPECT_EQ(StringToBinarySize(spaces, StringFormat::kBase64), 3u);
    spaces += "!";
    EXPECT_FALSE(StringToBinarySize(spaces, StringFormat::kBase64));
}

}  // namespace
}  // namespace velmora::platform
