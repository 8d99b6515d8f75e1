// Reading and writing settings texts: plain (code page 932) or scrambled
// (UTF-16LE, rotated and keyed), and the loading of the game's system INI
// files by name. Every function reports failure by its result, never by an
// exception; every writer replaces its file atomically.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/file_io.h"
#include "common/text_encoding.h"
#include "settings/ini_file.h"

namespace zelk {

// Plain text in the system code page. Reading fails for a missing file; the
// text ends at a NUL byte, as a system file's does; a byte that is not CP932
// reads as U+FFFD, and a bare LF line end reads as CR LF. Writing turns a
// character CP932 lacks into "?". `force` is accepted for callers that name
// files a directory search would not show; here every readable file is read.
// A file over `limit` bytes is not read (see ReadFileBytes).
bool ReadTextFile(const std::string& path, std::string& text, bool force = false,
                  std::size_t limit = kAnyFileSize);
bool WriteTextFile(const std::string& path, const std::string& text);
// The same in a game's encoding (a UTF-8 game's files may begin with a
// byte-order mark, which is skipped; none is written).
bool ReadTextFile(const std::string& path, std::string& text, TextEncoding encoding,
                  std::size_t limit = kAnyFileSize);
bool WriteTextFile(const std::string& path, const std::string& text, TextEncoding encoding);

// The scrambled form of the user's files. Reading fails for bytes that do
// not decode to well-formed UTF-16 text without NUL. An empty file is an
// empty text; an empty text is written as an empty file.
bool ReadScrambledFile(const std::string& path, std::string& text, bool force = false,
                       std::size_t limit = kAnyFileSize);
bool WriteScrambledFile(const std::string& path, const std::string& text);

// The pure transforms under the two functions above.
std::string ScrambleText(const std::string& text);
std::optional<std::string> UnscrambleText(const std::string& bytes);

// The user's files (configuration, shared data, save slots): scrambled while
// the debug switch INIEncript is on, else plain in the INIFile's Encoding; a
// UTF-8 game's plain file that is not UTF-8 was written before the game
// became UTF-8 and is read as CP932, so that its saves still load. Reading sets the file's Text
// (empty when nothing was read) and Path; a plain file with a NUL byte is damaged and not read.
// Writing with an empty path uses Path. Only a regular file of at most `limit` bytes is read. A
// failed write leaves errno telling why.
bool ReadIniFile(INIFile& ini, const std::string& path, std::size_t limit = kAnyFileSize);
bool WriteIniFile(INIFile& ini, const std::string& path = std::string());

// Moves an existing file that could not be read to path + ".broken" (one
// earlier such copy is replaced), so that recreating it loses nothing a
// person could still rescue. False when there was nothing to move or the move
// failed.
bool KeepUnreadableFile(const std::string& path);

// Where system INI files come from when the ini folder lacks them: given the
// file's key (its name without extension), the file's bytes, or nothing. The
// archive driver installs it once the archives are open; an empty function
// means there is no fallback.
using SystemIniSource = std::function<std::optional<std::string>(const std::string& key)>;
void SetSystemIniFallback(SystemIniSource source);

// IniDir/<name>.ini (any case), else the fallback; never scrambled. Nothing
// when neither has the file or it cannot be read; any text it holds is a
// settings file, an empty one too. A NUL byte ends the text. The returned
// file's Path is not set; its Encoding is the game's. "SystemInfo" says the
// game's encoding itself ([Game] Encoding), whatever `encoding` is given.
// Nothing, with `error` saying so (file:line), when that declaration is
// unknown or the file's bytes are in the other encoding: read anyway, the
// file would reach the screen and the reader's folder names as mojibake. A
// UTF-8 file with a stray bad byte is read (the byte as U+FFFD) and `error`
// tells of it all the same.
// The encoding of the game whose SystemInfo this is (CP932 for none).
inline TextEncoding EncodingOf(const INIFile* systemInfo) {
    return systemInfo != nullptr ? systemInfo->Encoding() : TextEncoding();
}

std::unique_ptr<INIFile> LoadSystemIni(const std::string& name,
                                       TextEncoding encoding = TextEncoding(),
                                       std::string* error = nullptr);

}  // namespace zelk
