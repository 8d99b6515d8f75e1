#include "midi_renderer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "debug_log.h"
#include "mixer.h"

namespace wavo {
namespace {

constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
// Longer files are no music a game plays; refusing them keeps a wrong file
// from filling the memory.
constexpr std::streamoff kMaxFileSize = 16 << 20;
// After the file's last event, notes ring out for at most this long.
constexpr uint64_t kMaxTailSeconds = 3;
// The synthesizer's own block: the player looks at its events once a block.
constexpr size_t kBlock = 64;

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string MidiRenderer::SoundFontPath() {
    const char* path = std::getenv("WAVO_SOUNDFONT");
    return path != nullptr && *path != '\0' ? path : kDefaultSoundFont;
}

std::unique_ptr<MidiRenderer> MidiRenderer::Open(const std::string& path, Mixer& mixer,
                                                 const char* who, FluidSynthSource fluid) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in || in.tellg() <= 0 || in.tellg() > kMaxFileSize) {
        WAVO_LOG("%s: cannot read the MIDI file '%s'\n", who, path.c_str());
        return nullptr;
    }
    std::vector<uint8_t> data(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()))) {
        WAVO_LOG("%s: cannot read the MIDI file '%s'\n", who, path.c_str());
        return nullptr;
    }
    MidiFile file;
    if (!file.Parse(data)) {
        WAVO_LOG("%s: '%s' is not a MIDI file\n", who, path.c_str());
        return nullptr;
    }
    const FluidSynth* library = fluid();
    if (library == nullptr) {
        WAVO_LOG("%s: FluidSynth is not installed; MIDI cannot play\n", who);
        return nullptr;
    }
    const FluidSynth& f = *library;
    const std::string font = SoundFontPath();
    if (!IsFile(font)) {
        WAVO_LOG("%s: no sound font at '%s' (install fluid-soundfont-gm); MIDI cannot play\n", who,
                 font.c_str());
        return nullptr;
    }
    // The synthesizer renders at the device's rate where it can, sparing
    // the mixer a conversion.
    const uint32_t rate = std::clamp<uint32_t>(mixer.DeviceRate(), 22050, 96000);
    auto renderer = std::make_unique<MidiRenderer>(Key{}, f, std::move(data), file, rate);
    renderer->mSettings = f.new_fluid_settings();
    if (renderer->mSettings == nullptr) return nullptr;
    f.fluid_settings_setnum(renderer->mSettings, "synth.sample-rate", rate);
    // Samples load as the presets need them, not all 140 MB of the font.
    f.fluid_settings_setint(renderer->mSettings, "synth.dynamic-sample-loading", 1);
    f.fluid_settings_setint(renderer->mSettings, "synth.lock-memory", 0);
    // A repeat starts the file again without cutting the notes that ring.
    f.fluid_settings_setint(renderer->mSettings, "player.reset-synth", 0);
    f.fluid_settings_setstr(renderer->mSettings, "player.timing-source", "sample");
    renderer->mSynth = f.new_fluid_synth(renderer->mSettings);
    if (renderer->mSynth == nullptr) {
        WAVO_LOG("%s: the synthesizer does not start\n", who);
        return nullptr;
    }
    if (f.fluid_synth_sfload(renderer->mSynth, font.c_str(), 1) == FLUID_FAILED) {
        WAVO_LOG("%s: cannot read the sound font '%s'; MIDI cannot play\n", who, font.c_str());
        return nullptr;
    }
    // One second of 16-bit stereo, in two halves.
    renderer->mBuffer = mixer.CreateBuffer({2, rate, 16}, rate * 4);
    const uint32_t positions[2] = {0, rate * 2};
    if (!renderer->mBuffer || !renderer->mBuffer->SetNotifications(positions, &renderer->mEvent)) {
        WAVO_LOG("%s: no sound buffer\n", who);
        return nullptr;
    }
    return renderer;
}

MidiRenderer::MidiRenderer(Key, const FluidSynth& fluid, std::vector<uint8_t> data,
                           const MidiFile& file, uint32_t rate)
    : mFluid(fluid), mData(std::move(data)), mFile(file), mRate(rate), mScratch(rate * 2) {}

MidiRenderer::~MidiRenderer() {
    // The buffer leaves the mixer first, so nothing plays what goes next.
    mBuffer.reset();
    DropPlayer();
    if (mSynth != nullptr) mFluid.delete_fluid_synth(mSynth);
    if (mSettings != nullptr) mFluid.delete_fluid_settings(mSettings);
}

// [SECTION] Playing

bool MidiRenderer::NewPlayer(int64_t ms) {
    DropPlayer();
    mPlayer = mFluid.new_fluid_player(mSynth);
    if (mPlayer == nullptr) return false;
    if (mFluid.fluid_player_add_mem(mPlayer, mData.data(), mData.size()) != FLUID_OK ||
        mFluid.fluid_player_play(mPlayer) != FLUID_OK) {
        DropPlayer();
        return false;
    }
    if (ms > 0) mFluid.fluid_player_seek(mPlayer, static_cast<int>(mFile.TickAt(ms)));
    mTailFrames = 0;
    return true;
}

void MidiRenderer::DropPlayer() {
    if (mPlayer == nullptr) return;
    mFluid.fluid_player_stop(mPlayer);
    mFluid.delete_fluid_player(mPlayer);
    mPlayer = nullptr;
}

bool MidiRenderer::Start(int64_t ms, int32_t repeats) {
    mBuffer->Stop();
    mEvent.Reset();
    mFluid.fluid_synth_all_sounds_off(mSynth, -1);
    mFluid.fluid_synth_system_reset(mSynth);
    if (!NewPlayer(ms) || !mBuffer->SetPlayPosition(0)) return false;
    mStartMs = std::clamp<int64_t>(ms, 0, mFile.LengthMs());
    mRepeatsLeft = repeats;
    mHalfIndex = -1;
    mEnded = false;
    mWritten = 0;
    mHeardMark = 0;
    mLoopMarks.clear();
    FillNextHalf();
    // An empty file has nothing to sound.
    if (mWritten > 0) mBuffer->Play(true);
    return true;
}

void MidiRenderer::Stop() {
    mBuffer->Stop();
    mEvent.Reset();
    DropPlayer();
    mFluid.fluid_synth_all_sounds_off(mSynth, -1);
}

int64_t MidiRenderer::PositionMs() const {
    const uint64_t played = PlayedFrames();
    uint64_t from = mHeardMark;
    for (uint64_t mark : mLoopMarks)
        if (mark <= played) from = mark;
    const int64_t ms = static_cast<int64_t>((played - from) * 1000 / mRate);
    return from == 0 ? mStartMs + ms : ms;
}

// [SECTION] Streaming

bool MidiRenderer::FileEnded() const {
    // The player calls itself done only seconds after the last note has
    // died away; the file's own end is its last tick, where a repeat joins.
    return mPlayer == nullptr || mFluid.fluid_player_get_status(mPlayer) == FLUID_PLAYER_DONE ||
           mFluid.fluid_player_get_current_tick(mPlayer) >= mFile.EndTick();
}

size_t MidiRenderer::Render(int16_t* out, size_t frames) {
    size_t done = 0;
    while (done < frames) {
        if (FileEnded()) {
            if (mRepeatsLeft != 0 && mPlayer != nullptr) {
                if (mRepeatsLeft > 0) --mRepeatsLeft;
                if (!NewPlayer(0)) break;
                mLoopMarks.push_back(mWritten + done);
                continue;
            }
            // The last notes ring out, then the play ends.
            if (mFluid.fluid_synth_get_active_voice_count(mSynth) == 0 ||
                mTailFrames >= kMaxTailSeconds * mRate)
                break;
        }
        const size_t block = std::min(kBlock, frames - done);
        if (mFluid.fluid_synth_write_s16(mSynth, static_cast<int>(block), out + 2 * done, 0, 2,
                                         out + 2 * done, 1, 2) != FLUID_OK)
            break;
        if (FileEnded()) mTailFrames += block;
        done += block;
    }
    return done;
}

void MidiRenderer::FillNextHalf() {
    if (mEnded) return;
    const uint32_t half = mBuffer->Size() / 2;
    const uint32_t offset = mHalfIndex != 0 ? 0 : half;
    auto region = mBuffer->Lock(offset, half);
    if (!region) return;
    const size_t frames = Render(mScratch.data(), half / 4);
    const size_t bytes = frames * 4;
    std::memcpy(region->first.data(), mScratch.data(), bytes);
    std::memset(region->first.data() + bytes, 0, region->first.size() - bytes);
    mWritten += frames;
    if (bytes < half) {
        // Sounding ends right after the last rendered frame.
        mBuffer->StopAt(offset + static_cast<uint32_t>(bytes));
        mEnded = true;
    }
    mBuffer->Unlock();
    mHalfIndex = ~mHalfIndex;
}

bool MidiRenderer::RefillIfDue(bool& recheck) {
    if (!mBuffer->IsPlaying() || !mEvent.IsSet()) return false;
    const uint32_t half = mBuffer->Size() / 2;
    const uint32_t offset = mHalfIndex != 0 ? 0 : half;
    const uint32_t position = mBuffer->PlayPosition();
    if (position >= offset && position < offset + half) {
        recheck = true;
        return false;
    }
    mEvent.Reset();
    FillNextHalf();
    return true;
}

int32_t MidiRenderer::TakeRepeats(int32_t& msToNext) {
    msToNext = -1;
    const uint64_t played = PlayedFrames();
    int32_t heard = 0;
    while (!mLoopMarks.empty() && mLoopMarks.front() <= played) {
        mHeardMark = mLoopMarks.front();
        mLoopMarks.pop_front();
        ++heard;
    }
    if (!mLoopMarks.empty())
        msToNext = static_cast<int32_t>((mLoopMarks.front() - played) * 1000 / mRate);
    return heard;
}

}  // namespace wavo
