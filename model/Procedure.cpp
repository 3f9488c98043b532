#include "model/Procedure.h"

#include <utility>

namespace tarnwick {

void Procedure::setArguments(std::shared_ptr<CArgumentList> list) {
    if (!list) detail::throwTypeMismatch(CArgumentList::kClassName, "nothing");
    m_arguments = std::move(list);
}

void Procedure::setArguments(const std::shared_ptr<IIterator>& list) {
    auto typed = std::dynamic_pointer_cast<CArgumentList>(list);
    if (!typed)
        detail::throwTypeMismatch(CArgumentList::kClassName, list ? list->className() : "nothing");
    m_arguments = std::move(typed);
}

void ReturningProcedure::setReturns(std::shared_ptr<CArgument> record) {
    if (!record) detail::throwTypeMismatch(CArgument::kClassName, "nothing");
    m_returns = std::move(record);
}

}  // namespace tarnwick
