#include "platform_services.h"

#include "debug_log.h"
#include "wavo.h"

namespace wavo {

int32_t PlatformServices::Initialize(uint32_t flags, ServiceErrors& errors) {
    WAVO_LOG("Wavo.Initialize Start\n");
    if (flags & (kServiceMusic | kServiceMovie | kServiceSound)) {
        errors.platformVersion = ProbeSoundPlatform();
        if (errors.platformVersion == 0) {
            WAVO_LOG("Wavo.Initialize failed(DirectX not found)\n");
            return WAVO_E_NO_RUNTIME;
        }
        if (errors.platformVersion < 0x800) {
            WAVO_LOG("Wavo.Initialize failed (Legacy DirectX)\n");
            return WAVO_E_OLD_RUNTIME;
        }
    }
    if (flags & kServiceMci) {
        WAVO_LOG("InitializeMCI\n");
        mMciUp = true;
        WAVO_LOG("Wavo.Initialize InitializeMCI success\n");
    }
    if (flags & kServiceMixer) {
        // Mixer line levels are stored by the engine and applied by nobody.
        mMixerUp = true;
        WAVO_LOG("Wavo.Initialize InitializeMixer success\n");
    }
    if (flags & kServiceMusic) {
        mMusicUp = true;
        WAVO_LOG("Wavo.Initialize InitializeDAudio success\n");
    }
    if (flags & kServiceSound) {
        mOutput = SoundOutput::Open(errors.extended1, errors.extended2);
        if (!mOutput) {
            WAVO_LOG("Wavo.Initialize InitializeDSound failed\n");
            return WAVO_E_OUTPUT_START;
        }
        WAVO_LOG("Wavo.Initialize InitializeDSound success\n");
    }
    if (flags & kServiceMovie) {
        mMovieUp = true;
        WAVO_LOG("Wavo.Initialize InitializeDShow success\n");
    }
    if (mMusicUp) {
        mClock.Start();
        WAVO_LOG("Wavo.Initialize IDirectMusicPerformance success\n");
    }
    WAVO_LOG("Wavo.Initialize Done\n");
    return WAVO_OK;
}

void PlatformServices::Terminate() {
    if (!mMciUp && !mMixerUp && !mMusicUp && !mOutput && !mMovieUp) return;
    WAVO_LOG("Wavo.Terminate Start\n");
    if (mMciUp) {
        mMciUp = false;
        WAVO_LOG("Wavo.Terminate TerminateMCI done\n");
    }
    if (mMixerUp) {
        mMixerUp = false;
        WAVO_LOG("Wavo.Terminate TerminateMixer done\n");
    }
    if (mMusicUp) {
        mMusicUp = false;
        WAVO_LOG("Wavo.Terminate TerminateDAudio done\n");
    }
    if (mOutput) {
        mOutput.reset();
        WAVO_LOG("Wavo.Terminate TerminateDSound done\n");
    }
    if (mMovieUp) {
        mMovieUp = false;
        WAVO_LOG("Wavo.Terminate TerminateDShow done\n");
    }
    WAVO_LOG("Wavo.Terminate Done\n");
}

}  // namespace wavo
