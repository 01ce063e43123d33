#!/bin/sh
# iconprobe as a user runs it: counts per file with folders expanded, names
# that would break a line escaped or NUL-ended, an extracted icon as a PNG,
# a clear failure when there is no icon or a path cannot be read, and links
# planted beside an output left alone.
# Usage: iconprobe_cli.sh ICONPROBE WRITE_FIXTURE WORKDIR VERSION
set -u
probe=$1
writer=$2
work=$3
version=$4
rm -rf "$work" && mkdir -p "$work" || exit 1
"$writer" "$work/files" || { echo "cannot write fixtures"; exit 1; }
fail() { echo "FAIL: $*"; exit 1; }
tab=$(printf '\t')

out=$("$probe" count "$work/files") || fail "count exited $?"
expected="0${tab}$work/files/notes.txt"
[ "$(echo "$out" | wc -l)" -eq 3 ] || fail "count printed: $out"
echo "$out" | grep -qx "1${tab}$work/files/one.ico" || fail "one.ico: $out"
echo "$out" | grep -qx "3${tab}$work/files/three.exe" || fail "three.exe: $out"
echo "$out" | grep -qx "$expected" || fail "notes.txt: $out"
echo "$out" | grep -q "sub" && fail "subfolders must not be listed: $out"

# A path that cannot be read is no count of 0: the system's reason, once,
# a failing status, and the other files still counted.
missing=$work/files/missing.exe
out=$("$probe" count "$work/files/one.ico" "$missing" "$work/files/three.exe" 2>"$work/err")
[ $? -eq 1 ] || fail "count of a missing file did not fail"
[ "$out" = "1${tab}$work/files/one.ico
3${tab}$work/files/three.exe" ] || fail "count with a missing file printed: $out"
[ "$(cat "$work/err")" = "iconprobe: $missing: No such file or directory" ] ||
    fail "count of a missing file said: $(cat "$work/err")"
refused() { # REASON COMMAND...: one line naming the reason, a failing status
    reason=$1
    shift
    "$probe" "$@" >"$work/out" 2>"$work/err" && fail "$* succeeded"
    [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q ": $reason\$" "$work/err" ||
        fail "$*: $(cat "$work/err" "$work/out")"
}
refused "Is a directory" extract "$work/files" 0 "$work/x.png"
refused "No such file or directory" save "$missing" 0 "$work/x"
refused "No such file or directory" save "$missing" 0 "$work/x" --format ico-all
refused "No such file or directory" list "$missing"
# save-all looks at its destination before any work
refused "No such file or directory" save-all "$work/files" "$work/nowhere" --format ico-all
refused "Not a directory" save-all "$work/files" "$work/files/one.ico"
[ ! -e "$work/nowhere" ] || fail "save-all made its destination"
[ "$("$probe" --version)" = "iconprobe $version" ] || fail "--version: $("$probe" --version)"

# Names with newlines, tabs, backslashes and other control bytes: one line
# per file with C escapes by default, the names as they are with -z.
names="$work/names"
mkdir -p "$names" || exit 1
for name in "$(printf 'new\nline.ico')" "$(printf 'tab\there.ico')" 'back\slash.ico' \
    "$(printf 'bell\007.ico')" "$(printf 'pi\303\261ata.ico')"; do
    cp "$work/files/one.ico" "$names/$name" || fail "cannot make $name"
done
out=$("$probe" count "$names") || fail "count exited $?"
[ "$(printf '%s\n' "$out" | wc -l)" -eq 5 ] || fail "count of odd names printed: $out"
for shown in 'new\\nline.ico' 'tab\\there.ico' 'back\\\\slash.ico' 'bell\\007.ico' \
    'pi\303\261ata.ico'; do
    line=$(printf "1\t%s/$shown" "$names")
    printf '%s\n' "$out" | grep -Fqx -- "$line" || fail "no line $line in: $out"
done
"$probe" count -z "$names" >"$work/z.out" || fail "count -z exited $?"
printf '1\t%s/back\\slash.ico\0001\t%s/bell\007.ico\0001\t%s/new\nline.ico\000' \
    "$names" "$names" "$names" >"$work/z.expected"
printf '1\t%s/pi\303\261ata.ico\0001\t%s/tab\there.ico\000' "$names" "$names" \
    >>"$work/z.expected"
cmp -s "$work/z.out" "$work/z.expected" || fail "count -z printed: $(od -c "$work/z.out")"
# A name that is not UTF-8 is saved under its own bytes, not skipped.
latin="$work/latin"
mkdir -p "$latin/in" "$latin/out" || exit 1
cp "$work/files/one.ico" "$latin/in/$(printf 'caf\351.ico')" || exit 1
out=$("$probe" save-all "$latin/in" "$latin/out" --format ico 2>&1) || fail "save-all: $out"
[ "$out" = "1 files, 1 written, 0 errors" ] && [ -f "$latin/out/$(printf 'caf\351.ico')" ] ||
    fail "save-all of a name that is not UTF-8: $out; $(ls "$latin/out" | od -c)"
"$probe" count -z >/dev/null 2>&1
[ $? -eq 2 ] || fail "count -z without a path is not a usage error"
"$probe" 2>&1 | grep -q "count \[-z\]" || fail "usage does not mention -z"

"$probe" extract "$work/files/three.exe" 2 "$work/icon.png" || fail "extract exited $?"
[ "$(head -c 8 "$work/icon.png" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "not a PNG"
[ "$(od -An -tu1 -j16 -N8 "$work/icon.png" | tr -s ' ' | sed 's/^ //')" = "0 0 0 32 0 0 0 32" ] || fail "not 32 x 32"

"$probe" extract "$work/files/three.exe" 3 "$work/none.png" 2>"$work/err"
status=$?
[ $status -ne 0 ] || fail "extract past the end succeeded"
[ ! -e "$work/none.png" ] || fail "a file was written for a missing icon"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "message: $(cat "$work/err")"
grep -q "no icon" "$work/err" || fail "message: $(cat "$work/err")"
# save: the extension is appended, sizes are the layouts' sizes
"$probe" save "$work/files/three.exe" 0 "$work/out" --format ico --depth 2 || fail "save ico exited $?"
[ "$(wc -c <"$work/out.ico")" -eq 2238 ] || fail "ico at 256 colours is not 2238 bytes"
"$probe" save "$work/files/three.exe" 0 "$work/out" --format cur --depth 3 || fail "save cur exited $?"
[ "$(wc -c <"$work/out.cur")" -eq 3262 ] || fail "cur at true colour is not 3262 bytes"
"$probe" save "$work/files/three.exe" 0 "$work/out" --format bmp || fail "save bmp exited $?"
[ "$(wc -c <"$work/out.bmp")" -eq 3126 ] || fail "bmp is not 3126 bytes"
[ "$(head -c 2 "$work/out.bmp")" = "BM" ] || fail "bmp does not start with BM"

"$probe" save "$work/files/three.exe" 0 "$work/nowhere/out" --depth 2 2>"$work/err"
[ $? -ne 0 ] || fail "save into a missing folder succeeded"
[ "$(wc -l <"$work/err")" -eq 1 ] && grep -q -- "-4" "$work/err" || fail "message: $(cat "$work/err")"
[ ! -e "$work/nowhere" ] || fail "something was created"

# Outputs are written through a new file of their own: links planted at
# other names beside the output are neither followed nor replaced.
mkdir "$work/planted" && printf 'victim' >"$work/victim" || exit 1
for name in out.png.part out.png.tmp .out.png.tmp out.png~; do
    ln -s "$work/victim" "$work/planted/$name" || exit 1
done
"$probe" extract "$work/files/three.exe" 0 "$work/planted/out.png" || fail "extract exited $?"
[ "$(cat "$work/victim")" = victim ] || fail "a planted link was written through"
[ "$(find "$work/planted" -type l | wc -l)" -eq 4 ] && [ -f "$work/planted/out.png" ] &&
    [ "$(ls -A "$work/planted" | wc -l)" -eq 5 ] || fail "beside the output: $(ls -lA "$work/planted")"
echo "iconprobe ok"
