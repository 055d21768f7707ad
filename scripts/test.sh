#!/usr/bin/env bash
# Sets up from nothing, builds and runs every test twice: a normal build and
# an AddressSanitizer + UndefinedBehaviorSanitizer build; between them makes
# and checks the packages (scripts/check-package.sh: lintian, and an install
# round trip into this machine, which it leaves as it found it). Exits
# non-zero on any failure.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== форматирование"
cd "$top"
unformatted=$(git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror 2>&1 | grep -c 'error:' || true)
if [ "$unformatted" != "0" ]; then
    git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror
    echo "clang-format: исправьте оформление (clang-format -i)" >&2
    exit 1
fi

for flavour in normal asan; do
    echo "== сборка: $flavour"
    "$top/scripts/build.sh" "$flavour" -DVELMORA_WERROR=ON
    echo "== тесты: $flavour"
    ctest --test-dir "$top/build/$flavour" --output-on-failure -j "$(nproc)"
    if [ "$flavour" = normal ]; then
        # Right after the normal build, whose objects the package build takes
        # from ccache.
        echo "== пакеты"
        "$top/scripts/check-package.sh" -DVELMORA_WERROR=ON
    fi
done
