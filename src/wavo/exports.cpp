// The exported functions: flat C entry points over the one engine of the
// loaded library.

#include <memory>
#include <string>

#include "cp932.h"
#include "debug_log.h"
#include "engine.h"
#include "error_text.h"
#include "machine_info.h"
#include "sound_output.h"
#include "wavo.h"

namespace {

// The engine of this loaded library: made by InitializeWavo, kept after a
// failed start so that its error properties can be read.
std::unique_ptr<wavo::Engine>& TheEngine() {
    static std::unique_ptr<wavo::Engine> engine;
    return engine;
}

wavo::Engine* StartedEngine() {
    wavo::Engine* engine = TheEngine().get();
    return engine != nullptr && engine->Started() ? engine : nullptr;
}

}  // namespace

extern "C" {

WAVO_API int32_t InitializeWavo(void) {
    auto& engine = TheEngine();
    if (engine && engine->OnWorkerThread()) return 0;
    // A second start replaces the engine; the old one stops what it started
    // instead of leaving its thread and device behind.
    engine.reset();
    engine = std::make_unique<wavo::Engine>();
    return engine->Initialize();
}

WAVO_API int32_t TerminateWavo(void) {
    wavo::Engine* engine = StartedEngine();
    if (engine == nullptr) {
        // A failed start still plays movies: they stop here; its errors stay
        // readable.
        if (TheEngine()) TheEngine()->Terminate();
        return 0;
    }
    if (engine->OnWorkerThread()) return 0;
    engine->Terminate();
    TheEngine().reset();
    WAVO_LOG("TerminateWavo Wavo.Terminate\n");
    WAVO_LOG("TerminateWavo Done\n");
    wavo::DebugLog::Instance().Forget();
    return 0;
}

WAVO_API int32_t SetEventProc(int32_t, int32_t, int32_t, int32_t) {
    return 0;
}

WAVO_API int32_t SetWavoProp(int32_t property, const void* value) {
    wavo::Engine* engine = TheEngine().get();
    return engine != nullptr ? engine->SetProperty(property, value) : 0;
}

WAVO_API int32_t GetWavoProp(int32_t property, void* result) {
    wavo::Engine* engine = TheEngine().get();
    return engine != nullptr ? engine->GetProperty(property, result) : 0;
}

WAVO_API int32_t AddSO(int32_t type) {
    wavo::Engine* engine = StartedEngine();
    return engine != nullptr ? engine->AddSO(type) : 0;
}

WAVO_API int32_t RemoveSO(int32_t id) {
    wavo::Engine* engine = StartedEngine();
    if (engine == nullptr) return 0;
    engine->RemoveSO(id);
    return 1;
}

WAVO_API int32_t SetSOProp(int32_t id, int32_t property, const void* value) {
    wavo::Engine* engine = StartedEngine();
    return engine != nullptr ? engine->SetSOProp(id, property, value) : 0;
}

WAVO_API int32_t GetSOProp(int32_t id, int32_t property, void* result) {
    wavo::Engine* engine = StartedEngine();
    return engine != nullptr ? engine->GetSOProp(id, property, result) : 0;
}

WAVO_API int32_t CallSOMethod(int32_t id, int32_t method, const int32_t* param) {
    wavo::Engine* engine = StartedEngine();
    return engine != nullptr ? engine->CallSOMethod(id, method, param) : 0;
}

WAVO_API int32_t CallWavoMethod(int32_t, int32_t) {
    return 0;
}

WAVO_API int32_t AddNewJob(int32_t type, int32_t id, int32_t delay, int32_t param) {
    if (wavo::Engine* engine = StartedEngine()) engine->AddNewJob(type, id, delay, param);
    return 0;
}

WAVO_API int32_t ClearSO(void) {
    if (wavo::Engine* engine = StartedEngine()) engine->ClearSO();
    return 0;
}

WAVO_API int32_t GetErrorDescription(int32_t code, char* buffer, int32_t size) {
    wavo::CopyErrorDescription(code, buffer, size);
    return 0;
}

WAVO_API int32_t EnumSO(WavoEnumProc proc) {
    wavo::Engine* engine = StartedEngine();
    if (engine == nullptr) return 0;
    engine->EnumSO(proc);
    return 1;
}

WAVO_API int32_t Test(int32_t) {
    if (wavo::Engine* engine = StartedEngine()) engine->Test();
    return 0;
}

WAVO_API int32_t SetDebugLog(const char* path) {
    auto& log = wavo::DebugLog::Instance();
    if (path == nullptr || *path == '\0') {
        log.Forget();
        return 0;
    }
    log.SetPath(wavo::Utf8FromCp932(path));
    // Gathered once for the process: the machine does not change under us.
    static const std::string description = [] {
        wavo::Engine* engine = StartedEngine();
        return wavo::DescribeMachine(engine != nullptr ? engine->PlatformVersion()
                                                       : wavo::ProbeSoundPlatform());
    }();
    log.WriteText(description);
    return 0;
}

// Movies and the display need no sound device: they work after a failed
// start too.
WAVO_API int32_t dshowPlay(const char* path) {
    wavo::Engine* engine = TheEngine().get();
    return engine != nullptr ? engine->PlayMovie(path) : 0;
}

WAVO_API int32_t dshowStop(void) {
    wavo::Engine* engine = TheEngine().get();
    return engine != nullptr ? engine->StopMovie() : 0;
}

WAVO_API int32_t dshowChangeWindow(void) {
    wavo::Engine* engine = TheEngine().get();
    return engine != nullptr ? engine->ChangeMovieWindow() : 0;
}

WAVO_API int32_t dshowIsPlaying(void) {
    wavo::Engine* engine = TheEngine().get();
    return engine != nullptr ? engine->IsMoviePlaying() : 0;
}

WAVO_API int32_t ChangeDisplaySize(int32_t, int32_t width, int32_t height, int32_t bits) {
    wavo::Engine* engine = TheEngine().get();
    return engine != nullptr ? engine->ChangeDisplaySize(width, height, bits) : 0;
}

WAVO_API int32_t ResumeDisplaySize(void) {
    wavo::Engine* engine = TheEngine().get();
    return engine != nullptr ? engine->ResumeDisplaySize() : 0;
}

}  // extern "C"
