#include "generator/site/Timestamp.h"

#include <cerrno>
#include <cstdlib>

#include "support/Text.h"

namespace tarnwick {

std::optional<std::time_t> fixedTime(std::string_view text, bool* invalid) {
    if (text.empty()) return std::nullopt;
    const std::string digits(text);
    bool digitsOnly = true;
    for (char c : digits) {
        if (c < '0' || c > '9') digitsOnly = false;
    }
    errno = 0;
    char* end = nullptr;
    const long long seconds = digitsOnly ? std::strtoll(digits.c_str(), &end, 10) : 0;
    if (!digitsOnly || errno == ERANGE) {
        if (invalid) *invalid = true;
        return std::nullopt;
    }
    return static_cast<std::time_t>(seconds);
}

std::string formatTimestamp(std::time_t instant, bool utc, std::string_view language) {
    std::tm parts{};
    const bool converted =
        utc ? gmtime_r(&instant, &parts) != nullptr : localtime_r(&instant, &parts) != nullptr;
    if (!converted) return {};
    char buffer[128];
    // A German site shows a German date whatever the builder's locale;
    // every other site the year first, which no reader takes for another
    // day (the locale's "12/07/26" is read three ways).
    const char* format = language == "Deutsch" ? "%d.%m.%Y %H:%M:%S" : "%Y-%m-%d %H:%M";
    size_t n = std::strftime(buffer, sizeof buffer, format, &parts);
    std::string text(buffer, n);
    return text;
}

std::function<std::string()> makeNowFunction(std::string_view fixedTimeText,
                                             std::string_view language) {
    if (const auto fixed = fixedTime(fixedTimeText)) {
        const std::string text = formatTimestamp(*fixed, true, language);
        return [text] { return text; };
    }
    return [language = std::string(language)] {
        return formatTimestamp(std::time(nullptr), false, language);
    };
}

}  // namespace tarnwick
