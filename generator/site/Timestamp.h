// Timestamp: the {now} text written into every generated page.
//
// Normally the local time, in the site language's form: German
// "14.11.2023 22:13:20", every other language "2023-11-14 22:13", forms no
// reader mistakes for another day.
// When the run is given a fixed time (the front ends take it from
// SOURCE_DATE_EPOCH) as a whole number of seconds, that instant in UTC is
// used instead, so two runs over the same project give identical sites.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// A fixed time's text as seconds, or nullopt when it is empty. A text that is
// not a non-negative whole number is ignored (nullopt) and, when invalid is
// given, *invalid is set to true.
std::optional<std::time_t> fixedTime(std::string_view text, bool* invalid = nullptr);

// The instant in UTC when utc is true, else in local time. language: the
// site's translation section; "Deutsch" writes the German form
// ("14.11.2023 22:13:20"), any other "2023-11-14 22:13".
std::string formatTimestamp(std::time_t instant, bool utc, std::string_view language = {});

// The {now} function of a run: each call gives the fixed time (UTC) when
// fixedTimeText holds one, else the current local time.
std::function<std::string()> makeNowFunction(std::string_view fixedTimeText,
                                             std::string_view language = {});

}  // namespace tarnwick
