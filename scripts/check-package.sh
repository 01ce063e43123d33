#!/usr/bin/env bash
# Builds the Debian package and checks it as a new user would meet it:
# unpacked into a temporary root, its desktop entry and metadata validated
# with the distribution's own tools, lintian without errors, the installed
# program started offscreen once (settings read from and written to the XDG
# place, nothing beside the program), the thumbnailer run on fixtures.
#   scripts/check-package.sh FIXTURE_WRITER
# FIXTURE_WRITER is the test build's write_thumbnail_fixtures; the package
# is built in build-package/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
[ $# -eq 1 ] || { echo "usage: $0 FIXTURE_WRITER" >&2; exit 2; }
writer="$(realpath "$1")"
build="$root/build-package"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRURORODODE_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build"
rm -f "$build"/rurorodode_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/rurorodode_*.deb)
echo "package: $deb"

work=$(mktemp -d /tmp/rurorodode-package-XXXXXX)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "check-package: $*" >&2
    exit 1
}

# Dependencies come from the libraries the programs use.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libpng16-16 libc6; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done

dpkg-deb -x "$deb" "$work/root"
usr="$work/root/usr"
for f in bin/rurorodode bin/iconprobe bin/rurorodode-thumbnailer \
    share/rurorodode/Zadore~2.hlp \
    share/applications/com.example.Rurorodode.desktop \
    share/metainfo/com.example.Rurorodode.metainfo.xml \
    share/thumbnailers/rurorodode.thumbnailer \
    share/man/man1/rurorodode.1.gz share/man/man1/iconprobe.1.gz \
    share/man/man1/rurorodode-thumbnailer.1.gz share/doc/rurorodode/copyright \
    share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/rurorodode.png; do
    [ -e "$usr/$f" ] || fail "missing /usr/$f"
done

desktop-file-validate "$usr/share/applications/com.example.Rurorodode.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/com.example.Rurorodode.metainfo.xml"
grep -q "<project_license>MIT</project_license>" \
    "$usr/share/metainfo/com.example.Rurorodode.metainfo.xml" || fail "metainfo licence"
grep -q "^License: Expat" "$usr/share/doc/rurorodode/copyright" || fail "copyright licence"
for page in rurorodode iconprobe rurorodode-thumbnailer; do
    if zcat "$usr/share/man/man1/$page.1.gz" | man -l - 2>&1 >/dev/null | grep .; then
        fail "manual page $page has warnings"
    fi
done

if command -v lintian >/dev/null; then
    # Errors fail the check; warnings are shown.
    lintian --fail-on error --suppress-tags no-manual-page "$deb" || fail "lintian reports errors"
fi

# Installing must not change what opens a user's files: with an image
# viewer and Wine installed and no preference set, each kind of file opens
# with the same program with the package as without it.
files="$work/files"
mkdir -p "$files/My Programs" "$work/config/rurorodode" "$work/samples"
"$writer" "$files/My Programs"
for f in program.exe library64.dll old16.exe icon.ico pointer.cur busy.ani; do
    cp "$files/My Programs/$f" "$work/samples/"
done
cp "$files/My Programs/library64.dll" "$work/samples/saver.scr"
cp "$files/My Programs/library64.dll" "$work/samples/panel.cpl"
printf 'BM' >"$work/samples/picture.bmp"
others="$work/others/applications"
mkdir -p "$others" "$work/with/applications" "$work/fakebin"
printf '[Desktop Entry]\nType=Application\nName=Viewer\nExec=true %%f\nMimeType=%s\n' \
    'image/bmp;image/vnd.microsoft.icon;image/x-icon;image/x-win-bitmap;' \
    >"$others/org.example.Viewer.desktop"
printf '[Desktop Entry]\nType=Application\nName=Wine\nExec=true %%f\nMimeType=%s\n' \
    'application/x-ms-dos-executable;application/x-msi;' >"$others/wine.desktop"
cp -r "$usr/share/." "$work/with/"
cp "$others"/*.desktop "$work/with/applications/"
for dir in "$others" "$work/with/applications"; do update-desktop-database "$dir" >/dev/null 2>&1; done
[ ! -d "$work/with/mime/packages" ] || update-mime-database "$work/with/mime"
ln -sf "$usr/bin/rurorodode" "$work/fakebin/rurorodode" # TryExec finds it
# The program that opens file, seen through the data folders dirs.
opener() {
    env -i PATH="$work/fakebin:/usr/bin:/bin" HOME="$work/home" XDG_DATA_HOME="$work/home/data" \
        XDG_CONFIG_HOME="$work/home/config" XDG_DATA_DIRS="$1:/usr/share" \
        sh -c 'type=$(gio info -a standard::content-type "$0" | sed -n "s/.*content-type: //p")
               answer=$(gio mime "$type"); echo "$type: ${answer%%
*}"' "$2"
}
for f in "$work"/samples/*; do
    before=$(opener "$work/others" "$f")
    after=$(opener "$work/with" "$f")
    echo "${f##*/}: $after"
    [ "$before" = "$after" ] || fail "installing changes what opens ${f##*/}: $before, now $after"
    ! grep -q Rurorodode <<<"$after" || fail "installing makes it the opener of ${f##*/}"
done

# The installed program, offscreen: it reads its folder from the XDG place
# and writes it back there on SIGTERM, and never writes beside itself.
# Runs the installed program offscreen with ARGS in folder "$work", lets it
# settle and closes it as a session end does; the folder it was in is then
# in its settings.
run_and_close() {
    env -C "$work" -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
        XDG_CONFIG_HOME="$work/config" HOME="$work" XDG_RUNTIME_DIR="$work" \
        "$usr/bin/rurorodode" "$@" >"$work/run.log" 2>&1 &
    pid=$!
    sleep 3
    kill -0 "$pid" 2>/dev/null || fail "the program did not keep running: $(cat "$work/run.log")"
    kill -TERM "$pid"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "the program did not close on SIGTERM"
    wait "$pid" || fail "the program failed: $(cat "$work/run.log")"
    pid=
}
printf '[Locations]\nLastDir=%s\n' "$files/My Programs" >"$work/config/rurorodode/Rurorodode.ini"
run_and_close
grep -qx "LastDir=$files/My Programs" "$work/config/rurorodode/Rurorodode.ini" ||
    fail "the folder was not kept: $(cat "$work/config/rurorodode/Rurorodode.ini")"
# After "--" every argument is a path, even one the toolkit would take as
# its own option.
mkdir -p "$work/-reverse"
run_and_close -- -reverse
grep -qx "LastDir=$work/-reverse" "$work/config/rurorodode/Rurorodode.ini" ||
    fail "-- -reverse did not open the folder: $(cat "$work/config/rurorodode/Rurorodode.ini")"
[ ! -e "$usr/bin/Rurorodode.ini" ] || fail "settings written beside the installed program"
"$usr/bin/rurorodode" --help | grep -q "usage: rurorodode" || fail "--help"
for command in rurorodode iconprobe rurorodode-thumbnailer; do
    "$usr/bin/$command" --version | grep -qx "$command [0-9.]*" || fail "$command --version"
done

# The thumbnailer as a file manager calls it.
thumb="$usr/bin/rurorodode-thumbnailer"
for f in "$files/My Programs"/*; do
    out="$work/thumb.png"
    rm -f "$out"
    case "$f" in
    *none*)
        if "$thumb" -s 128 "$f" "$out" 2>/dev/null; then fail "thumbnail of $f"; fi
        [ ! -e "$out" ] || fail "output written for $f"
        ;;
    *)
        "$thumb" -s 128 "$f" "$out" || fail "no thumbnail of $f"
        file "$out" | grep -q "PNG image data, .* RGBA" || fail "not an RGBA PNG: $(file "$out")"
        ;;
    esac
done
"$usr/bin/iconprobe" count "$files/My Programs" >/dev/null
echo "check-package: all checks pass"
