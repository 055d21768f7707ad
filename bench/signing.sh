#!/usr/bin/env bash
# Builds velmora-cli and the signing benchmark (Release) and runs it.
#   bench/signing.sh [FILES] [BIG_MB]     defaults: 1000 small files, a 2048 MB file
# The big file is written to the temporary folder (TMPDIR) and removed afterwards.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${VELMORA_BENCH_BUILD:-$ROOT/build/bench}
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON \
    -DVELMORA_TESTS=OFF -DVELMORA_GUI=OFF >/dev/null
cmake --build "$BUILD" --target velmora_signing_bench velmora-cli -j2 >/dev/null
OPENSSL_CONF=/dev/null "$BUILD/bench/velmora_signing_bench" --cli "$BUILD/src/cli/velmora-cli" \
    --files "${1:-1000}" --big-mb "${2:-2048}"
