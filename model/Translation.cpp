#include "model/Translation.h"

#include "support/ProfileFile.h"
#include "support/ProgramFolder.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// The first maxChars characters (not bytes) of a UTF-8 text.
std::string cutChars(std::string_view text, size_t maxChars) {
    // A character is at least a byte: a text of no more bytes is whole.
    if (text.size() <= maxChars) return std::string(text);
    size_t pos = 0;
    size_t chars = 0;
    while (pos < text.size() && chars < maxChars) {
        size_t length = 1;
        decodeUtf8(text, pos, length);
        pos += length;
        ++chars;
    }
    return std::string(text.substr(0, pos));
}

}  // namespace

Translation::Translation() = default;
Translation::~Translation() = default;
Translation::Translation(const Translation&) = default;
Translation& Translation::operator=(const Translation&) = default;
Translation::Translation(Translation&&) noexcept = default;
Translation& Translation::operator=(Translation&&) noexcept = default;

Translation Translation::load(const std::string& path, const CodePage& cp, std::string* problem) {
    Translation translation;
    auto profile = ProfileFile::load(path, cp);
    if (!profile) {
        if (problem) *problem = profile.error().message;
        return translation;
    }
    translation.m_profile = std::make_shared<const ProfileFile>(std::move(profile).value());
    translation.m_path = path;
    return translation;
}

Translation Translation::fromText(std::string_view utf8Text) {
    Translation translation;
    translation.m_profile = std::make_shared<const ProfileFile>(ProfileFile::parse(utf8Text));
    return translation;
}

bool Translation::loaded() const { return m_profile != nullptr; }

std::string Translation::lookup(std::string_view section, std::string_view key,
                                std::string_view defaultText) const {
    if (m_profile) {
        if (auto value = m_profile->value(section, key)) return cutChars(*value, kMaxChars);
    }
    return cutChars(defaultText, kMaxChars);
}

Status Translation::checkLanguage(std::string_view language) const {
    if (!m_profile || m_profile->hasSection(language)) return ok();
    std::string known;
    for (const std::string& section : m_profile->sections())
        known += (known.empty() ? "" : ", ") + section;
    return Error{"unknown language \"" + excerpt(language) + "\" (known: " + known +
                 ", the sections of " + (m_path.empty() ? "the translation" : m_path) + ")"};
}

std::string Translation::defaultPath() { return programFolder() + "Translation.lng"; }

std::string Translation::languageForLocale(const char* lcAll, const char* lcMessages,
                                           const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (!value || !*value) continue;
        const std::string_view locale(value);
        return locale.starts_with("de") ? "Deutsch" : "English";
    }
    return "English";
}

}  // namespace tarnwick
