#!/usr/bin/env bash
# Builds the Debian package: scripts/package.sh [OUTDIR] writes
# OUTDIR/zelk_<version>_amd64.deb (OUTDIR is build/package unless named).
# The build is a Release build with clang, the same one CI checks for
# warnings, kept in build/clang-release; only what is installed is built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build/package}")
cd "$root"
"$root/scripts/setup.sh"
build="$root/build/clang-release"
# Debian's hardening flags (stack protector, fortified functions, read-only
# relocations bound at start); debug data is left out, the package strips it.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
compile="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS | sed 's/\(^\| \)-g\( \|$\)/ /')"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DZELK_GAMES_INSTALL_DIR=games -DZELK_WERROR=ON -DZELK_TESTS=OFF \
    -DCMAKE_C_FLAGS="$compile" -DCMAKE_CXX_FLAGS="$compile" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j "$(nproc)"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || {
    cat "$out/cpack.log"
    exit 1
}
rm -rf "$out/_CPack_Packages" "$out/cpack.log"
ls "$out"/zelk_*_amd64.deb
