#pragma once
// Wavo: the engine object. It brings the platform services up and down,
// answers the engine properties, owns the three lists and the worker thread,
// and is what every export works on.

#include <cstdint>
#include <memory>
#include <mutex>

#include "display_mode.h"
#include "job_list.h"
#include "job_thread.h"
#include "method_queue.h"
#include "movie_player.h"
#include "platform_services.h"
#include "so_list.h"
#include "wavo.h"

namespace wavo {

class Engine {
public:
    Engine();
    ~Engine();

    // The start-up sequence; 0 or the code of the failed step.
    int32_t Initialize();
    // Stops exactly what Initialize started; nothing when not started.
    void Terminate();
    bool Started() const { return mStarted; }
    // True on the engine's own worker (inside an event callback), where the
    // engine cannot be stopped: stopping waits for that very thread.
    bool OnWorkerThread() const { return mWorker && mWorker->IsWorkerThread(); }

    int32_t SetProperty(int32_t property, const void* value);
    int32_t GetProperty(int32_t property, void* result);

    int32_t AddSO(int32_t typeWord);
    void RemoveSO(int32_t id);
    void ClearSO();
    void EnumSO(WavoEnumProc proc);
    int32_t SetSOProp(int32_t id, int32_t property, const void* value);
    int32_t GetSOProp(int32_t id, int32_t property, void* result);
    int32_t CallSOMethod(int32_t id, int32_t method, const int32_t* param);
    void AddNewJob(int32_t type, int32_t id, int32_t delay, int32_t param);
    void Test();

    int32_t PlayMovie(const char* path);
    int32_t StopMovie();
    int32_t ChangeMovieWindow();
    int32_t IsMoviePlaying();
    int32_t ChangeDisplaySize(int32_t width, int32_t height, int32_t bits);
    int32_t ResumeDisplaySize();

    int32_t PlatformVersion() const { return mErrors.platformVersion; }

private:
    struct MixerLine {
        int32_t level = 255;
        uint8_t mute = 0;
    };

    void SendEvent(int32_t id, int32_t code, int32_t lparam);
    bool AnsweredWhenStopped(int32_t property) const;
    int32_t SetEngineProperty(int32_t property, const void* value);
    int32_t GetEngineProperty(int32_t property, void* result);
    void WaitWhilePlaying(int32_t id);

    bool mStarted = false;
    int32_t mLastError = 0;
    ServiceErrors mErrors;
    std::mutex mEventLock;  // the host sets the window while the worker sends
    WavoEventWindow mEventWindow{};
    uint32_t mEventMessage = 512;
    uintptr_t mVideoWindow = 0;
    uint32_t mDisplayWindow = 0;
    DisplayMode mDisplay;
    MixerLine mMixerLines[4];

    PlatformServices mServices;
    std::unique_ptr<SOList> mObjects;
    std::unique_ptr<JobList> mJobs;
    std::unique_ptr<MethodQueue> mMethods;
    std::unique_ptr<MoviePlayer> mMovie;
    std::unique_ptr<JobThread> mWorker;
};

}  // namespace wavo
