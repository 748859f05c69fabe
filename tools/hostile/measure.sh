#!/usr/bin/env bash
# Runs the program on a private X server and session bus against hostile cams
# (hostileserver.py) with a small cam at 1 s beside them, and prints what probe.py measured.
# Usage: measure.sh <build folder> <case> [seconds]; SHOT=<file.png> keeps the screen at the end
#   huge     one cam of alternating 8192 x 8192 JPEGs, selected, auto-saved (and its history)
#   padded   23 cams of 60 MB JPEGs every 30 s
#   bomb     23 cams of gzip bombs every second
#   tunnel   23 HTTPS cams through a proxy whose answer to CONNECT never ends
set -u
build=$(cd "$1" && pwd)
case=$2
seconds=${3:-60}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog" "$work/config/Tarvique Software"
port=$((20000 + RANDOM % 20000))
base="http://127.0.0.1:$port"

hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }
cams=() running="" autosave=0 selected=""
add() { # name address interval
    cams+=("$1" "$2" "$3")
    running+="${running:+;}$(( ${#cams[@]} / 3 - 1 ))=$(hex "$1")"
}
add "Small" "$base/small.jpg" 1
case $case in
huge) add "Huge" "$base/huge.jpg" 1; autosave=1; selected=Huge ;;
padded) for i in $(seq 1 23); do add "Padded $i" "$base/padded.jpg?$i" 30; done ;;
bomb) for i in $(seq 1 23); do add "Bomb $i" "$base/bomb.jpg?$i" 1; done ;;
tunnel) for i in $(seq 1 23); do add "Tunnel $i" "https://127.0.0.2:9/cam$i.jpg" 5; done ;;
*) echo "no such case: $case" >&2; exit 2 ;;
esac
{
    printf '\r\n'
    for ((i = 0; i < ${#cams[@]}; i += 3)); do
        printf '[name]%s\r\n%s\r\n%s\r\n\r\n' "${cams[i]}" "${cams[i + 1]}" "${cams[i + 2]}"
    done
} > "$work/prog/00camlist.txt"
printf '[Settings]\nshowHelp=0\nautoSave=%s\n[Session]\nrunningCams="%s"\nselectedCam=%s\n' \
    "$autosave" "$running" "$(hex "$selected")" \
    > "$work/config/Tarvique Software/Tarvique Webcams.ini"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
[ "$case" = tunnel ] && export https_proxy="http://127.0.0.1:$((port + 1))"
exec dbus-run-session -- xvfb-run -a -s '-screen 0 1920x1080x24' bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately & launcher=$!
    python3 "$2/hostileserver.py" '"$port"' "$1" > "$1/server.log" 2>&1 & server=$!
    for _ in $(seq 60); do grep -q ready "$1/server.log" 2>/dev/null && break; sleep 1; done
    "$0/dunmoral" --program-folder "$1/prog" >/dev/null 2>&1 & program=$!
    /usr/bin/python3 "$2/probe.py" $program '"$seconds"' "'"$base"'/count" 1; status=$?
    [ -n "${SHOT:-}" ] && import -window root "$SHOT"
    kill $program $server $launcher 2>/dev/null
    exit $status' "$build" "$work" "$here"
