#pragma once
// SOBase: the record every sound object shares, its property table and the
// operations common to all classes. The classes (SODSound, SODMusic, SOMCI)
// give the playback operations; the job pass and the method pass of the
// worker thread call them, always under the SOList lock.

#include <cstdint>
#include <memory>
#include <string>

#include "engine_clock.h"
#include "job_list.h"

namespace wavo {

class Mixer;

// What a sound object reaches of the engine.
struct SOContext {
    JobList& jobs;
    const EngineClock& clock;
    Mixer* mixer;  // the sound output; null when the engine has none
};

// The values a new sound object copies from the SOList.
struct SODefaults {
    int32_t volume = 255;
    uint8_t autoRelease = 0;
    int32_t playCount = 1;
    uint8_t sync = 0;
    int32_t fadeTime = 1000;
};

class SOBase {
public:
    SOBase(const SOContext& context, int32_t id, int32_t typeWord, const SODefaults& defaults);
    virtual ~SOBase();
    SOBase(const SOBase&) = delete;
    SOBase& operator=(const SOBase&) = delete;

    int32_t Id() const { return mId; }
    int32_t TypeWord() const { return mTypeWord; }
    int32_t ClassFamily() const { return (mTypeWord >> 16) & 0xFF; }
    bool Sync() const { return mSync != 0; }
    // Set by Finish when the object must leave the SOList (auto-release).
    bool ReleaseRequested() const { return mReleaseRequested; }

    // SetSOProp / GetSOProp.
    int32_t SetProperty(int32_t property, const void* value);
    int32_t GetProperty(int32_t property, void* result);

    // [Class operations]
    virtual bool IsSounding() = 0;
    virtual int32_t SetVolume(int32_t volume) = 0;
    virtual int32_t GetVolume() { return mVolume; }
    virtual int32_t SetPosition(int32_t ms) = 0;
    virtual int32_t GetPosition() = 0;
    virtual int32_t GetLength() = 0;
    virtual int32_t GetState() { return mState; }
    virtual int32_t Load() = 0;
    virtual int32_t Play() = 0;
    virtual int32_t Start() = 0;
    virtual int32_t Stop() = 0;
    virtual int32_t Finish() = 0;
    virtual int32_t Unload() = 0;
    virtual int32_t BeginPlayMonitor() = 0;
    virtual int32_t ClassStepA() = 0;
    virtual int32_t ClassStepB() = 0;
    virtual int32_t SetPan(int32_t pan);
    virtual int32_t GetPan(int32_t& pan);

    // Repeats inside one stream. The play monitor says before the first
    // Start how many repeats the play has left (-1: without end); a class
    // that can go on in the same stream rewinds by itself, and TakeRepeats
    // gives the loop points heard since the last call, with the time to the
    // next one in msToNext (-1: none due). A class without the ability keeps
    // the defaults, and the monitor restarts it after each play.
    virtual void PrepareRepeats(int32_t) {}
    // The refill pass, for a class that streams: fills what play has made
    // due. True when it did something; recheck is set when a signal came
    // but play has not yet left the part to fill.
    virtual bool RefillIfDue(bool&) { return false; }
    virtual int32_t TakeRepeats(int32_t& msToNext) {
        msToNext = -1;
        return 0;
    }

    // [Common operations]
    int32_t SetFileName(const char* name);
    int32_t SetMemoryBlockSize(int32_t size);
    void PostJob(int32_t type, int32_t dueTime, int32_t parameter, int32_t counter,
                 int32_t started);
    int32_t FadeIn();
    int32_t FadeOut(int32_t stopWhenSilent);
    void SetState(int32_t state) { mState = state; }
    int32_t Now() const { return mContext.clock.Now(); }

protected:
    // Called before the memory block is replaced while loaded: the class lets
    // go of everything that reads the old block.
    virtual void ReleaseData() {}
    // Common part of Finish: the release delay, or the end itself.
    int32_t FinishPlay(bool stopFirst);

    SOContext mContext;
    int32_t mStartPosition = 0;
    const int32_t mId;
    const int32_t mTypeWord;
    int32_t mVolume;
    int32_t mState;
    std::string mFileName;  // as the host gave it (CP932)
    std::string mFilePath;  // the same name for the file system
    std::unique_ptr<uint8_t[]> mMemoryBlock;
    int32_t mMemoryBlockSize = 0;
    uint8_t mAutoRelease;
    uint8_t mSync;
    int32_t mPlayCount;
    int32_t mStartDelay = 0;
    int32_t mReleaseDelay = 0;
    int32_t mFadeTime;
    int32_t mHostValue = 0;
    bool mReleaseRequested = false;
};

}  // namespace wavo
