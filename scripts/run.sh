#!/usr/bin/env bash
# Sets up a fresh machine, builds Rurorodode and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

if [ -x "$root/build/app/Rurorodode" ]; then
    exec "$root/build/app/Rurorodode"
fi
echo "Rurorodode has no main window yet: only the icon reader and its"
echo "command-line companion are built. Try it with:"
echo "  $root/build/tools/iconprobe/iconprobe count /path/to/folder"
echo "  $root/build/tools/iconprobe/iconprobe extract FILE INDEX out.png"
