#include "generator/Timestamp.h"

#include <cerrno>
#include <cstdlib>

#include "support/Text.h"

namespace tarnwick {

std::optional<std::time_t> sourceDateEpoch(bool* invalid) {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (text == nullptr || *text == '\0') return std::nullopt;
    bool digitsOnly = true;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') digitsOnly = false;
    }
    errno = 0;
    char* end = nullptr;
    const long long seconds = digitsOnly ? std::strtoll(text, &end, 10) : 0;
    if (!digitsOnly || errno == ERANGE) {
        if (invalid) *invalid = true;
        return std::nullopt;
    }
    return static_cast<std::time_t>(seconds);
}

std::string formatTimestamp(std::time_t instant, bool utc) {
    std::tm parts{};
    const bool converted =
        utc ? gmtime_r(&instant, &parts) != nullptr : localtime_r(&instant, &parts) != nullptr;
    if (!converted) return {};
    char buffer[128];
    size_t n = std::strftime(buffer, sizeof buffer, "%x %X", &parts);
    std::string text(buffer, n);
    // A locale with an 8-bit character set would put bytes into the pages
    // that are not UTF-8; the numeric form keeps the text safe.
    if (n == 0 || !isValidUtf8(text)) {
        n = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &parts);
        text.assign(buffer, n);
    }
    return text;
}

std::function<std::string()> makeNowFunction() {
    if (const auto fixed = sourceDateEpoch()) {
        const std::string text = formatTimestamp(*fixed, true);
        return [text] { return text; };
    }
    return [] { return formatTimestamp(std::time(nullptr), false); };
}

}  // namespace tarnwick
