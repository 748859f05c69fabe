#!/usr/bin/env bash
# Starts the program on a private X server and session bus with the accessibility bus, a cam
# of the demo server running, and walks it with walk.py. Extra arguments go to walk.py.
# Usage: run.sh <build folder> [walk.py arguments]; LANG chooses the program's language.
set -u
build=$(cd "$1" && pwd); shift
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog" "$work/config/Tarvique Software"
port=$((20000 + RANDOM % 20000))
printf '\r\n[name]Harbour\r\nhttp://127.0.0.1:%s/harbour.jpg\r\n5\r\n\r\n' "$port" \
    > "$work/prog/00camlist.txt"
hex=$(printf Harbour | od -An -tx1 | tr -d ' \n')
printf '[Settings]\nshowHelp=0\n[Session]\nrunningCams=0=%s\nselectedCam=%s\n' "$hex" "$hex" \
    > "$work/config/Tarvique Software/Tarvique Webcams.ini"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
exec dbus-run-session -- xvfb-run -a -s '-screen 0 1600x1000x24' bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately & launcher=$!
    "$0/tools/democam" '"$port"' >/dev/null 2>&1 & democam=$!
    sleep 1
    "$0/dunmoral" --program-folder "$1/prog" & program=$!
    /usr/bin/python3 "${WALK:-$2/walk.py}" "Tarvique Webcams" "${@:3}"; status=$?
    kill $program $democam $launcher 2>/dev/null
    exit $status' "$build" "$work" "$here" "$@"
