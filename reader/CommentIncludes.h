// CommentIncludes: the files an author's comment pulls in with
// '@include "file"' (or '@include file').
//
// The file is named relative to the module file and read as the module's
// files are (its code page, a UTF-16 byte-order mark honoured); its lines
// then stand where the tag stood, as if they were comment lines there, so
// they go through the same description rules and, on the page, through the
// sanitizer. A file is taken only when it resolves (symbolic links
// followed) inside the project's folder tree and holds at most
// kIncludeLimit bytes; otherwise the tag is dropped and a warning names
// the module file, the line and the file, once per file and module.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "support/Diagnostics.h"
#include "support/Errors.h"

namespace tarnwick {

class CommentIncludes {
public:
    static constexpr int64_t kIncludeLimit = 64 * 1024;
    // Reads a file's decoded text, refusing one above limit bytes.
    using ReadText = std::function<Expected<std::string>(const std::string& path, int64_t limit)>;

    // modulePath names the module file (for the folder and for messages);
    // projectFolder is the tree no included file may leave. diagnostics may
    // be null; read and diagnostics must outlive this object.
    CommentIncludes(std::string modulePath, std::filesystem::path projectFolder, ReadText read,
                    DiagnosticsSink* diagnostics);

    // A comment line's text (cleaned) split at its include tag: the text
    // before the tag, the file's lines (none when it cannot be taken), the
    // text after the name. Nothing when the line has no include tag.
    struct Expansion {
        std::string before;
        std::vector<std::string> lines;
        std::string after;
    };
    std::optional<Expansion> expand(std::string_view cleaned, int fileLine);

private:
    // The file's text, or why it is not taken.
    Expected<std::string> textOf(const std::string& name) const;

    std::string m_modulePath;
    std::filesystem::path m_root;
    ReadText m_read;
    DiagnosticsSink* m_diagnostics;
    std::set<std::string> m_warned;  // names already reported for this module
};

}  // namespace tarnwick
