// ListItem is what the model's lists hold: a module, a code element or an
// argument. Every item answers its class name (what messages and the model's
// dump call it; behaviour goes by Element::Kind, not by this name) and its
// Name (the lists look items up by it, ignoring case).
#pragma once

#include <string>

namespace tarnwick {

class ListItem {
public:
    virtual ~ListItem() = default;
    // The class name exactly as the model spells it: "CFunction", "cType", "CModule", ...
    virtual const char* className() const = 0;
    virtual const std::string& Name() const = 0;
};

}  // namespace tarnwick
