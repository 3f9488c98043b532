#include "generator/analysis/ApiDeclaration.h"

#include <charconv>

#include "reader/CParserDetail.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

using parserdetail::findNoCase;
using parserdetail::findOutsideStrings;
using parserdetail::matchingParen;
using parserdetail::splitArguments;
using parserdetail::startsNoCase;

// The kinds a member line names after "Public ", longest first where one
// starts another.
constexpr const char* kKindWords[] = {
    "Property Get", "Property Let", "Property Set", "Declare Function",
    "Declare Sub",  "Function",     "Sub",          "Event",
    "Enum",         "Type",         "Const"};

bool takeWord(std::string_view& text, std::string_view word) {
    if (!startsNoCase(text, word) || text.size() <= word.size() || text[word.size()] != ' ')
        return false;
    text = ltrimSpaces(text.substr(word.size() + 1));
    return true;
}

std::optional<ApiParameter> parseParameter(std::string_view text) {
    ApiParameter parameter;
    text = trimSpaces(text);
    parameter.optional = takeWord(text, "Optional");
    parameter.passing = "ByRef";
    for (const char* passing : {"ByVal", "ByRef", "ParamArray"})
        if (takeWord(text, passing)) parameter.passing = passing;
    const std::size_t equals = findOutsideStrings(text, '=');
    if (equals != npos) {
        parameter.value = std::string(trimSpaces(text.substr(equals + 1)));
        text = rtrimSpaces(text.substr(0, equals));
    }
    const std::size_t as = findNoCase(text, " As ");
    if (as != npos) {
        parameter.type = std::string(trimSpaces(text.substr(as + 4)));
        text = text.substr(0, as);
    }
    parameter.array = endsWith(text, "()");
    if (parameter.array) text.remove_suffix(2);
    parameter.name = std::string(trimSpaces(text));
    if (parameter.name.empty() || parameter.name.find_first_of(" (),") != std::string::npos)
        return std::nullopt;
    return parameter;
}

// "(ByVal A As Long) As String" into the parameters and the type after them.
bool parseSignature(std::string_view text, ApiDeclaration& declaration) {
    if (text.empty() || text[0] != '(') return false;
    const std::size_t close = matchingParen(text, 0);
    if (close == npos) return false;
    for (std::string_view piece : splitArguments(text.substr(1, close - 1))) {
        if (trimSpaces(piece).empty()) continue;
        auto parameter = parseParameter(piece);
        if (!parameter) return false;
        declaration.parameters.push_back(std::move(*parameter));
    }
    std::string_view rest = text.substr(close + 1);
    if (rest.empty()) return true;
    if (!startsNoCase(rest, " As ")) return false;
    declaration.type = std::string(trimSpaces(rest.substr(4)));
    return !declaration.type.empty();
}

// What follows the name, by kind: its signature, type or value.
bool parseRest(std::string_view rest, ApiDeclaration& declaration) {
    const std::string& kind = declaration.kind;
    if (kind == "Enum" || kind == "Type" || kind == "Implements") return rest.empty();
    if (kind == "Variable") {
        // WithEvents and New change how the class uses the object, not its type.
        declaration.type = replaceAll(trimSpaces(rest), " As New ", " As ");
        if (startsNoCase(declaration.type, "As New ")) declaration.type.erase(3, 4);
        return startsNoCase(rest, " As ") || startsWith(rest, "(");
    }
    if (kind == "Const") {
        const std::size_t equals = findOutsideStrings(rest, '=');
        if (equals == npos) return false;
        declaration.value = std::string(trimSpaces(rest.substr(equals + 1)));
        const std::string_view head = trimSpaces(rest.substr(0, equals));
        if (startsNoCase(head, "As ")) declaration.type = std::string(trimSpaces(head.substr(3)));
        return head.empty() || !declaration.type.empty();
    }
    if (startsWith(kind, "Declare")) {
        const std::size_t open = findOutsideStrings(rest, '(');
        if (open == npos) return false;
        declaration.value = std::string(trimSpaces(rest.substr(0, open)));
        rest = rest.substr(open);
    }
    return parseSignature(rest, declaration);
}

std::vector<ApiPart> parseParts(std::string_view lines, const std::vector<int>& partLines,
                                bool values) {
    std::vector<ApiPart> parts;
    std::size_t index = 0;
    for (std::string_view line : splitLines(lines, LineEnd::Lf)) {
        line = trimSpaces(line);
        if (line.empty()) continue;
        ApiPart part;
        part.line = index < partLines.size() ? partLines[index] : 0;
        ++index;
        const std::size_t end =
            values ? std::min(line.find('='), line.size()) : line.find_first_of(" (");
        part.name = std::string(trimSpaces(line.substr(0, end)));
        part.text = values ? std::string(end < line.size() ? trimSpaces(line.substr(end + 1)) : "")
                           : std::string(line);
        parts.push_back(std::move(part));
    }
    return parts;
}

std::optional<long long> numberOf(std::string_view text) {
    text = trimSpaces(text);
    const bool negative = startsWith(text, "-");
    if (negative) text = trimSpaces(text.substr(1));
    int base = 10;
    if (startsNoCase(text, "&H")) base = 16;
    if (startsNoCase(text, "&O")) base = 8;
    if (base != 10) text = text.substr(2);
    if (!text.empty() && (text.back() == '&' || text.back() == '%')) text.remove_suffix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

std::optional<ApiDeclaration> parseApiDeclaration(std::string_view text,
                                                  const std::vector<int>& partLines) {
    const std::size_t lineEnd = std::min(text.find('\n'), text.size());
    std::string_view head = text.substr(0, lineEnd);
    ApiDeclaration declaration;
    const std::size_t id = head.rfind("  ' VB_UserMemId = ");
    if (id != npos) {
        declaration.memId = std::string(trimSpaces(head.substr(id + 19)));
        head = head.substr(0, id);
    }
    if (takeWord(head, "Implements")) {
        declaration.kind = "Implements";
    } else {
        if (!takeWord(head, "Public")) return std::nullopt;
        declaration.kind = "Variable";
        for (const char* word : kKindWords)
            if (takeWord(head, word)) {
                declaration.kind = word;
                break;
            }
        if (declaration.kind == "Variable") takeWord(head, "WithEvents");
    }
    const std::size_t nameEnd = std::min(head.find_first_of(" ("), head.size());
    declaration.name = std::string(head.substr(0, nameEnd));
    if (declaration.name.empty() || !parseRest(head.substr(nameEnd), declaration))
        return std::nullopt;
    if (declaration.kind == "Enum" || declaration.kind == "Type")
        declaration.parts = parseParts(text.substr(lineEnd), partLines, declaration.kind == "Enum");
    else if (lineEnd < text.size())
        return std::nullopt;
    return declaration;
}

std::string passingText(const ApiParameter& parameter) {
    return (parameter.optional ? "Optional " : "") + parameter.passing + " " +
           (parameter.type.empty() ? "Variant" : parameter.type) + (parameter.array ? "()" : "");
}

std::vector<std::string> enumValues(const std::vector<ApiPart>& parts) {
    std::vector<std::string> values;
    std::optional<long long> last = -1;
    std::string lastText = "-1";
    for (const ApiPart& part : parts) {
        if (!part.text.empty()) {
            last = numberOf(part.text);
            lastText = part.text;
        } else if (last) {
            ++*last;
        } else {
            lastText += " + 1";
        }
        values.push_back(last ? std::to_string(*last) : lastText);
    }
    return values;
}

}  // namespace tarnwick
