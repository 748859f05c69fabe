#!/usr/bin/env bash
# Installs the Debian package made by `make package`, checks the installed program, its menu
# entry and metadata, and removes the package again (also when a check fails).
# Usage: tools/check-package.sh <build folder>
set -euo pipefail
build=${1:-build}
deb=$(ls "$build"/dunmoral_*.deb | head -1)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
# the platform plugins are loaded, not linked: the package names them itself
dpkg-deb -f "$deb" Depends | grep -q 'qt6-wayland' || { echo "the package does not depend on qt6-wayland" >&2; exit 1; }
$sudo dpkg -i "$deb"
trap '$sudo dpkg -r dunmoral >/dev/null' EXIT

/usr/bin/dunmoral --version
desktop-file-validate /usr/share/applications/example.tarvique.Webcams.desktop
appstreamcli validate --no-net /usr/share/metainfo/example.tarvique.Webcams.metainfo.xml
test -f /usr/share/dunmoral/Help.rtf
test -f /usr/share/dunmoral/translations/dunmoral_de.qm
test -f /usr/share/icons/hicolor/256x256/apps/example.tarvique.Webcams.png
test -f /usr/share/icons/hicolor/scalable/apps/example.tarvique.Webcams.svg

# The installed copy starts from its menu command and keeps its files in the user's data folder.
home=$(mktemp -d)
command=$(sed -n 's/^Exec=//p' /usr/share/applications/example.tarvique.Webcams.desktop)
# (machine-wide settings go to a scratch folder too: as root the program could write /etc/xdg)
HOME=$home XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_CONFIG_DIRS=$home/xdg QT_QPA_PLATFORM=offscreen \
    $command &
pid=$!
data="$home/.local/share/Tarvique Software/Tarvique Webcams"
for _ in $(seq 100); do [ -d "$data/cam" ] && break; sleep 0.1; done
kill -TERM "$pid"
wait "$pid"
test -f "$data/00camlist.txt"
test ! -e /usr/bin/00camlist.txt
test ! -e /usr/bin/cam
rm -rf "$home"
echo "the installed program works"
