// VellInterpreterHost: the interpreter's host in the running program. It
// forwards to the launcher, the root and the parts the root owns; a part
// the root does not have (yet) is null, and its questions get the answer
// of an idle player (drawing active, nothing read, no variables).
#pragma once

#include "interpreter/interpreter_host.h"

namespace zelk {

class clsQuorDriver;
class clsSaveData;
class clsVell;
class Configuration;
class SharedData;

struct VellHostParts {
    clsVell* root = nullptr;
    Configuration* cfg = nullptr;
    SharedData* sharedData = nullptr;
    clsSaveData* saveData = nullptr;
    clsQuorDriver* quor = nullptr;
};

class VellInterpreterHost final : public InterpreterHost,
                                  public GraphicsHost,
                                  public TextWindowHost,
                                  public SoundHost,
                                  public ViewHost,
                                  public StoryHost {
public:
    explicit VellInterpreterHost(const VellHostParts& parts) : mParts(parts) {}

    // [SECTION] ScenarioHost
    INIFile* SystemInfo() override;
    INISection* GameVariables() override;
    INISection* SharedVariables() override;
    std::optional<std::string> ReadArchiveText(const std::string& key) override;
    long Msg(const std::string& prompt, long buttons) override;
    bool IsDebugMode() override;
    // In debug mode: a log line naming the place, and the place in the
    // window's title until the page moves on.
    void ScenarioError(const std::string& place, const std::string& message) override;

    // [SECTION] InterpreterHost
    bool CtrlSkipHeld() override;
    void ProcessPendingEvents() override;
    void EventEnabled(bool enabled) override;
    void MenuEnableByText(const std::string& items) override;
    bool IsSkipMode() override;
    void IsSkipMode(bool skip) override;
    bool IsReplayMode() override;
    long ModeSerial() override;
    void MakeAutoClickTimer(long milliseconds) override;
    bool ConfigBool(const std::string& key) override;
    void CloseVell() override;
    bool CmdExists(const std::string& script, long address) override;
    void AddCmdHistory(const std::string& script, long address) override;
    bool DrawActivity() override;
    void CursorVisible(bool visible) override;
    void TextVisible(bool visible) override;
    INISection* IntprtStatus() override;
    void Log(const std::string& line) override;
    void SaveLog() override;
    void ClearScenarioError() override;

    // [SECTION] The parts that scenario commands drive
    // Each member forwards to the part it is named after; until a part is
    // wired the answer is that of a part that did nothing.
    GraphicsHost& Graphics() override { return *this; }
    TextWindowHost& TextWindow() override { return *this; }
    SoundHost& Sound() override { return *this; }
    ViewHost& View() override { return *this; }
    StoryHost& Story() override { return *this; }

    // [SECTION] GraphicsHost
    bool DrawDeactivate(long eMethod, long time) override;
    bool DrawActivate(long eMethod, long time) override;
    bool LoadBuffMask(const std::string& sMask) override;
    bool BGCenter(const std::string& sNewFile, long xPos, long yPos, long time,
                  bool bAbsolute) override;
    bool BGFill(long lColor, long time) override;
    bool BGMove(long xPos, long yPos, long time, bool bAbsolute) override;
    std::string BGName() override;
    bool FaceChange(const std::string& sFaceFile) override;
    long CharBlendColor() override;
    void CharBlendColor(long color) override;
    bool CGChange(const std::string& sFile, long xPos, long yPos, long width, long height,
                  long time) override;
    bool CGHide(const std::string& sCID, long time) override;
    bool CGHideAll(long time) override;
    bool CGMove(const std::string& sCID, long xPos, long yPos, bool bAbsolute, long time,
                bool bSync) override;
    bool CGAlpha(const std::string& sCID, long lAlpha, long time, bool bSync) override;
    bool CGFlip(const std::string& sCID, long cellX, long cellY) override;
    bool CGActClear(const std::string& sCID) override;
    bool CGActAdd(const std::string& sCID, const std::vector<long>& words) override;
    bool CGActStart(const std::string& sCID) override;
    bool CGActEnd(const std::string& sCID) override;
    bool CGActComplete(const std::string& sCID) override;
    long GetCharXPos(const std::string& sCID) override;
    long GetCharFilmID(const std::string& sCID) override;

    // [SECTION] TextWindowHost
    long BaseFilmSet() override;
    void BaseFilmSet(long eNew) override;
    bool TextStart(const std::string& sText, bool bWait) override;
    void TextPageTurn() override;
    std::string CurrentText() override;
    bool EngineReadsUtf8() override;
    void TextSpeedSetting(long lSpeed) override;
    void WindowNameFlip(long n) override;
    bool ChangeWindowType(long lTypeNumber) override;
    void WaitCancelEnabled(bool enabled) override;
    bool AddChoiceItem(const std::string& sText, const std::string& OnClick) override;
    long ChoiceCount() override;
    void ChoiceArrange() override;
    void ChoiceVisible(bool bNew) override;

    // [SECTION] SoundHost
    bool PlayBGM(const std::string& file, bool sync, bool loop) override;
    bool StopBGM(bool sync) override;
    bool PlaySE(const std::string& file, bool sync) override;
    bool StopSE() override;
    bool PlaySELoop(const std::string& file, long count, bool sync) override;
    bool StopSELoop() override;
    bool PlayCV(const std::string& file, bool sync, long pan) override;
    bool StopCV() override;
    bool IsPlayingCV() override;
    void BGMVolumeRate(long rate) override;
    long SOLength() override;
    void SOLength(long milliseconds) override;

    // [SECTION] ViewHost
    void SiteName(const std::string& name) override;
    void SelectionClear() override;
    long AddEventRect(const EventRectSpec& rect) override;
    void RemoveByTag(const std::string& STag) override;
    void EnabledByTag(const std::string& STag, bool bNew) override;

    // [SECTION] StoryHost
    void ChangeMode(long eMode, long eSub, const std::string& vParam) override;
    bool PlayMovie(const std::string& file, long eMovieCancel) override;
    void RestartTitle() override;
    bool TextFilmsVisible() override;
    void WaitTimed(long milliseconds) override;
    long LongVal(const std::string& key) override;
    long GetIndexByCID(const std::string& cid) override;
    long CharColor(long index) override;
    bool CharVoiceEnabled(long index) override;
    bool CharIsMale(const std::string& cid) override;
    bool AddHistory(const std::string& scenario, long number) override;
    void AddCGHistory(const std::string& cGName) override;
    void PageShown(const std::string& text, long voiceMs) override;
    void ChoicesShown(const std::string& items) override;

private:
    VellHostParts mParts;
};

}  // namespace zelk
