#!/bin/sh
# Runs a test with a real Secret Service: a private session bus and a gnome-keyring-daemon
# whose login keyring lives in a temporary home and is unlocked for the test. Exits 77 (CTest's
# skip) when the daemon or dbus-run-session is missing.
# Usage: tests/testsupport/with-keyring.sh <test program> [arguments ...]
command -v gnome-keyring-daemon >/dev/null && command -v dbus-run-session >/dev/null || {
    echo "gnome-keyring-daemon or dbus-run-session is not installed" >&2
    exit 77
}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/data" "$home/run"
chmod 700 "$home/run"
HOME=$home XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/run dbus-run-session -- sh -c '
    eval "$(printf "test password" | gnome-keyring-daemon --unlock --components=secrets)"
    export GNOME_KEYRING_CONTROL
    "$@"
    status=$?
    kill "$GNOME_KEYRING_PID" 2>/dev/null
    exit $status' keyring "$@"
