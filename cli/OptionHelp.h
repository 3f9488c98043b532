// OptionHelp: the help texts of the options that generate, dump and check
// share, each written once, so an option reads alike in every command.
//
// The list options' texts are made from the table of settings fields, so
// the help names every word the option accepts and the default it really
// has: "Member kinds to check, comma-separated: implementations, constants,
// ... (default: all but implementations)".
#pragma once

#include <string>
#include <string_view>

#include "cli/Words.h"

namespace tarnwick::cli {

inline constexpr const char* kProjectsHelp =
    "The project file (.vbp); a group file (.vbg) or several project files make a group of "
    "projects";
inline constexpr const char* kCodePageHelp =
    "Code page of the project's files (default windows-1252)";
inline constexpr const char* kDefineHelp =
    "A conditional-compilation constant NAME=VALUE (repeatable); wins over the project's "
    "CondComp value of that name";
inline constexpr const char* kSettingsHelp =
    "The settings file to read (default: PROJECT.tarnwick beside the project, when it is there)";
inline constexpr const char* kRegistryHelp =
    "A registry export (.reg) to look type libraries up in (default: $TARNWICK_REGISTRY, then "
    "the Wine prefix's system.reg)";
inline constexpr const char* kTranslationHelp =
    "The translation file (default: Translation.lng beside the program)";

// what the translation section is for, then its choices and default.
inline std::string languageHelp(std::string_view what) {
    return std::string(what) +
           ", Deutsch or English (default: Deutsch when LC_ALL, LC_MESSAGES or LANG starts with "
           "de, else English)";
}

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
