// Text helpers over UTF-8 strings, used by every part of the core.
//
// Letter case: VB6 projects come in windows-1252, -1251 and -1253, so case
// folding covers ASCII, Latin-1 Supplement, Latin Extended-A, Greek and
// Cyrillic letters; every other character (and every byte that is not valid
// UTF-8) is left as it is. Folding is one character to one character: "ß"
// stays "ß" in upper case, so lengths in characters never change.
//
// Trimming removes the space character (U+0020) only, never tabs: a VB6
// source line keeps its tab indentation.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// "Not found", as the string searches answer it.
inline constexpr std::size_t npos = std::string_view::npos;

// Upper-/lower-cased copy of a UTF-8 text.
std::string toUpper(std::string_view text);
std::string toLower(std::string_view text);

// Upper case of one code point (identity outside the folded ranges).
char32_t toUpper(char32_t c);
char32_t toLower(char32_t c);

// Comparison ignoring letter case, character by character (no allocation).
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// <0, 0, >0 like strcmp, comparing the upper-cased code points.
int compareIgnoreCase(std::string_view a, std::string_view b);
bool startsWithIgnoreCase(std::string_view text, std::string_view prefix);
bool endsWithIgnoreCase(std::string_view text, std::string_view suffix);
// Exact (byte-wise) tests, for symmetry with the ignore-case forms.
bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);

// Remove leading / trailing / both space characters (' ' only).
std::string_view ltrimSpaces(std::string_view text);
std::string_view rtrimSpaces(std::string_view text);
std::string_view trimSpaces(std::string_view text);
// Blanks and tabs trimmed, as profile, settings and registry files are read.
std::string_view trimBlanks(std::string_view text);
// The items of a comma-separated list ("classes,\tmodules", "A=1, B=2"),
// each without the blanks and tabs around it, empty ones left out: the one
// way every list option and settings key is read.
std::vector<std::string> splitList(std::string_view list);
// A value enclosed in a matching pair of ' or " without them.
std::string_view unquote(std::string_view value);

// Text as a message quotes it: a longer one (a hostile line may hold
// megabytes) is cut after most bytes, never inside a UTF-8 character, and
// "..." marks the cut.
std::string excerpt(std::string_view text, size_t most = 60);

// Every occurrence of from replaced by to, left to right, not rescanning the
// replacement; linear time. An empty from gives text unchanged.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);

// Where lines end. CrLf: at CR LF only; a lone CR or LF stays inside its
// line (VB6 source and the pages' code text). Lf: at LF, and a CR at the end
// of a line goes with it; a lone CR elsewhere stays (settings, profile and
// registry files, which come with either line end).
enum class LineEnd { CrLf, Lf };

// The line of text that starts at pos, without its line end; pos moves past
// the line end, or to text.size() + 1 after the last line (pos must not be
// past text.size()). A loop "while (pos <= text.size())" visits the text
// after the last line end as one more line, also when it is empty ("" is one
// empty line, "a\r\n" is "a" and ""); "while (pos < text.size())" leaves
// that line out when it is empty ("" is no line, "a\r\n" is "a").
std::string_view nextLine(std::string_view text, size_t& pos, LineEnd end = LineEnd::CrLf);

// Every line of text as nextLine hands them out, the text after the last
// line end included: "" gives one empty line.
std::vector<std::string_view> splitLines(std::string_view text, LineEnd end = LineEnd::CrLf);

// A module or member name made safe as (part of) a file name and its link:
// '/', '\\', ':', '*', '?', '"', '<', '>', '|', '#', '%', NUL, control
// characters (below 0x20 and 0x7F), bytes that are not valid UTF-8 and the
// leading dots (a page must never be a hidden file) become '_'. A name that
// changed so, an empty one or one longer than 100 bytes is cut at a
// character boundary and gets '-' and eight hex digits of a hash of the
// whole name, so two names never share a page ("a/b": "a_b-3a8e75c1",
// "a\\b": "a_b-299c2fb6"; "..": "__-a3d4a70d"). At most 100 bytes.
// "CParser" and "Form_Load" stay as they are.
std::string safeFileName(std::string_view name);

// UTF-8 decoding of one code point at text[pos]: returns the code point and
// sets length to its byte count; an invalid or truncated sequence gives
// U+FFFD with length 1, a position at or past the end U+FFFD with length 0.
char32_t decodeUtf8(std::string_view text, size_t pos, size_t& length);
// Appends the UTF-8 form of a code point (U+FFFD for an invalid one).
void appendUtf8(std::string& out, char32_t c);
// True when the whole text is well-formed UTF-8.
// The end of the run of ASCII bytes in text that starts at from (text.size()
// when the run reaches the end). Pages and modules are mostly ASCII; this
// looks at 32 bytes a step.
size_t asciiRunEnd(std::string_view text, size_t from);
bool isValidUtf8(std::string_view text);

// UTF-16 code units (little- or big-endian) as UTF-8; a lone surrogate
// becomes U+FFFD, an odd last byte is dropped.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);
// Bytes that start with a UTF-16 byte-order mark (FF FE or FE FF), decoded
// after it; nullopt for bytes without one.
std::optional<std::string> decodeUtf16WithBom(std::string_view bytes);

// "0.01.002" -> "0.1.2": whole numbers without leading zeros; parts that are
// not numbers are kept as they are.
std::string plainVersion(std::string_view version);

}  // namespace tarnwick
