// Module file reader: the attribute lines, the code text, and the walk over
// the code text that files one element per recognised declaration.
#include <algorithm>
#include <unordered_map>

#include "reader/CParser.h"
#include "reader/CParserDetail.h"
#include "reader/CommentIncludes.h"
#include "reader/DesignerBlock.h"
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

// A line of '*', '-', '=' and the like (or of apostrophes) that only frames
// a banner.
bool isRuleLine(std::string_view raw, std::string_view cleaned) {
    if (cleaned.empty()) return trimSpaces(raw).size() > 2;  // a row of apostrophes
    for (char c : cleaned)
        if (isIdentifierChar(c)) return false;
    return cleaned.size() > 2;
}

// A banner's line of facts: "Copyright 2015-2026 by ...", "Created: ...",
// "Last updated: ...".
bool isBannerFact(std::string_view line) {
    for (std::string_view word : {"Copyright", "(c)", "\xC2\xA9", "Created:", "Created on",
                                  "Last updated:", "Last update:", "Last modified:", "Modified:"})
        if (startsNoCase(line, word)) return true;
    return false;
}

// Words that make a paragraph part of a licence or copyright notice: what
// licence sentences say, however they word the rest ("licensed under a
// modified BSD license", "under the GNU General Public License").
bool isLicenceText(std::string_view text) {
    for (std::string_view words :
         {"Copyright", "All rights reserved", "Permission is hereby granted", "licensed under",
          "licenced under", "BSD license", "BSD licence", "MIT license", "MIT licence",
          "General Public License", "Apache License", "Mozilla Public License", "Creative Commons",
          "public domain"})
        if (findNoCase(text, words) != npos) return true;
    for (std::string_view word : {"License", "Licence", "LICENSE", "LICENCE", "WARRANTY"})
        if (text.find(word) != npos) return true;
    return false;
}

// The comment blocks above the module's first code line (blocks end at an
// empty line or at a lone "''" that opens a javadoc-style block), and the
// module's description chosen from them.
class HeaderBlocks {
public:
    bool done() const { return m_done; }

    void comment(std::string_view raw) {
        if (trimSpaces(raw) == "''" && !m_blocks.empty() && !m_blocks.back().empty())
            m_blocks.emplace_back();  // the marker opens a block and is no text
        if (m_blocks.empty()) m_blocks.emplace_back();
        std::string cleaned = cleanComment(raw);
        const bool rule = isRuleLine(raw, cleaned);
        m_blocks.back().push_back(Line{std::string(raw), rule ? kRule : std::move(cleaned)});
    }
    void blank() {
        if (!m_blocks.empty() && !m_blocks.back().empty()) m_blocks.emplace_back();
    }
    // The first code line. attached: it is a declaration and the block right
    // above it (no empty line between) is its own description.
    std::string finish(bool attached) {
        m_done = true;
        if (attached && !m_blocks.empty() && !m_blocks.back().empty()) m_blocks.pop_back();
        // The block nearest the code that is no licence notice.
        for (auto block = m_blocks.rbegin(); block != m_blocks.rend(); ++block) {
            std::string text = describe(*block);
            if (!text.empty()) return text;
        }
        return {};
    }

private:
    struct Line {
        std::string raw;
        std::string text;  // cleaned, or kRule
    };
    using Block = std::vector<Line>;
    static constexpr const char* kRule = "\x01";

    // Lines joined as a member's comment lines are: a blank after each line,
    // CR LF for an empty comment line or a rule (an example's lines as
    // written); none at either end.
    static std::string join(const Block& lines, size_t from) {
        CommentText out;
        for (size_t i = from; i < lines.size(); ++i) {
            if (!out.inPre() && (lines[i].text.empty() || lines[i].text == kRule))
                out.paragraph();
            else
                out.add(lines[i].raw, lines[i].text == kRule ? "" : lines[i].text);
        }
        std::string text = out.text();
        while (endsWith(text, "\r\n")) text.resize(text.size() - 2);
        return text;
    }

    // The description a block gives: none for a licence notice; for a
    // banner (rules and facts such as Copyright and Created:) the prose
    // after its last fact without the rules and without paragraphs of
    // licence text; else the block as written.
    static std::string describe(Block block) {
        dropFactContinuations(block);
        size_t lastFact = npos;
        bool banner = false;  // rules or dates: a Copyright line alone makes no banner
        for (size_t i = 0; i < block.size(); ++i) {
            if (block[i].text == kRule) {
                banner = true;
            } else if (isBannerFact(block[i].text)) {
                lastFact = i;
                banner = banner || !startsNoCase(block[i].text, "Copyright");
            }
        }
        if (!banner || lastFact == npos) {
            std::string whole = join(block, 0);
            return isLicenceText(whole) ? std::string() : whole;
        }
        std::string prose;
        for (const std::string& paragraph : splitParagraphs(join(block, lastFact + 1)))
            if (!isLicenceText(paragraph)) prose += (prose.empty() ? "" : "\r\n") + paragraph;
        if (!prose.empty()) return prose;
        // No prose after the facts: the block's other lines (a title).
        std::erase_if(block, [](const Line& line) { return isBannerFact(line.text); });
        std::string text = join(block, 0);
        return isLicenceText(text) ? std::string() : text;
    }

    // The blanks between a comment line's apostrophes and its text.
    static size_t indentOf(std::string_view raw) {
        size_t p = 0;
        while (p < raw.size() && isBlankOrTab(raw[p])) ++p;
        while (p < raw.size() && raw[p] == '\'') ++p;
        const size_t text = p;
        while (p < raw.size() && isBlankOrTab(raw[p])) ++p;
        return p - text;
    }

    // A fact whose text runs on ("Last update: rewrote the ..." and below it
    // an indented "' the export"): the indented lines are the fact's, not
    // the module's prose.
    static void dropFactContinuations(Block& block) {
        for (size_t i = 0; i < block.size(); ++i) {
            if (block[i].text == kRule || !isBannerFact(block[i].text)) continue;
            const size_t indent = indentOf(block[i].raw);
            size_t end = i + 1;
            while (end < block.size() && !block[end].text.empty() && block[end].text != kRule &&
                   !isBannerFact(block[end].text) && indentOf(block[end].raw) > indent)
                ++end;
            block.erase(block.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                        block.begin() + static_cast<std::ptrdiff_t>(end));
        }
    }

    static std::vector<std::string> splitParagraphs(const std::string& text) {
        std::vector<std::string> out;
        for (size_t from = 0; from <= text.size();) {
            size_t end = text.find("\r\n", from);
            if (end == npos) end = text.size();
            if (end > from) out.push_back(text.substr(from, end - from));
            from = end + 2;
        }
        return out;
    }

    std::vector<Block> m_blocks;
    bool m_done = false;
};

// Whether word names (ignoring case) one of names.
bool namesOneOf(std::string_view word, const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& name) { return equalsIgnoreCase(word, name); });
}

// The names an element's "@name" tags may describe: itself (its return
// value), its arguments and its parts (of a Type or Enum).
std::vector<std::string> taggableNames(const Element& element) {
    std::vector<std::string> names{element.Name()};
    if (const auto arguments = element.Arguments())
        for (const auto& argument : arguments->elements()) names.push_back(argument->Name());
    if (const auto parts = element.Variables())
        for (const auto& part : parts->elements()) names.push_back(part->Name());
    return names;
}

// Text, then (as a paragraph of its own) the tags no one understood.
void appendUnknown(std::string& text, const std::string& unknown) {
    if (unknown.empty()) return;
    if (!trimSpaces(text).empty()) text += "\r\n";
    text += unknown;
}

// The module's description from its chosen comment block: the text before
// the first tag; "@see" and the section tags as on a member; every other
// "@member text" becomes that member's short description, and a tag that
// names no member stays visible in the description.
void takeModuleDescription(CModule& module, const std::string& block,
                           const std::vector<std::string>& memberNames) {
    const Tags tags(block);
    std::string description = block.substr(0, tags.firstTag());
    while (endsWith(description, "\r\n")) description.resize(description.size() - 2);
    appendUnknown(description, tags.unknown([&](std::string_view word) {
        return namesOneOf(word, memberNames);
    }));
    module.setDescription(std::move(description));
    module.setSeeAlso(tags.see());
    module.setSections(tags.sections());
    HashTable& shortDesc = *module.ShortDesc();
    shortDesc.setReplaceableKeys(true);
    tags.eachNamed([&](std::string_view word, const std::string& text) {
        if (!text.empty()) shortDesc.Add(word, text);
    });
}

// Joins a statement's continued physical lines into one logical line.
class StatementJoiner {
public:
    // Takes physical line i; true when it completes a statement, which
    // text() and start() then describe.
    bool take(std::string_view physical, int32_t i) {
        if (isContinued(physical)) {
            if (!m_continuing) {
                m_continuing = true;
                m_start = i;
                m_logical.clear();
            }
            m_logical += ' ';
            m_logical += trimSpaces(withoutContinuation(physical));
            return false;
        }
        if (m_continuing) {
            m_logical += ' ';
            m_logical += trimSpaces(physical);
            m_current = m_logical;
            m_continuing = false;
        } else {
            m_start = i;
            m_current = physical;
        }
        return true;
    }
    // The complete statement: the physical line, or the joined lines.
    std::string_view text() const { return m_current; }
    // Its first physical line.
    int32_t start() const { return m_start; }

private:
    std::string m_logical;  // the continued statement joined so far
    bool m_continuing = false;
    int32_t m_start = 0;
    std::string_view m_current;  // a line of the buffer, or m_logical
};

// The comment lines since the last code line (a statement's description),
// and the module's description from the comment blocks above its first
// code line.
class CommentTracker {
public:
    // includes may be null (no file is pulled in); must outlive this object.
    explicit CommentTracker(CommentIncludes* includes) : m_includes(includes) {}

    const std::string& text() const { return m_comments.text(); }

    // After the statement current (at file line fileLine) is parsed;
    // attached: it declared elements.
    void follow(std::string_view current, bool attached, int fileLine) {
        if (isCommentLine(current)) {
            // Only a line with an "@" can hold an @include tag.
            const auto included = m_includes && current.find('@') != std::string_view::npos
                                      ? m_includes->expand(cleanComment(current), fileLine)
                                      : std::nullopt;
            if (!included) return comment(current);
            // The file's lines stand where the tag stood, as comment lines.
            if (!included->before.empty()) comment("' " + included->before);
            for (const std::string& line : included->lines) comment("' " + line);
            if (!included->after.empty()) comment("' " + included->after);
        } else if (isBlankLine(current)) {
            if (!m_header.done()) m_header.blank();
        } else {
            if (!m_header.done()) m_moduleBlock = m_header.finish(attached);
            m_comments.clear();
            m_commentedCodeAt = npos;
        }
    }

    // The comment block that describes the module, once every line is seen.
    std::string moduleBlock() {
        if (!m_header.done()) m_moduleBlock = m_header.finish(false);
        return m_moduleBlock;
    }

private:
    void comment(std::string_view raw) {
        if (!m_header.done()) m_header.comment(raw);
        const std::string cleaned = cleanComment(raw);
        // An example in <pre> may show a whole routine: it stays.
        if (m_commentedCodeAt == npos && !m_comments.inPre() && isProcedureHeader(cleaned))
            m_commentedCodeAt = m_comments.size();
        // A declaration commented out (an older Declare above the one in
        // use; a continued one is one comment line) is code, not text.
        if (m_commentedCodeAt == npos && !m_comments.inPre() && isCommentedDeclaration(cleaned))
            return;
        m_comments.add(raw, cleaned);
        if (m_commentedCodeAt != npos && isProcedureEnd(cleaned)) {
            m_comments.cut(m_commentedCodeAt);
            m_commentedCodeAt = npos;
        }
    }

    CommentIncludes* m_includes;
    CommentText m_comments;
    // Where a commented-out routine header starts in m_comments: once its
    // commented end statement follows, the old code is no description.
    size_t m_commentedCodeAt = npos;
    HeaderBlocks m_header;      // the comment blocks above the first code line
    std::string m_moduleBlock;  // the one of them that describes the module
};

// What an element takes besides its own statement: its file line, the
// "@see" and section tags of its comment, its attribute's description when
// it has none, and the tags that name nothing of it, kept visible.
void annotate(Element& element, int line, const std::string& comments,
              const AttributeDescriptions& attributeDescriptions) {
    element.setLine(line);
    const Tags tags(comments);
    element.setSeeAlso(tags.see());
    element.setSections(tags.sections());
    attributeDescriptions.complete(element);
    std::string description = element.Description();
    const std::vector<std::string> names = taggableNames(element);
    appendUnknown(description,
                  tags.unknown([&](std::string_view word) { return namesOneOf(word, names); }));
    element.setDescription(std::move(description));
}

// A class's header block (BEGIN MultiUse = -1 END) holds no controls.
bool hasDesignerBlock(ModuleKind kind) { return isDesignedKind(kind); }

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
    int32_t firstAttribute = -1;  // the designer block ends above it
    const int32_t last = lines.Count();
    for (int32_t i = 0; i <= last; ++i) {
        std::string_view line = lines.Line(i);
        if (startsNoCase(line, "Attribute ")) {
            if (!attributeSeen) firstAttribute = i;
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
    if (hasDesignerBlock(moduleKindOf(moduleType)))
        module->setDesign(readDesignerBlock(lines, attributeSeen ? firstAttribute : last + 1,
                                            pathForMessages, m_diagnostics));
    lines = CStringLines();  // the file's text is not needed any more: one copy less at the peak
    if (hasDirectives(code)) {
        // Only what the compiler sees becomes elements; the module's Source
        // stays the whole file as written.
        CompiledLines compiled =
            compileModuleLines(code, m_constants, m_diagnostics, pathForMessages, fileLines);
        std::vector<int32_t> keptLines;
        keptLines.reserve(compiled.kept.size());
        for (int32_t index : compiled.kept) keptLines.push_back(fileLines[index]);
        module->setCompiledLines(
            std::make_shared<const std::vector<int32_t>>(std::move(compiled.kept)));
        parseModuleCode(*module, CStringLines(std::move(compiled.text)),
                        CodeContext{pathForMessages, keptLines});
    } else {
        CStringLines codeLines(std::move(code));
        parseModuleCode(*module, codeLines, CodeContext{pathForMessages, fileLines});
        code = codeLines.takeText();
    }
    module->setName(attributes->item("VB_Name", module->Name()));
    if (m_declarationsOnly) return module;  // no page shows its code
    module->setSource(std::move(code));
    module->setSourceFileLines(std::move(fileLines));
    return module;
}

std::shared_ptr<Element> CParser::parseRoutine(std::string_view current,
                                               std::string_view description,
                                               const CStringLines& lines, int32_t& index,
                                               const CodeContext& context) const {
    if (isSubroutine(current)) return parseSubroutine(description, lines, index, context);
    if (isFunction(current)) return parseFunction(description, lines, index, context);
    if (isProperty(current)) return parseProperty(description, lines, index, context);
    return nullptr;
}

void CParser::parseDeclarations(std::string_view current, std::string_view description,
                                const CStringLines& lines, int32_t& index,
                                std::vector<std::shared_ptr<Element>>& elements) const {
    if (isImplementation(current)) {
        elements.push_back(parseImplementation(description, lines, index));
    } else if (isDeclaration(current)) {
        elements.push_back(parseDeclaration(description, lines, index));
    } else if (isType(current)) {
        elements.push_back(parseType(description, lines, index));
    } else if (isEnum(current)) {
        elements.push_back(parseEnum(description, lines, index));
    } else if (isEvent(current)) {
        elements.push_back(parseEvent(description, lines, index));
    } else if (isConstant(current)) {
        for (auto& constant : parseConstant(description, lines, index))
            elements.push_back(std::move(constant));
    } else if (isVariable(current)) {
        for (auto& variable : parseVariable(description, lines, index))
            elements.push_back(std::move(variable));
    }
}

void CParser::parseModuleCode(CModule& module, const CStringLines& lines,
                              const CodeContext& context) const {
    const int32_t last = lines.Count();
    const AttributeDescriptions attributeDescriptions(*module.Attributes());
    StatementJoiner statement;
    // A module read apart from a project keeps its includes in its own folder.
    const std::filesystem::path root =
        std::filesystem::path(m_path.empty() ? context.path : m_path).parent_path();
    CommentIncludes includes(
        context.path, root.empty() ? std::filesystem::path(".") : root,
        [this](const std::string& path, int64_t limit) { return readText(path, limit); },
        m_diagnostics);
    CommentTracker comments(&includes);
    std::vector<std::string> memberNames;
    bool procedureSeen = false;
    std::vector<std::shared_ptr<Element>> elements;

    for (int32_t i = 0; i <= last; ++i) {
        // A giant module gives way to a cancel; Parse() then fails as a whole.
        if (i % kCancelLines == 0 && cancelled()) return;
        // A continued statement is looked at once it is complete, and the
        // comment block above it waits for it.
        if (!statement.take(lines.Line(i), i)) continue;
        const std::string_view current = statement.text();
        int32_t index = statement.start();
        elements.clear();
        bool isProcedure = true;
        if (auto routine = parseRoutine(current, comments.text(), lines, index, context)) {
            elements.push_back(std::move(routine));
        } else if (!procedureSeen) {
            isProcedure = false;
            parseDeclarations(current, comments.text(), lines, index, elements);
        }
        for (const auto& element : elements) {
            if (m_declarationsOnly)
                element->setLine(context.fileLine(statement.start()));
            else
                annotate(*element, context.fileLine(statement.start()), comments.text(),
                         attributeDescriptions);
            memberNames.push_back(element->Name());
            module.Add(element, m_diagnostics);
        }
        if (!elements.empty()) {
            if (isProcedure) procedureSeen = true;
            // Every parser consumes at least the statement; never look back.
            i = std::max(i, index);
        }
        // Reading declarations only, no comment becomes a description.
        if (!m_declarationsOnly)
            comments.follow(current, !elements.empty(), context.fileLine(statement.start()));
    }
    const std::string moduleBlock = comments.moduleBlock();
    if (!moduleBlock.empty() && !m_declarationsOnly)
        takeModuleDescription(module, moduleBlock, memberNames);
}

}  // namespace tarnwick
