// The placeholder pictures of a new game, drawn in code to the sizes the
// system files give them: plain shapes and lettering that say what each
// picture is for, until the author's own art replaces them file by file.
#include <algorithm>
#include <cstdint>

#include "canvas.h"
#include "new_game.h"

namespace zelk::tool {

namespace {

constexpr Rgba kInk{0x23, 0x30, 0x42};
constexpr Rgba kInkLight{0x3a, 0x50, 0x68};
constexpr Rgba kPaper{0xf4, 0xef, 0xe6};
constexpr Rgba kAccent{0xe8, 0xb0, 0x4a};
constexpr Rgba kAccentDark{0xa8, 0x78, 0x2a};
constexpr Rgba kGrey{0x5a, 0x5f, 0x6a};
constexpr Rgba kClear{0, 0, 0, 0};

// The largest whole font scale whose letters fill about half the height.
int LetterScale(int height) {
    return std::max(1, height / 2 / 7);
}

// Button rows, from the top: normal, pointed at, pressed, unavailable.
enum class Look { kNormal, kPoint, kPress, kOff };

Canvas ButtonRow(int w, int h, const std::string& label, Look look) {
    Rgba fill = kInk, text = kPaper, line = kAccentDark;
    if (look == Look::kPoint) fill = kInkLight, text = Rgba{255, 255, 255}, line = kAccent;
    if (look == Look::kPress) fill = kAccent, text = kInk, line = kPaper;
    if (look == Look::kOff)
        fill = Rgba{0x3a, 0x3f, 0x4a}, text = Rgba{0x8a, 0x8f, 0x99}, line = kGrey;
    Canvas row(w, h);
    row.RoundRect(0, 0, w, h, h / 3, fill, line, std::max(1, h / 18));
    row.CentredText(0, 0, w, h, LetterScale(h), text, label);
    return row;
}

Canvas Button(const Box& box, const std::string& label, int rows) {
    std::vector<Canvas> stack;
    for (const Look look : {Look::kNormal, Look::kPoint, Look::kPress, Look::kOff}) {
        if (static_cast<int>(stack.size()) == rows) break;
        stack.push_back(ButtonRow(box.w, box.h, label, look));
    }
    return Canvas::Stack(stack);
}

// A full screen with a heading in its top left corner.
Canvas Screen(const NewGameLayout& l, const std::string& heading, Rgba top, Rgba bottom) {
    Canvas screen(l.width, l.height);
    screen.VerticalGradient(0, 0, l.width, l.height, top, bottom);
    const int scale = LetterScale(l.Scaled(40));
    screen.Text(l.Scaled(28), l.Scaled(18), scale, kPaper, heading);
    screen.Fill(l.Scaled(24), l.Scaled(52), l.width - 2 * l.Scaled(24), std::max(1, l.Scaled(1)),
                kAccentDark);
    return screen;
}

Canvas Room(const NewGameLayout& l) {
    Canvas room(l.width, l.height);
    const int floor = l.height * 2 / 3;
    room.VerticalGradient(0, 0, l.width, floor, Rgba{0xd8, 0xc8, 0xa8}, Rgba{0xb8, 0xa4, 0x80});
    room.VerticalGradient(0, floor, l.width, l.height - floor, Rgba{0x8a, 0x64, 0x44},
                          Rgba{0x5a, 0x40, 0x2c});
    // A window with daylight in it.
    const Box window = {l.width / 2 - l.Scaled(120), l.Scaled(60), l.Scaled(240), l.Scaled(180)};
    room.Fill(window.x - l.Scaled(8), window.y - l.Scaled(8), window.w + l.Scaled(16),
              window.h + l.Scaled(16), Rgba{0x6a, 0x4e, 0x36});
    room.VerticalGradient(window.x, window.y, window.w, window.h, Rgba{0x9f, 0xd0, 0xf4},
                          Rgba{0xe8, 0xf4, 0xfc});
    room.Fill(window.x + window.w / 2 - l.Scaled(3), window.y, l.Scaled(6), window.h,
              Rgba{0x6a, 0x4e, 0x36});
    room.Fill(window.x, window.y + window.h / 2 - l.Scaled(3), window.w, l.Scaled(6),
              Rgba{0x6a, 0x4e, 0x36});
    room.Text(l.Scaled(16), l.Scaled(12), LetterScale(l.Scaled(24)), Rgba{255, 255, 255, 160},
              "BG_ROOM");
    return room;
}

Canvas Sky(const NewGameLayout& l) {
    Canvas sky(l.width, l.height);
    const int horizon = l.height * 3 / 5;
    sky.VerticalGradient(0, 0, l.width, horizon, Rgba{0x2a, 0x6a, 0xb8}, Rgba{0xf8, 0xc8, 0x90});
    sky.VerticalGradient(0, horizon, l.width, l.height - horizon, Rgba{0x1e, 0x4a, 0x7a},
                         Rgba{0x0e, 0x24, 0x40});
    sky.Ellipse(l.width / 2, horizon, l.Scaled(60), l.Scaled(60), Rgba{0xff, 0xe8, 0xb0, 220});
    sky.Fill(0, horizon, l.width, l.Scaled(2), Rgba{0xff, 0xf0, 0xd0, 200});
    sky.Text(l.Scaled(16), l.Scaled(12), LetterScale(l.Scaled(24)), Rgba{255, 255, 255, 160},
             "EV_SKY");
    return sky;
}

// A standing figure: transparent around it, so the background shows.
Canvas Character(const NewGameLayout& l) {
    const int w = l.character.w, h = l.character.h;
    Canvas figure(w, h);
    const Rgba body{0x7a, 0x9c, 0xc8};
    const Rgba skin{0xfb, 0xe3, 0xcf};
    const Rgba hair{0x4a, 0x34, 0x2a};
    figure.RoundRect(w / 5, h * 2 / 5, w * 3 / 5, h * 3 / 5 + w / 8, w / 5, body,
                     Rgba{0x4c, 0x6f, 0x91}, std::max(1, w / 80));
    figure.Ellipse(w / 2, h / 4, w / 4 + w / 20, h / 7 + h / 40, hair);
    figure.Ellipse(w / 2, h / 4 + h / 40, w / 4, h / 7, skin);
    figure.Ellipse(w / 2 - w / 12, h / 4 + h / 60, w / 40 + 1, h / 60 + 1, kInk);
    figure.Ellipse(w / 2 + w / 12, h / 4 + h / 60, w / 40 + 1, h / 60 + 1, kInk);
    figure.CentredText(0, h * 3 / 5, w, h / 8, LetterScale(l.Scaled(24)), kPaper, "Y01");
    return figure;
}

// A gallery or replay panel made from the picture it opens: normal, then
// pointed at with a bright frame.
Canvas Panel(const Box& box, const Canvas& from, const std::string& caption) {
    Canvas small = from.Resized(box.w, box.h);
    small.Fill(0, box.h * 4 / 5, box.w, box.h - box.h * 4 / 5, Rgba{0, 0, 0, 112});
    small.CentredText(0, box.h * 4 / 5, box.w, box.h - box.h * 4 / 5, LetterScale(box.h / 5),
                      kPaper, caption);
    Canvas normal = small;
    normal.RoundRect(0, 0, box.w, box.h, 0, kClear, kInk, 2);
    Canvas pointed = small;
    pointed.RoundRect(0, 0, box.w, box.h, 0, Rgba{255, 255, 255, 40}, kAccent, 4);
    return Canvas::Stack({normal, pointed});
}

Canvas ClosedPanel(const Box& box) {
    Canvas closed(box.w, box.h);
    closed.VerticalGradient(0, 0, box.w, box.h, Rgba{0x2a, 0x2e, 0x3a}, Rgba{0x1a, 0x1e, 0x28});
    closed.RoundRect(0, 0, box.w, box.h, 0, kClear, kGrey, 2);
    closed.CentredText(0, 0, box.w, box.h, LetterScale(box.h / 2), kGrey, "?");
    return Canvas::Stack({closed, closed});
}

// Cells side by side: a diamond that bobs, the wait cursor.
Canvas Cursor(const Box& box) {
    std::vector<Canvas> cells;
    for (int f = 0; f < 8; ++f) {
        Canvas cell(box.w, box.h);
        const int bob = (f < 4 ? f : 8 - f) * box.h / 20;
        const int r = box.w / 3;
        for (int j = -r; j <= r; ++j) {
            const int half = r - std::abs(j);
            cell.Fill(box.w / 2 - half, box.h / 2 - box.h / 10 + bob + j, 2 * half + 1, 1, kAccent);
        }
        cells.push_back(cell);
    }
    return Canvas::Row(cells);
}

// A speaker for the log's voice buttons: eight cells, two rows.
Canvas LogVoice(const Box& box) {
    std::vector<Canvas> rows;
    for (const Rgba colour : {kPaper, kAccent}) {
        std::vector<Canvas> cells;
        for (int f = 0; f < 8; ++f) {
            Canvas cell(box.w, box.h);
            cell.Fill(box.w / 6, box.h / 3, box.w / 5, box.h / 3, colour);
            for (int j = 0; j < box.h / 2; ++j)
                cell.Fill(box.w / 6 + box.w / 5, box.h / 4 + j / 2, box.w / 5, box.h / 2 - j,
                          colour.WithAlpha(static_cast<std::uint8_t>(255 - f * 16)));
            cells.push_back(cell);
        }
        rows.push_back(Canvas::Row(cells));
    }
    return Canvas::Stack(rows);
}

}  // namespace

std::optional<std::vector<NewGameFile>> NewGamePictures(const std::string& title,
                                                        const NewGameLayout& l,
                                                        std::string& error) {
    std::vector<std::pair<std::string, Canvas>> pictures;
    const auto add = [&](const std::string& name, Canvas canvas) {
        pictures.emplace_back(name, std::move(canvas));
    };
    const auto S = [&l](int v) { return l.Scaled(v); };

    // [SECTION] Title
    Canvas logo(l.width, l.height);
    logo.VerticalGradient(0, 0, l.width, l.height, Rgba{0x10, 0x14, 0x1c}, kInk);
    logo.Ellipse(l.width / 2, l.height / 2 - S(30), S(40), S(40), kAccent);
    logo.CentredText(0, l.height / 2 + S(30), l.width, S(40), LetterScale(S(40)), kPaper,
                     "MADE WITH ZELK");
    add("logo", logo);

    Canvas titleScreen(l.width, l.height);
    titleScreen.VerticalGradient(0, 0, l.width, l.height, kInkLight, Rgba{0x10, 0x14, 0x1c});
    const bool asciiTitle =
        std::all_of(title.begin(), title.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    titleScreen.Text(S(60), S(80), LetterScale(S(64)), kPaper, asciiTitle ? title : "TITLE");
    add("title_bg", titleScreen);
    const char* const titleButtons[][2] = {{"tb_start", "START"},
                                           {"tb_qload", "CONTINUE"},
                                           {"tb_load", "LOAD"},
                                           {"tb_omake", "EXTRAS"},
                                           {"tb_exit", "EXIT"}};
    for (const auto& [name, label] : titleButtons)
        add(name, Button(l.titleButton, label, 4));

    // [SECTION] Text window, choices and log
    Canvas back(l.window.w, l.window.h);
    back.RoundRect(0, 0, l.window.w, l.window.h, S(14), kInk, kInk, 0);
    add("win_back", back);
    Canvas frame(l.window.w, l.window.h);
    frame.RoundRect(0, 0, l.window.w, l.window.h, S(14), kClear, kAccent, std::max(1, S(2)));
    add("win_frame", frame);
    Canvas plate = ButtonRow(l.nameplate.w, l.nameplate.h, "YUKI", Look::kNormal);
    add("nameplate", Canvas::Stack({Canvas(l.nameplate.w, l.nameplate.h), plate}));
    add("state", Canvas::Stack({Canvas(l.state.w, l.state.h),
                                ButtonRow(l.state.w, l.state.h, "AUTO", Look::kNormal),
                                ButtonRow(l.state.w, l.state.h, "SKIP", Look::kNormal)}));
    const char* const windowButtons[][2] = {{"wb_save", "Q.SAVE"},
                                            {"wb_load", "Q.LOAD"},
                                            {"wb_auto", "AUTO"},
                                            {"wb_skip", "SKIP"},
                                            {"wb_log", "LOG"}};
    for (const auto& [name, label] : windowButtons)
        add(name, Button(l.windowButton, label, 2));
    add("cursor", Cursor(l.cursor));
    add("choice_frame", Button(l.choice, "", 3));
    Canvas novel(l.novel.w, l.novel.h);
    novel.RoundRect(0, 0, l.novel.w, l.novel.h, S(18), kInk, kInkLight, std::max(1, S(2)));
    add("novel_back", novel);

    Canvas log = Screen(l, "BACKLOG", Rgba{0x0e, 0x1a, 0x30}, kInk);
    add("log_back", log);
    add("log_voice", LogVoice(l.logVoice));
    const char* const logButtons[][2] = {{"lb_pageup", "PG UP"},
                                         {"lb_rollup", "UP"},
                                         {"lb_rolldown", "DOWN"},
                                         {"lb_pagedown", "PG DN"}};
    for (const auto& [name, label] : logButtons)
        add(name, Button(l.logButton, label, 2));
    add("lb_return", Button(l.logReturn, "BACK", 2));

    // [SECTION] Save and load
    add("sl_back", Screen(l, "SAVE / LOAD", Rgba{0x2a, 0x3a, 0x5c}, Rgba{0x10, 0x1a, 0x2e}));
    std::vector<Canvas> slotRows;
    for (const Look look : {Look::kNormal, Look::kPoint, Look::kPress, Look::kOff}) {
        Canvas row = ButtonRow(l.slot.w, l.slot.h, "", look);
        row.Fill(l.thumb.x, l.thumb.y, l.thumb.w, l.thumb.h, Rgba{0, 0, 0, 96});
        slotRows.push_back(row);
    }
    add("sl_base", Canvas::Stack(slotRows));
    add("sl_save", Button(l.slotSave, "SAVE", 4));
    add("sl_load", Button(l.slotLoad, "LOAD", 4));
    add("sl_return", Button(l.returnButton, "BACK", 4));
    const char* const pages[] = {"1", "2", "3", "4", "Q"};
    for (int i = 0; i < 5; ++i)
        add("sl_page" + std::to_string(i + 1), Button(l.pageButton, pages[i], 4));

    // [SECTION] Story
    const Canvas room = Room(l);
    const Canvas sky = Sky(l);
    add("bg_room", room);
    add("ev_sky", sky);
    add("st_y01_normal", Character(l));

    // [SECTION] Extras
    add("om_bg_cg", Screen(l, "GALLERY", Rgba{0x3a, 0x2f, 0x5c}, Rgba{0x14, 0x10, 0x28}));
    add("om_bg_rep", Screen(l, "REPLAY", Rgba{0x2f, 0x4a, 0x5c}, Rgba{0x0e, 0x1a, 0x28}));
    add("om_mode_cg", Button(l.modeButton, "CG", 4));
    add("om_mode_rep", Button(l.modeButton, "SCENES", 4));
    add("om_return", Button(l.returnButton, "BACK", 4));
    add("om_page1", Button(l.pageButton, "1", 4));
    add("cgp_null", ClosedPanel(l.panel));
    add("rpp_null", ClosedPanel(l.panel));
    add("cgp_sky", Panel(l.panel, sky, "SKY"));
    add("cgp_room", Panel(l.panel, room, "ROOM"));
    add("rpp_opening", Panel(l.panel, room, "OPENING"));
    // The gallery's two pictures can be seen by none, one or both.
    for (const char* const percent : {"000", "050", "100"}) {
        Canvas shown = ButtonRow(l.percent.w, l.percent.h, "", Look::kNormal);
        const std::string label = "SEEN " + std::to_string(std::stoi(percent)) + "%";
        shown.CentredText(0, 0, l.percent.w, l.percent.h, LetterScale(l.percent.h), kPaper, label);
        add(std::string("pct") + percent, shown);
    }

    std::vector<NewGameFile> files;
    for (const auto& [name, canvas] : pictures) {
        std::optional<std::string> png = canvas.EncodePng(error);
        if (!png) {
            error = name + ".png: " + error;
            return std::nullopt;
        }
        files.push_back({"image/" + name + ".png", std::move(*png)});
    }
    return files;
}

}  // namespace zelk::tool
