// GenerationSettings: the yes/no options of a documentation run.
//
// Which module kinds get pages (Classes, Modules, Forms, PropertyPages,
// UserControls, UserDocuments, Designers), which element kinds get a summary section on a module
// page (Events ... Declarations; Enum is the enums' flag), which scopes' members are documented at
// all (Global, Public, Friend, Private; see Listing.h), which sections member pages carry (Syntax,
// Parameter, Return, Source), whether modules get a UML page (Uml) and whether the project summary
// lists the referenced libraries and controls (Libraries), and which page frame the site is written
// in (layout).
#pragma once

#include <optional>
#include <string_view>

namespace tarnwick {

// The page frame of a site. Frames: the frameset start page with the module
// list beside the detail pages, each page a bare HTML 4 page. Modern: every
// page a whole HTML5 page with a header, a navigation tree, breadcrumbs and a
// footer of its own, readable on a phone. The page bodies are the same.
enum class PageLayout : unsigned char { Frames, Modern };

// "frames", "modern".
constexpr const char* layoutWord(PageLayout layout) {
    return layout == PageLayout::Modern ? "modern" : "frames";
}
// The layout of a word (letter case ignored); nullopt for any other word.
std::optional<PageLayout> layoutOfWord(std::string_view word);

struct GenerationSettings {
    bool Libraries = false;
    bool Modules = false;
    bool Forms = false;
    bool Classes = false;
    bool UserControls = false;
    bool PropertyPages = false;
    bool UserDocuments = false;
    bool Designers = false;
    bool Events = false;
    bool Implementations = false;
    bool Constants = false;
    bool Functions = false;
    bool Subroutines = false;
    bool Properties = false;
    bool Variables = false;
    bool Types = false;
    bool Enum = false;
    bool Declarations = false;
    bool Global = false;
    bool Public = false;
    bool Friend = false;
    bool Private = false;
    bool Uml = false;
    bool Syntax = false;
    bool Parameter = false;
    bool Return = false;
    bool Source = false;
    PageLayout layout = PageLayout::Frames;

    // The settings dialog's initial state once a project is open, and what
    // the CLI starts from: every field at its default in the table of
    // fields (SettingsFields.h), which is every box ticked but
    // Implementations. A new field goes into that table too.
    static GenerationSettings dialogDefaults();

    bool operator==(const GenerationSettings&) const = default;
};

}  // namespace tarnwick
