// SettingsFields: the one table of the yes/no fields of GenerationSettings.
//
// Each row names a field once for every place that offers or reads it: its
// word in a list of the command line and the settings file ("kinds =
// classes,modules"), the box of the settings dialog that shows it, and the
// value a run starts from. The command line's help and its list options,
// the settings file, the dialog, the run's incremental key and the listing
// switches of the module and element kinds all walk this table, so a field
// added here is offered, stored and keyed everywhere at once.
#pragma once

#include <iterator>
#include <string>

#include "generator/settings/GenerationSettings.h"
#include "model/Kinds.h"

namespace tarnwick {

// The lists a field's word belongs to: the command line's options --kinds,
// --members, --scopes and --sections, and the settings file's keys of the
// same names.
enum class FieldList { Kinds, Members, Scopes, Sections };

// Where the settings dialog shows a field's box: the Documentation tab's
// Properties group, or the Includes tab's Files, Visibility and Code groups.
enum class DialogGroup { Properties, Files, Visibility, Code };

struct SettingsField {
    bool GenerationSettings::*flag;
    const char* name;  // the field's name: the dialog's box is "chk" + name
    const char* word;  // its word in its list, lower case: "propertypages"
    FieldList list;
    const char* caption;  // the dialog box's text: "Property Pages"
    DialogGroup group;
    int slot;        // the box's place in its group, from 0
    bool byDefault;  // what a run and the dialog start from
};

// The word of an element or module kind's field is its list name in lower
// case ("enums", "usercontrols"): the listing switches find their fields so.
// In each list the rows stand in the order help texts and files name them.
inline constexpr SettingsField kSettingsFields[] = {
    // flag, name, word, list, caption, dialog group, slot, default
    {&GenerationSettings::Classes, "Classes", "classes", FieldList::Kinds, "Classes",
     DialogGroup::Files, 0, true},
    {&GenerationSettings::Modules, "Modules", "modules", FieldList::Kinds, "Modules",
     DialogGroup::Files, 1, true},
    {&GenerationSettings::Forms, "Forms", "forms", FieldList::Kinds, "Forms", DialogGroup::Files, 2,
     true},
    {&GenerationSettings::PropertyPages, "PropertyPages", "propertypages", FieldList::Kinds,
     "Property Pages", DialogGroup::Files, 4, true},
    {&GenerationSettings::UserControls, "UserControls", "usercontrols", FieldList::Kinds,
     "UserControls", DialogGroup::Files, 3, true},
    {&GenerationSettings::UserDocuments, "UserDocuments", "userdocuments", FieldList::Kinds,
     "User Documents", DialogGroup::Files, 6, true},
    {&GenerationSettings::Designers, "Designers", "designers", FieldList::Kinds, "Designers",
     DialogGroup::Files, 7, true},
    {&GenerationSettings::Implementations, "Implementations", "implementations", FieldList::Members,
     "Implementations", DialogGroup::Code, 0, false},
    {&GenerationSettings::Constants, "Constants", "constants", FieldList::Members, "Constants",
     DialogGroup::Code, 4, true},
    {&GenerationSettings::Enum, "Enum", "enums", FieldList::Members, "Enums", DialogGroup::Code, 6,
     true},
    {&GenerationSettings::Types, "Types", "types", FieldList::Members, "Types", DialogGroup::Code,
     8, true},
    {&GenerationSettings::Declarations, "Declarations", "declarations", FieldList::Members,
     "Declarations", DialogGroup::Code, 2, true},
    {&GenerationSettings::Variables, "Variables", "variables", FieldList::Members, "Variables",
     DialogGroup::Code, 3, true},
    {&GenerationSettings::Events, "Events", "events", FieldList::Members, "Events",
     DialogGroup::Code, 1, true},
    {&GenerationSettings::Functions, "Functions", "functions", FieldList::Members, "Functions",
     DialogGroup::Code, 7, true},
    {&GenerationSettings::Subroutines, "Subroutines", "subroutines", FieldList::Members,
     "Subroutines", DialogGroup::Code, 9, true},
    {&GenerationSettings::Properties, "Properties", "properties", FieldList::Members, "Properties",
     DialogGroup::Code, 5, true},
    {&GenerationSettings::Global, "Global", "global", FieldList::Scopes, "Global",
     DialogGroup::Visibility, 0, true},
    {&GenerationSettings::Public, "Public", "public", FieldList::Scopes, "Public",
     DialogGroup::Visibility, 1, true},
    {&GenerationSettings::Friend, "Friend", "friend", FieldList::Scopes, "Friend",
     DialogGroup::Visibility, 2, true},
    {&GenerationSettings::Private, "Private", "private", FieldList::Scopes, "Private",
     DialogGroup::Visibility, 3, true},
    {&GenerationSettings::Syntax, "Syntax", "syntax", FieldList::Sections, "Syntax",
     DialogGroup::Properties, 1, true},
    {&GenerationSettings::Parameter, "Parameter", "parameters", FieldList::Sections, "Parameter",
     DialogGroup::Properties, 2, true},
    {&GenerationSettings::Return, "Return", "returns", FieldList::Sections, "Return",
     DialogGroup::Properties, 3, true},
    {&GenerationSettings::Source, "Source", "source", FieldList::Sections, "Source",
     DialogGroup::Properties, 4, true},
    {&GenerationSettings::Uml, "Uml", "uml", FieldList::Sections, "UML Model",
     DialogGroup::Properties, 0, true},
    {&GenerationSettings::Libraries, "Libraries", "libraries", FieldList::Sections,
     "Dynamic Link Libraries", DialogGroup::Files, 5, true},
};

// Every yes/no field of GenerationSettings has exactly one row: the struct
// holds the flags and the layout and nothing else, so a flag added there
// without its row fails here.
constexpr bool fieldsComplete() {
    constexpr std::size_t count = std::size(kSettingsFields);
    if (count != sizeof(GenerationSettings) - sizeof(PageLayout)) return false;
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (kSettingsFields[i].flag == kSettingsFields[j].flag ||
                (kSettingsFields[i].group == kSettingsFields[j].group &&
                 kSettingsFields[i].slot == kSettingsFields[j].slot))
                return false;
    return true;
}
static_assert(fieldsComplete());

// "kinds", "members", "scopes", "sections": the option's and the key's name.
constexpr const char* listName(FieldList list) {
    switch (list) {
        case FieldList::Kinds:
            return "kinds";
        case FieldList::Members:
            return "members";
        case FieldList::Scopes:
            return "scopes";
        case FieldList::Sections:
            break;
    }
    return "sections";
}

// True for the list whose empty value would leave the site with nothing
// documented, the kinds: the settings file refuses such a list (one that
// came with a pull request would empty the published site without a word;
// on the command line it is the user's own choice). Without members,
// scopes or sections the listed modules still get their pages.
inline bool emptyListRefused(FieldList list) { return list == FieldList::Kinds; }

// Switches exactly the fields of list whose words text names (splitList,
// letter case ignored) on, the list's other fields off. Returns the first
// unknown word, or empty when all are known.
std::string applyWords(const std::string& text, FieldList list, GenerationSettings& settings);

// "classes, modules, ..." for messages and help.
std::string wordList(FieldList list);

// The words of list whose fields are on, in table order: "public,friend".
std::string wordsOn(FieldList list, const GenerationSettings& settings);

// The field that switches a kind's pages (a module kind) or summary tables
// (an element kind); null for the module kinds without pages.
bool GenerationSettings::*switchOf(ModuleKind kind);
bool GenerationSettings::*switchOf(ElementKind kind);

}  // namespace tarnwick
