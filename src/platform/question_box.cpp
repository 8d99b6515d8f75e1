#include "platform/question_box.h"

#include <SDL.h>
#include <imgui.h>

#include <strings.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/display_order.h"
#include "platform/event_pump.h"
#include "platform/imgui_host.h"
#include "platform/translate.h"

namespace zelk {

namespace {

const char* AnswerWord(long answer) {
    switch (answer) {
        case kAnswerYes:
            return "yes";
        case kAnswerNo:
            return "no";
        default:
            return "ok";
    }
}

long AnswerFromWord(const std::string& word, long buttons) {
    if (buttons != kButtonsYesNo) return kAnswerOK;
    return strcasecmp(word.c_str(), "no") == 0 ? kAnswerNo : kAnswerYes;
}

long DefaultAnswer(long buttons) {
    return buttons == kButtonsYesNo ? kAnswerYes : kAnswerOK;
}

bool DisplayAvailable() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

std::string WithoutCarriageReturns(const std::string& text) {
    std::string kept = text;
    kept.erase(std::remove(kept.begin(), kept.end(), '\r'), kept.end());
    return kept;
}

}  // namespace

std::string EscapeLineBreaks(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' || text[i] == '\r') {
            out += "\\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

QuestionBox& QuestionBox::Instance() {
    static QuestionBox box;
    return box;
}

QuestionBox::QuestionBox() {
    if (const char* answers = std::getenv("ZELK_ANSWERS")) {
        mScripted = true;
        // Every comma parts two answers, empty ones included; an empty
        // variable holds none, so that it scripts the boxes with no answer
        // queued.
        const std::string list = answers;
        for (size_t start = 0; list.find_first_not_of(' ') != std::string::npos;) {
            const size_t comma = std::min(list.find(',', start), list.size());
            const std::string word = list.substr(start, comma - start);
            const size_t first = word.find_first_not_of(' ');
            const size_t last = word.find_last_not_of(' ');
            mScript.push_back(first == std::string::npos ? std::string()
                                                         : word.substr(first, last - first + 1));
            if (comma == list.size()) break;
            start = comma + 1;
        }
    }
}

void QuestionBox::ScriptAnswers(const std::vector<std::string>& answers) {
    mScripted = true;
    mScript.assign(answers.begin(), answers.end());
}

void QuestionBox::Owner(ImGuiHost* host, std::function<void()> drawBackground) {
    mOwner = host;
    mDrawBackground = std::move(drawBackground);
}

long QuestionBox::Ask(const std::string& prompt, long buttons, const std::string& title,
                      bool overGame) {
    overGame = overGame && mOwner != nullptr;
    long answer;
    if (mScripted || !mScript.empty() || !DisplayAvailable()) {
        answer = AnswerFromScript(prompt, buttons, title);
    } else {
        answer = AskOnScreen(prompt, buttons, title, overGame);
    }
    mAsked.push_back({title, prompt, buttons, answer, overGame});
    return answer;
}

long QuestionBox::AnswerFromScript(const std::string& prompt, long buttons,
                                   const std::string& title) {
    long answer = DefaultAnswer(buttons);
    if (!mScript.empty()) {
        answer = AnswerFromWord(mScript.front(), buttons);
        mScript.pop_front();
    }
    std::fprintf(stderr, "%s\t%s\t%s\n", title.c_str(), EscapeLineBreaks(prompt).c_str(),
                 AnswerWord(answer));
    return answer;
}

long QuestionBox::AskOnScreen(const std::string& prompt, long buttons, const std::string& title,
                              bool overGame) {
    // Without a game window the box gets a small window of its own.
    struct Standalone {
        SDL_Window* window = nullptr;
        SDL_Renderer* renderer = nullptr;
        std::unique_ptr<ImGuiHost> host;
        ~Standalone() {
            host.reset();
            if (renderer) SDL_DestroyRenderer(renderer);
            if (window) SDL_DestroyWindow(window);
        }
    } standalone;
    ImGuiHost* host = overGame ? mOwner : nullptr;
    if (!host) {
        standalone.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED,
                                             SDL_WINDOWPOS_CENTERED, 520, 180, SDL_WINDOW_SHOWN);
        if (standalone.window) {
            standalone.renderer = SDL_CreateRenderer(standalone.window, -1, 0);
        }
        if (!standalone.renderer) return AnswerFromScript(prompt, buttons, title);
        standalone.host = std::make_unique<ImGuiHost>(standalone.window, standalone.renderer);
        host = standalone.host.get();
    }

    host->NeedGlyphsOf(title + prompt);
    host->ForgetKeys();
    long answer = 0;
    const long cancel = buttons == kButtonsYesNo ? kAnswerNo : kAnswerOK;
    auto previous = EventPump::Instance().SetEventHandler([&](const SDL_Event& event) {
        host->ProcessEvent(event);
        if (event.type == SDL_QUIT ||
            (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
            answer = cancel;
        } else if (event.type == SDL_KEYDOWN) {
            const SDL_Keycode key = event.key.keysym.sym;
            if (key == SDLK_RETURN || key == SDLK_KP_ENTER) answer = DefaultAnswer(buttons);
            if (key == SDLK_ESCAPE) answer = cancel;
        }
    });
    const std::string text = DisplayOrder(WithoutCarriageReturns(prompt));
    while (answer == 0) {
        EventPump::Instance().WaitAndProcess(std::chrono::milliseconds(50));
        if (answer == 0 && !mScript.empty()) {
            answer = AnswerFromWord(mScript.front(), buttons);
            mScript.pop_front();
        }
        if (answer != 0) break;
        SDL_SetRenderDrawColor(host->Renderer(), 32, 32, 40, 255);
        SDL_RenderClear(host->Renderer());
        if (host == mOwner && mDrawBackground) mDrawBackground();
        host->Frame([&] {
            int width = 0, height = 0;
            SDL_GetRendererOutputSize(host->Renderer(), &width, &height);
            ImGui::SetNextWindowPos(ImVec2(width * 0.5f, height * 0.5f), ImGuiCond_Always,
                                    ImVec2(0.5f, 0.5f));
            ImGui::Begin(DisplayOrder(title).c_str(), nullptr,
                         ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse |
                             ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
            ImGui::TextUnformatted(text.c_str());
            ImGui::Spacing();
            if (buttons == kButtonsYesNo) {
                if (ImGui::Button(Tr("はい"), ImVec2(96, 0))) answer = kAnswerYes;
                ImGui::SameLine();
                if (ImGui::Button(Tr("いいえ"), ImVec2(96, 0))) answer = kAnswerNo;
            } else if (ImGui::Button("OK", ImVec2(96, 0))) {
                answer = kAnswerOK;
            }
            ImGui::End();
        });
        SDL_RenderPresent(host->Renderer());
    }
    EventPump::Instance().SetEventHandler(std::move(previous));
    return answer;
}

}  // namespace zelk
