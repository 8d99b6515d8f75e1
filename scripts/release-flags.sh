# Sourced: the Release build that is both tested and packaged. clang with
# Debian's hardening flags (stack protector, fortified functions, read-only
# relocations bound at start) and no debug data, which the package strips and
# no test reads. release_configure BUILD_DIR [CMAKE OPTION ...]
release_configure() {
    local build=$1
    shift
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    local compile
    compile="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS | sed 's/\(^\| \)-g\( \|$\)/ /')"
    CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX=/usr -DZELK_GAMES_INSTALL_DIR=games -DZELK_WERROR=ON \
        -DCMAKE_C_FLAGS="$compile" -DCMAKE_CXX_FLAGS="$compile" \
        -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" "$@" >/dev/null
}
