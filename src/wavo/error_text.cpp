#include "error_text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "cp932.h"

namespace wavo {
namespace {

struct Entry {
    int32_t code;
    std::string_view text;
};

constexpr Entry kTexts[] = {
    {0, "正しく動作しました。おめでとう。"},
    {0x45000000, "未定義のエラーです。"},
    {0x45000100, "DirectAudioにかかわる何らかのえらーです。"},
    {0x45000202, "許可されていないメソッドを実行しようとしました。"},
    {0x45000203, "サポートされていない動作を実行しようとしました。"},
    {0x45000204, "不正な値をプロパティの値として指定しようとしました。"},
    {0x45000205, "Getが許可されていないプロパティにGetしようとしました。"},
    {0x45000206, "Setが許可されていないプロパティにSetしようとしました。"},
    {0x45000401, "存在しないプロパティです。"},
    {0x45000402, "存在しないメソッドです。"},
    {0x45000403, "存在しないサウンドオブジェクトです。"},
    {0x45000404, "存在しないファイル名が指定されました。"},
    {0x45000405, "存在しないジョブが指定されました。"},
    {0x45000801, "データが正常にロードされていない状態では指定されたメソッドは実行できません。"},
    {0x45000802, "再生されていない状態では実行できません。"},
    {0x45001000, "MCIにかかわる何らかのエラーです。"},
    {0x45004001, "DirectXがインストールされていません。"},
    {0x45004002, "MCIの初期化に失敗しました。"},
    {0x45004003, "ミキサーデバイスの初期化に失敗しました。"},
    {0x45004004, "サウンドデバイスを発見できませんした。"},
    {0x45004005, "DirectSoundの初期化に失敗しました。"},
    {0x45004006, "DirectMusicの初期化に失敗しました。"},
    {0x45004007, "DirectXのバージョンの更新が必要です。"},
    {0x45008001, "サウンドオブジェクトをこれ以上作成できません。"},
    {0x45008002, "未定義のサウンド種類が指定されました。"},
    {0x45008003, "未定義のグループが指定されました。"},
    {0x45010001, "リソースのロードに失敗しました。"},
    {0x45020001, "ファイル名が指定されていません。"},
    {0x45020002, "リソースバッファがロードされていません。"},
    {0x45FFFFFF, "この機能はいま作成中です。もうちょっと待ってください。"},
};

constexpr std::string_view kUndefinedCode = "定義されていないエラーコードが渡されました。";

}  // namespace

std::string_view ErrorText(int32_t code) {
    for (const Entry& entry : kTexts) {
        if (entry.code == code) return entry.text;
    }
    return kUndefinedCode;
}

void CopyErrorDescription(int32_t code, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) return;
    std::array<char, 256> scratch{};
    const std::string text = Cp932FromUtf8(ErrorText(code));
    const size_t length = std::min(text.size(), scratch.size() - 1);
    std::memcpy(scratch.data(), text.data(), length);
    std::memcpy(buffer, scratch.data(), std::min<size_t>(static_cast<size_t>(size), length + 1));
}

}  // namespace wavo
