// Text scanning shared by the parts of CParser (internal to reader/).
//
// Everything here works on views of one line or one statement, scans left to
// right once and allocates only for its result, so the reader stays linear
// in its input however long a line or a statement is. Searches for keywords
// ignore ASCII letter case (every keyword is ASCII; other bytes compare
// exactly). A blank is the space character.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "model/Element.h"
#include "reader/CStringLines.h"
#include "support/Text.h"

namespace tarnwick::parserdetail {

// ASCII case-insensitive search of needle in text from from; npos when absent.
size_t findNoCase(std::string_view text, std::string_view needle, size_t from = 0);
// ASCII case-insensitive test of the start of text.
bool startsNoCase(std::string_view text, std::string_view prefix);
// A blank or a tab.
inline bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }
// Letters, digits, '_' and every byte of a multi-byte character.
bool isIdentifierChar(char c);
// What a name may start with: an identifier character but a digit.
inline bool isNameStart(char c) { return isIdentifierChar(c) && !(c >= '0' && c <= '9'); }

// The line without trailing blanks ends in " _": the statement goes on.
bool isContinued(std::string_view line);
// The line without trailing blanks and, when continued, without the final '_'
// (the blank before it stays).
std::string_view withoutContinuation(std::string_view line);
// Index of the last physical line of the statement that starts at start: the
// first line from start on that is not continued (the buffer's last line when
// every line is).
int32_t statementEnd(const CStringLines& lines, int32_t start);
// The statement's physical lines from start to end, continuation marks
// removed, joined with one blank between them.
std::string joinLines(const CStringLines& lines, int32_t start, int32_t end);
// Lines start to end, each followed by CR LF (Line() past the end gives CR LF).
std::string sourceLines(const CStringLines& lines, int32_t start, int32_t end);

// Position of the first c outside string literals ("..." with "" inside), or
// npos. For '\'' this is where a trailing comment starts.
size_t findOutsideStrings(std::string_view text, char c, size_t from = 0);
// Position of the ')' that closes the '(' at open, skipping nested pairs and
// string literals; npos when the text ends first.
size_t matchingParen(std::string_view text, size_t open);
// The pieces of an argument list split at commas outside parentheses and
// string literals.
std::vector<std::string_view> splitArguments(std::string_view list);

// True when one statement of the physical line (the line is split at ':'
// outside strings, up to a comment) is "End <kind>" followed by the end of
// the statement, a blank, a tab, ':' or '\''. Leading blanks and tabs of a
// statement, and a line number before the first one, are skipped.
bool isEndStatement(std::string_view line, std::string_view kind);
// First line from from on that is an end statement of kind; -1 when none.
int32_t findBlockEnd(const CStringLines& lines, int32_t from, std::string_view kind);
// An End Sub, End Function or End Property statement on the line.
bool isProcedureEnd(std::string_view line);
// The trimmed line is "[scope ][Static ]<keyword> ..." (scope one of Global,
// Public, Friend, Private) with one blank after each word; Static only where
// allowStatic.
bool opensStatement(std::string_view line, std::string_view keyword, bool allowStatic);
// The line opens a Sub, Function or Property.
bool isProcedureHeader(std::string_view line);

// Every run of blanks reduced to one blank.
std::string collapse(std::string_view text);
// The type a type-declaration character stands for ('$' gives "String");
// empty for any other character.
std::string_view suffixType(char c);
// The type a name's type-declaration character stands for ("Pad$" gives
// "String"); the character is removed from name. Empty, and name unchanged,
// when the name has none.
std::string_view takeTypeSuffix(std::string& name);
// A file's text as the reader takes it: a leading UTF-8 byte-order mark
// dropped, and when the text holds no CR LF at all, every LF made a CR LF.
std::string withCrLf(std::string text);

// A comment line as it enters the comment buffer: the leading apostrophes
// removed (apostrophes in the text stay), CR and LF removed, trimmed, runs of
// blanks reduced to one.
std::string cleanComment(std::string_view line);
// A comment line's text (cleaned) that is a line of code: a Declare with
// its Lib, a Const with its value, an Event with its parameter list, an
// Implements of one name, or a variable of one name with its type ("Dim a
// As Long"). A sentence that starts with such a word is none of these.
bool isCommentedDeclaration(std::string_view cleaned);
// The first non-blank (and non-tab) character is '\''.
bool isCommentLine(std::string_view line);

// Comment lines joined into a description: blanks collapsed, a blank after
// each line, CR LF for an empty comment line. Inside <pre> a line keeps its
// indentation and ends in LF: the author laid the example out.
class CommentText {
public:
    // A comment line as read, and cleanComment of it.
    void add(std::string_view raw, std::string_view cleaned);
    // A paragraph mark, unless the text is empty or ends in one.
    void paragraph();
    // Drops everything from size on.
    void cut(size_t size);
    void clear() {
        m_text.clear();
        m_inPre = false;
    }
    bool inPre() const { return m_inPre; }
    const std::string& text() const { return m_text; }
    size_t size() const { return m_text.size(); }

private:
    std::string m_text;
    bool m_inPre = false;
};
// Nothing but blanks and tabs.
bool isBlankLine(std::string_view line);

// The tags of one description, indexed once so that looking up many names
// costs no rescans. A tag is '@' at the start of the text or after a blank,
// tab, CR or LF, followed by a word (letters, digits, '_'); its text runs from
// after the word to the next tag, CR and LF read as blanks, trimmed ("a@b.com"
// is no tag). The first tag of a word wins. Besides "@name text", the keyword
// tags "@param name text", "@return text" / "@returns text", "@see target",
// "@remark(s)", "@example(s)", "@exception(s)" and "@short" are
// understood (keywords ignoring case). The view passed in must outlive the index.
class Tags {
public:
    explicit Tags(std::string_view description);

    // Text of "@name" (exact, whole word); empty when absent or name empty.
    std::string forName(std::string_view name) const;
    // A parameter: its "@name" tag, else its "@param name" tag (ignoring case).
    std::string forArgument(std::string_view name) const;
    // A return value: the procedure's "@name" tag, else "@return(s)".
    std::string forReturn(std::string_view name) const;
    // The element's own description: the text before the first tag, trimmed.
    std::string own() const;
    // Where the first tag starts; the text's size when it has none.
    size_t firstTag() const { return m_firstAt == npos ? m_text.size() : m_firstAt; }
    // The targets of every "@see Name", "@see Module.Name" or "@see #Member"
    // tag, in order: the name (letters, digits, '_' and dots, after an
    // optional '#') after the word.
    std::vector<std::string> see() const;
    // The texts of the "@remark(s)", "@example(s)", "@exception(s)" and "@short" tags; the
    // texts of several tags of one section are paragraphs (CR LF between).
    DocSections sections() const;
    // Calls fn(word, text) for every tag that is no keyword, in order.
    template <typename Fn>
    void eachNamed(const Fn& fn) const {
        for (const Tag& tag : m_tags)
            if (!tag.keyword) fn(tag.word, textOf(tag.text));
    }
    // Every tag that is no keyword and whose word names nothing known
    // accepts (a parameter, a member), as written ("@author Jane Doe"), one
    // paragraph each; empty when there is none.
    template <typename Known>
    std::string unknown(const Known& known) const {
        std::string out;
        eachNamed([&](std::string_view word, const std::string& text) {
            if (known(word)) return;
            if (!out.empty()) out += "\r\n";
            out += '@';
            out += word;
            if (!text.empty()) out += ' ' + text;
        });
        return out;
    }

private:
    struct Span {
        size_t begin = 0;
        size_t end = 0;
    };
    struct Tag {
        std::string_view word;
        Span text;
        bool keyword = false;
    };
    std::string textOf(Span span) const;
    // The texts of the tags whose lower-case word is one of words, CR LF between.
    std::string joined(std::initializer_list<std::string_view> words) const;

    std::string_view m_text;
    size_t m_firstAt = npos;
    std::vector<Tag> m_tags;                                 // in the order written
    std::vector<std::pair<std::string_view, Span>> m_named;  // sorted by word, first kept
    std::vector<std::pair<std::string, Span>> m_params;      // lower-case name, sorted
    bool m_hasReturn = false;
    Span m_return;
};

}  // namespace tarnwick::parserdetail
