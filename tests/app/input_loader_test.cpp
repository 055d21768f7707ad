#include "app/input/file_loader.h"

#include "encoding/error.h"
#include "gui/test_files.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::DataFile;
using testing::WriteAll;

class InputLoader : public testing::TempFolderTest {};

// The kind decides for .req, .cer, .crt and .der names; for every other name
// the content does, request first.
TEST_F(InputLoader, KindOfNameAndContentDecideTogether) {
    const struct {
        const char* fixture;
        const char* name;
        const char* kind;  // "" when nothing loads
    } cases[] = {
        {"ee-256.cer", "a.cer", "CERT"},
        {"ee-256.cer", "a.CRT", "CERT"},
        {"ee-256.cer", "a.der", "CERT"},
        {"ee-256-pem.cer", "pem-under.cer", "CERT"},
        {"ee-256-b64.cer", "bare.cer", "CERT"},
        {"ee-256.pem", "x.pem", "CERT"},
        {"ee-256-crlf.pem", "crlf.pem", "CERT"},
        {"ee-256-b64.cer", "bare.txt", "CERT"},
        {"ee-256.cer", "user.cer.bak", "CERT"},
        {"ee-begin.der", "begin.der", "CERT"},  // "BEGIN" inside DER bytes
        {"ee-256.cer", "cert.req", ""},         // a certificate named as a request
        {"req-full.req", "a.req", "REQ"},
        {"req-full-b64.req", "b.req", "REQ"},
        {"req-full.p10", "c.p10", "REQ"},
        {"req-full.req", "noext", "REQ"},
        {"req-full.req", "request.cer", ""},  // a request named as a certificate
        {"crl-full.crl", "list.crl", ""},
        {"chain.p7b", "chain.p7b", ""},
    };
    for (const auto& c : cases) {
        const auto file = Copy(c.fixture, c.name);
        TRCstruct record;
        const bool loaded = LoadDecodedFile(record, file);
        EXPECT_EQ(loaded, *c.kind != '\0') << c.fixture << " as " << c.name;
        EXPECT_EQ(record.Kind, c.kind) << c.fixture << " as " << c.name;
        if (!loaded) {
            // Nothing of a failed attempt stays behind.
            EXPECT_TRUE(record.Subject.Items.empty() && record.PublicKey == TPublicKeyInfo{} &&
                        record.CommonName.empty())
                << c.name;
        }
    }
}

TEST_F(InputLoader, BrokenAndMissingFilesDoNotLoad) {
    std::string pem = AsText(testing::ReadFileBytes(DataFile("ee-256.pem")));
    pem[pem.find('\n') + 10] = '!';  // a character outside base64
    WriteAll(folder_ / "broken.pem", pem);
    WriteAll(folder_ / "broken.cer", pem);
    WriteAll(folder_ / "empty.cer", "");
    WriteAll(folder_ / "text.txt", "no certificate here\n");
    Bytes cut = testing::ReadFileBytes(DataFile("ee-256.cer"));
    cut.resize(cut.size() - 1);
    WriteAll(folder_ / "cut.cer", AsText(cut));
    for (const char* name : {"broken.pem", "broken.cer", "empty.cer", "text.txt", "cut.cer"}) {
        TRCstruct record;
        EXPECT_FALSE(LoadDecodedFile(record, folder_ / name)) << name;
        EXPECT_FALSE(LoadCertificateFile(folder_ / name)) << name;
    }
    // A missing file is no certificate; shown, it is an error that says so.
    for (const char* name : {"missing.cer", "missing.req", "missing"}) {
        TRCstruct record;
        EXPECT_FALSE(LoadCertificateFile(folder_ / name)) << name;
        EXPECT_THROW(LoadDecodedFile(record, folder_ / name), Error) << name;
    }
    // A file that cannot be read is an error of its own.
    std::filesystem::create_directory(folder_ / "folder.cer");
    EXPECT_THROW(LoadCertificateFile(folder_ / "folder.cer"), Error);
}

TEST_F(InputLoader, CertificateOfEveryFormIsTheSameDer) {
    const Bytes der = testing::ReadFileBytes(DataFile("ee-256.cer"));
    for (const char* fixture :
         {"ee-256.cer", "ee-256.pem", "ee-256-b64.cer", "ee-256-pem.cer", "ee-256-crlf.pem"}) {
        const platform::CertContext certificate = LoadCertificateFile(DataFile(fixture));
        ASSERT_TRUE(certificate) << fixture;
        EXPECT_EQ(certificate->Encoded(), der) << fixture;
    }
}

}  // namespace
}  // namespace velmora
