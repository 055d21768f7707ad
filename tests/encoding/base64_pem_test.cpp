#include "encoding/atomic_file.h"
#include "encoding/base64.h"
#include "encoding/error.h"
#include "encoding/pem.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

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
    DerFileToBase64(source, pem);
    const std::string line = TempFolder::Read(pem);
    ASSERT_TRUE(line.ends_with("\r\n"));
    EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2);  // one line, however long
    EXPECT_EQ(line.find("-----"), std::string::npos);

    const auto back = folder / "DER-cert.cer";
    PemFileToDer(pem, back);
    EXPECT_EQ(ReadFileBytes(back), der);

    // Armoured text with LF line ends converts the same way.
    const auto armoured = folder.Write(
        "a.pem", "-----BEGIN CERTIFICATE-----\n" + Base64Encode(der).substr(0, 64) + "\n" +
                     Base64Encode(der).substr(64) + "\n-----END CERTIFICATE-----\n");
    PemFileToDer(armoured, back);
    EXPECT_EQ(ReadFileBytes(back), der);
}

// The message of the error a conversion throws.
std::string ConversionError(void (*convert)(const std::filesystem::path&,
                                            const std::filesystem::path&),
                            const std::filesystem::path& source,
                            const std::filesystem::path& target) {
    try {
        convert(source, target);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
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
        EXPECT_EQ(ConversionError(PemFileToDer, source, target),
                  "Не удается декодировать файл \"" + source.string() +
                      "\". Файл не содержит данных base64.")
            << text;
        EXPECT_FALSE(std::filesystem::exists(target)) << text;
    }
    // An existing target stays as it was.
    folder.Write("DER-x.cer", "old");
    EXPECT_NE(ConversionError(PemFileToDer, folder / "x.pem", target), "no error");
    EXPECT_EQ(TempFolder::Read(target), "old");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"DER-x.cer", "x.pem"}));
}

// Each failure names its step (reading, decoding, writing), the file it
// failed on and the system's reason; nothing is left behind.
TEST(PemFiles, FailuresNameTheStepTheFileAndTheReason) {
    TempFolder folder;
    const auto good = folder.Write("good.pem", "QUJD");
    const auto missing = folder / "missing.cer";
    EXPECT_EQ(
        ConversionError(DerFileToBase64, missing, folder / "t"),
        "Не удается прочитать файл \"" + missing.string() + "\". Не удается найти указанный файл.");
    EXPECT_EQ(ConversionError(PemFileToDer, "/dev/zero", folder / "t"),
              "Не удается прочитать файл \"/dev/zero\". Это устройство, а не обычный файл.");
    const auto under_a_file = good / "t";
    EXPECT_EQ(ConversionError(PemFileToDer, good, under_a_file),
              "Не удается записать файл \"" + under_a_file.string() +
                  "\". Системе не удается найти указанный путь.");
    const auto long_name = folder / std::string(300, 'n');
    EXPECT_EQ(ConversionError(DerFileToBase64, good, long_name),
              "Не удается записать файл \"" + long_name.string() +
                  "\". Имя файла или его расширение имеет слишком большую длину.");

    // A disk that fills up while the target is written: a file size limit
    // makes the writes fail as a full disk would.
    const auto big = folder.Write("big.der", std::string(300000, 'x'));
    struct rlimit old_limit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old_limit;
    limit.rlim_cur = 100000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::string full = ConversionError(DerFileToBase64, big, folder / "PEM-big.der");
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(full, "Не удается записать файл \"" + (folder / "PEM-big.der").string() +
                        "\". Размер файла превышает допустимый предел, файл не может быть "
                        "сохранен.");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"big.der", "good.pem"}));
}

// The streamed conversion gives exactly what the whole-text rule gives
// (StripPemArmour, then Base64Decode), also where the armour or the END line
// straddles the blocks the file is read in.
TEST(PemFiles, StreamedDecodingFollowsTheWholeTextRule) {
    TempFolder folder;
    const std::string body = Base64Encode(Bytes(100000, 0xA5));  // longer than a block
    const std::string filler(65536 - 7, 'Q');
    const std::vector<std::string> texts = {
        "QUJD",
        "QQ==",
        "QQ",
        "QUJD=\nRA==",
        "-----BEGIN X-----\n" + body + "\n-----END X-----\ntrailing junk -- !",
        "QUJD\n-----BEGIN X-----\nRA==\n-----END X-----\n",
        "QUJD-----BEGIN X-----\nRA==\n-----END X-----\n",
        "-----BEGIN X-----\nQUJD\n---END X-----\n",
        "-----BEGIN X-----\nQUJD\n-----END",
        "-----BEGIN X-----\nQUJD\n-----EN",
        "-----BEGIN X-----\nQUJD-",
        "-----BEGIN X-----",
        "-----BEGIN X----",
        "-----BEGIN------QUJD",
        "------BEGIN X-----\nQUJD\n-----END X-----\n",
        "QUJD\n-----END X-----\n",
        "QUJD\n-----END X-----\n-----BEGIN Y-----\nRA==\n",
        filler + "-----BEGIN X-----\nQUJD\n-----END X-----",
        "-----BEGIN X-----\n" + filler + "\n-----END X-----",
        "-----BEGIN X-----\n" + std::string(65536 - 20, 'A') + "\n-----END X-----",
        body + "=",
        body + "===",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.size() < 80 ? text : "(" + std::to_string(text.size()) + " chars)");
        const auto source = folder.Write("x.pem", text);
        const auto target = folder / "x.der";
        std::filesystem::remove(target);
        const std::optional<Bytes> expected = Base64Decode(StripPemArmour(text));
        if (expected && !expected->empty()) {
            EXPECT_EQ(ConversionError(PemFileToDer, source, target), "no error");
            EXPECT_EQ(ReadFileBytes(target), expected);
        } else {
            EXPECT_NE(ConversionError(PemFileToDer, source, target), "no error");
            EXPECT_FALSE(std::filesystem::exists(target));
        }
    }
    // Encoding in blocks gives the one line the whole file gives.
    for (std::size_t size : {0u, 1u, 65535u, 65536u, 65537u, 200000u}) {
        Bytes bytes(size);
        for (std::size_t k = 0; k < size; ++k) {
            bytes[k] = static_cast<std::uint8_t>(k * 7 + k / 300);
        }
        const auto source = folder / "x.der";
        ASSERT_TRUE(WriteFileAtomic(source, bytes));
        DerFileToBase64(source, folder / "x.b64");
        EXPECT_EQ(TempFolder::Read(folder / "x.b64"), Base64Encode(bytes) + "\r\n") << size;
    }
}

}  // namespace
}  // namespace velmora
