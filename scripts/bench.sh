#!/bin/bash
# Builds the icon extraction benchmark (Release) and runs it against wrestool,
# then the 256-colour benchmark against the platform's fixed table and
# ImageMagick. Both get the same folder and flags.
#   scripts/bench.sh [folder] [benchmark flags...]
# The folder defaults to Wine's 64-bit DLLs (libwine), about 700 real PE files.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-bench"
dir=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
if [ $# -gt 0 ] && [[ $1 != -* ]]; then
    dir=$1
    shift
fi

need=()
for pkg in libbenchmark-dev icoutils libwine imagemagick; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
        need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
    sudo=
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}"
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DRURORODODE_BENCH=ON -DRURORODODE_TESTS=OFF
cmake --build "$build" --target bench_extract bench_palette bench_window bench_saveall bench_wholeicon bench_commands iconprobe rurorodode-thumbnailer --parallel "$(nproc)"

# The first file of the folder that holds an icon group.
bench_first_program() {
    local f
    for f in "$1"/*.exe "$1"/*.dll; do
        if [ "$("$build/tools/iconprobe/iconprobe" count "$f" 2>/dev/null | cut -f1)" -gt 0 ] 2>/dev/null; then
            echo "$f"
            return
        fi
    done
}

# A failure of the first still lets the second run; the first failure decides
# the exit status.
status=0
"$build/bench/bench_extract" "$@" "$dir" || status=$?
echo
"$build/bench/bench_palette" "$@" "$dir" || { rc=$?; [ "$status" -ne 0 ] || status=$rc; }
echo
"$build/bench/bench_window" "$@" || { rc=$?; [ "$status" -ne 0 ] || status=$rc; }
echo
"$build/bench/bench_commands" "$@" "$dir" || { rc=$?; [ "$status" -ne 0 ] || status=$rc; }
echo

# Save-all wants at least 250 icon groups: Wine's folder holds about 230, so
# the other Windows programs on this machine (Python's launchers and
# installer stubs) join it, linked under unique names.
corpus=$(mktemp -d /tmp/rurorodode-saveall-XXXXXX)
trap 'rm -rf "$corpus"' EXIT
for f in "$dir"/*; do ln -s "$f" "$corpus/"; done
n=0
while IFS= read -r f; do
    n=$((n + 1))
    ln -s "$f" "$corpus/extra$n-$(basename "$f")"
done < <(find / -xdev \( -iname '*.exe' -o -iname '*.dll' \) -type f -not -path '/proc/*' \
    -not -path "$dir/*" -not -path '/tmp/*' -not -path '/work/*' 2>/dev/null | sort)
"$build/bench/bench_saveall" "$@" "$corpus" || { rc=$?; [ "$status" -ne 0 ] || status=$rc; }
echo
# Whole icons (every image, and the largest as PNG) over the same programs.
"$build/bench/bench_wholeicon" "$@" "$corpus" || { rc=$?; [ "$status" -ne 0 ] || status=$rc; }
echo
# What a listed file costs the window's run beside the command line's: one
# real program among 12,499 empty files, as a folder of downloads may be.
empties=$(mktemp -d /tmp/rurorodode-empties-XXXXXX)
trap 'rm -rf "$corpus" "$empties"' EXIT
cp "$(bench_first_program "$dir")" "$empties/real.exe"
for i in $(seq -w 1 12499); do : >"$empties/empty$i.exe"; done
"$build/bench/bench_saveall" "$@" "$empties" || { rc=$?; [ "$status" -ne 0 ] || status=$rc; }
exit "$status"
