#include "support/Text.h"

#include <utf8proc.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tarnwick {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// A byte that is not part of a valid UTF-8 sequence compares as a value
// above every code point, distinct per byte, so two different invalid bytes
// never compare equal.
constexpr char32_t kInvalidBase = 0x110000;

// Decodes at pos; on an invalid sequence (overlong forms and UTF-16
// surrogates included) returns kInvalidBase + byte with length 1.
char32_t decodeOrByte(std::string_view text, size_t pos, size_t& length) {
    const auto b0 = static_cast<unsigned char>(text[pos]);
    length = 1;
    if (b0 < 0x80) return b0;
    utf8proc_int32_t c = -1;
    const utf8proc_ssize_t n =
        utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + pos),
                         static_cast<utf8proc_ssize_t>(text.size() - pos), &c);
    if (n <= 0 || c < 0) return kInvalidBase + b0;
    length = static_cast<size_t>(n);
    return static_cast<char32_t>(c);
}

template <typename Transform>
std::string mapCase(std::string_view text, Transform transform) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(transform(char32_t(b))));
            ++i;
            continue;
        }
        size_t length = 0;
        const char32_t c = decodeOrByte(text, i, length);
        if (c >= kInvalidBase)
            out.push_back(text[i]);  // keep bytes that are not UTF-8 as they are
        else
            appendUtf8(out, transform(c));
        i += length;
    }
    return out;
}

}  // namespace

// One code point to one code point, from the Unicode tables. Sharp s stays
// as it is, as Windows keeps it: its capital is a rare newer letter.
char32_t toUpper(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c > 0x10FFFF || c == 0xDF) return c;
    return static_cast<char32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(c)));
}

char32_t toLower(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c > 0x10FFFF) return c;
    return static_cast<char32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(c)));
}

// Names are mostly ASCII: such a text is mapped in place, a byte at a time.
std::string toUpper(std::string_view text) {
    if (asciiRunEnd(text, 0) == text.size()) {
        std::string out(text);
        for (char& c : out)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        return out;
    }
    return mapCase(text, [](char32_t c) { return toUpper(c); });
}

std::string toLower(std::string_view text) {
    if (asciiRunEnd(text, 0) == text.size()) {
        std::string out(text);
        for (char& c : out)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        return out;
    }
    return mapCase(text, [](char32_t c) { return toLower(c); });
}

namespace {

// The character at pos upper-cased (a byte that is no UTF-8 stays itself),
// pos moved past it.
char32_t nextFolded(std::string_view text, size_t& pos) {
    size_t length = 0;
    const char32_t c = decodeOrByte(text, pos, length);
    pos += length;
    return c < kInvalidBase ? toUpper(c) : c;
}

}  // namespace

int compareIgnoreCase(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ba = static_cast<unsigned char>(a[i]);
        const auto bb = static_cast<unsigned char>(b[j]);
        if (ba < 0x80 && bb < 0x80) {
            // Names are mostly ASCII: no decoding, no table.
            const int ua = ba >= 'a' && ba <= 'z' ? ba - 32 : ba;
            const int ub = bb >= 'a' && bb <= 'z' ? bb - 32 : bb;
            if (ua != ub) return ua < ub ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        const char32_t ca = nextFolded(a, i);
        const char32_t cb = nextFolded(b, j);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return compareIgnoreCase(a, b) == 0;
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    // Folding may change the byte length of a character (dotless i is two
    // bytes, I one), so walk both texts character by character.
    size_t i = 0;
    size_t j = 0;
    while (j < prefix.size()) {
        if (i >= text.size()) return false;
        if (nextFolded(text, i) != nextFolded(prefix, j)) return false;
    }
    return true;
}

bool endsWithIgnoreCase(std::string_view text, std::string_view suffix) {
    // Upper-cased texts are compared byte-wise; a match of a whole UTF-8
    // suffix starts at a character boundary of the folded text.
    return endsWith(toUpper(text), toUpper(suffix));
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string_view ltrimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view rtrimSpaces(std::string_view text) {
    const size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view trimSpaces(std::string_view text) { return rtrimSpaces(ltrimSpaces(text)); }

std::string_view trimBlanks(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    size_t end = text.size();
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.substr(begin, end - begin);
}

std::vector<std::string> splitList(std::string_view list) {
    std::vector<std::string> items;
    for (size_t start = 0; start <= list.size();) {
        size_t comma = list.find(',', start);
        if (comma == std::string_view::npos) comma = list.size();
        const std::string_view item = trimBlanks(list.substr(start, comma - start));
        if (!item.empty()) items.emplace_back(item);
        start = comma + 1;
    }
    return items;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

namespace {

// Knuth-Morris-Pratt search: linear in text plus pattern for any input.
std::vector<size_t> failureTable(std::string_view pattern) {
    std::vector<size_t> fail(pattern.size(), 0);
    size_t k = 0;
    for (size_t i = 1; i < pattern.size(); ++i) {
        while (k > 0 && pattern[i] != pattern[k]) k = fail[k - 1];
        if (pattern[i] == pattern[k]) ++k;
        fail[i] = k;
    }
    return fail;
}

}  // namespace

std::string_view nextLine(std::string_view text, size_t& pos, LineEnd end) {
    const size_t start = pos;
    const char wanted = end == LineEnd::CrLf ? '\r' : '\n';
    // memchr finds the candidates: a module is megabytes of text.
    for (size_t from = start; from < text.size();) {
        const void* hit = std::memchr(text.data() + from, wanted, text.size() - from);
        if (!hit) break;
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        if (end == LineEnd::Lf) {
            pos = at + 1;
            return text.substr(start,
                               at > start && text[at - 1] == '\r' ? at - 1 - start : at - start);
        }
        if (at + 1 < text.size() && text[at + 1] == '\n') {
            pos = at + 2;
            return text.substr(start, at - start);
        }
        from = at + 1;
    }
    pos = text.size() + 1;
    std::string_view line = text.substr(start);
    if (end == LineEnd::Lf && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::vector<std::string_view> splitLines(std::string_view text, LineEnd end) {
    std::vector<std::string_view> lines;
    for (size_t pos = 0; pos <= text.size();) lines.push_back(nextLine(text, pos, end));
    return lines;
}

std::string excerpt(std::string_view text, size_t most) {
    if (text.size() <= most) return std::string(text);
    size_t cut = most;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut)) + "...";
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty() || text.size() < from.size()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    // Short patterns: find() is linear with a constant factor of the pattern
    // length. Long ones use KMP so that no input can make the scan quadratic.
    constexpr size_t kShortPattern = 16;
    if (from.size() <= kShortPattern) {
        size_t pos = 0;
        for (;;) {
            const size_t hit = text.find(from, pos);
            if (hit == std::string_view::npos) break;
            out.append(text.substr(pos, hit - pos));
            out.append(to);
            pos = hit + from.size();
        }
        out.append(text.substr(pos));
        return out;
    }
    const std::vector<size_t> fail = failureTable(from);
    size_t copied = 0;  // text before this position is in out already
    size_t k = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        while (k > 0 && text[i] != from[k]) k = fail[k - 1];
        if (text[i] == from[k]) ++k;
        if (k == from.size()) {
            const size_t start = i + 1 - from.size();
            out.append(text.substr(copied, start - copied));
            out.append(to);
            copied = i + 1;
            k = 0;  // matches do not overlap
        }
    }
    out.append(text.substr(copied));
    return out;
}

namespace {

// Whether character c (kInvalidBase and up: a byte that is not UTF-8) must
// not stand in a file name; leading: only dots came before it.
bool unsafeInFileName(char32_t c, bool leading) {
    switch (c) {
        case '/':
        case '\\':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
        case '#':
        case '%':
            return true;
        case '.':
            // Leading dots would hide the page ("." and ".." even name a folder).
            return leading;
        default:
            return c >= kInvalidBase || c < 0x20 || c == 0x7F;
    }
}

// '-' and eight hex digits of the FNV-1a hash of the whole name: the same
// name always gets the same suffix, in the page's file name and in every
// link to it.
void appendNameHash(std::string& out, std::string_view name) {
    uint32_t hash = 2166136261u;
    for (const char byte : name) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 16777619u;
    }
    static const char kHex[] = "0123456789abcdef";
    out.push_back('-');
    for (int shift = 28; shift >= 0; shift -= 4) out.push_back(kHex[(hash >> shift) & 0xF]);
}

}  // namespace

std::string safeFileName(std::string_view name) {
    constexpr size_t kMaxBytes = 100;
    constexpr size_t kSuffixBytes = 9;  // '-' and eight hex digits
    std::string out;
    out.reserve(std::min(name.size(), kMaxBytes + 4));
    // Any change makes the name no longer tell itself apart from others
    // ("a/b" and "a\\b" both give "a_b"), so a changed name gets a suffix.
    bool changed = name.empty();
    bool leading = true;  // only dots so far
    size_t cut = 0;       // the longest whole-character prefix that leaves room for a suffix
    size_t i = 0;
    while (i < name.size()) {
        if (out.size() > kMaxBytes) {
            changed = true;  // cut: the rest only goes into the suffix
            break;
        }
        size_t length = 0;
        const char32_t c = decodeOrByte(name, i, length);
        const bool replace = unsafeInFileName(c, leading);
        leading = leading && c == '.';
        if (replace) {
            out.push_back('_');
            changed = true;
        } else {
            out.append(name.substr(i, length));
        }
        if (out.size() <= kMaxBytes - kSuffixBytes) cut = out.size();
        i += length;
    }
    if (!changed && out.size() <= kMaxBytes) return out;
    out.resize(cut);  // never splits a character
    if (out.empty()) out.push_back('_');
    appendNameHash(out, name);
    return out;
}

char32_t decodeUtf8(std::string_view text, size_t pos, size_t& length) {
    if (pos >= text.size()) {
        length = 0;
        return kReplacement;
    }
    const char32_t c = decodeOrByte(text, pos, length);
    return c >= kInvalidBase ? kReplacement : c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
    utf8proc_uint8_t bytes[4];
    const utf8proc_ssize_t n = utf8proc_encode_char(static_cast<utf8proc_int32_t>(c), bytes);
    out.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
}

size_t asciiRunEnd(std::string_view text, size_t from) {
    size_t i = from;
    for (; i + 32 <= text.size(); i += 32) {
        uint64_t words[4];
        std::memcpy(words, text.data() + i, 32);
        if ((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ull) break;
    }
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ull) break;
    }
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i;
}

bool isValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            i = asciiRunEnd(text, i + 1);
            continue;
        }
        size_t length = 0;
        if (decodeOrByte(text, i, length) >= kInvalidBase) return false;
        i += length;
    }
    return true;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() / 2);
    auto unit = [&](size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    size_t i = 0;
    while (i + 1 < bytes.size()) {
        char32_t c = unit(i);
        i += 2;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < bytes.size() && unit(i) >= 0xDC00 &&
            unit(i) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::optional<std::string> decodeUtf16WithBom(std::string_view bytes) {
    if (startsWith(bytes, "\xFF\xFE")) return utf16ToUtf8(bytes.substr(2), false);
    if (startsWith(bytes, "\xFE\xFF")) return utf16ToUtf8(bytes.substr(2), true);
    return std::nullopt;
}

std::string plainVersion(std::string_view version) {
    std::string out;
    size_t start = 0;
    while (true) {
        const size_t dot = version.find('.', start);
        std::string_view part = version.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        bool digits = !part.empty();
        for (char c : part)
            if (!std::isdigit(static_cast<unsigned char>(c))) digits = false;
        if (digits) {
            while (part.size() > 1 && part.front() == '0') part.remove_prefix(1);
        }
        out += part;
        if (dot == std::string_view::npos) break;
        out += '.';
        start = dot + 1;
    }
    return out;
}

}  // namespace tarnwick
