// Html: markup, kept apart from text by its type.
//
// A name, a type, a value or a file name read from a project is text; a page
// is markup. Page builders append only Html, and an Html value can be made
// only from a string literal of our own source, from escaped(text) (element
// text), attribute(text) (inside double quotes), url(path) (an address,
// percent-encoded), or through Html::trusted for markup this program made
// or checked itself (the translation file's texts, the authors' sanitizer).
// So a raw name appended to markup does not compile:
//
//     Html row = "<TD>" + escaped(member.Name()) + "</TD>";   // compiles
//     Html bad = "<TD>" + member.Name();                       // does not
//
// Escaping keeps a name's looks: "A&B" shows as "A&B" in the browser.
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

    // Markup this program made or checked (a translation text, the output of
    // the authors' sanitizer, a page piece built as Html before). Every use
    // is a place for review: nothing read from a project may reach it raw.
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

private:
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
// A whole number as markup.
Html number(long long value);
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

// Text for a terminal or a log: control characters (C0, DEL and C1) shown
// as "\x1b"-style escapes, so a name cannot move the cursor or recolour a
// console. Everything else stays as it is.
std::string terminalSafe(std::string_view text);

// Builds a page of markup in memory; the twin of StringBuffer for Html.
// AppendLn adds CR LF after the markup.
class HtmlBuffer {
public:
    HtmlBuffer() { m_text.reserve(4096); }
    void Append(const Html& html) { m_text += html.str(); }
    void AppendLn(const Html& html = {}) {
        m_text += html.str();
        m_text += "\r\n";
    }
    // A piece larger than the page so far (a code table of a routine of
    // megabytes) becomes the page, with the page so far put before it: the
    // two are never held apart and then copied together.
    void Append(Html&& html) {
        if (html.size() <= m_text.size()) {
            Append(static_cast<const Html&>(html));
            return;
        }
        std::string text = html.take();
        text.insert(0, m_text);
        m_text = std::move(text);
    }
    void AppendLn(Html&& html) {
        Append(std::move(html));
        m_text += "\r\n";
    }
    std::size_t size() const { return m_text.size(); }
    Html take() { return Html::trusted(std::move(m_text)); }
    std::string takeText() { return std::move(m_text); }

private:
    std::string m_text;
};

}  // namespace tarnwick
