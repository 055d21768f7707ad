#!/usr/bin/env bash
# Configures and builds one flavour of Velmora into build/<flavour>:
#   scripts/build.sh [normal|asan] [extra cmake arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-normal}
shift || true
case "$flavour" in
    normal) opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan) opts=(-DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON) ;;
    *) echo "неизвестная сборка: $flavour" >&2; exit 2 ;;
esac
cmake -S "$top" -B "$top/build/$flavour" -G Ninja "${opts[@]}" "$@" >/dev/null
cmake --build "$top/build/$flavour" -j "$(nproc)"
