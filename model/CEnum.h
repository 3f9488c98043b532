// CEnum: an enumeration; its values are CVariable elements whose default_()
// holds the text after the equals sign.
#pragma once

#include <memory>

#include "model/CVariableList.h"
#include "model/Element.h"

namespace tarnwick {

class CEnum : public Element {
public:
    static constexpr const char* kClassName = "CEnum";
    const char* className() const override { return kClassName; }
    static constexpr ElementKind kKind = ElementKind::Enum;
    ElementKind Kind() const override { return kKind; }

    std::shared_ptr<CVariableList> Variables() const override { return m_variables; }
    // A null list is refused with VbError 13: an enum always has its list.
    void setVariables(std::shared_ptr<CVariableList> list);
    void setVariables(const std::shared_ptr<IIterator>& list);

private:
    std::shared_ptr<CVariableList> m_variables = std::make_shared<CVariableList>();  // never null
};

}  // namespace tarnwick
