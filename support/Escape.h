// Escape: the one place where text becomes markup or script.
//
// A name, a type, a value or a file name read from a project is text; a page
// is markup (Html) and a generated script is script (Script). Page builders
// append only Html, script builders only Script, and text turns into either
// only through the functions of this header, one per context:
//
//     escaped(text)        element text              A&B  -> A&amp;B
//     attribute(text)      inside double quotes      "x"  -> &quot;x&quot;
//     url(path)            an address, percent-encoded  a b -> a%20b
//     codeText(text)       a code listing's text     a<b  -> a&#60;b
//     jsString(text)       a JavaScript string literal  </  -> "\u003c/"
//
// So a raw name appended to markup does not compile:
//
//     Html row = "<TD>" + escaped(member.Name()) + "</TD>";   // compiles
//     Html bad = "<TD>" + member.Name();                       // does not
//
// Escaping keeps a name's looks: "A&B" shows as "A&B" in the browser. Every
// escape writes ASCII for the characters it changes, so it stays true in every
// ASCII-compatible page encoding. A control character of text for a terminal
// is another matter: TerminalText.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

class Html {
public:
    Html() = default;
    // Markup written in our source: only string literals (arrays) convert,
    // never a std::string or a char pointer.
    template <std::size_t N>
    Html(const char (&literal)[N]) : m_text(literal, N - 1) {}  // NOLINT: implicit by design

    // Markup this program made or checked (the output of the authors'
    // sanitizer, a translation text declared markup, a page piece built as
    // Html before). Every use is a place for review: nothing read from a
    // project may reach it raw.
    static Html trusted(std::string markup) {
        Html html;
        html.m_text = std::move(markup);
        return html;
    }

    Html& operator+=(const Html& more) {
        m_text += more.m_text;
        return *this;
    }
    friend Html operator+(Html left, const Html& right) {
        left.m_text += right.m_text;
        return left;
    }
    friend bool operator==(const Html& a, const Html& b) { return a.m_text == b.m_text; }

    const std::string& str() const { return m_text; }
    std::string take() { return std::move(m_text); }
    bool empty() const { return m_text.empty(); }
    std::size_t size() const { return m_text.size(); }
    // Empty again, the room kept: a scratch value reused line after line.
    void clear() { m_text.clear(); }

private:
    friend void appendCodeText(Html& out, std::string_view text);
    std::string m_text;
};

// JavaScript source of a generated script ("search-index.js"): our own
// literals, and text only as jsString literals. A Script holds no "<", ">"
// or "&" but in the literals of our source, so it can never close a script
// element or open a comment, whether it is a file or stands inside a page.
class Script {
public:
    Script() = default;
    template <std::size_t N>
    Script(const char (&literal)[N]) : m_text(literal, N - 1) {}  // NOLINT: implicit by design

    Script& operator+=(const Script& more) {
        m_text += more.m_text;
        return *this;
    }
    friend Script operator+(Script left, const Script& right) {
        left.m_text += right.m_text;
        return left;
    }

    const std::string& str() const { return m_text; }
    std::string take() { return std::move(m_text); }
    bool empty() const { return m_text.empty(); }

private:
    friend Script jsString(std::string_view utf8);
    friend Script jsNumber(long long value);
    friend bool appendJsLiterals(Script& script, std::string_view text);
    friend void appendJsString(Script& script, std::string_view utf8);
    friend void appendJsNumber(Script& script, long long value);
    std::string m_text;
};

// Element text: "&", "<" and ">" become entities; quotes stay as they are
// (they mean nothing between tags).
Html escaped(std::string_view text);
// A value inside double quotes: "&", "<", ">", '"' and "'" become entities.
Html attribute(std::string_view text);
// A site-relative address: every byte but letters, digits, "-", ".", "_",
// "~" and "/" is percent-encoded, so a name can neither end the attribute
// nor turn into a query, a fragment or a scheme. A '#' that starts the
// fragment is kept when fragment is true (the part after it is encoded).
Html url(std::string_view path, bool fragment = false);
// "<A href="prefix + page">text</A>", the address as url with its fragment
// kept, the text escaped.
Html link(std::string_view prefix, std::string_view page, std::string_view text);
// A whole number as markup.
Html number(long long value);
// The entity that writes c as element text ("&amp;", "&lt;", "&gt;"); empty
// for every other byte. For code of ours that copies markup it checked
// byte by byte (the authors' sanitizer) and escapes what is left.
std::string_view textEntity(char c);
// A character as a numeric character reference: U+20AC -> "&#8364;" (a page
// encoding that cannot hold the character writes it so).
Html characterReference(char32_t c);

// Character references as authors write them in descriptions and a browser
// reads them ("&amp;", "&#60;", "&#x3C;", "&colon;").
// The length of the reference at text[pos] (an '&'): a name of letters and
// digits, or '#' and up to eight decimal digits, or "#x" and up to eight hex
// digits, then ';'. 0 when the '&' starts none: the authors' sanitizer
// escapes such an '&' and keeps every other as it is.
std::size_t characterReferenceLength(std::string_view text, std::size_t pos);
// The code point a reference of that form ("&lt;", the ';' included) stands
// for: its number as written (the caller refuses 0 and numbers above
// U+10FFFF), or for the names amp, lt, gt, quot, nbsp, colon, sol, tab and
// newline (letter case ignored) their characters; 0 for any other name.
char32_t characterReferenceCode(std::string_view reference);
// text with every reference decoded whose code point is from U+0001 to
// U+10FFFF; anything else, an '&' that starts none, stays as written.
std::string decodeCharacterReferences(std::string_view text);

// A code listing's text: "&", "<" and ">" as numeric references ("&#38;",
// "&#60;", "&#62;"), everything else as it is. The listing's colouring then
// finds no "<" of the code's own, and a "&lt;" in a string literal shows as
// written. appendCodeText appends to out (a scratch reused line by line).
Html codeText(std::string_view text);
void appendCodeText(Html& out, std::string_view text);

// A JavaScript string literal in ASCII, quotes included: '"' and '\' after a
// backslash; control characters, "<", ">", "&" and every non-ASCII character
// as \uXXXX (surrogate pairs above U+FFFF; a byte that is not UTF-8 as
// U+FFFD). So the literal reads the same in every page encoding and can
// neither close a script element ("</script>") nor open or close a comment
// ("<!--", "-->") or a CDATA section ("]]>").
Script jsString(std::string_view utf8);
// A whole number as script.
Script jsNumber(long long value);
// jsString and jsNumber appended to script in place: a search index appends
// hundreds of thousands of them.
void appendJsString(Script& script, std::string_view utf8);
void appendJsNumber(Script& script, long long value);
// Whether text is one or more literals as jsString writes them, each after
// a comma (",\"one\",\"two\""): a row's texts read back from a script of
// ours. appendJsLiterals appends such a text to script as it is; false, and
// nothing appended, for any other text.
bool isJsLiterals(std::string_view text);
bool appendJsLiterals(Script& script, std::string_view text);
// A Script as the text of a SCRIPT element of a page: as it stands (see
// Script: it cannot end the element).
Html inlineScript(const Script& script);

}  // namespace tarnwick
