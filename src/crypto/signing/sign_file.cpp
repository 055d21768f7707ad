#include "crypto/signing/sign_file.h"

#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/messages/crypt_message.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "crypto/signing/file_errors.h"
#include "encoding/atomic_file.h"

namespace velmora {
namespace {

// The line of a failed co-signing step: the system's text and the code in
// decimal, with nothing between them.
std::string ErrorWithCode() {
    return platform::LastErrorText() + std::to_string(platform::GetLastError());
}

// The signer of the certificate: the session's when it holds this
// certificate's, else one made now (and kept in the session).
const platform::MessageSigner* SignerFor(const platform::CertContext& certificate,
                                         std::vector<std::string>& lines, Dialogs& dialogs,
                                         SigningSession& session) {
    if (session.signer && session.certificate == certificate) {
        lines.emplace_back("введён пароль от контейнера");
        return &*session.signer;
    }
    // The container's password is asked while the key is unlocked: the line
    // is written once that has succeeded, and a failed opening of the
    // container is reported as it is, not tried a second time.
    auto acquired = platform::AcquireCertificatePrivateKey(certificate);
    auto signer =
        acquired ? platform::MessageSigner::Create(certificate, &*acquired) : std::nullopt;
    if (!signer) {
        ShowErrorBox(dialogs, "Ошибка № - " + platform::LastErrorText());
        return nullptr;
    }
    lines.emplace_back("введён пароль от контейнера");
    session.certificate = certificate;
    session.signer = std::move(signer);
    return &*session.signer;
}

}  // namespace

bool SignFile(const std::filesystem::path& data_file, const std::filesystem::path& output_file,
              const platform::CertContext& certificate, bool detached,
              std::vector<std::string>& lines, Dialogs& dialogs, SigningSession* session) {
    if (!certificate) {
        ShowErrorBox(dialogs, "Сертификат %s не найден - " + platform::LastErrorText());
        return false;
    }
    const auto content = OpenForReading(data_file);
    SigningSession own;
    const platform::MessageSigner* signer =
        SignerFor(certificate, lines, dialogs, session != nullptr ? *session : own);
    if (signer == nullptr) {
        return false;
    }
    AtomicFileWriter writer;
    if (!writer.Open(output_file, std::nullopt, session != nullptr ? &session->sweeps : nullptr)) {
        RaiseWriteError(output_file);
    }
    bool write_failed = false;
    const bool signed_ok = platform::SignMessage(*signer, detached, *content, [&](ByteView piece) {
        write_failed = !writer.Write(piece);
        return !write_failed;
    });
    if (write_failed) {
        RaiseWriteError(output_file);
    }
    if (!signed_ok) {
        if (platform::GetLastError() == platform::error::kInvalidData) {
            RaiseReadError(data_file);
        }
        lines.emplace_back("Файл не подписан");
        return false;
    }
    if (!writer.Commit()) {
        RaiseWriteError(output_file);
    }
    lines.push_back("Файл подписан. Сохранён в " + output_file.string());
    return true;
}

bool CoSignFile(const std::filesystem::path& data_file, const std::filesystem::path& signature_file,
                const platform::CertContext& certificate, bool detached,
                std::vector<std::string>& lines) {
    if (!certificate) {
        return false;
    }
    auto acquired = platform::AcquireCertificatePrivateKey(certificate);
    if (!acquired) {
        return false;
    }
    auto message = platform::MsgOpenToDecode(platform::kMsgEncoding,
                                             detached ? platform::kCmsgDetachedFlag : 0);
    if (!message) {
        lines.emplace_back("ошибка открытия соообщения");
        return false;
    }
    const auto encoded = ReadFileBytes(signature_file);
    if (!encoded) {
        RaiseReadError(signature_file);
    }
    if (!platform::MsgUpdate(*message, *encoded)) {
        lines.push_back(platform::LastErrorText());
        return false;
    }
    std::unique_ptr<FileSource> content;
    if (detached) {
        content = OpenForReading(data_file);
        if (!platform::MsgUpdateContent(*message, *content)) {
            lines.push_back(platform::LastErrorText());
            return false;
        }
    }
    const auto signer = platform::MessageSigner::Create(certificate, &*acquired);
    if (!signer || !platform::MsgAddSigner(*message, *signer) ||
        !platform::MsgAddCert(*message, certificate)) {
        if (platform::GetLastError() == platform::error::kInvalidData) {
            RaiseReadError(data_file);
        }
        lines.push_back(ErrorWithCode());
        return false;
    }
    const auto rewritten = platform::MsgEncoded(*message);
    if (!rewritten) {
        lines.push_back(ErrorWithCode());
        return false;
    }
    if (!WriteFileAtomic(signature_file, *rewritten)) {
        RaiseWriteError(signature_file);
    }
    lines.push_back("подпись добавлена - " + signature_file.string());
    return true;
}

}  // namespace velmora
