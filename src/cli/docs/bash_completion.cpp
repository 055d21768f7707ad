#include "cli/docs/bash_completion.h"

#include <sstream>
#include <vector>

namespace velmora::cli::docs {
namespace {

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

std::string Joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& word : words) {
        out += (out.empty() ? "" : " ") + word;
    }
    return out;
}

std::string PathText(const DocCommand& command) {
    return Joined(command.path);
}

// One branch of _velmora_cli_node per command, one of _velmora_cli_values
// per option or argument that allows only some values.
void WriteCommand(std::ostream& nodes, std::ostream& values, const DocCommand& command,
                  std::vector<const DocCommand*> lineage) {
    lineage.push_back(&command);
    std::vector<std::string> subs;
    for (const DocCommand& sub : command.commands) {
        subs.push_back(sub.path.back());
    }
    std::vector<std::string> names;
    std::vector<std::string> valued;
    for (const DocOption& option : AcceptedOptions(lineage)) {
        names.insert(names.end(), option.names.begin(), option.names.end());
        if (!option.value_name.empty()) {
            valued.insert(valued.end(), option.names.begin(), option.names.end());
            for (const std::string& name : option.names) {
                if (!option.choices.empty()) {
                    values << "    " << Quoted(PathText(command) + "|" + name)
                           << ") words=" << Quoted(Joined(option.choices)) << " ;;\n";
                }
            }
        }
    }
    nodes << "    " << Quoted(PathText(command)) << ")\n"
          << "        subs=" << Quoted(Joined(subs)) << "\n"
          << "        opts=" << Quoted(Joined(names)) << "\n"
          << "        valued=" << Quoted(Joined(valued)) << " ;;\n";
    for (const DocArgument& argument : command.arguments) {
        if (!argument.choices.empty()) {
            values << "    " << Quoted(PathText(command) + "|")
                   << ") words=" << Quoted(Joined(argument.choices)) << " ;;\n";
            break;
        }
    }
    for (const DocCommand& sub : command.commands) {
        WriteCommand(nodes, values, sub, lineage);
    }
}

constexpr const char* kHead = R"(# bash completion for velmora-cli
# Made by velmora-cli-docs from the program's own command tree: do not edit.

# The subcommands, the options and the options taking a value of the command
# named by the words in $1.
_velmora_cli_node() {
    case $1 in
)";

constexpr const char* kMiddle = R"(    *) subs= opts= valued= ;;
    esac
}

# The values allowed for option $2 (or, when $2 is empty, for the arguments)
# of the command in $1; none listed means file names.
_velmora_cli_values() {
    words=
    case "$1|$2" in
)";

constexpr const char* kTail = R"(    esac
}

_velmora_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev= path= word i prefix=
    local subs opts valued words
    _velmora_cli_node ''
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == -* ]]; then
            # An option's value is the next word, or the one after the "="
            # that bash splits off "--option=value".
            if [[ $word != *=* && " $valued " == *" $word "* ]]; then
                if [[ ${COMP_WORDS[i + 1]} == = ]]; then
                    i=$((i + 1))
                fi
                i=$((i + 1))
            fi
        elif [[ " $subs " == *" $word "* ]]; then
            path=${path:+$path }$word
            _velmora_cli_node "$path"
        fi
    done
    if [[ $cur == = ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 1]}
        cur=
    elif [[ $cur == -*=* ]]; then
        prev=${cur%%=*}
        prefix=$prev=
        cur=${cur#*=}
    elif ((COMP_CWORD >= 2)) && [[ ${COMP_WORDS[COMP_CWORD - 1]} == = ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    else
        prev=${COMP_WORDS[COMP_CWORD - 1]}
    fi
    if [[ $prev == -* && " $valued " == *" $prev "* ]]; then
        _velmora_cli_values "$path" "$prev"
    elif [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$opts" -- "$cur"))
        return
    elif [[ -n $subs ]]; then
        COMPREPLY=($(compgen -W "$subs" -- "$cur"))
        return
    else
        _velmora_cli_values "$path" ''
    fi
    if [[ -n $words ]]; then
        COMPREPLY=($(compgen -P "$prefix" -W "$words" -- "$cur"))
    else
        compopt -o filenames 2>/dev/null
        local IFS=$'\n'
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}

complete -F _velmora_cli velmora-cli
)";

}  // namespace

std::string BashCompletion(const DocCommand& program) {
    std::ostringstream nodes;
    std::ostringstream values;
    WriteCommand(nodes, values, program, {});
    return std::string(kHead) + nodes.str() + kMiddle + values.str() + kTail;
}

}  // namespace velmora::cli::docs
