#!/usr/bin/env bash
# The program under Wayland: a headless Weston, Qt's Wayland platform, one demo cam started from
# the session and auto-saved; passes when the window opened and the cam's first picture was
# saved. Usage: tools/check-wayland.sh <build folder>
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d)
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --socket=wayland-check --idle-time=0 \
    >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/wayland-check" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/wayland-check" ] || { cat "$work/weston.log" >&2; exit 1; }

port=""
for candidate in 8291 8292 8293 8294 8295; do
    "$build/tools/democam" "$candidate" >/dev/null 2>&1 &
    pid=$!
    sleep 0.5
    if kill -0 "$pid" 2>/dev/null; then port=$candidate; pids+=("$pid"); break; fi
done
[ -n "$port" ] || { echo "democam found no free port" >&2; exit 1; }

mkdir -p "$work/program" "$XDG_CONFIG_HOME/Tarvique Software"
printf '\r\n[name]Harbour\r\nhttp://127.0.0.1:%s/harbour.jpg\r\n1\r\n\r\n' "$port" \
    >"$work/program/00camlist.txt"
cat >"$XDG_CONFIG_HOME/Tarvique Software/Tarvique Webcams.ini" <<INI
[Session]
runningCams="0=$(printf Harbour | od -An -tx1 | tr -d ' \n')"

[Settings]
showHelp=0
autoSave=1
INI

# the client's side of the protocol is logged: the window is there once the compositor has
# configured a top-level surface
WAYLAND_DEBUG=client WAYLAND_DISPLAY=wayland-check QT_QPA_PLATFORM=wayland \
    "$build/dunmoral" --program-folder "$work/program" >"$work/program.log" 2>&1 &
program=$!
pids+=("$program")
for _ in $(seq 150); do
    if find "$work/program/cam" -name '*.jpg' 2>/dev/null | grep -q . &&
        grep -q 'xdg_toplevel@[0-9]*\.configure' "$work/program.log"; then
        kill -0 "$program" 2>/dev/null || break
        echo "under Wayland: the window opened and the cam's first picture was saved"
        exit 0
    fi
    kill -0 "$program" 2>/dev/null || break
    sleep 0.2
done
echo "under Wayland: no window, or no picture saved; the program said:" >&2
grep -v '^\[' "$work/program.log" | tail -40 >&2
exit 1
