#include "reader/DesignerBlock.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "support/Diagnostics.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// Past this many warnings a block only says that there were more: a file of
// garbage gives a screenful, not a line per byte.
constexpr int kMaxWarnings = 20;

// The designer's keywords and property names are ASCII: compared by length
// first, then letter by letter ignoring case (a block has thousands of lines).
bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The first word of text and the rest after its blanks.
std::pair<std::string_view, std::string_view> splitWord(std::string_view text) {
    size_t end = 0;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
    return {text.substr(0, end), trimBlanks(text.substr(end))};
}

// Bytes below a blank other than a tab: a side file's bytes pasted into the
// block, or a damaged file.
bool hasBinaryBytes(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return true;
    return false;
}

// A value as written without its trailing comment ("1  'Fixed Single"):
// the apostrophe counts only outside a quoted text.
std::string_view valueAsWritten(std::string_view value) {
    bool quoted = false;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '"') quoted = !quoted;
        if (value[i] == '\'' && !quoted) return trimBlanks(value.substr(0, i));
    }
    return trimBlanks(value);
}

// The properties that place a control; the picture relies on them.
bool isCoordinate(std::string_view name) {
    for (std::string_view word : {"Left", "Top", "Width", "Height", "X1", "Y1", "X2", "Y2",
                                  "ClientLeft", "ClientTop", "ClientWidth", "ClientHeight"})
        if (sameWord(name, word)) return true;
    return false;
}

class BlockReader {
public:
    BlockReader(const std::string& path, DiagnosticsSink* diagnostics)
        : m_path(path), m_diagnostics(diagnostics) {}

    void line(std::string_view raw, int32_t fileLine);
    std::shared_ptr<const FormDesign> finish();

private:
    void begin(std::string_view rest, int32_t fileLine);
    void end(int32_t fileLine);
    void property(std::string_view text, int32_t fileLine);
    void checkCoordinate(const DesignProperty& p);
    void warn(int32_t fileLine, const std::string& message);

    const std::string& m_path;
    DiagnosticsSink* m_diagnostics;       // not owned, may be null
    std::vector<DesignControl> m_open;    // the Begin blocks not yet ended, outermost first
    std::optional<DesignControl> m_form;  // the outermost block once it has ended
    int32_t m_groups = 0;                 // BeginProperty groups open
    int32_t m_groupLine = 0;              // where the outermost of them began
    int32_t m_tooDeep = 0;                // Begin blocks open beyond kMaxDesignDepth
    bool m_toldDepth = false;
    bool m_toldAfterEnd = false;
    bool m_classHeader = false;  // the block is a class's header: no design
    int m_warnings = 0;
};

void BlockReader::warn(int32_t fileLine, const std::string& message) {
    if (m_diagnostics == nullptr) return;
    if (++m_warnings < kMaxWarnings) {
        m_diagnostics->warning(m_path, fileLine, message);
    } else if (m_warnings == kMaxWarnings) {
        m_diagnostics->warning(m_path, fileLine,
                               "designer block: further odd lines are skipped without a word");
    }
}

void BlockReader::line(std::string_view raw, int32_t fileLine) {
    const std::string_view text = trimBlanks(raw);
    if (text.empty()) return;
    if (hasBinaryBytes(text))
        return warn(fileLine, "designer block: a line holds bytes that are no text; it is skipped");
    const auto [word, rest] = splitWord(text);
    if (m_groups > 0) {  // inside a font, panel or column group: only its nesting counts
        if (sameWord(word, "BeginProperty")) ++m_groups;
        if (sameWord(word, "EndProperty")) --m_groups;
        return;
    }
    if (m_form) {
        if (!m_toldAfterEnd)
            warn(fileLine,
                 "designer block: lines after the End of " + m_form->name + " are skipped");
        m_toldAfterEnd = true;
        return;
    }
    if (sameWord(word, "BeginProperty")) {
        m_groups = 1;
        m_groupLine = fileLine;
    } else if (sameWord(word, "EndProperty")) {
        warn(fileLine, "designer block: an EndProperty closes no BeginProperty");
    } else if (sameWord(word, "Begin")) {
        begin(rest, fileLine);
    } else if (sameWord(word, "End") && rest.empty()) {
        end(fileLine);
    } else if (!m_open.empty()) {
        property(text, fileLine);
    }
    // Before the first Begin: VERSION and Object lines.
}

void BlockReader::begin(std::string_view rest, int32_t fileLine) {
    if (m_tooDeep > 0 || m_open.size() >= static_cast<size_t>(kMaxDesignDepth)) {
        if (!m_toldDepth)
            warn(fileLine, "designer block: controls nested deeper than " +
                               std::to_string(kMaxDesignDepth) + " levels are left out");
        m_toldDepth = true;
        ++m_tooDeep;
        return;
    }
    const auto [type, afterType] = splitWord(rest);
    const std::string_view name = splitWord(afterType).first;
    // A class's header (BEGIN, MultiUse = -1, END) in a file listed as a form.
    if (m_open.empty() && type.empty()) m_classHeader = true;
    if (name.empty() && !m_classHeader)
        warn(fileLine, "designer block: a Begin line names no control");
    DesignControl control;
    const size_t dot = type.find('.');
    control.library = dot == npos ? std::string() : std::string(type.substr(0, dot));
    control.className = std::string(dot == npos ? type : type.substr(dot + 1));
    if (control.className.empty()) control.className = "?";  // a design is empty only without one
    control.name = std::string(name);
    control.line = fileLine;
    m_open.push_back(std::move(control));
}

void BlockReader::end(int32_t fileLine) {
    if (m_tooDeep > 0) {
        --m_tooDeep;
        return;
    }
    if (m_open.empty()) return warn(fileLine, "designer block: an End closes no Begin");
    DesignControl done = std::move(m_open.back());
    m_open.pop_back();
    if (m_open.empty())
        m_form = std::move(done);
    else
        m_open.back().children.push_back(std::move(done));
}

void BlockReader::property(std::string_view text, int32_t fileLine) {
    if (m_tooDeep > 0) return;
    const size_t eq = text.find('=');
    const std::string_view name = eq == npos ? std::string_view() : trimBlanks(text.substr(0, eq));
    if (name.empty())
        return warn(fileLine, "designer block: a line of " + m_open.back().name +
                                  " is no \"Name = value\"; it is skipped");
    DesignProperty p{std::string(name), std::string(valueAsWritten(text.substr(eq + 1))), fileLine};
    if (p.value.size() > kMaxDesignValue) {
        warn(fileLine, "designer block: the " + p.name + " of " + m_open.back().name + " is " +
                           std::to_string(p.value.size()) + " characters long; only the first " +
                           std::to_string(kMaxDesignValue) + " are kept");
        size_t cut = kMaxDesignValue;
        // Never inside a character: back up over UTF-8 continuation bytes.
        while (cut > 0 && (static_cast<unsigned char>(p.value[cut]) & 0xC0) == 0x80) --cut;
        p.value.resize(cut);
    }
    if (isCoordinate(p.name)) checkCoordinate(p);
    m_open.back().properties.push_back(std::move(p));
}

// A position or size the picture cannot honour: beyond what VB6 stores in a
// Long, or a negative size. The value stays as written.
void BlockReader::checkCoordinate(const DesignProperty& p) {
    const std::string_view value = p.value;
    if (value.empty() || !(value.front() == '-' || (value.front() >= '0' && value.front() <= '9')))
        return;
    double number = 0;
    const auto [ptr, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    const bool size = sameWord(p.name, "Width") || sameWord(p.name, "Height") ||
                      sameWord(p.name, "ClientWidth") || sameWord(p.name, "ClientHeight");
    if (error == std::errc() && number >= -2147483648.0 && number <= 2147483647.0 &&
        !(size && number < 0))
        return;
    warn(p.line, "designer block: the " + p.name + " of " + m_open.back().name + " (" +
                     excerpt(value) + ") is no position or size the form can have");
}

std::shared_ptr<const FormDesign> BlockReader::finish() {
    if (m_groups > 0) warn(m_groupLine, "designer block: a BeginProperty group has no EndProperty");
    if (!m_open.empty()) {
        warn(m_open.back().line,
             "designer block: " + m_open.back().name + " has no End; the block ends before it");
        while (!m_open.empty()) end(0);
    }
    if (!m_form || m_classHeader) return nullptr;
    auto design = std::make_shared<FormDesign>();
    design->form = std::move(*m_form);
    return design;
}

}  // namespace

std::shared_ptr<const FormDesign> readDesignerBlock(const CStringLines& lines, int32_t end,
                                                    const std::string& path,
                                                    DiagnosticsSink* diagnostics) {
    BlockReader reader(path, diagnostics);
    for (int32_t i = 0; i < end && i <= lines.Count(); ++i) reader.line(lines.Line(i), i + 1);
    return reader.finish();
}

}  // namespace tarnwick
