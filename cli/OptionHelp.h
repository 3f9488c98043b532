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

namespace tarnwick::cli {

// what, then the list's words and the default: the words switched on in the
// default settings ("all", "all but x, y", or the words themselves).
inline std::string listHelp(std::string_view what, FieldList fields) {
    std::string words, on, off;
    for (const SettingsField& field : kSettingsFields) {
        if (field.list != fields) continue;
        words += (words.empty() ? "" : ", ") + std::string(field.word);
        std::string& list = field.byDefault ? on : off;
        list += (list.empty() ? "" : ", ") + std::string(field.word);
    }
    const std::string given = off.empty()              ? std::string("all")
                              : on.empty()             ? std::string("none")
                              : off.size() < on.size() ? "all but " + off
                                                       : on;
    return std::string(what) + ", comma-separated: " + words + " (default: " + given + ")";
}

inline std::string kindsHelp(std::string_view what) { return listHelp(what, FieldList::Kinds); }
inline std::string membersHelp(std::string_view what) { return listHelp(what, FieldList::Members); }
inline std::string scopesHelp(std::string_view what) { return listHelp(what, FieldList::Scopes); }

}  // namespace tarnwick::cli
