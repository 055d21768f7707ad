// The provider and container operations on temporary key folders, with the
// message boxes answered and recorded by scripted dialogs.
#include "crypto/keys/container_operations.h"

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/keys/container_store.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/system/clock.h"
#include "encoding/atomic_file.h"
#include "report/names/attribute_label.h"
#include "report/text/value_text.h"
#include "support/key_folder.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using platform::kCryptoPro2001Name;
using platform::kCryptoPro2012Name;
using platform::kProvGost2012;
using platform::kSecurityCodeName;

Bytes Fixture(const std::string& name) {
    return ReadFileBytes(fs::path(std::getenv("VELMORA_TEST_DATA")) / name).value_or(Bytes{});
}

platform::CertContext FixtureCertificate(const std::string& name) {
    return platform::CreateCertificateContext(Fixture(name));
}

// A container of the 2012 provider with a key pair made here.
void NewContainer(const std::string& name) {
    platform::CryptProvider context;
    ASSERT_TRUE(platform::AcquireContext(context, name, kCryptoPro2012Name, kProvGost2012,
                                         platform::kCryptNewKeyset));
    ASSERT_TRUE(platform::GenKey(context, platform::kAtKeyExchange, platform::kCryptExportable));
}

// A container holding the ee-256 fixture key, with its certificate when asked.
void ImportedContainer(const std::string& name, bool exportable, bool with_certificate) {
    ASSERT_TRUE(platform::ImportContainerKey(
        name, kCryptoPro2012Name, kProvGost2012, Fixture("keys/ee-256.key"),
        with_certificate ? FixtureCertificate("ee-256.cer") : nullptr, exportable));
}

Bytes PublicKeyOf(const std::string& name) {
    platform::CryptProvider context;
    EXPECT_TRUE(platform::AcquireContext(context, name, kCryptoPro2012Name, kProvGost2012, 0));
    const auto info = platform::ExportPublicKeyInfo(context, platform::kAtKeyExchange);
    return info ? info->publicKey : Bytes{};
}

platform::ProviderDescription Provider(const std::string& name, std::uint32_t type,
                                       bool qualified) {
    platform::ProviderDescription provider;
    provider.name = name;
    provider.type = type;
    provider.family = platform::KeyFamily::Gost2012_256;
    provider.version = 0x0301;
    provider.qualifiedNames = qualified;
    return provider;
}

class ContainerOperationsTest : public ::testing::Test {
  protected:
    velmora::testing::ScopedKeyFolder folder_;
    velmora::testing::ScriptedDialogs dialogs_;
};

TEST_F(ContainerOperationsTest, ProvidersTheirAlgorithmsAndVersions) {
    EXPECT_EQ(ProviderList(dialogs_),
              (std::vector<std::string>{
                  "[75] Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider",
                  "[80] Crypto-Pro GOST R 34.10-2012 Cryptographic Service Provider"}));
    EXPECT_TRUE(IsCryptoProProvider(kCryptoPro2001Name));
    EXPECT_TRUE(IsCryptoProProvider(kCryptoPro2012Name));
    EXPECT_FALSE(
        IsCryptoProProvider("crypto-pro GOST R 34.10-2012 Cryptographic Service Provider"));
    EXPECT_FALSE(IsCryptoProProvider(kSecurityCodeName));

    EXPECT_EQ(SignatureAlgorithmOfProvider(kCryptoPro2001Name), "1.2.643.2.2.3");
    EXPECT_EQ(SignatureAlgorithmOfProvider(kCryptoPro2012Name), "1.2.643.7.1.1.3.2");
    EXPECT_EQ(SignatureAlgorithmOfProvider(kSecurityCodeName), "1.2.643.2.1.3.1.2.1");
    EXPECT_EQ(SignatureAlgorithmOfProvider("Microsoft Base Cryptographic Provider v1.0"),
              "1.2.840.113549.2.5");

    EXPECT_EQ(ProviderVersionText(kCryptoPro2001Name, 75, dialogs_),
              "\"КриптоПро CSP\" (версия 5.0)");
    EXPECT_EQ(ProviderVersionText(kCryptoPro2012Name, 80, dialogs_),
              "\"КриптоПро CSP\" (версия 5.0)");
    platform::ScopedProviderRegistration security_code(Provider(kSecurityCodeName, 24, false));
    EXPECT_EQ(ProviderVersionText(kSecurityCodeName, 24, dialogs_),
              "\"Security Code Cryptographic Service Provider\" (версия 3.1)");
    EXPECT_EQ(ProviderList(dialogs_).back(), "[24] Security Code Cryptographic Service Provider");
    // A provider that cannot be opened has no version text and no box.
    EXPECT_EQ(ProviderVersionText("No Such Provider", 75, dialogs_), "");
    EXPECT_EQ(ProviderVersionText(kCryptoPro2001Name, 80, dialogs_), "");
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(ContainerOperationsTest, TheCryptoProProvidersListQualifiedNamesAndCarriers) {
    std::vector<TContainerInfo> containers;
    EXPECT_FALSE(EnumerateContainers(kCryptoPro2012Name, 80, containers, dialogs_));
    EXPECT_TRUE(containers.empty());

    ImportedContainer("с сертификатом", true, true);
    NewContainer("без сертификата");
    std::vector<TReaderInfo> readers;
    EXPECT_TRUE(EnumerateReaders(kCryptoPro2012Name, 80, readers));
    EXPECT_EQ(readers, (std::vector<TReaderInfo>{{"HDIMAGE", "Жёсткий диск"}}));

    for (const auto& [provider, type] :
         {std::pair{kCryptoPro2012Name, 80u}, std::pair{kCryptoPro2001Name, 75u}}) {
        ASSERT_TRUE(EnumerateContainers(provider, type, containers, dialogs_));
        ASSERT_EQ(containers.size(), 2u);
        EXPECT_EQ(containers[0].fullyQualifiedName, "\\\\.\\HDIMAGE\\без сертификата");
        EXPECT_EQ(containers[0].containerName, "без сертификата");
        EXPECT_TRUE(containers[0].uniqueName.starts_with("без_сертификата."))
            << containers[0].uniqueName;
        EXPECT_TRUE(fs::is_directory(folder_.Keys() / containers[0].uniqueName));
        EXPECT_EQ(containers[0].carrier, "Жёсткий диск");
        EXPECT_FALSE(containers[0].hasCertificate);
        EXPECT_EQ(containers[1].containerName, "с сертификатом");
        EXPECT_TRUE(containers[1].hasCertificate);
    }

    // A reader the provider does not report: the carrier is the reader part
    // of the name.
    platform::ProviderDescription flash = Provider(kCryptoPro2012Name, 81, true);
    flash.readers = {{"FLASH", "Флеш-накопитель"}};
    platform::ScopedProviderRegistration registration(flash);
    ASSERT_TRUE(EnumerateContainers(kCryptoPro2012Name, 81, containers, dialogs_));
    EXPECT_EQ(containers[0].carrier, "HDIMAGE");
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(ContainerOperationsTest, OtherProvidersListPlainNamesAndSecurityCodeOneContainer) {
    ImportedContainer("первый", true, true);
    NewContainer("второй");
    platform::ScopedProviderRegistration plain(Provider("Other CSP", 24, false));
    platform::ScopedProviderRegistration security_code(Provider(kSecurityCodeName, 25, false));
    std::vector<TContainerInfo> containers;
    ASSERT_TRUE(EnumerateContainers("Other CSP", 24, containers, dialogs_));
    // Plain names in both name fields, no carrier, and no certificate check.
    EXPECT_EQ(containers, (std::vector<TContainerInfo>{{"", "второй", "второй", "", false},
                                                       {"", "первый", "первый", "", false}}));
    ASSERT_TRUE(EnumerateContainers(kSecurityCodeName, 25, containers, dialogs_));
    EXPECT_EQ(containers, (std::vector<TContainerInfo>{{"", "второй", "второй", "", false}}));
}

TEST_F(ContainerOperationsTest, KeyInformationWithThePrivateKeyValidity) {
    {
        // Made at 10:00 Moscow time on 1 January 2024: valid to 31 March 2025.
        platform::ScopedClockOverride clock(platform::ToFileTime(
            std::chrono::system_clock::from_time_t(1704092400)));  // 2024-01-01 07:00 UTC
        NewContainer("ключ");
    }
    TRCstruct record;
    const std::vector<std::string> lines =
        ContainerKeyInfo(kCryptoPro2012Name, 80, "ключ", record, dialogs_);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Распечатка значения открытого ключа:");
    EXPECT_EQ(lines[1], HexPairsText(PublicKeyOf("ключ")));
    EXPECT_EQ(lines[2], "алгоритм - " + RegisteredOidName("1.2.643.7.1.1.1.1"));
    EXPECT_EQ(lines[3], "расширение в контейнере:");
    EXPECT_EQ(lines[4],
              "Срок действия закрытого ключа(1.2.643.2.2.37.3.10) - \"01.01.2024 10:00:00\" - "
              "31.03.2025 10:00:00");
    EXPECT_EQ(record.Kind, "");
    EXPECT_TRUE(dialogs_.messages.empty());

    // The certificate fills the record. An imported key takes its validity
    // from the certificate's private key usage period (to 15 March 2025, 12:00 Moscow time, here).
    ImportedContainer("с сертификатом", false, true);
    const auto with_certificate =
        ContainerKeyInfo(kCryptoPro2012Name, 80, "с сертификатом", record, dialogs_);
    ASSERT_EQ(with_certificate.size(), 5u);
    EXPECT_EQ(with_certificate[4],
              "Срок действия закрытого ключа(1.2.643.2.2.37.3.10) - \"16.12.2023 12:00:00\" - "
              "15.03.2025 12:00:00");
    EXPECT_EQ(record.Kind, "CERT");
    EXPECT_FALSE(record.CommonName.empty());

    // A container that does not open: its box, and the box of the key read
    // from a context that is not open.
    TRCstruct untouched;
    EXPECT_TRUE(
        ContainerKeyInfo(kCryptoPro2012Name, 80, "нет такого", untouched, dialogs_).empty());
    EXPECT_EQ(dialogs_.ErrorTexts(),
              (std::vector<std::string>{"Ошибка № - Набор ключей не существует.",
                                        "Ошибка № - Параметр задан неверно."}));
}

TEST_F(ContainerOperationsTest, CertificateOfAContainerAndDeletion) {
    ImportedContainer("ключ", true, false);
    EXPECT_FALSE(CertificateInContainer(kCryptoPro2012Name, 80, "ключ", dialogs_));
    EXPECT_FALSE(CertificateFromContainer(kCryptoPro2012Name, 80, "ключ", dialogs_));
    EXPECT_TRUE(dialogs_.messages.empty());

    // Another key's certificate is refused with the box.
    EXPECT_FALSE(SetContainerCertificate(kCryptoPro2012Name, 80, "ключ",
                                         FixtureCertificate("ee-2001.cer"), dialogs_));
    EXPECT_EQ(dialogs_.ErrorTexts(),
              std::vector<std::string>{"Ошибка № - Неправильный открытый ключ поставщика."});

    const platform::CertContext certificate = FixtureCertificate("ee-256.cer");
    EXPECT_TRUE(SetContainerCertificate(kCryptoPro2012Name, 80, "ключ", certificate, dialogs_));
    EXPECT_TRUE(CertificateInContainer(kCryptoPro2012Name, 80, "ключ", dialogs_));
    EXPECT_EQ(CertificateFromContainer(kCryptoPro2012Name, 80, "ключ", dialogs_)->Encoded(),
              certificate->Encoded());

    // A certificate file cut short is reported with the box, and left as it is.
    const fs::path file = platform::FindStoredContainer("ключ")->folder / "exchange.cer";
    const Bytes cut(certificate->Encoded().begin(), certificate->Encoded().end() - 10);
    ASSERT_TRUE(WriteFileAtomic(file, cut));
    dialogs_.messages.clear();
    EXPECT_FALSE(CertificateInContainer(kCryptoPro2012Name, 80, "ключ", dialogs_));
    EXPECT_EQ(dialogs_.ErrorTexts(),
              std::vector<std::string>{"Ошибка № - Повреждены данные ASN1."});
    EXPECT_EQ(ReadFileBytes(file), cut);

    EXPECT_TRUE(DeleteContainer(kCryptoPro2012Name, 80, "ключ"));
    EXPECT_FALSE(DeleteContainer(kCryptoPro2012Name, 80, "ключ"));
    dialogs_.messages.clear();
    EXPECT_FALSE(CertificateInContainer(kCryptoPro2012Name, 80, "ключ", dialogs_));
    EXPECT_FALSE(SetContainerCertificate(kCryptoPro2012Name, 80, "ключ", certificate, dialogs_));
    EXPECT_EQ(dialogs_.ErrorTexts(),
              std::vector<std::string>(2, "Ошибка № - Набор ключей не существует."));
}

TEST_F(ContainerOperationsTest, CopiesTheKeyWithOrWithoutItsCertificate) {
    ImportedContainer("источник", true, true);
    const std::string cipher_oid("1.2.643.2.2.31.1", 17);
    {
        platform::CryptProvider source;
        ASSERT_TRUE(platform::AcquireContext(source, "источник", kCryptoPro2012Name, 80, 0));
        ASSERT_TRUE(platform::SetProvParam(source, platform::kPpCipherOid, AsBytes(cipher_oid)));
    }
    std::vector<std::string> messages;
    EXPECT_TRUE(CopyContainerKey(kCryptoPro2012Name, 80, "источник", "копия", true, messages));
    EXPECT_EQ(messages, std::vector<std::string>{"Ключ скопирован"});
    EXPECT_EQ(PublicKeyOf("копия"), PublicKeyOf("источник"));
    EXPECT_TRUE(CertificateInContainer(kCryptoPro2012Name, 80, "копия", dialogs_));

    messages.clear();
    EXPECT_TRUE(CopyContainerKey(kCryptoPro2012Name, 80, "источник", "копия без сертификата", false,
                                 messages));
    EXPECT_EQ(messages, std::vector<std::string>{"Ключ скопирован"});
    EXPECT_FALSE(CertificateInContainer(kCryptoPro2012Name, 80, "копия без сертификата", dialogs_));
    EXPECT_EQ(PublicKeyOf("копия без сертификата"), PublicKeyOf("источник"));

    // The copy keeps the source's provider parameters.
    platform::CryptProvider copy;
    ASSERT_TRUE(platform::AcquireContext(copy, "копия", kCryptoPro2012Name, 80, 0));
    EXPECT_EQ(platform::GetProvParam(copy, platform::kPpCipherOid),
              Bytes(cipher_oid.begin(), cipher_oid.end()));

    messages.clear();
    EXPECT_FALSE(CopyContainerKey(kCryptoPro2012Name, 80, "источник", "копия", true, messages));
    EXPECT_EQ(messages, std::vector<std::string>{"Ошибка  - Объект уже существует."});
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(ContainerOperationsTest, ANonExportableKeyFailsAtTheExportAndLeavesTheNewContainer) {
    ImportedContainer("закрытый", false, true);
    std::vector<std::string> messages;
    EXPECT_FALSE(
        CopyContainerKey(kCryptoPro2012Name, 80, "закрытый", "копия закрытого", true, messages));
    EXPECT_EQ(messages, std::vector<std::string>{
                            "Ошибка  - Ключ не может быть использован в указанном состоянии."});
    platform::CryptProvider left;
    ASSERT_TRUE(platform::AcquireContext(left, "копия закрытого", kCryptoPro2012Name, 80, 0));
    EXPECT_FALSE(platform::GetUserKey(left, platform::kAtKeyExchange));

    messages.clear();
    EXPECT_FALSE(CopyContainerKey(kCryptoPro2012Name, 80, "нет такого", "сирота", false, messages));
    EXPECT_EQ(messages, std::vector<std::string>{"Ошибка  - Набор ключей не существует."});
}

TEST_F(ContainerOperationsTest, APasswordProtectedSourceIsAskedForAndTheCopyForANewOne) {
    velmora::testing::ScriptedPasswordPrompt prompt;
    platform::ScopedPasswordPrompt installed(&prompt);
    prompt.answers = {"старый пароль"};
    NewContainer("защищённый");
    prompt.answers = {"старый пароль", "новый пароль"};
    std::vector<std::string> messages;
    EXPECT_TRUE(CopyContainerKey(kCryptoPro2012Name, 80, "защищённый", "копия", false, messages));
    ASSERT_EQ(prompt.requests.size(), 3u);
    EXPECT_EQ(prompt.requests[1].kind, platform::PasswordRequest::Kind::Unlock);
    EXPECT_EQ(prompt.requests[1].containerName, "защищённый");
    EXPECT_EQ(prompt.requests[2].kind, platform::PasswordRequest::Kind::NewPassword);
    EXPECT_EQ(prompt.requests[2].containerName, "копия");

    // The copy opens with its own password.
    prompt.answers = {"новый пароль"};
    platform::CryptProvider copy;
    ASSERT_TRUE(platform::AcquireContext(copy, "копия", kCryptoPro2012Name, 80, 0));
    EXPECT_TRUE(platform::SignAndEncode(copy, platform::kAtKeyExchange, Bytes{0x30, 0x00},
                                        platform::AlgorithmIdentifier{"1.2.643.7.1.1.3.2", {}}));
    EXPECT_EQ(prompt.requests.back().containerName, "копия");
}

}  // namespace
}  // namespace velmora
