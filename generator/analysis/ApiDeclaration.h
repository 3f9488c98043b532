// ApiDeclaration: one line of an API report taken apart, so the diff can
// tell which piece of a declaration changed. Reads the report's own
// spelling (ApiReport.h): "Public Function Post(ByVal Cents As Currency,
// Optional ByVal Memo As String = "") As Boolean  ' VB_UserMemId = 0",
// an Enum's values and a Type's fields on the lines after their head.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

struct ApiParameter {
    std::string name;
    std::string passing;  // "ByVal", "ByRef" (also when not written) or "ParamArray"
    bool optional = false;
    bool array = false;  // "Values()"
    std::string type;    // empty when not written (Variant)
    std::string value;   // the default as written; empty when none
};

// An Enum value ("akSaving", text "1") or a Type field ("Y", text
// "Y(1 To 3) As Single").
struct ApiPart {
    std::string name;
    std::string text;
    int line = 0;
};

struct ApiDeclaration {
    // "Function", "Sub", "Property Get", "Event", "Enum", "Type", "Const",
    // "Declare Function", "Declare Sub", "Implements" or "Variable".
    std::string kind;
    std::string name;
    std::vector<ApiParameter> parameters;
    std::string type;   // the return or property type; a variable's whole declaration
    std::string value;  // a constant's value; a Declare's Lib and Alias
    std::string memId;  // VB_UserMemId; empty when not set
    std::vector<ApiPart> parts;
};

// The member text of a report (its part lines after "\n") taken apart;
// nothing when it is no declaration the report writes. partLines gives
// each part's line, as ApiMember does.
std::optional<ApiDeclaration> parseApiDeclaration(std::string_view text,
                                                  const std::vector<int>& partLines);

// "ByRef Variant", "Optional ByVal Long()": what an argument passes, for messages.
std::string passingText(const ApiParameter& parameter);

// An Enum's values in effect: each value's text, or the one before it plus
// one when it has none ("0", "1", "&H10" read as "16", "Base + 1").
std::vector<std::string> enumValues(const std::vector<ApiPart>& parts);

}  // namespace tarnwick
