#include "modes/mode_saveload_layout.h"

#include <algorithm>

#include "common/numbers.h"
#include "common/text.h"
#include "modes/save_data.h"
#include "settings/ini_file.h"

namespace zelk {

namespace {

std::string TwoDigitKey(const char* prefix, long i) {
    return prefix + std::string(i < 10 ? "0" : "") + std::to_string(i);
}

bool IsTrue(const std::string& value) {
    return ReadBool(TrimChars(value, " \t"));
}

long Clamp(long value, long high) {
    return std::clamp(value, 0L, high);
}

}  // namespace

SaveLoadLayout SaveLoadLayout::Read(const INIFile& settings) {
    auto section = [&](const char* name) { return settings.FindSection(name); };
    auto value = [&](const char* sectionName, const std::string& key) {
        const INISection* s = section(sectionName);
        return s ? s->KeyValue(key) : std::string();
    };
    auto has = [&](const char* sectionName, const char* key) {
        const INISection* s = section(sectionName);
        return s && s->KeyExists(key);
    };

    SaveLoadLayout layout;
    layout.BGFromGame = TrimChars(value("Base", "BGFromGame"), " \t");
    layout.BGFromTitle = TrimChars(value("Base", "BGFromTitle"), " \t");
    layout.TransparentBGFromGame = IsTrue(value("Base", "TransparentBGFromGame"));
    layout.TransparentBGFromTitle = IsTrue(value("Base", "TransparentBGFromTitle"));
    layout.BGAlphaBlend = Clamp(ReadLong(value("Base", "BGAlphaBlend")), 256);
    layout.SlotbaseOverThumbnail = IsTrue(value("Base", "SlotbaseOverThumbnail"));
    if (has("Base", "PageButtonFlipNumOnClick"))
        layout.PageButtonFlipNumOnClick = ReadLong(value("Base", "PageButtonFlipNumOnClick"));
    if (has("Base", "PageButtonFlipNumOnLock"))
        layout.PageButtonFlipNumOnLock = ReadLong(value("Base", "PageButtonFlipNumOnLock"));
    layout.PointSE = TrimChars(value("Base", "PointSE"), " \t");
    layout.ClickSE = TrimChars(value("Base", "ClickSE"), " \t");
    layout.QuerySaveMessage = value("Base", "QuerySaveMessage");
    layout.QueryLoadMessage = value("Base", "QueryLoadMessage");

    layout.Return = value("Button", "Return");
    const long pages = Clamp(ReadLong(value("Button", "PageNoCount")), kMaxPages);
    for (long i = 0; i < pages; ++i)
        layout.PageNo.push_back(value("Button", TwoDigitKey("PageNo", i)));

    layout.SlotXCount = Clamp(ReadLong(value("Slots", "SlotXCount")), kMaxSlots);
    layout.SlotYCount = Clamp(ReadLong(value("Slots", "SlotYCount")), kMaxSlots);
    layout.FreePlaceMode = IsTrue(value("Slots", "FreePlaceMode"));
    if (layout.FreePlaceMode) {
        const long count = Clamp(ReadLong(value("Slots", "SlotCount")), kMaxSlots);
        for (long i = 0; i < count; ++i) {
            const std::vector<std::string> xy =
                SplitText(value("Slots", TwoDigitKey("Slot", i)), ",");
            layout.Slots.push_back(
                {ReadLong(xy[0]), xy.size() > 1 ? static_cast<long>(ReadLong(xy[1])) : 0L});
        }
    } else {
        const long columns = layout.SlotXCount;
        long rows = layout.SlotYCount;
        if (columns > 0 && columns * rows > kMaxSlots) rows = kMaxSlots / columns;
        const long xBase = ReadLong(value("Slots", "SlotXBase"));
        const long yBase = ReadLong(value("Slots", "SlotYBase"));
        const long xDiff = ReadLong(value("Slots", "SlotXDiff"));
        const long yDiff = ReadLong(value("Slots", "SlotYDiff"));
        // Numbered down each column: slot c * rows + r.
        layout.Slots.resize(static_cast<std::size_t>(columns * rows));
        for (long c = 0; c < columns; ++c)
            for (long r = 0; r < rows; ++r)
                layout.Slots[static_cast<std::size_t>(c * rows + r)] = {xBase + c * xDiff,
                                                                        yBase + r * yDiff};
    }

    layout.Thumb = value("SlotBase", "Thumb");
    layout.Base = value("SlotBase", "Base");
    layout.Save = value("SlotBase", "Save");
    layout.Load = value("SlotBase", "Load");
    layout.Text = value("SlotBase", "Text");
    layout.TextFont = TrimChars(value("SlotBase", "TextFont"), " \t");
    layout.TextColor = static_cast<long>(RgbToColorRef(
        ReadLong("&h" + TrimChars(value("SlotBase", "TextColor"), " \t")) & 0xFFFFFF));
    layout.TextSize = ReadLong(value("SlotBase", "TextSize"));
    layout.TextWidth = ReadLong(value("SlotBase", "TextWidth"));
    layout.TextHeight = ReadLong(value("SlotBase", "TextHeight"));
    return layout;
}

long ClampPage(long page, long pageCount) {
    return page < 1 || page > pageCount ? 1 : page;
}

bool SaveAllowedOnPage(long page, long pageCount, bool fromGame) {
    return fromGame && page < pageCount;
}

std::string SaveLoadSlotName(long page, long slotIndex) {
    return clsSaveData::FormatSlotName(page, slotIndex);
}

long ScaleToScreen(long value, long screenSize, long scriptScale) {
    if (scriptScale <= 0) return value;
    return value * screenSize / scriptScale;
}

}  // namespace zelk
