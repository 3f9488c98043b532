#include "generator/Listing.h"

#include <cstring>

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

bool isListed(const Element& member, const GenerationSettings& settings) {
    static constexpr struct {
        const char* className;
        bool GenerationSettings::*flag;
    } kKinds[] = {{"CImplementation", &GenerationSettings::Implementations},
                  {"CConstant", &GenerationSettings::Constants},
                  {"CEnum", &GenerationSettings::Enum},
                  {"cType", &GenerationSettings::Types},
                  {"CDeclaration", &GenerationSettings::Declarations},
                  {"CVariable", &GenerationSettings::Variables},
                  {"CEvent", &GenerationSettings::Events},
                  {"CFunction", &GenerationSettings::Functions},
                  {"CSubroutine", &GenerationSettings::Subroutines},
                  {"CProperty", &GenerationSettings::Properties}};
    for (const auto& kind : kKinds)
        if (std::strcmp(member.className(), kind.className) == 0)
            return settings.*kind.flag && scopeListed(member, settings);
    return false;
}

}  // namespace tarnwick
