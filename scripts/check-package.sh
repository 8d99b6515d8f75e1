#!/usr/bin/env bash
# Checks a built package as a distribution and a reader would:
#   scripts/check-package.sh PACKAGE.deb BUILD_DIR
# its files are exactly those the build installs, nothing of the build tree
# is in it, lintian finds no error, the desktop metadata and the manual
# pages are valid, and the player installed from it plays its demo and the
# demo's English edition to the title menu headless without writing anything
# into its own files.
set -euo pipefail
deb=$(realpath "$1")
build=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "package check: $*" >&2
    failed=1
}

echo "-- file list"
DESTDIR="$work/installed" cmake --install "$build" --prefix /usr >/dev/null
(cd "$work/installed" && find . -type f -o -type l | sed 's|^\./|/|' | sort) >"$work/expected"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort >"$work/packed"
if ! diff -u "$work/expected" "$work/packed"; then
    fail "the package's files differ from what the build installs"
fi
echo "$(wc -l <"$work/packed") files"
if grep -E '/(CMakeFiles|_CPack_Packages)/|\.(o|a|cmake|ninja)$|/usr/include/' "$work/packed"; then
    fail "build files in the package"
fi

dpkg-deb -x "$deb" "$work/root"
for program in "$work"/root/usr/bin/* "$work"/root/usr/games/* $(find "$work/root/usr/lib" -name '*.so'); do
    runpath=$(readelf -d "$program" | grep -E 'R(UN)?PATH' || true)
    if [[ "$runpath" == *"$build"* ]]; then fail "$program looks into the build tree: $runpath"; fi
    if grep -q -F "$build" "$program"; then fail "$program names the build tree"; fi
done
version=$(dpkg-deb -f "$deb" Version)
zelk="$work/root/usr/games/zelk"
[ -x "$zelk" ] || zelk="$work/root/usr/bin/zelk"
said=$("$zelk" --version)
[ "$said" = "zelk $version" ] || fail "zelk --version says \"$said\", the package $version"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"

echo "-- the demo game and its English edition"
for demo in demo demo-en; do
    for file in scenario.quor image.quor sound.quor opening.mpg mouse.png; do
        grep -qx "/usr/share/zelk/games/$demo/$file" "$work/packed" ||
            fail "the package lacks /usr/share/zelk/games/$demo/$file"
    done
done

echo "-- movies and MIDI are opened when needed, not linked"
for program in "$zelk" $(find "$work/root/usr/lib" -name 'libwavo.so*'); do
    linked=$(readelf -d "$program" | grep -E 'NEEDED.*\[lib(av|sw|fluidsynth)' || true)
    [ -z "$linked" ] || fail "$(basename "$program") links what it should open: $linked"
done
for library in libavformat libavcodec libfluidsynth; do
    dpkg-deb -f "$deb" Recommends | grep -q "$library" || fail "Recommends names no $library"
done

echo "-- lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian found errors"

echo "-- desktop metadata"
appstreamcli validate --no-net --pedantic "$work"/root/usr/share/metainfo/*.metainfo.xml ||
    fail "the metainfo is not valid"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop ||
    fail "the desktop entry is not valid"

echo "-- manual pages"
for page in "$work"/root/usr/share/man/man*/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -E UTF-8 -l -Tutf8 "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

echo "-- the installed player plays its demo and the English edition"
(cd "$work/root" && find . | sort) >"$work/before"
printf 'idle\nstate\nquit\n' >"$work/input"
# With no folder named, the demo; the English edition by its folder.
for game in "" "$work/root/usr/share/zelk/games/demo-en"; do
    if ! (cd / && env -u ZELK_SAVE_DIR SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZELK_ANSWERS= \
        HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" ZELK_INPUT="$work/input" \
        timeout 120 "$zelk" ${game:+"$game"} >"$work/out" 2>"$work/err"); then
        cat "$work/err" >&2
        fail "the installed player failed${game:+ on $game}"
    fi
    grep -q '^state mode=1 ' "$work/out" || fail "no title menu${game:+ of $game}: $(cat "$work/out")"
done
(cd "$work/root" && find . | sort) >"$work/after"
diff -u "$work/before" "$work/after" || fail "the player wrote into its installed files"
[ -e "$work/home/.local/share/zelk" ] || fail "the reader's files did not go to ~/.local/share/zelk"

[ "$failed" -eq 0 ] && echo "-- the package is sound"
exit "$failed"
