// CProject: one parsed VB6 project: its modules sorted by kind into nine
// lists, the project file's remaining settings (Properties, in file order) and
// the project file's path. The lists exist from construction on; the project
// owns them and hands out its own objects, not copies.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/CModule.h"
#include "model/CModuleList.h"
#include "model/ReferenceIndex.h"
#include "support/ListMap.h"

namespace tarnwick {

class CProject {
public:
    // New modules (kind 0, all fields initial); the project does not keep them.
    std::shared_ptr<CModule> CreateForm() const { return std::make_shared<CModule>(); }
    std::shared_ptr<CModule> CreateModule() const { return std::make_shared<CModule>(); }
    std::shared_ptr<CModule> CreateClass() const { return std::make_shared<CModule>(); }
    std::shared_ptr<CModule> CreatePropertyPage() const { return std::make_shared<CModule>(); }
    std::shared_ptr<CModule> CreateUserControl() const { return std::make_shared<CModule>(); }
    std::shared_ptr<CModule> CreateUserDocument() const { return std::make_shared<CModule>(); }
    std::shared_ptr<CModule> CreateDesigner() const { return std::make_shared<CModule>(); }
    std::shared_ptr<CModule> CreateObject() const { return std::make_shared<CModule>(); }
    std::shared_ptr<CModule> CreateReference() const { return std::make_shared<CModule>(); }

    CModuleList& Objects() { return m_objects; }
    CModuleList& References() { return m_references; }
    CModuleList& Forms() { return m_forms; }
    CModuleList& Modules() { return m_modules; }
    CModuleList& Classes() { return m_classes; }
    CModuleList& PropertyPages() { return m_propertyPages; }
    CModuleList& UserControls() { return m_userControls; }
    CModuleList& UserDocuments() { return m_userDocuments; }
    CModuleList& Designers() { return m_designers; }
    const CModuleList& Objects() const { return m_objects; }
    const CModuleList& References() const { return m_references; }
    const CModuleList& Forms() const { return m_forms; }
    const CModuleList& Modules() const { return m_modules; }
    const CModuleList& Classes() const { return m_classes; }
    const CModuleList& PropertyPages() const { return m_propertyPages; }
    const CModuleList& UserControls() const { return m_userControls; }
    const CModuleList& UserDocuments() const { return m_userDocuments; }
    const CModuleList& Designers() const { return m_designers; }
    ListMap& Properties() { return m_properties; }
    const ListMap& Properties() const { return m_properties; }
    // The conditional-compilation constants the modules were read with, as
    // name and VB6 literal ("-1", "\"de\""), in the order they were set.
    using ConstantList = std::vector<std::pair<std::string, std::string>>;
    // A value of the project file without its quotes and blanks ("Name",
    // "Title"); empty when the project file has none.
    std::string value(std::string_view key) const;
    // The project's name from its project file, or "ProjectName" when it names none.
    std::string displayName() const;
    // "MajorVer.MinorVer.RevisionVer" as whole numbers ("1.4.27"); empty
    // when the project file gives no major version.
    std::string version() const;
    const ConstantList& ConditionalConstants() const { return m_conditionalConstants; }
    void setConditionalConstants(ConstantList value) { m_conditionalConstants = std::move(value); }
    const std::string& Path() const { return m_path; }
    void setPath(std::string value) { m_path = std::move(value); }
    // Where the project's code names its own members (empty until the
    // reader has resolved them; never null).
    const ReferenceIndex& crossReferences() const { return *m_crossReferences; }
    void setCrossReferences(ReferenceIndex value) {
        m_crossReferences = std::make_shared<const ReferenceIndex>(std::move(value));
    }

    // The list that keeps modules of a kind (code 1 to 9), or nullptr for
    // ModuleKind::None.
    CModuleList* listOfKind(int moduleType) { return listOfKind(moduleKindOf(moduleType)); }
    CModuleList* listOfKind(ModuleKind kind);
    const CModuleList* listOfKind(ModuleKind kind) const;

private:
    CModuleList m_objects;
    CModuleList m_references;
    CModuleList m_forms;
    CModuleList m_modules;
    CModuleList m_classes;
    CModuleList m_propertyPages;
    CModuleList m_userControls;
    CModuleList m_userDocuments;
    CModuleList m_designers;
    ListMap m_properties;
    std::string m_path;
    ConstantList m_conditionalConstants;
    std::shared_ptr<const ReferenceIndex> m_crossReferences =
        std::make_shared<const ReferenceIndex>();
};

}  // namespace tarnwick
