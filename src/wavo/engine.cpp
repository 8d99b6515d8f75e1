#include "engine.h"

#include <cstring>

#include "debug_log.h"

namespace wavo {
namespace {

// What the engine start asks of the platform: media device, music
// performance, movie service and sound device; not the mixer.
constexpr uint32_t kStartServices = kServiceMci | kServiceMusic | kServiceMovie | kServiceSound;

template <typename T>
T Read(const void* value) {
    T v;
    std::memcpy(&v, value, sizeof v);
    return v;
}

template <typename T>
int32_t Write(void* result, T value) {
    std::memcpy(result, &value, sizeof value);
    return WAVO_OK;
}

int32_t QueueCodeOf(int32_t method) {
    switch (method) {
        case SM_LOAD:
            return kMethodLoad;
        case SM_PLAY:
            return kMethodPlay;
        case SM_STOP:
            return kMethodStop;
        case SM_UNLOAD:
            return kMethodUnload;
        case SM_FADE_IN:
            return kMethodFadeIn;
        case SM_FADE_OUT:
            return kMethodFadeOut;
        default:
            return 0;
    }
}

}  // namespace

Engine::Engine() = default;

Engine::~Engine() {
    Terminate();
}

// [SECTION] Start and stop

int32_t Engine::Initialize() {
    WAVO_LOG("InitializeWavo Start\n");
    mStarted = false;
    const int32_t result = mServices.Initialize(kStartServices, mErrors);
    if (result != WAVO_OK) {
        WAVO_LOG("InitializeWavo Wavo.Initialize failed\n");
        mServices.Terminate();
        mLastError = result;
        // Movies need no sound device: without one they play silently on
        // the wall clock, and the host's own polls notice their end.
        mMovie = std::make_unique<MoviePlayer>(nullptr);
        return result;
    }
    WAVO_LOG("InitializeWavo Wavo.Initialize success\n");
    mObjects = std::make_unique<SOList>();
    mJobs = std::make_unique<JobList>();
    mMethods = std::make_unique<MethodQueue>();
    WAVO_LOG("InitializeWavo JobList initialized\n");
    mMovie = std::make_unique<MoviePlayer>(mServices.GetMixer());
    mWorker = std::make_unique<JobThread>(
        *mJobs, *mMethods, *mObjects, mServices.Clock(),
        [this](int32_t id, int32_t code, int32_t lparam) { SendEvent(id, code, lparam); },
        [this] {
            mMovie->IsPlaying();
            if (SoundOutput* output = mServices.Output()) output->Service();
        });
    auto wake = [worker = mWorker.get()] { worker->Wake(); };
    mJobs->SetWakeHandler(wake);
    mMovie->SetEndHandler(wake);
    mMethods->SetWakeHandler(wake);
    if (SoundOutput* output = mServices.Output()) {
        output->GetMixer().SetWakeHandler(wake);
        output->GetMixer().SetStartHandler([output] { return output->EnsureDevice(); });
        output->SetChangeHandler(wake);
    }
    mWorker->Start();
    WAVO_LOG("InitializeWavo JobThread initialized\n");
    WAVO_LOG("InitializeWavo Done\n");
    mStarted = true;
    return WAVO_OK;
}

void Engine::Terminate() {
    if (!mStarted) {
        mMovie.reset();
        return;
    }
    WAVO_LOG("TerminateWavo Start\n");
    // The movie wakes the worker when it ends: it stops first.
    mMovie->Stop();
    mWorker->Stop();
    if (SoundOutput* output = mServices.Output()) {
        output->GetMixer().SetWakeHandler(nullptr);
        output->GetMixer().SetStartHandler(nullptr);
        output->SetChangeHandler(nullptr);
    }
    mWorker.reset();
    mMovie.reset();
    WAVO_LOG("TerminateWavo JobThread teminated\n");
    mMethods.reset();
    // The objects hold on to the job list, so they go first.
    mObjects.reset();
    mJobs.reset();
    WAVO_LOG("TerminateWavo JobList teminated\n");
    mServices.Terminate();
    mStarted = false;
}

// [SECTION] Engine properties

bool Engine::AnsweredWhenStopped(int32_t property) const {
    switch (property) {
        case WP_LAST_ERROR:
        case WP_PLATFORM_VERSION:
        case WP_EXT_ERROR1:
        case WP_EXT_ERROR2:
        case WP_EVENT_WINDOW:
        case WP_EVENT_MESSAGE:
        case WP_VIDEO_WINDOW:
        case WP_DISPLAY_WINDOW:
            return true;
        default:
            return false;
    }
}

int32_t Engine::SetProperty(int32_t property, const void* value) {
    if (!mStarted && !AnsweredWhenStopped(property)) return WAVO_OK;
    return SetEngineProperty(property, value);
}

int32_t Engine::GetProperty(int32_t property, void* result) {
    if (!mStarted && !AnsweredWhenStopped(property)) return WAVO_OK;
    return GetEngineProperty(property, result);
}

int32_t Engine::SetEngineProperty(int32_t property, const void* value) {
    switch (property) {
        case WP_LAST_ERROR:
        case WP_PLATFORM_VERSION:
        case WP_EXT_ERROR1:
        case WP_EXT_ERROR2:
            return WAVO_E_UNAVAILABLE;
        case WP_SO_COUNT:
            return mObjects->Count();
        case WP_EVENT_WINDOW: {
            std::lock_guard lock(mEventLock);
            mEventWindow = value ? Read<WavoEventWindow>(value) : WavoEventWindow{};
            return WAVO_OK;
        }
        default:
            break;
    }
    if (value == nullptr) return WAVO_E_INVALID_VALUE;
    switch (property) {
        case WP_EVENT_MESSAGE: {
            std::lock_guard lock(mEventLock);
            mEventMessage = Read<uint32_t>(value);
            return WAVO_OK;
        }
        case WP_VIDEO_WINDOW:
            mVideoWindow = Read<uintptr_t>(value);
            return WAVO_OK;
        case WP_DISPLAY_WINDOW:
            mDisplayWindow = Read<uint32_t>(value);
            return WAVO_OK;
        default:
            break;
    }
    // The rest is answered only by a started engine, which has its lists.
    SODefaults& defaults = mObjects->Defaults();
    switch (property) {
        case WP_HOST_VALUE:
            mObjects->HostValue() = Read<int32_t>(value);
            return WAVO_OK;
        case WP_DEFAULT_VOLUME:
            defaults.volume = Read<int32_t>(value);
            return WAVO_OK;
        case WP_DEFAULT_AUTO_RELEASE:
            defaults.autoRelease = Read<uint8_t>(value);
            return WAVO_OK;
        case WP_DEFAULT_PLAY_COUNT:
            defaults.playCount = Read<int32_t>(value);
            return WAVO_OK;
        case WP_DEFAULT_SYNC:
            defaults.sync = Read<uint8_t>(value);
            return WAVO_OK;
        case WP_DEFAULT_FADE_TIME:
            defaults.fadeTime = Read<int32_t>(value);
            return WAVO_OK;
        case WP_MIXER_MUTE2:
            mMixerLines[1].mute = Read<uint8_t>(value);
            return WAVO_OK;
        case WP_MIXER_MUTE3:
            mMixerLines[2].mute = Read<uint8_t>(value);
            return WAVO_OK;
        case WP_MIXER_MUTE4:
            mMixerLines[3].mute = Read<uint8_t>(value);
            return WAVO_OK;
        case WP_MIXER_LEVEL2:
            mMixerLines[1].level = Read<int32_t>(value);
            return WAVO_OK;
        case WP_MIXER_LEVEL3:
            mMixerLines[2].level = Read<int32_t>(value);
            return WAVO_OK;
        case WP_MIXER_LEVEL4:
            mMixerLines[3].level = Read<int32_t>(value);
            return WAVO_OK;
        default:
            return WAVO_E_NO_PROPERTY;
    }
}

int32_t Engine::GetEngineProperty(int32_t property, void* result) {
    if (result == nullptr) return WAVO_E_INVALID_VALUE;
    switch (property) {
        case WP_LAST_ERROR:
            return Write(result, mLastError);
        case WP_HOST_VALUE:
            return Write(result, mObjects->HostValue());
        case WP_PLATFORM_VERSION:
            return Write(result, mErrors.platformVersion);
        case WP_SO_COUNT:
            return Write(result, mObjects->Count());
        case WP_EXT_ERROR1:
            return Write(result, mErrors.extended1);
        case WP_EXT_ERROR2:
            return Write(result, mErrors.extended2);
        case WP_EVENT_WINDOW: {
            std::lock_guard lock(mEventLock);
            return Write(result, mEventWindow);
        }
        case WP_EVENT_MESSAGE: {
            std::lock_guard lock(mEventLock);
            return Write(result, mEventMessage);
        }
        case WP_DEFAULT_VOLUME:
            return Write(result, mObjects->Defaults().volume);
        case WP_DEFAULT_AUTO_RELEASE:
            return Write(result, mObjects->Defaults().autoRelease);
        case WP_DEFAULT_PLAY_COUNT:
            return Write(result, mObjects->Defaults().playCount);
        case WP_DEFAULT_SYNC:
            return Write(result, mObjects->Defaults().sync);
        case WP_DEFAULT_FADE_TIME:
            return Write(result, mObjects->Defaults().fadeTime);
        case WP_MIXER_MUTE2:
            return Write(result, mMixerLines[1].mute);
        case WP_MIXER_MUTE3:
            return Write(result, mMixerLines[2].mute);
        case WP_MIXER_MUTE4:
            return Write(result, mMixerLines[3].mute);
        case WP_MIXER_LEVEL2:
            return Write(result, mMixerLines[1].level);
        case WP_MIXER_LEVEL3:
            return Write(result, mMixerLines[2].level);
        case WP_MIXER_LEVEL4:
            return Write(result, mMixerLines[3].level);
        case WP_VIDEO_WINDOW:
            return Write(result, mVideoWindow);
        case WP_DISPLAY_WINDOW:
            return Write(result, mDisplayWindow);
        default:
            return WAVO_E_NO_PROPERTY;
    }
}

void Engine::SendEvent(int32_t id, int32_t code, int32_t lparam) {
    WavoEventWindow window;
    uint32_t message;
    {
        std::lock_guard lock(mEventLock);
        window = mEventWindow;
        message = mEventMessage;
    }
    if (window.proc != nullptr) window.proc(window.context, message, id | code, lparam);
}

// [SECTION] Sound objects

int32_t Engine::AddSO(int32_t typeWord) {
    if (!mStarted) return 0;
    const SOContext context{*mJobs, mServices.Clock(), mServices.GetMixer()};
    return mObjects->Add(typeWord, context);
}

void Engine::RemoveSO(int32_t id) {
    if (mStarted) mObjects->Remove(id);
}

void Engine::ClearSO() {
    if (mStarted) mObjects->Clear();
}

void Engine::EnumSO(WavoEnumProc proc) {
    if (!mStarted || proc == nullptr) return;
    // The walk runs on a copy of the ids, outside the lock, so that the
    // callback may remove objects without pulling the list from under it.
    for (int32_t id : mObjects->Ids()) {
        if (proc(id) == 0) break;
    }
}

int32_t Engine::SetSOProp(int32_t id, int32_t property, const void* value) {
    if (!mStarted || id == -1) return WAVO_OK;
    std::lock_guard lock(mObjects->Mutex());
    SOBase* object = mObjects->Find(id);
    return object ? object->SetProperty(property, value) : WAVO_E_NO_SO;
}

int32_t Engine::GetSOProp(int32_t id, int32_t property, void* result) {
    if (!mStarted || id == -1) return WAVO_OK;
    std::lock_guard lock(mObjects->Mutex());
    SOBase* object = mObjects->Find(id);
    return object ? object->GetProperty(property, result) : WAVO_E_NO_SO;
}

int32_t Engine::CallSOMethod(int32_t id, int32_t method, const int32_t* param) {
    if (!mStarted) return WAVO_OK;
    if (mObjects->Find(id) == nullptr) return WAVO_E_NO_SO;
    const int32_t code = QueueCodeOf(method);
    if (code == 0) return WAVO_E_NO_METHOD;
    const int32_t parameter = code == kMethodFadeOut && param != nullptr ? *param : 0;
    const int32_t entry = mMethods->Add(id, code, parameter);
    // On the worker itself (an event callback) waiting would never end: the
    // method runs in the next round instead.
    if (mWorker->IsWorkerThread()) return WAVO_OK;
    mMethods->WaitRemoved(entry);
    if (code == kMethodPlay) WaitWhilePlaying(id);
    return WAVO_OK;
}

void Engine::WaitWhilePlaying(int32_t id) {
    // The sync wait belongs to the caller: on the worker it would hold up the
    // very passes that end the play.
    for (;;) {
        {
            std::lock_guard lock(mObjects->Mutex());
            SOBase* object = mObjects->Find(id);
            if (object == nullptr || !object->Sync() || object->GetState() != SS_PLAYING) return;
        }
        mWorker->WaitForRound(std::chrono::milliseconds(50));
    }
}

void Engine::AddNewJob(int32_t type, int32_t id, int32_t delay, int32_t param) {
    if (!mStarted) return;
    mJobs->Add(Job{0, id, type, mServices.Clock().Now() + delay, param, 0, 0});
}

void Engine::Test() {
    if (!mStarted) return;
    std::lock_guard lock(mObjects->Mutex());
    if (SOBase* object = mObjects->Find(0)) object->ClassStepB();
}

// [SECTION] Movies and display size

int32_t Engine::PlayMovie(const char* path) {
    if (!mMovie) return WAVO_OK;
    const int32_t volume = mObjects ? mObjects->Defaults().volume : 0;
    mLastError = mMovie->Play(path, mVideoWindow, volume, mErrors);
    return mLastError;
}

int32_t Engine::StopMovie() {
    return mMovie ? mMovie->Stop() : WAVO_OK;
}

int32_t Engine::ChangeMovieWindow() {
    return mMovie ? mMovie->ChangeWindow(mVideoWindow, mErrors) : WAVO_OK;
}

int32_t Engine::IsMoviePlaying() {
    return mMovie ? mMovie->IsPlaying() : 0;
}

int32_t Engine::ChangeDisplaySize(int32_t width, int32_t height, int32_t bits) {
    return mDisplay.Change(mDisplayWindow, width, height, bits, mErrors);
}

int32_t Engine::ResumeDisplaySize() {
    WAVO_LOG("ResumeDisplaySize\n");
    mDisplay.Resume();
    return WAVO_OK;
}

}  // namespace wavo
