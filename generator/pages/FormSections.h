// FormSections: what a form's overview page says about its design.
//
// The "Controls" section (the picture of the form, then the controls as a
// tree by container: name, type, caption and the events the module
// handles), the "Menus" section (the menu tree with access keys, shortcuts
// and handlers), the line on a handler's page that names the control it
// handles, and the "Used on" section of a project user control. A control
// array is one entry with its indexes. Every entry has the address
// controlAnchor(name), which the picture's boxes and the handlers' pages
// link to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "generator/site/PageContext.h"
#include "generator/site/SiteIndex.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/Element.h"
#include "support/Html.h"

namespace tarnwick {

// The Subs of a module named as handlers of its design: by the lower-case
// name of the control or menu entry; the module's own object ("Form_Load")
// under "". Empty for a module without a design.
struct ControlHandler {
    std::string event;
    const Element* routine = nullptr;  // not owned: the module's
};
using ControlHandlers = std::unordered_map<std::string, std::vector<ControlHandler>>;
ControlHandlers controlHandlers(const CModule& module);

// A menu shortcut as a reader knows it: "^O" -> "Ctrl+O", "{F1}" -> "F1",
// "+^{F4}" -> "Ctrl+Shift+F4", "%{BKSP}" -> "Alt+Backspace"; a value that is
// no shortcut code as written.
std::string shortcutText(std::string_view code);

// The Controls and Menus sections of a module's overview (a form, user
// control, property page); empty for a module without a design.
Html formSections(const CModule& module, const CProject& project, const PageContext& ctx);

// On a handler's page: "Handles the Click event of cmdOK (CommandButton)",
// the control linking to its entry; empty for any other routine.
Html handlesLine(const Element& routine, const CModule& module, const PageContext& ctx);

// On a project user control's overview: the forms, controls and pages that
// place it, each with how often; empty when none does.
Html usedOnSection(const CModule& control, const CProject& project, const PageContext& ctx);

// What the Controls section shows of other modules' code: the routines of
// other modules that name the module's controls or the form, as a key for
// an incremental run (0 for a module without a design).
uint64_t designUsesKey(const CModule& module, const CProject& project);

// How many controls (an array counts once) and menu entries a design has.
struct DesignCounts {
    int controls = 0;
    int menus = 0;
};
DesignCounts designCounts(const FormDesign& design);

// The search finds controls and menu entries: one entry ("Control" or
// "Menu") per control or array of each module entry's design, after the
// entries given, leading to its entry on the module's page; a menu's
// caption (without its access-key marks) is its summary.
std::vector<IndexEntry> withControlEntries(std::vector<IndexEntry> entries);

}  // namespace tarnwick
