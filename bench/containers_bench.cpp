#include "bench_process.h"
#include "bench_sections.h"

#include "crypto/keys/container_operations.h"
#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/password_prompt.h"
#include "crypto/platform/keys/providers.h"
#include "encoding/atomic_file.h"

#include <openssl/x509.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <vector>

namespace velmora::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kContainers = 1000;

class NoDialogs : public Dialogs {
  public:
    int errors = 0;
    MessageAnswer ShowMessage(const std::string&, const std::string&, MessageIcon,
                              MessageButtons) override {
        ++errors;
        return MessageAnswer::Ok;
    }
    std::optional<fs::path> ChooseOpenFile(int) override { return std::nullopt; }
    std::optional<fs::path> ChooseSaveFile(const fs::path&, const std::string&) override {
        return std::nullopt;
    }
};

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Answers every password request with the same password.
class FixedPassword : public platform::PasswordPrompt {
  public:
    std::optional<platform::Secret> AskPassword(const platform::PasswordRequest&) override {
        return platform::Secret("bench password");
    }
};

double ProcessorSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The time of opening a password-protected key: one signature with a key
// not yet unlocked (the signature itself takes about a millisecond).
double UnlockSeconds(const std::string& provider) {
    FixedPassword password;
    platform::ScopedPasswordPrompt installed(&password);
    platform::CryptProvider context;
    if (!platform::AcquireContext(context, "с паролем", provider, platform::kProvGost2012,
                                  platform::kCryptNewKeyset) ||
        !platform::GenKey(context, platform::kAtKeyExchange, 0)) {
        return -1;
    }
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        platform::CryptProvider fresh;
        platform::AcquireContext(fresh, "с паролем", provider, platform::kProvGost2012, 0);
        const double start = ProcessorSeconds();
        const Bytes empty = {0x30, 0x00};
        if (!platform::SignAndEncode(fresh, platform::kAtKeyExchange, empty,
                                     platform::AlgorithmIdentifier{"1.2.643.7.1.1.3.2", {}})) {
            return -1;
        }
        times.push_back(ProcessorSeconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The same reads with OpenSSL alone, in this process: every container
// folder's certificate and key file read from disk, the certificate parsed
// and its public key decoded.
bool OpensslReads(const fs::path& key_folder, std::size_t& parsed) {
    parsed = 0;
    for (const auto& entry : fs::directory_iterator(key_folder)) {
        const auto key = ReadFileBytes(entry.path() / "exchange.key");
        const auto der = ReadFileBytes(entry.path() / "exchange.cer");
        if (!key || !der) {
            return false;
        }
        const unsigned char* at = der->data();
        X509* certificate = d2i_X509(nullptr, &at, static_cast<long>(der->size()));
        EVP_PKEY* public_key = certificate != nullptr ? X509_get_pubkey(certificate) : nullptr;
        parsed += public_key != nullptr ? 1 : 0;
        EVP_PKEY_free(public_key);
        X509_free(certificate);
    }
    return parsed == kContainers;
}

}  // namespace

int RunContainerListingBench(const Options& options) {
    const auto key = ReadFileBytes(options.certificates / "keys" / "ee-256.key");
    const auto certificate_der = ReadFileBytes(options.certificates / "ee-256.cer");
    if (!key || !certificate_der) {
        std::cout << "no ee-256 key and certificate in " << options.certificates << ": skipped\n";
        return 0;
    }
    const platform::CertContext certificate = platform::CreateCertificateContext(*certificate_der);
    std::string pattern = (fs::temp_directory_path() / "velmora-bench-keys-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return 1;
    }
    const fs::path data = pattern;
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::string provider = platform::kCryptoPro2012Name;

    auto start = Clock::now();
    for (int i = 0; i < kContainers; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "контейнер %04d", i);
        if (!platform::ImportContainerKey(name, provider, platform::kProvGost2012, *key,
                                          certificate, false)) {
            std::cout << "container " << i << " not made\n";
            fs::remove_all(data);
            return 1;
        }
    }
    const double creation = Seconds(start);

    // Ours: the container list as the container manager fills it, every
    // container opened and its certificate read and parsed.
    std::vector<double> ours;
    std::vector<double> theirs;
    int failures = 0;
    for (int run = 0; run < options.runs; ++run) {
        NoDialogs dialogs;
        std::vector<TContainerInfo> containers;
        start = Clock::now();
        EnumerateContainers(provider, platform::kProvGost2012, containers, dialogs);
        ours.push_back(Seconds(start));
        const bool all = containers.size() == kContainers &&
                         std::all_of(containers.begin(), containers.end(),
                                     [](const TContainerInfo& c) { return c.hasCertificate; });
        failures += all && dialogs.errors == 0 ? 0 : 1;

        std::size_t parsed = 0;
        start = Clock::now();
        failures += OpensslReads(data / "velmora" / "keys", parsed) ? 0 : 1;
        theirs.push_back(Seconds(start));
    }

    // For reference: the openssl command parsing all the certificates in one process.
    const fs::path bundle = data / "all.pem";
    std::string pem;
    if (const auto text = ReadFileBytes(options.certificates / "ee-256.pem")) {
        for (int i = 0; i < kContainers; ++i) {
            pem.append(text->begin(), text->end());
        }
    }
    WriteFileAtomic(bundle, AsBytes(pem));
    const double unlock = UnlockSeconds(provider);
    const Measure command = RunMeasured(
        {"openssl", "crl2pkcs7", "-nocrl", "-certfile", bundle.string(), "-out", "/dev/null"});
    fs::remove_all(data);

    const double our_median = Median(ours);
    const double their_median = Median(theirs);
    std::printf("%d containers made (key and certificate each) in %.2f s\n", kContainers, creation);
    std::printf("velmora, container list with certificates: %8.1f ms (median of %d)\n",
                our_median * 1000, options.runs);
    std::printf("OpenSSL, same files read and parsed:       %8.1f ms (median of %d)\n",
                their_median * 1000, options.runs);
    std::printf("ratio: %.1f\n", our_median / their_median);
    std::printf("openssl crl2pkcs7 -certfile, %d certificates in one process: %.1f ms%s\n",
                kContainers, command.wallSeconds * 1000, command.ok ? "" : " (failed)");
    std::printf("one unlock of a password-protected key: %.0f ms of processor time\n",
                unlock * 1000);
    return failures == 0 && unlock > 0 ? 0 : 1;
}

}  // namespace velmora::bench
