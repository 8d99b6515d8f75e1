#include "interpreter/commands/sound_commands.h"

#include <string>

#include "common/text.h"
#include "interpreter/commands/command_support.h"
#include "platform/translate.h"

namespace zelk::commands {

namespace {

SoundHost& Snd(clsInterpreter& intprt) {
    return intprt.Host().Sound();
}

void Bgm(clsInterpreter& intprt) {
    if (Absent(intprt, 1)) {
        // A skip must not wait for the fade.
        if (!Snd(intprt).StopBGM(!intprt.IsSkipping())) intprt.RuntimeError(Tr("ＢＧＭ停止に失敗"));
        return;
    }
    const std::string& file = intprt.Arg(1);
    const std::string flag = Text(intprt, 2, "true");
    // Neither word: said, and the music loops.
    const bool loop = ReadBool(flag, true);
    if (loop && !ReadBool(flag)) {
        intprt.RuntimeError(Tr("ループフラグにはtrueかfalseしか指定できません。"));
    }
    if (!Snd(intprt).PlayBGM(file, false, loop)) {
        intprt.SoundError(TrFormat("BGM '%s' 再生失敗", {file}));
    }
}

void BgmVolumeRate(clsInterpreter& intprt) {
    const long rate = Number(intprt, 1, 100);
    if (rate < 0 || rate > 100) {
        intprt.RuntimeError(Tr("BGM音量比は０から１００"));
        return;
    }
    Snd(intprt).BGMVolumeRate(rate);
}

void Se(clsInterpreter& intprt) {
    if (Absent(intprt, 1)) {
        Snd(intprt).StopSE();
        return;
    }
    const std::string& file = intprt.Arg(1);
    if (!Snd(intprt).PlaySE(file, false)) intprt.SoundError(TrFormat("SE '%s' 再生失敗", {file}));
}

void Sel(clsInterpreter& intprt) {
    if (Absent(intprt, 1)) {
        Snd(intprt).StopSELoop();
        return;
    }
    const std::string& file = intprt.Arg(1);
    if (!Snd(intprt).PlaySELoop(file, Number(intprt, 2), false)) {
        intprt.SoundError(TrFormat("SEL '%s' 再生失敗", {file}));
    }
}

void StopCv(clsInterpreter& intprt) {
    if (Snd(intprt).IsPlayingCV()) Snd(intprt).StopCV();
}

constexpr CommandEntry kSoundCommands[] = {
    {"bgm", Bgm}, {"bgmvolumerate", BgmVolumeRate}, {"se", Se}, {"sel", Sel}, {"stopcv", StopCv},
};

}  // namespace

std::span<const CommandEntry> SoundCommands() {
    return kSoundCommands;
}

}  // namespace zelk::commands
