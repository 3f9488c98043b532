#include <algorithm>
#include <initializer_list>

#include "reader/CParserDetail.h"
#include "support/Text.h"

namespace tarnwick::parserdetail {

namespace {

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = asciiLower(c);
    return out;
}

}  // namespace

size_t findNoCase(std::string_view text, std::string_view needle, size_t from) {
    if (needle.empty()) return from <= text.size() ? from : npos;
    if (text.size() < needle.size()) return npos;
    const char first = asciiLower(needle[0]);
    const size_t lastStart = text.size() - needle.size();
    for (size_t i = from; i <= lastStart; ++i) {
        if (asciiLower(text[i]) != first) continue;
        size_t k = 1;
        while (k < needle.size() && asciiLower(text[i + k]) == asciiLower(needle[k])) ++k;
        if (k == needle.size()) return i;
    }
    return npos;
}

bool startsNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (asciiLower(text[i]) != asciiLower(prefix[i])) return false;
    return true;
}

bool isIdentifierChar(char c) {
    auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           u >= 0x80;
}

bool isContinued(std::string_view line) { return endsWith(rtrimSpaces(line), " _"); }

std::string_view withoutContinuation(std::string_view line) {
    std::string_view t = rtrimSpaces(line);
    if (endsWith(t, " _")) t.remove_suffix(1);
    return t;
}

int32_t statementEnd(const CStringLines& lines, int32_t start) {
    const int32_t last = lines.Count();
    int32_t i = start;
    while (i < last && isContinued(lines.Line(i))) ++i;
    return i;
}

std::string joinLines(const CStringLines& lines, int32_t start, int32_t end) {
    std::string out;
    for (int32_t i = start; i <= end; ++i) {
        if (i > start) out += ' ';
        out += withoutContinuation(lines.Line(i));
    }
    return out;
}

std::string sourceLines(const CStringLines& lines, int32_t start, int32_t end) {
    std::string out;
    size_t total = 0;
    for (int32_t i = start; i <= end; ++i) total += lines.Line(i).size() + 2;
    out.reserve(total);
    for (int32_t i = start; i <= end; ++i) {
        out += lines.Line(i);
        out += "\r\n";
    }
    return out;
}

size_t findOutsideStrings(std::string_view text, char c, size_t from) {
    bool inString = false;
    for (size_t i = from; i < text.size(); ++i) {
        char ch = text[i];
        if (ch == '"') {
            inString = !inString;
            if (c == '"') return i;
        } else if (!inString && ch == c) {
            return i;
        }
    }
    return npos;
}

namespace {

// Calls step(i, depth) for each byte of text from start that stands
// outside a string literal, with the bracket depth after it; stops when
// step says so and gives that position.
template <typename Step>
size_t walkOutsideStrings(std::string_view text, size_t start, Step&& step) {
    int depth = 0;
    bool inString = false;
    for (size_t i = start; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '"') {
            inString = !inString;
            continue;
        }
        if (inString) continue;
        if (ch == '(') ++depth;
        if (ch == ')' && depth > 0) --depth;
        if (step(i, ch, depth)) return i;
    }
    return npos;
}

}  // namespace

size_t matchingParen(std::string_view text, size_t open) {
    if (open >= text.size()) return npos;
    return walkOutsideStrings(text, open,
                              [](size_t, char ch, int depth) { return ch == ')' && depth == 0; });
}

std::vector<std::string_view> splitArguments(std::string_view list) {
    std::vector<std::string_view> pieces;
    size_t begin = 0;
    walkOutsideStrings(list, 0, [&](size_t i, char ch, int depth) {
        if (ch == ',' && depth == 0) {
            pieces.push_back(list.substr(begin, i - begin));
            begin = i + 1;
        }
        return false;
    });
    pieces.push_back(list.substr(begin));
    return pieces;
}

namespace {

// Whether a statement of line is "End" followed by one of kinds; one pass
// over the line whatever the number of kinds.
bool endsAnyOf(std::string_view line, std::initializer_list<std::string_view> kinds) {
    size_t p = 0;
    const size_t n = line.size();
    // Line numbers ("100 End Sub") come from tools that number every line.
    while (p < n && isBlankOrTab(line[p])) ++p;
    size_t digits = p;
    while (digits < n && line[digits] >= '0' && line[digits] <= '9') ++digits;
    if (digits > p && digits < n && isBlankOrTab(line[digits])) p = digits;
    while (true) {
        while (p < n && isBlankOrTab(line[p])) ++p;
        if (p >= n || line[p] == '\'') return false;
        std::string_view rest = line.substr(p);
        if (startsNoCase(rest, "Rem") && (rest.size() == 3 || isBlankOrTab(rest[3]))) return false;
        if (startsNoCase(rest, "End") && rest.size() > 3 && isBlankOrTab(rest[3])) {
            size_t q = 3;
            while (q < rest.size() && isBlankOrTab(rest[q])) ++q;
            for (std::string_view kind : kinds) {
                if (!startsNoCase(rest.substr(q), kind)) continue;
                size_t r = q + kind.size();
                if (r == rest.size()) return true;
                char after = rest[r];
                if (isBlankOrTab(after) || after == ':' || after == '\'' || after == '\r' ||
                    after == '\n')
                    return true;
            }
        }
        // On to the next statement of the line, unless a comment comes first;
        // most lines hold one statement.
        if (line.find(':', p) == std::string_view::npos) return false;
        bool inString = false;
        for (; p < n; ++p) {
            char ch = line[p];
            if (ch == '"') {
                inString = !inString;
            } else if (!inString) {
                if (ch == '\'') return false;
                if (ch == ':') break;
            }
        }
        if (p >= n) return false;
        ++p;
    }
}

}  // namespace

bool isEndStatement(std::string_view line, std::string_view kind) {
    return endsAnyOf(line, {kind});
}

int32_t findBlockEnd(const CStringLines& lines, int32_t from, std::string_view kind) {
    const int32_t last = lines.Count();
    for (int32_t i = from; i <= last; ++i)
        if (isEndStatement(lines.Line(i), kind)) return i;
    return -1;
}

bool isProcedureEnd(std::string_view line) {
    return endsAnyOf(line, {"Sub", "Function", "Property"});
}

namespace {

// rest past a leading Global, Public, Friend or Private, and Static where
// allowed: the words that may come before a statement's keyword.
std::string_view afterLeadingWords(std::string_view rest, bool allowStatic) {
    for (std::string_view word : {"Global ", "Public ", "Friend ", "Private "}) {
        if (startsNoCase(rest, word)) {
            rest = rest.substr(word.size());
            break;
        }
    }
    if (allowStatic && startsNoCase(rest, "Static ")) rest = rest.substr(7);
    return rest;
}

bool startsWithKeyword(std::string_view rest, std::string_view keyword) {
    return startsNoCase(rest, keyword) && rest.size() > keyword.size() &&
           rest[keyword.size()] == ' ';
}

}  // namespace

bool opensStatement(std::string_view line, std::string_view keyword, bool allowStatic) {
    std::string_view rest = trimSpaces(line);
    // The statement starts with the keyword or a word before it (Global,
    // Public, Friend, Private, Static): any other first letter is no match.
    if (rest.empty()) return false;
    const char first = static_cast<char>(rest[0] | 0x20);
    if (!keyword.empty() && first != (keyword[0] | 0x20) && first != 'g' && first != 'p' &&
        first != 'f' && !(allowStatic && first == 's'))
        return false;
    return startsWithKeyword(afterLeadingWords(rest, allowStatic), keyword);
}

bool isProcedureHeader(std::string_view line) {
    // Every header starts with G, P, F or S (Global, Public, Private,
    // Property, Friend, Function, Static, Sub): most lines stop here.
    const size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    const char c = static_cast<char>(line[first] & ~0x20);
    if (c != 'G' && c != 'P' && c != 'F' && c != 'S') return false;
    // As opensStatement for each of the three, the words before them skipped once.
    const std::string_view rest = afterLeadingWords(trimSpaces(line), true);
    return startsWithKeyword(rest, "Sub") || startsWithKeyword(rest, "Function") ||
           startsWithKeyword(rest, "Property");
}

namespace {

// After pos in text: an identifier (dots between parts allowed); where it ends.
size_t identifierEnd(std::string_view text, size_t pos, bool dotted) {
    size_t end = pos;
    while (end < text.size() && (isIdentifierChar(text[end]) || (dotted && text[end] == '.')))
        ++end;
    return end;
}

// "Dim a As Long", "Private m_x(10) As New Collection", "Public s As String * 8":
// a scope word or Dim, a name, an optional bound, As, a type and nothing else.
bool isVariableStatement(std::string_view t) {
    size_t p = npos;
    for (std::string_view word : {"Dim ", "Private ", "Public ", "Global "})
        if (startsNoCase(t, word)) p = word.size();
    if (p == npos) return false;
    if (startsNoCase(t.substr(p), "WithEvents ")) p += 11;
    size_t end = identifierEnd(t, p, false);
    if (end == p) return false;
    if (end < t.size() && t[end] == '(') {
        end = matchingParen(t, end);
        if (end == npos) return false;
        ++end;
    }
    std::string_view rest = t.substr(end);
    if (!startsNoCase(rest, " As ")) return false;
    rest = rest.substr(4);
    if (startsNoCase(rest, "New ")) rest = rest.substr(4);
    const size_t typeEnd = identifierEnd(rest, 0, true);
    if (typeEnd == 0) return false;
    rest = trimSpaces(rest.substr(typeEnd));
    return rest.empty() || rest[0] == '*' || rest[0] == ',';
}

}  // namespace

bool isCommentedDeclaration(std::string_view cleaned) {
    // Each such statement starts with C, D, E, F, G, I or P (Const, Declare,
    // Dim, Event, Friend, Global, Implements, Private, Public): most lines
    // of a description stop here.
    const std::string_view lead = ltrimSpaces(cleaned);
    if (lead.empty() || std::string_view("CDEFGIPcdefgip").find(lead[0]) == npos) return false;
    // A comment behind the code is no part of it.
    std::string_view t = trimSpaces(cleaned.substr(0, findOutsideStrings(cleaned, '\'', 0)));
    if (t.empty()) return false;
    if (opensStatement(t, "Declare", false)) return findNoCase(t, " Lib ") != npos;
    if (opensStatement(t, "Const", false)) return findOutsideStrings(t, '=', 0) != npos;
    if (opensStatement(t, "Event", false)) return t.back() == ')';
    if (startsNoCase(t, "Implements "))
        return identifierEnd(t, 11, true) == t.size() && t.size() > 11;
    return isVariableStatement(t);
}

std::string_view suffixType(char c) {
    switch (c) {
        case '$':
            return "String";
        case '&':
            return "Long";
        case '%':
            return "Integer";
        case '!':
            return "Single";
        case '#':
            return "Double";
        case '@':
            return "Currency";
        default:
            return {};
    }
}

std::string_view takeTypeSuffix(std::string& name) {
    if (name.size() < 2) return {};
    const std::string_view type = suffixType(name.back());
    if (!type.empty()) name.pop_back();
    return type;
}

std::string collapse(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

std::string withCrLf(std::string text) {
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    if (text.find("\r\n") != std::string::npos || text.find('\n') == std::string::npos) return text;
    return replaceAll(text, "\n", "\r\n");
}

std::string cleanComment(std::string_view line) {
    size_t p = 0;
    while (p < line.size() && isBlankOrTab(line[p])) ++p;
    while (p < line.size() && line[p] == '\'') ++p;
    // One pass: line ends dropped, runs of blanks made one, then trimmed.
    std::string text;
    text.reserve(line.size() - p);
    for (const char c : line.substr(p)) {
        if (c == '\r' || c == '\n' || (c == ' ' && !text.empty() && text.back() == ' ')) continue;
        text += c;
    }
    const std::string_view trimmed = trimSpaces(text);
    if (trimmed.size() == text.size()) return text;
    return std::string(trimmed);
}

bool isCommentLine(std::string_view line) {
    for (char c : line) {
        if (isBlankOrTab(c)) continue;
        return c == '\'';
    }
    return false;
}

namespace {

// Whether a <pre> is open after text, given whether one was before it.
bool preOpenAfter(std::string_view text, bool before) {
    bool open = before;
    for (size_t at = text.find('<'); at != npos; at = text.find('<', at + 1)) {
        const bool closing = at + 1 < text.size() && text[at + 1] == '/';
        const size_t name = at + 1 + (closing ? 1 : 0);
        if (name + 3 > text.size() || !startsNoCase(text.substr(name), "pre")) continue;
        if (name + 3 < text.size() && isIdentifierChar(text[name + 3])) continue;  // "<preface"
        open = !closing;
    }
    return open;
}

}  // namespace

void CommentText::add(std::string_view raw, std::string_view cleaned) {
    if (m_inPre) {
        // The line as written after its apostrophes and one blank.
        size_t p = 0;
        while (p < raw.size() && isBlankOrTab(raw[p])) ++p;
        while (p < raw.size() && raw[p] == '\'') ++p;
        if (p < raw.size() && raw[p] == ' ') ++p;
        size_t end = raw.size();
        while (end > p &&
               (raw[end - 1] == '\r' || raw[end - 1] == '\n' || isBlankOrTab(raw[end - 1])))
            --end;
        const std::string_view line = raw.substr(p, end - p);
        m_text += line;
        m_inPre = preOpenAfter(line, true);
        m_text += m_inPre ? '\n' : ' ';
        return;
    }
    if (cleaned.empty()) {
        if (!m_text.empty()) m_text += "\r\n";
        return;
    }
    m_text += cleaned;
    m_inPre = preOpenAfter(cleaned, false);
    m_text += m_inPre ? '\n' : ' ';
}

void CommentText::paragraph() {
    if (m_inPre)
        m_text += '\n';
    else if (!m_text.empty() && !endsWith(m_text, "\r\n"))
        m_text += "\r\n";
}

void CommentText::cut(size_t size) {
    if (size >= m_text.size()) return;
    m_text.resize(size);
    m_inPre = preOpenAfter(m_text, false);
}

bool isBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), isBlankOrTab);
}

// Tags

namespace {

// The position of the first tag from from on: an '@' at the start or after a
// blank, tab, CR or LF, followed by a word character; npos when none.
size_t nextTag(std::string_view t, size_t from) {
    for (size_t at = t.find('@', from); at != npos; at = t.find('@', at + 1)) {
        const bool opens =
            at == 0 || isBlankOrTab(t[at - 1]) || t[at - 1] == '\r' || t[at - 1] == '\n';
        if (opens && at + 1 < t.size() && isIdentifierChar(t[at + 1])) return at;
    }
    return npos;
}

bool isKeyword(std::string_view lowerWord) {
    for (std::string_view k : {"param", "return", "returns", "see", "remark", "remarks", "example",
                               "examples", "exception", "exceptions", "short"})
        if (lowerWord == k) return true;
    return false;
}

}  // namespace

Tags::Tags(std::string_view description) : m_text(description) {
    const std::string_view t = m_text;
    m_firstAt = nextTag(t, 0);
    std::vector<std::pair<std::string_view, Span>> named;
    size_t at = m_firstAt;
    while (at != npos) {
        const size_t next = nextTag(t, at + 1);
        size_t wordEnd = at + 1;
        while (wordEnd < t.size() && isIdentifierChar(t[wordEnd])) ++wordEnd;
        const size_t tagEnd = next == npos ? t.size() : next;
        std::string_view word = t.substr(at + 1, wordEnd - at - 1);
        named.push_back({word, Span{wordEnd, tagEnd}});
        const std::string keyword = lowerAscii(word);
        m_tags.push_back(Tag{word, Span{wordEnd, tagEnd}, isKeyword(keyword)});
        if (keyword == "param") {
            size_t p = wordEnd;
            while (p < tagEnd && isBlankOrTab(t[p])) ++p;
            size_t nameEnd = p;
            while (nameEnd < tagEnd && isIdentifierChar(t[nameEnd])) ++nameEnd;
            if (nameEnd > p)
                m_params.push_back({lowerAscii(t.substr(p, nameEnd - p)), Span{nameEnd, tagEnd}});
        } else if ((keyword == "return" || keyword == "returns") && !m_hasReturn) {
            m_hasReturn = true;
            m_return = Span{wordEnd, tagEnd};
        }
        at = next;
    }
    // Stable sorts keep the first tag of a word in front.
    std::stable_sort(named.begin(), named.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    m_named = std::move(named);
    std::stable_sort(m_params.begin(), m_params.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

std::string Tags::textOf(Span span) const {
    std::string out(m_text.substr(span.begin, span.end - span.begin));
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return std::string(trimSpaces(out));
}

std::string Tags::forName(std::string_view name) const {
    if (name.empty()) return {};
    auto it =
        std::lower_bound(m_named.begin(), m_named.end(), name,
                         [](const auto& entry, std::string_view key) { return entry.first < key; });
    if (it == m_named.end() || it->first != name) return {};
    return textOf(it->second);
}

std::string Tags::forArgument(std::string_view name) const {
    std::string text = forName(name);
    if (!text.empty() || name.empty()) return text;
    std::string key = lowerAscii(name);
    auto it =
        std::lower_bound(m_params.begin(), m_params.end(), key,
                         [](const auto& entry, const std::string& k) { return entry.first < k; });
    if (it == m_params.end() || it->first != key) return {};
    return textOf(it->second);
}

std::string Tags::forReturn(std::string_view name) const {
    std::string text = forName(name);
    if (!text.empty() || !m_hasReturn) return text;
    return textOf(m_return);
}

std::vector<std::string> Tags::see() const {
    std::vector<std::string> targets;
    for (const Tag& tag : m_tags) {
        if (lowerAscii(tag.word) != "see") continue;
        size_t p = tag.text.begin;
        while (p < tag.text.end && isBlankOrTab(m_text[p])) ++p;
        size_t end = p;
        // "#Remove": a member of the describing module.
        if (end < tag.text.end && m_text[end] == '#') ++end;
        while (end < tag.text.end && (isIdentifierChar(m_text[end]) || m_text[end] == '.')) ++end;
        while (end > p && m_text[end - 1] == '.') --end;
        if (end > p + (m_text[p] == '#' ? 1 : 0)) targets.emplace_back(m_text.substr(p, end - p));
    }
    return targets;
}

std::string Tags::joined(std::initializer_list<std::string_view> words) const {
    std::string out;
    for (const Tag& tag : m_tags) {
        const std::string word = lowerAscii(tag.word);
        if (std::find(words.begin(), words.end(), word) == words.end()) continue;
        // A section keeps its paragraphs (CR LF between them).
        std::string_view text = m_text.substr(tag.text.begin, tag.text.end - tag.text.begin);
        const size_t first = text.find_first_not_of(" \t\r\n");
        if (first == npos) continue;
        text = text.substr(first, text.find_last_not_of(" \t\r\n") + 1 - first);
        if (!out.empty()) out += "\r\n";
        out += text;
    }
    return out;
}

DocSections Tags::sections() const {
    return DocSections{joined({"remark", "remarks"}), joined({"example", "examples"}),
                       joined({"exception", "exceptions"}), joined({"short"})};
}

std::string Tags::own() const { return std::string(trimSpaces(m_text.substr(0, firstTag()))); }

}  // namespace tarnwick::parserdetail
