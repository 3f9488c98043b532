#include "reader/CommentIncludes.h"

#include "reader/CParserDetail.h"
#include "support/PathGuard.h"
#include "support/Text.h"

namespace tarnwick {

using namespace parserdetail;
namespace fs = std::filesystem;

namespace {

// Where "@include" starts in text as a tag (at the start or after a blank,
// followed by a blank or the end), or npos.
size_t includeTag(std::string_view text) {
    constexpr std::string_view kTag = "@include";
    for (size_t at = findNoCase(text, kTag); at != npos; at = findNoCase(text, kTag, at + 1)) {
        const size_t end = at + kTag.size();
        if ((at == 0 || isBlankOrTab(text[at - 1])) &&
            (end == text.size() || isBlankOrTab(text[end])))
            return at;
    }
    return npos;
}

}  // namespace

CommentIncludes::CommentIncludes(std::string modulePath, fs::path projectFolder, ReadText read,
                                 DiagnosticsSink* diagnostics)
    : m_modulePath(std::move(modulePath)),
      m_root(std::move(projectFolder)),
      m_read(std::move(read)),
      m_diagnostics(diagnostics) {}

std::optional<CommentIncludes::Expansion> CommentIncludes::expand(std::string_view cleaned,
                                                                  int fileLine) {
    const size_t at = includeTag(cleaned);
    if (at == npos) return std::nullopt;
    Expansion out;
    out.before = std::string(trimSpaces(cleaned.substr(0, at)));
    std::string_view rest = ltrimSpaces(cleaned.substr(at + 8));
    std::string name;
    size_t end = 0;
    if (!rest.empty() && rest[0] == '"') {
        end = rest.find('"', 1);
        name = std::string(rest.substr(1, end == npos ? npos : end - 1));
        end = end == npos ? rest.size() : end + 1;
    } else {
        while (end < rest.size() && !isBlankOrTab(rest[end])) ++end;
        name = std::string(rest.substr(0, end));
    }
    out.after = std::string(trimSpaces(rest.substr(end)));
    Expected<std::string> text = textOf(name);
    if (text) {
        for (const std::string_view line : splitLines(text.value())) out.lines.emplace_back(line);
        while (!out.lines.empty() && trimSpaces(out.lines.back()).empty()) out.lines.pop_back();
    } else if (m_diagnostics && m_warned.insert(name).second) {
        m_diagnostics->warning(m_modulePath, fileLine,
                               "@include \"" + name + "\" is left out: " + text.error().message);
    }
    return out;
}

Expected<std::string> CommentIncludes::textOf(const std::string& name) const {
    if (name.empty()) return Error{"it names no file"};
    // Written on Windows: a backslash separates folders.
    const fs::path path = fs::path(m_modulePath).parent_path() / replaceAll(name, "\\", "/");
    std::error_code ec;
    if (m_root.empty() || !resolvesInside(fs::absolute(path, ec), fs::absolute(m_root, ec)))
        return Error{"the file is outside the project's folder"};
    if (!fs::is_regular_file(path, ec)) return Error{"no such file"};
    Expected<std::string> text = m_read(path.string(), kIncludeLimit);
    if (!text) return Error{"the file cannot be read or is larger than 64 KiB"};
    return text;
}

}  // namespace tarnwick
