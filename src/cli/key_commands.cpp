// The key container commands: keygen, containers, container-info,
// container-copy, container-delete, container-bind, container-import.
#include "app/containers/container_report.h"
#include "app/input/file_loader.h"
#include "cli/cli_context.h"
#include "cli/console_dialogs.h"
#include "cli/password_source.h"
#include "crypto/keys/container_operations.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/system/system_info.h"
#include "encoding/atomic_file.h"

#include <memory>
#include <string>

namespace velmora::cli {
namespace {

constexpr const char* kProviderHelp =
    "тип криптопровайдера: 75 (ГОСТ Р 34.10-2001) или 80 (ГОСТ Р 34.10-2012, по умолчанию)";
constexpr const char* kNewPassHelp =
    "источник пароля нового контейнера: env:ПЕРЕМЕННАЯ, file:ФАЙЛ или stdin";
constexpr const char* kOpenPassHelp =
    "источник пароля, которым открывается ключ: env:ПЕРЕМЕННАЯ, file:ФАЙЛ или stdin";

// What the key commands take besides their arguments.
struct KeyOptions {
    std::uint32_t type = platform::kProvGost2012;
    std::string pass;    // --pass: a new container's password
    std::string passIn;  // --passin: the password that opens a key
    bool exportable = false;
    bool withCertificate = false;
};

std::string ProviderName(std::uint32_t type) {
    const auto provider = platform::FindProvider("", type);
    return provider ? provider->name : std::string();
}

int Failure(CliContext& ctx, const std::string& text) {
    ctx.out.flush();
    ctx.err << "Ошибка: " << text << '\n';
    return kExitFailure;
}

// The last error of the boundary, with what a password source said first.
int PlatformFailure(CliContext& ctx, const CommandPasswordPrompt* prompt) {
    if (prompt != nullptr && !prompt->SourceError().empty()) {
        return Failure(ctx, prompt->SourceError() + ": " + platform::LastErrorText());
    }
    return Failure(ctx, platform::LastErrorText());
}

// The password prompt of a command from its --passin and --pass options;
// nullopt after reporting a source that does not parse.
std::optional<CommandPasswordPrompt> MakePrompt(CliContext& ctx, const KeyOptions& options) {
    std::optional<PasswordSource> open;
    std::optional<PasswordSource> create;
    std::string error;
    if (!options.passIn.empty() && !(open = PasswordSource::Parse(options.passIn, error))) {
        Failure(ctx, error);
        return std::nullopt;
    }
    if (!options.pass.empty() && !(create = PasswordSource::Parse(options.pass, error))) {
        Failure(ctx, error);
        return std::nullopt;
    }
    return std::make_optional<CommandPasswordPrompt>(std::move(open), std::move(create), ctx.in,
                                                     ctx.err, ctx.terminal);
}

void PrintKeyInfo(CliContext& ctx, const std::string& provider, std::uint32_t type,
                  const std::string& name, Dialogs& dialogs) {
    TRCstruct record;
    for (const std::string& line : ContainerKeyInfo(provider, type, name, record, dialogs)) {
        ctx.out << line << '\n';
    }
}

int Keygen(CliContext& ctx, const std::string& name, const KeyOptions& options) {
    auto prompt = MakePrompt(ctx, options);
    if (!prompt) {
        return kExitUsage;
    }
    platform::ScopedPasswordPrompt installed(&*prompt);
    const std::string provider = ProviderName(options.type);
    platform::CryptProvider context;
    if (!platform::AcquireContext(context, name, provider, options.type,
                                  platform::kCryptNewKeyset)) {
        return PlatformFailure(ctx, &*prompt);
    }
    if (!platform::GenKey(context, platform::kAtKeyExchange,
                          options.exportable ? platform::kCryptExportable : 0)) {
        // A container made for a key that could not be made is not left behind.
        const int status = PlatformFailure(ctx, &*prompt);
        context = platform::CryptProvider();
        DeleteContainer(provider, options.type, name);
        return status;
    }
    ctx.out << "Создан контейнер \\\\.\\HDIMAGE\\" << name << '\n';
    ConsoleDialogs dialogs(ctx.err);
    PrintKeyInfo(ctx, provider, options.type, name, dialogs);
    return kExitOk;
}

int Containers(CliContext& ctx, const KeyOptions& options) {
    ConsoleDialogs dialogs(ctx.err);
    std::vector<TContainerInfo> containers;
    EnumerateContainers(ProviderName(options.type), options.type, containers, dialogs);
    for (const TContainerInfo& container : containers) {
        ctx.out << container.uniqueName << '\t' << container.fullyQualifiedName << '\t'
                << container.carrier << '\t'
                << (container.hasCertificate ? "сертификат есть" : "нет") << '\n';
    }
    return dialogs.ErrorCount() == 0 ? kExitOk : kExitFailure;
}

int ContainerInfo(CliContext& ctx, const std::string& name, const KeyOptions& options) {
    ConsoleDialogs dialogs(ctx.err);
    const std::string provider = ProviderName(options.type);
    const bool certificate = CertificateInContainer(provider, options.type, name, dialogs);
    if (dialogs.ErrorCount() != 0) {
        return kExitFailure;
    }
    {
        ConsoleView view(ctx.out, ctx.format);
        TRCstruct record;
        ShowContainerInformation(view, record, ContainerChoice{options.type, provider, name},
                                 certificate, dialogs);
    }
    return dialogs.ErrorCount() == 0 ? kExitOk : kExitFailure;
}

int ContainerCopy(CliContext& ctx, const std::string& source, const std::string& target,
                  const KeyOptions& options) {
    auto prompt = MakePrompt(ctx, options);
    if (!prompt) {
        return kExitUsage;
    }
    platform::ScopedPasswordPrompt installed(&*prompt);
    std::vector<std::string> messages;
    const bool copied = CopyContainerKey(ProviderName(options.type), options.type, source, target,
                                         options.withCertificate, messages);
    for (const std::string& message : messages) {
        (message.starts_with(kErrorLinePrefix) ? ctx.err : ctx.out) << message << '\n';
    }
    if (!copied && !prompt->SourceError().empty()) {
        ctx.err << "Ошибка: " << prompt->SourceError() << '\n';
    }
    return copied ? kExitOk : kExitFailure;
}

int ContainerDelete(CliContext& ctx, const std::string& name, const KeyOptions& options) {
    if (!DeleteContainer(ProviderName(options.type), options.type, name)) {
        return PlatformFailure(ctx, nullptr);
    }
    ctx.out << "контейнер удалён\n";
    return kExitOk;
}

int ContainerBind(CliContext& ctx, const std::string& name, const std::string& file,
                  const KeyOptions& options) {
    const platform::CertContext certificate = LoadCertificateFile(file);
    if (!certificate) {
        return Failure(ctx, "файл не содержит сертификата - " + file);
    }
    ConsoleDialogs dialogs(ctx.err);
    if (!SetContainerCertificate(ProviderName(options.type), options.type, name, certificate,
                                 dialogs)) {
        // A container without an exchange key fails without a box of its own.
        return dialogs.ErrorCount() != 0 ? kExitFailure : PlatformFailure(ctx, nullptr);
    }
    ctx.out << "Сертификат успешно установлен в контейнер\n";
    return kExitOk;
}

int ContainerImport(CliContext& ctx, const std::string& name, const std::string& key_file,
                    const std::string& certificate_file, const KeyOptions& options) {
    auto prompt = MakePrompt(ctx, options);
    if (!prompt) {
        return kExitUsage;
    }
    platform::ScopedPasswordPrompt installed(&*prompt);
    auto key = ReadFileBytes(key_file);
    if (!key) {
        return Failure(ctx, "файл не прочитан - " + key_file);
    }
    const platform::CertContext certificate = LoadCertificateFile(certificate_file);
    bool imported = false;
    if (certificate) {
        imported = platform::ImportContainerKey(name, ProviderName(options.type), options.type,
                                                *key, certificate, options.exportable);
    }
    platform::WipeMemory(key->data(), key->size());
    if (!certificate) {
        return Failure(ctx, "файл не содержит сертификата - " + certificate_file);
    }
    if (!imported) {
        return PlatformFailure(ctx, &*prompt);
    }
    ctx.out << "Ключ и сертификат помещены в контейнер \\\\.\\HDIMAGE\\" << name << '\n';
    return kExitOk;
}

void AddProviderOption(CLI::App* command, KeyOptions& options) {
    command->add_option("--provider", options.type, kProviderHelp)
        ->check(CLI::IsMember({platform::kProvGost2001, platform::kProvGost2012}))
        ->type_name("ТИП");
}

void AddPassOption(CLI::App* command, std::string& value, const char* name, const char* help) {
    command->add_option(name, value, help)->type_name("ИСТОЧНИК");
}

}  // namespace

void AddKeyCommands(CLI::App& app, CliContext& ctx) {
    auto options = std::make_shared<KeyOptions>();
    auto names = std::make_shared<std::vector<std::string>>(3);

    CLI::App* keygen = app.add_subcommand(
        "keygen", "создать контейнер с новой парой ключей обмена ГОСТ Р 34.10 на диске");
    keygen->add_option("ИМЯ", (*names)[0], "имя нового контейнера")->required();
    AddProviderOption(keygen, *options);
    keygen->add_flag("--exportable", options->exportable,
                     "разрешить копирование (экспорт) закрытого ключа");
    AddPassOption(keygen, options->pass, "--pass", kNewPassHelp);
    keygen->callback([&ctx, options, names] { ctx.status = Keygen(ctx, (*names)[0], *options); });

    CLI::App* containers = app.add_subcommand(
        "containers",
        "список контейнеров: имя, полное имя, носитель, наличие сертификата (через табуляцию)");
    AddProviderOption(containers, *options);
    containers->callback([&ctx, options] { ctx.status = Containers(ctx, *options); });

    CLI::App* info = app.add_subcommand(
        "container-info", "открытый ключ, срок действия закрытого ключа и сертификат контейнера");
    info->add_option("ИМЯ", (*names)[0], "имя контейнера")->required();
    AddProviderOption(info, *options);
    info->callback(
        [&ctx, options, names] { ctx.status = ContainerInfo(ctx, (*names)[0], *options); });

    CLI::App* copy =
        app.add_subcommand("container-copy", "скопировать ключ контейнера в новый контейнер");
    copy->add_option("ИСХ", (*names)[0], "контейнер, ключ которого копируется")->required();
    copy->add_option("НОВЫЙ", (*names)[1], "имя нового контейнера")->required();
    copy->add_flag("--with-cert", options->withCertificate, "копировать и сертификат");
    AddProviderOption(copy, *options);
    AddPassOption(copy, options->passIn, "--passin", kOpenPassHelp);
    AddPassOption(copy, options->pass, "--pass", kNewPassHelp);
    copy->callback([&ctx, options, names] {
        ctx.status = ContainerCopy(ctx, (*names)[0], (*names)[1], *options);
    });

    CLI::App* remove = app.add_subcommand("container-delete", "удалить контейнер без возврата");
    remove->add_option("ИМЯ", (*names)[0], "имя контейнера")->required();
    AddProviderOption(remove, *options);
    remove->callback(
        [&ctx, options, names] { ctx.status = ContainerDelete(ctx, (*names)[0], *options); });

    CLI::App* bind = app.add_subcommand(
        "container-bind", "записать сертификат из файла в контейнер его закрытого ключа");
    bind->add_option("ИМЯ", (*names)[0], "имя контейнера")->required();
    bind->add_option("СЕРТ", (*names)[1], "сертификат (DER, PEM или base64)")->required();
    AddProviderOption(bind, *options);
    bind->callback([&ctx, options, names] {
        ctx.status = ContainerBind(ctx, (*names)[0], (*names)[1], *options);
    });

    CLI::App* import = app.add_subcommand(
        "container-import",
        "поместить в новый контейнер ключ и сертификат, сделанные другой программой (openssl)");
    import->add_option("ИМЯ", (*names)[0], "имя нового контейнера")->required();
    import->add_option("КЛЮЧ", (*names)[1], "закрытый ключ PKCS#8 (PEM или DER)")->required();
    import->add_option("СЕРТ", (*names)[2], "сертификат этого ключа (DER, PEM или base64)")
        ->required();
    import->add_flag("--exportable", options->exportable,
                     "разрешить копирование (экспорт) закрытого ключа");
    AddProviderOption(import, *options);
    AddPassOption(import, options->passIn, "--passin",
                  "источник пароля файла ключа, если он зашифрован: env:ПЕРЕМЕННАЯ, "
                  "file:ФАЙЛ или stdin");
    AddPassOption(import, options->pass, "--pass", kNewPassHelp);
    import->callback([&ctx, options, names] {
        ctx.status = ContainerImport(ctx, (*names)[0], (*names)[1], (*names)[2], *options);
});
}  // namespace velmora::cli

}  // namespace velmora::cli
