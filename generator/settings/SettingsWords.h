// The word lists of the options --kinds, --members, --scopes and
// --sections, shared by the command line and the settings file: each word
// switches one flag of GenerationSettings.
#pragma once

#include <string>
#include <vector>

#include "generator/settings/GenerationSettings.h"

namespace tarnwick {

struct Word {
    const char* word;
    bool GenerationSettings::*flag;
};

inline constexpr Word kKindWords[] = {{"classes", &GenerationSettings::Classes},
                                      {"modules", &GenerationSettings::Modules},
                                      {"forms", &GenerationSettings::Forms},
                                      {"propertypages", &GenerationSettings::PropertyPages},
                                      {"usercontrols", &GenerationSettings::UserControls}};

inline constexpr Word kMemberWords[] = {{"implementations", &GenerationSettings::Implementations},
                                        {"constants", &GenerationSettings::Constants},
                                        {"enums", &GenerationSettings::Enum},
                                        {"types", &GenerationSettings::Types},
                                        {"declarations", &GenerationSettings::Declarations},
                                        {"variables", &GenerationSettings::Variables},
                                        {"events", &GenerationSettings::Events},
                                        {"functions", &GenerationSettings::Functions},
                                        {"subroutines", &GenerationSettings::Subroutines},
                                        {"properties", &GenerationSettings::Properties}};

inline constexpr Word kScopeWords[] = {{"global", &GenerationSettings::Global},
                                       {"public", &GenerationSettings::Public},
                                       {"friend", &GenerationSettings::Friend},
                                       {"private", &GenerationSettings::Private}};

inline constexpr Word kSectionWords[] = {
    {"syntax", &GenerationSettings::Syntax},  {"parameters", &GenerationSettings::Parameter},
    {"returns", &GenerationSettings::Return}, {"source", &GenerationSettings::Source},
    {"uml", &GenerationSettings::Uml},        {"libraries", &GenerationSettings::Libraries}};

// True for the table whose empty list would leave the site with nothing
// documented, the kinds: the settings file refuses such a list (one that
// came with a pull request would empty the published site without a word;
// on the command line it is the user's own choice). Without members,
// scopes or sections the listed modules still get their pages.
inline bool emptyListRefused(const Word* table) { return table == std::begin(kKindWords); }

// Switches exactly the words of list (splitList, letter case ignored) of
// the table on (its other words off).
// Returns the first unknown word, or empty when all are known.
std::string applyWords(const std::string& list, const Word* begin, const Word* end,
                       GenerationSettings& settings);
template <size_t N>
std::string applyWords(const std::string& list, const Word (&table)[N],
                       GenerationSettings& settings) {
    return applyWords(list, table, table + N, settings);
}

// "classes, modules, ..." for messages.
std::string wordList(const Word* begin, const Word* end);

// The words of the table whose flags are on, in table order: "public,friend".
std::string wordsOn(const Word* begin, const Word* end, const GenerationSettings& settings);

}  // namespace tarnwick
