#include "sound_object.h"

#include <sys/stat.h>

#include <cstring>
#include <new>

#include "cp932.h"
#include "wavo.h"

namespace wavo {
namespace {

int32_t ReadInt(const void* value) {
    int32_t v;
    std::memcpy(&v, value, sizeof v);
    return v;
}

uint8_t ReadByte(const void* value) {
    return *static_cast<const uint8_t*>(value);
}

template <typename T>
int32_t Write(void* result, T value) {
    std::memcpy(result, &value, sizeof value);
    return WAVO_OK;
}

bool IsExistingFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

SOBase::SOBase(const SOContext& context, int32_t id, int32_t typeWord, const SODefaults& defaults)
    : mContext(context),
      mId(id),
      mTypeWord(typeWord),
      mVolume(defaults.volume),
      mState(SS_UNLOADED),
      mAutoRelease(defaults.autoRelease),
      mSync(defaults.sync),
      mPlayCount(defaults.playCount),
      mFadeTime(defaults.fadeTime) {}

SOBase::~SOBase() = default;

// [SECTION] Property table

int32_t SOBase::SetProperty(int32_t property, const void* value) {
    switch (property) {
        case SP_ID:
        case SP_TYPE:
        case SP_MEMORY_ADDRESS:
        case SP_STATE:
        case SP_LENGTH:
            return WAVO_E_UNAVAILABLE;
        case SP_RESERVED1:
        case SP_RESERVED2:
        case SP_RESERVED3:
        case SP_RESERVED4:
        case SP_RESERVED5:
            return WAVO_OK;
        case SP_FILE_NAME:
            return SetFileName(static_cast<const char*>(value));
        default:
            break;
    }
    if (value == nullptr) return WAVO_E_INVALID_VALUE;
    switch (property) {
        case SP_VOLUME:
            return SetVolume(ReadInt(value));
        case SP_MEMORY_SIZE:
            return SetMemoryBlockSize(ReadInt(value));
        case SP_AUTO_RELEASE:
            mAutoRelease = ReadByte(value);
            return WAVO_OK;
        case SP_PLAY_COUNT: {
            const int32_t count = ReadInt(value);
            if (count < -1) return WAVO_E_INVALID_VALUE;
            mPlayCount = count;
            return WAVO_OK;
        }
        case SP_START_DELAY:
            mStartDelay = ReadInt(value);
            return WAVO_OK;
        case SP_RELEASE_DELAY:
            mReleaseDelay = ReadInt(value);
            return WAVO_OK;
        case SP_POSITION:
            return SetPosition(ReadInt(value));
        case SP_PAN:
            return SetPan(ReadInt(value));
        case SP_SYNC:
            mSync = ReadByte(value);
            return WAVO_OK;
        case SP_HOST_VALUE:
            mHostValue = ReadInt(value);
            return WAVO_OK;
        case SP_FADE_TIME:
            mFadeTime = ReadInt(value);
            return WAVO_OK;
        default:
            return WAVO_E_NO_PROPERTY;
    }
}

int32_t SOBase::GetProperty(int32_t property, void* result) {
    switch (property) {
        case SP_RESERVED1:
        case SP_RESERVED2:
        case SP_RESERVED3:
        case SP_RESERVED4:
        case SP_RESERVED5:
            return WAVO_OK;
        case SP_FILE_NAME:
            if (mFileName.empty()) return WAVO_E_UNAVAILABLE;
            break;
        case SP_PAN:
            if (int32_t pan; GetPan(pan) == WAVO_OK) {
                return result == nullptr ? WAVO_E_INVALID_VALUE : Write(result, pan);
            }
            return WAVO_E_UNAVAILABLE;
        default:
            break;
    }
    const bool known = property == SP_ID || property == SP_TYPE || property == SP_VOLUME ||
                       property == SP_MEMORY_ADDRESS || property == SP_MEMORY_SIZE ||
                       property == SP_AUTO_RELEASE || property == SP_PLAY_COUNT ||
                       property == SP_START_DELAY || property == SP_RELEASE_DELAY ||
                       property == SP_FILE_NAME || property == SP_POSITION ||
                       property == SP_STATE || property == SP_LENGTH || property == SP_SYNC ||
                       property == SP_HOST_VALUE || property == SP_FADE_TIME;
    if (!known) return WAVO_E_NO_PROPERTY;
    if (result == nullptr) return WAVO_E_INVALID_VALUE;
    switch (property) {
        case SP_ID:
            return Write(result, mId);
        case SP_TYPE:
            return Write(result, mTypeWord);
        case SP_VOLUME:
            return Write(result, GetVolume());
        case SP_MEMORY_ADDRESS:
            return Write(result, static_cast<void*>(mMemoryBlock.get()));
        case SP_MEMORY_SIZE:
            return Write(result, mMemoryBlockSize);
        case SP_AUTO_RELEASE:
            return Write(result, mAutoRelease);
        case SP_PLAY_COUNT:
            return Write(result, mPlayCount);
        case SP_START_DELAY:
            return Write(result, mStartDelay);
        case SP_RELEASE_DELAY:
            return Write(result, mReleaseDelay);
        case SP_FILE_NAME:
            return Write(result, mFileName.c_str());
        case SP_POSITION:
            return Write(result, GetPosition());
        case SP_STATE:
            return Write(result, GetState());
        case SP_LENGTH:
            return Write(result, GetLength());
        case SP_SYNC:
            return Write(result, mSync);
        case SP_HOST_VALUE:
            return Write(result, mHostValue);
        default:  // SP_FADE_TIME
            return Write(result, mFadeTime);
    }
}

// [SECTION] Common operations

int32_t SOBase::SetPan(int32_t) {
    return WAVO_E_UNAVAILABLE;
}
int32_t SOBase::GetPan(int32_t&) {
    return WAVO_E_UNAVAILABLE;
}

int32_t SOBase::SetFileName(const char* name) {
    if (name == nullptr) return WAVO_E_NO_FILE;
    std::string path = Utf8FromCp932(name);
    if (!IsExistingFile(path)) return WAVO_E_NO_FILE;
    mFileName = name;
    mFilePath = std::move(path);
    return WAVO_OK;
}

int32_t SOBase::SetMemoryBlockSize(int32_t size) {
    if (mState != SS_UNLOADED && mState != SS_LOADED) return WAVO_E_BAD_STATE;
    // A loaded decoder reads the block; it must let go before the block does.
    if (mState == SS_LOADED) ReleaseData();
    mMemoryBlock.reset();
    mMemoryBlockSize = 0;
    if (size < 0) return WAVO_E_NEGATIVE_SIZE;
    if (size == 0) return WAVO_OK;
    try {
        mMemoryBlock = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return WAVO_E_INVALID_VALUE;
    }
    mMemoryBlockSize = size;
    return WAVO_OK;
}

void SOBase::PostJob(int32_t type, int32_t dueTime, int32_t parameter, int32_t counter,
                     int32_t started) {
    mContext.jobs.Add(Job{0, mId, type, dueTime, parameter, counter, started});
}

int32_t SOBase::FadeIn() {
    PostJob(JT_FADE_IN_STEP, 0, mFadeTime, 0, 0);
    return WAVO_OK;
}

int32_t SOBase::FadeOut(int32_t stopWhenSilent) {
    PostJob(JT_FADE_OUT_STEP, 0, mFadeTime, stopWhenSilent & 0xFF, 0);
    return WAVO_OK;
}

int32_t SOBase::FinishPlay(bool stopFirst) {
    if (mReleaseDelay != 0) {
        PostJob(mAutoRelease ? JT_RELEASE : JT_BACK_TO_LOADED, Now() + mReleaseDelay, 0, 0, 0);
        return WAVO_OK;
    }
    if (stopFirst) Stop();
    if (mAutoRelease) {
        Unload();
        mReleaseRequested = true;
    } else {
        mState = SS_LOADED;
    }
    return WAVO_OK;
}

}  // namespace wavo
