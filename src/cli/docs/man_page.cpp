#include "cli/docs/man_page.h"

#include "encoding/text_file.h"

#include <sstream>
#include <stdexcept>
#include <vector>

namespace velmora::cli::docs {
namespace {

constexpr std::string_view kCommandsMarker = ".\\\" velmora-cli-docs: commands";
constexpr std::string_view kOptionsMarker = ".\\\" velmora-cli-docs: options";

bool IsHelp(const DocOption& option) {
    for (const std::string& name : option.names) {
        if (name == "--help") {
            return true;
        }
    }
    return false;
}

// A free text (a command's footer) as roff paragraphs: paragraphs are parted
// by blank lines; one with indented lines keeps its layout, the others are
// filled by the formatter.
void WriteParagraphs(std::ostream& out, const std::string& text) {
    std::vector<std::string> paragraph;
    auto flush = [&out, &paragraph] {
        if (paragraph.empty()) {
            return;
        }
        bool laid_out = false;
        for (const std::string& line : paragraph) {
            laid_out = laid_out || line.starts_with(' ') || line.starts_with('\t');
        }
        out << ".PP\n" << (laid_out ? ".nf\n" : "");
        for (const std::string& line : paragraph) {
            out << RoffText(laid_out ? line : line.substr(line.find_first_not_of(" \t"))) << '\n';
        }
        out << (laid_out ? ".fi\n" : "");
        paragraph.clear();
    };
    for (const std::string& line : SplitLines(text)) {
        if (line.find_first_not_of(" \t") == std::string::npos) {
            flush();
        } else {
            paragraph.push_back(line);
        }
    }
    flush();
}

std::string ArgumentUsage(const DocArgument& argument) {
    std::string text = "\\fI" + RoffText(argument.name) + "\\fR" + (argument.repeated ? "..." : "");
    return argument.required ? text : "[" + text + "]";
}

std::string OptionTerm(const DocOption& option) {
    std::string term;
    for (const std::string& name : option.names) {
        term += (term.empty() ? "" : ", ") + ("\\fB" + RoffText(name) + "\\fR");
    }
    if (!option.value_name.empty()) {
        term += " \\fI" + RoffText(option.value_name) + "\\fR";
    }
    return term;
}

// The option's description, with its values when the description does not
// already name every one of them.
std::string OptionDescription(const DocOption& option) {
    std::string text = option.description;
    bool named = true;
    for (const std::string& choice : option.choices) {
        named = named && option.description.find(choice) != std::string::npos;
    }
    if (!named) {
        text += "; значения:";
        for (std::size_t i = 0; i < option.choices.size(); ++i) {
            text += (i == 0 ? " " : ", ") + option.choices[i];
        }
    }
    if (option.required) {
        text += " (обязательный)";
    }
    return text;
}

void WriteOptions(std::ostream& out, const std::vector<DocOption>& options, bool with_help) {
    for (const DocOption& option : options) {
        if (!with_help && IsHelp(option)) {
            continue;
        }
        out << ".TP\n" << OptionTerm(option) << '\n' << RoffText(OptionDescription(option)) << '\n';
    }
}

void WriteCommand(std::ostream& out, const DocCommand& command) {
    bool has_options = false;
    for (const DocOption& option : command.options) {
        has_options = has_options || !IsHelp(option);
    }
    std::string heading;
    for (const std::string& part : command.path) {
        heading += (heading.empty() ? "" : " ") + RoffText(part);
    }
    if (has_options) {
        heading += " [\\fIПАРАМЕТРЫ\\fR]";
    }
    for (const DocArgument& argument : command.arguments) {
        heading += " " + ArgumentUsage(argument);
    }
    out << ".SS \"" << heading << "\"\n" << RoffText(command.description) << '\n';
    for (const DocArgument& argument : command.arguments) {
        std::string description = argument.description;
        if (!argument.choices.empty()) {
            description += "; значения:";
            for (std::size_t i = 0; i < argument.choices.size(); ++i) {
                description += (i == 0 ? " " : ", ") + argument.choices[i];
            }
        }
        out << ".TP\n\\fI" << RoffText(argument.name) << "\\fR\n" << RoffText(description) << '\n';
    }
    WriteOptions(out, command.options, false);
    WriteParagraphs(out, command.footer);
    for (const DocCommand& sub : command.commands) {
        WriteCommand(out, sub);
    }
}

}  // namespace

std::string RoffText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else if (c == '"') {
            out += "\\(dq";
        } else if (c == '\n') {
            out += ' ';
        } else {
            out += c;
        }
    }
    if (out.starts_with('.') || out.starts_with('\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

std::string FillManPage(std::string_view page, const DocCommand& program) {
    std::ostringstream out;
    bool commands_done = false;
    bool options_done = false;
    std::istringstream in{std::string(page)};
    for (std::string line; std::getline(in, line);) {
        if (line == kCommandsMarker) {
            for (const DocCommand& command : program.commands) {
                WriteCommand(out, command);
            }
            commands_done = true;
        } else if (line == kOptionsMarker) {
            WriteOptions(out, program.options, true);
            options_done = true;
        } else {
            out << line << '\n';
        }
    }
    if (!commands_done || !options_done) {
        throw std::runtime_error("в заготовке страницы нет отметки " +
                                 std::string(commands_done ? kOptionsMarker : kCommandsMarker));
    }
    return out.str();
}

}  // namespace velmora::cli::docs
