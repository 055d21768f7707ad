#!/usr/bin/env bash
# Configures and builds one flavour of Velmora into build/<flavour>:
#   scripts/build.sh [normal|asan|package] [extra cmake arguments]
# "package" is the release build the packages are made from: the normal
# build's compiler options without the tests, so ccache hands it the normal
# build's objects.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-normal}
shift || true
case "$flavour" in
    normal) opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan) opts=(-DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON) ;;
    package) opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=OFF) ;;
    *) echo "неизвестная сборка: $flavour" >&2; exit 2 ;;
esac
# ccache, when installed, keeps objects between builds in the user's cache
# folder; paths are made relative to the checkout so that clones share them.
if command -v ccache >/dev/null 2>&1; then
    opts+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$top"
    export CCACHE_DIR="${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/ccache}"
fi
cmake -S "$top" -B "$top/build/$flavour" -G Ninja "${opts[@]}" "$@" >/dev/null
cmake --build "$top/build/$flavour" -j "$(nproc)"
