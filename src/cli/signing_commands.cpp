// The signing commands: sign, cosign, verify and chain, for scripts and file
// managers. Each file gets one result line; the exit status tells scripts
// what went wrong without reading the text.
#include "app/input/file_loader.h"
#include "cli/cli_context.h"
#include "cli/console_dialogs.h"
#include "cli/password_source.h"
#include "crypto/chain/check_chain.h"
#include "crypto/keys/container_operations.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/messages/crypt_message.h"
#include "crypto/platform/stores/cert_store.h"
#include "crypto/platform/system/system_info.h"
#include "crypto/signing/sign_file.h"
#include "crypto/signing/verify_signature.h"
#include "encoding/atomic_file.h"
#include "encoding/error.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {
namespace {

// The outcomes besides success, failure (1) and a wrong command line (2).
constexpr int kExitUnreadable = 3;    // an input file cannot be read or is no signature/certificate
constexpr int kExitBadSignature = 4;  // a file not signed, or a signer that does not verify
constexpr int kExitUntrusted = 5;     // a chain that is not trusted, revoked or not valid

constexpr const char* kSigningFooter =
    "Коды завершения: 0 - все файлы подписаны, 1 - сертификат не найден или другая ошибка,\n"
    "2 - неверная командная строка, 3 - файл не прочитан или не является подписью,\n"
    "4 - хотя бы один файл не подписан.";
constexpr const char* kVerifyFooter =
    "Коды завершения: 0 - все подписи верны, 2 - неверная командная строка,\n"
    "3 - файл не прочитан или не является подписью, 4 - подпись не верна,\n"
    "5 - подписи верны, но цепочка сертификата подписанта на время подписания не доверена\n"
    "или сертификат был отозван (проверяется для подписей со временем подписания).";
constexpr const char* kChainFooter =
    "Коды завершения: 0 - цепочка построена без ошибок, 2 - неверная командная строка,\n"
    "3 - сертификат не прочитан, 5 - цепочка не доверена, сертификат отозван или недействителен,\n"
    "1 - цепочку не удалось построить.";

struct SignerOptions {
    std::string thumbprint;
    std::string container;
    std::uint32_t type = platform::kProvGost2012;
    std::string passIn;
    bool detached = false;
    std::vector<std::string> files;
};

int Failure(CliContext& ctx, int status, const std::string& text) {
    ctx.out.flush();
    ctx.err << "Ошибка: " << text << '\n';
    return status;
}

// The 20 bytes of a SHA-1 thumbprint written in hex, blanks and colons allowed.
std::optional<Bytes> ThumbprintBytes(const std::string& text) {
    std::string digits;
    for (const char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c)) != 0) {
            digits.push_back(c);
        } else if (c != ' ' && c != ':') {
            return std::nullopt;
        }
    }
    if (digits.size() != 40) {
        return std::nullopt;
    }
    Bytes bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// The signer's certificate: from the personal store by thumbprint, or from a
// container (bound to it for this command only).
platform::CertContext SignerCertificate(CliContext& ctx, const SignerOptions& options,
                                        Dialogs& dialogs) {
    if (!options.thumbprint.empty()) {
        const auto sha1 = ThumbprintBytes(options.thumbprint);
        if (!sha1) {
            Failure(ctx, kExitFailure, "отпечаток сертификата - 40 шестнадцатеричных цифр");
            return nullptr;
        }
        auto store = platform::OpenSystemStore(platform::StoreLocation::CurrentUser, "MY");
        platform::CertContext certificate =
            store ? platform::FindCertificateByThumbprint(*store, *sha1) : nullptr;
        if (!certificate) {
            Failure(ctx, kExitFailure,
                    "сертификат " + options.thumbprint + " не найден в хранилище \"Личные\" - " +
                        platform::LastErrorText());
        }
        return certificate;
    }
    const auto provider = platform::FindProvider("", options.type);
    const std::string provider_name = provider ? provider->name : std::string();
    platform::CertContext certificate =
        CertificateFromContainer(provider_name, options.type, options.container, dialogs);
    if (!certificate) {
        Failure(ctx, kExitFailure, "в контейнере " + options.container + " нет сертификата");
        return nullptr;
    }
    return certificate->WithKeyProv(platform::KeyProvInfo{options.container, provider_name,
                                                          options.type, platform::kAtKeyExchange});
}

// The last line of a file's lines: its result.
std::string ResultLine(const std::vector<std::string>& lines) {
    return lines.empty() ? std::string() : lines.back();
}

int SignFiles(CliContext& ctx, const SignerOptions& options, bool cosign) {
    std::optional<PasswordSource> source;
    std::string error;
    if (!options.passIn.empty() && !(source = PasswordSource::Parse(options.passIn, error))) {
        return Failure(ctx, kExitUsage, error);
    }
    CommandPasswordPrompt prompt(std::move(source), std::nullopt, ctx.in, ctx.err, ctx.terminal);
    platform::ScopedPasswordPrompt installed(&prompt);
    ConsoleDialogs dialogs(ctx.err);
    const platform::CertContext certificate = SignerCertificate(ctx, options, dialogs);
    if (!certificate) {
        return kExitFailure;
    }
    int status = kExitOk;
    SigningSession session;
    for (const std::string& file : options.files) {
        const std::string signature = file + ".sig";
        std::vector<std::string> lines;
        try {
            const bool done =
                cosign ? CoSignFile(file, signature, certificate, options.detached, lines)
                       : SignFile(file, signature, certificate, options.detached, lines, dialogs,
                                  &session);
            if (done) {
                ctx.out << file << ": " << ResultLine(lines) << '\n';
                continue;
            }
            const std::string reason = lines.empty() ? platform::LastErrorText() : lines.back();
            ctx.err << file << ": " << (cosign ? "подпись не добавлена" : "Файл не подписан")
                    << " - " << reason << '\n';
            status = std::max(status, kExitBadSignature);
        } catch (const Error& e) {
            ctx.err << file << ": " << e.what() << '\n';
            status = status == kExitOk ? kExitUnreadable : status;
        }
    }
    return status;
}

int Verify(CliContext& ctx, bool detached, const std::string& signature, std::string data) {
    const auto bytes = ReadFileBytes(signature);
    if (!bytes) {
        return Failure(ctx, kExitUnreadable, "не удалось прочитать файл " + signature);
    }
    if (detached && data.empty()) {
        // The data file beside its signature: the signature's name without ".sig".
        const std::filesystem::path path(signature);
        data = path.extension() == ".sig" ? (path.parent_path() / path.stem()).string() : signature;
    }
    const int signers = platform::GetMessageSignerCount(platform::kMsgEncoding, *bytes);
    const bool message = signers >= 0;
    std::vector<std::string> lines;
    bool verified = false;
    bool chains_trusted = true;
    try {
        verified = VerifySignatureFile(data, signature, detached, lines, true, &chains_trusted);
    } catch (const Error& e) {
        for (const std::string& line : lines) {
            ctx.out << line << '\n';
        }
        return Failure(ctx, kExitUnreadable, e.what());
    }
    for (const std::string& line : lines) {
        ctx.out << line << '\n';
    }
    if (verified && signers == 0) {
        // A message without signers (a certificate bundle) is no signature.
        return Failure(ctx, kExitUnreadable, "в файле нет подписей - " + signature);
    }
    if (verified && !chains_trusted) {
        return Failure(ctx, kExitUntrusted,
                       "подписи верны, но цепочка сертификата подписанта не доверена или "
                       "сертификат отозван - " +
                           signature);
    }
    if (verified) {
        return kExitOk;
    }
    return message ? kExitBadSignature : kExitUnreadable;
}

// "dd.mm.yyyy hh:mm:ss" in local time.
std::optional<FileTime> LocalTimeOfText(const std::string& text) {
    DateTime value;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%2d.%2d.%4d %2d:%2d:%2d%c", &value.day, &value.month,
                    &value.year, &value.hour, &value.minute, &value.second, &tail) != 6 ||
        !IsValidDateTime(value)) {
        return std::nullopt;
    }
    const FileTime time = LocalToFileTime(value);
    return time != 0 ? std::optional<FileTime>(time) : std::nullopt;
}

int Chain(CliContext& ctx, const std::string& file, const std::string& at) {
    std::optional<FileTime> time;
    if (!at.empty() && !(time = LocalTimeOfText(at))) {
        return Failure(ctx, kExitUsage, "время проверки задаётся как \"дд.мм.гггг чч:мм:сс\"");
    }
    const platform::CertContext certificate = LoadCertificateFile(file);
    if (!certificate) {
        return Failure(ctx, kExitUnreadable, "файл не является сертификатом - " + file);
    }
    std::vector<std::string> lines;
    std::uint32_t status = 0;
    const bool built = CheckCertificateChain(certificate, time, lines, &status);
    for (const std::string& line : lines) {
        ctx.out << line << '\n';
    }
    if (!built) {
        return kExitFailure;
    }
    return status == 0 ? kExitOk : kExitUntrusted;
}

void AddSignerOptions(CLI::App* command, SignerOptions& options) {
    command->add_flag("--detached", options.detached, "отсоединённая подпись");
    auto* cert = command
                     ->add_option("--cert", options.thumbprint,
                                  "отпечаток (SHA-1) сертификата из хранилища \"Личные\"")
                     ->type_name("ОТПЕЧАТОК");
    auto* container =
        command->add_option("--container", options.container, "контейнер ключа с сертификатом")
            ->type_name("ИМЯ");
    cert->excludes(container);
    command
        ->add_option("--provider", options.type,
                     "тип криптопровайдера контейнера: 75 или 80 (по умолчанию)")
        ->check(CLI::IsMember({platform::kProvGost2001, platform::kProvGost2012}))
        ->type_name("ТИП");
    command
        ->add_option("--passin", options.passIn,
                     "источник пароля контейнера: env:ПЕРЕМЕННАЯ, file:ФАЙЛ или stdin")
        ->type_name("ИСТОЧНИК");
    command->add_option("ФАЙЛ", options.files, "файлы; подпись - ФАЙЛ.sig рядом с каждым")
        ->required();
    command->footer(kSigningFooter);
}

}  // namespace

void AddSigningCommands(CLI::App& app, CliContext& ctx) {
    for (const bool cosign : {false, true}) {
        CLI::App* command = app.add_subcommand(
            cosign ? "cosign" : "sign",
            cosign ? "добавить подпись в ФАЙЛ.sig каждого файла"
                   : "подписать файлы: подпись в ФАЙЛ.sig рядом с каждым, по строке на файл");
        auto options = std::make_shared<SignerOptions>();
        AddSignerOptions(command, *options);
        command->callback([&ctx, options, cosign] {
            if (options->thumbprint.empty() && options->container.empty()) {
                ctx.status = Failure(ctx, kExitUsage, "укажите --cert или --container");
                return;
            }
            ctx.status = SignFiles(ctx, *options, cosign);
        });
    }

    CLI::App* verify = app.add_subcommand(
        "verify", "проверить все подписи файла с подписью, их сертификаты и цепочки");
    auto verify_args = std::make_shared<std::pair<std::string, std::string>>();
    auto verify_detached = std::make_shared<bool>(false);
    verify->add_flag("--detached", *verify_detached,
                     "отсоединённая подпись; ДАННЫЕ по умолчанию - ПОДПИСЬ без .sig");
    verify->add_option("ПОДПИСЬ", verify_args->first, "файл с подписью")->required();
    verify->add_option("ДАННЫЕ", verify_args->second,
                       "подписанные данные (отсоединённая подпись) или файл для извлечённого "
                       "содержимого (присоединённая)");
    verify->footer(kVerifyFooter);
    verify->callback([&ctx, verify_args, verify_detached] {
        ctx.status = Verify(ctx, *verify_detached, verify_args->first, verify_args->second);
    });

    CLI::App* chain = app.add_subcommand(
        "chain", "проверить цепочку сертификата и его отзыв по хранилищам CA и ROOT");
    auto chain_args = std::make_shared<std::pair<std::string, std::string>>();
    chain->add_option("СЕРТИФИКАТ", chain_args->first, "файл сертификата (DER, PEM, base64)")
        ->required();
    chain->add_option("--at", chain_args->second, "время проверки (местное)")
        ->type_name("\"дд.мм.гггг чч:мм:сс\"");
    chain->footer(kChainFooter);
    chain->callback(
        [&ctx, chain_args] { ctx.status = Chain(ctx, chain_args->first, chain_args->second); });
}

}  // namespace velmora::cli
