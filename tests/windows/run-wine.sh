#!/bin/sh
# Runs a Windows program under Wine in a fresh, throw-away prefix, so that it sees a new
# machine: an empty registry for the current user and nothing installed.
#
#   run-wine.sh [--win64] [--display] PROGRAM.exe [ARGUMENT...]
#
# The prefix is a 32-bit Windows (WINEARCH=win32, run by the loader in KAVET_WINE, default
# "wine"), or with --win64 a 64-bit one (WINEARCH=win64, run by the 64-bit loader in
# KAVET_WINE64, default "wine64"), for a program of that bitness. Arguments naming existing
# files are passed as Windows paths (drive Z: is the Unix root). Needs no network and no
# standard input; Wine's own messages are silenced and its Mono and Gecko installers are
# disabled. Without --display the program gets no display (DISPLAY and WAYLAND_DISPLAY are
# cleared); with it, it keeps the X display in DISPLAY, which programs that open windows
# need (run it under xvfb-run). Exits with the program's status, or 77 when this machine
# cannot execute the loader at all (a kernel without 32-bit support, say): the test that
# asked is then reported as skipped, not passed.
set -eu

arch=win32
keep_display=no
while [ $# -gt 0 ]; do
    case $1 in
    --win64) arch=win64 ;;
    --display) keep_display=yes ;;
    *) break ;;
    esac
    shift
done
if [ $# -lt 1 ]; then
    echo "usage: run-wine.sh [--win64] [--display] PROGRAM.exe [ARGUMENT...]" >&2
    exit 2
fi
if [ $keep_display = yes ] && [ -z "${DISPLAY:-}" ]; then
    echo "run-wine.sh: --display needs an X display in DISPLAY (run it under xvfb-run -a)" >&2
    exit 2
fi

if [ $arch = win64 ]; then
    wine=${KAVET_WINE64:-wine64}
    # Processes that Wine starts itself use the same loader.
    export WINELOADER="$wine"
else
    wine=${KAVET_WINE:-wine}
fi
wineserver=${KAVET_WINESERVER:-wineserver}

# Status 126: the loader exists but the kernel refuses to execute it.
loader_status=0
"$wine" --version >/dev/null 2>&1 || loader_status=$?
if [ $loader_status -eq 126 ]; then
    echo "run-wine.sh: SKIPPED: this machine cannot execute $wine ($arch programs do not run here)"
    exit 77
fi

prefix=$(mktemp -d "${TMPDIR:-/tmp}/kavet-wine.XXXXXX")
export WINEPREFIX="$prefix"
export WINEARCH=$arch
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
if ! "$wine" wineboot -i </dev/null >"$prefix/wineboot.log" 2>&1; then
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
