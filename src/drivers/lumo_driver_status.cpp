// The driver's save section "LumoStatus": enough to rebuild the scene.
#include "common/numbers.h"
#include "common/text.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"
#include "settings/ini_section.h"

namespace zelk {

void clsLumoDriver::SaveStatus(INISection& status) const {
    status.KeyValue("BaseFilmSet", std::to_string(mBaseFilmSet));
    status.KeyValue("BGName", mBGName);
    status.KeyValue("BGFillColor", std::to_string(mBGFillColor));
    status.KeyValue("BGX", std::to_string(mBGX));
    status.KeyValue("BGY", std::to_string(mBGY));
    status.KeyValue("WindowNameFlip", std::to_string(mNameFlip));
    status.KeyValue("CharBlendColor", std::to_string(mCharBlendColor));
    for (int i = 0; i < kCharSlots; ++i) {
        const CharSlot& s = mChars[static_cast<size_t>(i)];
        std::string value;
        if (s.visible) {
            auto n = [](long v) { return std::to_string(v); };
            value = s.trimmed ? s.file + "," + n(s.x) + "," + n(s.y) + ",-1,-1,0,0," + n(s.alpha) +
                                    "," + n(s.blend)
                              : s.file + "," + n(s.x) + "," + n(s.y) + "," + n(s.width) + "," +
                                    n(s.height) + "," + n(s.cellX) + "," + n(s.cellY) + "," +
                                    n(s.alpha) + "," + n(s.blend);
        }
        status.KeyValue("CH" + std::to_string(i), value);
        std::string program;
        int32_t state = AS_STOPPED;
        if (s.visible && s.action >= 0 && GetActProp(s.action, AP_STATE, &state) == 0 &&
            state != AS_STOPPED) {
            for (size_t k = 0; k < s.program.size(); ++k) {
                if (k) program += ',';
                program += std::to_string(s.program[k]);
            }
        }
        status.KeyValue("CHACT" + std::to_string(i), program);
    }
    status.KeyValue("Face", mFaceName);
    status.KeyValue("ChoiceCount", std::to_string(mChoiceCount));
    status.KeyValue("ChoiceVisible", mChoiceVisible ? "True" : "False");
    for (long i = 0; i < mChoiceCount; ++i) {
        const ChoiceSlot& choice = mChoices[static_cast<size_t>(i)];
        std::string script;
        if (mHooks.EvRects) {
            if (const clsEventRect* rect = mHooks.EvRects->Item(choice.rect))
                script = rect->ClickScript;
        }
        status.KeyValue("choice" + std::to_string(i), choice.text_ + "," + script);
    }
    status.KeyValue("Text", "\"" + mCurrentText + "\"");
    status.KeyValue("WindowType", std::to_string(mWindowType));
}

void clsLumoDriver::LoadStatus(const INISection& status) {
    DrawDeactivate(0, 0);
    BaseFilmSet(ReadLong(status.KeyValue("BaseFilmSet")));
    // A new base film set shows the default look; the saved type is loaded
    // even when its number equals the one remembered from before.
    const long type = ReadLong(status.KeyValue("WindowType"));
    mWindowType = -1;
    if (!ChangeWindowType(type)) mWindowType = type;
    const std::string bg = status.KeyValue("BGName");
    if (!bg.empty()) {
        BGCenter(bg, ReadLong(status.KeyValue("BGX")), ReadLong(status.KeyValue("BGY")), 1000,
                 true);
    } else {
        BGFill(ReadLong(status.KeyValue("BGFillColor")), 0);
    }
    for (int i = kCharSlots - 1; i >= 0; --i) {
        const std::string value = status.KeyValue("CH" + std::to_string(i));
        if (value.empty()) continue;
        const std::vector<std::string> v = SplitText(value, ",");
        if (v.size() < 9) continue;
        mCharBlendColor = ReadLong(v[8]);
        CGChange(v[0], ReadLong(v[1]), ReadLong(v[2]), ReadLong(v[3]), ReadLong(v[4]), 0);
        CGFlip(v[0], ReadLong(v[5]), ReadLong(v[6]));
        if (ReadLong(v[7]) != 256) CGAlpha(v[0], ReadLong(v[7]), 0, true);
        const std::string program = status.KeyValue("CHACT" + std::to_string(i));
        if (!program.empty()) {
            CGActClear(v[0]);
            CGActAdd(v[0], SplitText(program, ","));
            CGActStart(v[0]);
        }
    }
    mCharBlendColor = ReadLong(status.KeyValue("CharBlendColor"));
    FaceChange(status.KeyValue("Face"));
    TextPageTurn();
    const std::string text = status.KeyValue("Text");
    if (!text.empty() && text != "\"\"" && text.size() >= 2) {
        TextStart(ReplaceText(text.substr(1, text.size() - 2), "\\n", "\n"), false);
    }
    const long count = ReadLong(status.KeyValue("ChoiceCount"));
    for (long i = 0; i < count && i < kChoiceSlots; ++i) {
        const std::string item = status.KeyValue("choice" + std::to_string(i));
        const size_t comma = item.find(',');
        AddChoiceItem(item.substr(0, comma),
                      comma == std::string::npos ? "" : item.substr(comma + 1));
    }
    ChoiceArrange();
    ChoiceVisible(ReadBool(status.KeyValue("ChoiceVisible")));
    WindowNameFlip(ReadLong(status.KeyValue("WindowNameFlip")));
}

}  // namespace zelk
