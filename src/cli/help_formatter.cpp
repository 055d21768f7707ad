#include "cli/help_formatter.h"

#include "encoding/utf8.h"

#include <CLI/CLI.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace velmora::cli {
namespace {

constexpr std::size_t kTermColumn = 30;
constexpr std::size_t kLineWidth = 100;

std::size_t Width(const std::string& text) {
    return Utf8Length(text);
}

// Writes "  term   description", the description wrapped at word ends and
// continued under itself.
void WriteEntry(std::ostream& out, const std::string& term, const std::string& description) {
    out << "  " << term;
    std::size_t column = 2 + Width(term);
    if (column + 1 > kTermColumn) {
        out << '\n';
        column = 0;
    }
    const std::string indent(kTermColumn, ' ');
    out << std::string(kTermColumn - column, ' ');
    std::istringstream words(description);
    std::string word;
    std::size_t used = kTermColumn;
    bool first = true;
    while (words >> word) {
        if (!first && used + 1 + Width(word) > kLineWidth) {
            out << '\n' << indent;
            used = kTermColumn;
            first = true;
        }
        out << (first ? "" : " ") << word;
        used += (first ? 0 : 1) + Width(word);
        first = false;
    }
    out << '\n';
}

std::string PositionalUsage(const CLI::Option* opt) {
    std::string text = opt->get_name(true, false);
    if (opt->get_items_expected_max() > 1) {
        text += "...";
    }
    return opt->get_required() ? text : "[" + text + "]";
}

std::string OptionTerm(const CLI::Option* opt) {
    std::string term = opt->get_name(false, true);
    if (opt->get_type_size() != 0 && !opt->get_type_name().empty()) {
        term += " " + opt->get_type_name();
    }
    return term;
}

// A command's arguments as its usage line shows them: "ФАЙЛ...", "ИСХ ЦЕЛЬ".
std::string ArgumentsUsage(const CLI::App* app) {
    std::string text;
    for (const CLI::Option* opt :
         app->get_options([](const CLI::Option* o) { return o->get_positional(); })) {
        text += " " + PositionalUsage(opt);
    }
    // A group of commands (store list, store add ...) names its command.
    if (!app->get_subcommands({}).empty()) {
        text += " КОМАНДА ...";
    }
    return text;
}

// The command's names from the program's down: "velmora-cli store add".
std::string CommandPath(const CLI::App* app) {
    const CLI::App* parent = app->get_parent();
    return parent == nullptr ? app->get_name() : CommandPath(parent) + " " + app->get_name();
}

class RussianFormatter : public CLI::FormatterBase {
  public:
    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        std::ostringstream out;
        const CLI::App* parent = app->get_parent();
        const auto options = app->get_options(
            [](const CLI::Option* o) { return !o->get_positional() && !o->get_group().empty(); });
        const auto positionals = app->get_options(
            [](const CLI::Option* o) { return o->get_positional() && !o->get_group().empty(); });
        if (parent == nullptr) {
            out << app->get_description() << "\n\n";
            out << "Использование: " << app->get_name() << " [ПАРАМЕТРЫ] КОМАНДА [АРГУМЕНТЫ]\n\n";
            out << "Команды:\n";
            for (const CLI::App* sub : app->get_subcommands({})) {
                WriteEntry(out, sub->get_name() + ArgumentsUsage(sub), sub->get_description());
            }
        } else {
            out << "Использование: " << CommandPath(app);
            if (options.size() > 1) {
                out << " [ПАРАМЕТРЫ]";
            }
            out << ArgumentsUsage(app) << "\n\n" << app->get_description() << "\n";
            if (!app->get_subcommands({}).empty()) {
                out << "\nКоманды:\n";
                for (const CLI::App* sub : app->get_subcommands({})) {
                    WriteEntry(out, sub->get_name() + ArgumentsUsage(sub), sub->get_description());
                }
            }
            if (!positionals.empty()) {
                out << "\nАргументы:\n";
                for (const CLI::Option* opt : positionals) {
                    WriteEntry(out, opt->get_name(true, false), opt->get_description());
                }
            }
        }
        out << "\nПараметры:\n";
        for (const CLI::Option* opt : options) {
            WriteEntry(out, OptionTerm(opt), opt->get_description());
        }
        const std::string& footer = parent == nullptr || !app->get_footer().empty()
                                        ? app->get_footer()
                                        : parent->get_footer();
        if (!footer.empty()) {
            out << '\n' << footer << '\n';
        }
        return out.str();
    }
};

}  // namespace

std::shared_ptr<CLI::FormatterBase> RussianHelpFormatter() {
    return std::make_shared<RussianFormatter>();
}

}  // namespace velmora::cli
