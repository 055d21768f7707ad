// Arbitrary bytes as what the store boundary reads back from disk: a property
// file, a certificate bundle file, and both as the files of a store folder.
// A property that decodes must encode to the same bytes; every certificate
// a bundle or a store gives must be one that parses again; a stored
// certificate is listed only under its own thumbprint.
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/stores/cert_store.h"
#include "crypto/platform/stores/key_prov_file.h"
#include "crypto/platform/stores/store_folder.h"
#include "encoding/atomic_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace velmora;

// One store folder for the whole run, under a fresh temporary folder.
const std::filesystem::path& StoreRoot() {
    static const std::filesystem::path root = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-fuzz-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        ::setenv("XDG_DATA_HOME", pattern.c_str(), 1);
        return std::filesystem::path(pattern);
    }();
    return root;
}

void CheckCertificate(const platform::CertContext& certificate) {
    if (!certificate || !platform::CreateCertificateContext(certificate->Encoded())) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteView bytes(data, size);

    if (const auto key_prov = platform::DecodeKeyProvFile(bytes)) {
        const Bytes again = platform::EncodeKeyProvFile(*key_prov);
        if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.end())) {
            std::abort();
        }
    }

    if (const auto bundle = platform::ParseCertificateBundle(bytes)) {
        for (const auto& certificate : bundle->certificates) {
            CheckCertificate(certificate);
        }
    }

    // The same bytes as a certificate file under the thumbprint they would
    // have, with themselves as its property file.
    const std::filesystem::path& root = StoreRoot();
    auto store = platform::OpenSystemStore(platform::StoreLocation::CurrentUser, "MY");
    if (!store) {
        std::abort();
    }
    const std::filesystem::path folder = root / "velmora" / "stores" / "MY";
    const std::string stem = platform::HashFileStem(platform::HashCertificateSha1(bytes));
    if (!WriteFileAtomic(folder / (stem + ".cer"), bytes) ||
        !WriteFileAtomic(folder / (stem + ".key"), bytes)) {
        std::abort();
    }
    std::vector<platform::SkippedStoreEntry> skipped;
    for (const auto& certificate : platform::StoreCertificates(*store, &skipped)) {
        CheckCertificate(certificate);
        if (platform::HashFileStem(platform::HashCertificateSha1(certificate->Encoded())) != stem) {
            std::abort();
        }
    }
    std::filesystem::remove(folder / (stem + ".cer"));
    std::filesystem::remove(folder / (stem + ".key"));
    return 0;
}
