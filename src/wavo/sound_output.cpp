#include "sound_output.h"

#include "debug_log.h"

namespace wavo {

int32_t ProbeSoundPlatform() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    // -1 means the driver cannot list its devices; its default one may still
    // open, so only a plain 0 counts as "no device at all".
    const int devices = SDL_GetNumAudioDevices(0);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return devices == 0 ? 0 : kPlatformPresent;
}

std::unique_ptr<SoundOutput> SoundOutput::Open(int32_t& failedStep, int32_t& platformResult) {
    if (int result = SDL_InitSubSystem(SDL_INIT_AUDIO); result != 0) {
        WAVO_LOG("  SDL_InitSubSystem: %s\n", SDL_GetError());
        failedStep = kStepAudioInit;
        platformResult = result;
        return nullptr;
    }
    SDL_AudioSpec want{};
    // The device's own rate spares the system a second conversion after
    // ours; a driver that cannot tell it gets the usual rate.
    want.freq = kRate;
    if (SDL_AudioSpec native{}; SDL_GetDefaultAudioInfo(nullptr, &native, 0) == 0 &&
                                native.freq >= 8000 && native.freq <= 384000) {
        want.freq = native.freq;
    }
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kFrames;
    auto output = std::make_unique<SoundOutput>(Key{}, static_cast<uint32_t>(want.freq));
    want.callback = &SoundOutput::Callback;
    want.userdata = output.get();
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        WAVO_LOG("  SDL_OpenAudioDevice: %s\n", SDL_GetError());
        failedStep = kStepOpenDevice;
        platformResult = -1;
        return nullptr;  // the destructor quits the subsystem
    }
    output->mDevice = device;
    SDL_PauseAudioDevice(device, 0);
    return output;
}

SoundOutput::~SoundOutput() {
    // Closing waits for the callback to return, so the mixer is idle before
    // it goes.
    if (mDevice != 0) SDL_CloseAudioDevice(mDevice);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SoundOutput::Callback(void* self, Uint8* stream, int length) {
    auto* output = static_cast<SoundOutput*>(self);
    output->mMixer.Mix(reinterpret_cast<float*>(stream), length / (2 * sizeof(float)));
}

}  // namespace wavo
