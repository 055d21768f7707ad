// The report agrees with the openssl command (with the GOST engine), an
// independent reading of the same fixtures: serial number, SHA-1 thumbprint,
// validity, subject values and the GOST R 34.11-94 stamp of the public key.

#include "report/fixture_files.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <sstream>

namespace velmora {
namespace {

// Runs a shell command and gives what it writes to standard output.
std::string RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return output;
    }
    std::array<char, 4096> buffer;
    std::size_t read;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        output.append(buffer.data(), read);
    }
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    return output;
}

std::string Quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// The value after "key=" on the line that starts with it.
std::string Field(const std::string& output, const std::string& key) {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(key + "=")) {
            return line.substr(key.size() + 1);
        }
    }
    ADD_FAILURE() << key << " missing in " << output;
    return {};
}

// The subject lines of -nameopt sep_multiline,utf8,oid: OID and value of the
// first attribute of each RDN, in encoded order.
std::vector<std::pair<std::string, std::string>> SubjectOf(const std::string& output) {
    std::vector<std::pair<std::string, std::string>> entries;
    std::istringstream lines(output);
    bool inSubject = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == "subject=") {
            inSubject = true;
        } else if (inSubject && line.starts_with("    ")) {
            line = line.substr(4, line.find(" + ") == std::string::npos ? std::string::npos
                                                                        : line.find(" + ") - 4);
            const std::size_t equals = line.find('=');
            entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        } else {
            inSubject = false;
        }
    }
    return entries;
}

// "2024-03-15 09:00:00Z" as the report writes it: local time, dd.mm.yyyy hh:mm:ss.
std::string LocalTimeText(const std::string& iso) {
    std::tm utc{};
    EXPECT_TRUE(strptime(iso.c_str(), "%Y-%m-%d %H:%M:%S", &utc) != nullptr) << iso;
    const std::time_t time = timegm(&utc);
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
    return text;
}

std::string Normalised(std::string hex) {
    std::string digits;
    for (char c : hex) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return digits;
}

class ReportInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::UseMoscowTime();
        char pattern[] = "/tmp/velmora-interop-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        work_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(work_); }

    // The fixture in a form openssl reads, with its -inform.
    std::pair<std::filesystem::path, std::string> OpensslInput(const std::filesystem::path& file) {
        const Bytes bytes = testing::ReadFileBytes(file);
        if (AsText(bytes).find("BEGIN") != std::string::npos && file.extension() != ".der") {
            return {file, "PEM"};
        }
        if (!bytes.empty() && bytes[0] == 0x30) {
            return {file, "DER"};
        }
        const std::filesystem::path der = work_ / (file.filename().string() + ".der");
        RunCommand("openssl base64 -d -in " + Quoted(file) + " -out " + Quoted(der));
        return {der, "DER"};
    }

    // The GOST R 34.11-94 hash that openssl gives of the public key bytes
    // (the content of the key's BIT STRING), upper-case hex.
    std::string OpensslKeyHash(const std::string& tool, const std::filesystem::path& input,
                               const std::string& form) {
        const std::filesystem::path pub = work_ / "pub.pem";
        const std::filesystem::path key = work_ / "key.der";
        RunCommand("openssl " + tool + " -engine gost -inform " + form + " -in " + Quoted(input) +
                   " -noout -pubkey -out " + Quoted(pub));
        const std::string parsed = RunCommand("openssl asn1parse -in " + Quoted(pub));
        const std::size_t bitString = parsed.rfind("BIT STRING");
        EXPECT_NE(bitString, std::string::npos) << parsed;
        const std::size_t lineStart = parsed.rfind('\n', bitString) + 1;
        const std::string offset = std::to_string(std::stoul(parsed.substr(lineStart)));
        RunCommand("openssl asn1parse -in " + Quoted(pub) + " -strparse " + offset +
                   " -noout -out " + Quoted(key));
        const std::string digest =
            RunCommand("openssl dgst -engine gost -md_gost94 -r " + Quoted(key));
        return Normalised(digest.substr(0, digest.find(' ')));
    }

    std::filesystem::path work_;
};

TEST_F(ReportInterop, RecordAgreesWithOpensslForEveryFixture) {
    const auto fixtures = testing::ReportFixtures();
    ASSERT_FALSE(fixtures.empty());
    for (const std::filesystem::path& fixture : fixtures) {
        SCOPED_TRACE(fixture.filename().string());
        const TRCstruct record = testing::DecodeFixture(fixture);
        const auto [input, form] = OpensslInput(fixture);
        const bool request = testing::IsRequestFixture(fixture);
        const std::string tool = request ? "req" : "x509";
        const std::string output = RunCommand(
            "openssl " + tool + " -engine gost -inform " + form + " -in " + Quoted(input) +
            " -noout -subject -nameopt sep_multiline,utf8,oid" +
            (request ? "" : " -serial -fingerprint -sha1 -startdate -enddate -dateopt iso_8601"));

        const auto subject = SubjectOf(output);
        ASSERT_EQ(subject.size(), record.Subject.Count());
        for (std::size_t i = 0; i < subject.size(); ++i) {
            EXPECT_EQ(record.Subject.Items[i].Oid, subject[i].first);
            EXPECT_EQ(record.Subject.Items[i].Value, subject[i].second);
        }
        EXPECT_EQ(Normalised(record.GostKeyHash), OpensslKeyHash(tool, input, form));
        if (request) {
            continue;
        }
        // The platform keeps the sign byte of a serial number whose top bit is set.
        const std::string serial = Field(output, "serial");
        EXPECT_TRUE(record.SerialNumber == serial ||
                    (record.SerialNumber == "00" + serial && serial[0] >= '8'))
            << record.SerialNumber << " / " << serial;
        EXPECT_EQ(Normalised(record.Thumbprint), Normalised(Field(output, "sha1 Fingerprint")));
        EXPECT_EQ(record.NotBefore, LocalTimeText(Field(output, "notBefore")));
        EXPECT_EQ(record.NotAfter, LocalTimeText(Field(output, "notAfter")));
    }
}

}  // namespace
}  // namespace velmora
