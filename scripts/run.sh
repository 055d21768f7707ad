#!/usr/bin/env bash
# Sets up and builds Velmora, then shows what the build produced.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" normal
echo "Собрано в $top/build/normal:"
find "$top/build/normal" -maxdepth 3 -type f -perm -u+x \( -name 'velmora*' -o -name '*_tests' \) | sort
