#!/usr/bin/env bash
# Sets up a fresh machine, builds Rurorodode and starts it (it needs a
# display: X11 or Wayland).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
exec "$root/build/app/rurorodode" "$@"
