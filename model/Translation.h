// Translation: the parsed translation file ("Translation.lng": a profile
// file with one section per language, key=value lines).
//
// Read once per run and kept: lookups never touch the disk. A missing or
// unreadable file gives an empty Translation, for which every lookup answers
// its default. Section and key are matched ignoring letter case; a value is
// cut at 254 characters, as the 255-character buffer of the Windows program
// cut it; a key present with an empty value answers the empty text.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "support/CodePage.h"
#include "support/Errors.h"

namespace tarnwick {

class ProfileFile;

class Translation {
public:
    Translation();  // empty: every lookup gives its default
    ~Translation();
    Translation(const Translation&);
    Translation& operator=(const Translation&);
    Translation(Translation&&) noexcept;
    Translation& operator=(Translation&&) noexcept;

    // Reads the file once, decoding it from cp (a file that starts with a
    // UTF-8 byte-order mark is read as UTF-8). Missing or unreadable: empty,
    // and problem (when given) receives the reason naming the file.
    static Translation load(const std::string& path, const CodePage& cp = CodePage(),
                            std::string* problem = nullptr);
    // From text already in memory (UTF-8).
    static Translation fromText(std::string_view utf8Text);

    bool loaded() const;
    // The file it was loaded from; empty for fromText or an empty Translation.
    const std::string& path() const { return m_path; }

    // Value of key in section, cut at 254 characters; defaultText when the
    // section or key is missing (cut the same way).
    std::string lookup(std::string_view section, std::string_view key,
                       std::string_view defaultText) const;

    // Whether language names a section of the file (ignoring letter case);
    // fails naming the file and its sections when it does not. An empty
    // Translation (no file) accepts every name: its lookups give defaults.
    Status checkLanguage(std::string_view language) const;

    // The section that suits the user's locale: the first of the three
    // values given (LC_ALL, LC_MESSAGES, LANG; null or empty: not set)
    // decides; "Deutsch" when it starts with "de", else "English".
    static std::string languageForLocale(const char* lcAll, const char* lcMessages,
                                         const char* lang);

    // programFolder() + "Translation.lng".
    static std::string defaultPath();

    // The most characters a lookup delivers.
    static constexpr size_t kMaxChars = 254;

private:
    std::shared_ptr<const ProfileFile> m_profile;  // null: not loaded
    std::string m_path;
};

}  // namespace tarnwick
