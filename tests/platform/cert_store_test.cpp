#include "crypto/platform/stores/cert_store.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/stores/cert_selector.h"
#include "crypto/platform/stores/key_prov_file.h"
#include "crypto/platform/stores/store_folder.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/atomic_file.h"
#include "encoding/temp_folder.h"
#include "support/store_folders.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <set>

namespace velmora::platform {
namespace {

using testing::DataFile;

CertContext Fixture(const std::string& name) {
    const auto bytes = ReadFileBytes(DataFile(name));
    return bytes ? CreateCertificateContext(*bytes) : nullptr;
}

std::string Stem(const CertContext& certificate) {
    return HashFileStem(HashCertificateSha1(certificate->Encoded()));
}

KeyProvInfo Binding(const std::string& container) {
    return {container, "Crypto-Pro GOST R 34.10-2012 Cryptographic Service Provider", 80, 1};
}

unsigned Mode(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

class CertStoreTest : public testing::StoreFolderTest {};

TEST_F(CertStoreTest, AddListReplaceAndDeleteKeepFilesAndProperties) {
    const CertContext ee = Fixture("ee-256.cer");
    const CertContext ca = Fixture("intermediate.cer");
    ASSERT_TRUE(ee && ca);
    auto store = OpenSystemStore(StoreLocation::CurrentUser, "my");
    ASSERT_TRUE(store);
    EXPECT_TRUE(StoreCertificates(*store).empty());
    const auto folder = UserStore("MY");
    EXPECT_EQ(Mode(folder), 0700u);

    ASSERT_TRUE(AddCertificateToStore(*store, ee->WithKeyProv(Binding("Контейнер \\ 1"))));
    ASSERT_TRUE(AddCertificateToStore(*store, ca));
    EXPECT_EQ(Mode(folder / (Stem(ee) + ".cer")), 0600u);
    EXPECT_EQ(Mode(folder / (Stem(ee) + ".key")), 0600u);
    EXPECT_FALSE(std::filesystem::exists(folder / (Stem(ca) + ".key")));

    auto listed = StoreCertificates(*store);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_LT(Stem(listed[0]), Stem(listed[1]));  // ordered by thumbprint
    for (const auto& certificate : listed) {
        if (certificate->Encoded() == ee->Encoded()) {
            EXPECT_EQ(certificate->KeyProv(), Binding("Контейнер \\ 1"));
        } else {
            EXPECT_EQ(certificate->Encoded(), ca->Encoded());
            EXPECT_FALSE(certificate->KeyProv());
        }
    }

    // Adding the same certificate again replaces it, property and all.
    ASSERT_TRUE(AddCertificateToStore(*store, ee));
    CertContext found = FindCertificateByThumbprint(*store, HashCertificateSha1(ee->Encoded()));
    ASSERT_TRUE(found);
    EXPECT_FALSE(found->KeyProv());
    EXPECT_EQ(StoreCertificates(*store).size(), 2u);

    // Setting the property on a stored certificate writes it through.
    const CertContext bound = SetCertificateKeyProv(&*store, ee, Binding("second"));
    ASSERT_TRUE(bound);
    EXPECT_EQ(bound->KeyProv(), Binding("second"));
    EXPECT_FALSE(ee->KeyProv());  // contexts never change
    found = FindCertificateByThumbprint(*store, HashCertificateSha1(ee->Encoded()));
    EXPECT_EQ(found->KeyProv(), Binding("second"));

    ASSERT_TRUE(DeleteCertificateFromStore(*store, ee));
    EXPECT_FALSE(std::filesystem::exists(folder / (Stem(ee) + ".cer")));
    EXPECT_FALSE(std::filesystem::exists(folder / (Stem(ee) + ".key")));
    EXPECT_FALSE(DeleteCertificateFromStore(*store, ee));
    EXPECT_EQ(GetLastError(), error::kNotFound);
    EXPECT_FALSE(FindCertificateByThumbprint(*store, HashCertificateSha1(ee->Encoded())));
    EXPECT_EQ(GetLastError(), error::kNotFound);
    EXPECT_FALSE(SetCertificateKeyProv(&*store, ee, Binding("x")));
    EXPECT_EQ(StoreCertificates(*store).size(), 1u);

    // The machine's stores live apart; only the three names exist.
    auto root = OpenSystemStore(StoreLocation::LocalMachine, "ROOT");
    ASSERT_TRUE(root);
    ASSERT_TRUE(AddCertificateToStore(*root, Fixture("ca.cer")));
    EXPECT_TRUE(std::filesystem::exists(MachineStore("ROOT") / (Stem(Fixture("ca.cer")) + ".cer")));
    EXPECT_FALSE(OpenSystemStore(StoreLocation::CurrentUser, "ADDRESSBOOK"));
    EXPECT_EQ(GetLastError(), error::kInvalidParameter);
    EXPECT_FALSE(OpenSystemStore(StoreLocation::CurrentUser, "../MY"));
}

TEST_F(CertStoreTest, HostileEntriesAreSkippedReportedAndLeftAlone) {
    const CertContext ee = Fixture("ee-256.cer");
    const CertContext other = Fixture("ee-512.cer");
    auto store = OpenSystemStore(StoreLocation::CurrentUser, "CA");
    ASSERT_TRUE(store);
    ASSERT_TRUE(AddCertificateToStore(*store, ee->WithKeyProv(Binding("k"))));
    const auto folder = UserStore("CA");
    const std::string junk = std::string(40, 'A') + ".cer";
    const std::string truncated = Stem(other) + ".cer";
    const std::string misnamed = std::string(40, 'B') + ".cer";
    const std::string linked = std::string(40, 'C') + ".cer";
    const std::string fifo = std::string(40, 'D') + ".cer";
    testing::WriteAll(folder / junk, "not a certificate");
    const std::string other_der = testing::TempFolder::Read(DataFile("ee-512.cer"));
    testing::WriteAll(folder / truncated, other_der.substr(0, other_der.size() / 2));
    testing::WriteAll(folder / misnamed, other_der);
    testing::WriteAll(folder_ / "outside.cer", other_der);
    std::filesystem::create_symlink(folder_ / "outside.cer", folder / linked);
    ASSERT_EQ(::mkfifo((folder / fifo).c_str(), 0600), 0);
    testing::WriteAll(folder / (Stem(ee) + ".key"), "\x30\x03\x02\x01\x01");  // not a binding
    testing::WriteAll(folder / "notes.txt", "ignored: not a store name");

    std::vector<SkippedStoreEntry> skipped;
    const auto listed = StoreCertificates(*store, &skipped);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]->Encoded(), ee->Encoded());
    EXPECT_FALSE(listed[0]->KeyProv());  // the broken property is not trusted
    std::set<std::string> names;
    for (const auto& entry : skipped) {
        names.insert(entry.fileName);
        EXPECT_NE(entry.error, error::kSuccess) << entry.fileName;
        EXPECT_NE(ErrorMessageText(entry.error).find(' '), std::string::npos);
    }
    EXPECT_EQ(names,
              (std::set<std::string>{junk, truncated, misnamed, linked, fifo, Stem(ee) + ".key"}));
    // Nothing was repaired, removed or followed.
    EXPECT_EQ(testing::TempFolder::Read(folder / junk), "not a certificate");
    EXPECT_EQ(testing::TempFolder::Read(folder / misnamed), other_der);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / linked));
    EXPECT_EQ(testing::TempFolder::Read(folder_ / "outside.cer"), other_der);

    // A misnamed file is not found under the name it wears, nor deleted by it.
    EXPECT_FALSE(FindCertificateByThumbprint(*store, Bytes(20, 0xBB)));
    EXPECT_EQ(GetLastError(), error::kHashValue);
    // Adding the truncated certificate for real replaces the broken file.
    ASSERT_TRUE(AddCertificateToStore(*store, other));
    EXPECT_EQ(StoreCertificates(*store).size(), 2u);
}

TEST_F(CertStoreTest, LinkedStoreFoldersAreRefused) {
    std::filesystem::create_directories(folder_ / "elsewhere" / "MY");
    std::filesystem::create_directories(UserStore("MY").parent_path());
    std::filesystem::create_directory_symlink(folder_ / "elsewhere" / "MY", UserStore("MY"));
    EXPECT_FALSE(OpenSystemStore(StoreLocation::CurrentUser, "MY"));
    EXPECT_EQ(GetLastError(), error::kAccessDenied);

    // The folder of stores itself linked away.
    std::filesystem::create_directories(MachineStore("x").parent_path().parent_path());
    std::filesystem::create_directory_symlink(folder_ / "elsewhere",
                                              MachineStore("x").parent_path());
    EXPECT_FALSE(OpenSystemStore(StoreLocation::LocalMachine, "MY"));
    EXPECT_EQ(GetLastError(), error::kAccessDenied);
    EXPECT_TRUE(std::filesystem::is_empty(folder_ / "elsewhere" / "MY"));

    // A file where the store folder should be.
    testing::WriteAll(UserStore("CA"), "file");
    EXPECT_FALSE(OpenSystemStore(StoreLocation::CurrentUser, "CA"));

    // A store folder that others may write.
    ASSERT_TRUE(OpenSystemStore(StoreLocation::CurrentUser, "ROOT"));
    std::filesystem::permissions(UserStore("ROOT"), std::filesystem::perms::group_write,
                                 std::filesystem::perm_options::add);
    EXPECT_FALSE(OpenSystemStore(StoreLocation::CurrentUser, "ROOT"));
    EXPECT_EQ(GetLastError(), error::kAccessDenied);
}

TEST_F(CertStoreTest, FileStoresReadBundlesAndSingleCertificates) {
    std::set<Bytes> chain;
    for (const char* name :
         {"ca.cer", "intermediate.cer", "ee-256.cer", "ee-512.cer", "ee-2001.cer"}) {
        chain.insert(*ReadFileBytes(DataFile(name)));
    }
    const Bytes ca = *ReadFileBytes(DataFile("ca.cer"));
    for (const char* bundle : {"chain.p7b", "chain-pem.p7b"}) {
        auto store = OpenFileStore(DataFile(bundle));
        ASSERT_TRUE(store) << bundle;
        EXPECT_TRUE(store->ReadOnly());
        const auto listed = StoreCertificates(*store);
        std::set<Bytes> encoded;
        for (const CertContext& certificate : listed) {
            encoded.insert(certificate->Encoded());  // the bundle's bytes, exactly
        }
        EXPECT_EQ(listed.size(), chain.size()) << bundle;
        EXPECT_EQ(encoded, chain) << bundle;
        EXPECT_TRUE(FindCertificateByThumbprint(*store, HashCertificateSha1(ca)));
        EXPECT_FALSE(AddCertificateToStore(*store, listed[0]));
        EXPECT_EQ(GetLastError(), error::kAccessDenied);
        EXPECT_FALSE(DeleteCertificateFromStore(*store, listed[0]));
    }
    for (const char* single : {"ee-256.cer", "ee-256.pem", "ee-256-b64.cer", "chain.pem"}) {
        auto store = OpenFileStore(DataFile(single));
        ASSERT_TRUE(store) << single;
        EXPECT_FALSE(StoreCertificates(*store).empty()) << single;
    }

    EXPECT_FALSE(OpenFileStore(folder_ / "missing.p7b"));
    EXPECT_EQ(GetLastError(), error::kFileNotFound);
    EXPECT_FALSE(OpenFileStore(folder_));
    const std::string p7b = testing::TempFolder::Read(DataFile("chain.p7b"));
    const std::pair<const char*, std::string> broken[] = {
        {"empty", ""},
        {"text", "hello"},
        {"truncated", p7b.substr(0, p7b.size() - 10)},
        {"trailing", p7b + "x"},
        {"pem garbage", "-----BEGIN PKCS7-----\n!!!!\n-----END PKCS7-----\n"},
        {"crl", testing::TempFolder::Read(DataFile("crl-full.crl"))},
    };
    for (const auto& [what, content] : broken) {
        testing::WriteAll(folder_ / "bad.p7b", content);
        EXPECT_FALSE(OpenFileStore(folder_ / "bad.p7b")) << what;
        EXPECT_NE(GetLastError(), error::kSuccess) << what;
    }
}

TEST_F(CertStoreTest, CrlsAndPropertyFilesRoundTrip) {
    auto store = OpenSystemStore(StoreLocation::CurrentUser, "CA");
    const Bytes crl = *ReadFileBytes(DataFile("crl-full.crl"));
    ASSERT_TRUE(AddCrlToStore(*store, crl));
    EXPECT_FALSE(AddCrlToStore(*store, *ReadFileBytes(DataFile("ca.cer"))));
    EXPECT_EQ(StoreCrls(*store), std::vector<Bytes>{crl});

    const KeyProvInfo info = Binding("имя с \"кавычками\" и \\");
    EXPECT_EQ(DecodeKeyProvFile(EncodeKeyProvFile(info)), info);
    const KeyProvInfo high{"", "", 0xFFFFFFFF, 0x80};
    EXPECT_EQ(DecodeKeyProvFile(EncodeKeyProvFile(high)), high);
    Bytes encoded = EncodeKeyProvFile(info);
    encoded.push_back(0);
    EXPECT_FALSE(DecodeKeyProvFile(encoded));  // bytes after the record
    const std::string bad[] = {
        std::string("\x30\x0B\x0C\x00\x0C\x00\x02\x01\xFF\x02\x01\x00\x02\x01\x01", 13),  // < 0
        std::string("\x30\x0F\x0C\x00\x0C\x00\x02\x05\x01\x00\x00\x00\x00\x02\x01\x00\x02\x01"
                    "\x01",
                    17),  // > 32 bits
        std::string("\x30\x0B\x0C\x01\xFF\x0C\x00\x02\x01\x01\x02\x01\x00\x02\x01\x01",
                    13),                                     // UTF-8
        std::string("\x30\x06\x0C\x00\x0C\x00\x02\x00", 8),  // fields missing
        std::string("\x30\x0D\x0C\x00\x0C\x00\x02\x01\x50\x02\x01\x3D\x02\x01\x01", 15),  // flags
    };
    for (const std::string& bytes : bad) {
        EXPECT_FALSE(DecodeKeyProvFile(AsBytes(bytes)));
    }
}

TEST_F(CertStoreTest, SelectorIsAskedOnlyWhileInstalled) {
    auto store = OpenFileStore(DataFile("chain.p7b"));
    ASSERT_TRUE(store);
    EXPECT_FALSE(SelectCertificateFromStore(*store));
    EXPECT_EQ(GetLastError(), error::kCancelled);

    const Bytes ca = HashCertificateSha1(*ReadFileBytes(DataFile("ca.cer")));
    testing::ScriptedSelector outer;
    testing::ScriptedSelector inner;
    outer.answers = {ca};
    inner.answers = {std::nullopt};
    {
        ScopedCertificateSelector installed(&outer);
        {
            ScopedCertificateSelector nested(&inner);
            EXPECT_FALSE(SelectCertificateFromStore(*store));
            EXPECT_EQ(GetLastError(), error::kCancelled);
        }
        const CertContext chosen = SelectCertificateFromStore(*store);
        ASSERT_TRUE(chosen);
        EXPECT_EQ(HashCertificateSha1(chosen->Encoded()), ca);
    }
    EXPECT_EQ(CurrentCertificateSelector(), nullptr);
    EXPECT_EQ(outer.offered.size(), 1u);
    EXPECT_EQ(outer.offered[0].size(), 5u);
}

// A writer killed at any moment leaves every entry whole: the old one or the
// new one, never a certificate file that does not parse or a half property.
TEST_F(CertStoreTest, KilledWritersLeaveOldOrNewEntries) {
    const CertContext a = Fixture("ee-256.cer");
    const CertContext b = Fixture("ee-512.cer");
    const std::vector<std::optional<KeyProvInfo>> bindings = {std::nullopt, Binding("первый"),
                                                              Binding(std::string(3000, 'x'))};
    ASSERT_TRUE(OpenSystemStore(StoreLocation::CurrentUser, "MY"));
    for (int round = 0; round < 60; ++round) {
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(progress[0]);
            auto store = OpenSystemStore(StoreLocation::CurrentUser, "MY");
            for (unsigned step = 0;; ++step) {
                const CertContext& certificate = step % 2 == 0 ? a : b;
                const auto& binding = bindings[step % 3];
                if (step % 7 == 6) {
                    DeleteCertificateFromStore(*store, certificate);
                } else if (step % 5 == 4) {
                    SetCertificateKeyProv(&*store, certificate, binding);
                } else {
                    AddCertificateToStore(*store, certificate->WithKeyProv(binding));
                }
                if (::write(progress[1], "x", 1) != 1) {
                    ::_exit(1);
                }
            }
        }
        ::close(progress[1]);
        char byte;
        for (int i = 0; i <= round % 9; ++i) {
            ASSERT_EQ(::read(progress[0], &byte, 1), 1);
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(progress[0]);

        auto store = OpenSystemStore(StoreLocation::CurrentUser, "MY");
        std::vector<SkippedStoreEntry> skipped;
        for (const CertContext& certificate : StoreCertificates(*store, &skipped)) {
            EXPECT_TRUE(certificate->Encoded() == a->Encoded() ||
                        certificate->Encoded() == b->Encoded());
            EXPECT_NE(std::find(bindings.begin(), bindings.end(), certificate->KeyProv()),
                      bindings.end())
                << "round " << round;
        }
        EXPECT_TRUE(skipped.empty()) << "round " << round << ": " << skipped[0].fileName;
    }
}

}  // namespace
}  // namespace velmora::platform
