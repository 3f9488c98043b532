#include "reader/xref/Lexer.h"

#include <algorithm>

#include "model/CModule.h"
#include "support/Text.h"

namespace tarnwick::xref {

namespace {

bool identStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0x80;
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "#1/2/2000#", "#12:00:00 AM#": a date literal from at ('#') to its closing '#'; npos if none.
size_t dateLiteralEnd(std::string_view line, size_t at) {
    if (at + 1 >= line.size() || !isDigit(line[at + 1])) return npos;
    for (size_t i = at + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '#') return i;
        if (!isDigit(c) && std::string_view("/:-., AaPpMm").find(c) == npos) return npos;
    }
    return npos;
}

// The tokens of one physical line (up to end: without a continuation)
// appended to a logical line's.
class LineScanner {
public:
    LineScanner(std::string_view line, size_t end, int32_t number, std::vector<Token>& out)
        : m_line(line), m_end(end), m_number(number), m_out(out) {}

    // False when a comment ends the line.
    bool scan() {
        size_t i = 0;
        while (i < m_end) {
            const char c = m_line[i];
            if (c == ' ' || c == '\t') {
                m_space = true;
                ++i;
            } else if (c == '\'') {
                return false;
            } else {
                i = token(i);
                if (i == npos) return false;  // Rem
            }
        }
        return true;
    }
    // Whether tokens were left out for kMaxLineTokens.
    bool cut() const { return m_cut; }

private:
    // The token at i; where the next starts, npos when it opens a comment.
    size_t token(size_t i) {
        const char c = m_line[i];
        if (c == '"') return string(i);
        if (identStart(c)) return identifier(i);
        if (c == '[') {
            if (!m_bracketSearched || m_bracketClose < i) {
                m_bracketClose = m_line.find(']', i);
                m_bracketSearched = true;
            }
            if (m_bracketClose != npos && m_bracketClose < m_end)
                return push(Tok::Ident, m_line.substr(i + 1, m_bracketClose - i - 1), i,
                            m_bracketClose + 1);
        }
        if (isDigit(c) ||
            (c == '&' && i + 1 < m_end && std::string_view("HhOo").find(m_line[i + 1]) != npos))
            return number(i);
        if (c == '#') {
            const size_t close = dateLiteralEnd(m_line.substr(0, m_end), i);
            if (close != npos) return push(Tok::Punct, "\"", i, close + 1);
        }
        if (c == ':' && i + 1 < m_end && m_line[i + 1] == '=')
            return push(Tok::Punct, ":=", i, i + 2);
        return push(Tok::Punct, m_line.substr(i, 1), i, i + 1);
    }

    size_t string(size_t i) {
        size_t j = i + 1;
        while (j < m_end && !(m_line[j] == '"' && !(j + 1 < m_end && m_line[j + 1] == '"')))
            j += m_line[j] == '"' ? 2 : 1;  // "" is a quote inside
        push(Tok::Punct, "\"", i, std::min(j + 1, m_end));
        return j + 1;
    }

    size_t identifier(size_t i) {
        size_t j = i + 1;
        while (j < m_end && identChar(m_line[j])) ++j;
        const std::string_view word = m_line.substr(i, j - i);
        // Rem opens a comment where a statement starts: first on the line,
        // after ':' or after a line number.
        const bool statementStart = m_out.empty() || isPunct(m_out.back(), ":") ||
                                    (m_out.size() == 1 && m_out[0].kind == Tok::Number);
        if (statementStart && equalsIgnoreCase(word, "Rem")) return npos;
        size_t to = j;
        if (j < m_end) {
            const char s = m_line[j];
            const bool nextIdent =
                j + 1 < m_end && (identStart(m_line[j + 1]) || isDigit(m_line[j + 1]));
            // "x!" is a Single; "rs!Field" reads a field of rs.
            if (s == '$' || s == '%' || s == '@' ||
                ((s == '&' || s == '!' || s == '#') && !nextIdent))
                to = j + 1;
        }
        return push(Tok::Ident, word, i, to);
    }

    size_t number(size_t i) {
        size_t j = i + 1;
        while (j < m_end && (identChar(m_line[j]) || m_line[j] == '.')) ++j;
        if (j < m_end && std::string_view("&!#@%$").find(m_line[j]) != npos) ++j;
        return push(Tok::Number, m_line.substr(i, j - i), i, j);
    }

    // Appends a token from from to to; answers to.
    size_t push(Tok kind, std::string_view text, size_t from, size_t to) {
        Token t;
        t.kind = kind;
        t.text = text;
        t.line = m_number;
        t.column = static_cast<int32_t>(from);
        t.length = static_cast<int32_t>(to - from);
        t.spaceBefore = m_space;
        t.lineStart = m_first;
        if (m_out.size() < kMaxLineTokens)
            m_out.push_back(t);
        else
            m_cut = true;
        m_space = false;
        m_first = false;
        return to;
    }

    std::string_view m_line;
    size_t m_end;
    int32_t m_number;
    std::vector<Token>& m_out;
    bool m_space = true;
    bool m_first = true;
    bool m_cut = false;
    // The first ']' at or after the last '[' looked at: a line of
    // thousands of '[' is searched once, not once per '['.
    size_t m_bracketClose = npos;
    bool m_bracketSearched = false;
};

}  // namespace

Lexer::Lexer(const CModule& module)
    : Lexer(module.Source(), module.CompiledLines() ? module.CompiledLines().get() : nullptr) {}

Lexer::Lexer(std::string_view source, const std::vector<int32_t>* kept)
    : m_source(source), m_kept(kept) {}

bool Lexer::next(std::vector<Token>& out) {
    out.clear();
    std::string_view line;
    while (advance(line)) {
        if (!lexLine(line, m_current + 1, out)) return true;
    }
    return !out.empty();
}

// The next line read (the next kept one); false when there is none.
bool Lexer::advance(std::string_view& line) {
    int32_t wanted = m_current + 1;
    if (m_kept) {
        if (m_keptAt >= m_kept->size()) return false;
        wanted = (*m_kept)[m_keptAt++];
        if (wanted <= m_current) {  // kept lines come in order; if not, start over
            m_next = 0;
            m_current = -1;
        }
    }
    for (;;) {
        if (m_next > m_source.size()) return false;
        line = nextLine(m_source, m_next);
        if (++m_current == wanted) return true;
    }
}

// Appends the tokens of one physical line; true when the line goes on in
// the next one.
bool Lexer::lexLine(std::string_view line, int32_t number, std::vector<Token>& out) {
    const std::string_view trimmed = rtrimSpaces(line);
    const bool continues =
        trimmed.size() >= 2 && trimmed.back() == '_' &&
        (trimmed[trimmed.size() - 2] == ' ' || trimmed[trimmed.size() - 2] == '\t');
    if (m_commentGoesOn) {  // a comment ending in " _" takes the next line too
        m_commentGoesOn = continues;
        return continues;
    }
    LineScanner scanner(line, continues ? trimmed.size() - 1 : trimmed.size(), number, out);
    if (!scanner.scan()) m_commentGoesOn = continues;
    m_cut = m_cut || scanner.cut();
    return continues;
}

void splitStatements(const std::vector<Token>& tokens, std::vector<Statement>& out) {
    size_t start = 0;
    if (!tokens.empty() && tokens[0].kind == Tok::Number)
        start = 1;  // a line number
    else if (tokens.size() >= 2 && tokens[0].kind == Tok::Ident && isPunct(tokens[1], ":"))
        start = 2;  // a label
    int depth = 0;
    for (size_t i = start; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (isPunct(t, "(")) ++depth;
        if (isPunct(t, ")") && depth > 0) --depth;
        if (depth == 0 && isPunct(t, ":")) {
            if (i > start) out.emplace_back(tokens.data() + start, i - start);
            start = i + 1;
        }
    }
    if (start < tokens.size()) out.emplace_back(tokens.data() + start, tokens.size() - start);
}

bool StatementReader::next(Statement& out) {
    while (m_at >= m_statements.size()) {
        m_lineStart = m_lexer;
        m_statements.clear();
        m_at = 0;
        if (!m_lexer.next(m_tokens)) return false;
        splitStatements(m_tokens, m_statements);
    }
    out = m_statements[m_at++];
    return true;
}

void StatementReader::reset(const Mark& mark) {
    m_cut = cut();
    m_lexer = mark.lexer;
    m_lineStart = mark.lexer;
    m_statements.clear();
    m_at = 0;
    if (m_lexer.next(m_tokens)) splitStatements(m_tokens, m_statements);
    m_at = std::min(mark.statement, m_statements.size());
}

}  // namespace tarnwick::xref
