#include "support/Escape.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <iterator>

#include "support/Text.h"

namespace tarnwick {

namespace {

// The entities of element text and of an attribute value; the attribute's
// quotes only there.
std::string_view entity(char c, bool quotes) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '"':
            return quotes ? "&quot;" : std::string_view();
        case '\'':
            return quotes ? "&#39;" : std::string_view();
        default:
            return {};
    }
}

std::string entities(std::string_view text, bool quotes) {
    std::string out;
    out.reserve(text.size() + 16);
    // Runs of plain text are copied whole: most names have nothing to escape.
    size_t from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const std::string_view written = entity(text[i], quotes);
        if (written.empty()) continue;
        out.append(text.data() + from, i - from);
        out += written;
        from = i + 1;
    }
    out.append(text.data() + from, text.size() - from);
    return out;
}

bool plainInAddress(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

void appendUrl(std::string& out, std::string_view path, bool fragment, bool& inFragment) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    size_t from = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (plainInAddress(c)) continue;
        out.append(path.data() + from, i - from);
        from = i + 1;
        if (c == '#' && fragment && !inFragment) {
            out += '#';
            inFragment = true;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    out.append(path.data() + from, path.size() - from);
}

// "\uXXXX" for one UTF-16 unit.
void appendUnit(std::string& out, unsigned unit) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

// The bytes a JavaScript string holds as they are: printable ASCII but a
// quote, a backslash and the characters of markup. A table: every byte of a
// site's search indexes is asked about, a group's twice.
constexpr std::array<bool, 256> kJsPlain = [] {
    std::array<bool, 256> plain{};
    for (unsigned c = 0x20; c < 0x7F; ++c)
        plain[c] = c != '"' && c != '\\' && c != '<' && c != '>' && c != '&';
    return plain;
}();

bool jsPlain(unsigned char c) { return kJsPlain[c]; }

// Where the run of plain bytes of text starting at from ends.
size_t jsPlainEnd(std::string_view text, size_t from) {
    while (from < text.size() && kJsPlain[static_cast<unsigned char>(text[from])]) ++from;
    return from;
}

// An ASCII byte of a JavaScript string: as it is, after a backslash, or as a
// unit escape.
void appendJsAscii(std::string& out, unsigned char c) {
    if (jsPlain(c)) {
        out += static_cast<char>(c);
    } else if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
    } else {
        appendUnit(out, c);
    }
}

}  // namespace

Html escaped(std::string_view text) { return Html::trusted(entities(text, false)); }

Html attribute(std::string_view text) { return Html::trusted(entities(text, true)); }

Html url(std::string_view path, bool fragment) {
    std::string out;
    out.reserve(path.size() + 8);
    bool inFragment = false;
    appendUrl(out, path, fragment, inFragment);
    return Html::trusted(std::move(out));
}

Html link(std::string_view prefix, std::string_view page, std::string_view text) {
    std::string out;
    out.reserve(prefix.size() + page.size() + text.size() + 16);
    out += "<A href=\"";
    bool inFragment = false;
    appendUrl(out, prefix, true, inFragment);
    appendUrl(out, page, true, inFragment);
    out += "\">";
    out += entities(text, false);
    out += "</A>";
    return Html::trusted(std::move(out));
}

Html number(long long value) { return Html::trusted(std::to_string(value)); }

std::string_view textEntity(char c) { return entity(c, false); }

Html characterReference(char32_t c) {
    return Html::trusted("&#" + std::to_string(static_cast<uint32_t>(c)) + ";");
}

size_t characterReferenceLength(std::string_view text, size_t pos) {
    const auto isDigit = [](char c, bool hex) {
        return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                   : std::isdigit(static_cast<unsigned char>(c)) != 0;
    };
    size_t i = pos + 1;
    if (i < text.size() && text[i] == '#') {
        ++i;
        const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        if (hex) ++i;
        const size_t digits = i;
        while (i < text.size() && i - digits < 8 && isDigit(text[i], hex)) ++i;
        if (i == digits) return 0;
    } else {
        const size_t letters = i;
        if (i >= text.size() || !std::isalpha(static_cast<unsigned char>(text[i]))) return 0;
        while (i < text.size() && i - letters < 32 &&
               std::isalnum(static_cast<unsigned char>(text[i])))
            ++i;
    }
    return i < text.size() && text[i] == ';' ? i + 1 - pos : 0;
}

char32_t characterReferenceCode(std::string_view reference) {
    const std::string_view inner = reference.substr(1, reference.size() - 2);
    if (!inner.empty() && inner[0] == '#') {
        const bool hex = inner.size() > 1 && (inner[1] == 'x' || inner[1] == 'X');
        return static_cast<char32_t>(
            std::stoul(std::string(inner.substr(hex ? 2 : 1)), nullptr, hex ? 16 : 10));
    }
    static constexpr struct {
        std::string_view name;
        char32_t code;
    } kNames[] = {{"amp", '&'},   {"lt", '<'},  {"gt", '>'},   {"quot", '"'},    {"nbsp", 0xA0},
                  {"colon", ':'}, {"sol", '/'}, {"tab", '\t'}, {"newline", '\n'}};
    const std::string name = toLower(inner);
    for (const auto& known : kNames)
        if (name == known.name) return known.code;
    return 0;
}

std::string decodeCharacterReferences(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t length = text[i] == '&' ? characterReferenceLength(text, i) : 0;
        const char32_t code = length > 0 ? characterReferenceCode(text.substr(i, length)) : 0;
        if (code == 0 || code > 0x10FFFF) {
            out += text[i];
            continue;
        }
        appendUtf8(out, code);
        i += length - 1;
    }
    return out;
}

Html codeText(std::string_view text) {
    Html out;
    appendCodeText(out, text);
    return out;
}

void appendCodeText(Html& out, std::string_view text) {
    // Room for every reference at once: a giant line is not moved as it grows.
    size_t references = 0;
    for (const char c : text) references += c == '&' || c == '<' || c == '>';
    std::string& markup = out.m_text;
    markup.reserve(markup.size() + text.size() + 4 * references);
    size_t from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '&' && c != '<' && c != '>') continue;
        markup.append(text, from, i - from);
        markup += c == '&' ? "&#38;" : c == '<' ? "&#60;" : "&#62;";
        from = i + 1;
    }
    markup.append(text, from);
}

Script jsString(std::string_view utf8) {
    Script script;
    script.m_text.reserve(utf8.size() + 2);
    appendJsString(script, utf8);
    return script;
}

void appendJsString(Script& script, std::string_view utf8) {
    std::string& out = script.m_text;
    out += '"';
    // Runs of bytes that stand as they are are copied whole.
    for (size_t i = 0; i < utf8.size();) {
        const size_t run = jsPlainEnd(utf8, i);
        out.append(utf8.data() + i, run - i);
        i = run;
        if (i == utf8.size()) break;
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            appendJsAscii(out, c);
            ++i;
            continue;
        }
        size_t length = 0;
        const char32_t code = decodeUtf8(utf8, i, length);
        i += length == 0 ? 1 : length;
        if (code >= 0x10000) {
            const char32_t v = code - 0x10000;
            appendUnit(out, 0xD800 + (v >> 10));
            appendUnit(out, 0xDC00 + (v & 0x3FF));
        } else {
            appendUnit(out, static_cast<unsigned>(code));
        }
    }
    out += '"';
}

Script jsNumber(long long value) {
    Script script;
    appendJsNumber(script, value);
    return script;
}

void appendJsNumber(Script& script, long long value) {
    char digits[24];
    const char* end = std::to_chars(digits, std::end(digits), value).ptr;
    script.m_text.append(digits, static_cast<size_t>(end - digits));
}

bool isJsLiterals(std::string_view text) {
    const auto isHex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    size_t i = 0;
    while (i < text.size()) {
        if (text.substr(i, 2) != ",\"") return false;
        for (i += 2;; ++i) {
            i = jsPlainEnd(text, i);
            if (i >= text.size()) return false;
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == '"') break;
            if (c != '\\' || i + 1 >= text.size()) return false;
            const char escape = text[++i];
            if (escape == 'u') {
                if (i + 4 >= text.size() ||
                    !std::all_of(text.begin() + static_cast<long>(i) + 1,
                                 text.begin() + static_cast<long>(i) + 5, isHex))
                    return false;
                i += 4;
            } else if (escape != '"' && escape != '\\') {
                return false;
            }
        }
        ++i;
    }
    return !text.empty();
}

bool appendJsLiterals(Script& script, std::string_view text) {
    if (!isJsLiterals(text)) return false;
    script.m_text += text;
    return true;
}

Html inlineScript(const Script& script) { return Html::trusted(script.str()); }

}  // namespace tarnwick
