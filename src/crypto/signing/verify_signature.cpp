#include "crypto/signing/verify_signature.h"

#include "crypto/chain/check_chain.h"
#include "crypto/platform/messages/crypt_message.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "crypto/signing/file_errors.h"
#include "crypto/signing/name_lines.h"
#include "encoding/atomic_file.h"

#include <cstdint>
#include <memory>

namespace velmora {
namespace {

bool WriteContent(const platform::CryptMessage& message, const std::filesystem::path& file,
                  std::vector<std::string>& lines) {
    AtomicFileWriter writer;
    if (!writer.Open(file)) {
        RaiseWriteError(file);
    }
    bool write_failed = false;
    const bool extracted = platform::MsgContent(message, [&](ByteView piece) {
        write_failed = !writer.Write(piece);
        return !write_failed;
    });
    if (write_failed) {
        RaiseWriteError(file);
    }
    if (!extracted) {
        lines.push_back("Ошибка  - " + platform::LastErrorText());
        return false;
    }
    if (!writer.Commit()) {
        RaiseWriteError(file);
    }
    return true;
}

}  // namespace

bool VerifySignatureFile(const std::filesystem::path& data_file,
                         const std::filesystem::path& signature_file, bool detached,
                         std::vector<std::string>& lines, bool full, bool* chains_trusted) {
    if (chains_trusted != nullptr) {
        *chains_trusted = true;
    }
    const auto encoded = ReadFileBytes(signature_file);
    if (!encoded) {
        RaiseReadError(signature_file);
    }
    lines.push_back("Проверка подписи - " + signature_file.string());
    const int count = platform::GetMessageSignerCount(platform::kMsgEncoding, *encoded);

    auto message = platform::MsgOpenToDecode(platform::kMsgEncoding, 0);
    if (!message) {
        lines.emplace_back("ошибка открытия соообщения");
        return false;
    }
    if (!platform::MsgUpdate(*message, *encoded)) {
        lines.push_back(platform::LastErrorText());
        return false;
    }
    lines.push_back("Подписей - " + std::to_string(count));

    // A detached message is checked against the data file, read in pieces
    // once per hash algorithm its signers use.
    std::optional<platform::CryptMessage> detached_message;
    std::unique_ptr<FileSource> content;
    if (detached) {
        content = OpenForReading(data_file);
        detached_message =
            platform::MsgOpenToDecode(platform::kMsgEncoding, platform::kCmsgDetachedFlag);
        if (!detached_message || !platform::MsgUpdate(*detached_message, *encoded) ||
            !platform::MsgUpdateContent(*detached_message, *content)) {
            lines.push_back("Ошибка - " + platform::LastErrorText());
            return false;
        }
    }
    platform::CryptMessage& checked = detached ? *detached_message : *message;
    for (int index = 0; index < count; ++index) {
        const auto signer = static_cast<std::uint32_t>(index);
        const platform::CertContext certificate = platform::MsgVerifySigner(checked, signer);
        if (!certificate) {
            lines.push_back((detached ? "Ошибка - " : "Ошибка  - ") + platform::LastErrorText());
            return false;
        }
        lines.push_back("Подпись [" + std::to_string(index + 1) + "] верна:");
        if (!full) {
            continue;
        }
        for (std::string& line : NameLines(certificate->Info().subject)) {
            lines.push_back(std::move(line));
        }
        if (const auto signing_time = SignerInfoLines(*message, lines, signer)) {
            std::uint32_t chain_errors = 0;
            const bool built =
                CheckCertificateChain(certificate, *signing_time, lines, &chain_errors);
            if (chains_trusted != nullptr && (!built || chain_errors != 0)) {
                *chains_trusted = false;
            }
        }
    }
    if (full && !detached && !data_file.empty()) {
        // The content is given out through a signer that verified: a message
        // without signers (a certificate bundle) gives none.
        if (count <= 0) {
            platform::SetLastError(platform::error::kNoSigner);
            lines.push_back("Ошибка  - " + platform::LastErrorText());
            return false;
        }
        return WriteContent(*message, data_file, lines);
    }
    return true;
}

}  // namespace velmora
