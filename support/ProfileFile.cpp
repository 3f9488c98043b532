#include "support/ProfileFile.h"

#include "support/File.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// text upper-cased onto out; ASCII a byte at a time: every heading of every
// page asks the translation for its text.
void appendUpper(std::string& out, std::string_view text) {
    if (asciiRunEnd(text, 0) != text.size()) {
        out += toUpper(text);
        return;
    }
    for (const char c : text) out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

}  // namespace

ProfileFile ProfileFile::parse(std::string_view text) {
    ProfileFile profile;
    if (startsWith(text, kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    Section* current = nullptr;
    size_t pos = 0;
    while (pos <= text.size()) {
        const std::string_view line = trimBlanks(nextLine(text, pos, LineEnd::Lf));
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            std::string_view name =
                close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
            profile.m_sections.push_back({std::string(trimBlanks(name)), {}});
            current = &profile.m_sections.back();
            continue;
        }
        size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos) continue;
        std::string_view key = trimBlanks(line.substr(0, equals));
        if (key.empty()) continue;
        std::string_view value = unquote(trimBlanks(line.substr(equals + 1)));
        current->entries.push_back({std::string(key), std::string(value)});
    }
    // Looked up by folded names: a translation is asked for every caption
    // of every page. Only the first section of a name and the first key of
    // a name in it count.
    for (size_t s = 0; s < profile.m_sections.size(); ++s) {
        const Section& section = profile.m_sections[s];
        const std::string folded = toUpper(section.name);
        if (!profile.m_sectionIndex.emplace(folded, s).second) continue;
        for (const Entry& entry : section.entries)
            profile.m_values.emplace(folded + '\n' + toUpper(entry.key), entry.value);
    }
    return profile;
}

Expected<ProfileFile> ProfileFile::load(const std::string& path, const CodePage& cp) {
    File file(path);
    if (!file.IsPresent()) return Error{path + ": no such file"};
    auto bytes = file.ReadBytes();
    if (!bytes) return bytes.error();
    std::string_view raw = bytes.value();
    if (startsWith(raw, kUtf8Bom)) return parse(raw.substr(kUtf8Bom.size()));
    return parse(cp.toUtf8(raw));
}

std::optional<std::string> ProfileFile::value(std::string_view section,
                                              std::string_view key) const {
    std::string folded;
    folded.reserve(section.size() + key.size() + 1);
    appendUpper(folded, section);
    folded += '\n';
    appendUpper(folded, key);
    const auto found = m_values.find(folded);
    if (found == m_values.end()) return std::nullopt;
    return found->second;
}

bool ProfileFile::hasSection(std::string_view section) const {
    return m_sectionIndex.count(toUpper(section)) > 0;
}

std::vector<std::string> ProfileFile::sections() const {
    std::vector<std::string> names;
    names.reserve(m_sections.size());
    for (const auto& section : m_sections) names.push_back(section.name);
    return names;
}

}  // namespace tarnwick
