// SettingsFile: a project's remembered choices, "Name.tarnwick" beside
// "Name.vbp", read by the command line and read and written by the
// workbench, so that both make the same site.
//
//   ; the documentation of the ledger
//   [generate]
//   output = doc                    paths are relative to the file's folder
//   kinds = classes,modules         the words of the options of that name
//   scopes = public,friend
//   sections = syntax,parameters,returns,uml
//   style = Slate
//   layout = modern                 frames (the default) or modern
//   define = DEBUG=0                repeatable, or a comma list
//
// Keys are named like the long options of `tarnwick generate`: output,
// kinds, members, scopes, sections, style, layout, codepage, output-encoding,
// language, registry, define, jobs. Keys and sections match ignoring letter
// case; values lose the blanks around them and one pair of enclosing quotes.
// Lines starting with ';' or '#' are comments. Other sections are left to
// whoever wrote them. An unknown key, a key given twice or a bad value in
// [generate] is refused with a message naming the file, the line and the value;
// so are an empty kinds (nothing would be documented) and
// a file in UTF-16 (a byte order mark or NUL bytes).
//
// Writing keeps every line it does not own: comments, other sections and
// keys it does not know stay as they were; the values of the keys it sets
// are replaced in place, and keys not yet in the file are added at the end of
// [generate] (a file without that section gets it at its end).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/settings/GenerationRequest.h"
#include "generator/settings/RequestCheck.h"
#include "support/Errors.h"

namespace tarnwick {

class SettingsFile {
public:
    // "dir/Name.tarnwick" for "dir/Name.vbp" (any extension is replaced).
    static std::string pathForProject(const std::string& projectPath);

    // Reads and checks the file. A missing file is an empty SettingsFile at
    // that path when missingIsEmpty, else an error; a symbolic link that
    // leads nowhere (or in a loop) is an error either way. themesFolder
    // (empty: the one beside the program) is where a style must exist;
    // translationFile (empty: the one beside the program) holds a section
    // for each language (when it can be read).
    static Expected<SettingsFile> load(const std::string& path, bool missingIsEmpty,
                                       const std::string& themesFolder = {},
                                       const std::string& translationFile = {});
    // Checks text as the file at path (path names it in messages and
    // anchors its relative paths).
    static Expected<SettingsFile> parse(const std::string& path, std::string_view text,
                                        const std::string& themesFolder = {},
                                        const std::string& translationFile = {});

    const std::string& path() const { return m_path; }
    // Whether [generate] sets key (a long option's name).
    bool has(std::string_view key) const;
    // The value of key as written (the last one for define); nullopt when unset.
    std::optional<std::string> value(std::string_view key) const;
    // The key's path value resolved against the file's folder; empty when unset.
    std::string resolvedPath(std::string_view key) const;
    // Whether output, when set, names the file's folder or one below it
    // (symbolic links followed). A file that came with the project (a pull
    // request, a checkout) must not send the site elsewhere, over another
    // site or into a folder of the user's: the command line refuses such a
    // file unless -o is given. Fails with a message naming the file, the
    // line and the value.
    Status checkOutputInside() const;
    // jobs, when set.
    std::optional<int> jobs() const;

    // Puts every choice the file makes onto request: flags of the listed
    // words, output and registry resolved, the other texts as they are, the
    // defines in front of those the request holds (later ones win).
    void applyTo(GenerationRequest& request) const;

    // The workbench's choices: output (written relative to the file's folder
    // when it lies below it; left out when empty and not in the file yet),
    // kinds, members, scopes, sections, style and layout.
    void storeChoices(const GenerationRequest& request);
    // Sets key to value in [generate], in place or added.
    void set(std::string_view key, const std::string& value);

    // The file's text: its own lines, in its own line ends.
    std::string text() const;
    // Writes text() to path(); fails with a message naming the file.
    Status save() const;

private:
    struct Entry {
        std::string key;  // lower case
        std::string value;
        size_t line;  // index into m_lines
    };

    std::string m_path;
    std::vector<std::string> m_lines;  // without line ends
    std::string m_lineEnd = "\r\n";
    bool m_finalLineEnd = true;
    std::optional<size_t> m_sectionLine;  // the [generate] header
    size_t m_sectionEnd = 0;              // one past the last line of [generate]
    std::vector<Entry> m_entries;         // of [generate], in file order
};

}  // namespace tarnwick
