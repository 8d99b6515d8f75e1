#include "view/reader_aids.h"

#include "settings/configuration.h"

namespace zelk {

ReaderAids::ReaderAids(Configuration& cfg, std::unique_ptr<Speech> speech,
                       std::unique_ptr<Clipboard> clipboard)
    : mCfg(cfg), mSpeech(std::move(speech)), mClipboard(std::move(clipboard)) {}

void ReaderAids::Page(const std::string& text, long voiceMs) {
    if (ClipboardOn() && mClipboard) mClipboard->Put(text);
    if (VoiceOn() && mSpeech)
        mSpeech->Say(text, std::chrono::milliseconds(voiceMs > 0 ? voiceMs : 0));
}

void ReaderAids::Choices(const std::string& items) {
    Page(items, 0);
}

void ReaderAids::Announce(const std::string& words) {
    if (!words.empty() && VoiceOn() && mSpeech) mSpeech->Say(words);
}

void ReaderAids::Silence() {
    if (mSpeech) mSpeech->Cancel();
}

bool ReaderAids::ClipboardOn() const {
    return mCfg.BoolVal(kTextToClipboardKey);
}

bool ReaderAids::VoiceOn() const {
    return mCfg.BoolVal(kSelfVoicingKey);
}

bool ReaderAids::VoiceAvailable() {
    return mSpeech && mSpeech->Available();
}

std::string ReaderAids::VoiceProblem() const {
    return mSpeech ? mSpeech->Problem() : std::string();
}

}  // namespace zelk
