#!/usr/bin/env bash
# Brings the .ts files up to the sources (lupdate), keeping the translations of texts that moved
# to another class, and lists what is left to translate. Usage: tools/translations/update.sh [build]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
for ts in resources/translations/*.ts; do cp "$ts" "$work/"; done
cmake --build "$build" --target update_translations >/dev/null
for ts in resources/translations/*.ts; do
    python3 tools/translations/carry-over.py "$ts" "$work/$(basename "$ts")"
done
cmake --build "$build" --target update_translations >/dev/null
