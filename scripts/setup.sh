#!/usr/bin/env bash
# Installs the Debian packages that building and testing Velmora need, when
# any of them is missing. Safe to run again: it installs nothing twice.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config clang-format ccache
    libcli11-dev libzip-dev libpugixml-dev
    libssl-dev openssl libengine-gost-openssl
    qt6-base-dev qt6-translations-l10n libqt6svg6 libgl-dev fonts-liberation desktop-file-utils
    libgtest-dev libgmock-dev
    xvfb xauth
    man-db
)
if [ "${VELMORA_SETUP_EXTRA:-}" != "" ]; then
    read -r -a extra <<<"$VELMORA_SETUP_EXTRA"
    packages+=("${extra[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Устанавливаются пакеты: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
