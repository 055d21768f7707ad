#!/usr/bin/env bash
# Builds the benchmarks (Release, -DVELMORA_BENCH=ON) and runs them.
#   bench/run.sh [CRL] [RUNS]
# Without a CRL, a 200,000-entry one is made with tests/data/make_fixtures.sh
# (python3 and the openssl command with the GOST engine) in a temporary folder.
# The listing is written beside the CRL, so the CRL is copied there first.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${VELMORA_BENCH_BUILD:-$ROOT/build/bench}
RUNS=${2:-5}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON \
    -DVELMORA_TESTS=OFF -DVELMORA_GUI=OFF >/dev/null
cmake --build "$BUILD" --target velmora_bench -j2 >/dev/null

if [[ $# -ge 1 ]]; then
    cp "$1" "$WORK/big.crl"
else
    "$ROOT/tests/data/make_fixtures.sh" big-crl "$WORK/big.crl" 200000
fi

"$BUILD/bench/velmora_bench" --crl "$WORK/big.crl" --runs "$RUNS"
