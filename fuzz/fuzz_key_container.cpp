// Arbitrary bytes as one file of a key container folder, read back through
// the boundary and the container operations. The first byte picks the file
// (the container file, the exchange key file, its certificate), the rest is
// its content; the file is put back (the certificate removed) after each
// input. Everything must either come back or fail cleanly: opening the
// container, its parameters and extensions, the container list, the key
// pair, its public key and private key (a protected one is refused without a
// password, so no input can make the run spend its time in PBKDF2), the
// certificate and the key information with its report record.
#include "crypto/keys/container_operations.h"
#include "crypto/platform/keys/container_store.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "encoding/atomic_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace velmora;

constexpr const char* kName = "fuzz";
constexpr const char* kFiles[] = {"container", "exchange.key", "exchange.cer"};

class QuietDialogs : public Dialogs {
  public:
    MessageAnswer ShowMessage(const std::string&, const std::string&, MessageIcon,
                              MessageButtons) override {
        return MessageAnswer::Ok;
    }
    std::optional<std::filesystem::path> ChooseOpenFile(int) override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseSaveFile(const std::filesystem::path&,
                                                        const std::string&) override {
        return std::nullopt;
    }
};

// One key folder for the whole run, with one container (a key pair, no
// certificate) whose files the inputs replace in turn. Each input is read
// back only through what reads its file, so that a run gets through many.
struct Folder {
    std::filesystem::path container;
    Bytes originals[2];

    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-fuzz-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        ::setenv("XDG_DATA_HOME", pattern.c_str(), 1);
        platform::CryptProvider context;
        if (!platform::AcquireContext(context, kName, platform::kCryptoPro2012Name,
                                      platform::kProvGost2012, platform::kCryptNewKeyset) ||
            !platform::GenKey(context, platform::kAtKeyExchange, platform::kCryptExportable)) {
            std::abort();
        }
        container = platform::FindStoredContainer(kName)->folder;
        for (int i = 0; i < 2; ++i) {
            originals[i] = ReadFileBytes(container / kFiles[i]).value_or(Bytes{});
        }
    }
};

void Write(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

const std::string kProvider = platform::kCryptoPro2012Name;

void ReadContainerFile() {
    platform::CryptProvider context;
    if (platform::AcquireContext(context, kName, kProvider, platform::kProvGost2012,
                                 platform::kCryptSilent)) {
        platform::GetProvParam(context, platform::kPpHashOid);
        platform::GetProvParam(context, platform::kPpCipherOid);
    }
    QuietDialogs dialogs;
    std::vector<TContainerInfo> containers;
    EnumerateContainers(kProvider, platform::kProvGost2012, containers, dialogs);
}

void ReadKeyFile() {
    platform::CryptProvider context;
    if (!platform::AcquireContext(context, kName, kProvider, platform::kProvGost2012,
                                  platform::kCryptSilent)) {
        return;
    }
    for (auto flags = platform::kCryptFirst;
         platform::GetProvParam(context, platform::kPpEnumContainerExtensions, flags);
         flags = platform::kCryptNext) {
    }
    if (auto key = platform::GetUserKey(context, platform::kAtKeyExchange)) {
        platform::GetKeyParam(*key, platform::kKpDhOid);
        platform::GetKeyParam(*key, platform::kKpAlgId);
        // The private key itself, when it is stored without a password.
        const Bytes empty_sequence = {0x30, 0x00};
        platform::SignAndEncode(context, platform::kAtKeyExchange, empty_sequence,
                                platform::AlgorithmIdentifier{"1.2.643.7.1.1.3.2", {}});
    }
    QuietDialogs dialogs;
    TRCstruct record;
    ContainerKeyInfo(kProvider, platform::kProvGost2012, kName, record, dialogs);
}

void ReadCertificateFile() {
    platform::CryptProvider context;
    if (platform::AcquireContext(context, kName, kProvider, platform::kProvGost2012,
                                 platform::kCryptSilent)) {
        if (auto key = platform::GetUserKey(context, platform::kAtKeyExchange)) {
            platform::GetKeyParam(*key, platform::kKpCertificate);
        }
    }
    QuietDialogs dialogs;
    TRCstruct record;
    ContainerKeyInfo(kProvider, platform::kProvGost2012, kName, record, dialogs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Folder folder;
    if (size == 0) {
        return 0;
    }
    const int which = data[0] % 3;
    const std::filesystem::path file = folder.container / kFiles[which];
    Write(file, data + 1, size - 1);
    switch (which) {
        case 0:
            ReadContainerFile();
            break;
        case 1:
            ReadKeyFile();
            break;
        default:
            ReadCertificateFile();
            std::filesystem::remove(file);
            return 0;
    }
    Write(file, folder.originals[which].data(), folder.originals[which].size());
    return 0;
}
