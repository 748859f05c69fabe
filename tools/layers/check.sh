#!/usr/bin/env bash
# Reads every #include "..." under src/ and fails on one that breaks the table in allowed.txt:
# a project header must be named with its folder ("net/camfetcher.h"), and that folder must
# be the file's own or one the table allows. With --matrix it prints who includes whom.
set -euo pipefail
cd "$(dirname "$0")/../.."
declare -A allowed
while IFS=: read -r folder uses; do
    [[ -z "$folder" || "$folder" == \#* ]] && continue
    allowed[$folder]=" $uses "
done < tools/layers/allowed.txt

declare -A matrix
failures=0
while IFS= read -r file; do
    rel=${file#src/}
    if [[ "$rel" == */* ]]; then own=${rel%%/*}; else own=$rel; fi
    if [[ -z "${allowed[$own]+x}" ]]; then
        echo "$file: the folder '$own' is not in tools/layers/allowed.txt"
        failures=$((failures + 1))
        continue
    fi
    while IFS= read -r line; do
        header=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"${line#*:}")
        number=${line%%:*}
        if [[ "$header" != */* ]]; then
            echo "$file:$number: \"$header\" names no folder"
            failures=$((failures + 1))
            continue
        fi
        target=${header%%/*}
        matrix["$own $target"]=$(( ${matrix["$own $target"]:-0} + 1 ))
        [[ "$target" == "$own" ]] && continue
        if [[ "${allowed[$own]}" != *" $target "* ]]; then
            echo "$file:$number: $own may not include $header"
            failures=$((failures + 1))
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find src -name '*.h' -o -name '*.cpp' | sort)

# The lowest folders stay free of the user interface: only the Qt modules listed may be included.
declare -A qtModules=([common]="QtCore" [source]="QtCore" [net]="QtCore QtNetwork" [config]="QtCore QtDBus" [camlist]="QtCore" [engine]="QtCore QtGui QtNetwork" [history]="QtCore QtGui" [timelapse]="QtCore QtGui")
qtHeaders=$(pkg-config --variable=includedir Qt6Core 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)
for folder in "${!qtModules[@]}"; do
    while IFS= read -r line; do
        file=${line%%:*}
        header=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*<([^>]+)>.*/\1/' <<<"$line")
        if [[ "$header" == */* ]]; then
            module=${header%%/*}
        else
            module=$(cd "$qtHeaders" && for m in Qt*; do [[ -e "$m/$header" ]] && echo "$m" && break; done)
        fi
        [[ -z "$module" || " ${qtModules[$folder]} " == *" $module "* ]] && continue
        echo "$file: $folder may not include <$header> ($module)"
        failures=$((failures + 1))
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' src/"$folder"/*.h src/"$folder"/*.cpp | sed -E 's/^([^:]+):[0-9]+:/\1:/' || true)
done

if [[ "${1:-}" == "--matrix" ]]; then
    # the table's folders, lowest first
    folders=()
    while IFS=: read -r folder _; do
        [[ -z "$folder" || "$folder" == \#* || "$folder" == *.cpp ]] && continue
        folders+=("$folder")
    done < tools/layers/allowed.txt
    printf '%-10s' "includes"
    for to in "${folders[@]}"; do printf '%10s' "$to"; done
    echo
    for from in "${folders[@]}"; do
        printf '%-10s' "$from"
        for to in "${folders[@]}"; do printf '%10s' "${matrix["$from $to"]:-.}"; done
        echo
    done
fi
if ((failures > 0)); then
    echo "$failures include(s) against the layer table"
    exit 1
fi
echo "includes follow the layer table"
