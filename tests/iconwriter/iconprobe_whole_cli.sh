#!/bin/sh
# iconprobe's whole-icon commands as a user runs them: list (text and JSON),
# save and save-all with --format ico-all, png and png-sizes, and --help. The sources
# are the ones the browser check saves (every kind of file, DIB and PNG
# images); written files are read back by iconprobe itself, by icotool and
# gdk-pixbuf when they are installed, and by their headers.
# Usage: iconprobe_whole_cli.sh ICONPROBE MAKE_WHOLE_ICON_PAGE WORKDIR
set -u
probe=$1
maker=$2
work=$3
rm -rf "$work" && mkdir -p "$work" || exit 1
"$maker" "$work/page" >/dev/null || { echo "cannot write the sources"; exit 1; }
src=$work/page/sources
fail() { echo "FAIL: $*"; exit 1; }
tab=$(printf '\t')
mixed="16x16x4/bitmap 32x32x8/bitmap 48x48x32/bitmap 24x24x24/bitmap"

# --help: on stdout, status 0, the new formats and commands described
help=$("$probe" --help) || fail "--help exited $?"
for word in ico-all png png-sizes "list \[--json\]" "save-all FOLDER DEST"; do
    echo "$help" | grep -q -- "$word" || fail "--help does not mention $word"
done
"$probe" save "$src/icon.ico" 0 "$work/x" --format ico-some 2>/dev/null
[ $? -eq 2 ] || fail "an unknown format is not a usage error"

# list: one line per icon, images in stored order
out=$("$probe" list "$src") || fail "list exited $?"
expected="$src/animated.ani${tab}0${tab}-${tab}$mixed 256x256x32/png
$src/dibs.exe${tab}0${tab}APP${tab}$mixed
$src/icon.ico${tab}0${tab}-${tab}$mixed 256x256x32/png
$src/mono.ico${tab}0${tab}-${tab}32x32x1/bitmap
$src/old.exe${tab}0${tab}#3${tab}$mixed
$src/picture.bmp${tab}0${tab}-${tab}40x40x24/bitmap
$src/pointer.cur${tab}0${tab}-${tab}$mixed 256x256x32/png
$src/program.exe${tab}0${tab}#1${tab}$mixed 256x256x32/png"
[ "$out" = "$expected" ] || fail "list printed:
$out"

# list --json: well-formed, the same icons
if command -v python3 >/dev/null 2>&1; then
    "$probe" list --json "$src/program.exe" "$src/dibs.exe" "$src/pointer.cur" >"$work/list.json" ||
        fail "list --json exited $?"
    python3 - "$work/list.json" <<'PY' || fail "list --json: $(cat "$work/list.json")"
import json, sys
files = json.load(open(sys.argv[1]))
assert [len(f["icons"]) for f in files] == [1, 1, 1], files
program, dibs, pointer = (f["icons"][0] for f in files)
assert program["id"] == 1 and dibs["name"] == "APP" and pointer["name"] is None
assert pointer["cursor"] and not program["cursor"]
big = program["images"][4]
assert (big["width"], big["height"], big["bits"], big["storage"]) == (256, 256, 32, "png"), big
assert [i["storage"] for i in dibs["images"]] == ["bitmap"] * 4
PY
fi

# save --format ico-all: the saved file lists the source's images
for name in program.exe old.exe pointer.cur animated.ani picture.bmp; do
    "$probe" save "$src/$name" 0 "$work/one" --format ico-all || fail "save $name exited $?"
    case $name in *.cur | *.ani) saved=$work/one.cur ;; *) saved=$work/one.ico ;; esac
    [ -f "$saved" ] || fail "$name: no $saved"
    want=$("$probe" list "$src/$name" | cut -f4)
    got=$("$probe" list "$saved" | cut -f4)
    [ "$got" = "$want" ] || fail "$name saved as $got, the source holds $want"
    if command -v icotool >/dev/null 2>&1; then
        entries=$(icotool -l "$saved" | wc -l)
        [ "$entries" -eq "$(echo "$want" | wc -w)" ] || fail "icotool sees $entries images in $saved"
    fi
    rm -f "$saved"
done

# save --format png: the largest image, stored PNG or decoded DIB
ihdr() { od -An -tu1 -j16 -N8 "$1" | tr -s ' ' | sed 's/^ //'; }
"$probe" save "$src/program.exe" 0 "$work/big" --format png || fail "save png exited $?"
[ "$(ihdr "$work/big.png")" = "0 0 1 0 0 0 1 0" ] || fail "program.png is not 256 x 256"
"$probe" save "$src/dibs.exe" 0 "$work/dib" --format png || fail "save dib png exited $?"
[ "$(ihdr "$work/dib.png")" = "0 0 0 48 0 0 0 48" ] || fail "dibs.png is not 48 x 48"

# save-all in the whole-icon formats: every file, named as the window names
# them; png-sizes gives each size of each icon a file of its own
for format in ico-all png png-sizes; do
    mkdir -p "$work/all-$format"
    out=$("$probe" save-all "$src" "$work/all-$format" --format $format) ||
        fail "save-all $format exited $?"
    [ "$out" = "8 files, 8 written, 0 errors" ] || fail "save-all $format: $out"
    listing=$(cd "$work/all-$format" && ls | tr '\n' ' ')
    if [ $format = png ]; then
        want="animated.png dibs.png icon.png mono.png old.png picture.png pointer.png program.png "
    elif [ $format = png-sizes ]; then
        want=""
        for b in animated dibs icon mono old picture pointer program; do
            case $b in mono) sizes=32x32 ;; picture) sizes=40x40 ;;
                dibs | old) sizes="16x16 24x24 32x32 48x48" ;;
                *) sizes="16x16 24x24 256x256 32x32 48x48" ;;
            esac
            for size in $sizes; do want="$want$b-$size.png "; done
        done
        [ "$(ihdr "$work/all-$format/program-24x24.png")" = "0 0 0 24 0 0 0 24" ] ||
            fail "program-24x24.png is not 24 x 24"
    else
        want="animated.cur dibs.ico icon.ico mono.ico old.ico picture.ico pointer.cur program.ico "
    fi
    [ "$listing" = "$want" ] || fail "save-all $format wrote: $listing"
    # What image viewers and file managers read them with.
    if command -v gdk-pixbuf-thumbnailer >/dev/null 2>&1; then
        for f in "$work/all-$format"/*; do
            gdk-pixbuf-thumbnailer -s 48 "$f" "$work/pixbuf.png" 2>"$work/err" ||
                fail "gdk-pixbuf cannot read $f: $(cat "$work/err")"
        done
    fi
done

# save-all -r: each folder's icons under the same folder in DEST, a linked
# folder (here a loop) not entered, hidden folders only with --hidden
mkdir -p "$work/tree/sub/deeper" "$work/tree/.hidden" || exit 1
cp "$src/icon.ico" "$work/tree/top.ico" && cp "$src/program.exe" "$work/tree/sub/deeper/p.exe" &&
    cp "$src/mono.ico" "$work/tree/.hidden/m.ico" && ln -s .. "$work/tree/sub/loop" || exit 1
for hidden in "" --hidden; do
    rm -rf "$work/tree-out" && mkdir "$work/tree-out"
    out=$("$probe" save-all "$work/tree" "$work/tree-out" -r $hidden) || fail "-r $hidden exited $?"
    listing=$(cd "$work/tree-out" && find . -type f | sort | tr '\n' ' ')
    want="./sub/deeper/p.ico ./top.ico "
    [ -n "$hidden" ] && want="./.hidden/m.ico $want"
    [ "$listing" = "$want" ] || fail "save-all -r $hidden wrote: $listing ($out)"
done

# A damaged icon: a clear message, a failing status and no file
head -c 200 "$src/icon.ico" >"$work/cut.ico"
"$probe" save "$work/cut.ico" 0 "$work/cut-out" --format ico-all 2>"$work/err"
[ $? -ne 0 ] || fail "saving a damaged icon succeeded"
[ "$(wc -l <"$work/err")" -eq 1 ] && grep -q "no usable image" "$work/err" ||
    fail "message: $(cat "$work/err")"
[ ! -e "$work/cut-out.ico" ] || fail "a file was written for a damaged icon"
"$probe" list "$work/cut.ico" >"$work/out" && fail "list of a damaged icon succeeded"
grep -q "error: the icon has no usable image" "$work/out" || fail "list: $(cat "$work/out")"
echo "iconprobe whole icons ok"
