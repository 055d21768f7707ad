// velmora_signing_bench: the speed goals of signing and verification.
//
//   velmora_signing_bench --cli PATH [--files N] [--big-mb M] [--work DIR]
//
// 1. N small files (1,000 by default) signed and then verified in one pass in
//    this process, against one `openssl cms` process per file for each;
//    goal: at least 20 times faster.
// 2. A file of M megabytes (2,048 by default) signed detached by velmora-cli
//    in a child process, against hashing it alone (GOST R 34.11-2012 in this
//    process, read in the same pieces); goals: within 10 % of the hashing
//    time, and peak memory that does not grow with the file.
// The signer is signer-256 of tests/data, put into a container in a
// temporary data folder.
#include "bench_process.h"

#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/system/hash.h"
#include "crypto/signing/sign_file.h"
#include "crypto/signing/verify_signature.h"
#include "encoding/atomic_file.h"
#include "encoding/byte_source.h"
#include "report/view/dialogs.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace velmora::bench {
namespace {

namespace fs = std::filesystem;

const fs::path kData = VELMORA_BENCH_DATA;

class SilentDialogs : public Dialogs {
  public:
    MessageAnswer ShowMessage(const std::string& text, const std::string&, MessageIcon,
                              MessageButtons) override {
        std::cerr << text << '\n';
        return MessageAnswer::Ok;
    }
    std::optional<fs::path> ChooseOpenFile(int) override { return std::nullopt; }
    std::optional<fs::path> ChooseSaveFile(const fs::path&, const std::string&) override {
        return std::nullopt;
    }
};

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

platform::CertContext Signer() {
    const auto der = ReadFileBytes(kData / "signing" / "signer-256.cer");
    const auto key = ReadFileBytes(kData / "keys" / "signer-256.key");
    const auto certificate = der ? platform::CreateCertificateContext(*der) : nullptr;
    if (!certificate || !key ||
        !platform::ImportContainerKey("bench", platform::kCryptoPro2012Name,
                                      platform::kProvGost2012, *key, certificate, false)) {
        return nullptr;
    }
    return certificate->WithKeyProv(platform::KeyProvInfo{
        "bench", platform::kCryptoPro2012Name, platform::kProvGost2012, platform::kAtKeyExchange});
}

int SmallFiles(const fs::path& work, const platform::CertContext& signer, int count) {
    const fs::path folder = work / "small";
    fs::create_directories(folder);
    std::vector<fs::path> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder / ("file-" + std::to_string(i) + ".txt"));
        const std::string text = "Платёжное поручение № " + std::to_string(i) + "\n";
        WriteFileAtomic(files.back(), AsBytes(text));
    }
    SilentDialogs dialogs;
    std::vector<std::string> lines;
    SigningSession session;
    auto start = std::chrono::steady_clock::now();
    for (const fs::path& file : files) {
        fs::path signature = file;
        signature += ".sig";
        if (!SignFile(file, signature, signer, true, lines, dialogs, &session)) {
            return 1;
        }
    }
    const double our_sign = Since(start);
    start = std::chrono::steady_clock::now();
    for (const fs::path& file : files) {
        fs::path signature = file;
        signature += ".sig";
        if (!VerifySignatureFile(file, signature, true, lines, false)) {
            return 1;
        }
    }
    const double our_verify = Since(start);

    const std::string cert = (kData / "signing" / "signer-256.pem").string();
    const std::string key = (kData / "keys" / "signer-256.key").string();
    double ossl_sign = 0;
    double ossl_verify = 0;
    for (const fs::path& file : files) {
        const std::string out = file.string() + ".ossl";
        const Measure signing = RunMeasured({"openssl", "cms", "-sign", "-engine", "gost",
                                             "-binary", "-noattr", "-signer", cert, "-inkey", key,
                                             "-in", file.string(), "-outform", "DER", "-out", out});
        const Measure verifying = RunMeasured({"openssl", "cms", "-verify", "-engine", "gost",
                                               "-binary", "-noverify", "-inform", "DER", "-in", out,
                                               "-content", file.string(), "-out", "/dev/null"});
        if (!signing.ok || !verifying.ok) {
            std::cout << "openssl failed on " << file << "\n";
            return 1;
        }
        ossl_sign += signing.wallSeconds;
        ossl_verify += verifying.wallSeconds;
    }
    std::printf("%d files          %12s %12s\n", count, "sign, s", "verify, s");
    std::printf("velmora (one pass) %12.3f %12.3f\n", our_sign, our_verify);
    std::printf("openssl per file   %12.3f %12.3f\n", ossl_sign, ossl_verify);
    const double sign_ratio = ossl_sign / our_sign;
    const double verify_ratio = ossl_verify / our_verify;
    std::printf("faster by          %11.1fx %11.1fx   (goal: 20x)\n", sign_ratio, verify_ratio);
    return sign_ratio >= 20 && verify_ratio >= 20 ? 0 : 1;
}

int BigFile(const fs::path& work, const std::string& cli, long megabytes) {
    const fs::path file = work / "big.bin";
    {
        AtomicFileWriter writer;
        Bytes block(1 << 20);
        for (std::size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
        }
        if (!writer.Open(file)) {
            return 1;
        }
        for (long i = 0; i < megabytes; ++i) {
            block[0] = static_cast<std::uint8_t>(i);
            if (!writer.Write(block)) {
                return 1;
            }
        }
        if (!writer.Commit()) {
            return 1;
        }
    }
    // Hashing alone, as signing reads the file: the same pieces, the same hash.
    auto start = std::chrono::steady_clock::now();
    auto source = FileSource::Open(file);
    auto hash = platform::HashObject::Create(platform::HashAlgorithm::kStreebog256);
    if (!source || !hash ||
        !ForEachPiece(*source, [&](ByteView piece) { return hash->Update(piece); }) ||
        !hash->Finish()) {
        return 1;
    }
    const double hashing = Since(start);
    const Measure signing =
        RunMeasured({cli, "sign", "--detached", "--container", "bench", file.string()});
    if (!signing.ok) {
        std::cout << "velmora-cli sign failed\n";
        return 1;
    }
    const Measure verifying = RunMeasured({cli, "verify", "--detached", file.string() + ".sig"});
    std::printf("%ld MB file             %10s %12s\n", megabytes, "wall, s", "peak, MiB");
    std::printf("hash alone (in process) %10.2f %12s\n", hashing, "-");
    std::printf("velmora-cli sign        %10.2f %12.1f\n", signing.wallSeconds,
                static_cast<double>(signing.peakKiB) / 1024.0);
    std::printf("velmora-cli verify      %10.2f %12.1f   (%s)\n", verifying.wallSeconds,
                static_cast<double>(verifying.peakKiB) / 1024.0, verifying.ok ? "ok" : "failed");
    const double over = signing.wallSeconds / hashing - 1;
    std::printf("signing over hashing: %+.1f %% (goal: within 10 %%)\n", over * 100);
    fs::remove(file);
    return over <= 0.10 && signing.peakKiB < 64 * 1024 ? 0 : 1;
}

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
    using namespace velmora::bench;
    std::string cli;
    int files = 1000;
    long megabytes = 2048;
    fs::path work = fs::temp_directory_path();
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--cli") {
            cli = argv[i + 1];
        } else if (arg == "--files") {
            files = std::atoi(argv[i + 1]);
        } else if (arg == "--big-mb") {
            megabytes = std::atol(argv[i + 1]);
        } else if (arg == "--work") {
            work = argv[i + 1];
        }
    }
    if (cli.empty() || argc % 2 == 0) {
        std::cerr
            << "usage: velmora_signing_bench --cli PATH [--files N] [--big-mb M] [--work DIR]\n";
        return 2;
    }
    work /= "velmora-signing-bench-" + std::to_string(::getpid());
    fs::create_directories(work);
    // The signer's container lives in the benchmark's own data folder, which
    // the child processes see too.
    ::setenv("XDG_DATA_HOME", (work / "data").c_str(), 1);
    const velmora::platform::CertContext signer = Signer();
    int failures = 0;
    if (!signer) {
        std::cerr << "the signer's container could not be made\n";
        failures = 1;
    } else {
        std::cout << "== Small files: one pass vs openssl cms per file\n";
        failures += SmallFiles(work, signer, files);
        std::cout << "\n== Detached signing of a big file vs hashing it\n";
        failures += BigFile(work, cli, megabytes);
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return failures == 0 ? 0 : 1;
}
