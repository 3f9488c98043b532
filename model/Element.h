// Element: the common base of the ten code element classes (CFunction,
// CSubroutine, CProperty, CEvent, CDeclaration, CConstant, CVariable, cType,
// CEnum, CImplementation), each of one ElementKind.
//
// It holds the attributes all of them share (Source, Syntax, scope, Name,
// Description) and answers the attributes only some classes have through one
// code path, so page writers can treat several classes alike:
// Arguments(), Returns() and Variables() give nullptr and DataType() an empty
// text on a class without that attribute. hasScope() is false only for
// CImplementation, which carries no scope.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/Kinds.h"
#include "model/ListItem.h"

namespace tarnwick {

class CArgument;
class CArgumentList;
class CVariableList;

// Scope codes of `scope`.
namespace scope {
inline constexpr int Global = 0;
inline constexpr int Public = 1;
inline constexpr int Private = 2;
inline constexpr int Friend = 3;
inline constexpr int None = 99;  // no scope word in the declaration
}  // namespace scope

// What the section tags of a description hold, as authors' HTML ("@remarks",
// "@example", "@exception" / "@exceptions"); empty texts when absent.
struct DocSections {
    std::string remarks;
    std::string example;
    std::string exceptions;
    // "@short": what a summary row shows instead of the first sentence; no
    // section of its own.
    std::string summary;
    bool empty() const { return remarks.empty() && example.empty() && exceptions.empty(); }
};

class Element : public ListItem {
public:
    // What page writers and the module's filing decide by; see kindTraits.
    virtual ElementKind Kind() const = 0;

    const std::string& Source() const { return m_source; }
    void setSource(std::string value) { m_source = std::move(value); }
    const std::string& Syntax() const { return m_syntax; }
    void setSyntax(std::string value) { m_syntax = std::move(value); }
    int scope() const { return m_scope; }
    void setScope(int value) { m_scope = value; }
    const std::string& Name() const override { return m_name; }
    void setName(std::string value) { m_name = std::move(value); }
    const std::string& Description() const { return m_description; }
    void setDescription(std::string value) { m_description = std::move(value); }
    // The 1-based line of the module file where the declaration starts; 0
    // for an element that was not read from a file.
    int Line() const { return m_line; }
    void setLine(int value) { m_line = value; }
    // What the description's "@see" tags name ("CJournal", "modLedger.Post").
    const std::vector<std::string>& SeeAlso() const;
    void setSeeAlso(std::vector<std::string> value);
    // The description's remarks, example and exceptions sections.
    const DocSections& Sections() const;
    void setSections(DocSections value);

    virtual bool hasScope() const { return true; }
    virtual std::shared_ptr<CArgumentList> Arguments() const { return nullptr; }
    virtual std::shared_ptr<CArgument> Returns() const { return nullptr; }
    virtual std::shared_ptr<CVariableList> Variables() const { return nullptr; }
    virtual const std::string& DataType() const;

private:
    std::string m_source;
    std::string m_syntax;
    int m_scope = 0;
    std::string m_name;
    std::string m_description;
    int m_line = 0;
    // "@see" and the sections: few members have any, and a project has tens
    // of thousands of members, so they are kept apart, when there.
    struct Tagged {
        std::vector<std::string> seeAlso;
        DocSections sections;
    };
    Tagged& tagged();
    std::unique_ptr<Tagged> m_tagged;
};

}  // namespace tarnwick
