// Chain validation over the test stores: the status lines, the decimal lines
// of combined statuses, revocation with and without the CRL in the issuer's
// store, and checks at a given time.
#include "crypto/chain/check_chain.h"
#include "support/signing_keys.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using platform::StoreLocation;
using testing::CertificateOfFile;
using testing::ScopedSigningFolders;
using testing::SigningData;
using testing::TestData;

// Local (Moscow) calendar times as file times.
FileTime At(int year, int month, int day) {
    return LocalToFileTime(DateTime{year, month, day, 12, 0, 0, 0});
}

std::vector<std::string> Check(const std::filesystem::path& file, std::optional<FileTime> time,
                               std::uint32_t* status = nullptr) {
    std::vector<std::string> lines;
    EXPECT_TRUE(CheckCertificateChain(CertificateOfFile(file), time, lines, status));
    return lines;
}

TEST(Chain, StatusLinesOfGoodRevokedAndExpiredCertificates) {
    ScopedSigningFolders folders;
    folders.InstallTestChain();
    const auto revoked = SigningData() / "signer-revoked.cer";
    const std::string key_match_preferred = "pChainContext.TrustStatus.dwInfoStatus = 258";

    EXPECT_EQ(Check(SigningData() / "signer-256.cer", At(2025, 3, 1)),
              (std::vector<std::string>{"No error found for this certificate or chain",
                                        key_match_preferred}));
    // Before its revocation date the revoked certificate was good, though the
    // CRL that revokes it was issued later.
    EXPECT_EQ(Check(revoked, At(2025, 5, 31)),
              (std::vector<std::string>{"No error found for this certificate or chain",
                                        key_match_preferred}));

    std::uint32_t status = 0;
    const auto lines = Check(revoked, At(2025, 7, 15), &status);
    EXPECT_EQ(status, 0x4u);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines.front(), "Сертификат отозван");
    EXPECT_TRUE(lines[1].starts_with("  Страна(2.5.4.6) = RU"));  // the issuer's name lines
    const std::vector<std::string> tail(lines.end() - 4, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "дата отзыва - 01.06.2025 13:00:00",
                        "код отзыва - Компрометация ключа электронной подписи (1)",
                        "дата недействительности - 30.05.2025 03:00:00", key_match_preferred}));

    // Expired and revoked: the decimal line and no revocation lines.
    EXPECT_EQ(Check(revoked, At(2027, 1, 1), &status),
              (std::vector<std::string>{"pChainContext.TrustStatus.dwErrorStatus = 5",
                                        key_match_preferred}));
    EXPECT_EQ(status, 0x5u);
}

TEST(Chain, RevokedWithoutTheCrlInTheIssuersStore) {
    ScopedSigningFolders folders;
    folders.InstallTestChain(true);
    const auto lines = Check(SigningData() / "signer-revoked.cer", At(2025, 7, 15));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines.front(), "Сертификат отозван");
    EXPECT_EQ(lines[lines.size() - 3], "ошибка получения CRL");
    EXPECT_EQ(lines[lines.size() - 2], "Не удается найти объект или свойство.");
}

TEST(Chain, UntrustedIncompleteAndExactMatchChains) {
    ScopedSigningFolders folders;
    // The root among the intermediate CAs only: not trusted.
    folders.InstallCertificate(StoreLocation::CurrentUser, "CA", TestData() / "ca.cer");
    folders.InstallCertificate(StoreLocation::LocalMachine, "CA", TestData() / "intermediate.cer");
    folders.InstallCrl(StoreLocation::LocalMachine, "CA", SigningData() / "intermediate.crl");
    EXPECT_EQ(Check(SigningData() / "signer-256.cer", At(2025, 3, 1)).front(),
              "The certificate or certificate chain is based on an untrusted root");

    ScopedSigningFolders empty;
    EXPECT_EQ(Check(SigningData() / "signer-256.cer", At(2025, 3, 1)),
              (std::vector<std::string>{"pChainContext.TrustStatus.dwErrorStatus = 65600",
                                        "No information status reported."}));

    // ee-256 names its issuer by issuer and serial: an exact match (0x101).
    // Its issuer's CRL is not in the stores: the revocation status is unknown.
    ScopedSigningFolders trusted;
    trusted.InstallCertificate(StoreLocation::CurrentUser, "ROOT", TestData() / "ca.cer");
    trusted.InstallCertificate(StoreLocation::CurrentUser, "CA", TestData() / "intermediate.cer");
    EXPECT_EQ(Check(TestData() / "ee-256.cer", At(2025, 3, 1)),
              (std::vector<std::string>{
                  "The revocation status of the certificate or one of the certificates in the "
                  "certificate chain is unknown.",
                  "pChainContext.TrustStatus.dwInfoStatus = 257"}));
}

TEST(Chain, StatusTablesMatchWholeValuesOnly) {
    EXPECT_EQ(ChainErrorStatusLine(0x4), "Сертификат отозван");
    EXPECT_EQ(ChainErrorStatusLine(0x44), "pChainContext.TrustStatus.dwErrorStatus = 68");
    EXPECT_EQ(ChainInfoStatusLine(0x100), " The certificate or chain has a preferred issuer.");
    EXPECT_EQ(ChainInfoStatusLine(0x101), "pChainContext.TrustStatus.dwInfoStatus = 257");
}

}  // namespace
}  // namespace velmora
