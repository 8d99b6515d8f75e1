// clsModeTitle: the logo screen and the title menu, whose buttons start a
// new game, quick-load the newest quick save, open the load screen or the
// extras, or close the player. Everything it shows comes from "title_mode".
#pragma once

#include <memory>
#include <string>

#include "modes/mode.h"

namespace zelk {

class INIFile;
class clsEventRect;
class clsGameView;

// SubStatus of the title mode.
enum : long { kTitleLogo = 1, kTitleMenu = 3 };

class clsModeTitle final : public clsModeBase {
public:
    explicit clsModeTitle(PlayerRoot& root);
    ~clsModeTitle() override;

    bool ModeStart(long eSub, const std::any& vParam) override;
    bool ModeEnd() override;

    // The quick slot the menu offers ("" before the menu was built).
    const std::string& QuickSlot() const { return mQuickSlot; }

protected:
    void OnScreenCmd(long eEvent, clsEventRect* er) override;

private:
    void ShowLogo();
    void ShowMenu();
    void ButtonStates();
    void RunCommand(const std::string& command);
    void PlayEffect(const char* key);
    void CellsOff();
    std::string Value(const char* section, const char* key) const;
    clsGameView* View() const;

    std::unique_ptr<INIFile> mInfo;
    long mFadeTime = 0;
    long mInitColor = 0;
    std::string mQuickSlot;
};

}  // namespace zelk
