// CDeclaration: an external procedure declared with a Declare statement.
#pragma once

#include <string>

#include "model/Procedure.h"

namespace tarnwick {

class CDeclaration : public ReturningProcedure {
public:
    static constexpr const char* kClassName = "CDeclaration";
    const char* className() const override { return kClassName; }
    static constexpr ElementKind kKind = ElementKind::Declaration;
    ElementKind Kind() const override { return kKind; }

    // The library and the entry point named by the statement ("kernel32",
    // "GetTickCount"), without their quotes; empty when not written.
    const std::string& Lib() const { return m_lib; }
    void setLib(std::string value) { m_lib = std::move(value); }
    const std::string& Alias() const { return m_alias; }
    void setAlias(std::string value) { m_alias = std::move(value); }

private:
    std::string m_lib;
    std::string m_alias;
};

}  // namespace tarnwick
