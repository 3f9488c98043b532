// CConstant: a module-level Const. The readers leave DataType empty.
#pragma once

#include "model/Element.h"

namespace tarnwick {

class CConstant : public Element {
public:
    static constexpr const char* kClassName = "CConstant";
    const char* className() const override { return kClassName; }
    static constexpr ElementKind kKind = ElementKind::Constant;
    ElementKind Kind() const override { return kKind; }

    const std::string& DataType() const override { return m_dataType; }
    void setDataType(std::string value) { m_dataType = std::move(value); }

private:
    std::string m_dataType;
};

}  // namespace tarnwick
