// CEvent: an Event declaration of a class, form or user control.
#pragma once

#include "model/Procedure.h"

namespace tarnwick {

class CEvent : public ReturningProcedure {
public:
    static constexpr const char* kClassName = "CEvent";
    const char* className() const override { return kClassName; }
    static constexpr ElementKind kKind = ElementKind::Event;
    ElementKind Kind() const override { return kKind; }
};

}  // namespace tarnwick
