#include "support/TerminalText.h"

#include <cstdio>

namespace tarnwick {

namespace {

void appendHex(std::string& out, const char* prefix, unsigned char c) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%s%02X", prefix, c);
    out += hex;
}

}  // namespace

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
