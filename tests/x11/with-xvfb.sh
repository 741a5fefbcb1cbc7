#!/bin/sh
# Runs a command with DISPLAY set to an X server of its own: a new Xvfb (24-bit colour, or
# the depth in KAVET_XVFB_DEPTH; XTEST and MIT-SHM as it comes), which the server numbers
# itself (-displayfd), so that tests running side by side never race for a display. The
# server ends with the command.
#
#   with-xvfb.sh COMMAND [ARGUMENT...]
set -eu
xvfb=${KAVET_XVFB:-Xvfb}
dir=$(mktemp -d "${TMPDIR:-/tmp}/kavet-xvfb.XXXXXX")
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$dir"' EXIT
"$xvfb" -displayfd 3 -screen 0 "1280x1024x${KAVET_XVFB_DEPTH:-24}" -nolisten tcp -noreset 3>"$dir/display" \
    2>"$dir/log" &
server=$!
tries=0
while [ ! -s "$dir/display" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 "$server" 2>/dev/null; then
        echo "with-xvfb.sh: Xvfb did not start:" >&2
        cat "$dir/log" >&2
        exit 1
    fi
    sleep 0.1
done
DISPLAY=:$(head -n 1 "$dir/display")
export DISPLAY
status=0
"$@" || status=$?
exit $status
