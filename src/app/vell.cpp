#include "app/vell.h"

#include <SDL.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "app/game_folder.h"
#include "app/launch.h"
#include "app/refused_names.h"
#include "app/vell_interpreter_host.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/reporter.h"
#include "common/text.h"
#include "common/utf8.h"
#include "drivers/lumo_driver.h"
#include "drivers/quor_driver.h"
#include "drivers/wavo_driver.h"
#include "interpreter/interpreter.h"
#include "interpreter/page_log.h"
#include "modes/mode.h"
#include "modes/mode_factory.h"
#include "modes/mode_saveload_preview.h"
#include "modes/save_data.h"
#include "platform/clipboard.h"
#include "platform/event_pump.h"
#include "platform/speech.h"
#include "platform/translate.h"
#include "scenario/shared_data.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view/frm_ctrl.h"
#include "view/game_view.h"
#include "view/reader_aids.h"

namespace zelk {

// ============================================================================
// Index
//   [SECTION] The one root
//   [SECTION] Construction and release
//   [SECTION] Init
//   [SECTION] Modes, skip and the auto click
//   [SECTION] Save data and quick slots
//   [SECTION] Authors
//   [SECTION] Events of owned objects
//   [SECTION] Sound and movies
//   [SECTION] The launcher's, for the parts below the root
// ============================================================================

// [SECTION] The one root -----------------------------------------------------

namespace {

clsVell* gVell = nullptr;

void LogLine(const std::string& text) {
    if (clsLaunch* launch = Launch()) launch->Log().PutMsg(text, "", true);
}

long Message(const std::string& prompt, long buttons = kMsgOK) {
    clsLaunch* launch = Launch();
    return launch ? launch->Msg(prompt, buttons) : kResultOK;
}

const char* const kRule = "***************************************";

// Messages and log lines of the owned documents go through the launcher.
Reporter LaunchReporter() {
    return Reporter{[](const std::string& prompt) { Message(prompt); }, LogLine};
}

// The date and time of a save, in full-width characters as the slots show them.
std::string FullWidth(const std::string& ascii) {
    std::string out;
    for (const char c : ascii) {
        AppendUtf8(out, (c >= '!' && c <= '~') ? static_cast<char32_t>(0xFF00 + c - 0x20)
                                               : static_cast<char32_t>(c));
    }
    return out;
}

std::string MissingSystemFile(const char* what, const std::string& name) {
    return TrFormat("cannot read the game's %s (%s.ini): missing or damaged", {Tr(what), name});
}

// The settings file that names what a mode shows, for a message about one
// of its names.
std::string ModeSettingsFile(long mode) {
    switch (mode) {
        case kModeTitle:
            return "title_mode.ini";
        case kModeGame:
            return "game_mode.ini";
        case kModeSaveLoad:
            return "saveload_mode.ini";
        case kModeOmake:
            return "omake_mode.ini";
        case kModeEnding:
            return "playending";
        default:
            return "SystemInfo.ini";
    }
}

std::string NowFormatted(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

}  // namespace

clsVell* Vell() {
    return gVell;
}

// [SECTION] Construction and release ----------------------------------------

clsVell::clsVell(TextEncoding encoding, const std::string& language)
    : mCfg(std::make_unique<Configuration>(LaunchReporter())),
      mSystemInfo(std::make_unique<INIFile>()) {
    gVell = this;
    mCfg->ChangeSetting = [this](const std::string& sKey) { OnChangeSetting(sKey); };
    mGameView = std::make_unique<clsGameView>(*this);
    // Nothing of the speech service is loaded until the reader needs it.
    mAids = std::make_unique<ReaderAids>(*mCfg, MakeSpeechDispatcher("zelk"), MakeSdlClipboard());
    mAids->GameLanguage(language);
    mSharedData = std::make_unique<zelk::SharedData>(LaunchReporter());
    mSD = std::make_unique<clsSaveData>(LaunchReporter());
    mQuor = std::make_unique<clsQuorDriver>(LogLine);
    // The graphics driver starts its engine now; Init gives it the game.
    mLumo = std::make_unique<clsLumoDriver>(LumoDriverHooks{}, encoding, language);
    // The sound driver keeps the view's deactivate sense across a movie's stop.
    mWavo = std::make_unique<clsWavoDriver>(
        WavoDriverParts{LogLine, mSystemInfo.get(), mQuor.get(),
                        [view = mGameView.get()] { return view->IsDeactivateSense(); },
                        [view = mGameView.get()](bool sense) { view->IsDeactivateSense(sense); }});
    mIntprtHost = std::make_unique<VellInterpreterHost>(
        VellHostParts{this, mCfg.get(), mSharedData.get(), mSD.get(), mQuor.get()});
    mIntprt = std::make_unique<clsInterpreter>(*mIntprtHost);
    mRefusedNames = std::make_unique<RefusedNames>(RefusedNameParts{
        [this] { return mIntprt.get(); }, [this] { return ModeSettingsFile(mVellMode); },
        [](const std::string& prompt) { Message(prompt); }, LogLine});
    // A slot is loaded only where its scripts and places exist in this game.
    mSD->CheckStatusWith([this](const INISection& status) {
        return mIntprt ? mIntprt->StatusFault(status) : std::string();
    });
    ChangeMode(0, 0);
}

clsVell::~clsVell() {
    mRefusedNames.reset();
    if (clsLaunch* launch = Launch(); launch && launch->View()) {
        launch->View()->tmrAutoClick().Enabled(false);
    }
    ChangeMode(0, 0);
    mEndedModes.clear();
    LogLine(kRule);
    LogLine("Vell Terminate Process ...");
    LogLine("SaveData...");
    mSD.reset();
    LogLine("Quor...");
    mQuor.reset();
    LogLine("Lumo...");
    mLumo.reset();
    if (mWavo) mWavo->StopMovie();
    LogLine("Wavo...");
    mWavo.reset();
    LogLine("Interpreter...");
    mIntprt.reset();
    mIntprtHost.reset();
    mAids.reset();
    LogLine("GameView...");
    mGameView.reset();
    LogLine("Config...");
    mCfg.reset();
    mSharedData.reset();
    mSystemInfo.reset();
    mGamemodeInfo.reset();
    mOmakemodeInfo.reset();
    LogLine("Vell-Terminate");
    LogLine(kRule);
    if (gVell == this) gVell = nullptr;
}

// [SECTION] Init --------------------------------------------------------------

bool clsVell::Init() {
    if (!LoadArchives()) return false;
    if (!LoadSystemFiles()) return false;
    // Saves name their game; another game's are not loaded.
    mSD->ForGame(mSystemInfo->KeySection("Game").KeyValue("Title"), mSystemInfo->Encoding());
    ReadScreenGeometry();
    if (!mCfg->Init(*mSystemInfo)) {
        Fault(Tr("cannot set up the settings: the game's SystemInfo.ini has no [Config] section"),
              Tr("設定の初期化に失敗しました。"));
        return false;
    }
    UseLanguageSetting(mCfg->StringVal("Language"));
    if (!mSharedData->Init(*mSystemInfo, mOmakemodeInfo.get())) {
        Fault(TrFormat("cannot write the shared save file %s", {Process().SaveDir + "/sd00.ini"}),
              Tr("共有セーブデータファイルを作成できません。"));
        return false;
    }
    if (!InitLumo()) {
        Fault(Tr("cannot start the screen engine"),
              Tr("スクリーンエンジンの初期化に失敗しました。"));
        return false;
    }
    // The sound driver (its failure lets the game run silent).
    InitWavo();
    mGameView->AutoClickEnabled(false);
    mCfg->RaiseChangeEvent("CustomCursor,TextSpeed,TextAutoClick");
    mCfg->RaiseChangeEvent("BGMVolume,SEVolume,CVVolume,BGMMute,SEMute,CVMute");
    mIntprt->Init();
    return ReadThumbSize();
}

bool clsVell::InitLumo() {
    // What the driver asks of the program above it: the view's event
    // rectangles, its auto click and its picture box (ScreenDC).
    LumoDriverHooks& hooks = mLumo->Hooks();
    const ProcessValues& process = Process();
    hooks.Quor = mQuor.get();
    hooks.GamemodeInfo = mGamemodeInfo.get();
    hooks.ImageDir = process.WorkspaceDir + "/image";
    hooks.CGFileMode = process.Debug.CGFileMode;
    hooks.ScreenWidth = process.ScreenSizeX;
    hooks.ScreenHeight = process.ScreenSizeY;
    hooks.DebugLog = process.IsDebugMode;
    hooks.Log = LogLine;
    hooks.IsSkipMode = [this] { return mIsSkipMode; };
    hooks.EvRects = &mGameView->EvRects();
    hooks.AutoClickEnabled = [this] { return mGameView->AutoClickEnabled(); };
    hooks.PumpEvents = [](int ms) {
        EventPump::Instance().WaitAndProcess(std::chrono::milliseconds(ms));
    };
    hooks.WakePump = [] { EventPump::Instance().Wake(); };
    hooks.ConfigBool = [this](const std::string& key) { return mCfg->BoolVal(key); };
    hooks.ConfigLong = [this](const std::string& key, long) { return mCfg->LongVal(key); };
    hooks.ConfigString = [this](const std::string& key) { return mCfg->StringVal(key); };
    if (!mLumo->Init()) return false;
    // The picture box exists before the window: the empty screen composed
    // below reaches it at once and is what the window first shows.
    mLumo->ScreenDC(&mGameView->Picture());
    mLumo->BaseFilmSet(1);
    const auto color = static_cast<long>(
        RgbToColorRef(ReadLong(mSystemInfo->KeySection("Game").KeyValue("InitialScreenColor"))));
    mLumo->LoadLogicalPic(mLumo->FIDBack(), 0, color);
    mLumo->LoadLogicalPic(mLumo->FIDBuff(), 0, color);
    mLumo->RedrawScreen();
    // The window's first picture is this colour however busy the machine
    // is: the picture box holds it until the engine presents the same
    // screen, with no wait here for the engine's next frame.
    mGameView->PictureBackColor(color);
    return true;
}

bool clsVell::LoadArchives() {
    const std::vector<std::string> archives = FindArchives(Process().ArchiveDir);
    if (archives.empty()) return true;  // everything is loose
    if (!mQuor->Init(static_cast<std::int32_t>(archives.size()))) {
        Fault(Tr("cannot start the archive reader"),
              Tr("アーカイブローダの初期化に失敗しました。"));
        return false;
    }
    constexpr std::int32_t kIdsPerArchive = 5000;
    for (size_t k = 0; k < archives.size(); ++k) {
        std::string why;
        if (!mQuor->LoadArchive(archives[k], static_cast<std::int32_t>(k) * kIdsPerArchive, &why)) {
            const std::string box = archives[k] + "\r\n" + Tr("アーカイブの初期化に失敗しました。");
            if (why.empty()) {
                Fault(TrFormat("cannot open the archive %s: it is damaged or not an archive",
                               {archives[k]}),
                      box);
            } else {
                Fault(TrFormat("cannot open the archive %s", {why}), box + "\r\n" + why);
            }
            return false;
        }
    }
    for (size_t k = 0; k < archives.size(); ++k) {
        const std::int32_t base = static_cast<std::int32_t>(k) * kIdsPerArchive;
        std::string list;
        if (!mQuor->LoadTextFile(base, list)) {
            Fault(TrFormat("cannot read the file list of the archive %s", {archives[k]}),
                  archives[k] + "\r\n" + Tr("ファイルリストの読み込みに失敗しました。"));
            return false;
        }
        if (!mQuor->LoadArchiveList(list, base)) {
            Fault(TrFormat("cannot read the file list of the archive %s", {archives[k]}),
                  archives[k] + "\r\n" + Tr("ファイルリストの初期化に失敗しました。"));
            return false;
        }
    }
    mQuor->ServeSystemIni();
    return true;
}

bool clsVell::LoadSystemFiles() {
    std::string why;
    mSystemInfo = LoadSystemIni("SystemInfo", TextEncoding(), &why);
    if (!mSystemInfo && !why.empty()) {
        // An unknown encoding, or a file saved in the other one: read, it
        // would show mojibake.
        Fault(why, Tr("システム情報をロードできません。") + std::string("\r\n") + why);
        return false;
    }
    if (!mSystemInfo) {
        // In a folder that is no game at all the entry procedure said so.
        if (FindGameSource(Process()) != GameSource::kNone) {
            Fault(MissingSystemFile(TrMark("system information"), "SystemInfo"),
                  Tr("システム情報をロードできません。"));
        } else {
            Message(Tr("システム情報をロードできません。"));
        }
        return false;
    }
    const TextEncoding encoding = mSystemInfo->Encoding();
    mQuor->Encoding(encoding);
    if (encoding != mLumo->Encoding()) {
        LogLine("the game's encoding is known only now: its text may show wrongly");
    }
    // A stray bad byte of a UTF-8 file is read as U+FFFD, and told.
    const auto tell = [&why] {
        if (!why.empty()) std::fprintf(stderr, "zelk: %s\n", why.c_str());
        why.clear();
    };
    if (!why.empty()) tell();
    mGamemodeInfo = LoadSystemIni("game_mode", encoding, &why);
    if (mGamemodeInfo) tell();
    if (!mGamemodeInfo && !why.empty()) {
        Fault(why, Tr("ゲームモード設定をロードできません。") + std::string("\r\n") + why);
        return false;
    }
    if (!mGamemodeInfo) {
        Fault(MissingSystemFile(TrMark("mode settings"), "game_mode"),
              Tr("ゲームモード設定をロードできません。"));
        return false;
    }
    mOmakemodeInfo = LoadSystemIni("omake_mode", encoding, &why);
    if (mOmakemodeInfo) tell();
    if (!mOmakemodeInfo && !why.empty()) {
        Fault(why, Tr("おまけモード設定をロードできません。") + std::string("\r\n") + why);
        return false;
    }
    if (!mOmakemodeInfo) {
        Fault(MissingSystemFile(TrMark("extras settings"), "omake_mode"),
              Tr("おまけモード設定をロードできません。"));
        return false;
    }
    return true;
}

void clsVell::ReadScreenGeometry() {
    ProcessValues& process = Process();
    INISection& game = mSystemInfo->KeySection("Game");
    process.ScreenSizeX = ReadLong(game.KeyValue("ScreenSizeX"));
    process.ScreenSizeY = ReadLong(game.KeyValue("ScreenSizeY"));
    if (process.ScreenSizeX <= 0) process.ScreenSizeX = 640;
    if (process.ScreenSizeY <= 0) process.ScreenSizeY = 480;
    process.ScriptScaleX = ReadLong(game.KeyValue("ScriptScaleX"));
    process.ScriptScaleY = ReadLong(game.KeyValue("ScriptScaleY"));
    if (process.ScriptScaleX <= 0) process.ScriptScaleX = process.ScreenSizeX;
    if (process.ScriptScaleY <= 0) process.ScriptScaleY = process.ScreenSizeY;

    // Full screen is offered when the display can show the game's size.
    process.FullScreenAvailable = false;
    SDL_DisplayMode desktop{};
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        process.FullScreenAvailable =
            desktop.w >= process.ScreenSizeX && desktop.h >= process.ScreenSizeY;
    }
    if (!process.FullScreenAvailable) LogLine(Tr("全画面表示用の初期化ができませんでした。"));
}

bool clsVell::ReadThumbSize() {
    std::string why;
    std::unique_ptr<INIFile> saveload =
        LoadSystemIni("saveload_mode", mSystemInfo->Encoding(), &why);
    if (!saveload && !why.empty()) {
        Fault(why, Tr("セーブ・ロードモード初期化ファイルがロードできません。") +
                       std::string("\r\n") + why);
        return false;
    }
    if (saveload && !why.empty()) std::fprintf(stderr, "zelk: %s\n", why.c_str());
    if (!saveload) {
        Fault(MissingSystemFile(TrMark("save screen settings"), "saveload_mode"),
              Tr("セーブ・ロードモード初期化ファイルがロードできません。"));
        return false;
    }
    // Read as the save/load screen reads the thumbnail's film, so that the
    // picture saved is the size it is shown at.
    const FilmSpecRecord thumb = ParseFilmSpec(saveload->KeySection("SlotBase").KeyValue("Thumb"));
    if (thumb.Items >= 4) mThumbWidth = thumb.W;
    if (thumb.Items >= 5) mThumbHeight = thumb.H;
    return true;
}

// [SECTION] Modes, skip and the auto click -----------------------------------

void clsVell::ChangeMode(long eMode, long eSub, std::any vParam) {
    ++mModeSerial;
    if (mModeObject) {
        mModeObject->ModeEnd();
        mEndedModes.push_back(std::move(mModeObject));
        // Its handler may be what asked for the switch: release it from the
        // top of the event loop, never under a running handler.
        // The root may be gone by then (released from the system timer).
        EventPump::Instance().Defer([this, alive = std::weak_ptr<int>(mAlive)] {
            if (alive.lock()) mEndedModes.clear();
        });
    }
    if (eMode == 0) {
        mVellMode = 0;
        return;
    }
    mModeObject = MakeMode(eMode, *this);
    mVellMode = eMode;
    mAids->Announce(mModeObject->ScreenName());
    mModeObject->ModeStart(eSub, vParam);
}

void clsVell::SelectionMovedByKeys(long erIndex) {
    const clsEventRect* rect = mGameView->EvRects().Item(erIndex);
    if (rect && mModeObject) mAids->Announce(mModeObject->Caption(*rect));
}

void clsVell::ModeScreenCmd(long eVellMode, long eEvent, clsEventRect* er) {
    if (mModeObject) mModeObject->ScreenCmd(eVellMode, eEvent, er);
}

void clsVell::ModeScreenModeChanged() {
    if (mModeObject) mModeObject->ScreenModeChanged();
}

void clsVell::ModeLogStart() {
    if (!mModeObject) return;
    if (GameModeMembers* game = mModeObject->GameMembers()) game->LogModeStart();
}

void clsVell::IsSkipMode(bool value) {
    mIsSkipMode = value;
    if (ViewMenuItem* item = mGameView->MenuItem("message!skip")) item->Checked = value;
    if (mLumo) mLumo->UpdateWindowMode();
}

void clsVell::MakeAutoClickTimer(long lTime, long eEvent, long erIndex) {
    clsLaunch* launch = Launch();
    if (!launch || !launch->View()) return;
    PumpTimer& timer = launch->View()->tmrAutoClick();
    if (lTime != 0) {
        mAutoClickEvent = eEvent;
        mAutoClickRect = erIndex;
        timer.Enabled(false);
        timer.Interval(lTime);
        timer.Enabled(true);
    } else {
        mAutoClickEvent = 0;
        mAutoClickRect = -1;
        timer.Interval(0);
        timer.Enabled(false);
    }
}

long clsVell::CurrentAutoClickTimer() const {
    clsLaunch* launch = Launch();
    if (!launch || !launch->View()) return 0;
    const PumpTimer& timer = launch->View()->tmrAutoClick();
    return timer.Enabled() ? timer.Interval() : 0;
}

void clsVell::AutoClick() {
    if (clsLaunch* launch = Launch(); launch && launch->View()) {
        launch->View()->tmrAutoClick().Enabled(false);
    }
    // One arming gives one click, on the rectangle if it is still there.
    const long event = mAutoClickEvent;
    clsEventRect* rect = mAutoClickRect >= 0 ? mGameView->EvRects().Item(mAutoClickRect) : nullptr;
    if (event != 0) mGameView->RaiseScreenCmd(event, rect);
}

// [SECTION] Save data and quick slots ---------------------------------------

void clsVell::SDMakeData() {
    SDMakeStatus();
    // The slot's thumbnail: the whole screen as last presented, shrunk.
    if (ScreenSurface* screen = mGameView->pic(); screen && mThumbWidth > 0 && mThumbHeight > 0) {
        mSD->SavePreview(TakeScreenPreview(*screen, static_cast<int>(mThumbWidth),
                                           static_cast<int>(mThumbHeight)));
    }
}

void clsVell::SDMakeStatus() {
    if (mWavo) mWavo->SaveStatus(mSD->WavoStatus());
    mGameView->SaveStatus(mSD->GameViewStatus());
    if (mLumo) mLumo->SaveStatus(mSD->LumoStatus());
    mIntprt->SaveStatus();
    INISection& status = mSD->VellStatus();
    // Only the game mode hides its text films; any other mode shows them.
    const GameModeMembers* game = GameMode();
    status.KeyValue("TextTempVisible",
                    game == nullptr || game->TextFilmsVisible() ? "True" : "False");
    // Full-width only where the engine cannot set Latin digits: a UTF-8
    // game's slots show them as its readers write them.
    const bool wide = !mSystemInfo || !mSystemInfo->Encoding().IsUtf8();
    auto shown = [wide](const std::string& ascii) { return wide ? FullWidth(ascii) : ascii; };
    status.KeyValue("DateString", shown(NowFormatted("%y/%m/%d")));
    status.KeyValue("TimeString", shown(NowFormatted("%H:%M")));
}

void clsVell::SDRestoreData(bool bSndRestore) {
    // The interpreter reloads its scripts from its own status; the view's
    // rectangles are the save's alone (the driver makes its buttons anew).
    if (bSndRestore && mWavo) {
        mWavo->StopBGM(false);
        mWavo->StopCV();
        mWavo->StopSE();
        mWavo->StopSELoop();
        mWavo->StopMovie();
    }
    // A save from before an update of the game lacks the variables the
    // update brought; they start as in a new game.
    if (const INISection* vars = mSystemInfo ? mSystemInfo->FindSection("var") : nullptr) {
        mSD->AddMissingVars(*vars);
    }
    mGameView->EvRects().Clear();
    mGameView->SelectionClear();
    mGameView->LoadStatus(mSD->GameViewStatus());
    if (mLumo) mLumo->LoadStatus(mSD->LumoStatus());
    mIntprt->ScriptManager().DisposeAllScript();
    mIntprt->LoadStatus();
    Process().StatusRestored = true;
    if (GameModeMembers* game = GameMode()) {
        game->TextFilmsVisible(ReadBool(mSD->VellStatus().KeyValue("TextTempVisible")));
    }
    IsSkipMode(false);
    mGameView->SiteName(mGameView->SiteName());
    if (bSndRestore && mWavo) mWavo->LoadStatus(mSD->WavoStatus());
}

namespace {

void MoveOver(const std::string& from, const std::string& to) {
    std::rename(from.c_str(), to.c_str());
}

// `to` becomes a second name of `from` at once, old content or new.
void LinkOver(const std::string& from, const std::string& to) {
    const std::string part = to + ".part";
    std::error_code error;
    std::filesystem::remove(part, error);
    std::filesystem::create_hard_link(from, part, error);
    if (error) std::filesystem::copy_file(from, part, error);
    if (!error) std::rename(part.c_str(), to.c_str());
}

}  // namespace

void clsVell::QuickSave(bool bMsg) {
    INISection& game = mSystemInfo->KeySection("Game");
    const long page = ReadLong(game.KeyValue("QSavePageNum"));
    const long count = ReadLong(game.KeyValue("QSaveSlotCount"));
    if (count <= 0) {
        Message(Tr("クイックセーブスロット数が不正です"));
        return;
    }
    // The oldest quick save drops out; the others move one slot on. The
    // newest is linked on, not moved: until the new save replaces it whole,
    // quick load still finds it, even when the save fails or the program
    // dies half way.
    std::remove(mSD->FormatINIPath(page, count - 1).c_str());
    std::remove(mSD->FormatBMPPath(page, count - 1).c_str());
    for (long slot = count - 2; slot >= 0; --slot) {
        if (!mSD->IsLoadable(clsSaveData::FormatSlotName(page, slot))) continue;
        const auto move = slot == 0 ? &LinkOver : &MoveOver;
        move(mSD->FormatINIPath(page, slot), mSD->FormatINIPath(page, slot + 1));
        move(mSD->FormatBMPPath(page, slot), mSD->FormatBMPPath(page, slot + 1));
    }
    SDMakeData();
    const std::string slot = clsSaveData::FormatSlotName(page, 0);
    const bool saved = mSD->Save(slot);
    // A lost quick save is said on the terminal even when the reader is not told.
    if (!saved) {
        std::fprintf(stderr, "zelk: %s\n",
                     TrFormat("cannot write the quick save %s", {mSD->LastWriteFailure()}).c_str());
    }
    // A lost quick save is told even when success would pass unsaid.
    if (bMsg || !saved) {
        Message(saved ? std::string(Tr("クイックセーブしました。"))
                      : Tr("クイックセーブに失敗しました。") + std::string("\r\n") +
                            mSD->LastWriteFailure());
    }
}

void clsVell::QuickLoad(bool bMsg) {
    const long page = ReadLong(mSystemInfo->KeySection("Game").KeyValue("QSavePageNum"));
    const std::string slot = clsSaveData::FormatSlotName(page, 0);
    if (!mSD->IsLoadable(slot)) {
        if (bMsg) Message(Tr("クイックセーブされたデータがありません。"));
        return;
    }
    if (bMsg && Message(Tr("クイックロードを行いますか。"), kMsgYesNo) != kResultYes) return;
    if (!mSD->Load(slot)) {
        std::fprintf(
            stderr, "zelk: %s\n",
            TrFormat("cannot load the quick save %s: %s", {slot, mSD->LoadError()}).c_str());
        if (bMsg) Message(Tr("クイックロードに失敗しました。"));
        return;
    }
    if (mVellMode != 2) ChangeMode(2, 7);
    if (GameModeMembers* game = GameMode()) game->ForgetPages();
    if (mLumo) mLumo->DrawDeactivate(1, 200);
    SDRestoreData(true);
    if (mLumo) mLumo->DrawActivate(1, 200);
}

// [SECTION] Authors -------------------------------------------------------------

void clsVell::ReloadScenario() {
    if (!Process().IsDebugMode) return;
    EventPump::Instance().Defer([this, alive = std::weak_ptr<int>(mAlive)] {
        if (!alive.lock() || Process().ShutdownRequested) return;
        if (GameModeMembers* game = GameMode()) game->ReloadPage();
    });
}

// [SECTION] Events of owned objects ------------------------------------------

void clsVell::OnChangeSetting(const std::string& sKey) {
    if (sKey == "CustomCursor") {
        mGameView->MouseIcon(mCfg->BoolVal("CustomCursor")
                                 ? mSystemInfo->KeySection("Game").KeyValue("CustomMouseCursor")
                                 : std::string());
    }
    if (sKey == "TextSpeed") mGameView->TextSpeed(mCfg->LongVal("TextSpeed"));
    if (sKey == "Language") UseLanguageSetting(mCfg->StringVal("Language"));
    if (sKey == "TextAutoClick") mGameView->AutoClickEnabled(mCfg->BoolVal("TextAutoClick"));
    if (mLumo) {
        if (sKey == "WndAlpha") mLumo->WndAlpha(mCfg->LongVal("WndAlpha"));
        if (sKey == "NovelAlpha") mLumo->NovelAlpha(mCfg->LongVal("NovelAlpha"));
        if (sKey == "Font") mLumo->TextFontSetting(mCfg->StringVal("Font"), 0xFFFFFF);
        if (sKey == "TextShadow") mLumo->TextShadow(mCfg->BoolVal("TextShadow"));
    }
    ApplyVolume(sKey);
}

void clsVell::OnRuntimeError(long /*eErrCode*/, const std::string& sMsg, long lAddr) {
    if (!Process().IsDebugMode || lAddr < 0) return;
    const auto& script = mIntprt->CurrentScript();
    Message((script ? script->Name() : std::string()) + " " + std::to_string(lAddr) + "\r\n" +
            sMsg);
}

// [SECTION] Sound and movies -------------------------------------------------

void clsVell::InitWavo() {
    mWavo->SystemInfo(mSystemInfo.get());
    if (mWavo->Init()) return;
    std::string description = mWavo->ErrorDescription(mWavo->WavoLastError());
    if (description.empty()) description = Tr("詳細取得エラー");
    char code[16];
    std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(mWavo->WavoLastError()));
    char extended[16];
    std::snprintf(extended, sizeof extended, "%08X",
                  static_cast<unsigned>(mWavo->WavoExtendedErrorID2()));
    char version[8];
    std::snprintf(version, sizeof version, "%04X",
                  static_cast<unsigned>(mWavo->WavoDirectXVersion()) & 0xFFFFu);
    const std::string shown = std::string(version, 2) + "." + std::string(version + 2, 2);
    std::fprintf(
        stderr, "zelk: %s\n",
        TrFormat("cannot start the sound engine (error %s); playing on without sound", {code})
            .c_str());
    Message(TrFormat(
        "メディアエンジンの初期化に失敗しました。\r\nエラー番号: %s (%s)\r\n"
        "拡張エラー番号: %s, %s\r\nDirectX バージョン: %s (もしくはそれ以上)\r\n\r\n"
        "音楽の再生と動画の再生ができません。",
        {code, description, std::to_string(mWavo->WavoExtendedErrorID1()), extended, shown}));
}

// A muted channel gets volume 0; the configuration keeps the volume itself.
void clsVell::ApplyVolume(const std::string& sKey) {
    if (!mWavo || !mCfg) return;
    auto volume = [this](const char* level, const char* mute) {
        return mCfg->BoolVal(mute) ? 0L : mCfg->LongVal(level);
    };
    if (sKey == "BGMVolume" || sKey == "BGMMute") mWavo->BGMVolume(volume("BGMVolume", "BGMMute"));
    if (sKey == "SEVolume" || sKey == "SEMute") mWavo->SEVolume(volume("SEVolume", "SEMute"));
    if (sKey == "CVVolume" || sKey == "CVMute") mWavo->CVVolume(volume("CVVolume", "CVMute"));
}

void clsVell::MovieTarget(ScreenSurface* surface, std::function<void()> postClick) {
    mMovieSurface = surface;
    mMoviePostClick = std::move(postClick);
}

bool clsVell::PlayMovie(const std::string& file, long eMovieCancel) {
    if (!mWavo) return false;
    if (!mMovieSurface && mGameView->pic()) {
        mWavo->SetVideoWindow(mGameView->pic(), [view = mGameView.get()] { view->PostClick(); });
    } else {
        mWavo->SetVideoWindow(mMovieSurface, mMoviePostClick);
    }
    // The name is the game's: found in the movie folder or not played at all,
    // never handed on as it stands (FFmpeg would take a URL or any path).
    const std::optional<std::string> path = ResolvePath(Process().MovieDir, file);
    if (!path) return false;
    const bool playing = mWavo->PlayMovie(*path);
    if (GameModeMembers* game = GameMode(); playing && game) game->SetMoviePlayMode(eMovieCancel);
    return playing;
}

GameModeMembers* clsVell::GameMode() const {
    return mModeObject ? mModeObject->GameMembers() : nullptr;
}

// [SECTION] The launcher's, for the parts below the root ----------------------

long clsVell::Msg(const std::string& prompt, long buttons) {
    return Message(prompt, buttons);
}

void clsVell::Log(const std::string& line) {
    LogLine(line);
}

void clsVell::RestartTitle() {
    if (clsLaunch* launch = Launch()) launch->RestartTitle();
}

void clsVell::CloseVell() {
    if (clsLaunch* launch = Launch()) launch->CloseVell();
}

}  // namespace zelk
