#include "generator/analysis/ApiReport.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

#include "model/CArgument.h"
#include "model/CDeclaration.h"
#include "model/CProject.h"
#include "model/CProperty.h"
#include "model/CVariable.h"
#include "model/Scope.h"
#include "reader/CParserDetail.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// The reader's own scanners: a parameter list splits here as it does there.
using parserdetail::findNoCase;
using parserdetail::findOutsideStrings;
using parserdetail::matchingParen;
using parserdetail::splitArguments;
using parserdetail::startsNoCase;

bool isTrue(std::string_view value) { return equalsIgnoreCase(value, "True") || value == "-1"; }

// The text up to a trailing comment, its line breaks and continuation marks
// made single blanks, trimmed.
std::string oneLine(std::string_view text) {
    const std::size_t comment = findOutsideStrings(text, '\'');
    text = text.substr(0, comment == npos ? text.size() : comment);
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '_' && (i + 1 == text.size() || text[i + 1] == '\r' || text[i + 1] == '\n'))
            c = ' ';
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
        if (c == ' ' && (line.empty() || line.back() == ' ')) continue;
        line += c;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

// The parameters of a declaration as written, one piece each; empty when
// the declaration has no parameter list before its comment.
std::vector<std::string_view> parameterTexts(std::string_view syntax) {
    const std::size_t open = findOutsideStrings(syntax, '(');
    if (open == npos || open > findOutsideStrings(syntax, '\'')) return {};
    const std::size_t close = matchingParen(syntax, open);
    if (close == npos) return {};
    std::vector<std::string_view> pieces;
    for (std::string_view piece : splitArguments(syntax.substr(open + 1, close - open - 1))) {
        piece = trimSpaces(piece);
        if (!piece.empty()) pieces.push_back(piece);
    }
    return pieces;
}

// One parameter: the model's name, passing and type; ParamArray, the array
// parentheses and the default from the parameter as written, which the
// model does not keep.
std::string parameterText(const CArgument& argument, std::string_view written) {
    std::string_view rest = written;
    while (startsNoCase(rest, "Optional ") || startsNoCase(rest, "ByVal ") ||
           startsNoCase(rest, "ByRef "))
        rest = trimSpaces(rest.substr(rest.find(' ')));
    const bool paramArray = startsNoCase(rest, "ParamArray ");
    const std::size_t as = std::min(findNoCase(rest, " As "), rest.size());
    const bool array = rest.substr(0, as).find('(') != npos;
    const std::size_t equals = findOutsideStrings(written, '=');
    std::string text = argument.isOptional() ? "Optional " : "";
    text += paramArray ? std::string("ParamArray") : argument.By();
    text += " " + argument.Name() + (array ? "()" : "");
    if (!argument.DataType().empty()) text += " As " + argument.DataType();
    if (equals != npos) text += " = " + oneLine(written.substr(equals + 1));
    return text;
}

std::string parameterList(const Element& element) {
    const auto arguments = element.Arguments();
    if (!arguments) return "()";
    const std::vector<std::string_view> written = parameterTexts(element.Syntax());
    std::string text;
    std::size_t i = 0;
    for (const auto& argument : arguments->elements()) {
        text += (i > 0 ? ", " : "") +
                parameterText(*argument, i < written.size() ? written[i] : std::string_view());
        ++i;
    }
    return "(" + text + ")";
}

std::string returnText(const Element& element) {
    const auto returns = element.Returns();
    return returns && !returns->DataType().empty() ? " As " + returns->DataType() : "";
}

// A module variable: "Name(1 To 3)", WithEvents and New as written.
std::string variableText(const CVariable& variable) {
    const std::string& syntax = variable.Syntax();
    std::string text = findNoCase(syntax, " WithEvents ") != npos ? "WithEvents " : "";
    text += variable.Name();
    const std::size_t at = findNoCase(syntax, " " + variable.Name() + "(");
    if (at != npos) {
        const std::size_t open = at + 1 + variable.Name().size();
        const std::size_t close = matchingParen(syntax, open);
        if (close != npos) text += oneLine(syntax.substr(open, close - open + 1));
    }
    text += " As " + std::string(isTrue(variable.IsNew()) ? "New " : "") + variable.DataType();
    return text;
}

std::string constantText(const Element& constant) {
    std::string text = "Const " + constant.Name();
    if (!constant.DataType().empty()) text += " As " + constant.DataType();
    const std::size_t equals = findOutsideStrings(constant.Syntax(), '=');
    if (equals != npos) text += " = " + oneLine(constant.Syntax().substr(equals + 1));
    return text;
}

std::string declareText(const CDeclaration& declaration) {
    const std::string& syntax = declaration.Syntax();
    const bool sub = findNoCase(syntax, " Sub ") < findNoCase(syntax, " Lib ");
    std::string text = std::string("Declare ") + (sub ? "Sub " : "Function ") + declaration.Name() +
                       " Lib \"" + declaration.Lib() + "\"";
    if (!declaration.Alias().empty()) text += " Alias \"" + declaration.Alias() + "\"";
    return text + " " + parameterList(declaration) + (sub ? "" : returnText(declaration));
}

// The element's declaration after its scope word, with the lines of its
// values (Enum) or fields (Type) after it.
std::string declarationText(const Element& element) {
    const std::string name = element.Name();
    switch (element.Kind()) {
        case ElementKind::Constant:
            return constantText(element);
        case ElementKind::Declaration:
            return declareText(static_cast<const CDeclaration&>(element));
        case ElementKind::Enum: {
            std::string text = "Enum " + name;
            for (const auto& value : element.Variables()->elements())
                text += "\n    " + value->Name() +
                        (value->default_().empty() ? "" : " = " + oneLine(value->default_()));
            return text;
        }
        case ElementKind::Event:
            return "Event " + name + parameterList(element);
        case ElementKind::Function:
            return "Function " + name + parameterList(element) + returnText(element);
        case ElementKind::Property: {
            const int way = static_cast<const CProperty&>(element).Way();
            const char* word = way == way::Let ? "Let " : way == way::Set ? "Set " : "Get ";
            return "Property " + std::string(word) + name + parameterList(element) +
                   (way == way::Get ? returnText(element) : "");
        }
        case ElementKind::Subroutine:
            return "Sub " + name + parameterList(element);
        case ElementKind::Type: {
            std::string text = "Type " + name;
            if (const auto fields = element.Variables())
                for (const auto& field : fields->elements())
                    text += "\n    " + oneLine(field->Source());
            return text;
        }
        case ElementKind::Variable:
            return variableText(static_cast<const CVariable&>(element));
        case ElementKind::Implementation:
            break;
    }
    return "Implements " + name;
}

// The order of a module's members: Implements first, then as on the module page.
int kindRank(ElementKind kind) {
    const auto at = std::find(std::begin(kSummaryOrder), std::end(kSummaryOrder), kind);
    return static_cast<int>(at - std::begin(kSummaryOrder));
}

// Get, Let, Set: the order VB6 users read a property's accessors in.
int wayRank(const Element& element) {
    if (element.Kind() != ElementKind::Property) return 0;
    const int way = static_cast<const CProperty&>(element).Way();
    return way == way::Get ? 0 : way == way::Let ? 1 : 2;
}

// Member name (lower case) to its VB_UserMemId, from "Item.VB_UserMemId".
std::map<std::string, std::string> memberIds(const CModule& module) {
    std::map<std::string, std::string> ids;
    const std::string suffix = ".vb_usermemid";
    for (const std::string& key : module.Attributes()->Keys()) {
        const std::string lower = toLower(key);
        if (lower.size() > suffix.size() && endsWith(lower, suffix))
            ids[lower.substr(0, lower.size() - suffix.size())] = module.Attributes()->item(key);
    }
    return ids;
}

struct MemberLine {
    int kind;
    std::string name;  // lower case
    int way;
    ApiMember member;
    bool operator<(const MemberLine& o) const {
        return std::tie(kind, name, way, member.text) <
               std::tie(o.kind, o.name, o.way, o.member.text);
    }
};

// Where each value of an Enum or field of a Type is declared; the element's
// own line for one the reader gave none.
std::vector<int> partLines(const Element& element) {
    std::vector<int> lines;
    if (element.Kind() != ElementKind::Enum && element.Kind() != ElementKind::Type) return lines;
    if (const auto parts = element.Variables())
        for (const auto& part : parts->elements())
            lines.push_back(part->Line() > 0 ? part->Line() : element.Line());
    return lines;
}

std::vector<ApiMember> memberLines(const CModule& module) {
    const auto ids = memberIds(module);
    std::vector<MemberLine> lines;
    for (const ElementKind kind : kSummaryOrder) {
        for (const auto& item : module.listOf(kind)->Items()) {
            const auto& element = static_cast<const Element&>(*item);
            const bool implements = kind == ElementKind::Implementation;
            const int scope = implements ? scope::Public : effectiveScope(element);
            if (scope != scope::Public && scope != scope::Global) continue;
            std::string text = (implements ? "" : "Public ") + declarationText(element);
            const auto id = ids.find(toLower(element.Name()));
            if (!implements && id != ids.end()) {
                const std::size_t end = std::min(text.find('\n'), text.size());
                text.insert(end, "  ' VB_UserMemId = " + id->second);
            }
            lines.push_back({kindRank(kind),
                             toLower(element.Name()),
                             wayRank(element),
                             {text, element.Line(), partLines(element), element.Description()}});
        }
    }
    std::sort(lines.begin(), lines.end());
    std::vector<ApiMember> members;
    for (MemberLine& line : lines) members.push_back(std::move(line.member));
    return members;
}

// "Class CAccount VB_Exposed=True ...": the kind, the name and the
// instancing attributes the module file gives.
std::string moduleHeader(const CModule& module, std::string_view kindWord) {
    std::string header = std::string(kindWord) + " " + module.Name();
    if (module.Kind() == ModuleKind::Module) return header + "  ' not binary";
    for (const char* key :
         {"VB_Exposed", "VB_Creatable", "VB_PredeclaredId", "VB_GlobalNameSpace"}) {
        const std::string value = module.Attributes()->item(key);
        if (!value.empty()) header += std::string(" ") + key + "=" + value;
    }
    return header;
}

}  // namespace

bool isActiveXType(std::string_view type) {
    return equalsIgnoreCase(type, "OleDll") || equalsIgnoreCase(type, "OleExe") ||
           equalsIgnoreCase(type, "Control");
}

ApiInterface apiInterface(const CProject& project) {
    ApiInterface api{project.displayName(), project.value("Type"), {}, true};
    const bool binary = isActiveXType(api.type);
    struct Section {
        ModuleKind kind;
        const char* word;
    };
    for (const Section section :
         {Section{ModuleKind::Class, "Class"}, Section{ModuleKind::UserControl, "UserControl"},
          Section{ModuleKind::Module, "Module"}}) {
        std::vector<const CModule*> modules;
        for (const auto& module : project.listOfKind(section.kind)->elements()) {
            // A private class or control is no part of the component's interface.
            if (binary && section.kind != ModuleKind::Module &&
                !isTrue(module->Attributes()->item("VB_Exposed")))
                continue;
            modules.push_back(module.get());
        }
        std::sort(modules.begin(), modules.end(), [](const CModule* a, const CModule* b) {
            return std::pair(toLower(a->Name()), a->Name()) <
                   std::pair(toLower(b->Name()), b->Name());
        });
        for (const CModule* module : modules)
            api.modules.push_back(
                {moduleHeader(*module, section.word), module->Path(), 0, memberLines(*module)});
    }
    return api;
}

std::string apiText(const ApiInterface& api) {
    std::string report = "Project " + api.name + " Type=" + api.type + "\n";
    if (!isActiveXType(api.type))
        report += "' not an ActiveX project: no binary interface; listed for review\n";
    for (const ApiModule& module : api.modules) {
        report += "\n" + module.header + "\n";
        for (const ApiMember& member : module.members) report += member.text + "\n";
    }
    return report;
}

std::string apiReport(const CProject& project) { return apiText(apiInterface(project)); }

namespace {

std::vector<std::string_view> reportLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        text = end == npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

}  // namespace

std::string apiDifference(std::string_view expected, std::string_view actual) {
    const auto a = reportLines(expected);
    const auto b = reportLines(actual);
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
    std::size_t tail = 0;
    while (tail + head < a.size() && tail + head < b.size() &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    const std::size_t n = a.size() - head - tail;
    const std::size_t m = b.size() - head - tail;
    // The longest common run of the changed middle; past a few million
    // cells every middle line is shown as removed and added.
    std::vector<std::vector<std::uint32_t>> common;
    if (n * m <= 4'000'000) {
        common.assign(n + 1, std::vector<std::uint32_t>(m + 1, 0));
        for (std::size_t i = n; i-- > 0;)
            for (std::size_t j = m; j-- > 0;)
                common[i][j] = a[head + i] == b[head + j]
                                   ? common[i + 1][j + 1] + 1
                                   : std::max(common[i + 1][j], common[i][j + 1]);
    }
    std::string difference;
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && a[head + i] == b[head + j] && !common.empty()) {
            ++i, ++j;
        } else if (i < n && (j == m || common.empty() || common[i + 1][j] >= common[i][j + 1])) {
            difference += "-" + std::string(a[head + i++]) + "\n";
        } else {
            difference += "+" + std::string(b[head + j++]) + "\n";
        }
    }
    return difference;
}

}  // namespace tarnwick
