#!/usr/bin/env bash
# Every text of the sources is translated in every .ts file: lupdate is run over the sources
# into a copy of each file, so a text added to the code and not yet translated is found too.
# Usage: translations-complete.sh <lupdate> <source folder> <ts file>...
set -u
lupdate=$1 sources=$2; shift 2
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
status=0
for ts in "$@"; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    "$lupdate" -silent -no-obsolete -locations none -I "$sources" "$sources" -ts "$copy" || exit 1
    untranslated=$(grep -c -e 'type="unfinished"' -e '<translation></translation>' "$copy")
    if [ "$untranslated" -ne 0 ]; then
        echo "$(basename "$ts"): $untranslated texts not translated:"
        grep -B3 'type="unfinished"' "$copy" | grep '<source>' | head -20
        status=1
    fi
done
exit $status
