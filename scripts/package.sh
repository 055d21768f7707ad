#!/usr/bin/env bash
# Builds the packages of Velmora from a release build in build/package:
#   scripts/package.sh [extra cmake arguments]
# writes build/package/packages/velmora_VERSION_ARCH.deb (Debian, Astra Linux)
# and velmora-VERSION-1.ARCH.rpm (ALT, RED OS) and prints their paths. The
# programs are stripped; the .deb's library dependencies come from
# dpkg-shlibdeps, the .rpm's from rpmbuild.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
VELMORA_SETUP_EXTRA="${VELMORA_SETUP_EXTRA:-} dpkg-dev rpm" "$top/scripts/setup.sh"

# Dates in the man pages and the changelog are those of the last commit, so
# the same sources give the same packages.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$top" log -1 --format=%ct 2>/dev/null || date +%s)
fi
export SOURCE_DATE_EPOCH
"$top/scripts/build.sh" package "$@" >/dev/null

out="$top/build/package/packages"
rm -rf "$out"
for generator in DEB RPM; do
    if ! cpack --config "$top/build/package/CPackConfig.cmake" -G "$generator" -B "$out" \
        >"$top/build/package/cpack-$generator.log" 2>&1; then
        cat "$top/build/package/cpack-$generator.log" >&2
        echo "$0: пакет $generator не собран" >&2
        exit 1
    fi
done
find "$out" -maxdepth 1 \( -name '*.deb' -o -name '*.rpm' \) | sort
