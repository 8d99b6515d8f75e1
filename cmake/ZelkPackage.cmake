# The Debian package: everything `cmake --install` puts in place, plus the
# documents Debian asks every package for. scripts/package.sh builds it.
set(ZELK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zelk)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/cmake/debian/copyright
        DESTINATION ${ZELK_DOC_DIR})

# Debian wants a change log even from a package that is its own upstream.
set(changelog ${CMAKE_BINARY_DIR}/debian/changelog)
file(WRITE ${changelog}.in
     "zelk (@PROJECT_VERSION@) unstable; urgency=medium\n\n"
     "  * Release @PROJECT_VERSION@.\n\n"
     " -- The Zelk developers <zelk@zelk.org>  @ZELK_CHANGELOG_DATE@\n")
execute_process(COMMAND date -u -R -d ${ZELK_RELEASE_DATE}
                OUTPUT_VARIABLE ZELK_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${changelog}.in ${changelog} @ONLY)
add_custom_command(
    OUTPUT ${changelog}.gz
    COMMAND ${ZELK_GZIP} -9nf -k ${changelog}
    DEPENDS ${changelog}
    VERBATIM)
add_custom_target(zelk_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${ZELK_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Zelk developers <zelk@zelk.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scenario player for Japanese visual-novel games")
# The summary above is its first line; CPack indents the rest and turns the
# empty line into Debian's paragraph mark.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Zelk plays visual-novel games: stories told in pages of text over pictures,
with music, voices, movies and choices. It saves and loads with pictures,
skips what was read, keeps a log of earlier pages with their voices, and
runs in a window or full screen with a mouse, keyboard or gamepad.

The package holds the player, its film and sound engines, the author's
tool zelk-tool and a short demo game.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZELK_HOMEPAGE})
# Computed from what the programs and engines link; the engines are found in
# their private folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CPACK_PACKAGING_INSTALL_PREFIX}/${ZELK_LIB_INSTALL_DIR})
# Loaded at run time rather than linked: the Japanese fonts the text is set
# in, the fonts other scripts fall back to, the General MIDI sound font, and
# FFmpeg's and FluidSynth's libraries (opened when the first movie, Opus, FLAC
# or MP3 sound, or MIDI piece plays). Recommended, not required: the player
# starts and plays without them, skipping what needs them with a line on
# standard error, while apt installs them with it by default. Their package
# names follow the sonames the build opens (libavformat.so.59 is in
# libavformat59). The shaping, bidirectional and line-breaking libraries are
# linked, so the computed dependencies name them.
set(zelk_runtime_libraries)
foreach(soname ${ZELK_AVFORMAT_SONAME} ${ZELK_AVCODEC_SONAME} ${ZELK_SWSCALE_SONAME}
        ${ZELK_SWRESAMPLE_SONAME} ${ZELK_AVUTIL_SONAME} ${ZELK_FLUIDSYNTH_SONAME})
    string(REGEX REPLACE "^(.*)\\.so\\.([0-9]+)$" "\\1\\2" package ${soname})
    if(soname MATCHES "[0-9]\\.so\\.")
        string(REGEX REPLACE "^(.*)\\.so\\.([0-9]+)$" "\\1-\\2" package ${soname})
    endif()
    list(APPEND zelk_runtime_libraries ${package})
endforeach()
list(JOIN zelk_runtime_libraries ", " zelk_runtime_libraries)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-ipafont-gothic, fonts-ipafont-mincho, fonts-noto-core, fluid-soundfont-gm, ${zelk_runtime_libraries}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
