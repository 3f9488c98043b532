#include "generator/pages/modVBtoHTML.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "support/Text.h"

namespace tarnwick::modVBtoHTML {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kTabPrefix = "&#09;";

// The words coloured as keywords. Some stand twice; a lookup only asks
// whether a word is present, so the repetition does no harm.
constexpr std::array<std::string_view, 123> kKeywords = {
    "Const",    "Else",     "ElseIf",   "If",         "Alias",    "And",      "As",     "Base",
    "Binary",   "Boolean",  "Byte",     "ByVal",      "ByRef",    "Call",     "Case",   "CBool",
    "CByte",    "CCur",     "CDate",    "CDbl",       "CDec",     "CInt",     "CLng",   "Close",
    "Compare",  "Const",    "CSng",     "CStr",       "Currency", "CVar",     "CVErr",  "Decimal",
    "Declare",  "DefBool",  "DefByte",  "DefCur",     "DefDate",  "DefDbl",   "DefDec", "DefInt",
    "DefLng",   "DefObj",   "DefSng",   "DefStr",     "DefVar",   "Dim",      "Do",     "Double",
    "Each",     "Else",     "ElseIf",   "End",        "Enum",     "Eqv",      "Erase",  "Error",
    "Exit",     "Explicit", "False",    "For",        "Function", "Get",      "Global", "GoSub",
    "GoTo",     "If",       "Imp",      "Implements", "In",       "Input",    "Input",  "Integer",
    "Is",       "LBound",   "Let",      "Lib",        "Like",     "Line",     "Lock",   "Long",
    "Loop",     "LSet",     "Name",     "New",        "Next",     "Not",      "Object", "On",
    "Open",     "Option",   "Optional", "Or",         "Output",   "Preserve", "Print",  "Private",
    "Property", "Public",   "Put",      "Random",     "Read",     "ReDim",    "Resume", "Return",
    "RSet",     "Seek",     "Select",   "Set",        "Single",   "Spc",      "Static", "String",
    "Stop",     "Sub",      "Tab",      "Then",       "True",     "Type",     "UBound", "Variant",
    "While",    "Wend",     "With",
};

// The longest keyword has 10 characters and at most 4 suffix characters are
// dropped; case folding can at most halve a token's bytes. A longer trimmed
// token is never a keyword, so it is not even upper-cased.
constexpr size_t kLongestCandidate = 32;

// Hashing that lets the set be asked with a string_view, without a copy.
struct WordHash {
    using is_transparent = void;
    size_t operator()(std::string_view word) const { return std::hash<std::string_view>{}(word); }
};
using WordSet = std::unordered_set<std::string, WordHash, std::equal_to<>>;

const WordSet& upperKeywords() {
    static const WordSet set = [] {
        WordSet s;
        for (auto word : kKeywords) s.insert(toUpper(word));
        return s;
    }();
    return set;
}

bool isCommentStart(std::string_view token) {
    auto trimmed = trimSpaces(token);
    return !trimmed.empty() && trimmed.front() == '\'';
}

// Byte length of the first count characters of text (all of it when shorter).
size_t bytesOfChars(std::string_view text, size_t count) {
    size_t pos = 0;
    for (size_t i = 0; i < count && pos < text.size(); ++i) {
        size_t length = 1;
        decodeUtf8(text, pos, length);
        pos += length;
    }
    return pos;
}

// Calls emit(token) for every token of line, in order, as splitWords gives
// them. A plain token is a view into line; only a tab token is built.
template <typename Emit>
void forEachWord(std::string_view line, Emit&& emit) {
    size_t start = 0;
    std::string tabToken;
    for (size_t blank = line.find(' '); blank != std::string_view::npos;
         blank = line.find(' ', start)) {
        std::string_view token = line.substr(start, blank + 1 - start);
        if (token.front() == '\t') {
            tabToken.assign(kTabPrefix);
            tabToken += trimSpaces(token);
            tabToken += ' ';
            emit(std::string_view(tabToken));
        } else {
            emit(token);
        }
        start = blank + 1;
    }
    emit(line.substr(start));
}

// The upper-case form of a trimmed token in buf, when it can be a keyword
// at all: only an ASCII word can (for it bytes are characters), and none is
// longer than kLongestCandidate. Returns the length, or 0 for "cannot be".
size_t upperCandidate(std::string_view trimmed, char (&buf)[kLongestCandidate]) {
    if (trimmed.empty() || trimmed.size() > kLongestCandidate) return 0;
    bool ascii = true;
    for (size_t i = 0; i < trimmed.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(trimmed[i]);
        if (c >= 0x80) ascii = false;
        buf[i] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    if (ascii) return trimmed.size();
    // Case folding may turn a non-ASCII letter into an ASCII one.
    const std::string upper = toUpper(trimmed);
    if (upper.size() > kLongestCandidate) return 0;
    for (size_t i = 0; i < upper.size(); ++i) {
        if (static_cast<unsigned char>(upper[i]) >= 0x80) return 0;
        buf[i] = upper[i];
    }
    return upper.size();
}

void appendHighlighted(std::string& out, std::string_view token, SpanState& state) {
    char buf[kLongestCandidate];
    size_t length = upperCandidate(trimSpaces(token), buf);  // characters of U
    bool found = false;
    bool dropped = false;
    if (length > 0) {
        std::string_view upper(buf, length);
        if (length > 2) {
            for (std::string_view suffix : {"()", ")", ":"}) {
                if (upper.ends_with(suffix)) {
                    upper.remove_suffix(suffix.size());
                    dropped = true;
                }
            }
        }
        length = upper.size();
        found = isKeyword(upper);
    }
    if (found) {
        if (!state.keyword) {
            out += kOpenKeyword;
            out += token;
            state.keyword = true;
        } else if (!dropped) {
            out += token;
        } else {
            size_t head = bytesOfChars(token, length);
            out += token.substr(0, head);
            out += kClose;
            out += token.substr(head);
            state.keyword = false;
        }
        return;
    }
    if (state.keyword) {
        out += kClose;
        state.keyword = false;
    }
    out += token;
}

void appendLine(std::string& out, std::string_view line, SpanState& state) {
    size_t firstBlank = line.find(' ');
    std::string_view firstToken =
        firstBlank == std::string_view::npos ? line : line.substr(0, firstBlank + 1);
    bool wholeLineComment = isCommentStart(firstToken);

    if (state.comment && !wholeLineComment) {
        state.comment = false;
        out += kClose;
    }
    if (!wholeLineComment) {
        bool inComment = false;
        forEachWord(line, [&](std::string_view token) {
            if (!inComment && isCommentStart(token)) {
                inComment = true;
                state.comment = true;
                if (state.keyword) {
                    state.keyword = false;
                    out += kClose;
                }
                out += kOpenComment;
            }
            if (inComment)
                out += token;
            else
                appendHighlighted(out, token, state);
        });
        return;
    }
    if (state.keyword) {
        state.keyword = false;
        out += kClose;
    }
    // A comment span left open by the line before simply goes on.
    if (!state.comment) out += kOpenComment;
    out += line;
    state.comment = true;
}

}  // namespace

bool isKeyword(std::string_view upperWord) {
    // Most words of a line are names: the (first letter, length) pairs of
    // the keywords turn nearly all of them away before any hashing.
    static const std::array<uint32_t, 26> shapes = [] {
        std::array<uint32_t, 26> bits{};
        for (const std::string& word : upperKeywords())
            bits[static_cast<size_t>(word[0] - 'A')] |= 1u << word.size();
        return bits;
    }();
    if (upperWord.empty() || upperWord.size() > 31) return false;
    const char first = upperWord[0];
    if (first < 'A' || first > 'Z') return false;
    if (!(shapes[static_cast<size_t>(first - 'A')] & (1u << upperWord.size()))) return false;
    return upperKeywords().find(upperWord) != upperKeywords().end();
}

std::string convertVBtoHTML(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4 + 64);
    appendVBtoHTML(out, text);
    return out;
}

void appendVBtoHTML(std::string& out, std::string_view text) {
    SpanState state;
    out += kOpenMonospace;
    for (size_t pos = 0; pos <= text.size();) {
        appendLine(out, nextLine(text, pos), state);
        if (pos <= text.size()) out += kCrLf;  // a line end followed
    }
    if (state.keyword || state.comment) out += kClose;
    out += kClose;
}

namespace {

bool isWordByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u >= 0x80;
}

// A word of the table: ASCII letters and digits only, starting with a letter.
bool isKeywordWord(std::string_view word) {
    char buf[kLongestCandidate];
    if (word.size() > kLongestCandidate) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (static_cast<unsigned char>(c) >= 0x80) return false;
        buf[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return isKeyword(std::string_view(buf, word.size()));
}

// The end of the string literal opening at from (its closing quote
// included; a doubled quote stays inside); the line's end when unclosed.
size_t stringEnd(std::string_view line, size_t from) {
    for (size_t at = from + 1;;) {
        at = line.find('"', at);
        if (at == std::string_view::npos) return line.size();
        if (at + 1 < line.size() && line[at + 1] == '"') {
            at += 2;
            continue;
        }
        return at + 1;
    }
}

// True when the statement starting at from is a Rem comment.
bool isRem(std::string_view line, size_t from) {
    if (line.size() - from < 3 || !equalsIgnoreCase(line.substr(from, 3), "Rem")) return false;
    return line.size() - from == 3 || line[from + 3] == ' ' || line[from + 3] == '\t';
}

// Appends line to out, marked; a keyword's mark stays open over blanks
// until a word that is no keyword comes.
class MarkedLine {
public:
    MarkedLine(std::string& out, std::string_view line) : m_out(out), m_line(line) {}

    // The rest of the line from from on as a comment; true when the next
    // line goes on with it.
    bool comment(size_t from) {
        closeKeyword();
        m_out += kListingComment.open;
        m_out += m_line.substr(from);
        m_out += kListingComment.close;
        const std::string_view text = rtrimSpaces(m_line);
        return text.ends_with(" _") || text == "_";
    }

    bool run() {
        size_t at = m_line.find_first_not_of(' ');
        if (at == std::string_view::npos) at = m_line.size();
        m_out.append(m_line.substr(0, at));
        while (at < m_line.size()) {
            const char c = m_line[at];
            if (c == ' ') {
                if (m_keyword)
                    ++m_blanks;
                else
                    m_out += ' ';
                ++at;
            } else if (c == '\'') {
                return comment(at);
            } else if (c == '"') {
                closeKeyword();
                const size_t end = stringEnd(m_line, at);
                m_out += kListingString.open;
                m_out += m_line.substr(at, end - at);
                m_out += kListingString.close;
                at = end;
            } else if (isWordByte(c)) {
                size_t end = at + 1;
                while (end < m_line.size() && isWordByte(m_line[end])) ++end;
                if (statementStart(at) && isRem(m_line, at)) return comment(at);
                word(m_line.substr(at, end - at), at > 0 && m_line[at - 1] == '.');
                at = end;
            } else {
                closeKeyword();
                m_out += c;
                ++at;
            }
        }
        closeKeyword();
        return false;
    }

private:
    // Only blanks, or a colon and blanks, before at.
    bool statementStart(size_t at) const {
        const std::string_view before = rtrimSpaces(m_line.substr(0, at));
        return before.empty() || before.back() == ':';
    }

    void word(std::string_view text, bool afterDot) {
        const bool keyword = !afterDot && isKeywordWord(text);
        if (!keyword) {
            closeKeyword();
        } else if (m_keyword) {
            m_out.append(m_blanks, ' ');
            m_blanks = 0;
        } else {
            m_out += kListingKeyword.open;
            m_keyword = true;
        }
        m_out += text;
    }

    void closeKeyword() {
        if (m_keyword) m_out += kListingKeyword.close;
        m_keyword = false;
        m_out.append(m_blanks, ' ');
        m_blanks = 0;
    }

    std::string& m_out;
    std::string_view m_line;
    bool m_keyword = false;  // a keyword's mark is open
    size_t m_blanks = 0;     // blanks after it, not written yet
};

}  // namespace

void appendMarkedLine(std::string& out, std::string_view line, MarkState& state) {
    MarkedLine marked(out, line);
    if (state.comment && !line.empty()) {
        state.comment = marked.comment(0);
        return;
    }
    state.comment = marked.run();
}

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    forEachWord(line, [&](std::string_view token) { words.emplace_back(token); });
    return words;
}

}  // namespace tarnwick::modVBtoHTML
