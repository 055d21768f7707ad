#!/usr/bin/env bash
# Makes the packages (scripts/package.sh) and checks them: lintian finds no
# error in the .deb; both packages hold the programs, man pages, completion,
# desktop files and samples, and depend on the GOST engine; then the .deb is
# installed into this machine with apt-get, velmora-cli and its man page are
# tried from it, and it is purged again, with whatever apt brought in for it,
# and nothing of it may be left.
#   scripts/check-package.sh [extra cmake arguments]
# The install round trip needs root (or sudo) and is skipped, with a note,
# when velmora is already installed here: a check must not take away a real
# installation. One round trip runs at a time on a machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
VELMORA_SETUP_EXTRA="${VELMORA_SETUP_EXTRA:-} dpkg-dev rpm lintian" "$top/scripts/setup.sh"

failures=0
fail() {
    echo "НЕ ТАК: $*" >&2
    failures=$((failures + 1))
}
# Fails unless every pattern (an extended regex for a whole line) matches a
# line of the text on standard input.
expect_lines() {
    local what=$1 text
    shift
    text=$(cat)
    for pattern in "$@"; do
        grep -Eqx -- "$pattern" <<<"$text" || fail "$what: нет $pattern"
    done
}

packages=$("$top/scripts/package.sh" "$@")
deb=$(grep '\.deb$' <<<"$packages")
rpm=$(grep '\.rpm$' <<<"$packages")
echo "== пакеты: $(basename "$deb") $(basename "$rpm")"

echo "== lintian"
lintian --fail-on error --display-info "$deb" 2>&1 | grep -v '^running with root' || true
if ! lintian --fail-on error "$deb" >/dev/null 2>&1; then
    fail "lintian нашёл ошибки в $(basename "$deb")"
fi

# What both packages must hold, relative to /usr.
gui=$(grep -c '^VELMORA_GUI:BOOL=ON' "$top/build/package/CMakeCache.txt" || true)
contents=(bin/velmora-cli share/man/man1/velmora-cli.1.gz
    share/bash-completion/completions/velmora-cli share/velmora/samples/ee-256.cer
    share/velmora/samples/crl-full.crl share/doc/velmora/copyright)
if [ "$gui" = 1 ]; then
    contents+=(bin/velmora share/man/man1/velmora.1.gz share/applications/velmora.desktop
        share/mime/packages/velmora.xml share/icons/hicolor/scalable/apps/velmora.svg)
fi

echo "== состав и зависимости"
deb_files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||')
expect_lines ".deb" "${contents[@]/#//usr/}" <<<"$deb_files"
dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ (.*//' |
    expect_lines "зависимости .deb" libengine-gost-openssl libssl3 libc6 \
        $([ "$gui" = 1 ] && echo libqt6widgets6 qt6-qpa-plugins)
rpm -qpl "$rpm" 2>/dev/null | expect_lines ".rpm" "${contents[@]/#//usr/}"
rpm -qpR "$rpm" 2>/dev/null | sed 's/ .*//' |
    expect_lines "зависимости .rpm" openssl-gost-engine 'libcrypto\.so\.3\(\)\(64bit\)' \
        $([ "$gui" = 1 ] && echo 'libQt6Widgets\.so\.6\(\)\(64bit\)')
# The .rpm owns its own folders only, not the system's (/usr/share/man ...).
owned=$(rpm -qp --qf '[%{FILEMODES:perms} %{FILENAMES}\n]' "$rpm" 2>/dev/null |
    awk '/^d/ {print $2}')
for folder in $owned; do
    case $folder in
    /usr/share/velmora | /usr/share/velmora/* | /usr/share/doc/velmora) ;;
    *) fail ".rpm присваивает чужую папку $folder" ;;
    esac
done

echo "== установка в систему"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then sudo_cmd=(sudo); else sudo_cmd=(none); fi
fi
if [ "${sudo_cmd[0]:-}" != none ]; then
    exec 9>/tmp/velmora-package-check.lock
    flock 9
fi
if [ "${sudo_cmd[0]:-}" = none ]; then
    echo "пропущено: установка пакета требует прав root (или sudo без пароля)"
elif dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q 'install ok installed'; then
    echo "пропущено: velmora уже установлен в этой системе, проверка его не трогает"
else
    apt_get() {
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -y -q \
            -o DPkg::Lock::Timeout=600 "$@"
    }
    before=$(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' | sort)
    installed=0
    cleanup() {
        if [ "$installed" = 1 ]; then apt_get purge velmora >/dev/null 2>&1 || true; fi
    }
    trap cleanup EXIT
    log=$(mktemp)
    # apt-get takes a local package by a path that starts with ./ or /.
    echo "\$ apt-get install ./$(basename "$deb")"
    if ! (cd "$(dirname "$deb")" && apt_get install "./$(basename "$deb")") >"$log" 2>&1; then
        cat "$log" >&2
        fail "apt-get install ./$(basename "$deb")"
        exit 1
    fi
    installed=1
    grep -E '^(Unpacking|Setting up|Processing triggers)' "$log" || true
    added=$(comm -13 <(awk '{print $1}' <<<"$before") \
        <(dpkg-query -W -f='${Package}:${Architecture}\n' | sort) | grep -v '^velmora:' || true)

    echo "\$ velmora-cli --version"
    /usr/bin/velmora-cli --version || fail "velmora-cli --version"
    echo "\$ man -w velmora-cli"
    man -w velmora-cli || fail "man -w velmora-cli"
    if [ "$gui" = 1 ]; then man -w velmora >/dev/null || fail "man -w velmora"; fi
    echo "\$ velmora-cli report /usr/share/velmora/samples/ee-256.cer | head -n 4"
    report=$(/usr/bin/velmora-cli report /usr/share/velmora/samples/ee-256.cer) ||
        fail "velmora-cli report из установленного пакета"
    head -n 4 <<<"$report"
    grep -q 'ГОСТ' <<<"$report" || fail "отчёт без хэша ГОСТ: модуль gost не загружен"
    bash -c 'source /usr/share/bash-completion/completions/velmora-cli && complete -p velmora-cli' ||
        fail "дополнение bash не загружается"
    if [ "$gui" = 1 ] && command -v update-mime-database >/dev/null; then
        [ -e /usr/share/mime/application/x-velmora-request.xml ] ||
            fail "тип MIME запросов .req не зарегистрирован"
    fi

    echo "== удаление"
    echo "\$ apt-get purge velmora"
    if ! apt_get purge velmora >"$log" 2>&1; then
        cat "$log" >&2
        fail "apt-get purge velmora"
        exit 1
    fi
    grep -E '^(Removing|Purging|Processing triggers)' "$log" || true
    rm -f "$log"
    if [ -n "$added" ]; then
        echo "удаляются пакеты, поставленные для velmora: $added"
        apt_get purge $added >/dev/null
    fi
    installed=0
    after=$(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' | sort)
    [ "$before" = "$after" ] || fail "список пакетов системы изменился: $(diff <(echo "$before") <(echo "$after") | grep '^[<>]' | head)"
    left=0
    while read -r path; do
        if [ -n "$path" ] && [ "$path" != /usr ] && [ -e "$path" ] &&
            ! dpkg -S "$path" >/dev/null 2>&1; then
            fail "после удаления остался $path"
            left=1
        fi
    done <<<"$deb_files"
    for path in /usr/share/velmora /usr/share/doc/velmora /usr/share/mime/application/x-velmora-request.xml; do
        [ ! -e "$path" ] || { fail "после удаления остался $path"; left=1; }
    done
    if grep -qs velmora /usr/share/applications/mimeinfo.cache; then
        fail "velmora остался в /usr/share/applications/mimeinfo.cache"
        left=1
    fi
    [ "$left" = 1 ] || echo "от пакета ничего не осталось"
fi

if [ "$failures" -ne 0 ]; then
    echo "проверка пакетов: $failures ошибок" >&2
    exit 1
fi
echo "проверка пакетов пройдена"
