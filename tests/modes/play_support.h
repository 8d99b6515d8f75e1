// Reading what the scripted player answers: the fields of a `state` line,
// the event rectangles, the dialog's values, the pictures it shot and the
// sound it played through SDL's disk driver.
#pragma once

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/zelk_process.h"
#include "settings/ini_io.h"

namespace zelk::testing {

inline std::string Field(const std::string& state, const std::string& name) {
    const size_t at = state.find(" " + name + "=");
    if (at == std::string::npos) return {};
    const size_t start = at + name.size() + 2;
    if (name == "text") return state.substr(start);
    return state.substr(start, state.find(' ', start) - start);
}

// The plain text of a file the player wrote scrambled; empty when it does
// not decode.
inline std::string Decoded(const fs::path& path) {
    std::string text;
    return ReadScrambledFile(path.string(), text) ? text : std::string();
}

// A picture as 24-bit RGB rows; empty when it does not load.
struct Rgb {
    int w = 0, h = 0;
    std::vector<std::uint8_t> pixels;
    const std::uint8_t* At(int x, int y) const { return &pixels[(size_t(y) * w + x) * 3]; }
};

inline Rgb LoadRgb(const std::string& path) {
    Rgb rgb;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (loaded == nullptr) return rgb;
    SDL_Surface* picture = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    if (picture == nullptr) return rgb;
    rgb.w = picture->w;
    rgb.h = picture->h;
    rgb.pixels.resize(size_t(rgb.w) * rgb.h * 3);
    for (int y = 0; y < rgb.h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(picture->pixels) + y * picture->pitch;
        std::copy(row, row + rgb.w * 3, rgb.pixels.begin() + size_t(y) * rgb.w * 3);
    }
    SDL_FreeSurface(picture);
    return rgb;
}

// How many colours a region of a picture holds.
inline size_t Colours(const std::string& path, int x1, int y1, int x2, int y2) {
    const Rgb picture = LoadRgb(path);
    std::set<long> colours;
    for (int y = y1; y < y2 && y < picture.h; ++y)
        for (int x = x1; x < x2 && x < picture.w; ++x) {
            const std::uint8_t* p = picture.At(x, y);
            colours.insert(p[0] | (p[1] << 8) | (p[2] << 16));
        }
    return colours.size();
}

// How far two pictures of the same size are apart in a region: the mean
// difference per colour byte, 0 to 255 (255 when either did not load or the
// sizes differ).
inline double MeanDifference(const Rgb& a, const Rgb& b, int x1, int y1, int x2, int y2) {
    if (a.w == 0 || a.w != b.w || a.h != b.h) return 255;
    x2 = std::min(x2, a.w), y2 = std::min(y2, a.h);
    if (x1 >= x2 || y1 >= y2) return 255;
    double sum = 0;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(int(a.At(x, y)[c]) - int(b.At(x, y)[c]));
    return sum / (double(x2 - x1) * (y2 - y1) * 3);
}

// The 100 ms loudness (RMS) of the float stereo samples at 48000 Hz that
// SDL's disk driver wrote, one value per stretch.
inline constexpr size_t kLoudnessStretchBytes = 4800 * 2 * sizeof(float);

inline std::vector<double> Loudness(const std::string& path) {
    std::vector<double> levels;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return levels;
    constexpr size_t kStretch = kLoudnessStretchBytes / sizeof(float);
    std::vector<float> samples(kStretch);
    while (std::fread(samples.data(), sizeof(float), kStretch, file) == kStretch) {
        double sum = 0;
        for (float s : samples)
            sum += double(s) * s;
        levels.push_back(std::sqrt(sum / kStretch));
    }
    std::fclose(file);
    return levels;
}

struct EventRect {
    std::string stag;
    long ltag = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool enabled = false;
    std::string extension;
    std::string Centre() const {
        return std::to_string((x1 + x2) / 2) + " " + std::to_string((y1 + y2) / 2);
    }
};

// Which of the rectangles are enabled, in order: the extras' open panels.
inline std::vector<bool> Open(const std::vector<EventRect>& rects) {
    std::vector<bool> open;
    for (const EventRect& r : rects)
        open.push_back(r.enabled);
    return open;
}

// The player in conversation, with the questions a test asks most.
class Reader {
public:
    explicit Reader(const fs::path& folder,
                    const std::vector<std::pair<std::string, std::string>>& environment = {})
        : mPlayer(folder, environment) {}

    // Sends one command and returns its answer, empty once the player ended.
    std::vector<std::string> Say(const std::string& command) { return mPlayer.Say(command); }
    int Wait() { return mPlayer.Wait(); }

    // Sends one command; false when it answered an error.
    bool Do(const std::string& command) {
        const std::vector<std::string> answer = mPlayer.Say(command);
        return !answer.empty() && answer.back() == "ok";
    }
    std::string State() {
        for (const std::string& line : mPlayer.Say("state"))
            if (line.starts_with("state ")) return line;
        return {};
    }
    std::string Get(const std::string& field) { return Field(State(), field); }
    // What `dialog get CONTROL` answers; empty on an error.
    std::string DialogValue(const std::string& control) {
        const std::string prefix = "value " + control + " ";
        for (const std::string& line : mPlayer.Say("dialog get " + control))
            if (line.starts_with(prefix)) return line.substr(prefix.size());
        return {};
    }

    std::vector<EventRect> Rects() {
        std::vector<EventRect> rects;
        for (const std::string& line : mPlayer.Say("rects")) {
            if (!line.starts_with("rect ")) continue;
            std::istringstream in(line.substr(5));
            EventRect r;
            long index = 0, type = 0, border = 0;
            int enabled = 0;
            in >> index >> r.stag >> r.ltag >> r.x1 >> r.y1 >> r.x2 >> r.y2 >> enabled >> type >>
                border >> r.extension;
            r.enabled = enabled != 0;
            rects.push_back(r);
        }
        return rects;
    }
    // The rectangles of one kind, by their LTag.
    std::vector<EventRect> Rects(const std::string& stag) {
        std::vector<EventRect> found;
        for (const EventRect& r : Rects())
            if (r.stag == stag) found.push_back(r);
        return found;
    }
    bool Click(const EventRect& r) { return Do("click " + r.Centre()) && Do("idle"); }

    // Waits for the title menu, its fade and music included.
    bool AtTitle(int tries = 100) {
        for (int i = 0; i < tries; ++i) {
            if (!Do("idle")) return false;
            const std::string state = State();
            if (Field(state, "mode") == "1" && Field(state, "sub") == "3" &&
                !Rects("main_menu").empty())
                return true;
            Do("wait 100");
        }
        return false;
    }

    // Reads on in skip mode, answering choices with their first item and
    // clickable areas with their first area, while the mode stays `mode`.
    void SkipWhileIn(const std::string& mode, int tries = 80) {
        for (int i = 0; i < tries && Get("mode") == mode; ++i) {
            if (ClickFirstEnabled("selectionitem") || ClickFirstEnabled("gamemode_button"))
                continue;
            Do("hold ctrl 1500");
        }
    }

    // Answers what the story waits for besides a click: item `choice` of a
    // choice, else the first clickable area. False when neither is shown.
    bool Choose(size_t choice) {
        const std::vector<EventRect> items = Rects("selectionitem");
        if (items.size() > choice && items[choice].enabled) return Click(items[choice]);
        return ClickFirstEnabled("gamemode_button");
    }

    void Kill() { mPlayer.Kill(); }
    pid_t Pid() const { return mPlayer.Pid(); }

    int Quit() {
        mPlayer.Say("quit");
        return mPlayer.Wait();
    }

private:
    bool ClickFirstEnabled(const std::string& stag) {
        for (const EventRect& r : Rects(stag))
            if (r.enabled) return Click(r);
        return false;
    }

    Conversation mPlayer;
};

}  // namespace zelk::testing
