#!/usr/bin/env bash
# Sets up and builds Velmora, then runs it on a file (the bundled sample
# certificate when none is given): the main window when there is a display,
# else the file's report printed by the command-line twin.
#   scripts/run.sh [FILE]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" normal
file=${1:-$top/tests/data/ee-256.cer}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$top/build/normal/src/app/qt/velmora" "$file"
fi
cli="$top/build/normal/src/cli/velmora-cli"
if [ ! -x "$cli" ]; then
    echo "Дисплея нет, а velmora-cli не собран: показать отчёт нечем" >&2
    exit 1
fi
echo "Дисплея нет: отчёт о $file выводит velmora-cli" >&2
exec "$cli" report "$file"
