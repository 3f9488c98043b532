// modVBtoHTML: syntax colouring of Visual Basic source text for the code
// tables of the site.
//
// The colouring is purely lexical, token by token (a token is the text up to
// and including a blank): keywords of a fixed table go into a dark-blue span
// that stays open across a run of keywords, and a token starting with an
// apostrophe opens a green comment span that covers the rest of the line and
// goes on over following whole-line comments. There is no notion of string
// literals or of Rem; an apostrophe inside a string starts a comment.
//
// The two open-span flags live in a SpanState that convertVBtoHTML creates
// afresh for every call, so calls never influence each other. Everything is
// linear in the length of the text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::modVBtoHTML {

// The exact span texts of the coloured output.
inline constexpr std::string_view kOpenMonospace = "<FONT COLOR=\"#000000\" face=\"monospace\">";
inline constexpr std::string_view kOpenKeyword = "<FONT COLOR = \"#000088\">";
inline constexpr std::string_view kOpenComment = "<FONT COLOR = \"#008800\">";
inline constexpr std::string_view kClose = "</FONT>";

// Which coloured spans are open while a text is being coloured.
struct SpanState {
    bool keyword = false;  // a dark-blue keyword span is open
    bool comment = false;  // a green comment span is open
};

// Code text already escaped (codeText: the code holds no "<" of its own),
// lines separated by CR LF, wrapped in the black monospace span, with
// keyword and comment spans added. Lines stay separated by CR LF.
std::string convertVBtoHTML(std::string_view text);
// The same, appended to out: the code tables colour line after line into
// one buffer.
void appendVBtoHTML(std::string& out, std::string_view text);

// The tokens of one line: each ends just after a blank, the last one is the
// rest of the line (possibly empty). A blank-terminated token that starts
// with a tab gets "&#09;" put before it. Joining the tokens gives back the
// line apart from that prefix.
std::vector<std::string> splitWords(std::string_view line);

// True when word (already upper case, suffixes dropped) is in the keyword table.
bool isKeyword(std::string_view upperWord);

// The modern layout's listing marks its words with three short elements
// instead of FONT spans (a keyword b, a comment i, a string literal q; the
// style sheet colours them; a class attribute on each would make the page
// of a large module a third bigger), and reads the code as the compiler
// does: a string literal (doubled quotes inside) holds no comment, a
// comment starts at an apostrophe or a Rem outside strings and goes on over
// the next line while it ends with " _", and keywords are whole words of the
// table, never a member after a dot. Keywords with only blanks between
// share one element.
struct ListingMark {
    std::string_view open;
    std::string_view close;
};
inline constexpr ListingMark kListingKeyword = {"<b>", "</b>"};
inline constexpr ListingMark kListingComment = {"<i>", "</i>"};
inline constexpr ListingMark kListingString = {"<q>", "</q>"};

// What one line hands on to the next: a comment continued by " _".
struct MarkState {
    bool comment = false;
};

// One line of code, already escaped (codeText), appended to out with the
// marks; blanks stay blanks. Linear in the line's length.
void appendMarkedLine(std::string& out, std::string_view line, MarkState& state);

}  // namespace tarnwick::modVBtoHTML
