#!/usr/bin/env bash
# Builds the Debian package: scripts/package.sh [OUTDIR [BUILD_DIR]] writes
# OUTDIR/zelk_<version>_amd64.deb (OUTDIR is build/package unless named).
# The build is a Release build with clang (scripts/release-flags.sh), kept in
# build/clang-release unless BUILD_DIR names another: scripts/test.sh hands
# over the Release build it has just tested, so that the package is made of
# exactly what the tests ran. Only what is installed is built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build/package}")
build=$(realpath -m "${2:-$root/build/clang-release}")
cd "$root"
"$root/scripts/setup.sh"
. "$root/scripts/release-flags.sh"
tests=OFF
grep -qs '^ZELK_TESTS:BOOL=ON' "$build/CMakeCache.txt" && tests=ON
release_configure "$build" -DZELK_TESTS=$tests
cmake --build "$build" -j "$(nproc)"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || {
    cat "$out/cpack.log"
    exit 1
}
rm -rf "$out/_CPack_Packages" "$out/cpack.log"
ls "$out"/zelk_*_amd64.deb
