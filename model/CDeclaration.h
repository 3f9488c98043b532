// CDeclaration: an external procedure declared with a Declare statement.
#pragma once

#include "model/Procedure.h"

namespace tarnwick {

class CDeclaration : public ReturningProcedure {
public:
    static constexpr const char* kClassName = "CDeclaration";
    const char* className() const override { return kClassName; }
};

}  // namespace tarnwick
