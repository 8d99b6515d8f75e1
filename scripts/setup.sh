#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. Idempotent:
# apt is only called when a package is missing.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config clang-format
    libgtest-dev libgmock-dev libbenchmark-dev
    libsdl2-dev libsdl2-image-dev libimgui-dev
    libfreetype-dev libfontconfig-dev fonts-ipafont-gothic fonts-ipafont-mincho
    # Text in any script: shaping, bidirectional order, line breaking, and
    # fonts for the scripts the Japanese ones lack (the tests set Arabic,
    # Devanagari and Latin in Noto, and Han characters in a Chinese face).
    libharfbuzz-dev libfribidi-dev libunibreak-dev fonts-noto-core fonts-wqy-microhei
    libzip-dev libogg-dev libvorbis-dev
    # Movies.
    libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
    # The sound engine's rate conversion and the sound check's measurements.
    libsoxr-dev sox
    # A bare X server for the full-screen test without a window manager.
    xvfb
    libfluidsynth-dev fluid-soundfont-gm
    # Self-voicing (the library is opened at run time) and its tests' service;
    # the clipboard tests' X server and reader.
    libspeechd-dev speech-dispatcher xvfb xauth xclip
    # The fuzz targets: clang, and its sanitizer and libFuzzer runtimes, which
    # clang only recommends.
    clang-14 libclang-rt-14-dev
    # The Debian package and its checks: icons drawn from the scalable one,
    # the manual pages shown, the package and its desktop metadata validated.
    librsvg2-bin man-db groff-base dpkg-dev lintian appstream desktop-file-utils
    # The player's message catalogues (msgfmt at build time).
    gettext
)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi
