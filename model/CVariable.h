// CVariable: a module-level variable, a member of a Type or a value of an Enum.
// IsNew is the text "True" or "False" once parsed; default_() holds an enum
// value's text after its equals sign.
#pragma once

#include "model/Element.h"

namespace tarnwick {

class CVariable : public Element {
public:
    static constexpr const char* kClassName = "CVariable";
    const char* className() const override { return kClassName; }
    static constexpr ElementKind kKind = ElementKind::Variable;
    ElementKind Kind() const override { return kKind; }

    const std::string& IsNew() const { return m_isNew; }
    void setIsNew(std::string value) { m_isNew = std::move(value); }
    const std::string& DataType() const override { return m_dataType; }
    void setDataType(std::string value) { m_dataType = std::move(value); }
    const std::string& default_() const { return m_default; }
    void setDefault(std::string value) { m_default = std::move(value); }

private:
    std::string m_isNew;
    std::string m_dataType;
    std::string m_default;
};

}  // namespace tarnwick
