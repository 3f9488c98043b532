// Module file reader: the attribute lines, the code text, and the walk over
// the code text that files one element per recognised declaration.
#include <unordered_map>

#include "reader/CParser.h"
#include "reader/CParserDetail.h"
#include "support/HashTable.h"
#include "support/Text.h"

namespace tarnwick {

using namespace parserdetail;

namespace {

// The member descriptions the module's attribute lines carry
// ("Attribute Calc.VB_Description = ..."), by member name in lower case.
class AttributeDescriptions {
public:
    explicit AttributeDescriptions(const HashTable& attributes) {
        for (const std::string& key : attributes.Keys()) {
            size_t dot = key.rfind('.');
            if (dot == std::string::npos || dot == 0) continue;
            std::string_view attribute = std::string_view(key).substr(dot + 1);
            if (!equalsIgnoreCase(attribute, "VB_Description") &&
                !equalsIgnoreCase(attribute, "VB_VarDescription"))
                continue;
            std::string value = attributes.item(key);
            if (!value.empty()) m_byName.emplace(toLower(key.substr(0, dot)), std::move(value));
        }
    }

    // A member whose description is still empty takes its attribute's.
    void complete(Element& element) const {
        if (m_byName.empty() || !trimSpaces(element.Description()).empty()) return;
        auto it = m_byName.find(toLower(element.Name()));
        if (it != m_byName.end()) element.setDescription(it->second);
    }

private:
    std::unordered_map<std::string, std::string> m_byName;
};

// The module's description from the first comment block: the text before
// the first '@'; every "@member text" piece becomes a short description.
void takeModuleDescription(CModule& module, const std::string& block) {
    size_t at = block.find('@');
    if (at == std::string::npos) {
        module.setDescription(block);
        return;
    }
    module.setDescription(block.substr(0, at));
    std::string_view tags = std::string_view(block).substr(at);
    HashTable& shortDesc = *module.ShortDesc();
    shortDesc.setReplaceableKeys(true);
    for (size_t from = 0; from < tags.size();) {
        size_t next = tags.find('@', from + 1);
        std::string_view piece = tags.substr(from + 1, next == npos ? npos : next - from - 1);
        size_t blank = piece.find(' ');
        if (blank != npos)
            shortDesc.Add(trimSpaces(piece.substr(0, blank)), trimSpaces(piece.substr(blank)));
        if (next == npos) break;
        from = next;
    }
}

}  // namespace

std::shared_ptr<CModule> CParser::readModuleText(std::string_view text, int moduleType,
                                                 const std::string& pathForMessages) {
    return readOwnedModuleText(std::string(text), moduleType, pathForMessages);
}

std::shared_ptr<CModule> CParser::readOwnedModuleText(std::string text, int moduleType,
                                                      const std::string& pathForMessages) {
    auto module = std::make_shared<CModule>();
    module->setPath(pathForMessages);
    module->setModuleType(moduleType);
    // The module's own table: a later attribute of the same name wins.
    const std::shared_ptr<HashTable>& attributes = module->Attributes();
    attributes->setReplaceableKeys(true);

    CStringLines lines(withCrLf(std::move(text)));
    std::string code;
    code.reserve(lines.Text().size());
    std::vector<int32_t> fileLines;  // the file line of each code line
    bool attributeSeen = false;
    const int32_t last = lines.Count();
    for (int32_t i = 0; i <= last; ++i) {
        std::string_view line = lines.Line(i);
        if (startsNoCase(line, "Attribute ")) {
            attributeSeen = true;
            std::string_view rest = line.substr(9);
            size_t eq = rest.find('=');
            if (eq == npos) continue;  // the environment never writes one; nothing to keep
            std::string value(trimSpaces(rest.substr(eq + 1)));
            std::erase(value, '"');
            attributes->Add(trimSpaces(rest.substr(0, eq)), value);
        } else if (attributeSeen) {
            code += line;
            code += "\r\n";
            fileLines.push_back(i + 1);
        }
    }
    lines = CStringLines();  // the file's text is not needed any more: one copy less at the peak
    if (hasDirectives(code)) {
        // Only what the compiler sees becomes elements; the module's Source
        // stays the whole file as written.
        CompiledLines compiled =
            compileModuleLines(code, m_constants, m_diagnostics, pathForMessages, fileLines);
        std::vector<int32_t> keptLines;
        keptLines.reserve(compiled.kept.size());
        for (int32_t index : compiled.kept) keptLines.push_back(fileLines[index]);
        parseModuleCode(*module, CStringLines(std::move(compiled.text)),
                        CodeContext{pathForMessages, keptLines});
    } else {
        CStringLines codeLines(std::move(code));
        parseModuleCode(*module, codeLines, CodeContext{pathForMessages, fileLines});
        code = codeLines.takeText();
    }
    module->setSource(std::move(code));
    module->setName(attributes->item("VB_Name", module->Name()));
    return module;
}

void CParser::parseModuleCode(CModule& module, const CStringLines& lines,
                              const CodeContext& context) const {
    const int32_t last = lines.Count();
    const AttributeDescriptions attributeDescriptions(*module.Attributes());

    std::string logical;  // the continued statement joined so far
    bool continuing = false;
    int32_t start = 0;     // first physical line of the current statement
    std::string comments;  // cleaned comment lines since the last code line
    // Where a commented-out routine header starts in comments: once its
    // commented end statement follows, the old code is no description.
    size_t commentedCodeAt = npos;
    bool elementSeen = false;
    bool moduleCommentDone = false;
    bool procedureSeen = false;
    std::vector<std::shared_ptr<Element>> elements;

    for (int32_t i = 0; i <= last; ++i) {
        std::string_view physical = lines.Line(i);
        if (isContinued(physical)) {
            // The statement goes on; it is looked at once it is complete, and
            // the comment block above it waits for it.
            if (!continuing) {
                continuing = true;
                start = i;
                logical.clear();
            }
            logical += ' ';
            logical += trimSpaces(withoutContinuation(physical));
            continue;
        }
        std::string_view current;
        if (continuing) {
            logical += ' ';
            logical += trimSpaces(physical);
            current = logical;
            continuing = false;
        } else {
            start = i;
            current = physical;
        }

        int32_t index = start;
        elements.clear();
        bool isProcedure = true;
        if (isSubroutine(current)) {
            elements.push_back(parseSubroutine(comments, lines, index, context));
        } else if (isFunction(current)) {
            elements.push_back(parseFunction(comments, lines, index, context));
        } else if (isProperty(current)) {
            elements.push_back(parseProperty(comments, lines, index, context));
        } else if (!procedureSeen) {
            isProcedure = false;
            if (isImplementation(current)) {
                elements.push_back(parseImplementation(comments, lines, index));
            } else if (isDeclaration(current)) {
                elements.push_back(parseDeclaration(comments, lines, index));
            } else if (isType(current)) {
                elements.push_back(parseType(comments, lines, index));
            } else if (isEnum(current)) {
                elements.push_back(parseEnum(comments, lines, index));
            } else if (isEvent(current)) {
                elements.push_back(parseEvent(comments, lines, index));
            } else if (isConstant(current)) {
                for (auto& constant : parseConstant(comments, lines, index))
                    elements.push_back(std::move(constant));
            } else if (isVariable(current)) {
                for (auto& variable : parseVariable(comments, lines, index))
                    elements.push_back(std::move(variable));
            }
        }
        for (const auto& element : elements) {
            element->setLine(context.fileLine(start));
            element->setSeeAlso(Tags(comments).see());
            attributeDescriptions.complete(*element);
            module.Add(element, m_diagnostics);
        }
        if (!elements.empty()) {
            elementSeen = true;
            if (isProcedure) procedureSeen = true;
            // Every parser consumes at least the statement; never look back.
            i = std::max(i, index);
        }

        if (isCommentLine(current)) {
            const std::string cleaned = cleanComment(current);
            if (commentedCodeAt == npos && isProcedureHeader(cleaned))
                commentedCodeAt = comments.size();
            // A blank comment line inside a block marks a new paragraph.
            if (cleaned.empty() && !comments.empty()) {
                comments += "\r\n";
            } else {
                comments += cleaned;
                comments += ' ';
            }
            if (commentedCodeAt != npos && isProcedureEnd(cleaned)) {
                comments.resize(commentedCodeAt);
                commentedCodeAt = npos;
            }
        } else if (isBlankLine(current)) {
            if (!comments.empty() && !moduleCommentDone && !elementSeen)
                takeModuleDescription(module, comments);
            moduleCommentDone = true;
        } else {
            comments.clear();
            commentedCodeAt = npos;
        }
    }
}

}  // namespace tarnwick
