// Modal questions: a prompt with an OK button or Yes and No buttons, in
// Japanese. Drawn with Dear ImGui centred over the game window when one is
// shown, else in a small window of their own.
//
// Headless runs never wait: answers come from a script (tests set one; the
// environment variable ZELK_ANSWERS gives one to a whole program, e.g.
// "yes,no,ok"), and once the script runs out every question takes OK or Yes.
// Under ZELK_ANSWERS, and whenever no display can show the box, each
// question is written to standard error as one line:
//     title TAB prompt-with-line-breaks-as-\n TAB answer
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace zelk {

class ImGuiHost;

// Button sets and results, as the program's message boxes use them.
enum : long { kButtonsOK = 0, kButtonsYesNo = 4 };
enum : long { kAnswerOK = 1, kAnswerYes = 6, kAnswerNo = 7 };

struct AskedQuestion {
    std::string Title;
    std::string Prompt;
    long Buttons = kButtonsOK;
    long Answer = kAnswerOK;
    bool OverGame = false;  // drawn over the game window, not on its own
};

class QuestionBox {
public:
    static QuestionBox& Instance();

    // `overGame`: the game window is shown and not minimised, so the box is
    // drawn over it; otherwise it gets a small window of its own.
    long Ask(const std::string& prompt, long buttons, const std::string& title,
             bool overGame = true);

    // Test seam: the answers ("ok", "yes", "no") given to the next questions
    // in order, and the record of what was asked.
    void ScriptAnswers(const std::vector<std::string>& answers);
    // One more answer for the next question; a box already open on screen
    // takes it at once.
    void QueueAnswer(const std::string& answer) { mScript.push_back(answer); }
    const std::vector<AskedQuestion>& Asked() const { return mAsked; }
    void ClearAsked() { mAsked.clear(); }

    // The game window over which questions are centred, and how to draw
    // the game picture under the box; none: a standalone box.
    void Owner(ImGuiHost* host, std::function<void()> drawBackground);

private:
    QuestionBox();
    long AnswerFromScript(const std::string& prompt, long buttons, const std::string& title);
    long AskOnScreen(const std::string& prompt, long buttons, const std::string& title,
                     bool overGame);

    std::deque<std::string> mScript;
    bool mScripted = false;
    std::vector<AskedQuestion> mAsked;
    ImGuiHost* mOwner = nullptr;
    std::function<void()> mDrawBackground;
};

// "a\r\nb" shown as "a\nb" with the line break written as a backslash and n.
std::string EscapeLineBreaks(const std::string& text);

}  // namespace zelk
