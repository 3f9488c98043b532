// CProperty: one Property Get, Let or Set procedure (one element each).
#pragma once

#include "model/Procedure.h"

namespace tarnwick {

// Direction codes of `Way`.
namespace way {
inline constexpr int Get = 0;
inline constexpr int Set = 1;
inline constexpr int Let = 2;
}  // namespace way

class CProperty : public ReturningProcedure {
public:
    static constexpr const char* kClassName = "CProperty";
    const char* className() const override { return kClassName; }
    static constexpr ElementKind kKind = ElementKind::Property;
    ElementKind Kind() const override { return kKind; }

    int Way() const { return m_way; }
    void setWay(int value) { m_way = value; }

private:
    int m_way = way::Get;
};

}  // namespace tarnwick
