#!/usr/bin/env bash
# install_packages of build.sh against stand-ins for apt-get, dpkg, dpkg-query and id on
# PATH: an update that fails, an install that needs the release suite, packages that cannot
# be had (required or optional). One row per case; the function is taken from the script
# itself (from the package list to the line before configure).
#
#   install_packages_test.sh PATH/TO/build.sh
set -euo pipefail
script=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/kavet-install-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
codename=$( (. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}") || true)

sed -n '/^packages=(/,/^configure() {/p' "$script" | sed '$d' >"$work/functions.sh"
grep -q '^install_packages() {' "$work/functions.sh" || { echo "no install_packages in $script"; exit 1; }

mkdir "$work/bin"
cat >"$work/bin/id" <<'STUB'
#!/bin/sh
echo 0
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/bin/sh
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
STUB
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
# dpkg-query -W -f=... NAME
for last; do :; done
grep -qxF "$last" "$STATE/installed" && printf 'install ok installed'
exit 0
STUB
# apt-get: "update" fails as many times as $STATE/update-failures says; "install" fails as a
# whole when one package is in $STATE/unavailable, or is in $STATE/needs-release and the
# release suite was not asked for; otherwise the packages are installed.
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get $*" >>"$STATE/log"
case "$1" in
update)
    n=$(cat "$STATE/update-failures")
    if [ "$n" -gt 0 ]; then
        echo $((n - 1)) >"$STATE/update-failures"
        echo "E: File has unexpected size. Mirror sync in progress?" >&2
        exit 100
    fi
    exit 0
    ;;
install)
    shift
    suite=
    pkgs=
    while [ $# -gt 0 ]; do
        case "$1" in
        -y | -q) ;;
        -t) suite=$2; shift ;;
        *) pkgs="$pkgs $1" ;;
        esac
        shift
    done
    for p in $pkgs; do
        grep -qxF "$p" "$STATE/unavailable" && { echo "E: Unable to locate package $p" >&2; exit 100; }
        if grep -qxF "$p" "$STATE/needs-release" && [ "$suite" != "$CODENAME" ]; then
            echo "E: Unable to correct problems, you have held broken packages." >&2
            exit 100
        fi
    done
    for p in $pkgs; do echo "$p" >>"$STATE/installed"; done
    exit 0
    ;;
esac
exit 1
STUB
chmod +x "$work/bin/"*

failures=0
# check NAME UPDATE_FAILURES MISSING NEEDS_RELEASE UNAVAILABLE EXPECT_STATUS EXPECT_UPDATES
#       EXPECT_LINES (the build.sh lines on stderr, sorted, '|' between them)
check() {
    local name=$1 updateFailures=$2 missing=$3 needsRelease=$4 unavailable=$5
    local wantStatus=$6 wantUpdates=$7 wantLines=$8
    local state="$work/$name"
    mkdir "$state"
    echo "$updateFailures" >"$state/update-failures"
    : >"$state/log"
    printf '%s\n' $needsRelease >"$state/needs-release"
    printf '%s\n' $unavailable >"$state/unavailable"
    # Every package of the list is installed but the missing ones.
    (source "$work/functions.sh" && printf '%s\n' "${packages[@]}") | grep -vxF -f <(printf '%s\n' $missing) >"$state/installed" || true
    local status=0
    STATE=$state CODENAME=$codename PATH="$work/bin:$PATH" bash -c \
        'set -euo pipefail; source "$1"; install_packages' _ "$work/functions.sh" \
        >/dev/null 2>"$state/stderr" || status=$?
    local lines updates stillMissing
    lines=$(grep '^build.sh:' "$state/stderr" | sed 's/^build.sh: //' | sort | paste -sd'|' || true)
    updates=$(grep -c '^apt-get update' "$state/log" || true)
    stillMissing=$(for p in $missing; do grep -qxF "$p" "$state/installed" || echo "$p"; done | paste -sd' ')
    local ok=1
    [ "$status" = "$wantStatus" ] || { echo "$name: exit status $status, expected $wantStatus"; ok=0; }
    [ "$updates" = "$wantUpdates" ] || { echo "$name: $updates updates, expected $wantUpdates"; ok=0; }
    [ "$lines" = "$wantLines" ] || { echo "$name: lines [$lines], expected [$wantLines]"; ok=0; }
    [ "$stillMissing" = "$unavailable" ] || { echo "$name: not installed [$stillMissing], expected [$unavailable]"; ok=0; }
    if [ $ok = 0 ]; then
        failures=$((failures + 1))
        sed 's/^/    /' "$state/log"
    fi
}

cannot() { echo "required package $1 cannot be installed"; }
optional() { echo "optional package $1 cannot be installed; what needs it is left out"; }
release=
[ -n "$codename" ] && release="wine32:i386 libebur128-dev"
withoutRelease=0
[ -n "$codename" ] || withoutRelease=1

check update-fails-once 1 "clang libcairo2-dev" "" "" 0 2 ""
check update-fails-twice 2 "clang" "" "" 0 2 \
    "warning: apt-get update failed twice; going on with the lists that arrived"
check needs-the-release-suite 0 "wine32:i386 wine64 libebur128-dev" "$release" "" 0 1 ""
check optional-cannot-be-had 0 "wine64 clang xvfb" "" "wine64" 0 1 "$(optional wine64)"
check required-cannot-be-had 0 "libcairo2-dev wine clang" "" "libcairo2-dev" 1 1 \
    "$(cannot libcairo2-dev)"
check both-cannot-be-had 1 "libclang-rt-14-dev wine32:i386 cmake" "" \
    "libclang-rt-14-dev wine32:i386" 1 2 \
    "$(optional wine32:i386)|$(cannot libclang-rt-14-dev)"
check nothing-missing 0 "" "" "" 0 0 ""

# Every package the other sections need is on the list.
for p in libebur128-dev libcairo2-dev clang libclang-rt-14-dev; do
    (source "$work/functions.sh" && printf '%s\n' "${packages[@]}") | grep -qxF "$p" ||
        { echo "package list: $p is missing"; failures=$((failures + 1)); }
done
[ "$withoutRelease" = 0 ] || echo "note: no VERSION_CODENAME here; the release-suite case ran without it"

if [ "$failures" -ne 0 ]; then
    echo "$failures case(s) failed"
    exit 1
fi
echo "all cases passed"
