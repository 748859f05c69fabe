#!/usr/bin/env bash
# Starts democam in the background, gives the program folder a cam list of the demo cams (or
# points the demo cams of an existing list at the port democam has this time), runs the
# program, and stops democam when the program exits.
# Usage: tools/run-with-democam.sh <build folder>
# DEMO_PORTS (the ports to try, in order) and DUNMORAL (the program to run) may be set.
set -u
build=${1:-build}
democam="$build/tools/democam"
# a video cam too: ffmpeg writes a live HLS playlist of a test picture into a folder democam
# serves as /files/
videos=$(mktemp -d)
videoPid=""
if command -v ffmpeg >/dev/null; then
    ffmpeg -loglevel error -re -f lavfi -i "testsrc2=size=640x360:rate=15" -c:v libx264 \
        -preset ultrafast -tune zerolatency -g 30 -f hls -hls_time 2 -hls_list_size 5 \
        -hls_flags delete_segments "$videos/garden.m3u8" </dev/null >/dev/null 2>&1 &
    videoPid=$!
fi
port=""
for candidate in ${DEMO_PORTS:-8088 8089 8090 8091 8092 8093 8094 8095 8096 8097}; do
    "$democam" "$candidate" "$videos" >/dev/null 2>&1 &
    pid=$!
    sleep 0.5
    if kill -0 "$pid" 2>/dev/null; then
        port=$candidate
        break
    fi
done
if [ -z "$port" ]; then
    echo "democam could not find a free port; starting without demo cams" >&2
else
    trap 'kill "$pid" $videoPid 2>/dev/null; rm -rf "$videos"' EXIT INT TERM
    echo "democam serves on http://127.0.0.1:$port/"
fi

list="$build/00camlist.txt"
demoPaths='harbour\.jpg|hilltop-1280x720\.jpg|market\.jpg|lighthouse\.gif|station-1920x1080\.jpg|northgate-800x600\.jpg|missing\.jpg|quay\.mjpg\?fps=10|carpark\.jpg\?cgi|files/garden\.m3u8|frontgate\.jpg\?every=1&walker'
if [ -n "$port" ] && [ ! -e "$list" ]; then
    base="http://127.0.0.1:$port"
    {
        printf '\r\n'
        printf '[name]%s\r\n%s\r\n%s\r\n\r\n' \
            "Harbour" "$base/harbour.jpg" 5 \
            "Hill top" "$base/hilltop-1280x720.jpg" 7 \
            "Market square" "$base/market.jpg" 4 \
            "Lighthouse (GIF)" "$base/lighthouse.gif" 6 \
            "Station, full HD" "$base/station-1920x1080.jpg" 10 \
            "North gate" "$base/northgate-800x600.jpg" 3 \
            "Quay (stream)" "$base/quay.mjpg?fps=10" 1 \
            "Car park (no dates)" "$base/carpark.jpg?cgi" 5 \
            "Garden (video, HLS)" "$base/files/garden.m3u8" 2 \
            "Front gate (someone passes)" "$base/frontgate.jpg?every=1&walker" 1 \
            "Missing cam" "$base/missing.jpg" 30
    } > "$list"
    echo "wrote the demo cams into $list"
elif [ -n "$port" ]; then
    # democam may have another port than last time: the demo cams follow it
    sed -E -i "s#^http://127\.0\.0\.1:[0-9]+/($demoPaths)(\r?)\$#http://127.0.0.1:$port/\1\2#" "$list"
fi

(cd "$build" && ${DUNMORAL:-./dunmoral})
status=$?
[ -n "$port" ] && kill "$pid" 2>/dev/null
[ -n "$videoPid" ] && kill "$videoPid" 2>/dev/null
exit $status
