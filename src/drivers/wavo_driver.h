// clsWavoDriver: the game's one gateway to the sound engine. Music, effects,
// the looping effect and the voice are each a channel: one sound object of
// the engine playing a memory block that the driver fills from a loose file
// or from the archives (Ogg Vorbis, Ogg Opus, FLAC, MP3 or WAVE; the engine
// tells them apart by their data). Music has two channels used in
// turn, so that a new piece starts while the old one fades out. The driver
// also starts movies into the view's screen surface and changes the display
// mode for the view's full screen.
//
// It reports failures as false results and log lines and never shows a
// message: after a failed engine start it keeps working silently and the
// root reads the error copies. Outside debug mode a sound that cannot play
// says so once on standard error (in debug mode the scenario's error does).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zelk {

class INIFile;
class INISection;
class clsQuorDriver;
class ScreenSurface;

// What the driver needs of the parts above it.
struct WavoDriverParts {
    std::function<void(const std::string& line)> log;  // the launcher's log
    const INIFile* systemInfo = nullptr;               // [Game] "BGMFadeTime"
    const clsQuorDriver* quor = nullptr;               // sound data in the archives
    // The game view's "deactivate sense", set false while a movie is
    // stopped; empty without a view.
    std::function<bool()> getDeactivateSense;
    std::function<void(bool)> setDeactivateSense;
};

class clsWavoDriver {
public:
    explicit clsWavoDriver(WavoDriverParts parts = {});
    // Terminates the engine (and with it a playing movie).
    ~clsWavoDriver();
    clsWavoDriver(const clsWavoDriver&) = delete;
    clsWavoDriver& operator=(const clsWavoDriver&) = delete;

    bool Init();
    // The system file is read again when the root loads it after construction.
    void SystemInfo(const INIFile* systemInfo) { mParts.systemInfo = systemInfo; }

    // [SECTION] Error copies of a failed start
    std::int32_t WavoLastError() const { return mWavoLastError; }
    std::int32_t WavoDirectXVersion() const { return mWavoDirectXVersion; }
    std::int32_t WavoExtendedErrorID1() const { return mWavoExtendedErrorID1; }
    std::int32_t WavoExtendedErrorID2() const { return mWavoExtendedErrorID2; }
    // The engine's text of a result code (UTF-8); empty when it has none.
    static std::string ErrorDescription(std::int32_t code);
    // The endings a sound key is looked for with in the loose "sound"
    // folder, in the order they are tried.
    static std::vector<std::string> SoundFileKinds();

    // [SECTION] Channels
    bool PlayBGM(const std::string& sFileKey, bool bSync, bool bLoop);
    bool StopBGM(bool bSync);
    bool PlaySE(const std::string& sFileKey, bool bSync);
    bool StopSE();
    // A count of 0 loops until StopSELoop and reads -1 afterwards.
    bool PlaySELoop(const std::string& sFileKey, long& lCount, bool bSync);
    bool StopSELoop();
    bool PlayCV(const std::string& sFileKey, bool bSync, long lPan);
    bool StopCV();
    bool IsPlayingBGM() const;
    // The key of the music now playing; "" when none plays.
    std::string PlayingBGMKey() const;
    bool IsPlayingSE() const;
    bool IsPlayingSeLoop() const;
    bool IsPlayingCV() const;

    // [SECTION] Volumes
    long BGMVolume() const { return mBGMVolume; }
    void BGMVolume(long value);
    long BGMVolumeRate() const { return mBGMVolumeRate; }
    void BGMVolumeRate(long value);
    long SEVolume() const { return mSEVolume; }
    void SEVolume(long value);
    long CVVolume() const { return mCVVolume; }
    void CVVolume(long value);
    long SOLength() const { return mSOLength; }
    void SOLength(long value) { mSOLength = value; }
    // CLng(rate x volume / 100): halves round to even.
    static long EffectiveBGMVolume(long volume, long rate);

    // [SECTION] The "WavoStatus" section of a save slot
    void SaveStatus(INISection& status) const;
    void LoadStatus(const INISection& status);

    // [SECTION] Movies
    // Movies go into the surface (the view's screen surface; nullptr: none);
    // postClick runs on an engine thread when a movie has ended and must
    // post the left-button press to the view's queue. True when a playing
    // movie moved to the new surface.
    bool SetVideoWindow(ScreenSurface* surface, std::function<void()> postClick);
    bool PlayMovie(const std::string& sPath);
    bool StopMovie();
    bool IsPlayingMovie() const;

    // [SECTION] Display mode
    // The engine puts the window (an SDL window ID) full screen in the
    // display mode of that size (bits 0: any depth). False, with nothing
    // changed, when the engine was not started or the display refuses.
    bool ChangeDisplaySize(std::uint32_t windowId, long width, long height, long bits);
    // The window and the display as they were before the change.
    void ResumeDisplaySize();

    // [SECTION] For the tests
    std::int32_t BGMChannelId(int index) const { return mBGM[index].id; }
    std::int32_t SEChannelId(int index) const { return mSE[index].id; }
    std::int32_t SELoopChannelId() const { return mSELoop.id; }
    std::int32_t CVChannelId() const { return mCV.id; }
    int CurrentBGM() const { return mCurrentBGM; }
    long BGMFadeTime() const { return mBGMFadeTime; }
    // The game view's deactivate sense as StopMovie keeps it; none without
    // a view.
    std::optional<bool> DeactivateSense() const {
        if (!mParts.getDeactivateSense) return std::nullopt;
        return mParts.getDeactivateSense();
    }

private:
    struct SoundChannel {
        std::int32_t id = 0;
        std::string key;
        bool loop = false;
    };
    struct VideoWindow;

    void Log(const std::string& line) const;
    SoundChannel NewSoundChannel() const;
    // The channel's key becomes the sound's on success, empty otherwise.
    bool LoadSoundData(SoundChannel& channel, const std::string& key);
    bool LoadInto(std::int32_t id, const std::string& key, std::string& why);
    bool LoadFromFile(std::int32_t id, const std::string& key, const std::string& path,
                      std::string& why);
    bool LoadBlock(std::int32_t id, const std::string& key, std::string& why);
    bool LoadedState(std::int32_t id) const;
    void ReportFailure(const std::string& key, const std::string& why);
    bool Reload(std::int32_t id) const;
    bool StopChannel(const SoundChannel& channel) const;
    void SetChannelVolume(std::int32_t id, std::int32_t& volume) const;
    // A volume as the engine takes it when a sound starts: 0 to 255.
    static std::int32_t PlayingVolume(long volume);
    bool IsChannelPlaying(std::int32_t id) const;
    bool Call(std::int32_t id, std::int32_t method, std::int32_t param = 0) const;
    bool Set(std::int32_t id, std::int32_t property, std::int32_t value) const;
    bool SetByte(std::int32_t id, std::int32_t property, bool value) const;
    long LengthOf(std::int32_t id) const;

    WavoDriverParts mParts;
    SoundChannel mBGM[2];
    int mCurrentBGM = -1;
    SoundChannel mSE[5];
    SoundChannel mSELoop;
    SoundChannel mCV;
    long mBGMVolume = 255;
    long mBGMVolumeRate = 100;
    long mSEVolume = 255;
    long mCVVolume = 255;
    long mSOLength = 0;
    long mBGMFadeTime = 500;
    bool mEngineStarted = false;
    bool mEngineRunning = false;  // the start succeeded
    // Said on standard error: sound keys in small letters, movie paths.
    std::set<std::string> mReported;
    std::int32_t mWavoLastError = 0;
    std::int32_t mWavoDirectXVersion = 0;
    std::int32_t mWavoExtendedErrorID1 = 0;
    std::int32_t mWavoExtendedErrorID2 = 0;
    std::unique_ptr<VideoWindow> mVideoWindow;
};

}  // namespace zelk
