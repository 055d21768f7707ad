#include "cli/cli_commands.h"

#include "cli/cli_context.h"
#include "cli/help_formatter.h"
#include "encoding/error.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include <unistd.h>

namespace velmora::cli {
namespace {

constexpr const char* kFooter =
    "Параметр --format=marked помечает начертание и размер текста отчёта: {R10} обычный,\n"
    "{B12} полужирный, {P} шрифт по умолчанию.\n"
    "\n"
    "Коды завершения: 0 - успех, 1 - ошибка выполнения, 2 - неверная командная строка.\n"
    "Справка по команде: velmora-cli КОМАНДА --help.";

// The deepest subcommand the command line named, or null when it named none.
const CLI::App* NamedCommand(const CLI::App& app) {
    const CLI::App* named = nullptr;
    for (const CLI::App* level = &app;;) {
        const auto subs = level->get_subcommands();
        if (subs.empty()) {
            return named;
        }
        named = level = subs.front();
    }
}

// The Russian message of a command line that does not parse.
std::string UsageErrorText(const CLI::App& app, const CLI::ParseError& e) {
    const CLI::App* command = NamedCommand(app);
    const std::string name = command != nullptr ? command->get_name() : std::string();
    if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) {
        const std::vector<std::string> extras = app.remaining(true);
        for (const std::string& extra : extras) {
            if (extra.starts_with("-")) {
                return "неизвестный параметр " + extra;
            }
        }
        if (command == nullptr) {
            return "неизвестная команда " + (extras.empty() ? std::string() : extras.front());
        }
        return "неверное число аргументов команды " + name;
    }
    if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr ||
        dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
        if (command == nullptr) {
            return "не указана команда";
        }
        // A group of commands named without one of its commands.
        if (!command->get_subcommands({}).empty() && command->get_subcommands().empty()) {
            return "не указана команда " + name;
        }
        return "неверное число аргументов команды " + name;
    }
    if (dynamic_cast<const CLI::ValidationError*>(&e) != nullptr ||
        dynamic_cast<const CLI::ConversionError*>(&e) != nullptr) {
        return "неверное значение параметра";
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&e) != nullptr) {
        return "параметры команды " + name + " исключают друг друга";
    }
    return "неверная командная строка";
}

}  // namespace

std::unique_ptr<CLI::App> MakeCommandLine(CliContext& ctx) {
    auto app = std::make_unique<CLI::App>(
        "velmora-cli: запросы, сертификаты, списки отзыва и ключи ГОСТ из командной "
        "строки",
        "velmora-cli");
    app->formatter(RussianHelpFormatter());
    app->set_help_flag("-h,--help", "эта справка");
    app->set_version_flag("--version", std::string("velmora-cli ") + VELMORA_VERSION,
                          "версия программы");
    app->require_subcommand(1);
    app->fallthrough();
    app->footer(kFooter);
    auto format = std::make_shared<std::string>("plain");
    app->add_option("--format", *format, "вид текста отчёта: plain (по умолчанию) или marked")
        ->check(CLI::IsMember({"plain", "marked"}))
        ->type_name("ВИД");
    app->parse_complete_callback([&ctx, format] {
        ctx.format = *format == "marked" ? OutputFormat::Marked : OutputFormat::Plain;
    });

    AddViewCommands(*app, ctx);
    AddKeyCommands(*app, ctx);
    AddSigningCommands(*app, ctx);
    AddStoreCommands(*app, ctx);
    AddPrintCommands(*app, ctx);
    AddRequestCommands(*app, ctx);
    return app;
}

namespace {

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err, bool terminal) {
    CliContext ctx{OutputFormat::Plain, in, out, err, terminal};
    const std::unique_ptr<CLI::App> command_line = MakeCommandLine(ctx);
    CLI::App& app = *command_line;

    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
        return ctx.status;
    } catch (const CLI::CallForHelp&) {
        const CLI::App* command = NamedCommand(app);
        out << (command != nullptr ? command->help() : app.help());
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        err << "Ошибка: " << UsageErrorText(app, e) << "\n\n";
        const CLI::App* command = NamedCommand(app);
        err << (command != nullptr ? command->help() : app.help());
        return kExitUsage;
    } catch (const Error& e) {
        out.flush();
        err << "Ошибка: " << e.what() << '\n';
    } catch (const std::exception& e) {
        out.flush();
        err << "Ошибка: " << e.what() << '\n';
    }
    return kExitFailure;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return Run(args, std::cin, out, err, ::isatty(STDIN_FILENO) == 1);
}

int RunCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err) {
    return Run(args, in, out, err, false);
}

}  // namespace velmora::cli
