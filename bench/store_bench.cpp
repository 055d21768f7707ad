// Listing a store of many certificates, against OpenSSL's own reading of
// the same files (read and d2i_X509 each), in this process.
#include "bench_sections.h"

#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/stores/cert_store.h"
#include "crypto/platform/stores/store_folder.h"
#include "encoding/atomic_file.h"

#include <openssl/x509.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::bench {
namespace {

constexpr int kCertificates = 10000;

// Where the last bytes of the serial number lie in a certificate's DER (one
// before the three that are changed).
std::size_t SerialOffset(const Bytes& der) {
    platform::DerElement certificate;
    platform::DerElement tbs;
    platform::DerElement element;
    if (!platform::ReadSingleDer(der, platform::der::kSequence, certificate)) {
        return 0;
    }
    platform::DerReader outer(certificate.content);
    if (!outer.Read(platform::der::kSequence, tbs)) {
        return 0;
    }
    platform::DerReader inner(tbs.content);
    inner.ReadOptional(platform::der::ContextConstructed(0), element);
    if (!inner.Read(platform::der::kInteger, element) || element.content.size() < 4) {
        return 0;
    }
    // The last three bytes: changing them keeps the INTEGER in its shortest form.
    return static_cast<std::size_t>(element.content.data() - der.data()) + element.content.size() -
           4;
}

// A store folder of distinct certificates: the fixture with its serial
// number changed (the signature no longer matches, which listing never
// checks), each written as the store writes it.
bool FillStore(const Bytes& fixture) {
    const std::size_t offset = SerialOffset(fixture);
    if (offset == 0) {
        return false;
    }
    auto store = platform::OpenSystemStore(platform::StoreLocation::CurrentUser, "MY");
    if (!store) {
        return false;
    }
    Bytes der = fixture;
    for (int i = 0; i < kCertificates; ++i) {
        der[offset + 1] = static_cast<std::uint8_t>(i >> 16);
        der[offset + 2] = static_cast<std::uint8_t>(i >> 8);
        der[offset + 3] = static_cast<std::uint8_t>(i);
        const platform::CertContext certificate = platform::CreateCertificateContext(der);
        if (!certificate || !platform::AddCertificateToStore(*store, certificate)) {
            return false;
        }
    }
    return true;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Our listing: every file read, parsed, checked against its name, its
// property file looked for.
double ListOurs(std::size_t& count) {
    const auto start = std::chrono::steady_clock::now();
    auto store = platform::OpenSystemStore(platform::StoreLocation::CurrentUser, "MY");
    count = store ? platform::StoreCertificates(*store).size() : 0;
    return Seconds(start);
}

// OpenSSL on the same files: the folder listed, each file read and given to
// d2i_X509.
double ListOpenssl(const std::filesystem::path& folder, std::size_t& count) {
    const auto start = std::chrono::steady_clock::now();
    count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".cer") {
            continue;
        }
        const std::optional<Bytes> der = ReadFileBytes(entry.path());
        if (!der) {
            continue;
        }
        const unsigned char* p = der->data();
        if (X509* x509 = d2i_X509(nullptr, &p, static_cast<long>(der->size()))) {
            ++count;
            X509_free(x509);
        }
    }
    return Seconds(start);
}

}  // namespace

int RunStoreBench(const Options& options) {
    const std::optional<Bytes> fixture = ReadFileBytes(options.certificates / "ee-256.cer");
    if (!fixture) {
        std::printf("no ee-256.cer in %s: skipped\n", options.certificates.c_str());
        return 0;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr) {
        return 1;
    }
    const std::filesystem::path home = pattern;
    ::setenv("XDG_DATA_HOME", home.c_str(), 1);
    const auto fill_start = std::chrono::steady_clock::now();
    const bool filled = FillStore(*fixture);
    const double fill = Seconds(fill_start);
    int status = 1;
    if (filled) {
        const std::filesystem::path folder = home / "velmora" / "stores" / "MY";
        std::printf("%d certificates written as the store writes them in %.2f s\n", kCertificates,
                    fill);
        double ours = 0;
        double openssl = 0;
        std::size_t ours_count = 0;
        std::size_t openssl_count = 0;
        // Alternating, best of the runs, after one warm-up of each.
        ListOurs(ours_count);
        ListOpenssl(folder, openssl_count);
        for (int run = 0; run < options.runs; ++run) {
            const double a = ListOurs(ours_count);
            const double b = ListOpenssl(folder, openssl_count);
            ours = run == 0 ? a : std::min(ours, a);
            openssl = run == 0 ? b : std::min(openssl, b);
        }
        std::printf("%-40s %8.3f s  (%zu certificates)\n", "velmora store listing", ours,
                    ours_count);
        std::printf("%-40s %8.3f s  (%zu certificates)\n", "read + d2i_X509 of each file", openssl,
                    openssl_count);
        std::printf("ratio velmora / openssl: %.2f\n", ours / openssl);
        status = ours_count == kCertificates && openssl_count == kCertificates ? 0 : 1;
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return status;
}

}  // namespace velmora::bench
