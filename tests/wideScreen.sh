#!/usr/bin/env bash
# The tests that need two monitors side by side ("wide screen"): a virtual screen of 1824 x 768 of
# their own, and a Wine prefix of their own, since Wine keeps one screen size per running prefix.
# Pictures the tests ask for are taken from the X side into BIN_DIR/wide-screen/.
# usage: wideScreen.sh SOURCE_DIR BIN_DIR
set -uo pipefail
source=$1
bin=$2
export WINEPREFIX=${bin%/}/../wineprefix-wide
shots=${bin%/}/wide-screen
rm -rf "$shots"
mkdir -p "$shots"

n=120
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1824x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
grabber=""
stop() {
    [ -n "$grabber" ] && kill "$grabber" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    kill "$xvfb" 2>/dev/null
}
trap stop EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$n" ] || { echo "wide screen: Xvfb did not start on :$n"; exit 1; }
export DISPLAY=":$n"

"$source/tools/screen-grabber" "$shots" $$ &
grabber=$!
KIV_GRAB="Z:${shots//\//\\}" "$source/cmake/wine-run" "$bin/kiv_e2e_tests.exe" -ts="wide screen"
