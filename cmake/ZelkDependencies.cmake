# Outside libraries, found once for every module. Each module links the
# imported targets it needs.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_IMAGE REQUIRED IMPORTED_TARGET SDL2_image)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
# Self-voicing: only the header; the library is opened when first needed.
pkg_check_modules(SPEECHD REQUIRED speech-dispatcher)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
pkg_check_modules(OGG REQUIRED IMPORTED_TARGET ogg)
pkg_check_modules(VORBIS REQUIRED IMPORTED_TARGET vorbis vorbisfile)
# Movies: demuxing, decoding, picture scaling and sound conversion.
pkg_check_modules(FFMPEG REQUIRED libavformat libavcodec libswscale libswresample libavutil)

# The sound engine's rate conversion.
pkg_check_modules(SOXR REQUIRED IMPORTED_TARGET soxr)
# The sound engine's MIDI synthesizer (the General MIDI sound font comes
# with fluid-soundfont-gm and is looked for at run time).
pkg_check_modules(FLUIDSYNTH REQUIRED fluidsynth)

# FFmpeg and FluidSynth are opened with dlopen when a movie or a MIDI piece
# first needs them, never linked: a game that plays neither does not map the
# hundred libraries they bring, and a machine without them still plays. Only
# their headers are used here, with the sonames of the libraries the -dev
# packages link to, read from the libraries themselves so that a new major
# version is picked up by the next build rather than missed at run time.
find_program(ZELK_READELF NAMES readelf llvm-readelf REQUIRED)
function(zelk_soname variable name hints)
    find_library(library_${name} NAMES ${name} HINTS ${hints} NO_CACHE REQUIRED)
    execute_process(COMMAND ${ZELK_READELF} -d ${library_${name}} OUTPUT_VARIABLE dynamic
                    RESULT_VARIABLE failed)
    if(failed OR NOT dynamic MATCHES "Library soname: \\[([^]]+)\\]")
        message(FATAL_ERROR "${library_${name}} names no soname")
    endif()
    set(${variable} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()
foreach(name avformat avcodec swscale swresample avutil fluidsynth)
    zelk_soname(soname ${name} "${FFMPEG_LIBRARY_DIRS};${FLUIDSYNTH_LIBRARY_DIRS}")
    string(TOUPPER ${name} upper)
    set(ZELK_${upper}_SONAME ${soname})
endforeach()
message(STATUS "Opened at run time: ${ZELK_AVFORMAT_SONAME} ${ZELK_AVCODEC_SONAME} "
               "${ZELK_SWSCALE_SONAME} ${ZELK_SWRESAMPLE_SONAME} ${ZELK_AVUTIL_SONAME} "
               "${ZELK_FLUIDSYNTH_SONAME}")
add_library(wavo_ffmpeg_api INTERFACE)
target_include_directories(wavo_ffmpeg_api SYSTEM INTERFACE ${FFMPEG_INCLUDE_DIRS})
target_compile_options(wavo_ffmpeg_api INTERFACE ${FFMPEG_CFLAGS_OTHER})
target_compile_definitions(wavo_ffmpeg_api INTERFACE
    WAVO_AVFORMAT_FILE="${ZELK_AVFORMAT_SONAME}" WAVO_AVCODEC_FILE="${ZELK_AVCODEC_SONAME}"
    WAVO_SWSCALE_FILE="${ZELK_SWSCALE_SONAME}" WAVO_SWRESAMPLE_FILE="${ZELK_SWRESAMPLE_SONAME}"
    WAVO_AVUTIL_FILE="${ZELK_AVUTIL_SONAME}")
target_link_libraries(wavo_ffmpeg_api INTERFACE ${CMAKE_DL_LIBS})
add_library(wavo_fluidsynth_api INTERFACE)
target_include_directories(wavo_fluidsynth_api SYSTEM INTERFACE ${FLUIDSYNTH_INCLUDE_DIRS})
target_compile_options(wavo_fluidsynth_api INTERFACE ${FLUIDSYNTH_CFLAGS_OTHER})
target_compile_definitions(wavo_fluidsynth_api INTERFACE
    WAVO_FLUIDSYNTH_FILE="${ZELK_FLUIDSYNTH_SONAME}")
target_link_libraries(wavo_fluidsynth_api INTERFACE ${CMAKE_DL_LIBS})

# Dear ImGui: the library holds the core and the SDL2 platform backend; the
# SDL_Renderer backend ships only as a source file with the documentation.
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)
find_path(IMGUI_INCLUDE_DIR imgui.h PATH_SUFFIXES imgui REQUIRED)
set(IMGUI_SDLRENDERER_SOURCE
    /usr/share/doc/libimgui-dev/examples/backends/imgui_impl_sdlrenderer.cpp)
if(NOT EXISTS ${IMGUI_SDLRENDERER_SOURCE})
    message(FATAL_ERROR "The Dear ImGui SDL_Renderer backend source is missing: "
                        "${IMGUI_SDLRENDERER_SOURCE} (install libimgui-dev)")
endif()
add_library(imgui_sdl STATIC ${IMGUI_SDLRENDERER_SOURCE})
target_include_directories(imgui_sdl SYSTEM PUBLIC ${IMGUI_INCLUDE_DIR}
                           ${IMGUI_INCLUDE_DIR}/backends)
target_link_libraries(imgui_sdl PUBLIC PkgConfig::IMGUI PkgConfig::SDL2)
# Outside code: its warnings are not ours to fix.
target_compile_options(imgui_sdl PRIVATE -w)
