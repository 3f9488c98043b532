#include "model/Element.h"

namespace tarnwick {

const std::string& Element::DataType() const {
    static const std::string empty;
    return empty;
}

const std::vector<std::string>& Element::SeeAlso() const {
    static const std::vector<std::string> none;
    return m_tagged ? m_tagged->seeAlso : none;
}

void Element::setSeeAlso(std::vector<std::string> value) {
    if (value.empty() && !m_tagged) return;
    tagged().seeAlso = std::move(value);
}

const DocSections& Element::Sections() const {
    static const DocSections none;
    return m_tagged ? m_tagged->sections : none;
}

void Element::setSections(DocSections value) {
    if (value.empty() && value.summary.empty() && !m_tagged) return;
    tagged().sections = std::move(value);
}

Element::Tagged& Element::tagged() {
    if (!m_tagged) m_tagged = std::make_unique<Tagged>();
    return *m_tagged;
}

}  // namespace tarnwick
