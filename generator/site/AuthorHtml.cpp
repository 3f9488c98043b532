#include "generator/site/AuthorHtml.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <vector>

#include "support/Escape.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

constexpr std::string_view kKeptTags[] = {
    "b",  "i",  "u",   "em",  "strong", "code",  "tt",    "br",         "p",  "pre", "ul",
    "ol", "li", "sub", "sup", "a",      "table", "thead", "tbody",      "tr", "th",  "td",
    "h3", "h4", "h5",  "h6",  "dl",     "dt",    "dd",    "blockquote", "hr"};

bool isKept(std::string_view name) {
    return std::find(std::begin(kKeptTags), std::end(kKeptTags), name) != std::end(kKeptTags);
}

// Elements with no content and no closing tag.
bool isVoid(std::string_view name) { return name == "br" || name == "hr"; }

bool isAsciiAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool isAsciiAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// What the browser will make of an attribute value: character references
// decoded (the ones that can hide a scheme), control characters and blanks
// dropped.
std::string decodedAddress(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '&') {
            const size_t length = characterReferenceLength(value, i);
            const char32_t code = length > 0 ? characterReferenceCode(value.substr(i, length)) : 0;
            if (code != 0) {
                if (code > 0x20 && code <= 0x10FFFF) appendUtf8(out, code);
                i += length - 1;
                continue;
            }
        }
        if (static_cast<unsigned char>(c) > 0x20 && c != 0x7F) out += c;
    }
    return out;
}

// True for http, https, mailto and relative addresses; false for "//host"
// and its spellings with backslashes, which leave the site like a scheme.
bool isSafeAddress(std::string_view address) {
    if (isOtherHostAddress(address)) return false;
    const size_t end = address.find_first_of(":/?#");
    if (end == std::string_view::npos || address[end] != ':') return true;  // relative
    const std::string scheme = toLower(address.substr(0, end));
    return scheme == "http" || scheme == "https" || scheme == "mailto";
}

struct Tag {
    bool closing = false;
    std::string name;  // lower case
    std::string href;  // raw value of an href attribute, if any
    bool hasHref = false;
    bool selfClosing = false;  // "<i/>": opens nothing
    size_t start = 0;          // the '<'
    size_t end = 0;            // just past the '>'
};

// Reads the tags of one text. The readers below try a tag at every '<';
// one that holds no '>' (or opens a quote it never closes) would be read to
// the end of the text again and again. Whether a read that reaches a point
// in a given state finds a tag depends only on the text from there on, so
// each read marks the points it passes, and a later read that reaches a
// marked point in the same state stops: the whole text is read about once.
//
// That later read fails, because the callers move on past every tag found
// (tags never overlap) and try the '<'s in the order of the text: only a
// failed read can have marked a point a later one reaches.
class TagReader {
public:
    explicit TagReader(std::string_view text) : m_text(text) {}

    // Reads the tag starting at text[pos] ('<'). False when it is no tag:
    // no letter after "<" or "</", or no '>' before the text ends.
    bool read(size_t pos, Tag& tag) {
        const std::string_view text = m_text;
        tag.start = pos;
        size_t i = pos + 1;
        if (i < text.size() && text[i] == '/') {
            tag.closing = true;
            ++i;
        }
        if (i >= text.size() || !isAsciiAlpha(text[i])) return false;
        const size_t nameStart = i;
        while (i < text.size() && isAsciiAlnum(text[i])) ++i;
        tag.name = toLower(text.substr(nameStart, i - nameStart));
        while (i < text.size()) {
            if (!pass(i, kBetween)) return false;
            while (i < text.size() && (isSpace(text[i]) || text[i] == '/')) ++i;
            if (i >= text.size()) return false;
            if (text[i] == '>') {
                tag.selfClosing = text[i - 1] == '/';
                tag.end = i + 1;
                return true;
            }
            const size_t attrStart = i;
            while (i < text.size() && !isSpace(text[i]) && text[i] != '=' && text[i] != '>' &&
                   text[i] != '/') {
                if (!pass(i, kName)) return false;
                ++i;
            }
            const std::string attr = toLower(text.substr(attrStart, i - attrStart));
            while (i < text.size() && isSpace(text[i])) ++i;
            std::string_view value;
            if (i < text.size() && text[i] == '=') {
                ++i;
                while (i < text.size() && isSpace(text[i])) ++i;
                if (i >= text.size()) return false;
                if (text[i] == '"' || text[i] == '\'') {
                    if (!pass(i, kQuoted)) return false;
                    const size_t close = text.find(text[i], i + 1);
                    if (close == std::string_view::npos) return false;
                    value = text.substr(i + 1, close - i - 1);
                    i = close + 1;
                } else {
                    const size_t valueStart = i;
                    while (i < text.size() && !isSpace(text[i]) && text[i] != '>') {
                        if (!pass(i, kValue)) return false;
                        ++i;
                    }
                    value = text.substr(valueStart, i - valueStart);
                }
            }
            if (attr == "href" && !tag.hasHref) {
                tag.hasHref = true;
                tag.href = std::string(value);
            }
            if (attrStart == i) ++i;  // a stray character: never loop on it
        }
        return false;
    }

private:
    // The states a read can be in at a point: before an attribute, in its
    // name, in a value without quotes, at a quote that opens a value. The
    // same point in another state may still lead to a tag.
    enum : uint8_t { kBetween = 1, kName = 2, kValue = 4, kQuoted = 8 };

    // Marks pos as passed in state; false when a read passed it so before.
    bool pass(size_t pos, uint8_t state) {
        if (m_marks.empty()) m_marks.resize(m_text.size());
        if (m_marks[pos] & state) return false;
        m_marks[pos] |= state;
        return true;
    }

    std::string_view m_text;
    std::vector<uint8_t> m_marks;  // per byte of the text: the states a read passed it in
};

// A link into the site itself: no scheme, not "//host" (nor "\\host",
// "/\host"), not "#here".
bool isRelativeAddress(std::string_view address) {
    if (address.empty() || address[0] == '#' || isOtherHostAddress(address)) return false;
    const size_t end = address.find_first_of(":/?#");
    return end == std::string_view::npos || address[end] != ':';
}

class Sanitizer {
public:
    explicit Sanitizer(const RelativeLinks& relative) : m_relative(relative) {}

    std::string run(std::string_view text) {
        TagReader tags(text);
        size_t i = 0;
        while (i < text.size()) {
            const char c = text[i];
            if (c == '<') {
                Tag tag;
                if (tags.read(i, tag)) {
                    i = handleTag(text, tag);
                    continue;
                }
                m_out += textEntity(c);
            } else if (c == '>') {
                m_out += textEntity(c);
            } else if (c == '&') {
                const size_t length = characterReferenceLength(text, i);
                if (length == 0) {
                    m_out += textEntity(c);
                } else {
                    m_out.append(text.substr(i, length));
                    i += length;
                    continue;
                }
            } else if ((c == '\r' || c == '\n') && inPre()) {
                // An example keeps its lines as written.
                if (c == '\n') m_out += '\n';
            } else if (c == '\r' || c == '\n') {
                // A run of line breaks (and the blanks between them) is a
                // paragraph mark; at either end of the text it is dropped.
                size_t next = i;
                while (next < text.size() && isSpace(text[next])) ++next;
                if (!m_out.empty() && next < text.size()) {
                    closeAll();
                    m_out += "<P>";
                }
                i = next;
                continue;
            } else {
                m_out += c;
            }
            ++i;
        }
        closeAll();
        return std::move(m_out);
    }

private:
    // Writes the tag (or its escaped text) and returns where to go on.
    size_t handleTag(std::string_view text, const Tag& tag) {
        if (tag.name == "script") {
            if (tag.closing) return tag.end;
            // The element and everything in it go; an unclosed one takes the rest.
            for (size_t close = text.find("</", tag.end); close != std::string_view::npos;
                 close = text.find("</", close + 2)) {
                if (!equalsIgnoreCase(text.substr(close + 2, 6), "script")) continue;
                const size_t gt = text.find('>', close);
                return gt == std::string_view::npos ? text.size() : gt + 1;
            }
            return text.size();
        }
        if (!isKept(tag.name)) {
            // Shown as the text it is.
            m_out += escaped(text.substr(tag.start, tag.end - tag.start)).str();
            return tag.end;
        }
        if (tag.closing) {
            if (m_openCount[tag.name] == 0) return tag.end;  // nothing to close
            while (m_open.back() != tag.name) closeLast();
            closeLast();
            return tag.end;
        }
        if (isVoid(tag.name)) {
            m_out += "<" + tag.name + ">";
            return tag.end;
        }
        if (tag.selfClosing) return tag.end;  // "<i/>" would open for the rest of the page
        if (tag.name == "a") {
            std::string address = decodedAddress(tag.href);
            if (m_relative && isRelativeAddress(address) && isSafeAddress(address))
                address = m_relative(address);
            if (tag.hasHref && !address.empty() && isSafeAddress(address))
                m_out += "<a href=\"" + attribute(address).str() + "\">";
            else
                m_out += "<a>";
        } else {
            m_out += "<" + tag.name + ">";
        }
        m_open.push_back(tag.name);
        ++m_openCount[tag.name];
        return tag.end;
    }

    void closeLast() {
        m_out += "</" + m_open.back() + ">";
        --m_openCount[m_open.back()];
        m_open.pop_back();
    }

    void closeAll() {
        while (!m_open.empty()) closeLast();
    }

    bool inPre() { return m_openCount["pre"] > 0; }

    const RelativeLinks& m_relative;
    std::string m_out;
    std::vector<std::string> m_open;  // kept tags opened and not yet closed
    // How many of each name m_open holds: an author may leave a million
    // tags open, and every closing tag and line break asks.
    std::unordered_map<std::string, size_t> m_openCount;
};

}  // namespace

std::string sanitizeAuthorHtml(std::string_view text, const RelativeLinks& relative) {
    return Sanitizer(relative).run(text);
}

std::vector<std::string> relativeAuthorLinks(std::string_view text) {
    std::vector<std::string> addresses;
    TagReader tags(text);
    for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        Tag tag;
        if (!tags.read(at, tag)) continue;
        at = tag.end - 1;  // a '<' inside the tag starts none, as for the gate
        if (tag.closing || tag.name != "a" || !tag.hasHref) continue;
        std::string address = decodedAddress(tag.href);
        if ((isRelativeAddress(address) && isSafeAddress(address)) || isOtherHostAddress(address))
            addresses.push_back(std::move(address));
    }
    return addresses;
}

bool isOtherHostAddress(std::string_view address) {
    return address.size() >= 2 && (address[0] == '/' || address[0] == '\\') &&
           (address[1] == '/' || address[1] == '\\');
}

namespace {

// Whether the full stop at dot ends a known abbreviation ("e.g.", "etc."):
// the word before it (dots inside it kept) is one of them, ignoring case.
bool endsAbbreviation(std::string_view text, size_t dot) {
    static constexpr std::string_view kAbbreviations[] = {"e.g", "i.e",  "etc",  "vs",  "approx",
                                                          "cf",  "incl", "resp", "z.B", "d.h",
                                                          "bzw", "usw",  "ca"};
    size_t start = dot;
    while (start > 0 &&
           (std::isalpha(static_cast<unsigned char>(text[start - 1])) || text[start - 1] == '.'))
        --start;
    const std::string word = toLower(text.substr(start, dot - start));
    return std::any_of(std::begin(kAbbreviations), std::end(kAbbreviations),
                       [&](std::string_view a) { return toLower(a) == word; });
}

}  // namespace

std::string firstSentence(std::string_view text) {
    static constexpr std::string_view kBlocks[] = {"table", "pre", "ul", "ol", "dl",         "p",
                                                   "h3",    "h4",  "h5", "h6", "blockquote", "hr"};
    bool seen = false;    // visible text before
    int parentheses = 0;  // open "(" before: a sentence never ends inside them
    TagReader tags(text);
    size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<') {
            Tag tag;
            if (tags.read(i, tag)) {
                if (seen && !tag.closing &&
                    std::find(std::begin(kBlocks), std::end(kBlocks), tag.name) !=
                        std::end(kBlocks))
                    break;
                i = tag.end - 1;
                continue;
            }
        }
        if (c == '\r' || c == '\n') {
            if (seen) break;
            continue;
        }
        if (c == '(') ++parentheses;
        if (c == ')' && parentheses > 0) --parentheses;
        if ((c == '.' || c == '!' || c == '?') && seen && parentheses == 0 && i + 1 < text.size() &&
            isSpace(text[i + 1]) && !(c == '.' && endsAbbreviation(text, i))) {
            size_t next = i + 1;
            while (next < text.size() && (text[next] == ' ' || text[next] == '\t')) ++next;
            // "e.g. the": no lower-case word starts a sentence.
            if (next == text.size() || !std::islower(static_cast<unsigned char>(text[next]))) {
                ++i;
                break;
            }
        }
        if (!isSpace(c)) seen = true;
    }
    return std::string(trimSpaces(text.substr(0, i)));
}

}  // namespace tarnwick
