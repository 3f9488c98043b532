// Assignment of member lists to cType and CEnum.
#include <utility>

#include "model/CEnum.h"
#include "model/cType.h"

namespace tarnwick {

void cType::setVariables(const std::shared_ptr<IIterator>& list) {
    auto typed = std::dynamic_pointer_cast<CVariableList>(list);
    if (!typed)
        detail::throwTypeMismatch(CVariableList::kClassName, list ? list->className() : "nothing");
    m_variables = std::move(typed);
}

void CEnum::setVariables(std::shared_ptr<CVariableList> list) {
    if (!list) detail::throwTypeMismatch(CVariableList::kClassName, "nothing");
    m_variables = std::move(list);
}

void CEnum::setVariables(const std::shared_ptr<IIterator>& list) {
    auto typed = std::dynamic_pointer_cast<CVariableList>(list);
    if (!typed)
        detail::throwTypeMismatch(CVariableList::kClassName, list ? list->className() : "nothing");
    m_variables = std::move(typed);
}

}  // namespace tarnwick
