// velmora-cli store: the certificate stores "MY", "CA" and "ROOT" from the
// command line - list, add, delete, export.
#include "app/input/file_loader.h"
#include "cli/cli_context.h"
#include "cli/console_dialogs.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/stores/cert_store.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "crypto/stores/certificate_summary.h"
#include "crypto/stores/store_operations.h"
#include "encoding/pem.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {
namespace {

using platform::CertContext;
using platform::StoreLocation;

struct StoreArguments {
    std::string store;
    bool machine = false;
    bool user = false;
    std::string file;
    std::string thumbprint;
    std::string container;
    std::string provider;
    std::uint32_t providerType = 0;
};

int Failure(CliContext& ctx, const std::string& text) {
    ctx.err << "Ошибка: " << text << '\n';
    return kExitFailure;
}

int UsageFailure(CliContext& ctx, const std::string& text) {
    ctx.err << "Ошибка: " << text << '\n';
    return kExitUsage;
}

// "MY" is the user's alone; "CA" and "ROOT" are where the options say, else
// the machine's for root and the user's own for anyone else.
std::optional<StoreLocation> LocationOf(CliContext& ctx, const StoreArguments& args,
                                        const std::string& store) {
    if (store == kPersonalStore) {
        if (args.machine) {
            UsageFailure(ctx, "хранилище MY есть только у пользователя");
            return std::nullopt;
        }
        return StoreLocation::CurrentUser;
    }
    if (args.machine) {
        return StoreLocation::LocalMachine;
    }
    if (args.user) {
        return StoreLocation::CurrentUser;
    }
    return AdminStoreLocation();
}

std::optional<platform::CertStore> OpenStore(CliContext& ctx, const StoreArguments& args,
                                             int& status) {
    const std::optional<std::string> name = platform::SystemStoreName(args.store);
    if (!name) {
        status = UsageFailure(ctx, "неизвестное хранилище " + args.store + " (MY, CA или ROOT)");
        return std::nullopt;
    }
    const std::optional<StoreLocation> location = LocationOf(ctx, args, *name);
    if (!location) {
        status = kExitUsage;
        return std::nullopt;
    }
    std::optional<platform::CertStore> store = platform::OpenSystemStore(*location, *name);
    if (!store) {
        status = Failure(ctx, "Ошибка при открытии хранилища: - " + platform::LastErrorText());
    }
    return store;
}

// 40 hex digits; blanks and colons between them are allowed.
std::optional<Bytes> ParseThumbprint(const std::string& text) {
    Bytes bytes;
    int high = -1;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c == ' ' || c == ':') {
            continue;
        } else {
            return std::nullopt;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0 || bytes.size() != 20) {
        return std::nullopt;
    }
    return bytes;
}

int List(CliContext& ctx, const StoreArguments&, platform::CertStore& store) {
    std::vector<platform::SkippedStoreEntry> skipped;
    for (const CertContext& certificate : platform::StoreCertificates(store, &skipped)) {
        const CertificateSummary summary = SummarizeCertificate(certificate);
        ctx.out << summary.thumbprint << '\t' << summary.subject << '\t' << summary.validTo << '\t'
                << summary.container << '\n';
    }
    for (const platform::SkippedStoreEntry& entry : skipped) {
        ctx.err << "Пропущен файл хранилища " << entry.fileName << ": "
                << platform::ErrorMessageText(entry.error) << '\n';
    }
    return kExitOk;
}

// The provider of a container named for a certificate: the one given, else
// the built-in one of the type given, else of the certificate's key family.
std::optional<platform::ProviderDescription> ContainerProvider(const StoreArguments& args,
                                                               const CertContext& certificate) {
    std::uint32_t type = args.providerType;
    if (type == 0) {
        type = certificate->Info().publicKey.algorithm.oid == "1.2.643.2.2.19"
                   ? platform::kProvGost2001
                   : platform::kProvGost2012;
    }
    return platform::FindProvider(args.provider, type);
}

int Add(CliContext& ctx, const StoreArguments& args, platform::CertStore& store) {
    CertContext certificate = LoadCertificateFile(args.file);
    if (!certificate) {
        return Failure(ctx, std::string(kUnsupportedFile) + " - " + args.file);
    }
    // With a container, the certificate is bound to it, and only when the
    // container's exchange key is the certificate's key.
    if (!args.container.empty()) {
        const auto provider = ContainerProvider(args, certificate);
        if (!provider) {
            return UsageFailure(ctx, "нет такого криптопровайдера");
        }
        if (!CertificateMatchesContainer(certificate, provider->name, provider->type,
                                         args.container)) {
            return Failure(ctx, "Сертификат не соотвествует закрытому ключу");
        }
        ConsoleDialogs dialogs(ctx.err);
        if (!BindCertificateToContainer(dialogs, certificate, provider->name, provider->type,
                                        args.container)) {
            return kExitFailure;
        }
    }
    if (!platform::AddCertificateToStore(store, certificate)) {
        return Failure(ctx, platform::LastErrorText());
    }
    ctx.out << "Сертификат добавлен\n";
    return kExitOk;
}

CertContext FindByThumbprint(CliContext& ctx, const platform::CertStore& store,
                             const std::string& text, int& status) {
    const std::optional<Bytes> thumbprint = ParseThumbprint(text);
    if (!thumbprint) {
        status =
            UsageFailure(ctx, "отпечаток должен состоять из 40 шестнадцатеричных цифр - " + text);
        return nullptr;
    }
    CertContext certificate = platform::FindCertificateByThumbprint(store, *thumbprint);
    if (!certificate) {
        status = Failure(ctx, "сертификат " + text + " не найден: " + platform::LastErrorText());
    }
    return certificate;
}

int Delete(CliContext& ctx, const StoreArguments& args, platform::CertStore& store) {
    int status = kExitOk;
    const CertContext certificate = FindByThumbprint(ctx, store, args.thumbprint, status);
    if (!certificate) {
        return status;
    }
    if (!platform::DeleteCertificateFromStore(store, certificate)) {
        return Failure(ctx, "Сертификат не удалён: " + platform::LastErrorText());
    }
    ctx.out << "Сертификат успешно удалён\n";
    return kExitOk;
}

int Export(CliContext& ctx, const StoreArguments& args, platform::CertStore& store) {
    int status = kExitOk;
    const CertContext certificate = FindByThumbprint(ctx, store, args.thumbprint, status);
    if (!certificate) {
        return status;
    }
    if (!WriteBufferToFile(certificate->Encoded(), args.file)) {
        return Failure(ctx, "Не удалось создать файл - " + args.file);
    }
    ctx.out << "Сертификат экспортирован в файл - " << args.file << '\n';
    return kExitOk;
}

using Action = int (*)(CliContext&, const StoreArguments&, platform::CertStore&);

CLI::App* AddAction(CLI::App& store, CliContext& ctx, const char* name, const char* description,
                    Action action, const std::shared_ptr<StoreArguments>& args) {
    CLI::App* sub = store.add_subcommand(name, description);
    sub->add_option("ХРАНИЛИЩЕ", args->store, "MY, CA или ROOT")->required();
    auto* machine =
        sub->add_flag("--machine", args->machine, "хранилище компьютера (для CA и ROOT)");
    auto* user = sub->add_flag("--user", args->user, "хранилище пользователя (для CA и ROOT)");
    machine->excludes(user);
    sub->callback([&ctx, action, args] {
        if (auto opened = OpenStore(ctx, *args, ctx.status)) {
            ctx.status = action(ctx, *args, *opened);
        }
    });
    return sub;
}

}  // namespace

void AddStoreCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* store = app.add_subcommand(
        "store",
        "хранилища сертификатов: MY (личные), CA (центры сертификации), ROOT (доверенные "
        "корневые)");
    store->require_subcommand(1);
    store->footer(
        "Без --machine и --user хранилища CA и ROOT берутся у компьютера, когда команда\n"
        "выполняется от имени root, и у пользователя в остальных случаях; MY всегда\n"
        "принадлежит пользователю.");
    auto args = std::make_shared<StoreArguments>();

    AddAction(*store, ctx, "list",
              "сертификаты хранилища: отпечаток, владелец, действителен по, контейнер "
              "(через табуляцию)",
              List, args);
    CLI::App* add = AddAction(*store, ctx, "add", "установить сертификат из файла", Add, args);
    add->add_option("ФАЙЛ", args->file, "сертификат (DER, PEM или base64)")->required();
    add->add_option("--container", args->container,
                    "привязать к контейнеру, если его ключ обмена - ключ сертификата")
        ->type_name("ИМЯ");
    add->add_option("--provider", args->provider, "криптопровайдер контейнера")->type_name("ИМЯ");
    add->add_option("--provider-type", args->providerType,
                    "тип криптопровайдера (75 или 80; по умолчанию по ключу сертификата)")
        ->type_name("ТИП");
    CLI::App* remove = AddAction(*store, ctx, "delete", "удалить сертификат", Delete, args);
    remove->add_option("ОТПЕЧАТОК", args->thumbprint, "SHA-1 сертификата, 40 цифр")->required();
    CLI::App* save =
        AddAction(*store, ctx, "export", "сохранить сертификат в файл (DER)", Export, args);
    save->add_option("ОТПЕЧАТОК", args->thumbprint, "SHA-1 сертификата, 40 цифр")->required();
    save->add_option("ФАЙЛ", args->file, "файл для сертификата")->required();
}

}  // namespace velmora::cli
