#!/usr/bin/env bash
# Kavet's two set-up commands on Debian:
#   ./build.sh demo   install what is missing, build, run the demo (kavet demo)
#   ./build.sh test   install what is missing, build, run every test, then the sanitizer
#                     builds (address and undefined behaviour; thread) and the fuzz harnesses
# Packages are installed with apt-get when run as root; otherwise the missing ones are listed.
set -euo pipefail
cd "$(dirname "$0")"

jobs=$(nproc 2>/dev/null || echo 2)

packages=(cmake make g++ pkg-config ccache googletest libgtest-dev libgmock-dev libbenchmark-dev
          libsndfile1-dev libpng-dev libx11-dev libxext-dev libxtst-dev libebur128-dev libsoxr-dev
          libcairo2-dev clang libclang-rt-14-dev clang-format lv2-dev lilv-utils liblilv-dev sordi
          jalv jackd2 g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth
          x42-plugins dpf-plugins-lv2)
# Packages whose absence leaves out only what needs them (the Windows builds and their tests
# under Wine; the LV2 plug-ins of other projects that bench_lv2 measures beside Kavet's);
# every other package is required.
optional_packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 x42-plugins
                   dpf-plugins-lv2)

missing_packages() {
    local p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            echo "$p"
    done
}

is_optional() {
    local o
    for o in "${optional_packages[@]}"; do
        [ "$o" = "$1" ] && return 0
    done
    return 1
}

# apt-get install; failing that, from the release suite alone (codename $1, may be empty):
# an index of another suite (security, updates) that failed for one architecture leaves the
# versions of a multi-arch package's architectures out of step ("held broken packages").
apt_install() {
    local codename=$1
    shift
    apt-get install -y -q "$@" && return 0
    [ -n "$codename" ] && apt-get install -y -q -t "$codename" "$@"
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
    # An index that fails to download (a mirror in the middle of a sync, one architecture of
    # one suite) leaves the others usable: one more try, then go on with what arrived.
    if ! apt-get update -q && ! apt-get update -q; then
        echo "build.sh: warning: apt-get update failed twice; going on with the lists that arrived" >&2
    fi
    local codename
    # shellcheck disable=SC1091
    codename=$( (. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}") || true)
    # shellcheck disable=SC2086
    apt_install "$codename" $missing && return 0
    # One package that cannot be had must not keep the others out: one by one, then. The
    # build leaves out what needs a missing optional package (the Windows tests without Wine).
    local p failed=0
    for p in $missing; do
        apt_install "$codename" "$p" && continue
        if is_optional "$p"; then
            echo "build.sh: optional package $p cannot be installed; what needs it is left out" >&2
        else
            echo "build.sh: required package $p cannot be installed" >&2
            failed=1
        fi
    done
    return $failed
}

configure() { # configure DIR [CMAKE ARGS...]
    local dir=$1
    shift
    local launcher=()
    if command -v ccache >/dev/null 2>&1; then
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        # Paths relative to the tree, so that another clone of it finds the same objects (the
        # build maps the tree's folder out of debug information: cmake/KavetFlags.cmake).
        export CCACHE_BASEDIR="$PWD"
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
    # The tree's own rules first: formatting, and includes that follow the layers' arrows.
    tools/check_format.sh
    tools/check_layers.sh
    # The sanitizer and fuzzing builds: -O1 with line tables only (-g1), enough for their
    # reports' file and line, and a third quicker to compile than -O2 -g.
    sanitizer_flags=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
                     -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG")
    # The Windows builds whose cross compiler is there: 32-bit and 64-bit.
    windows=OFF
    command -v i686-w64-mingw32-g++ >/dev/null 2>&1 && windows=ON
    windows64=OFF
    command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 && windows64=ON
    configure build -DKAVET_BUILD_TESTS=ON -DKAVET_BUILD_BENCH=ON -DKAVET_BUILD_HOSTS=ON \
        -DKAVET_WINDOWS=$windows -DKAVET_WINDOWS_64=$windows64
    cmake --build build -j"$jobs"
    (cd build && ctest -j"$jobs" --output-on-failure)
    # The tests that meet outside input (host calls, chunks, states, files, typed text, X
    # events) with the address and undefined-behaviour sanitizers (native code only).
    configure build-sanitize -DKAVET_SANITIZE="address;undefined" -DKAVET_WINDOWS=OFF \
        -DKAVET_WINDOWS_64=OFF -DKAVET_TEST_SCOPE=memory \
        -DKAVET_BUILD_TESTS=ON -DKAVET_BUILD_BENCH=OFF -DKAVET_BUILD_HOSTS=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo "${sanitizer_flags[@]}"
    cmake --build build-sanitize -j"$jobs"
    (cd build-sanitize && ctest -j"$jobs" --output-on-failure)

    # --- ThreadSanitizer: the audio and user-interface threads free of data races ---------
    # The test programs where threads meet (KAVET_TEST_SCOPE=threads), built with
    # -fsanitize=thread; TSan halts at its first report, so a race fails its test. -O1
    # without debug information keeps the build short.
    configure build-tsan -DKAVET_SANITIZE=thread -DKAVET_WINDOWS=OFF -DKAVET_WINDOWS_64=OFF \
        -DKAVET_TEST_SCOPE=threads \
        -DKAVET_BUILD_TESTS=ON -DKAVET_BUILD_BENCH=OFF -DKAVET_BUILD_HOSTS=ON \
        -DCMAKE_CXX_FLAGS_RELEASE=-O1 -DCMAKE_C_FLAGS_RELEASE=-O1
    cmake --build build-tsan -j"$jobs"
    (cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest -j"$jobs" --output-on-failure)

    # ---- Fuzzing (libFuzzer, clang only): the harnesses of tests/fuzz, 15 s each over
    # their committed corpus, from a fixed seed so that a failing run can be repeated.
    # Builds the harnesses and their libraries only.
    if command -v clang >/dev/null 2>&1 && command -v clang++ >/dev/null 2>&1; then
        CC=clang CXX=clang++ configure build-fuzz -DKAVET_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            "${sanitizer_flags[@]}"
        cmake --build build-fuzz -j"$jobs" --target kavet_fuzz
        KAVET_FUZZ_SEED=1 tests/fuzz/run.sh build-fuzz 15
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
