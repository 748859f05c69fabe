#!/usr/bin/env bash
# Builds the fuzz targets with CMake from the program's own libraries (clang's libFuzzer with
# the address and undefined-behaviour sanitizers), and runs each for the given number of
# seconds on its seed corpus.
# Usage: fuzz/run.sh [seconds a target] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
out=build-fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < <(cd fuzz/targets && ls -- *.cpp | sed 's/\.cpp$//')
fi
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWEBCAMS_FUZZ=ON \
    -DCMAKE_CXX_COMPILER="${CXX_FUZZ:-clang++}" >/dev/null
cmake --build "$out" --target "${targets[@]}"
for target in "${targets[@]}"; do
    corpus="$out/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target: $seconds s"
    "$out/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus" "fuzz/seeds/$target" 2>&1 | tail -n 12
done
