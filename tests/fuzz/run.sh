#!/usr/bin/env bash
# Runs every fuzz harness of a KAVET_FUZZ build for a bounded time each, over a temporary
# copy of its committed corpus (the committed files stay as they are), one process at a
# time. Fails at the first harness that finds a fault; the input that did it is kept in
# the harness's artifact folder, whose path is printed.
#   tests/fuzz/run.sh BUILD_DIR SECONDS [HARNESS...]
# KAVET_FUZZ_SEED=N fixes the random seed, so that a run of the same build tries the same
# inputs in the same order (as many as the time allows): a fault it finds is found again.
set -euo pipefail

if [ $# -lt 2 ]; then
    echo "usage: tests/fuzz/run.sh BUILD_DIR SECONDS [HARNESS...]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
    harnesses=(chunk dispatcher dispatcher_mono parameters preferences bitmap protools audio_file
        lv2_state vst3_state clap_state_events)
fi

seed=()
if [ -n "${KAVET_FUZZ_SEED:-}" ]; then seed=(-seed="$KAVET_FUZZ_SEED"); fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kavet-fuzz-run-XXXXXX")
trap 'rm -rf "$work"' EXIT
artifacts="$build/fuzz/artifacts"
mkdir -p "$artifacts"

status=0
for name in "${harnesses[@]}"; do
    binary="$build/fuzz/fuzz_$name"
    if [ ! -x "$binary" ]; then
        echo "fuzz: $name: no harness at $binary" >&2
        status=1
        continue
    fi
    corpus="$work/$name"
    mkdir -p "$corpus"
    cp "$here/corpus/$name/"* "$corpus/"
    mkdir -p "$artifacts/$name"
    log="$work/$name.log"
    # The harness's own temporary folders go with the run's.
    mkdir -p "$work/tmp-$name"
    # Leaks are faults too; the address sanitizer's own limits stay as they are.
    if TMPDIR="$work/tmp-$name" ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" \
        UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}" \
        "$binary" "${seed[@]}" -max_total_time="$seconds" -max_len=8192 -timeout=20 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$name/" "$corpus" >"$log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
        echo "fuzz: $name: ${runs:-?} runs in ${seconds} s, no fault"
    else
        echo "fuzz: $name: FAULT (inputs kept in $artifacts/$name/):" >&2
        tail -n 60 "$log" >&2
        status=1
    fi
done
exit $status
