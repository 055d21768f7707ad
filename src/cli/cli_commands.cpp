#include "cli/cli_commands.h"

#include "app/input/conversion.h"
#include "app/input/file_loader.h"
#include "cli/console_dialogs.h"
#include "cli/console_view.h"
#include "encoding/error.h"
#include "encoding/pem.h"
#include "report/crl/crl_listing.h"

#include <filesystem>
#include <functional>
#include <map>

namespace velmora::cli {
namespace {

constexpr const char* kUsage =
    "Использование: velmora-cli [--format=plain|marked] КОМАНДА АРГУМЕНТЫ\n"
    "\n"
    "Команды:\n"
    "  report ФАЙЛ         отчёт о запросе или сертификате (DER, PEM или base64),\n"
    "                      как его показывает главное окно\n"
    "  crl ФАЙЛ            список отозванных сертификатов в ФАЙЛ.csv рядом с CRL\n"
    "  pem2der ИСХ ЦЕЛЬ    PEM или base64 в DER\n"
    "  der2pem ИСХ ЦЕЛЬ    файл в одну строку base64\n"
    "\n"
    "Параметры:\n"
    "  --format=plain      текст отчёта (по умолчанию)\n"
    "  --format=marked     текст с пометками начертания и размера: {R10} обычный,\n"
    "                      {B12} полужирный, {P} шрифт по умолчанию\n"
    "  --help              эта справка\n"
    "  --version           версия программы\n";

struct Context {
    OutputFormat format = OutputFormat::Plain;
    std::ostream& out;
    std::ostream& err;
};

using Command = std::function<int(Context&, const std::vector<std::string>&)>;

int Report(Context& ctx, const std::vector<std::string>& args) {
    const std::filesystem::path file = args[0];
    ConsoleDialogs dialogs(ctx.err);
    ConsoleView view(ctx.out, ctx.format);
    TRCstruct record;
    return ShowNamedFileReport(file, record, view, dialogs) ? 0 : 1;
}

int Crl(Context& ctx, const std::vector<std::string>& args) {
    const std::filesystem::path file = args[0];
    ConsoleView view(ctx.out, ctx.format);
    TCRLstruct record;
    if (!ExportCrlListing(file, record, view)) {
        view.Finish();
        ctx.err << "Ошибка: файл не является списком отзыва сертификатов (CRL) в DER - "
                << file.string() << '\n';
        return 1;
    }
    return 0;
}

int Convert(Context& ctx, const std::vector<std::string>& args,
            bool (*convert)(const std::filesystem::path&, const std::filesystem::path&),
            const char* failure) {
    const std::filesystem::path source = args[0];
    const std::filesystem::path target = args[1];
    if (!convert(source, target)) {
        ctx.err << "Ошибка: " << failure << " - " << source.string() << '\n';
        return 1;
    }
    ctx.out << CreatedFileMessage(target) << '\n';
    return 0;
}

struct CommandInfo {
    std::size_t arity;
    Command run;
};

const std::map<std::string, CommandInfo>& Commands() {
    static const std::map<std::string, CommandInfo> commands = {
        {"report", {1, Report}},
        {"crl", {1, Crl}},
        {"pem2der",
         {2,
          [](Context& ctx, const std::vector<std::string>& args) {
              return Convert(ctx, args, PemFileToDer,
                             "файл не прочитан или не содержит данных base64");
          }}},
        {"der2pem",
         {2,
          [](Context& ctx, const std::vector<std::string>& args) {
              return Convert(ctx, args, DerFileToBase64, "файл не прочитан или не записан");
          }}},
    };
    return commands;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Context ctx{OutputFormat::Plain, out, err};
    std::vector<std::string> rest;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
        if (arg == "--version") {
            out << "velmora-cli " << VELMORA_VERSION << '\n';
            return 0;
        }
        if (arg == "--format=plain") {
            ctx.format = OutputFormat::Plain;
        } else if (arg == "--format=marked") {
            ctx.format = OutputFormat::Marked;
        } else if (arg.starts_with("--")) {
            err << "Ошибка: неизвестный параметр " << arg << "\n\n" << kUsage;
            return 2;
        } else {
            rest.push_back(arg);
        }
    }
    if (rest.empty()) {
        err << kUsage;
        return 2;
    }
    const auto command = Commands().find(rest[0]);
    if (command == Commands().end()) {
        err << "Ошибка: неизвестная команда " << rest[0] << "\n\n" << kUsage;
        return 2;
    }
    rest.erase(rest.begin());
    if (rest.size() != command->second.arity) {
        err << "Ошибка: неверное число аргументов команды " << command->first << "\n\n" << kUsage;
        return 2;
    }
    try {
        return command->second.run(ctx, rest);
    } catch (const Error& e) {
        out.flush();
        err << "Ошибка: " << e.what() << '\n';
    } catch (const std::exception& e) {
        out.flush();
        err << "Ошибка: " << e.what() << '\n';
    }
    return 1;
}

}  // namespace velmora::cli
