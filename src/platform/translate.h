// The player's own texts (menus, dialogs, boxes, terminal lines) in the
// reader's language. The program carries its texts as they are written in
// its sources; a compiled catalogue (po/*.po, built by msgfmt into
// share/locale/LANG/LC_MESSAGES/zelk.mo) gives them in another language.
// The language is read from the environment variables themselves, not from
// the C library's locale, so a reader whose locale was never generated on
// the machine still gets it; the reader's setting may override it.
#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/message_catalogue.h"

namespace zelk {

enum class UiLanguage {
    // The texts as the program carries them: the menus and dialogs in
    // Japanese, the terminal lines in English (the C and POSIX locales).
    kBuiltIn,
    kJapanese,
    kEnglish,
};

// The language one locale name asks for ("ja_JP.UTF-8", "en_GB", "de",
// "C.UTF-8"): Japanese for "ja...", the built-in texts for "C" and "POSIX",
// English for any other.
UiLanguage LanguageOfLocale(std::string_view name);

// The language the environment asks for. The first of LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG that is set and not empty decides. LANGUAGE is a
// list of preferences ("fr:ja:en"): its first entry the player has a
// catalogue for wins, else its first entry as a locale name. None set: the
// built-in texts.
using EnvironmentLookup = std::function<const char*(const char*)>;
UiLanguage LanguageFromEnvironment(const EnvironmentLookup& lookup);

// The reader's setting: "ja" and "en" choose; anything else ("auto", "")
// leaves the choice to the environment.
std::optional<UiLanguage> LanguageOfSetting(std::string_view setting);

// The catalogue's name ("ja", "en"); "" for the built-in texts.
const char* CatalogueName(UiLanguage language);

// Where the catalogues are: $ZELK_LOCALEDIR when set, else share/locale
// beside the program's own folder (the installed tree and the build tree
// have the same shape).
std::string CatalogueFolder();

class Translator {
public:
    // The one translator of the process (the user-interface thread's).
    static Translator& Instance();

    // Shows the texts in `language` from now on, its catalogue read from
    // `folder` the first time. A catalogue that is missing or cannot be read
    // leaves the built-in texts, said once on standard error. Returns false
    // then.
    bool Use(UiLanguage language, const std::string& folder);
    UiLanguage Language() const { return mLanguage; }

    // The text in the language shown; `original` itself when the catalogue
    // has no translation. The pointer stays valid for the process's life.
    const char* Text(const char* original) const;

private:
    UiLanguage mLanguage = UiLanguage::kBuiltIn;
    // Every catalogue read stays, by its file's name, so texts handed out
    // stay valid when the reader changes the language. One that could not
    // be read stays as null: asked again, it is neither read nor told again.
    std::map<std::string, std::unique_ptr<MessageCatalogue>> mLoaded;
    const MessageCatalogue* mShown = nullptr;
};

// Chooses the language from the reader's setting, else from the process's
// environment, and shows it.
void UseLanguageSetting(std::string_view setting = {});

// Marks a text that is translated where it is shown (a table's entry), so
// that the catalogue's maintainers find it; gives it back unchanged.
constexpr const char* TrMark(const char* original) {
    return original;
}

// The text in the language shown (the translator's Text).
const char* Tr(const char* original);
// The translation of `original` with each "%s" replaced by the next value,
// in order. A translation whose "%s" count differs from the original's is
// not used: a damaged catalogue cannot drop or invent a value.
std::string TrFormat(const char* original, std::initializer_list<std::string_view> values);

}  // namespace zelk
