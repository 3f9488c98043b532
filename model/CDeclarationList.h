// CDeclarationList: the list of CDeclaration elements (see IIterator and TypedList).
#pragma once

#include "model/CDeclaration.h"
#include "model/TypedList.h"

namespace tarnwick {

class CDeclarationList : public TypedList<CDeclaration, CDeclarationList, true> {
public:
    static constexpr const char* kClassName = "CDeclarationList";
    static constexpr const char* kElementClassName = "CDeclaration";
};

}  // namespace tarnwick
