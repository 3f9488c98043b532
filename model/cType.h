// cType: a user-defined Type. Its member list is absent (nullptr) until the
// type parser assigns one: code that reads Variables() must expect nullptr.
#pragma once

#include <memory>

#include "model/CVariableList.h"
#include "model/Element.h"

namespace tarnwick {

class cType : public Element {
public:
    static constexpr const char* kClassName = "cType";
    const char* className() const override { return kClassName; }
    static constexpr ElementKind kKind = ElementKind::Type;
    ElementKind Kind() const override { return kKind; }

    std::shared_ptr<CVariableList> Variables() const override { return m_variables; }
    void setVariables(std::shared_ptr<CVariableList> list) { m_variables = std::move(list); }
    // Requires a CVariableList; anything else throws VbError 13 and changes nothing.
    void setVariables(const std::shared_ptr<IIterator>& list);

private:
    std::shared_ptr<CVariableList> m_variables;  // null until assigned
};

}  // namespace tarnwick
