// Lexer of the cross-references: a module's code as the compiler sees it
// (conditional compilation applied), as tokens in statements.
//
// Strings, date literals and comments (' and Rem) are left out as names:
// a string or a date is one punctuation token '"'. Continued lines (" _")
// are joined into one logical line, a line number or a label ahead of a
// statement is dropped, and ':' splits statements. Every token keeps its
// line and column in the module's Source, so a link points at the name as
// written. A name's text is without brackets and type character ("[Type]"
// -> "Type", "x$" -> "x"); its length covers what is written.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tarnwick {
class CModule;
}

namespace tarnwick::xref {

enum class Tok : uint8_t { Ident, Number, Punct };

// 32 bytes: a logical line of millions of tokens is held whole.
struct Token {
    std::string_view text;  // for an identifier without brackets and type character
    int32_t line = 0;       // 1-based line of Source
    int32_t column = 0;     // byte offset in that line
    int32_t length = 0;     // bytes as written
    Tok kind = Tok::Punct;
    bool spaceBefore = false;
    bool lineStart = false;  // first token of its physical line
};

// A statement: a run of one logical line's tokens, valid while that line is.
using Statement = std::span<const Token>;

// A letter, digit, '_' or a byte of a non-ASCII character: inside a name
// (inline: the lexer asks for every byte of a name).
inline bool identChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' ||
           u >= 0x80;
}

// Whether t is the ASCII keyword word, ignoring ASCII case (this runs for
// nearly every token, so no Unicode folding, and inline).
inline bool is(const Token& t, std::string_view word) {
    if (t.kind != Tok::Ident || t.text.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = t.text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        char w = word[i];
        if (w >= 'A' && w <= 'Z') w = static_cast<char>(w + 32);
        if (c != w) return false;
    }
    return true;
}
inline bool isPunct(const Token& t, std::string_view p) {
    return t.kind == Tok::Punct && t.text == p;
}

// The most tokens of one logical line that are resolved. VB6 itself takes
// at most 25 continued lines of 1,023 characters; a generated line of
// millions of symbols would need gigabytes held at once.
constexpr size_t kMaxLineTokens = 1'000'000;

// Reads a module's compiled lines as logical lines of tokens.
class Lexer {
public:
    // module (its Source and CompiledLines) must stay alive while the lexer
    // and its copies are used.
    explicit Lexer(const CModule& module);
    // source: the code; kept (may be null): the 0-based indexes of its lines
    // the compiler sees, else all are. Both must outlive the lexer.
    Lexer(std::string_view source, const std::vector<int32_t>* kept);

    // The next logical line's tokens; false at the end.
    bool next(std::vector<Token>& out);

    // True once a logical line had more than kMaxLineTokens tokens: the rest
    // of such a line was left out.
    bool cut() const { return m_cut; }

private:
    bool advance(std::string_view& line);
    bool lexLine(std::string_view line, int32_t number, std::vector<Token>& out);

    // The lines are found as they are read (a copy of the lexer is a
    // place in the text), not split up front: most modules are read once.
    std::string_view m_source;
    size_t m_next = 0;  // where line m_current + 1 starts; past the end: none
    const std::vector<int32_t>* m_kept = nullptr;
    bool m_cut = false;
    size_t m_keptAt = 0;
    int32_t m_current = -1;
    bool m_commentGoesOn = false;  // a comment ended in " _": the next line is comment too
};

// A logical line split at its statement separators; a label ("Retry:") or
// a line number ahead of a statement is dropped.
void splitStatements(const std::vector<Token>& tokens, std::vector<Statement>& out);

// The statements of a module one by one, with a way back: a routine too
// long for the resolver to keep is read twice (its declarations, then its
// names) instead of being held whole, so a module costs bounded memory,
// whatever its size.
class StatementReader {
public:
    // Where a statement is: the lexer before its logical line, and its index there.
    struct Mark {
        Lexer lexer;
        size_t statement = 0;
    };

    explicit StatementReader(Lexer lexer) : m_lexer(std::move(lexer)), m_lineStart(m_lexer) {}

    // The next statement, valid until the next call; false at the end.
    bool next(Statement& out);
    // Whether a logical line read had more tokens than are resolved.
    bool cut() const { return m_lexer.cut() || m_cut; }
    // Where the statement next() gave last is.
    Mark last() const { return {m_lineStart, m_at - 1}; }
    // Where the statement next() gives next is.
    Mark here() const { return {m_lineStart, m_at}; }
    void reset(const Mark& mark);

private:
    Lexer m_lexer;
    Lexer m_lineStart;  // m_lexer before the line m_statements come from
    std::vector<Token> m_tokens;
    std::vector<Statement> m_statements;
    size_t m_at = 0;
    bool m_cut = false;  // by a lexer reset() replaced
};

}  // namespace tarnwick::xref
