#include "model/FormDesign.h"

#include <charconv>

#include "support/Text.h"

namespace tarnwick {

std::string DesignControl::typeName() const {
    return library.empty() ? className : library + "." + className;
}

const DesignProperty* DesignControl::property(std::string_view wanted) const {
    for (const DesignProperty& p : properties)
        if (equalsIgnoreCase(p.name, wanted)) return &p;
    return nullptr;
}

bool isStoredValue(std::string_view value) {
    if (!value.empty() && value.front() == '$') value.remove_prefix(1);
    if (value.size() < 2 || value.front() != '"') return false;
    const size_t close = value.find('"', 1);
    return close != std::string_view::npos && close + 1 < value.size() && value[close + 1] == ':';
}

std::string DesignControl::text(std::string_view wanted) const {
    const DesignProperty* p = property(wanted);
    if (p == nullptr || isStoredValue(p->value)) return {};
    std::string_view value = p->value;
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::string(value);
    // The designer doubles a quote inside a text, as the language does.
    std::string out;
    value = value.substr(1, value.size() - 2);
    for (size_t i = 0; i < value.size(); ++i) {
        out += value[i];
        if (value[i] == '"' && i + 1 < value.size() && value[i + 1] == '"') ++i;
    }
    return out;
}

std::optional<int64_t> DesignControl::number(std::string_view wanted) const {
    const DesignProperty* p = property(wanted);
    if (p == nullptr) return std::nullopt;
    std::string_view value = trimSpaces(p->value);
    int64_t result = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    // "1200", "-1 'True" and "1200.5" (a single's digits) read; "&H8000000F&" does not.
    if (error != std::errc() || end == value.data()) return std::nullopt;
    return result;
}

bool DesignControl::flag(std::string_view wanted, bool byDefault) const {
    const DesignProperty* p = property(wanted);
    if (p == nullptr) return byDefault;
    if (startsWithIgnoreCase(p->value, "True")) return true;
    if (startsWithIgnoreCase(p->value, "False")) return false;
    const std::optional<int64_t> value = number(wanted);
    return value ? *value != 0 : byDefault;
}

bool DesignControl::isMenu() const {
    return equalsIgnoreCase(className, "Menu") && equalsIgnoreCase(library, "VB");
}

namespace {

const DesignControl* findIn(const DesignControl& parent, std::string_view name) {
    for (const DesignControl& child : parent.children) {
        if (equalsIgnoreCase(child.name, name)) return &child;
        if (const DesignControl* found = findIn(child, name)) return found;
    }
    return nullptr;
}

// The names a module's own events go by: Form_Load, UserControl_Resize.
bool isOwnObject(ModuleKind kind, const FormDesign* design, std::string_view object) {
    if (design != nullptr && !design->empty() && equalsIgnoreCase(design->form.className, object))
        return true;
    switch (kind) {
        case ModuleKind::Form:
            return equalsIgnoreCase(object, "Form") || equalsIgnoreCase(object, "MDIForm");
        case ModuleKind::UserControl:
            return equalsIgnoreCase(object, "UserControl");
        case ModuleKind::PropertyPage:
            return equalsIgnoreCase(object, "PropertyPage");
        case ModuleKind::UserDocument:
            return equalsIgnoreCase(object, "UserDocument");
        case ModuleKind::Designer:
            // A designer's root is typed by its GUID; its code names it by kind.
            for (const char* own :
                 {"DataEnvironment", "DataReport", "AddinInstance", "WebClass", "DHTMLPage"})
                if (equalsIgnoreCase(object, own)) return true;
            return false;
        case ModuleKind::Class:
            return equalsIgnoreCase(object, "Class");
        default:
            return false;
    }
}

}  // namespace

const DesignControl* FormDesign::find(std::string_view name) const { return findIn(form, name); }

std::optional<HandledEvent> handledEvent(const FormDesign* design, ModuleKind kind,
                                         std::string_view routineName) {
    const size_t underscore = routineName.rfind('_');
    if (underscore == std::string_view::npos || underscore == 0 ||
        underscore + 1 == routineName.size())
        return std::nullopt;
    const std::string_view object = routineName.substr(0, underscore);
    HandledEvent handled{nullptr, std::string(object),
                         std::string(routineName.substr(underscore + 1))};
    if (isOwnObject(kind, design, object)) return handled;
    if (design == nullptr) return std::nullopt;
    handled.control = design->find(object);
    if (handled.control == nullptr) return std::nullopt;
    return handled;
}

}  // namespace tarnwick
