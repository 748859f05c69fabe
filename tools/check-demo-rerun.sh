#!/usr/bin/env bash
# The demo cams work on every run of the demo script: run twice on two ports, the list follows
# democam's port. Usage: tools/check-demo-rerun.sh <build folder>
set -euo pipefail
build=${1:-build}
list="$build/00camlist.txt"
kept=$(mktemp)
[ -e "$list" ] && cp "$list" "$kept"
rm -f "$list"
DEMO_PORTS="8191" DUNMORAL=true tools/run-with-democam.sh "$build" >/dev/null
DEMO_PORTS="8192" DUNMORAL=true tools/run-with-democam.sh "$build" >/dev/null
ports=$(grep -aoE '127\.0\.0\.1:[0-9]+' "$list" | sort -u)
rm -f "$list"
[ -s "$kept" ] && cp "$kept" "$list"
rm -f "$kept"
if [ "$ports" != "127.0.0.1:8192" ]; then
    echo "the demo cams point at $ports after a run on port 8192" >&2
    exit 1
fi
echo "the demo cams follow democam's port"
