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
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale
                  libswresample libavutil)

# The sound engine's rate conversion.
pkg_check_modules(SOXR REQUIRED IMPORTED_TARGET soxr)
# The sound engine's MIDI synthesizer (the General MIDI sound font comes
# with fluid-soundfont-gm and is looked for at run time).
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)

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
