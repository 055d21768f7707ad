#!/usr/bin/env bash
# Builds the benchmarks (Release, -DVELMORA_BENCH=ON) and runs them.
#   bench/run.sh [CRL [BIG-CRL]] [RUNS]
# Without CRLs, a 200,000-entry one (for time) and a 1,000,000-entry one (for
# memory) are made with tests/data/make_fixtures.sh (python3 and the openssl
# command with the GOST engine) in a temporary folder. The listing is written
# beside the CRL, so the CRLs are copied there first.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${VELMORA_BENCH_BUILD:-$ROOT/build/bench}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON \
    -DVELMORA_TESTS=OFF -DVELMORA_GUI=OFF >/dev/null
cmake --build "$BUILD" --target velmora_bench -j2 >/dev/null

RUNS=5
if [[ $# -ge 2 && -f $1 && -f $2 ]]; then
    cp "$1" "$WORK/big.crl"
    cp "$2" "$WORK/huge.crl"
    RUNS=${3:-5}
elif [[ $# -ge 1 && -f $1 ]]; then
    cp "$1" "$WORK/big.crl"
    "$ROOT/tests/data/make_fixtures.sh" big-crl "$WORK/huge.crl" 1000000
    RUNS=${2:-5}
else
    "$ROOT/tests/data/make_fixtures.sh" big-crl "$WORK/big.crl" 200000
    "$ROOT/tests/data/make_fixtures.sh" big-crl "$WORK/huge.crl" 1000000
    RUNS=${1:-5}
fi

"$BUILD/bench/velmora_bench" --crl "$WORK/big.crl" --big-crl "$WORK/huge.crl" --runs "$RUNS"
