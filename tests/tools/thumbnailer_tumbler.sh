#!/bin/sh
# The thumbnailer as file managers use it: installed with its .thumbnailer
# entry into a prefix, run by the thumbnail service (tumbler) in a D-Bus
# session of its own, its picture read back by tumbler into the cache.
#   thumbnailer_tumbler.sh THUMBNAILER ENTRY FIXTURE_WRITER
# Exits 77 (skipped) only when tumbler or a session bus cannot be had.
set -eu
uri() { gio info "$1" | sed -n 's/^uri: //p'; }
mime() { gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'; }
if [ "$1" = --in-session ]; then
    work=$2 service=org.freedesktop.thumbnails.Thumbnailer1 uris= types=
    : >"$work/session"
    "$3" >"$work/tumblerd.log" 2>&1 &
    tumbler=$!
    # Tumbler signals the caller alone: only a monitor hears it.
    dbus-monitor "type='signal',interface='$service'" >"$work/signals" &
    trap 'kill $tumbler $!' EXIT
    for f in "$work"/files/*; do
        uris="$uris${uris:+,}'$(uri "$f")'" types="$types${types:+,}'$(mime "$f")'"
    done
    for _ in $(seq 600); do
        # Asked before tumbler has its name, the bus would start another one.
        gdbus call -e -d org.freedesktop.DBus -o /org/freedesktop/DBus \
            -m org.freedesktop.DBus.NameHasOwner $service | grep -q true &&
            grep -q NameLost "$work/signals" && handle=$(gdbus call -e -d $service \
            -o /org/freedesktop/thumbnails/Thumbnailer1 -m $service.Queue \
            "[$uris]" "[$types]" normal default 0 | sed 's/.* \([0-9]*\),)/\1/') && break
        sleep 0.1
    done
    for _ in $(seq 600); do
        grep -A 1 member=Finished "$work/signals" | grep -q "uint32 ${handle-none}\$" && exit
        sleep 0.1
    done
    cat "$work/signals" "$work/tumblerd.log" >&2
    exit 1
fi

tumblerd=$(ls /usr/lib/*/tumbler-1/tumblerd 2>/dev/null | head -n 1)
for tool in "$tumblerd" dbus-run-session dbus-monitor gdbus gio; do
    command -v "$tool" >/dev/null || { echo "SKIP: ${tool:-tumblerd} is missing"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prefix/bin" "$work/prefix/share/thumbnailers" "$work/home" "$work/files"
cp "$1" "$work/prefix/bin/"
cp "$2" "$work/prefix/share/thumbnailers/"
"$3" "$work"
mv "$work"/program.exe "$work"/library64.dll "$work"/old16.exe "$work"/none.exe \
    "$work"/none-cut.dll "$work/files/"
export HOME="$work/home" TMPDIR="$work/home" XDG_CACHE_HOME="$work/cache" \
    XDG_CONFIG_HOME="$work/home" XDG_DATA_HOME="$work/home" \
    XDG_DATA_DIRS="$work/prefix/share:/usr/share" PATH="$work/prefix/bin:$PATH"
dbus-run-session -- sh "$0" --in-session "$work" "$tumblerd" ||
    { [ -e "$work/session" ] || { echo "SKIP: no D-Bus session"; exit 77; }; exit 1; }

status=0
for f in "$work"/files/*; do
    thumb=$XDG_CACHE_HOME/thumbnails/normal/$(uri "$f" | tr -d '\n' | md5sum | cut -c 1-32).png
    case $f in */none*) want=none ;; */old16.exe) want=32 ;; *) want=128 ;; esac
    got=$([ -e "$thumb" ] && od -An -j 18 -N 2 -t u1 "$thumb" | awk '{ print $1 * 256 + $2 }' ||
        echo none)
    echo "$f ($(mime "$f")): thumbnail width $got, want $want"
    [ "$got" = "$want" ] || status=1
done
exit $status
