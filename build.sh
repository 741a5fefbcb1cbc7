#!/usr/bin/env bash
# Kavet's two set-up commands on Debian:
#   ./build.sh demo   install what is missing, build, run the demo (kavet demo)
#   ./build.sh test   install what is missing, build, run every test, then the sanitizer build
#                     and the fuzz harnesses (30 s each)
# Packages are installed with apt-get when run as root; otherwise the missing ones are listed.
set -euo pipefail
cd "$(dirname "$0")"

jobs=$(nproc 2>/dev/null || echo 2)

packages=(cmake make g++ pkg-config ccache googletest libgtest-dev libgmock-dev libbenchmark-dev
          libsndfile1-dev libpng-dev libx11-dev libxext-dev libxtst-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth
          clang libclang-rt-14-dev)

missing_packages() {
    local p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            echo "$p"
    done
}

install_packages() {
    local missing
    missing=$(missing_packages)
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "build.sh: missing packages (run as root to install them):" $missing >&2
        return 0
    fi
    # Wine for the 32-bit Windows modules needs the i386 architecture.
    if echo "$missing" | grep -q ':i386' && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    # A mirror whose index fails to download (for one architecture or suite, say) leaves the
    # others usable: go on with what is known rather than stop here.
    if ! apt-get update -q; then
        echo "build.sh: warning: apt-get update failed; going on with the lists as they are" >&2
    fi
    # shellcheck disable=SC2086
    apt-get install -y -q $missing && return 0
    # One package that cannot be had must not keep the others out: one by one, then. The
    # build leaves out what needs a missing package (the Windows tests without Wine).
    local p
    for p in $missing; do
        apt-get install -y -q "$p" || echo "build.sh: could not install $p" >&2
    done
}

configure() { # configure DIR [CMAKE ARGS...]
    local dir=$1
    shift
    local launcher=()
    if command -v ccache >/dev/null 2>&1; then
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        # Paths relative to the tree, so that another clone of it finds the same objects.
        export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
    fi
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" "$@" >/dev/null
}

case "${1:-}" in
demo)
    install_packages
    configure build -DKAVET_BUILD_HOSTS=ON
    cmake --build build -j"$jobs" --target kavet
    mkdir -p build/demo
    (cd build/demo && ../bin/kavet demo)
    echo "build.sh: the demo's files are in build/demo/"
    ;;
test)
    install_packages
    # The Windows builds whose cross compiler is there: 32-bit and 64-bit.
    windows=OFF
    command -v i686-w64-mingw32-g++ >/dev/null 2>&1 && windows=ON
    windows64=OFF
    command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 && windows64=ON
    configure build -DKAVET_BUILD_TESTS=ON -DKAVET_BUILD_BENCH=ON -DKAVET_BUILD_HOSTS=ON \
        -DKAVET_WINDOWS=$windows -DKAVET_WINDOWS_64=$windows64
    cmake --build build -j"$jobs"
    (cd build && ctest -j"$jobs" --output-on-failure)
    # The same tests with the address and undefined-behaviour sanitizers (native code only).
    configure build-sanitize -DKAVET_SANITIZE="address;undefined" -DKAVET_WINDOWS=OFF \
        -DKAVET_WINDOWS_64=OFF \
        -DKAVET_BUILD_TESTS=ON -DKAVET_BUILD_BENCH=OFF -DKAVET_BUILD_HOSTS=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build-sanitize -j"$jobs"
    (cd build-sanitize && ctest -j"$jobs" --output-on-failure)
    # ---- Fuzzing (libFuzzer, clang only): the harnesses of tests/fuzz, 30 s each over
    # their committed corpus. Builds the harnesses and their libraries only.
    if command -v clang >/dev/null 2>&1 && command -v clang++ >/dev/null 2>&1; then
        CC=clang CXX=clang++ configure build-fuzz -DKAVET_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
        cmake --build build-fuzz -j"$jobs" --target kavet_fuzz
        tests/fuzz/run.sh build-fuzz 30
    else
        echo "build.sh: clang not found: the fuzz harnesses are left out" >&2
    fi
    # ---- End of fuzzing.
    ;;
*)
    echo "usage: ./build.sh demo | test" >&2
    exit 2
    ;;
esac
