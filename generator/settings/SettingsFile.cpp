#include "generator/settings/SettingsFile.h"

#include <filesystem>

#include "generator/settings/SettingsFields.h"
#include "reader/ConditionalCompilation.h"
#include "support/File.h"
#include "support/PathGuard.h"
#include "support/Text.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

constexpr std::string_view kSection = "generate";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

enum class ValueKind {
    Path,
    Words,
    Style,
    Layout,
    CodePageName,
    PageEncodingName,
    Language,
    Define,
    Jobs
};

struct KeyRule {
    const char* key;
    ValueKind kind;
    FieldList list = FieldList::Kinds;  // of a Words key, whose name is the list's
};

constexpr KeyRule kKeys[] = {
    {"output", ValueKind::Path},
    {listName(FieldList::Kinds), ValueKind::Words, FieldList::Kinds},
    {listName(FieldList::Members), ValueKind::Words, FieldList::Members},
    {listName(FieldList::Scopes), ValueKind::Words, FieldList::Scopes},
    {listName(FieldList::Sections), ValueKind::Words, FieldList::Sections},
    {"style", ValueKind::Style},
    {"layout", ValueKind::Layout},
    {"codepage", ValueKind::CodePageName},
    {"output-encoding", ValueKind::PageEncodingName},
    {"language", ValueKind::Language},
    {"registry", ValueKind::Path},
    {"define", ValueKind::Define},
    {"jobs", ValueKind::Jobs},
};

const KeyRule* findKey(std::string_view key) {
    for (const KeyRule& rule : kKeys)
        if (key == rule.key) return &rule;
    return nullptr;
}

std::string knownKeys() {
    std::string text;
    for (const KeyRule& rule : kKeys) text += std::string(text.empty() ? "" : ", ") + rule.key;
    return text;
}

// Why value is no good for rule; empty when it is.
std::string problemWith(const KeyRule& rule, const std::string& value,
                        const std::string& themesFolder, const std::string& translationFile) {
    switch (rule.kind) {
        case ValueKind::Path:
            return value.empty() ? "it is empty" : "";
        case ValueKind::Language:
            return languageProblem(value, translationFile);
        case ValueKind::Words: {
            GenerationSettings scratch;
            const std::string bad = applyWords(value, rule.list, scratch);
            if (!bad.empty())
                return "unknown word \"" + bad + "\" (known: " + wordList(rule.list) + ")";
            if (splitList(value).empty() && emptyListRefused(rule.list))
                return "it names nothing, so nothing would be documented (known: " +
                       wordList(rule.list) + "; leave the key out for all)";
            return {};
        }
        case ValueKind::Style:
            return styleProblem(value, themesFolder);
        case ValueKind::Layout:
            return layoutOfWord(value) ? "" : "not frames or modern";
        case ValueKind::CodePageName:
            return codePageProblem(value);
        case ValueKind::PageEncodingName:
            return pageEncodingProblem(value);
        case ValueKind::Define: {
            const std::vector<std::string> defines = splitList(value);
            if (defines.empty()) return "it is empty";
            const auto read = readDefines(defines);
            return read ? "" : read.error().message;
        }
        case ValueKind::Jobs:
            return parseJobs(value) ? "" : jobsProblem(0);
    }
    return {};
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string SettingsFile::pathForProject(const std::string& projectPath) {
    return fs::path(projectPath).replace_extension(".tarnwick").string();
}

Expected<SettingsFile> SettingsFile::load(const std::string& path, bool missingIsEmpty,
                                          const std::string& themesFolder,
                                          const std::string& translationFile) {
    const File file(path);
    if (!file.IsPresent()) {
        // A link whose target is gone is a file the user meant, not a missing one.
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(path, ec))) {
            std::error_code why;
            (void)fs::status(path, why);
            return Error{path + ": a symbolic link that leads nowhere" +
                         (why ? " (" + why.message() + ")" : std::string())};
        }
        if (!missingIsEmpty) return Error{path + ": no such file"};
        return parse(path, "", themesFolder, translationFile);
    }
    auto bytes = file.ReadBytes();
    if (!bytes) return bytes.error();
    return parse(path, bytes.value(), themesFolder, translationFile);
}

Expected<SettingsFile> SettingsFile::parse(const std::string& path, std::string_view text,
                                           const std::string& themesFolder,
                                           const std::string& translationFile) {
    SettingsFile file;
    file.m_path = path;
    // Notepad's "Unicode" is UTF-16: read as bytes, no line of it would
    // match a key, and every choice in it would be lost without a word.
    if (startsWith(text, "\xFF\xFE") || startsWith(text, "\xFE\xFF"))
        return Error{path +
                     ": the file is in UTF-16 (it starts with a byte order mark); "
                     "save it as UTF-8"};
    if (text.find('\0') != std::string_view::npos)
        return Error{path +
                     ": the file holds NUL bytes, as a UTF-16 or UTF-32 file does; "
                     "save it as UTF-8"};
    if (startsWith(text, kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    file.m_lineEnd = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    file.m_finalLineEnd = text.empty() || text.back() == '\n';
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);

    bool inSection = false;
    size_t index = 0;
    for (size_t pos = 0; !text.empty() && pos <= text.size(); ++index) {
        const std::string_view raw = nextLine(text, pos, LineEnd::Lf);
        file.m_lines.emplace_back(raw);

        const std::string where = path + ":" + std::to_string(index + 1) + ": ";
        const std::string_view line = trimBlanks(raw);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view name = trimBlanks(
                close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1));
            inSection = equalsIgnoreCase(name, kSection);
            if (inSection) {
                if (file.m_sectionLine) return Error{where + "section [generate] given twice"};
                file.m_sectionLine = index;
                file.m_sectionEnd = index + 1;
            }
            continue;
        }
        if (!inSection) continue;  // other sections are someone else's
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return Error{where + "\"" + std::string(line) + "\" is no key = value line"};
        const std::string key = toLower(trimBlanks(line.substr(0, equals)));
        const std::string value(unquote(trimBlanks(line.substr(equals + 1))));
        const KeyRule* rule = findKey(key);
        if (!rule) {
            return Error{where + "unknown key \"" +
                         std::string(trimBlanks(line.substr(0, equals))) +
                         "\" (known: " + knownKeys() + ")"};
        }
        if (rule->kind != ValueKind::Define && file.has(key))
            return Error{where + "key \"" + key + "\" given twice"};
        if (const std::string problem = problemWith(*rule, value, themesFolder, translationFile);
            !problem.empty())
            return Error{where + "bad value \"" + excerpt(value) + "\" for " + key + ": " +
                         problem};
        file.m_entries.push_back({key, value, index});
        file.m_sectionEnd = index + 1;
    }
    return file;
}

Status SettingsFile::checkOutputInside() const {
    const auto output = value("output");
    if (!output) return ok();
    const fs::path folder = fs::absolute(fs::path(m_path)).parent_path();
    if (resolvesInside(fs::absolute(fs::path(resolvedPath("output"))), folder)) return ok();
    size_t line = 0;
    for (const Entry& entry : m_entries)
        if (entry.key == "output") line = entry.line;
    return Error{m_path + ":" + std::to_string(line + 1) + ": output \"" + *output +
                 "\" leaves the folder of the settings file; a folder elsewhere is written "
                 "only when given on the command line (-o)"};
}

bool SettingsFile::has(std::string_view key) const { return value(key).has_value(); }

std::optional<std::string> SettingsFile::value(std::string_view key) const {
    std::optional<std::string> found;
    for (const Entry& entry : m_entries)
        if (entry.key == key) found = entry.value;
    return found;
}

std::string SettingsFile::resolvedPath(std::string_view key) const {
    const auto text = value(key);
    if (!text) return {};
    const fs::path given(*text);
    if (given.is_absolute()) return *text;
    return (fs::path(m_path).parent_path() / given).lexically_normal().string();
}

std::optional<int> SettingsFile::jobs() const {
    const auto text = value("jobs");
    return text ? parseJobs(*text) : std::nullopt;
}

void SettingsFile::applyTo(GenerationRequest& request) const {
    if (has("output")) request.outputFolder = resolvedPath("output");
    if (has("registry")) request.registryFile = resolvedPath("registry");
    for (const KeyRule& rule : kKeys) {
        const auto text = value(rule.key);
        if (text && rule.kind == ValueKind::Words)
            (void)applyWords(*text, rule.list, request.settings);
    }
    if (const auto style = value("style")) request.style = *style;
    if (const auto layout = value("layout"))
        request.settings.layout = layoutOfWord(*layout).value_or(PageLayout::Frames);
    if (const auto codePage = value("codepage")) request.codePage = *codePage;
    if (const auto encoding = value("output-encoding")) request.outputEncoding = *encoding;
    if (const auto language = value("language")) request.language = *language;
    if (const auto threads = jobs()) request.jobs = *threads;
    std::vector<std::string> defines;
    for (const Entry& entry : m_entries) {
        if (entry.key != "define") continue;
        for (std::string& define : splitList(entry.value)) defines.push_back(std::move(define));
    }
    defines.insert(defines.end(), request.defines.begin(), request.defines.end());
    request.defines = std::move(defines);
}

void SettingsFile::storeChoices(const GenerationRequest& request) {
    if (!request.outputFolder.empty()) {
        const fs::path folder = fs::absolute(fs::path(m_path)).parent_path().lexically_normal();
        const fs::path output =
            fs::absolute(fs::path(withoutTrailingSlashes(request.outputFolder))).lexically_normal();
        // Below the file's folder the site moves with the project (a
        // checkout elsewhere, a CI run); anywhere else it stays where it is.
        set("output", lexicallyInside(output, folder) ? output.lexically_relative(folder).string()
                                                      : output.string());
    }
    const GenerationSettings& s = request.settings;
    for (const KeyRule& rule : kKeys) {
        if (rule.kind != ValueKind::Words) continue;
        const std::string words = wordsOn(rule.list, s);
        // An empty list the file would refuse when read is not written;
        // the file keeps the list it had.
        if (words.empty() && emptyListRefused(rule.list)) continue;
        set(rule.key, words);
    }
    set("style", request.style);
    // A file that never chose a layout keeps the default without saying so.
    if (has("layout") || s.layout != PageLayout::Frames) set("layout", layoutWord(s.layout));
}

void SettingsFile::set(std::string_view key, const std::string& value) {
    std::string written = value;
    // A value that would lose blanks or quotes when read back keeps them in quotes.
    if (std::string_view(value) != trimBlanks(value) || unquote(value).size() != value.size())
        written = "\"" + value + "\"";
    for (Entry& entry : m_entries) {
        if (entry.key != key) continue;
        entry.value = value;
        std::string& line = m_lines[entry.line];
        const size_t equals = line.find('=');
        const bool blank =
            equals + 1 < line.size() && (line[equals + 1] == ' ' || line[equals + 1] == '\t');
        line = line.substr(0, equals + 1) + (blank && !written.empty() ? " " : "") + written;
        return;
    }
    if (!m_sectionLine) {
        if (!m_lines.empty() && !trimBlanks(m_lines.back()).empty()) m_lines.emplace_back();
        m_lines.push_back("[" + std::string(kSection) + "]");
        m_sectionLine = m_lines.size() - 1;
        m_sectionEnd = m_lines.size();
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(m_sectionEnd),
                   std::string(key) + (written.empty() ? " =" : " = " + written));
    m_entries.push_back({std::string(key), value, m_sectionEnd});
    ++m_sectionEnd;
}

std::string SettingsFile::text() const {
    std::string out;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        out += m_lines[i];
        if (i + 1 < m_lines.size() || m_finalLineEnd) out += m_lineEnd;
    }
    return out;
}

Status SettingsFile::save() const { return File(m_path).WriteBytes(text()); }

}  // namespace tarnwick
