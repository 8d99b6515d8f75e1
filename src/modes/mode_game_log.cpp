#include "modes/mode_game_log.h"

#include "common/process.h"
#include "common/text.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "interpreter/interpreter.h"
#include "interpreter/text_markup.h"
#include "lumo.h"
#include "modes/mode_buttons.h"
#include "modes/mode_films.h"
#include "modes/mode_game.h"
#include "modes/save_data.h"
#include "platform/translate.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "view/game_view.h"
#include "view/player_root.h"
#include "view/reader_aids.h"

namespace zelk {

// ============================================================================
// Index
//   [SECTION] Entering and leaving
//   [SECTION] The lines shown
//   [SECTION] Voice replay
//   [SECTION] Screen commands
// ============================================================================

namespace {

constexpr const char* kLogFont = "ＭＳ ゴシック";

// The button that returns the story to a line's page: small text at the
// foot of the line's right end, in the window's highlight colour.
constexpr const char* kBackCaption = TrMark("ここに戻る");
constexpr const char* kBackMarks = "D80E0FFF00CG00CH00E";
constexpr long kBackWidth = 64;
constexpr long kBackHeight = 14;

// The escapes of a logged page, compiled for the log: nothing of them
// reaches the text window.
class LogMarkupHost final : public MarkupHost {
public:
    explicit LogMarkupHost(INIFile* systemInfo, bool engineUtf8 = false)
        : mSystemInfo(systemInfo), mEngineUtf8(engineUtf8) {}
    void TextSpeedSetting(long) override {}
    void WindowNameFlip(long) override {}
    std::string NameplateText(long plate) override {
        if (mSystemInfo == nullptr) return {};
        return mSystemInfo->KeySection("Nameplate").KeyValue("Item:" + std::to_string(plate));
    }
    std::optional<long> CharacterTextColor(const std::string&) override { return std::nullopt; }
    bool EngineReadsUtf8() override { return mEngineUtf8; }

private:
    INIFile* mSystemInfo;
    bool mEngineUtf8;
};

MarkupScale LogScale() {
    const ProcessValues& p = Process();
    MarkupScale scale;
    if (p.ScriptScaleX != 0) scale.x = static_cast<double>(p.ScreenSizeX) / p.ScriptScaleX;
    if (p.ScriptScaleY != 0) scale.y = static_cast<double>(p.ScreenSizeY) / p.ScriptScaleY;
    return scale;
}

}  // namespace

std::optional<std::string> HistorySource(PlayerRoot& root, long entry) {
    clsSaveData* sd = root.SD();
    clsInterpreter* intprt = root.Intprt();
    if (entry < 0 || sd == nullptr || intprt == nullptr || entry >= sd->HistoryCount())
        return std::nullopt;
    std::string scenario;
    long number = 0;
    if (!sd->GetHistory(entry, scenario, number)) return std::nullopt;
    const auto script = intprt->ScriptManager().GetScript(scenario, false);
    if (!script) return std::nullopt;
    const std::vector<std::string> fields =
        SplitText(script->Element(static_cast<int>(number)), "\t");
    if (fields.size() < 2 || fields[1].size() < 2) return std::nullopt;
    return fields[1].substr(1, fields[1].size() - 2);
}

std::string HistoryPlainText(PlayerRoot& root, long entry) {
    const std::optional<std::string> source = HistorySource(root, entry);
    if (!source) return {};
    LogMarkupHost host(root.SystemInfo());
    return PlainPageText(*source, host);
}

// Drawing resumes without a transition. The screen is asked for once more:
// the activation's own request can reach the engine before its frame loop
// runs again, and the log would then wait for the next change to appear.
void ShowAtOnce(clsLumoDriver& lumo) {
    lumo.DrawActivate(0, 1000);
    lumo.Refresh();
}

TextEncoding clsGameLog::EngineEncoding() const {
    return mRoot.Lumo() ? mRoot.Lumo()->Encoding() : TextEncoding();
}

// A Japanese game's log is set in its fixed-pitch gothic, whatever the
// reader chose for the window. Any other game's letters need not be in that
// face, so its log takes the window's.
std::string clsGameLog::LogFont() const {
    if (!EngineEncoding().IsUtf8()) return kLogFont;
    const Configuration* cfg = mRoot.Cfg();
    const std::string chosen = cfg ? cfg->StringVal("Font") : std::string();
    return chosen.empty() ? kLogFont : chosen;
}

clsGameLog::clsGameLog(PlayerRoot& root, clsModeGame& game) : mRoot(root), mGame(game) {
    PlayVoice = [this](const std::string& voice) -> long {
        clsWavoDriver* wavo = mRoot.Wavo();
        if (wavo == nullptr || !wavo->PlayCV(voice, false, 0)) return -1;
        return wavo->SOLength();
    };
}

clsEventRect* clsGameLog::Rect(long index) const {
    clsGameView* view = mRoot.GameView();
    return view && index >= 0 ? view->EvRects().Item(index) : nullptr;
}

// [SECTION] Entering and leaving ---------------------------------------------

void clsGameLog::Start() {
    clsGameView* view = mRoot.GameView();
    clsLumoDriver* lumo = mRoot.Lumo();
    if (view == nullptr || lumo == nullptr) return;
    INISection none;
    INISection& settings =
        mRoot.GamemodeInfo() ? mRoot.GamemodeInfo()->KeySection("LogMode") : none;
    view->MenuEnableByText("file!title");
    mSavedText = lumo->TextVisible();
    mSavedCursor = lumo->CursorVisible();
    // The screen stays as it was until the log is built: hidden before the
    // freeze, the text would leave an empty window on it meanwhile.
    lumo->DrawDeactivate(0, 1000);
    lumo->TextVisible(false);
    lumo->CursorVisible(false);

    clsEventRects& rects = view->EvRects();
    view->SelectionClear();
    clsEventRect& play = rects.Add(0, "log_cvplay");
    play.Move(0, 0, 1, 1).SetType(true, true, false, false);
    mPlayRect = play.Index;

    mBack = films::Make(FT_ALPHA, lumo->FIDBuff());
    FilmSpecRecord back = ParseFilmSpec(settings.KeyValue("Back"));
    ApplyFilmSpec(*lumo, mBack, back);
    clsEventRect& backRect = rects.Add(0, "log_bk");
    backRect.FitFilm(mBack).SetType(true, true, false, true);
    mBackRect = backRect.Index;

    for (int i = 0; i < kLines; ++i) {
        Line& line = mLines[static_cast<size_t>(i)];
        line = Line{};
        line.text = films::Make(FT_TEXT, lumo->FIDBuff());
        FilmSpecRecord text = ParseFilmSpec(settings.KeyValue(std::to_string(i) + "Text"));
        ApplyFilmSpec(*lumo, line.text, text);
        films::RunQueue();
        films::Set(line.text, FP_TEXT_DELAY, 1);
        films::SetText(line.text, FP_TEXT_FONT, LogFont(), EngineEncoding());

        line.icon = films::Make(FT_ALPHA, lumo->FIDBuff());
        FilmSpecRecord icon = ParseFilmSpec(settings.KeyValue(std::to_string(i) + "Voice"));
        ApplyFilmSpec(*lumo, line.icon, icon);
        films::Set(line.icon, FP_ALPHA, 0);
        MakeBackButton(line, text);
        clsEventRect& iconRect = rects.Add(i, "log_cv");
        iconRect.FitFilm(line.icon);
        // A line without voices has nothing to replay.
        iconRect.Enabled = false;
        line.rect = iconRect.Index;
        line.action = lumo->AddActByParam({AC_METHOD, FM_CELL_X_STEP, 1, AC_WAIT, 0, AC_LOOP});
        films::StartAction(line.action, line.icon);
    }
    films::RunQueue();

    const std::vector<std::string> buttons = SplitText(settings.KeyValue("Buttons"), ",");
    for (size_t n = 0; n < buttons.size(); ++n) {
        const std::string key = TrimChars(buttons[n], " \t");
        clsEventRect* rect =
            MakeButton(*lumo, rects, static_cast<long>(n), "log_move", settings.KeyValue(key));
        if (rect) rect->Extension = key;
    }

    mActive = true;
    mGame.SubStatus(kGameLog);
    if (ReaderAids* aids = mRoot.Aids()) aids->Announce(Tr("ログ"));
    mSavedAutoClick = mRoot.CurrentAutoClickTimer();
    mIndex = -1;
    mPlaying = -1;
    TextIndex(-2);
    view->EventEnabled(true);
    ShowAtOnce(*lumo);
}

void clsGameLog::End() {
    if (!mActive) return;
    clsGameView* view = mRoot.GameView();
    clsLumoDriver* lumo = mRoot.Lumo();
    if (view) view->MenuEnableByText(mGame.ReadingMenus());
    if (lumo) lumo->DrawDeactivate(0, 1000);
    PlayCVAry(-1);
    mRoot.MakeAutoClickTimer(mSavedAutoClick, 1);

    if (view) {
        clsEventRects& rects = view->EvRects();
        rects.RemoveByTag("log_bk");
        std::vector<long> moves;
        for (const auto& rect : rects)
            if (rect->STag == "log_move") moves.push_back(rect->FilmID);
        for (const long film : moves)
            films::Remove(static_cast<int32_t>(film));
        rects.RemoveByTag("log_move");
        view->SelectionClear();
        for (Line& line : mLines) {
            if (clsEventRect* rect = Rect(line.rect); rect && rect->STag == "log_cv")
                rects.Remove(line.rect);
        }
        rects.RemoveByTag("log_back");
        if (clsEventRect* rect = Rect(mPlayRect); rect && rect->STag == "log_cvplay")
            rects.Remove(mPlayRect);
    }
    for (Line& line : mLines) {
        films::RemoveAction(line.action);
        films::Remove(line.text);
        films::Remove(line.icon);
        films::Remove(line.backText);
        line = Line{};
    }
    films::Remove(mBack);
    mBack = -1;
    mBackRect = -1;
    mPlayRect = -1;
    mIndex = -1;
    films::RunQueue();

    if (lumo) {
        lumo->TextVisible(mSavedText);
        lumo->CursorVisible(mSavedCursor);
    }
    mActive = false;
    mGame.SubStatus(kGameReading);
    if (lumo) ShowAtOnce(*lumo);
}

// [SECTION] The lines shown ----------------------------------------------------

void clsGameLog::MakeBackButton(Line& line, const FilmSpecRecord& text) {
    clsLumoDriver* lumo = mRoot.Lumo();
    clsGameView* view = mRoot.GameView();
    if (lumo == nullptr || view == nullptr) return;
    FilmSpecRecord spec = text;
    spec.Name.clear();
    spec.X = text.X + text.W - kBackWidth;
    spec.Y = text.Y + text.H - kBackHeight;
    spec.W = kBackWidth;
    spec.H = kBackHeight;
    line.backText = films::Make(FT_TEXT, lumo->FIDBuff());
    ApplyFilmSpec(*lumo, line.backText, spec);
    films::RunQueue();
    films::Set(line.backText, FP_TEXT_DELAY, 1);
    films::SetText(line.backText, FP_TEXT_FONT, LogFont(), EngineEncoding());
    // A Japanese game's engine reads Latin letters as marks, so only the
    // others speak the reader's language here.
    const bool utf8 = EngineEncoding().IsUtf8();
    const std::string caption = utf8 ? EscapeEngineText(Tr(kBackCaption)) : kBackCaption;
    films::SetText(line.backText, FP_TEXT_APPEND, kBackMarks + caption, EngineEncoding());
    films::Set(line.backText, FP_TEXT_SHOWN, films::Get(line.backText, FP_TEXT_LENGTH));
    films::Set(line.backText, FP_ALPHA, 0);
    const long slot = &line - mLines.data();
    clsEventRect& rect = view->EvRects().Add(slot, "log_back");
    rect.FitFilm(line.backText);
    rect.Enabled = false;
    line.backRect = rect.Index;
}

void clsGameLog::TextIndex(long a) {
    clsSaveData* sd = mRoot.SD();
    const long count = sd ? sd->HistoryCount() : 0;
    // The three limits apply in turn: the newest page, never above the
    // first full page, never past the newest entry.
    if (a < -1) a = count - 1;
    if (a >= -1 && a <= kLines - 1) a = kLines - 1;
    if (a >= count) a = count - 1;
    if (a == mIndex) return;
    for (int s = kLines - 1; s >= 0; --s) {
        ShowSlot(mLines[static_cast<size_t>(s)], a - (kLines - 1 - s));
    }
    films::RunQueue();
    mIndex = a;
    PlayCVAry(-1);
}

void clsGameLog::ShowSlot(Line& line, long entry) {
    if (line.text >= 0) films::Method(line.text, FM_TEXT_CLEAR, 0);
    if (clsEventRect* rect = Rect(line.rect)) rect->Enabled = false;
    if (line.icon >= 0) films::Set(line.icon, FP_ALPHA, 0);
    line.voices.clear();
    line.shown.clear();
    line.entry = entry;
    const bool back = entry >= 0 && mGame.HasPageOfEntry(entry);
    if (clsEventRect* rect = Rect(line.backRect)) rect->Enabled = back;
    if (line.backText >= 0) films::Set(line.backText, FP_ALPHA, back ? 256 : 0);
    const std::optional<std::string> quoted = HistorySource(mRoot, entry);
    if (!quoted) return;
    LogMarkupHost host(mRoot.SystemInfo(), EngineEncoding().IsUtf8());
    const CompiledText page = CompileMarkup(*quoted, kMarkupLog, LogScale(), host);
    const std::string prefix =
        mRoot.SystemInfo() ? mRoot.SystemInfo()->KeySection("Game").KeyValue("LogBlockPrefix")
                           : std::string();
    line.shown = prefix + page.text;
    if (line.text >= 0) {
        films::SetText(line.text, FP_TEXT_APPEND, line.shown, EngineEncoding());
        films::Set(line.text, FP_TEXT_SHOWN, films::Get(line.text, FP_TEXT_LENGTH));
    }
    if (!page.voice.empty()) {
        if (clsEventRect* rect = Rect(line.rect)) rect->Enabled = true;
        if (line.icon >= 0) films::Set(line.icon, FP_ALPHA, 256);
        line.voices = SplitText(page.voice, ",");
    }
}

// [SECTION] Voice replay ---------------------------------------------------------

void clsGameLog::PlayCVAry(long lLogItem) {
    if (mPlaying >= 0 && mPlaying < kLines)
        Highlight(mLines[static_cast<size_t>(mPlaying)].icon, false);
    if (clsWavoDriver* wavo = mRoot.Wavo()) wavo->StopCV();
    mRoot.MakeAutoClickTimer(0, 0);
    mPlaying = (lLogItem >= 0 && lLogItem < kLines) ? lLogItem : -1;
    if (mPlaying == -1) return;
    mNextVoice = 0;
    mRemainingWait = 0;
    Highlight(mLines[static_cast<size_t>(mPlaying)].icon, true);
    mRoot.MakeAutoClickTimer(1, 1, mPlayRect);
}

void clsGameLog::VoiceStep() {
    if (mPlaying < 0) return;
    const Line& line = mLines[static_cast<size_t>(mPlaying)];
    if (mNextVoice >= line.voices.size() && mRemainingWait == 0) {
        PlayCVAry(-1);
        return;
    }
    if (mRemainingWait == 0) {
        const long length = PlayVoice(line.voices[mNextVoice]);
        if (length >= 0) mRemainingWait = length + 300;
    }
    if (mRemainingWait <= kLongestWait) {
        // A voice that did not play moves on at the next tick: an interval
        // of 0 would disarm the timer and stop the replay for good.
        mRoot.MakeAutoClickTimer(mRemainingWait > 0 ? mRemainingWait : 1, 1, mPlayRect);
        mRemainingWait = 0;
        ++mNextVoice;
    } else {
        mRoot.MakeAutoClickTimer(kLongestWait, 1, mPlayRect);
        mRemainingWait -= kLongestWait;
    }
}

// [SECTION] Screen commands -----------------------------------------------------

void clsGameLog::Highlight(long film, bool on) {
    if (film < 0) return;
    films::Set(static_cast<int32_t>(film), FP_CELL_Y, on ? 1 : 0);
    films::RunQueue();
}

void clsGameLog::HighlightOff() {
    clsGameView* view = mRoot.GameView();
    if (view == nullptr) return;
    for (const auto& rect : view->EvRects()) {
        if (rect->STag == "log_move" || (rect->STag == "log_cv" && rect->Enabled))
            films::Set(static_cast<int32_t>(rect->FilmID), FP_CELL_Y, 0);
    }
    films::RunQueue();
}

void clsGameLog::OnScreenCmd(long eEvent, clsEventRect& er) {
    if (!mActive) return;
    const std::string& tag = er.STag;
    if (tag == "log_bk") {
        if (eEvent == 2) {
            End();
        } else if (eEvent == 4) {
            HighlightOff();
        }
    } else if (tag == "log_move") {
        if (eEvent == 1) {
            const std::string command = er.Extension;
            const long before = mIndex;
            if (command == "pageup") {
                TextIndex(mIndex - kLines);
            } else if (command == "rollup") {
                TextIndex(mIndex - 1);
            } else if (command == "rolldown") {
                TextIndex(mIndex + 1);
            } else if (command == "pagedown") {
                TextIndex(mIndex + kLines);
                if (mIndex == before) End();
            } else if (command == "return") {
                End();
            }
        } else if (eEvent == 4) {
            HighlightOff();
            Highlight(er.FilmID, true);
        }
    } else if (tag == "log_cv") {
        if (eEvent == 1) {
            PlayCVAry(er.lTag);
        } else if (eEvent == 4) {
            HighlightOff();
            Highlight(er.FilmID, true);
        }
    } else if (tag == "log_cvplay") {
        if (eEvent == 1) VoiceStep();
    } else if (tag == "log_back") {
        const long slot = er.lTag;
        if (eEvent == 1 && slot >= 0 && slot < kLines)
            mGame.GoBackToEntry(mLines[static_cast<size_t>(slot)].entry);
    }
}

}  // namespace zelk
