// OptionHelp: the help texts of the list options that generate and check share.
//
// Each text is made from the option's word table and the default settings,
// so the help names every word the option accepts and the default it really
// has: "Member kinds to check, comma-separated: implementations, constants,
// ... (default: all but implementations)".
#pragma once

#include <string>
#include <string_view>

#include "cli/Words.h"
#include "generator/settings/GenerationSettings.h"

namespace tarnwick::cli {

// what, then the table's words and the default: the words switched on in the
// default settings ("all", "all but x, y", or the words themselves).
inline std::string listHelp(std::string_view what, const Word* begin, const Word* end) {
    const GenerationSettings defaults = GenerationSettings::dialogDefaults();
    std::string words, on, off;
    for (const Word* w = begin; w != end; ++w) {
        words += (words.empty() ? "" : ", ") + std::string(w->word);
        std::string& list = defaults.*(w->flag) ? on : off;
        list += (list.empty() ? "" : ", ") + std::string(w->word);
    }
    const std::string given = off.empty()              ? std::string("all")
                              : on.empty()             ? std::string("none")
                              : off.size() < on.size() ? "all but " + off
                                                       : on;
    return std::string(what) + ", comma-separated: " + words + " (default: " + given + ")";
}

inline std::string kindsHelp(std::string_view what) {
    return listHelp(what, std::begin(kKindWords), std::end(kKindWords));
}
inline std::string membersHelp(std::string_view what) {
    return listHelp(what, std::begin(kMemberWords), std::end(kMemberWords));
}
inline std::string scopesHelp(std::string_view what) {
    return listHelp(what, std::begin(kScopeWords), std::end(kScopeWords));
}

}  // namespace tarnwick::cli
