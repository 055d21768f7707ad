#include "fixture_files.h"

#include "report/record/decode_record.h"
#include "report/record/file_armour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>

namespace velmora::testing {

std::filesystem::path FixtureFolder() {
    if (const char* folder = std::getenv("VELMORA_TEST_DATA")) {
        return folder;
    }
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "data";
}

bool IsRequestFixture(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    return extension == ".req" || extension == ".p10";
}

std::vector<std::filesystem::path> ReportFixtures() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(FixtureFolder())) {
        const std::filesystem::path& path = entry.path();
        const std::string extension = path.extension().string();
        const bool wanted = extension == ".cer" || extension == ".pem" || extension == ".der" ||
                            IsRequestFixture(path);
        // chain.pem holds two certificates: a bundle, not a certificate file.
        if (entry.is_regular_file() && wanted && path.stem() != "chain") {
            files.push_back(path);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

Bytes ReadFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

platform::CertContext LoadCertificateFixture(const std::filesystem::path& file) {
    const std::optional<Bytes> der = DerOfFileBytes(ReadFileBytes(file));
    return der ? platform::CreateCertificateContext(*der) : nullptr;
}

TRCstruct DecodeFixture(const std::filesystem::path& file) {
    TRCstruct record;
    if (IsRequestFixture(file)) {
        EXPECT_TRUE(DecodeRequest(record, ReadFileBytes(file))) << file;
    } else {
        const platform::CertContext certificate = LoadCertificateFixture(file);
        EXPECT_NE(certificate, nullptr) << file;
        EXPECT_TRUE(DecodeCertificate(record, certificate)) << file;
    }
    return record;
}

void UseMoscowTime() {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
}

}  // namespace velmora::testing
