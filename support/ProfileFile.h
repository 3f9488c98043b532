// ProfileFile: a parsed profile (INI) file, read the way the Windows profile
// reader reads one.
//
//   [Section]          section header; names match ignoring letter case
//   Key = Value        blanks and tabs around key and value are trimmed;
//                      a value enclosed in a matching pair of ' or " loses them
//   ; comment          lines starting with ';' (after blanks) are skipped
//
// Lines end in CR LF or LF. When a section name occurs twice, only the first
// section of that name is searched; within a section the first occurrence of
// a key wins. Lines before the first header and lines without '=' belong to
// no key and are ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/CodePage.h"
#include "support/Errors.h"

namespace tarnwick {

class ProfileFile {
public:
    // Parses text already decoded to UTF-8.
    static ProfileFile parse(std::string_view utf8Text);
    // Reads and parses a file in the given code page (a UTF-8 byte-order mark
    // makes it UTF-8). Fails with a message naming the file.
    static Expected<ProfileFile> load(const std::string& path, const CodePage& cp = CodePage());

    // The value of key in section, or nullopt when either is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;
    // Section names in file order (duplicates included as written).
    std::vector<std::string> sections() const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    std::vector<Section> m_sections;
    // Upper-cased section name to its first section; upper-cased
    // "SECTION\nKEY" to the value.
    std::unordered_map<std::string, size_t> m_sectionIndex;
    std::unordered_map<std::string, std::string> m_values;
};

}  // namespace tarnwick
