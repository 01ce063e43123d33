#!/bin/sh
# The command-line tools start without Qt: ldd finds no Qt library for any
# of the programs given, whether they link it themselves or through one of
# our libraries.
# Usage: no_qt_linked.sh PROGRAM...
set -eu
status=0
for program in "$@"; do
    if ! libraries=$(ldd "$program"); then
        echo "FAIL: ldd cannot read $program" >&2
        status=1
        continue
    fi
    if printf '%s\n' "$libraries" | grep 'libQt'; then
        echo "FAIL: $program loads Qt" >&2
        status=1
    else
        echo "$program: no Qt"
    fi
done
exit $status
