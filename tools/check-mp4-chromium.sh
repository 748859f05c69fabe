#!/usr/bin/env bash
# An MP4 film made by the command line's export plays in Chromium's <video>, headless: its
# size and length are read and it starts playing. Usage: tools/check-mp4-chromium.sh <build>
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program/cam"
# twenty saved pictures of a cam, as auto-save names them
ffmpeg -loglevel error -f lavfi -i "testsrc2=size=640x360:rate=1" -frames:v 20 -q:v 3 \
    "$work/frame-%02d.jpg"
for i in $(seq -w 1 20); do
    mv "$work/frame-$i.jpg" "$work/program/cam/Harbour~2026-12-08_10-00-$i.jpg"
done
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen "$build/dunmoral" \
    --program-folder "$work/program" --export-timelapse Harbour "$work/film.mp4" --fps 10
cat >"$work/play.html" <<'HTML'
<html><head><title>start</title></head><body><video id="v" src="film.mp4" muted></video>
<script>
const v = document.getElementById('v');
const say = t => { document.title += ' | ' + t; };
v.addEventListener('loadedmetadata', () => say('meta ' + v.videoWidth + 'x' + v.videoHeight));
v.addEventListener('playing', () => say('playing'));
v.addEventListener('error', () => say('error ' + (v.error && v.error.code)));
v.play().catch(e => say('play failed ' + e));
</script></body></html>
HTML
title=$(timeout 120 chromium --headless=new --no-sandbox --disable-gpu --user-data-dir="$work/chromium" \
    --allow-file-access-from-files --autoplay-policy=no-user-gesture-required \
    --virtual-time-budget=10000 --dump-dom "file://$work/play.html" 2>/dev/null |
    grep -o '<title>[^<]*</title>' || true)
if [[ "$title" != *"meta 640x360"*"playing"* ]]; then
    echo "Chromium did not play the MP4 film: $title" >&2
    exit 1
fi
echo "Chromium plays the MP4 film: $title"
