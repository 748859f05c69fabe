#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and the address and undefined-behaviour
# sanitizers, and runs each for the given number of seconds on its seed corpus.
# Usage: fuzz/run.sh [seconds a target] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
out=build-fuzz
mkdir -p "$out"
CXX=${CXX_FUZZ:-clang++}
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -Isrc)

declare -A sources=(
    [fuzz_response]="src/fetch/response.cpp src/common/numbertext.cpp src/fetch/judgement.cpp src/fetch/httphead.cpp src/fetch/chunked.cpp"
    [fuzz_address]="src/fetch/camaddress.cpp"
    [fuzz_camlist]="src/camlist/camlisttext.cpp"
    [fuzz_daytime]="src/fetch/daytime.cpp"
    [fuzz_rtf]="src/ui/rtfreader.cpp src/common/numbertext.cpp"
    [fuzz_savename]="src/imaging/savename.cpp"
    [fuzz_picturecheck]="src/imaging/picturecheck.cpp"
    [fuzz_number]="src/common/numbertext.cpp src/fetch/response.cpp src/fetch/httphead.cpp src/fetch/chunked.cpp"
    [fuzz_chunked]="src/fetch/chunked.cpp src/common/numbertext.cpp"
    [fuzz_location]="src/fetch/location.cpp src/fetch/camaddress.cpp"
    [fuzz_headers]="src/fetch/httphead.cpp"
)
# the reception of an answer gathers it in Qt's byte array
declare -A usesQtCore=([fuzz_response]=1 [fuzz_number]=1)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_response fuzz_address fuzz_camlist fuzz_daytime fuzz_rtf
                                     fuzz_savename fuzz_picturecheck fuzz_number fuzz_chunked
                                     fuzz_location fuzz_headers)

for target in "${targets[@]}"; do
    qtFlags=() qtLibs=()
    if [ -n "${usesQtCore[$target]:-}" ]; then
        read -ra qtFlags <<<"$(pkg-config --cflags Qt6Core) -fPIC"
        read -ra qtLibs <<<"$(pkg-config --libs Qt6Core)"
    fi
    # shellcheck disable=SC2086
    "$CXX" "${flags[@]}" "${qtFlags[@]}" "fuzz/targets/$target.cpp" ${sources[$target]} \
        "${qtLibs[@]}" -o "$out/$target"
done
for target in "${targets[@]}"; do
    corpus="$out/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target: $seconds s"
    "$out/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus" "fuzz/seeds/$target" 2>&1 | tail -n 12
done
