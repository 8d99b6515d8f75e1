// clsSaveData: the save document of the running game and the owner of the
// save-slot files. The document is one INI text whose sections hold the
// status of every component, the game's variables and the text history; the
// history is also kept in a compact form of runs. A slot is SaveDir/<name>.ini
// with a thumbnail SaveDir/<name>.bmp.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/reporter.h"
#include "common/text_encoding.h"
#include "common/write_failure.h"
#include "settings/ini_file.h"

namespace zelk {

// The thumbnail the next Save writes: rows top-down, `stride` bytes apart,
// 3 bytes a pixel in the order blue, green, red.
struct SavePreviewImage {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> pixels;
};

class clsSaveData {
public:
    explicit clsSaveData(Reporter reporter = {});

    // Empties the document and the history.
    void Clear();

    // Writes the document and the thumbnail to the slot; the result is
    // whether the document was written. Both go to temporary files first and
    // replace the slot's files only once both are complete, so an
    // interrupted save leaves the old save or the new one, never a mixture
    // (at worst a slot without its picture). A thumbnail that cannot be
    // written is told to the reader once; a failed save is the caller's to
    // tell, with LastWriteFailure.
    bool Save(const std::string& name);
    // "file: reason" of the last Save that failed.
    const std::string& LastWriteFailure() const { return mLastWriteFailure; }
    // Replaces the document by the slot's. A slot that is missing, unreadable
    // or holds no section at all is not loadable, nor (once ForGame is set)
    // one that is incomplete, another game's or whose place the check
    // refuses: the result is false, LoadError says why and the running
    // game's document stays as it was.
    bool Load(const std::string& name);
    // Why the last Load failed, in plain words for the terminal.
    const std::string& LoadError() const { return mLoadError; }
    bool IsLoadable(const std::string& name) const;
    // Reads the slot's document without touching the running game's: false
    // (and `document` empty) when it is missing, unreadable or damaged
    // beyond holding any section, as Load judges it.
    bool ReadSlotDocument(const std::string& name, INIFile& document) const;
    std::string SlotINIPath(const std::string& name) const { return SlotPath(name, ".ini"); }
    std::string SlotBMPPath(const std::string& name) const { return SlotPath(name, ".bmp"); }
    bool IsPreviewExists(const std::string& name) const;

    // [SECTION] Whose slots are loaded
    // The running game: from now on every save states its title ([Game]
    // Title, the slot's first section) and ends with an [End] section, and
    // Load takes only slots that hold every section the player writes, are
    // not cut short and state no other game's title. Older slots state none
    // and load when they are otherwise whole.
    // A UTF-8 game's plain slots are UTF-8 (every character of a title or a
    // text kept); a CP932 game's stay CP932.
    void ForGame(std::string title, TextEncoding encoding = TextEncoding()) {
        mGame = std::move(title);
        mEncoding = encoding;
        mDocument.Encoding(encoding);
    }
    // What a slot's interpreter status must satisfy besides: the reason it
    // cannot be loaded, empty when it can.
    using StatusCheck = std::function<std::string(const INISection& intprtStatus)>;
    void CheckStatusWith(StatusCheck check) { mStatusCheck = std::move(check); }
    // Why the document may not replace the running game's; empty when it may.
    std::string SlotFault(const INIFile& document) const;

    // "sd" page "-" slot, two digits each at least: sd05-03.
    static std::string FormatSlotName(long page, long slot);
    std::string FormatINIPath(long page, long slot) const;
    std::string FormatBMPPath(long page, long slot) const;

    // [SECTION] Sections (created when missing)
    INISection& LumoStatus() { return mDocument.KeySection("LumoStatus"); }
    INISection& WavoStatus() { return mDocument.KeySection("WavoStatus"); }
    INISection& VellStatus() { return mDocument.KeySection("VellStatus"); }
    INISection& IntprtStatus() { return mDocument.KeySection("IntprtStatus"); }
    INISection& GameViewStatus() { return mDocument.KeySection("GameViewStatus"); }
    INISection& Var() { return mDocument.KeySection("Var"); }
    // Gives every variable of `defaults` (the system file's [var]) that the
    // document lacks its line from there; the values the document holds
    // stay. A save made before the game gained a variable then reads it as
    // a new game would.
    void AddMissingVars(const INISection& defaults);

    // [SECTION] Text history
    bool AddHistory(const std::string& scenario, long number);
    // False for an index outside the history (with a message past its end).
    bool GetHistory(long index, std::string& scenario, long& number) const;
    long HistoryCount() const { return mHistoryCount; }
    // One line per run: "name:" and its numbers joined with ",".
    std::string HistorySection() const;
    void HistorySection(const std::string& text);

    // [SECTION] In memory
    // The document as a slot would hold it, without the history, and how
    // long the history is: the history only grows while a game is read, so
    // its length is enough to cut it back.
    struct Image {
        std::string document;
        long historyCount = 0;
    };
    Image MakeImage() const;
    // Replaces the document by the image's and cuts the history back to its
    // length; false (nothing changed) when the history is already shorter,
    // i.e. the image belongs to another game.
    bool RestoreImage(const Image& image);

    // [SECTION] Thumbnail (the control form's picSavePreview)
    const SavePreviewImage& SavePreview() const { return mPreview; }
    void SavePreview(SavePreviewImage image) { mPreview = std::move(image); }

private:
    struct Run {
        std::string scenario;
        std::vector<long> numbers;
        long first = 0;  // history index of numbers[0]
    };

    std::string SlotPath(const std::string& name, const char* extension) const;
    // The thumbnail as a bitmap file's bytes; nothing without a picture.
    std::optional<std::string> EncodePreview() const;
    void CutHistory(long count);

    Reporter mReporter;
    WriteFailureNotice mWriteNotice{mReporter};
    std::string mLastWriteFailure;
    std::optional<std::string> mGame;
    TextEncoding mEncoding;
    StatusCheck mStatusCheck;
    std::string mLoadError;
    INIFile mDocument;
    std::vector<Run> mRuns;
    long mHistoryCount = 0;
    SavePreviewImage mPreview;
};

}  // namespace zelk
