#include "fluid_library.h"

#include <cstdio>

#include "debug_log.h"

namespace wavo {
namespace {

void LogFluid(int, const char* message, void*) {
    WAVO_LOG("FluidSynth: %s\n", message);
}

}  // namespace

std::string FluidSynth::InstalledFile() {
    return WAVO_FLUIDSYNTH_FILE;
}

std::unique_ptr<FluidSynth> FluidSynth::Load(const std::string& file, std::string& why) {
    auto fluid = std::make_unique<FluidSynth>();
    FluidSynth& f = *fluid;
    if (!f.mLibrary.Open(file)) {
        why = f.mLibrary.Error();
        return nullptr;
    }
#define WAVO_FLUIDSYNTH_FIND(name) f.mLibrary.Find(#name, f.name);
    WAVO_FLUIDSYNTH_FUNCTIONS(WAVO_FLUIDSYNTH_FIND)
#undef WAVO_FLUIDSYNTH_FIND
    if (!f.mLibrary.Complete()) {
        why = f.mLibrary.Error();
        return nullptr;
    }
    f.mLibrary.Keep();
    f.fluid_set_log_function(FLUID_PANIC, LogFluid, nullptr);
    f.fluid_set_log_function(FLUID_ERR, LogFluid, nullptr);
    f.fluid_set_log_function(FLUID_WARN, LogFluid, nullptr);
    f.fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    f.fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    return fluid;
}

std::unique_ptr<FluidSynth> FluidSynth::LoadOrTell(const std::string& file) {
    std::string why;
    std::unique_ptr<FluidSynth> loaded = Load(file, why);
    if (!loaded)
        std::fprintf(stderr, "wavo: FluidSynth cannot be loaded (%s): MIDI music is silent\n",
                     why.c_str());
    return loaded;
}

const FluidSynth* FluidSynth::Shared() {
    // Loaded once, by whichever thread first needs it.
    static const std::unique_ptr<FluidSynth> shared = LoadOrTell(InstalledFile());
    return shared.get();
}

}  // namespace wavo
