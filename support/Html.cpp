#include "support/Html.h"

#include <cctype>
#include <cstdio>

#include "support/Text.h"

namespace tarnwick {

namespace {

std::string entities(std::string_view text, bool quotes) {
    std::string out;
    out.reserve(text.size() + 16);
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += quotes ? "&quot;" : "\"";
                break;
            case '\'':
                out += quotes ? "&#39;" : "'";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool plainInAddress(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

void appendHex(std::string& out, const char* prefix, unsigned char c) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%s%02X", prefix, c);
    out += hex;
}

}  // namespace

Html escaped(std::string_view text) { return Html::trusted(entities(text, false)); }

Html attribute(std::string_view text) { return Html::trusted(entities(text, true)); }

Html url(std::string_view path, bool fragment) {
    std::string out;
    out.reserve(path.size() + 8);
    bool inFragment = false;
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (plainInAddress(c)) {
            out += ch;
        } else if (c == '#' && fragment && !inFragment) {
            out += '#';
            inFragment = true;
        } else {
            appendHex(out, "%", c);
        }
    }
    return Html::trusted(std::move(out));
}

Html number(long long value) { return Html::trusted(std::to_string(value)); }

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

std::string terminalSafe(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            if (c == '\t') {
                out += '\t';
                continue;
            }
            appendHex(out, "\\x", c);
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080 to U+009F in UTF-8: the C1 controls (CSI among them).
            appendHex(out, "\\u00", static_cast<unsigned char>(text[++i]));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace tarnwick
