#include "sound_output.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <system_error>
#include <vector>

#include "debug_log.h"

namespace wavo {
namespace {

// Audio and the event queue: device changes arrive as events.
constexpr Uint32 kSubsystems = SDL_INIT_AUDIO | SDL_INIT_EVENTS;

}  // namespace

int32_t ProbeSoundPlatform() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    // -1 means the driver cannot list its devices; its default one may still
    // open, so only a plain 0 counts as "no device at all".
    const int devices = SDL_GetNumAudioDevices(0);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return devices == 0 ? 0 : kPlatformPresent;
}

std::unique_ptr<SoundOutput> SoundOutput::Open(int32_t& failedStep, int32_t& platformResult) {
    if (int result = SDL_InitSubSystem(kSubsystems); result != 0) {
        WAVO_LOG("  SDL_InitSubSystem: %s\n", SDL_GetError());
        failedStep = kStepAudioInit;
        platformResult = result;
        return nullptr;
    }
    // The device's own rate spares the system a second conversion after
    // ours; a driver that cannot tell it gets the usual rate.
    uint32_t rate = kRate;
    if (SDL_AudioSpec native{}; SDL_GetDefaultAudioInfo(nullptr, &native, 0) == 0 &&
                                native.freq >= 8000 && native.freq <= 384000) {
        rate = static_cast<uint32_t>(native.freq);
    }
    auto output = std::make_unique<SoundOutput>(Key{}, rate);
    std::lock_guard lock(output->mDeviceLock);
    if (!output->OpenDevice()) {
        failedStep = kStepOpenDevice;
        platformResult = -1;
        return nullptr;  // the destructor quits the subsystems
    }
    SDL_AddEventWatch(&SoundOutput::OnEvent, output.get());
    output->mWatching = true;
    return output;
}

SoundOutput::SoundOutput(Key, uint32_t rate) : mMixer(rate) {
    SetRestAfter(kRestAfter);
}

SoundOutput::~SoundOutput() {
    // After SDL_DelEventWatch no watch call is running or will come.
    if (mWatching) SDL_DelEventWatch(&SoundOutput::OnEvent, this);
    StopSilentClock();
    {
        std::lock_guard lock(mDeviceLock);
        CloseDevice();
    }
    SDL_QuitSubSystem(kSubsystems);
}

void SoundOutput::SetChangeHandler(std::function<void()> handler) {
    std::lock_guard lock(mHandlerLock);
    mChange = std::move(handler);
}

void SoundOutput::NotifyChange() {
    std::function<void()> change;
    {
        std::lock_guard lock(mHandlerLock);
        change = mChange;
    }
    if (change) change();
}

// [SECTION] The device

bool SoundOutput::OpenDevice() {
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(mMixer.DeviceRate());
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kFrames;
    want.callback = &SoundOutput::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: a device opened again must take the mixer's rate,
    // which every buffer's rate conversion was made for.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        WAVO_LOG("  SDL_OpenAudioDevice: %s\n", SDL_GetError());
        return false;
    }
    mDefaultName = DefaultDeviceName();
    mDevice = device;
    mLost = false;
    mQuietFrames = 0;
    mRestAsked = false;
    // The device opens paused: the silent clock hands the mix over to it
    // without two threads pulling at once.
    StopSilentClock();
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void SoundOutput::CloseDevice() {
    // Closing waits for the callback to return, so the mixer is idle before
    // the device goes.
    if (const SDL_AudioDeviceID device = mDevice.exchange(0); device != 0)
        SDL_CloseAudioDevice(device);
}

std::string SoundOutput::DefaultDeviceName() {
    char* name = nullptr;
    SDL_AudioSpec spec{};
    if (SDL_GetDefaultAudioInfo(&name, &spec, 0) != 0 || name == nullptr) return {};
    std::string result = name;
    SDL_free(name);
    return result;
}

void SoundOutput::Reopen(const char* why) {
    CloseDevice();
    StartSilentClock();
    if (OpenDevice()) {
        ++mReopens;
        WAVO_LOG("SoundOutput %s: the default device is open again\n", why);
    } else {
        WAVO_LOG("SoundOutput %s: no device; sound goes on silently\n", why);
    }
}

void SoundOutput::Service() {
    const bool lost = mLost.exchange(false);
    const bool hotplug = mHotplug.exchange(false);
    const bool rest = mRestDue.exchange(false);
    if (!lost && !hotplug && !rest) return;
    std::lock_guard lock(mDeviceLock);
    if (lost && mDevice.load() != 0) {
        Reopen("device lost");
    } else if (mDevice.load() == 0) {
        // Still without a device: a new one may be the one to take. A
        // resting output takes the default one at the next sound start.
        if (hotplug && !mResting) Reopen("device added");
    } else if (hotplug) {
        // A device came or went; when the default is another one now, the
        // sound follows it (a server that moves its streams by itself shows
        // no change here).
        const std::string name = DefaultDeviceName();
        if (!name.empty() && !mDefaultName.empty() && name != mDefaultName)
            Reopen("default device changed");
    }
    if (rest) Rest();
}

void SoundOutput::Rest() {
    // A start that came since the quiet was counted keeps the output awake;
    // one that comes after this check waits for the lock, and wakes it.
    if (mResting || !mMixer.Silent()) return;
    const bool device = mDevice.load() != 0;
    bool clock = false;
    {
        std::lock_guard clockLock(mClockLock);
        clock = mClockRunning;
    }
    if (!device && !clock) return;
    CloseDevice();
    StopSilentClock();
    mResting = true;
    mRestedDevice = device;
    ++mRests;
    WAVO_LOG("SoundOutput: silent, the output rests\n");
}

void SoundOutput::SetRestAfter(std::chrono::milliseconds quiet) {
    mRestAfterFrames =
        static_cast<uint64_t>(std::max<int64_t>(quiet.count(), 0)) * mMixer.DeviceRate() / 1000;
}

bool SoundOutput::Resting() {
    std::lock_guard lock(mDeviceLock);
    return mResting;
}

void SoundOutput::Pulled(bool sounding, int frames) {
    if (sounding) {
        mQuietFrames.store(0, std::memory_order_relaxed);
        mRestAsked = false;
        return;
    }
    const uint64_t quiet =
        mQuietFrames.load(std::memory_order_relaxed) + static_cast<uint64_t>(frames);
    mQuietFrames.store(quiet, std::memory_order_relaxed);
    // Once per quiet spell: the worker does the closing.
    if (quiet >= mRestAfterFrames.load(std::memory_order_relaxed) && !mRestAsked.exchange(true)) {
        mRestDue = true;
        NotifyChange();
    }
}

bool SoundOutput::EnsureDevice() {
    if (mDevice.load() != 0 && !mLost.load()) {
        // A loss SDL did not announce shows in the device's status.
        if (SDL_GetAudioDeviceStatus(mDevice.load()) != SDL_AUDIO_STOPPED) return true;
        mLost = true;
    }
    std::lock_guard lock(mDeviceLock);
    if (mResting) {
        // Awake before the buffer plays: the new device takes the sound
        // from its first frame on, and nothing of it is lost to the wake.
        mResting = false;
        mRestDue = false;
        if (!mRestedDevice || !OpenDevice()) Reopen("sound start after a rest");
    } else if (mDevice.load() == 0 || mLost.exchange(false)) {
        Reopen("sound start");
    }
    if (mDevice.load() != 0) return true;
    std::lock_guard clockLock(mClockLock);
    return mClockRunning;
}

void SoundOutput::ReportLoss() {
    mLost = true;
    NotifyChange();
}

int SDLCALL SoundOutput::OnEvent(void* self, SDL_Event* event) {
    // Called inside SDL_PushEvent, maybe on SDL's own audio thread: nothing
    // here may close or open a device. The worker does that in Service().
    auto* output = static_cast<SoundOutput*>(self);
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0) {
        if (event->adevice.which == output->mDevice.load()) {
            output->ReportLoss();
        } else {
            output->mHotplug = true;
            output->NotifyChange();
        }
    } else if (event->type == SDL_AUDIODEVICEADDED && event->adevice.iscapture == 0) {
        output->mHotplug = true;
        output->NotifyChange();
    }
    return 1;
}

void SDLCALL SoundOutput::Callback(void* self, Uint8* stream, int length) {
    auto* output = static_cast<SoundOutput*>(self);
    const int frames = length / static_cast<int>(2 * sizeof(float));
    output->Pulled(output->mMixer.Mix(reinterpret_cast<float*>(stream), frames), frames);
}

// [SECTION] The silent clock

bool SoundOutput::StartSilentClock() {
    std::lock_guard lock(mClockLock);
    if (mClockRunning) return true;
    try {
        mClock = std::thread([this] { RunSilentClock(); });
    } catch (const std::system_error& error) {
        WAVO_LOG("SoundOutput: no silent clock: %s\n", error.what());
        return false;
    }
    mQuietFrames = 0;
    mRestAsked = false;
    mClockRunning = true;
    return true;
}

void SoundOutput::StopSilentClock() {
    {
        std::lock_guard lock(mClockLock);
        if (!mClockRunning) return;
        mClockRunning = false;
    }
    mClockStop.notify_all();
    mClock.join();
}

void SoundOutput::RunSilentClock() {
    pthread_setname_np(pthread_self(), "wavo-clock");
    // One device period at a time, at the pace a device would ask for it.
    std::vector<float> scratch(2 * kFrames);
    const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(double(kFrames) / mMixer.DeviceRate()));
    auto next = std::chrono::steady_clock::now();
    std::unique_lock lock(mClockLock);
    while (mClockRunning) {
        lock.unlock();
        Pulled(mMixer.Mix(scratch.data(), kFrames), kFrames);
        lock.lock();
        next += period;
        mClockStop.wait_until(lock, next, [&] { return !mClockRunning; });
    }
}

}  // namespace wavo
