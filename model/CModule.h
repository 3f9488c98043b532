// CModule: one source module of a project (form, class, standard module,
// property page, user control, user document, designer) or one library the
// project refers to (a type-library reference or a control library).
//
// It carries the module's kind and identity, its description, two tables
// (Attributes: attribute name to value; ShortDesc: member name to short
// description) and one element list per kind of code element. The lists exist
// from construction on and only grow. No back-references: an element does not
// know its module.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/CConstantList.h"
#include "model/CDeclarationList.h"
#include "model/CEnumList.h"
#include "model/CEventList.h"
#include "model/CFunctionList.h"
#include "model/CImplementationList.h"
#include "model/CPropertyList.h"
#include "model/CSubroutineList.h"
#include "model/CTypeList.h"
#include "model/CVariableList.h"
#include "model/Element.h"
#include "model/FormDesign.h"
#include "model/Kinds.h"
#include "support/HashTable.h"

namespace tarnwick {

class DiagnosticsSink;

// Kind codes of `ModuleType`: the values of ModuleKind.
namespace moduletype {
inline constexpr int None = static_cast<int>(ModuleKind::None);
inline constexpr int Form = static_cast<int>(ModuleKind::Form);
inline constexpr int Class = static_cast<int>(ModuleKind::Class);
inline constexpr int Module = static_cast<int>(ModuleKind::Module);
inline constexpr int PropertyPage = static_cast<int>(ModuleKind::PropertyPage);
inline constexpr int UserControl = static_cast<int>(ModuleKind::UserControl);
inline constexpr int Reference = static_cast<int>(ModuleKind::Reference);
inline constexpr int Object = static_cast<int>(ModuleKind::Object);
inline constexpr int UserDocument = static_cast<int>(ModuleKind::UserDocument);
inline constexpr int Designer = static_cast<int>(ModuleKind::Designer);
}  // namespace moduletype

class CModule : public ListItem {
public:
    static constexpr const char* kClassName = "CModule";
    const char* className() const override { return kClassName; }

    const std::string& Source() const { return m_source; }
    void setSource(std::string value) { m_source = std::move(value); }
    // The file line of each line of Source(), in order (the attribute lines
    // of the file are not in Source()); empty for a module not read from a file.
    void setSourceFileLines(std::vector<int32_t> lines) { m_sourceFileLines = std::move(lines); }
    // The 1-based line of Source() that is line fileLine of the module file;
    // 0 when Source() does not hold that line.
    int sourceLineOf(int fileLine) const;
    // The file line of line sourceLine of Source(); sourceLine itself when
    // the module keeps no file lines.
    int fileLineOf(int sourceLine) const;
    // Shared with the assigner, not copied.
    const std::shared_ptr<HashTable>& ShortDesc() const { return m_shortDesc; }
    void setShortDesc(std::shared_ptr<HashTable> table);
    int ModuleType() const { return m_moduleType; }
    void setModuleType(int value) { m_moduleType = value; }
    // ModuleType as a kind; a code outside 0 to 9 is ModuleKind::None.
    ModuleKind Kind() const { return moduleKindOf(m_moduleType); }
    const std::string& Name() const override { return m_name; }
    void setName(std::string value) { m_name = std::move(value); }
    const std::string& GUID() const { return m_guid; }
    void setGUID(std::string value) { m_guid = std::move(value); }
    const std::string& Version() const { return m_version; }
    void setVersion(std::string value) { m_version = std::move(value); }
    const std::string& Path() const { return m_path; }
    void setPath(std::string value) { m_path = std::move(value); }
    const std::string& Description() const { return m_description; }
    void setDescription(std::string value) { m_description = std::move(value); }
    // What the "@see" tags of the module's description name, and its
    // remarks, example and exceptions sections (as on an element).
    const std::vector<std::string>& SeeAlso() const { return m_seeAlso; }
    void setSeeAlso(std::vector<std::string> value) { m_seeAlso = std::move(value); }
    const DocSections& Sections() const { return m_sections; }
    void setSections(DocSections value) { m_sections = std::move(value); }
    const std::shared_ptr<HashTable>& Attributes() const { return m_attributes; }
    void setAttributes(std::shared_ptr<HashTable> table);
    // The 0-based lines of Source the compiler sees when conditional
    // compilation left some out (inactive branches, the directives
    // themselves), ascending; null when it sees every line.
    const std::shared_ptr<const std::vector<int32_t>>& CompiledLines() const {
        return m_compiledLines;
    }
    void setCompiledLines(std::shared_ptr<const std::vector<int32_t>> lines) {
        m_compiledLines = std::move(lines);
    }

    // What the form designer placed on a form, user control or property
    // page; null for a module without a designer block.
    const std::shared_ptr<const FormDesign>& Design() const { return m_design; }
    void setDesign(std::shared_ptr<const FormDesign> design) { m_design = std::move(design); }

    // The module's own lists (never null, never replaced); a const module
    // hands out const lists: the page builders only read.
    CImplementationList& Implementations() { return *m_implementations; }
    CDeclarationList& Declarations() { return *m_declarations; }
    CConstantList& Constants() { return *m_constants; }
    CVariableList& Variables() { return *m_variables; }
    CTypeList& Types() { return *m_types; }
    CEnumList& Enums() { return *m_enums; }
    CEventList& Events() { return *m_events; }
    CFunctionList& Functions() { return *m_functions; }
    CSubroutineList& Subroutines() { return *m_subroutines; }
    CPropertyList& Properties() { return *m_properties; }
    const CImplementationList& Implementations() const { return *m_implementations; }
    // Calls fn(const Element&) with every member, list by list (Functions,
    // Subroutines, Properties, Variables, Constants, Declarations, Enums,
    // Types, Events, Implementations), until it returns true; whether it did.
    template <typename Fn>
    bool anyMember(Fn&& fn) const {
        const auto any = [&](const auto& list) {
            for (const auto& e : list.elements())
                if (fn(static_cast<const Element&>(*e))) return true;
            return false;
        };
        return any(Functions()) || any(Subroutines()) || any(Properties()) || any(Variables()) ||
               any(Constants()) || any(Declarations()) || any(Enums()) || any(Types()) ||
               any(Events()) || any(Implementations());
    }
    const CDeclarationList& Declarations() const { return *m_declarations; }
    const CConstantList& Constants() const { return *m_constants; }
    const CVariableList& Variables() const { return *m_variables; }
    const CTypeList& Types() const { return *m_types; }
    const CEnumList& Enums() const { return *m_enums; }
    const CEventList& Events() const { return *m_events; }
    const CFunctionList& Functions() const { return *m_functions; }
    const CSubroutineList& Subroutines() const { return *m_subroutines; }
    const CPropertyList& Properties() const { return *m_properties; }

    // The module's list of a kind of element (never null).
    IIterator* listOf(ElementKind kind);
    const IIterator* listOf(ElementKind kind) const;

    // New elements; the module does not keep them (hand them to Add).
    std::shared_ptr<CImplementation> CreateImplentation() const;
    std::shared_ptr<CDeclaration> CreateDeclaration() const;
    std::shared_ptr<CConstant> CreateConstant() const;
    std::shared_ptr<CVariable> CreateVariable() const;
    std::shared_ptr<cType> CreateType() const;
    std::shared_ptr<CEnum> CreateEnum() const;
    std::shared_ptr<CEvent> CreateEvent() const;
    std::shared_ptr<CFunction> CreateFunction() const;
    std::shared_ptr<CSubroutine> CreateSubroutine() const;
    std::shared_ptr<CProperty> CreateProperty() const;

    // Files the element into the list of its kind and returns true. An item
    // that is no element (a CArgument, a CModule) is filed nowhere: the
    // diagnostics sink, when given, is told its class name, and Add returns false.
    bool Add(const std::shared_ptr<ListItem>& element, DiagnosticsSink* diagnostics = nullptr);

private:
    std::string m_source;
    std::vector<int32_t> m_sourceFileLines;  // ascending
    std::shared_ptr<HashTable> m_shortDesc = std::make_shared<HashTable>();
    int m_moduleType = moduletype::None;
    std::string m_name;
    std::string m_guid;
    std::string m_version;
    std::string m_path;
    std::unique_ptr<CImplementationList> m_implementations =
        std::make_unique<CImplementationList>();
    std::unique_ptr<CDeclarationList> m_declarations = std::make_unique<CDeclarationList>();
    std::unique_ptr<CConstantList> m_constants = std::make_unique<CConstantList>();
    std::unique_ptr<CVariableList> m_variables = std::make_unique<CVariableList>();
    std::unique_ptr<CTypeList> m_types = std::make_unique<CTypeList>();
    std::unique_ptr<CEnumList> m_enums = std::make_unique<CEnumList>();
    std::unique_ptr<CFunctionList> m_functions = std::make_unique<CFunctionList>();
    std::unique_ptr<CSubroutineList> m_subroutines = std::make_unique<CSubroutineList>();
    std::unique_ptr<CPropertyList> m_properties = std::make_unique<CPropertyList>();
    std::string m_description;
    std::vector<std::string> m_seeAlso;
    DocSections m_sections;
    std::shared_ptr<HashTable> m_attributes = std::make_shared<HashTable>();
    std::unique_ptr<CEventList> m_events = std::make_unique<CEventList>();
    std::shared_ptr<const std::vector<int32_t>> m_compiledLines;
    std::shared_ptr<const FormDesign> m_design;
};

}  // namespace tarnwick
