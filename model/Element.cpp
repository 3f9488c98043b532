#include "model/Element.h"

namespace tarnwick {

const std::string& Element::DataType() const {
    static const std::string empty;
    return empty;
}

}  // namespace tarnwick
