// CEnumList: the list of CEnum elements (see IIterator and TypedList).
#pragma once

#include "model/CEnum.h"
#include "model/TypedList.h"

namespace tarnwick {

class CEnumList : public TypedList<CEnum, CEnumList, true> {
public:
    static constexpr const char* kClassName = "CEnumList";
    static constexpr const char* kElementClassName = "CEnum";
};

}  // namespace tarnwick
