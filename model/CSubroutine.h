// CSubroutine: a Sub procedure.
#pragma once

#include "model/Procedure.h"

namespace tarnwick {

class CSubroutine : public Procedure {
public:
    static constexpr const char* kClassName = "CSubroutine";
    const char* className() const override { return kClassName; }
    static constexpr ElementKind kKind = ElementKind::Subroutine;
    ElementKind Kind() const override { return kKind; }
};

}  // namespace tarnwick
