#include "view/reader_aids.h"

#include <array>
#include <cstddef>
#include <optional>

#include "common/utf8.h"
#include "settings/configuration.h"

namespace zelk {

namespace {

enum Script : std::size_t {
    kKana,
    kHangul,
    kHan,
    kArabic,
    kHebrew,
    kThai,
    kGreek,
    kOther,
    kScripts
};

// Letters only: punctuation, digits and spaces are shared by every script.
std::optional<Script> ScriptOf(char32_t c) {
    if ((c >= 0x3041 && c <= 0x309F) || (c >= 0x30A0 && c <= 0x30FF && c != 0x30FB) ||
        (c >= 0x31F0 && c <= 0x31FF) || (c >= 0xFF66 && c <= 0xFF9D))
        return kKana;
    if ((c >= 0xAC00 && c <= 0xD7AF) || (c >= 0x1100 && c <= 0x11FF) ||
        (c >= 0x3130 && c <= 0x318F))
        return kHangul;
    if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
        (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF))
        return kHan;
    if ((c >= 0x0620 && c <= 0x064A) || (c >= 0x066E && c <= 0x06D3) ||
        (c >= 0x0750 && c <= 0x077F) || (c >= 0xFB50 && c <= 0xFDFF) ||
        (c >= 0xFE70 && c <= 0xFEFC))
        return kArabic;
    if ((c >= 0x05D0 && c <= 0x05EA) || (c >= 0xFB1D && c <= 0xFB4F)) return kHebrew;
    if (c >= 0x0E01 && c <= 0x0E2E) return kThai;
    if ((c >= 0x0386 && c <= 0x03FF && c != 0x0387) || (c >= 0x1F00 && c <= 0x1FFF)) return kGreek;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
        (c >= 0x00C0 && c <= 0x024F && c != 0x00D7 && c != 0x00F7) ||
        (c >= 0x0400 && c <= 0x052F) || (c >= 0x0900 && c <= 0x0DFF))
        return kOther;
    return std::nullopt;
}

}  // namespace

std::string LanguageOfScript(const std::string& text) {
    std::array<std::size_t, kScripts> letters{};
    for (const char32_t c : DecodeUtf8(text)) {
        if (const std::optional<Script> script = ScriptOf(c)) ++letters[*script];
    }
    // Japanese writes Han among its kana, and Korean sometimes among its
    // Hangul; Han alone may be Chinese or Japanese and is told by neither.
    std::array<std::size_t, kScripts> weight = letters;
    weight[kHan] = 0;
    if (letters[kKana] > 0) {
        weight[kKana] += letters[kHan];
    } else if (letters[kHangul] > 0) {
        weight[kHangul] += letters[kHan];
    } else {
        weight[kOther] += letters[kHan];
    }
    std::size_t most = kOther;
    for (std::size_t script = 0; script < kScripts; ++script) {
        if (weight[script] > weight[most]) most = script;
    }
    if (weight[most] == 0) return std::string();
    constexpr std::array<const char*, kScripts> kLanguages = {"ja", "ko", "",   "ar",
                                                              "he", "th", "el", ""};
    return kLanguages[most];
}

ReaderAids::ReaderAids(Configuration& cfg, std::unique_ptr<Speech> speech,
                       std::unique_ptr<Clipboard> clipboard)
    : mCfg(cfg), mSpeech(std::move(speech)), mClipboard(std::move(clipboard)) {}

void ReaderAids::Page(const std::string& text, long voiceMs) {
    if (ClipboardOn() && mClipboard) mClipboard->Put(text);
    if (VoiceOn() && mSpeech) {
        const std::string language = mGameLanguage.empty() ? LanguageOfScript(text) : mGameLanguage;
        mSpeech->Say(text, language, std::chrono::milliseconds(voiceMs > 0 ? voiceMs : 0));
    }
}

void ReaderAids::Choices(const std::string& items) {
    Page(items, 0);
}

void ReaderAids::Announce(const std::string& words) {
    if (words.empty() || !VoiceOn() || !mSpeech) return;
    // Names of screens and captions come from the game and from the player
    // itself ("ログ"): a script that tells its language is believed first.
    const std::string guessed = LanguageOfScript(words);
    mSpeech->Say(words, guessed.empty() ? mGameLanguage : guessed);
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
