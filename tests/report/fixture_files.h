// The certificate and request fixtures of tests/data, loaded the way the
// program loads a file of each kind. Shared by the report and interop tests.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "encoding/bytes.h"
#include "report/record/decode_record.h"
#include "report/record/file_armour.h"
#include "report/record/record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velmora::testing {

// The fixture folder (VELMORA_TEST_DATA, else the source tree's tests/data).
inline std::filesystem::path FixtureFolder() {
    if (const char* folder = std::getenv("VELMORA_TEST_DATA")) {
        return folder;
    }
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "data";
}

// The reviewed expected outputs, beside the fixtures' folder (not found
// through __FILE__, which a compiler cache may make relative).
inline std::filesystem::path GoldenFolder() {
    return FixtureFolder().parent_path() / "report" / "golden";
}

// True for a request file (.req, .p10).
inline bool IsRequestFixture(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    return extension == ".req" || extension == ".p10";
}

// Every certificate and request fixture (.cer .pem .der .req .p10; not the
// bundles), sorted by name.
inline std::vector<std::filesystem::path> ReportFixtures() {
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

inline Bytes ReadFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The certificate of a certificate file (DER, PEM or bare base64).
inline platform::CertContext LoadCertificateFixture(const std::filesystem::path& file) {
    const std::optional<Bytes> der = DerOfFileBytes(ReadFileBytes(file));
    return der ? platform::CreateCertificateContext(*der) : nullptr;
}

// A fixture decoded into a fresh record: a request or a certificate by its
// extension. Fails the calling test when it does not decode.
inline TRCstruct DecodeFixture(const std::filesystem::path& file) {
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

// Local times of the reports in the time zone the expected files were made in.
inline void UseMoscowTime() {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
}

}  // namespace velmora::testing
