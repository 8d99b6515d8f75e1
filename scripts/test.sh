#!/usr/bin/env bash
# Sets up, then builds and runs every test twice: a normal build and one under
# AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for variant in release asan; do
    build="$root/build/$variant"
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
    [ "$variant" = asan ] && options=(-DCMAKE_BUILD_TYPE=Debug -DZELK_SANITIZE=ON)
    echo "== $variant build =="
    start=$(date +%s)
    cmake -S "$root" -B "$build" -G Ninja "${options[@]}" >/dev/null
    cmake --build "$build" -j "$jobs"
    (cd "$build" && ctest --output-on-failure -j "$jobs")
    echo "== $variant done in $(( $(date +%s) - start )) s =="
done
