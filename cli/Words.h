// The word lists of the command line's options (--kinds, --members,
// --scopes): each word switches one flag of GenerationSettings.
#pragma once

#include <string>
#include <vector>

#include "generator/GenerationSettings.h"

namespace tarnwick::cli {

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

// The comma-separated words of list, trimmed, in lower case, empty ones left out.
std::vector<std::string> splitWords(const std::string& list);

// Switches exactly the listed words of the table on (its other words off).
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

}  // namespace tarnwick::cli
