// FormDesign: what the form designer keeps at the top of a form, user
// control, property page, user document or designer file, above its code:
// the form itself with its properties, and the controls and menu entries
// placed on it, nested as the file nests them (a frame's controls inside
// the frame, a menu's entries inside the menu).
//
// Values are kept as written ("&OK" with its quotes, 1200, -1 'True); the
// helpers below read the few a reader of the site needs. Groups of
// sub-properties (fonts, panels, columns) are not kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Kinds.h"

namespace tarnwick {

// One "Name = value" line of a designer block.
struct DesignProperty {
    std::string name;
    std::string value;  // as written (quotes kept), trailing comment removed
    int32_t line = 0;   // the line in the module file
};

// One "Begin Library.Class Name" ... "End" block: the form, a control or a
// menu entry.
struct DesignControl {
    std::string library;    // "VB", "MSComctlLib", or the project's own name
    std::string className;  // "CommandButton", "Menu", "ctlSpinner"
    std::string name;
    int32_t line = 0;                        // the Begin line in the module file
    std::vector<DesignProperty> properties;  // in file order
    std::vector<DesignControl> children;     // in file order

    // "VB.CommandButton".
    std::string typeName() const;
    // The property of that name (any case), or nullptr.
    const DesignProperty* property(std::string_view name) const;
    // A text property with its quotes removed ("" when absent or when the
    // value is kept in the binary side file).
    std::string text(std::string_view name) const;
    // A number property ("1200", "-1"); nothing when absent or not a number.
    std::optional<int64_t> number(std::string_view name) const;
    // A True/False property (-1/0, True/False) or its default.
    bool flag(std::string_view name, bool byDefault) const;
    // The index within a control array; nothing for a single control.
    std::optional<int64_t> index() const { return number("Index"); }
    bool isMenu() const;
};

// A value stored in the .frx/.ctx side file ("frmMain.frx":0000,
// $"frmMain.frx":01A2): noted, never read.
bool isStoredValue(std::string_view value);

struct FormDesign {
    DesignControl form;  // className empty when the file has no designer block

    bool empty() const { return form.className.empty(); }
    // The first control or menu entry of that name (any case) at any depth,
    // or nullptr; the members of a control array share one name.
    const DesignControl* find(std::string_view name) const;
};

// What a routine named "object_Event" handles: a control or menu entry of
// the module's design (control set) or the module's own object ("Form",
// "MDIForm", "UserControl", "PropertyPage", "UserDocument", a designer's
// "DataEnvironment" or "DataReport"; control null).
struct HandledEvent {
    const DesignControl* control = nullptr;
    std::string object;  // the name as the routine spells it
    std::string event;
};

// The event a routine of a module of that kind handles, by its name alone;
// nothing when the part before the last underscore names neither a control
// of the design nor the module's own object.
std::optional<HandledEvent> handledEvent(const FormDesign* design, ModuleKind kind,
                                         std::string_view routineName);

}  // namespace tarnwick
