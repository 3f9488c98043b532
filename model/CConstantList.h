// CConstantList: the list of CConstant elements (see IIterator and TypedList).
#pragma once

#include "model/CConstant.h"
#include "model/TypedList.h"

namespace tarnwick {

class CConstantList : public TypedList<CConstant, CConstantList, true> {
public:
    static constexpr const char* kClassName = "CConstantList";
    static constexpr const char* kElementClassName = "CConstant";
};

}  // namespace tarnwick
