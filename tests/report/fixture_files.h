// The certificate and request fixtures of tests/data, loaded the way the
// program loads a file of each kind.
#pragma once

#include "crypto/platform/cert_context.h"
#include "encoding/bytes.h"
#include "report/record/record.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {

// The fixture folder (VELMORA_TEST_DATA, else the source tree's tests/data).
std::filesystem::path FixtureFolder();

// Every certificate and request fixture (.cer .pem .der .req .p10; not the
// bundles), sorted by name.
std::vector<std::filesystem::path> ReportFixtures();

// True for a request file (.req, .p10).
bool IsRequestFixture(const std::filesystem::path& file);

Bytes ReadFileBytes(const std::filesystem::path& file);

// The certificate of a certificate file (DER, PEM or bare base64).
platform::CertContext LoadCertificateFixture(const std::filesystem::path& file);

// A fixture decoded into a fresh record: a request or a certificate by its
// extension. Fails the calling test when it does not decode.
TRCstruct DecodeFixture(const std::filesystem::path& file);

// Local times of the reports in the time zone the expected files were made in.
void UseMoscowTime();

}  // namespace velmora::testing
