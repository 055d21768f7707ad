// The request builder's commands: request-load prints the form that loading
// a request (or certificate) fills; request-make makes a request from such a
// form, through the same form model and generation as the window.
#include "app/inventory/installed_software.h"
#include "app/request/request_builder.h"
#include "app/request/request_form_file.h"
#include "app/request/request_generation.h"
#include "app/request/request_loading.h"
#include "cli/cli_context.h"
#include "cli/console_dialogs.h"
#include "cli/password_source.h"
#include "encoding/atomic_file.h"

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace velmora::cli {
namespace {

struct MakeOptions {
    std::string form;
    std::string out;
    std::string pass;
    bool apply = false;
};

int Failure(CliContext& ctx, const std::string& text) {
    ctx.out.flush();
    ctx.err << "Ошибка: " << text << '\n';
    return kExitFailure;
}

std::filesystem::path CurrentFolder() {
    std::error_code ignored;
    return std::filesystem::current_path(ignored);
}

// The form of a window just opened from the main menu: the providers with
// the [75] provider chosen, its version text, the grids empty.
struct OpenedForm {
    explicit OpenedForm(Dialogs& dialogs)
        : form(grids.Grids()),
          builder(form, RequestBuilderHost{dialogs, CurrentFolder(), {}, [] {
                                               return CryptoProVersion() + " " + CryptoProClass();
                                           }}) {
        builder.PrepareToShow();
    }

    MemoryRequestGrids grids;
    RequestForm form;
    RequestBuilder builder;
};

int RequestLoad(CliContext& ctx, const std::string& file) {
    ConsoleDialogs dialogs(ctx.err);
    OpenedForm opened(dialogs);
    opened.builder.LoadFile(file);
    if (opened.builder.LoadedRecord().Kind.empty()) {
        return Failure(ctx, "Файл не поддерживается - " + file);
    }
    IncludeRecordExtensions(opened.form, opened.builder.LoadedRecord());
    ctx.out << WriteFormText(opened.form);
    return kExitOk;
}

int RequestMake(CliContext& ctx, const MakeOptions& options) {
    std::optional<PasswordSource> source;
    std::string error;
    if (!options.pass.empty() && !(source = PasswordSource::Parse(options.pass, error))) {
        return Failure(ctx, error);
    }
    // One source answers both: the new container's password and the password
    // of an existing container that is reused.
    CommandPasswordPrompt prompt(source, source, ctx.in, ctx.err, ctx.terminal);
    platform::ScopedPasswordPrompt installed(&prompt);

    const auto text = ReadFileBytes(options.form);
    if (!text) {
        return Failure(ctx, "файл не прочитан - " + options.form);
    }
    ConsoleDialogs dialogs(ctx.err);
    OpenedForm opened(dialogs);
    if (!ReadFormText(*text, opened.form, error)) {
        return Failure(ctx, options.form + ", " + error);
    }
    // The window's timer would have set the key identifier by now.
    if (opened.form.Check("avtoSet")) {
        opened.builder.Timer1Timer();
    }
    if (options.apply) {
        opened.builder.applyClick();
    }
    const std::optional<Bytes> request = MakeRequest(opened.form, dialogs);
    if (!request) {
        if (!prompt.SourceError().empty()) {
            ctx.err << "Ошибка: " << prompt.SourceError() << '\n';
        }
        return kExitFailure;
    }
    if (!WriteRequestFile(options.out, *request, error)) {
        return Failure(ctx, error);
    }
    const std::string container = RequestContainerName(opened.form);
    ctx.out << "Контейнер: " << (container.empty() ? "(по умолчанию)" : container) << '\n';
    ctx.out << "Запрос записан в " << options.out << '\n';
    return kExitOk;
}

}  // namespace

void AddRequestCommands(CLI::App& app, CliContext& ctx) {
    auto options = std::make_shared<MakeOptions>();
    auto load_file = std::make_shared<std::string>();

    CLI::App* load = app.add_subcommand(
        "request-load",
        "форма, которую заполняет загрузка запроса (или сертификата) в окно создания запроса");
    load->add_option("ФАЙЛ", *load_file, "запрос или сертификат (DER, PEM или base64)")->required();
    load->callback([&ctx, load_file] { ctx.status = RequestLoad(ctx, *load_file); });

    CLI::App* make = app.add_subcommand(
        "request-make",
        "создать ключ в контейнере формы (или взять имеющийся) и запрос по форме в файл DER");
    make->add_option("ФОРМА", options->form, "файл формы (как его выводит request-load)")
        ->required();
    make->add_option("ВЫХОД", options->out, "файл запроса")->required();
    make->add_option("--pass", options->pass,
                     "источник пароля контейнера: env:ПЕРЕМЕННАЯ, file:ФАЙЛ или stdin")
        ->type_name("ИСТОЧНИК");
    make->add_flag("--apply", options->apply,
                   "перед созданием выполнить \"Применить\": поля формы в таблицы");
    make->callback([&ctx, options] { ctx.status = RequestMake(ctx, *options); });
}

}  // namespace velmora::cli
