#include "support/Html.h"

#include <cstdio>

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
