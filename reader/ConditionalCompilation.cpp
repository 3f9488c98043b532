// Conditional compilation of a module's lines: the constants, the readers of
// CondComp, --define and #Const values, and the walk over the lines that
// keeps those of the active branches. Expressions are evaluated in
// CondExpression.cpp.
#include "reader/ConditionalCompilation.h"

#include <cstdlib>

#include "reader/CParserDetail.h"
#include "support/Text.h"

namespace tarnwick {

using namespace parserdetail;

namespace {

// The code of a directive line after '#': a trailing comment removed, trimmed.
std::string_view directiveCode(std::string_view line, size_t hash) {
    std::string_view rest = line.substr(hash + 1);
    size_t comment = findOutsideStrings(rest, '\'');
    if (comment != npos) rest = rest.substr(0, comment);
    while (!rest.empty() && (isBlankOrTab(rest.back()) || rest.back() == '\r'))
        rest.remove_suffix(1);
    while (!rest.empty() && isBlankOrTab(rest.front())) rest.remove_prefix(1);
    return rest;
}

// The position of '#' when the line is a directive, else npos.
size_t directiveHash(std::string_view line) {
    size_t p = 0;
    while (p < line.size() && isBlankOrTab(line[p])) ++p;
    return p < line.size() && line[p] == '#' ? p : npos;
}

// The directive's keyword ("if", "elseif", "else", "endif", "const") and what
// follows it; an unknown keyword gives an empty keyword.
std::pair<std::string, std::string_view> splitDirective(std::string_view code) {
    size_t end = 0;
    while (end < code.size() && isIdentifierChar(code[end])) ++end;
    std::string word = toLower(std::string(code.substr(0, end)));
    std::string_view rest = code.substr(end);
    while (!rest.empty() && isBlankOrTab(rest.front())) rest.remove_prefix(1);
    if (word == "end") {
        size_t w = 0;
        while (w < rest.size() && isIdentifierChar(rest[w])) ++w;
        if (w == 2 && startsNoCase(rest, "if")) return {"endif", rest.substr(2)};
        return {"", rest};
    }
    for (const char* known : {"if", "elseif", "else", "endif", "const"})
        if (word == known) return {word, rest};
    return {"", code};
}

// The condition of "#If cond Then": cond, with a note when "Then" is missing.
std::string_view conditionOf(std::string_view rest, bool& thenMissing) {
    while (!rest.empty() && isBlankOrTab(rest.back())) rest.remove_suffix(1);
    thenMissing = true;
    if (rest.size() >= 4 && startsNoCase(rest.substr(rest.size() - 4), "Then") &&
        (rest.size() == 4 || !isIdentifierChar(rest[rest.size() - 5]))) {
        rest.remove_suffix(4);
        thenMissing = false;
    }
    return rest;
}

// A constant's name without its type character, lower-cased: the key of every lookup.
std::string constantKey(std::string_view name) {
    while (!name.empty() && std::string_view("%&!#@$").find(name.back()) != npos)
        name.remove_suffix(1);
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

// "NAME = expr" into constants; false with a message when it is not that.
// tooLong (may be null) tells whether the value was a text over kMaxCondText.
bool readAssignment(std::string_view text, CondConstants& constants, std::string& error,
                    std::string* tooLong = nullptr) {
    std::string_view t = trimSpaces(text);
    size_t end = 0;
    while (end < t.size() && isIdentifierChar(t[end])) ++end;
    std::string_view name = t.substr(0, end);
    std::string_view rest = ltrimSpaces(t.substr(end));
    if (name.empty() || !isNameStart(name[0]) || rest.empty() || rest[0] != '=') {
        error = "expected NAME = value, found \"" + excerpt(t) + "\"";
        return false;
    }
    bool textTooLong = false;
    std::optional<CondValue> value =
        evaluateCondition(rest.substr(1), constants, error, &textTooLong);
    if (!value) {
        if (tooLong && textTooLong) *tooLong = name;
        return false;
    }
    constants.set(name, std::move(*value));
    return true;
}

}  // namespace

CondConstants CondConstants::compilerDefaults() {
    CondConstants constants;
    constants.set("Win32", CondValue::ofNumber(CondValue::kTrue));
    constants.set("Win16", CondValue::ofNumber(0));
    constants.set("Mac", CondValue::ofNumber(0));
    return constants;
}

CondConstants CondConstants::over(const CondConstants& base) {
    CondConstants constants;
    constants.m_base = &base;
    return constants;
}

void CondConstants::set(std::string_view name, CondValue value) {
    std::string key = constantKey(name);
    m_unusable.erase(key);
    const auto [it, added] = m_index.try_emplace(std::move(key), m_entries.size());
    if (!added) {
        m_entries[it->second].second = std::move(value);
        return;
    }
    m_entries.emplace_back(std::string(name), std::move(value));
}

const CondValue* CondConstants::find(std::string_view name) const {
    const std::string key = constantKey(name);
    for (const CondConstants* c = this; c; c = c->m_base) {
        if (c->m_unusable.count(key)) return nullptr;
        if (const auto it = c->m_index.find(key); it != c->m_index.end())
            return &c->m_entries[it->second].second;
    }
    return nullptr;
}

void CondConstants::setUnusable(std::string_view name) {
    std::string key = constantKey(name);
    if (const auto it = m_index.find(key); it != m_index.end())
        m_entries[it->second].second = CondValue{};
    m_unusable.insert(std::move(key));
}

bool CondConstants::unusable(std::string_view name) const {
    const std::string key = constantKey(name);
    for (const CondConstants* c = this; c; c = c->m_base) {
        if (c->m_unusable.count(key)) return true;
        if (c->m_index.count(key)) return false;
    }
    return false;
}

void readCondComp(std::string_view value, CondConstants& constants, DiagnosticsSink* diagnostics,
                  const std::string& file, int line) {
    std::string_view t = trimSpaces(value);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
    for (size_t from = 0; from <= t.size();) {
        size_t colon = findOutsideStrings(t, ':', from);
        std::string_view piece = t.substr(from, colon == npos ? npos : colon - from);
        std::string error;
        if (!trimSpaces(piece).empty() && !readAssignment(piece, constants, error) && diagnostics)
            diagnostics->warning(file, line, "CondComp: " + error + "; left out");
        if (colon == npos) break;
        from = colon + 1;
    }
}

bool readDefine(std::string_view text, CondConstants& constants, std::string& error) {
    return readAssignment(text, constants, error);
}

Expected<CondConstants> readDefines(const std::vector<std::string>& defines) {
    CondConstants constants;
    for (const std::string& define : defines) {
        std::string error;
        if (!readDefine(define, constants, error))
            return Error{"bad --define \"" + excerpt(define) + "\": " + error};
    }
    return constants;
}

bool hasDirectives(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        const std::string_view line = nextLine(text, pos);
        size_t p = 0;
        while (p < line.size() && isBlankOrTab(line[p])) ++p;
        if (p < line.size() && line[p] == '#') return true;
    }
    return false;
}

namespace {

// A condition's value as a truth: a number, or a text that reads as one;
// nullopt, with error set, for any other text.
std::optional<double> truthOf(const CondValue& value, std::string& error) {
    if (value.kind != CondValue::Kind::Text) return value.number;
    char* end = nullptr;
    double n = std::strtod(value.text.c_str(), &end);
    if (!value.text.empty() && *end == '\0') return n;
    error = "type mismatch: \"" + value.text + "\" is not a number";
    return std::nullopt;
}

// Walks a module's lines in order, keeping those of the active branches and
// following the module's #Const lines.
class LineWalker {
public:
    // projectConstants, diagnostics (may be null) and file must outlive the walker.
    LineWalker(const CondConstants& projectConstants, DiagnosticsSink* diagnostics,
               const std::string& file, size_t textSize)
        : m_constants(CondConstants::over(projectConstants)),
          m_diagnostics(diagnostics),
          m_file(file) {
        m_out.text.reserve(textSize);
    }

    // Line index of the input, from line fileLine of the file.
    void line(std::string_view line, int32_t index, int fileLine) {
        const size_t hash = directiveHash(line);
        if (hash == npos) {
            if (active()) {
                m_out.text += line;
                m_out.text += "\r\n";
                m_out.kept.push_back(index);
            }
            return;
        }
        auto [keyword, rest] = splitDirective(directiveCode(line, hash));
        if (keyword == "if") {
            openIf(rest, fileLine);
        } else if (keyword == "elseif" || keyword == "else") {
            nextBranch(keyword == "else", rest, fileLine);
        } else if (keyword == "endif") {
            if (m_blocks.empty())
                warn(fileLine, "#End If without #If; ignored");
            else
                m_blocks.pop_back();
        } else if (keyword == "const") {
            if (active()) defineConstant(rest, fileLine);
        } else {
            warn(fileLine, "unknown directive \"" + std::string(trimSpaces(line)) +
                               "\"; the line is left out");
        }
    }

    // The kept lines, after a warning for each block still open.
    CompiledLines finish() {
        for (const Block& block : m_blocks)
            warn(block.line, "#If without #End If; the block runs to the end of the module");
        return std::move(m_out);
    }

private:
    // One open #If block. keepAll: a condition could not be evaluated, so
    // this branch and every later one are kept.
    struct Block {
        bool outerActive = true;
        bool taken = false;
        bool active = false;
        bool keepAll = false;
        bool elseSeen = false;
        int line = 0;
    };

    bool active() const { return m_blocks.empty() || m_blocks.back().active; }

    void warn(int line, const std::string& message) const {
        if (m_diagnostics) m_diagnostics->warning(m_file, line, message);
    }

    void openIf(std::string_view rest, int line) {
        Block block;
        block.outerActive = active();
        block.line = line;
        if (block.outerActive) decide(block, rest, "#If", line);
        m_blocks.push_back(block);
    }

    // "#ElseIf rest" or (isElse) "#Else".
    void nextBranch(bool isElse, std::string_view rest, int line) {
        const char* name = isElse ? "#Else" : "#ElseIf";
        if (m_blocks.empty()) {
            warn(line, std::string(name) + " without #If; ignored");
            return;
        }
        Block& block = m_blocks.back();
        if (block.elseSeen) {
            warn(line, std::string(name) + " after #Else (#If on line " +
                           std::to_string(block.line) + "); its code is kept");
            block.keepAll = true;
        }
        if (block.keepAll) {
            block.active = block.outerActive;
        } else if (!block.outerActive || block.taken) {
            block.active = false;
        } else if (isElse) {
            block.active = block.taken = true;
        } else {
            decide(block, rest, "#ElseIf", line);
        }
        if (isElse) block.elseSeen = true;
    }

    // Decides the branch that "#If rest" or "#ElseIf rest" opens.
    void decide(Block& block, std::string_view rest, const char* keyword, int line) {
        bool thenMissing = false;
        std::string_view condition = conditionOf(rest, thenMissing);
        if (thenMissing) warn(line, std::string(keyword) + " without Then");
        std::string error;
        std::optional<double> truth;
        if (std::optional<CondValue> value = evaluateCondition(condition, m_constants, error))
            truth = truthOf(*value, error);
        if (!truth) {
            warn(line, std::string("cannot evaluate ") + keyword + " \"" +
                           excerpt(trimSpaces(condition)) + "\": " + error + "; its code is kept");
            block.keepAll = true;
            block.active = true;
            return;
        }
        block.active = *truth != 0;
        block.taken = block.active;
    }

    // "#Const rest" on an active line.
    void defineConstant(std::string_view rest, int line) {
        std::string error;
        std::string tooLong;  // the constant whose value was too long
        if (readAssignment(rest, m_constants, error, &tooLong)) return;
        if (tooLong.empty()) {
            warn(line, "#Const: " + error + "; ignored");
            return;
        }
        // As for a condition that cannot be evaluated: every block that asks
        // for the constant keeps its code.
        m_constants.setUnusable(tooLong);
        if (m_diagnostics)
            m_diagnostics->error(
                m_file, line,
                "#Const " + tooLong + ": " + error + "; code that depends on it is kept");
    }

    CondConstants m_constants;       // the module's, over the project's
    DiagnosticsSink* m_diagnostics;  // not owned, may be null
    const std::string& m_file;       // for messages
    std::vector<Block> m_blocks;     // the open #If blocks, innermost last
    CompiledLines m_out;
};

}  // namespace

CompiledLines compileModuleLines(std::string_view text, const CondConstants& projectConstants,
                                 DiagnosticsSink* diagnostics, const std::string& file,
                                 const std::vector<int32_t>& fileLines) {
    LineWalker walker(projectConstants, diagnostics, file, text.size());
    int32_t index = 0;
    for (size_t pos = 0; pos < text.size(); ++index) {
        const std::string_view line = nextLine(text, pos);
        const int fileLine =
            static_cast<size_t>(index) < fileLines.size() ? fileLines[index] : index + 1;
        walker.line(line, index, fileLine);
    }
    return walker.finish();
}

}  // namespace tarnwick
