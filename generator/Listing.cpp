#include "generator/Listing.h"

#include "model/Scope.h"

namespace tarnwick {

bool scopeListed(const Element& member, const GenerationSettings& settings) {
    if (!member.hasScope()) return true;
    switch (effectiveScope(member)) {
        case scope::Global:
            return settings.Global;
        case scope::Private:
            return settings.Private;
        case scope::Friend:
            return settings.Friend;
        default:
            return settings.Public;
    }
}

bool kindSwitchedOn(ModuleKind kind, const GenerationSettings& settings) {
    switch (kind) {
        case ModuleKind::Form:
            return settings.Forms;
        case ModuleKind::Class:
            return settings.Classes;
        case ModuleKind::Module:
            return settings.Modules;
        case ModuleKind::PropertyPage:
            return settings.PropertyPages;
        case ModuleKind::UserControl:
            return settings.UserControls;
        case ModuleKind::None:
        case ModuleKind::Reference:
        case ModuleKind::Object:
            break;
    }
    return false;
}

bool kindSwitchedOn(ElementKind kind, const GenerationSettings& settings) {
    switch (kind) {
        case ElementKind::Constant:
            return settings.Constants;
        case ElementKind::Declaration:
            return settings.Declarations;
        case ElementKind::Enum:
            return settings.Enum;
        case ElementKind::Event:
            return settings.Events;
        case ElementKind::Function:
            return settings.Functions;
        case ElementKind::Implementation:
            return settings.Implementations;
        case ElementKind::Property:
            return settings.Properties;
        case ElementKind::Subroutine:
            return settings.Subroutines;
        case ElementKind::Type:
            return settings.Types;
        case ElementKind::Variable:
            return settings.Variables;
    }
    return false;
}

bool isListed(const Element& member, const GenerationSettings& settings) {
    return kindSwitchedOn(member.Kind(), settings) && scopeListed(member, settings);
}

}  // namespace tarnwick
