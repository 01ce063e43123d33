#!/bin/sh
# Opens a gallery page of awkwardly named bitmaps in headless Chromium and
# lets a checker page beside it report whether every thumbnail loaded, every
# link leads to its bitmap and no name turned into markup.
# The same run checks the page of saved whole icons (.ico, .cur and .png
# shown at their largest size) when MAKE_GALLERY is make_whole_icon_page:
# any maker that prints a checker page reporting GALLERY-CHECK-PASSED fits.
# Usage: gallery_browser_test.sh MAKE_GALLERY WORKDIR
set -eu
make_gallery=$1
work=$2

browser=
for candidate in chromium chromium-browser; do
    if command -v "$candidate" >/dev/null 2>&1; then
        browser=$(command -v "$candidate")
        break
    fi
done
if [ -z "$browser" ]; then
    echo "FAIL: Chromium is not installed (Debian package: chromium)" >&2
    exit 1
fi

rm -rf "$work"
mkdir -p "$work/profile"
checker=$("$make_gallery" "$work/pages")

# The browser itself is not built with the sanitizers.
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
dom=$(timeout 60 "$browser" --headless --no-sandbox --disable-gpu --disable-quic \
    --no-first-run --disable-background-networking --disable-component-update \
    --disable-sync --disable-dev-shm-usage --user-data-dir="$work/profile" \
    --allow-file-access-from-files --virtual-time-budget=5000 \
    --dump-dom "file://$checker" 2>"$work/browser.log") || {
    echo "FAIL: Chromium did not finish" >&2
    tail -n 20 "$work/browser.log" >&2
    exit 1
}

if printf '%s\n' "$dom" | grep -q 'GALLERY-CHECK-PASSED'; then
    printf '%s\n' "$dom" | grep -o 'GALLERY-CHECK-PASSED[^<]*'
    exit 0
fi
echo "FAIL: the browser's report:" >&2
printf '%s\n' "$dom" | sed -n '/<pre id="out">/,/<\/pre>/p' >&2
exit 1
