// clsWavoDriver: filling a channel's sound object with a sound's data, from
// a loose file or from the archives, and saying so when a sound cannot play.
#include <array>
#include <cstdio>
#include <fstream>

#include "common/paths.h"
#include "common/process.h"
#include "common/text.h"
#include "drivers/quor_driver.h"
#include "drivers/wavo_driver.h"
#include "platform/translate.h"
#include "wavo.h"

namespace zelk {
namespace {

// The kinds of file a sound key is looked for as, in this order: the ".ogg"
// that every game has first. The engine tells the kinds apart by their data.
constexpr std::array<const char*, 5> kLooseKinds{".ogg", ".opus", ".flac", ".mp3", ".wav"};

std::optional<std::string> LooseSoundFile(const std::string& key) {
    if (!AcceptName(key)) return std::nullopt;
    for (const char* kind : kLooseKinds) {
        const auto path = ResolvePath(Process().WorkspaceDir, "sound\\" + key + kind);
        if (path && FileExists(*path)) return path;
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> clsWavoDriver::SoundFileKinds() {
    return {kLooseKinds.begin(), kLooseKinds.end()};
}

bool clsWavoDriver::LoadSoundData(SoundChannel& channel, const std::string& key) {
    // Until the new data has loaded the channel holds no sound: a failure
    // must not pass for the sound it held before.
    channel.key.clear();
    std::string why;
    const bool loaded = LoadInto(channel.id, key, why);
    if (loaded) {
        channel.key = key;
    } else {
        ReportFailure(key, why);
    }
    return loaded;
}

bool clsWavoDriver::LoadInto(std::int32_t id, const std::string& key, std::string& why) {
    const bool loose = Process().Debug.SoundFileMode;
    if (loose) {
        if (const auto path = LooseSoundFile(key)) return LoadFromFile(id, key, *path, why);
    }
    const std::int32_t entry = mParts.quor ? mParts.quor->FileKeyToID(key) : -1;
    if (entry == -1) {
        Log("wavo file not found error '" + key + "'");
        why = loose ? Tr("is neither in sound/ (as .ogg, .opus, .flac, .mp3 or .wav) nor in the "
                         "archives")
                    : Tr("is not in the game's archives");
        return false;
    }
    const std::int32_t size = mParts.quor->GetSize(entry);
    if (size <= 0) {
        Log("wavo file size error '" + key + "'");
        why = Tr("is empty in the archives");
        return false;
    }
    why = Tr("cannot be read from the archives");
    if (!Call(id, SM_STOP) || !Call(id, SM_UNLOAD) || !Set(id, SP_MEMORY_SIZE, size)) return false;
    void* address = nullptr;
    if (GetSOProp(id, SP_MEMORY_ADDRESS, &address) != WAVO_OK || address == nullptr) return false;
    if (!mParts.quor->GetMemory(entry, address, size)) return false;
    if (!LoadBlock(id, key, why)) return false;
    Log("wavo load file '" + key + "' from archive");
    return true;
}

bool clsWavoDriver::LoadFromFile(std::int32_t id, const std::string& key, const std::string& path,
                                 std::string& why) {
    why = TrFormat("cannot be read from %s", {path});
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff size = file.tellg();
    if (size < 0 || size > INT32_MAX) return false;
    file.seekg(0);
    if (!Call(id, SM_STOP) || !Call(id, SM_UNLOAD)) return false;
    if (!Set(id, SP_MEMORY_SIZE, static_cast<std::int32_t>(size))) return false;
    void* address = nullptr;
    if (GetSOProp(id, SP_MEMORY_ADDRESS, &address) != WAVO_OK || (address == nullptr && size > 0))
        return false;
    if (!file.read(static_cast<char*>(address), size)) {
        Log("wavo readfile error '" + key + "'");
        return false;
    }
    if (!LoadBlock(id, key, why)) return false;
    Log("wavo load file '" + key + "' from file");
    return true;
}

// The engine runs the load and tells its outcome only by the object's state.
bool clsWavoDriver::LoadBlock(std::int32_t id, const std::string& key, std::string& why) {
    if (Call(id, SM_LOAD) && LoadedState(id)) return true;
    Log("wavo load error '" + key + "'");
    why = Tr("cannot be decoded: it is damaged, or not Ogg Vorbis, Ogg Opus, FLAC, MP3 or WAVE");
    return false;
}

bool clsWavoDriver::LoadedState(std::int32_t id) const {
    std::int32_t state = 0;
    return GetSOProp(id, SP_STATE, &state) == WAVO_OK && state == SS_LOADED;
}

void clsWavoDriver::ReportFailure(const std::string& key, const std::string& why) {
    // In debug mode the scenario's error says it, in the log and the title.
    // An empty key is a save slot's "no music", not a sound; without a
    // running engine nothing plays, and the root has said why.
    if (key.empty() || Process().IsDebugMode || !mEngineRunning) return;
    // A loose name that leaves the game folder was said as refused.
    if (Process().Debug.SoundFileMode && !WhyNameLeavesFolder(key).empty()) return;
    if (!mReported.insert(ToLowerAscii(key)).second) return;
    std::fprintf(stderr, "zelk: %s\n",
                 TrFormat("sound '%s' %s; the game goes on without it", {key, why}).c_str());
}

}  // namespace zelk
