#!/bin/sh
# Closing collapses the window on Wayland too, where the window system cuts
# no shape and the collapse is painted: part way through, the screen shows
# between a fifth and four fifths of what it showed at the start. Read from
# the compositor's own screenshots (weston, headless). Skipped (77) without
# weston. Usage: closing_wayland_test.sh PROGRAM WORKDIR
set -u
for tool in weston weston-screenshooter convert; do command -v $tool >/dev/null || exit 77; done
work=$2
rm -rf "$work" && mkdir -p "$work/run" "$work/shots" && chmod 700 "$work/run" || exit 1
cp "$1" "$work/" || exit 1 # its settings file goes beside the copy
printf '[shell]\nbackground-color=0xff000000\npanel-position=none\n' >"$work/weston.ini"
export XDG_RUNTIME_DIR="$work/run"
weston --backend=headless-backend.so --socket=close-test --width=1024 --height=768 \
    --use-pixman --debug --idle-time=0 --config="$work/weston.ini" >"$work/weston.log" 2>&1 &
compositor=$!
trap 'kill $compositor 2>/dev/null' EXIT
tries=0
until [ -S "$work/run/close-test" ]; do
    tries=$((tries + 1))
    [ $tries -gt 100 ] && { echo "SKIP: weston did not start"; exit 77; }
    sleep 0.1
done
export WAYLAND_DISPLAY=close-test
# How much of the black screen is lit, as a share of its brightest.
lit() {
    (cd "$work/shots" && rm -f ./*.png && weston-screenshooter >/dev/null 2>&1 &&
        convert ./*.png -format '%[fx:mean]' info:) 2>/dev/null
}
# Leaks are the unit tests' to find, not what the Wayland plugin keeps.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" QT_QPA_PLATFORM=wayland "$work/$(basename "$1")" &
program=$!
start=0
tries=0
while [ $tries -lt 300 ]; do # the window up and drawn: the same twice
    tries=$((tries + 1))
    now=$(lit) || now=0
    [ "$now" != 0 ] && [ "$now" = "$start" ] && break
    start=$now
    sleep 0.2
done
[ "$start" != 0 ] || { echo "FAIL: the window never showed"; exit 1; }
kill -TERM $program
seen=""
partway=no
while kill -0 $program 2>/dev/null; do
    now=$(lit) || continue
    seen="$seen $now"
    if awk -v n="$now" -v s="$start" 'BEGIN { exit !(n > s / 5 && n < s * 4 / 5) }'; then
        partway=yes
        break
    fi
done
wait $program # the compositor stays until the program is done with it
[ $partway = yes ] && exit 0
echo "FAIL: lit $start at the start, then:$seen" >&2
exit 1
