#!/bin/sh
# Runs a Windows program under Wine in a fresh, throw-away prefix, so that it sees a new
# machine: an empty registry for the current user and nothing installed.
#
#   run-wine.sh [--display] PROGRAM.exe [ARGUMENT...]
#
# Arguments naming existing files are passed as Windows paths (drive Z: is the Unix root).
# Needs no network and no standard input; Wine's own messages are silenced and its Mono and
# Gecko installers are disabled. Without --display the program gets no display (DISPLAY and
# WAYLAND_DISPLAY are cleared); with it, it keeps the X display in DISPLAY, which programs
# that open windows need (run it under xvfb-run). Exits with the program's status.
set -eu

keep_display=no
if [ "${1:-}" = --display ]; then
    keep_display=yes
    shift
fi
if [ $# -lt 1 ]; then
    echo "usage: run-wine.sh [--display] PROGRAM.exe [ARGUMENT...]" >&2
    exit 2
fi
if [ $keep_display = yes ] && [ -z "${DISPLAY:-}" ]; then
    echo "run-wine.sh: --display needs an X display in DISPLAY (run it under xvfb-run -a)" >&2
    exit 2
fi

wine=${KAVET_WINE:-wine}
wineboot=${KAVET_WINEBOOT:-wineboot}
wineserver=${KAVET_WINESERVER:-wineserver}

prefix=$(mktemp -d "${TMPDIR:-/tmp}/kavet-wine.XXXXXX")
export WINEPREFIX="$prefix"
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono, no Gecko, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WAYLAND_DISPLAY
[ $keep_display = yes ] || unset DISPLAY

cleanup() {
    "$wineserver" -k >/dev/null 2>&1 || true
    "$wineserver" -w >/dev/null 2>&1 || true
    rm -rf "$prefix"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

windows_path() {
    case $1 in
    /*) path=$1 ;;
    *) path=$(pwd)/$1 ;;
    esac
    printf 'Z:%s' "$path" | tr / '\\'
}

start=$(date +%s)
if ! "$wineboot" -i </dev/null >"$prefix/wineboot.log" 2>&1; then
    echo "run-wine.sh: wineboot could not create the prefix:" >&2
    cat "$prefix/wineboot.log" >&2
    exit 1
fi
booted=$(date +%s)

program=$1
shift
[ -f "$program" ] || { echo "run-wine.sh: no program $program (is the Windows build built?)" >&2; exit 1; }
for arg in "$@"; do
    shift
    if [ -e "$arg" ]; then
        set -- "$@" "$(windows_path "$arg")"
    else
        set -- "$@" "$arg"
    fi
done

status=0
"$wine" "$program" "$@" </dev/null || status=$?
finished=$(date +%s)
echo "run-wine.sh: prefix ready in $((booted - start)) s, program ran $((finished - booted)) s, status $status"
exit $status
