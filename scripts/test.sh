#!/usr/bin/env bash
# Sets up, then builds and runs every test twice: a clang Release build with
# Debian's hardening flags, from which the Debian package is then made and
# checked (scripts/check-package.sh), and a GCC build under AddressSanitizer +
# UndefinedBehaviorSanitizer. Then builds the libFuzzer targets with clang and
# runs each for a minute on its corpus; a crash, leak, hang or undefined
# behaviour found there fails too. Every build treats warnings as errors.
# The end says how long each phase took and which tests were the slowest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
. "$root/scripts/release-flags.sh"
jobs=$(nproc)
# Most tests start a player and wait on it, so more of them than there are
# cores keep the cores busy; the sanitized ones use more of a core each.
test_jobs=${ZELK_TEST_JOBS:-$((jobs * 2))}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The known leaks are suppressed quietly: tests read what the player prints.
export LSAN_OPTIONS=print_suppressions=0
# No test needs a session bus; under Xvfb libdbus would autolaunch one for
# every process that SDL lets ask for a thread priority.
export DBUS_SESSION_BUS_ADDRESS=disabled:
logs="$root/build/logs"
mkdir -p "$logs"

phases=()
phase_start=0
begin() {
    echo "== $1 =="
    phase_name=$1
    phase_start=$(date +%s)
}
end() {
    local seconds=$(($(date +%s) - phase_start))
    phases+=("$(awk -v n="$phase_name" -v s="$seconds" 'BEGIN { printf "%-34s %5.1f min", n, s / 60 }')")
    echo "== $phase_name done in $seconds s =="
}
whole_start=$(date +%s)

# The clipboard tests need an X server; without one they run under Xvfb.
xserver=()
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
    xserver=(xvfb-run -a -s "-screen 0 1024x768x24")
fi

# run_tests VARIANT: every test of build/VARIANT. A test that fails is run
# once more, alone: one that passes then is named as unsteady (a fault to
# mend, which the log shows), one that fails again fails the run.
run_tests() {
    local variant=$1 build="$root/build/$1"
    # Without timings of its own ctest would start the longest tests in any
    # order, perhaps last; the known slow ones go first.
    local costs="$build/Testing/Temporary/CTestCostData.txt"
    if [ ! -f "$costs" ]; then
        mkdir -p "$(dirname "$costs")"
        grep -v '^#' "$root/tests/slow_tests.txt" >"$costs"
    fi
    if ! (cd "$build" && "${xserver[@]}" ctest --output-on-failure -j "$test_jobs") \
        >"$logs/$variant-tests.log" 2>&1; then
        grep -E '\*\*\*|Failed|Timeout' "$logs/$variant-tests.log" | grep -v '^ *[0-9]*% tests' || true
        echo "== $variant: the failed tests once more, one at a time =="
        (cd "$build" && "${xserver[@]}" ctest --rerun-failed --output-on-failure -j 1)
        echo "== UNSTEADY in $variant: the tests above failed once and passed alone =="
    fi
    tail -3 "$logs/$variant-tests.log"
}

begin "release build (clang, hardened)"
release_configure "$root/build/release" -DZELK_TESTS=ON
cmake --build "$root/build/release" -j "$jobs"
end
begin "release tests"
run_tests release
end

begin "package and its checks"
"$root/scripts/package.sh" "$root/build/package" "$root/build/release"
deb=$(ls -t "$root"/build/package/zelk_*_amd64.deb | sed -n 1p)
"$root/scripts/check-package.sh" "$deb" "$root/build/release"
end

# Line tables are all that the sanitizers' reports read; full debug data
# would double the build and its links.
begin "asan build (gcc, ASan+UBSan)"
cmake -S "$root" -B "$root/build/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELK_SANITIZE=ON \
    -DZELK_WERROR=ON -DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1 >/dev/null
cmake --build "$root/build/asan" -j "$jobs"
end
begin "asan tests"
run_tests asan
end

begin "fuzz build"
build="$root/build/fuzz"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZELK_FUZZ=ON -DZELK_TESTS=OFF -DZELK_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs" --target fuzz_targets
end

# Each target starts from its committed seeds; what it finds goes to a scratch
# folder (the first one named), so the seeds stay as they are. Up to $jobs
# targets run at once, ZELK_FUZZ_SECONDS each (a minute unless set). A failing
# input is kept in build/fuzz/artifacts and shown in the log as base64.
fuzz_seconds=${ZELK_FUZZ_SECONDS:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
declare -A seeds=(
    [fuzz_save_slot]="$root/fuzz/corpus/fuzz_save_slot"
    [fuzz_save_restore]="$root/fuzz/corpus/fuzz_save_slot"
    [fuzz_input_script]="$root/fuzz/corpus/fuzz_input_script"
    [fuzz_wave_memory]="$root/tests/data/wavo"
    [fuzz_vorbis_memory]="$root/tests/data/wavo"
    [fuzz_vorbis_file]="$root/tests/data/wavo"
    [fuzz_media_memory]="$root/tests/data/wavo"
    [fuzz_archive]="$root/fuzz/corpus/fuzz_archive"
    [fuzz_text_layout]="$root/fuzz/corpus/fuzz_text_layout"
)
# The save-slot targets keep one player alive across inputs, and it keeps
# memory from one input to the next (the loaded scene, its pictures): the
# fuzzer's leak check after each input would take that for a leak and scan
# the whole heap each time, twenty times slower. The players of the sanitized
# tests are checked for leaks whole, at their exit.
declare -A options=(
    [fuzz_save_slot]="-detect_leaks=0"
    [fuzz_save_restore]="-detect_leaks=0"
)
run_fuzz() {
    local target=$1
    mkdir -p "$work/$target"
    # shellcheck disable=SC2086
    (cd "$work" && TMPDIR="$work" LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp" \
        "$build/bin/$target" -max_total_time="$fuzz_seconds" -timeout=30 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$work/$target-" ${options[$target]:-} \
        "$work/$target" "${seeds[$target]}" >"$work/$target.log" 2>&1)
}
begin "fuzzing, $fuzz_seconds s a target"
failed=()
targets=("${!seeds[@]}")
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
end

echo
echo "== where the time went =="
printf '%s\n' "${phases[@]}"
awk -v s=$(($(date +%s) - whole_start)) 'BEGIN { printf "%-34s %5.1f min\n", "whole run", s / 60 }'
for variant in release asan; do
    echo "-- the ten slowest tests of $variant"
    grep -E 'Test +#[0-9]+: .* sec$' "$logs/$variant-tests.log" |
        sed -E 's/^.*Test +#[0-9]+: ([^ ]+) .* ([0-9.]+) sec$/\2 s  \1/' | sort -rn | sed -n 1,10p
done
[ ${#failed[@]} -eq 0 ]
