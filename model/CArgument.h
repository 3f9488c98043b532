// CArgument: one parameter of a procedure, and also the return record of a
// procedure (then only DataType and Description are used).
#pragma once

#include <string>

#include "model/ListItem.h"

namespace tarnwick {

class CArgument : public ListItem {
public:
    static constexpr const char* kClassName = "CArgument";
    const char* className() const override { return kClassName; }

    bool isOptional() const { return m_isOptional; }
    void setIsOptional(bool value) { m_isOptional = value; }
    // "ByVal" or "ByRef"
    const std::string& By() const { return m_by; }
    void setBy(std::string value) { m_by = std::move(value); }
    const std::string& Name() const override { return m_name; }
    void setName(std::string value) { m_name = std::move(value); }
    // `default` of the model; the readers leave it empty for parameters.
    const std::string& default_() const { return m_default; }
    void setDefault(std::string value) { m_default = std::move(value); }
    const std::string& DataType() const { return m_dataType; }
    void setDataType(std::string value) { m_dataType = std::move(value); }
    const std::string& Description() const { return m_description; }
    void setDescription(std::string value) { m_description = std::move(value); }

private:
    bool m_isOptional = false;
    std::string m_by;
    std::string m_name;
    std::string m_default;
    std::string m_dataType;
    std::string m_description;
};

}  // namespace tarnwick
