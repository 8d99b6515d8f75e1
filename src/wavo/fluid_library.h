#pragma once
// FluidSynth, opened when the first MIDI piece plays: it brings sound
// servers, GLib and a dozen more libraries that a game without MIDI never
// needs mapped. Its header gives the types; the functions are called
// through the pointers below. Without it MIDI music is silent.

#include <fluidsynth.h>

#include <memory>
#include <string>

#include "shared_library.h"

// Every FluidSynth function the engine calls.
// clang-format off
#define WAVO_FLUIDSYNTH_FUNCTIONS(X) \
    X(new_fluid_settings) \
    X(delete_fluid_settings) \
    X(fluid_settings_setint) \
    X(fluid_settings_setnum) \
    X(fluid_settings_setstr) \
    X(new_fluid_synth) \
    X(delete_fluid_synth) \
    X(fluid_synth_sfload) \
    X(fluid_synth_all_sounds_off) \
    X(fluid_synth_system_reset) \
    X(fluid_synth_get_active_voice_count) \
    X(fluid_synth_write_s16) \
    X(new_fluid_player) \
    X(delete_fluid_player) \
    X(fluid_player_add_mem) \
    X(fluid_player_play) \
    X(fluid_player_stop) \
    X(fluid_player_seek) \
    X(fluid_player_get_status) \
    X(fluid_player_get_current_tick) \
    X(fluid_set_log_function)
// clang-format on

namespace wavo {

class FluidSynth {
public:
    // The soname of the library the engine was built against.
    static std::string InstalledFile();

    // nullptr, with `why`, unless `file` loads and holds every function.
    // Its complaints go to the engine's log, its chatter nowhere.
    static std::unique_ptr<FluidSynth> Load(const std::string& file, std::string& why);
    // Load, saying in one line on standard error that MIDI is silent without it.
    static std::unique_ptr<FluidSynth> LoadOrTell(const std::string& file);
    // The process's one copy of the installed library, loaded (or told
    // missing) on the first call; nullptr when it is missing.
    static const FluidSynth* Shared();

#define WAVO_FLUIDSYNTH_POINTER(name) decltype(&::name) name = nullptr;
    WAVO_FLUIDSYNTH_FUNCTIONS(WAVO_FLUIDSYNTH_POINTER)
#undef WAVO_FLUIDSYNTH_POINTER

private:
    SharedLibrary mLibrary;
};

// Where a caller takes FluidSynth from: FluidSynth::Shared, or in the tests
// a library that is not there.
using FluidSynthSource = const FluidSynth* (*)();

}  // namespace wavo
