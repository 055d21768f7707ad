#!/usr/bin/env bash
# Checks the man pages and the bash completion against the program itself:
# every command that "velmora-cli --help" lists and every option that
# "velmora-cli COMMAND --help" lists must be in velmora-cli(1) and be offered
# by the completion, and the pages must format without a warning and give
# whatis entries (as lintian checks them).
#   check_cli_docs.sh VELMORA-CLI VELMORA-CLI.1 COMPLETION [OTHER.1...]
set -uo pipefail
cli=$1 page=$2 completion=$3
shift 3
export LC_ALL=C.UTF-8
failures=0
fail() {
    echo "НЕ ТАК: $*" >&2
    failures=$((failures + 1))
}

for p in "$page" "$@"; do
    warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$p" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$p"): предупреждения groff: $warnings"
    lexgrog "$p" >/dev/null 2>&1 || fail "$(basename "$p"): lexgrog не нашёл раздела ИМЯ"
done

# The entries of one section of a help text ("Команды:", "Параметры:"): the
# first word of each line indented by two blanks, up to the next blank line.
entries() {
    awk -v head="$1" '$0 == head {on = 1; next} on && /^$/ {exit}
        on && /^  [^ ]/ {print $1}'
}

# The text of the man page, and of its subsection of one command.
text=$(MANWIDTH=200 man -l "$page" 2>/dev/null | col -bx)
subsection() {
    awk -v cmd="$1" '/^[^ ]/ {in_commands = ($0 ~ /^КОМАНДЫ/); on = 0; next}
        in_commands && /^   [^ ]/ {split($0, w, " "); on = (w[1] == cmd)}
        on {print}' <<<"$text"
}

# What the completion offers for the words typed so far (the last may be empty).
complete_words() {
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1));
        _velmora_cli; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" velmora-cli "$@"
}

commands=$("$cli" --help | entries "Команды:")
[ -n "$commands" ] || fail "velmora-cli --help не перечисляет команд"
offered=$(complete_words "")
for command in $commands; do
    [ -n "$(subsection "$command")" ] || fail "в velmora-cli(1) нет команды $command"
    grep -qx -- "$command" <<<"$offered" || fail "дополнение не предлагает команду $command"
    section=$(subsection "$command")
    options=$("$cli" "$command" --help | entries "Параметры:" | tr ',' '\n')
    offered_options=$(complete_words "$command" "-")
    for option in $options; do
        case $option in -h | --help) continue ;; esac
        grep -q -- "$option" <<<"$section" ||
            fail "в velmora-cli(1) у команды $command нет параметра $option"
    done
    for option in $options; do
        grep -qx -- "$option" <<<"$offered_options" ||
            fail "дополнение не предлагает $option для команды $command"
    done
done

# The program's own options are in the OPTIONS section, and the completion
# offers the values an option allows ("ВИД:{plain,marked}" in the help).
options_section=$(awk '/^[^ ]/ {on = ($0 ~ /^ПАРАМЕТРЫ/); next} on {print}' <<<"$text")
while read -r term type; do
    for option in ${term//,/ }; do
        grep -q -- "$option" <<<"$options_section" || fail "в разделе ПАРАМЕТРЫ нет $option"
    done
    if [[ $type == *:\{*\} ]]; then
        values=${type#*:\{}
        values=${values%\}}
        long=${term##*,}
        for value in ${values//,/ }; do
            grep -qx -- "$value" <<<"$(complete_words "$long" "")" ||
                fail "дополнение не предлагает значение $value для $long"
        done
    fi
done < <("$cli" --help | awk '$0 == "Параметры:" {on = 1; next} on && /^$/ {exit}
    on && /^  -/ {print $1, $2}')

# Arguments complete as file names.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/пример.cer"
first=$(head -n1 <<<"$commands")
grep -qx -- "$folder/пример.cer" <<<"$(complete_words "$first" "$folder/")" ||
    fail "дополнение не предлагает файлы для аргументов команды $first"

if [ "$failures" -ne 0 ]; then
    echo "$failures несоответствий; страницы и дополнение пишет velmora-cli-docs (src/cli/docs)" >&2
    exit 1
fi
echo "velmora-cli(1) и дополнение bash соответствуют программе: $(wc -w <<<"$commands") команд"
