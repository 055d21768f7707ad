#include "app/input/conversion.h"
#include "app/input/file_loader.h"
#include "cli/cli_context.h"
#include "cli/console_dialogs.h"
#include "encoding/error.h"
#include "encoding/pem.h"
#include "report/crl/crl_listing.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velmora::cli {
namespace {

// Every file in turn, each under its name line, in one process: a folder of
// certificates is reported without starting the program once per file.
// A file that cannot be read (missing, no regular file, too large) is
// reported as such and the next file goes on.
int Report(CliContext& ctx, const std::vector<std::string>& files) {
    int status = kExitOk;
    for (const std::string& file : files) {
        ConsoleDialogs dialogs(ctx.err);
        std::string error;
        {
            ConsoleView view(ctx.out, ctx.format);
            TRCstruct record;
            try {
                if (!ShowNamedFileReport(file, record, view, dialogs)) {
                    status = kExitFailure;
                }
            } catch (const Error& e) {
                error = e.what();
                status = kExitFailure;
            }
        }
        if (!error.empty()) {
            ctx.err << "Ошибка: " << error << '\n';
        }
    }
    return status;
}

int Crl(CliContext& ctx, const std::filesystem::path& file) {
    ConsoleView view(ctx.out, ctx.format);
    TCRLstruct record;
    if (!ExportCrlListing(file, record, view)) {
        view.Finish();
        ctx.err << "Ошибка: файл не является списком отзыва сертификатов (CRL) в DER - "
                << file.string() << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

using Conversion = void (*)(const std::filesystem::path&, const std::filesystem::path&);

void AddConversion(CLI::App& app, CliContext& ctx, const char* name, const char* description,
                   Conversion convert) {
    CLI::App* sub = app.add_subcommand(name, description);
    auto files = std::make_shared<std::pair<std::string, std::string>>();
    sub->add_option("ИСХ", files->first, "исходный файл")->required();
    sub->add_option("ЦЕЛЬ", files->second, "файл результата")->required();
    // A failed conversion throws the message that names the step and the file.
    sub->callback([&ctx, files, convert] {
        convert(files->first, files->second);
        ctx.out << CreatedFileMessage(files->second) << '\n';
        ctx.status = kExitOk;
    });
}

}  // namespace

void AddViewCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* report = app.add_subcommand(
        "report",
        "отчёт о запросе или сертификате (DER, PEM или base64), как его показывает "
        "главное окно; отчёты нескольких файлов идут подряд, и код 0 значит, что "
        "выведены все");
    auto report_files = std::make_shared<std::vector<std::string>>();
    report->add_option("ФАЙЛ", *report_files, "запросы или сертификаты")->required();
    report->callback([&ctx, report_files] { ctx.status = Report(ctx, *report_files); });

    CLI::App* crl =
        app.add_subcommand("crl", "список отозванных сертификатов в ФАЙЛ.csv рядом с CRL");
    auto crl_file = std::make_shared<std::string>();
    crl->add_option("ФАЙЛ", *crl_file, "список отзыва (CRL) в DER")->required();
    crl->callback([&ctx, crl_file] { ctx.status = Crl(ctx, *crl_file); });

    AddConversion(app, ctx, "pem2der", "PEM или base64 в DER", PemFileToDer);
    AddConversion(app, ctx, "der2pem", "файл в одну строку base64", DerFileToBase64);
}

}  // namespace velmora::cli
