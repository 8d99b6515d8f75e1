#!/usr/bin/env bash
# Sets up, then builds and runs every test twice: a normal build and one under
# AddressSanitizer + UndefinedBehaviorSanitizer. Then builds the Debian
# package from a clang Release build and checks it (scripts/check-package.sh).
# Then builds the libFuzzer targets with clang and runs each for a minute on
# its corpus; a crash, leak, hang or undefined behaviour found there fails
# too. Every build treats warnings as errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The known leaks are suppressed quietly: tests read what the player prints.
export LSAN_OPTIONS=print_suppressions=0
# No test needs a session bus; under Xvfb libdbus would autolaunch one for
# every process that SDL lets ask for a thread priority.
export DBUS_SESSION_BUS_ADDRESS=disabled:
for variant in release asan; do
    build="$root/build/$variant"
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_WERROR=ON)
    [ "$variant" = asan ] && options=(-DCMAKE_BUILD_TYPE=Debug -DZELK_SANITIZE=ON -DZELK_WERROR=ON)
    echo "== $variant build =="
    start=$(date +%s)
    cmake -S "$root" -B "$build" -G Ninja "${options[@]}" >/dev/null
    cmake --build "$build" -j "$jobs"
    # The clipboard tests need an X server; without one they run under Xvfb.
    xserver=()
    if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
        xserver=(xvfb-run -a -s "-screen 0 1024x768x24")
    fi
    # The soak tests that kill players at random run alone, after the rest.
    # A test that fails is run once more, alone: one that passes then is
    # named as unsteady, one that fails again fails the run.
    soak=AKilledPlayer
    if ! (cd "$build" && "${xserver[@]}" ctest --output-on-failure -j "$jobs" -E "$soak"); then
        echo "== $variant: the failed tests once more, one at a time =="
        (cd "$build" && "${xserver[@]}" ctest --rerun-failed --output-on-failure -j 1)
        echo "== $variant: the tests above failed once and passed alone: unsteady =="
    fi
    (cd "$build" && "${xserver[@]}" ctest --output-on-failure -j 1 -R "$soak")
    echo "== $variant done in $(( $(date +%s) - start )) s =="
done

echo "== package =="
start=$(date +%s)
"$root/scripts/package.sh" "$root/build/package"
deb=$(ls -t "$root"/build/package/zelk_*_amd64.deb | head -1)
"$root/scripts/check-package.sh" "$deb" "$root/build/clang-release"
echo "== package done in $(( $(date +%s) - start )) s =="

echo "== fuzz build =="
start=$(date +%s)
build="$root/build/fuzz"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZELK_FUZZ=ON -DZELK_TESTS=OFF -DZELK_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs" --target fuzz_targets
echo "== fuzz build done in $(( $(date +%s) - start )) s =="

# Each target starts from its committed seeds; what it finds goes to a scratch
# folder (the first one named), so the seeds stay as they are. Up to $jobs
# targets run at once, ZELK_FUZZ_SECONDS each (a minute unless set). A failing
# input is kept in build/fuzz/artifacts and shown in the log as base64.
fuzz_seconds=${ZELK_FUZZ_SECONDS:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
declare -A seeds=(
    [fuzz_save_slot]="$root/fuzz/corpus/fuzz_save_slot"
    [fuzz_input_script]="$root/fuzz/corpus/fuzz_input_script"
    [fuzz_wave_memory]="$root/tests/data/wavo"
    [fuzz_vorbis_memory]="$root/tests/data/wavo"
    [fuzz_vorbis_file]="$root/tests/data/wavo"
    [fuzz_media_memory]="$root/tests/data/wavo"
)
run_fuzz() {
    local target=$1
    mkdir -p "$work/$target"
    (cd "$work" && TMPDIR="$work" LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp" \
        "$build/bin/$target" -max_total_time="$fuzz_seconds" -timeout=30 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$work/$target-" \
        "$work/$target" "${seeds[$target]}" >"$work/$target.log" 2>&1)
}
echo "== fuzzing, $fuzz_seconds s a target =="
start=$(date +%s)
failed=()
targets=(fuzz_save_slot fuzz_input_script fuzz_wave_memory fuzz_vorbis_memory fuzz_vorbis_file
    fuzz_media_memory)
for ((first = 0; first < ${#targets[@]}; first += jobs)); do
    pids=()
    for target in "${targets[@]:first:jobs}"; do
        run_fuzz "$target" &
        pids+=("$!:$target")
    done
    for entry in "${pids[@]}"; do
        if ! wait "${entry%%:*}"; then failed+=("${entry#*:}"); fi
    done
done
for target in "${targets[@]}"; do
    echo "$target: $(grep -E '^#[0-9]+.*DONE' "$work/$target.log" | tail -1)"
done
for target in "${failed[@]}"; do
    echo "== $target failed =="
    grep -v -E '^#[0-9]+' "$work/$target.log" | tail -60
    for artifact in "$work/$target"-*; do
        [ -e "$artifact" ] || continue
        mkdir -p "$build/artifacts"
        cp "$artifact" "$build/artifacts/"
        echo "input: build/fuzz/artifacts/$(basename "$artifact"), as base64:"
        base64 "$artifact"
    done
done
echo "== fuzzing done in $(( $(date +%s) - start )) s =="
[ ${#failed[@]} -eq 0 ]
