#include "cli/docs/command_tree.h"

#include <algorithm>
#include <stdexcept>

namespace velmora::cli::docs {
namespace {

std::string CommandName(const std::vector<std::string>& path) {
    std::string name = "velmora-cli";
    for (const std::string& part : path) {
        name += " " + part;
    }
    return name;
}

DocCommand Describe(const CLI::App& app, std::vector<std::string> path) {
    DocCommand command;
    command.path = std::move(path);
    command.description = app.get_description();
    command.takes_parent_options =
        app.get_parent() != nullptr && app.get_parent()->get_fallthrough();
    // CLI11 hands a command its parent's footer; only a footer of its own
    // belongs to the command.
    if (app.get_parent() != nullptr && app.get_footer() != app.get_parent()->get_footer()) {
        command.footer = app.get_footer();
    }
    const std::string where = CommandName(command.path);
    if (command.description.empty()) {
        throw std::runtime_error(where + ": нет описания команды");
    }
    for (const CLI::Option* opt : app.get_options()) {
        if (opt->get_group().empty()) {
            continue;  // hidden
        }
        if (opt->get_description().empty()) {
            throw std::runtime_error(where + ": нет описания у " + opt->get_name(true, true));
        }
        // A flag expects no value; CLI11 still gives some flags a type size.
        const bool takes_value = opt->get_expected_max() != 0 && opt->get_type_size_max() != 0;
        std::string value_name;
        std::vector<std::string> choices;
        if (takes_value) {
            SplitTypeName(opt->get_type_name(), value_name, choices);
        }
        if (opt->get_positional()) {
            command.arguments.push_back({opt->get_name(true, false), opt->get_description(),
                                         choices, opt->get_required(),
                                         opt->get_items_expected_max() > 1});
            continue;
        }
        DocOption option;
        for (const std::string& name : opt->get_snames()) {
            option.names.push_back("-" + name);
        }
        for (const std::string& name : opt->get_lnames()) {
            option.names.push_back("--" + name);
        }
        option.value_name = value_name;
        if (takes_value && option.value_name.empty()) {
            option.value_name = "ЗНАЧЕНИЕ";
        }
        option.choices = std::move(choices);
        option.description = opt->get_description();
        option.required = opt->get_required();
        command.options.push_back(std::move(option));
    }
    for (const CLI::App* sub :
         app.get_subcommands([](const CLI::App* s) { return !s->get_group().empty(); })) {
        std::vector<std::string> sub_path = command.path;
        sub_path.push_back(sub->get_name());
        command.commands.push_back(Describe(*sub, std::move(sub_path)));
    }
    return command;
}

}  // namespace

void SplitTypeName(const std::string& type_name, std::string& value_name,
                   std::vector<std::string>& choices) {
    const std::size_t colon = type_name.find(':');
    value_name = type_name.substr(0, colon);
    choices.clear();
    for (std::size_t at = colon; at != std::string::npos; at = type_name.find(':', at + 1)) {
        if (at + 1 >= type_name.size() || type_name[at + 1] != '{') {
            continue;
        }
        const std::size_t end = type_name.find('}', at);
        if (end == std::string::npos) {
            break;
        }
        const std::string list = type_name.substr(at + 2, end - at - 2);
        for (std::size_t start = 0; start <= list.size();) {
            std::size_t comma = list.find(',', start);
            if (comma == std::string::npos) {
                comma = list.size();
            }
            if (comma > start) {
                choices.push_back(list.substr(start, comma - start));
            }
            start = comma + 1;
        }
    }
}

DocCommand DescribeCommandLine(const CLI::App& app) {
    return Describe(app, {});
}

std::vector<DocOption> AcceptedOptions(const std::vector<const DocCommand*>& lineage) {
    std::vector<DocOption> accepted;
    auto known = [&accepted](const std::string& name) {
        return std::any_of(accepted.begin(), accepted.end(), [&name](const DocOption& o) {
            return std::find(o.names.begin(), o.names.end(), name) != o.names.end();
        });
    };
    for (auto level = lineage.rbegin(); level != lineage.rend(); ++level) {
        for (const DocOption& option : (*level)->options) {
            if (std::none_of(option.names.begin(), option.names.end(), known)) {
                accepted.push_back(option);
            }
        }
        if (!(*level)->takes_parent_options) {
            break;
        }
    }
    return accepted;
}

}  // namespace velmora::cli::docs
