// Member pages and the layout of declarations: buildMemberPage(s),
// formatProcedureSyntax, formatTypeSyntax, umlMemberSignature and inArray.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "generator/pages/ChangesPage.h"
#include "generator/pages/FormSections.h"
#include "generator/pages/ReferencePages.h"
#include "generator/pages/SourcePage.h"
#include "generator/pages/modHtml.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/AuthorHtml.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/Listing.h"
#include "model/CArgument.h"
#include "model/CArgumentList.h"
#include "model/CHelper.h"
#include "model/CProperty.h"
#include "model/CVariable.h"
#include "model/CVariableList.h"
#include "support/Html.h"
#include "support/Text.h"

namespace tarnwick::modHtml {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The sentences above the parts and parameter tables: %1 the member's
// name, %2 its translated kind word.
constexpr std::string_view kElementParts =
    "The elements of the <B>%1</B>-%2 consists of following parts:";
constexpr std::string_view kSyntaxParts =
    "The syntax for the <B>%1</B>-%2 consists of following parts:";

// The translated sentence with %1 and %2 filled in; the sentence is markup
// of the translation file, the two fill-ins are markup too (an escaped name).
Html fillIn(const Html& sentence, const Html& first, const Html& second) {
    std::string text = sentence.str();
    const size_t one = text.find("%1");
    if (one != std::string::npos) text.replace(one, 2, first.str());
    const size_t two = text.find("%2", one == std::string::npos ? 0 : one + first.size());
    if (two != std::string::npos) text.replace(two, 2, second.str());
    return Html::trusted(std::move(text));
}

// Position of needle in text ignoring letter case (ASCII needle), or npos.
size_t findIgnoreCase(std::string_view text, std::string_view needle) {
    if (needle.empty() || text.size() < needle.size()) return std::string_view::npos;
    for (size_t i = 0; i + needle.size() <= text.size(); ++i)
        if (equalsIgnoreCase(text.substr(i, needle.size()), needle)) return i;
    return std::string_view::npos;
}

// "(Key, [Start])": the parameter names, optional ones in brackets.
std::string parameterList(const Element& member) {
    std::string out = "(";
    if (const auto arguments = member.Arguments()) {
        bool first = true;
        for (const auto& argument : arguments->elements()) {
            if (!first) out += ", ";
            first = false;
            if (argument->isOptional())
                out += "[" + argument->Name() + "]";
            else
                out += argument->Name();
        }
    }
    out += ")";
    return out;
}

// The sentence above a parts or parameter table, the member's name and
// kind filled in, and the blank lines after it.
void appendTableSentence(HtmlBuffer& page, const Html& sentence, const Element& member,
                         const std::string& kind, const CHelper& helper) {
    page.AppendLn(fillIn(sentence, escaped(member.Name()), trText(helper, kind, kind)));
    page.AppendLn("<BR>");
    page.AppendLn("<BR>");
}

// A parts or parameter table's start, up to its first column's heading.
void appendPartTableHead(HtmlBuffer& page, const CHelper& helper) {
    page.AppendLn("<TABLE class=\"Summary\">");
    page.AppendLn("   <TR class=\"Summary\">");
    page.AppendLn("      <TH class=\"Summary\" width=\"25%\">" + trText(helper, "Part") + "</TH>");
}

void appendPartsSection(HtmlBuffer& page, const Element& member, const std::string& kind,
                        const CModule& module, const CProject& project, const CHelper& helper,
                        const PageContext& ctx, const Html& id) {
    const auto parts = member.Variables();  // a Type never filled has none
    if (!parts || parts->empty()) return;
    const bool isEnum = member.Kind() == ElementKind::Enum;
    page.AppendLn("<P" + id + ">");
    appendTableSentence(page, trMarkup(helper, "ElementParts", kElementParts), member, kind,
                        helper);
    appendPartTableHead(page, helper);
    if (isEnum)
        page.AppendLn("      <TH class=\"Summary\" width=\"1\">" + trText(helper, "Value") +
                      "</TH>");
    page.AppendLn("      <TH class=\"Summary\" width=\"75%\">" + trText(helper, "Description") +
                  "</TH>");
    page.AppendLn("   </TR>");
    for (const auto& part : parts->elements()) {
        page.AppendLn("   <TR class=\"Summary\">");
        page.AppendLn("      <TD class=\"Summary\">");
        page.AppendLn("         <B>" + escaped(part->Name()) + "</B>");
        if (!part->DataType().empty())
            page.AppendLn(
                " (" + dataTypeLink(helper, part->DataType(), module, project, "../", ctx) + ")");
        page.AppendLn("      </TD>");
        if (isEnum) {
            page.AppendLn("      <TD class=\"Summary\">");
            page.AppendLn("         " + escaped(part->default_()));
            page.AppendLn("      </TD>");
        }
        page.AppendLn("      <TD>");
        page.Append(ctx.author(part->Description()));
        page.Append("&nbsp;");
        page.AppendLn("      </TD>");
        page.AppendLn("   </TR>");
    }
    page.AppendLn("</TABLE>");
    page.AppendLn("</P>");
}

void appendParameterSection(HtmlBuffer& page, const Element& member, const std::string& kind,
                            const CModule& module, const CProject& project, const CHelper& helper,
                            const PageContext& ctx, const Html& id) {
    page.AppendLn("<P" + id + ">");
    // The sentence speaks of the syntax above: without it, it is left out.
    if (ctx.settings.Syntax) {
        appendTableSentence(page, trMarkup(helper, "SyntaxParts", kSyntaxParts), member, kind,
                            helper);
    }
    appendPartTableHead(page, helper);
    page.AppendLn("      <TH class=\"Summary\">" + trText(helper, "Description") + "</TH>");
    page.AppendLn("   </TR>");
    if (const auto arguments = member.Arguments()) {
        for (const auto& argument : arguments->elements()) {
            page.AppendLn("   <TR class=\"Summary\">");
            page.AppendLn("      <TD class=\"Summary\">");
            page.AppendLn("<B>" + escaped(argument->Name()) + "</B> (" +
                          dataTypeLink(helper, argument->DataType(), module, project, "../", ctx) +
                          ")");
            page.AppendLn("      </TD>");
            page.AppendLn("      <TD>");
            if (argument->isOptional()) page.Append(trText(helper, "Optional", "Optional."));
            page.Append("&nbsp;");
            page.Append(ctx.author(argument->Description()));
            page.AppendLn("      </TD>");
            page.AppendLn("   </TR>");
        }
    }
    page.AppendLn("</TABLE>");
    page.AppendLn("</P>");
}

// Description, syntax, parts, parameters, return value and source of one
// member; anchors: its sections get their addresses (the first member of a page).
void appendMemberSections(HtmlBuffer& page, const Element& member, const CModule& module,
                          const CProject& project, const PageContext& ctx, const CHelper& helper,
                          bool anchors) {
    const auto id = [&](std::string_view name) {
        return anchors ? detail::sectionId(ctx, name) : Html();
    };
    page.AppendLn("<P>");
    page.AppendLn(ctx.author(member.Description()));
    page.AppendLn("</P>");
    page.Append(detail::authorSections(member.Sections(), member.SeeAlso(), module, helper, ctx));

    const ElementKindTraits& traits = kindTraits(member.Kind());
    const std::string kind = traits.name;
    if (ctx.settings.Syntax && traits.syntax != SyntaxLayout::None) {
        page.Append("<H3" + id("Syntax") + ">");
        page.Append(trText(helper, "Syntax"));
        page.Append("</H3>");
        page.AppendLn("<P>");
        if (traits.syntax == SyntaxLayout::Procedure)
            page.AppendLn(
                linkSyntaxTypes(formatProcedureSyntax(member.Syntax()), module, project, ctx));
        else
            page.AppendLn(linkSyntaxTypes(formatTypeSyntax(member.Source()), module, project, ctx));
        page.AppendLn("</P>");
    }
    if (traits.parts)
        appendPartsSection(page, member, kind, module, project, helper, ctx, id("Parts"));
    // A section heading with nothing under it is left out.
    const auto arguments = member.Arguments();
    if (ctx.settings.Parameter && traits.parameters && arguments && !arguments->empty())
        appendParameterSection(page, member, kind, module, project, helper, ctx, id("Parameters"));

    if (ctx.settings.Return && traits.returns) {
        const auto returns = member.Returns();
        const Html text = returns ? ctx.author(returns->Description()) : Html();
        if (returns && !returns->DataType().empty() && !trimSpaces(text.str()).empty()) {
            page.Append("<H3" + id("Returns") + ">");
            page.Append(trText(helper, "Returns"));
            page.Append("</H3>");
            page.Append("<P>");
            page.Append(text);
            page.AppendLn("</P>");
        }
    }

    if (!ctx.settings.Source || trimSpaces(replaceAll(member.Source(), "\r\n", "")).empty()) return;
    page.Append("<H3" + id("Source") + ">");
    page.Append(trText(helper, "Source"));
    page.Append(detail::codeLineLink(module, member, ctx));
    page.Append("</H3>");
    page.AppendLn("<P>");
    page.AppendLn(sourceTable(member.Source(), "SOURCE", true));
    page.AppendLn("</P>");
}

}  // namespace

namespace detail {

Html authorSections(const DocSections& sections, const std::vector<std::string>& seeAlso,
                    const CModule& module, const CHelper& helper, const PageContext& ctx) {
    HtmlBuffer out;
    const std::pair<const std::string*, const char*> parts[] = {
        {&sections.remarks, "Remarks"},
        {&sections.example, "Example"},
        {&sections.exceptions, "Exceptions"}};
    for (const auto& [text, key] : parts) {
        if (text->empty()) continue;
        out.AppendLn("<H3>" + trText(helper, key, key) + "</H3>");
        out.AppendLn("<DIV class=\"" + attribute(toLower(key)) + "\">" + ctx.author(*text) +
                     "</DIV>");
    }
    if (!seeAlso.empty()) {
        Html line = "<P class=\"seeAlso\"><B>" + trText(helper, "SeeAlso", "See also") + ":</B> ";
        bool first = true;
        for (const std::string& target : seeAlso) {
            if (!first) line += ", ";
            first = false;
            // "#Remove" shows as "Remove".
            const std::string_view shown = std::string_view(target).substr(target[0] == '#');
            line += CrossLinks::link(ctx.links ? ctx.links->seePage(target, module) : "", shown);
        }
        out.AppendLn(line + "</P>");
    }
    return out.take();
}

std::string rowDataType(const std::vector<const Element*>& row, TypeColumn typeColumn) {
    if (typeColumn == TypeColumn::None) return {};
    for (const Element* accessor : row) {
        std::string dataType;
        if (typeColumn == TypeColumn::Returns) {
            if (const auto returns = accessor->Returns()) dataType = returns->DataType();
        } else {
            dataType = accessor->DataType();
        }
        if (!dataType.empty()) return dataType;
    }
    return {};
}

std::string scopeText(const std::vector<const Element*>& members) {
    if (members.empty()) return {};
    if (members.front()->Kind() != ElementKind::Property)
        return CHelper::GetScope(members.front()->scope());
    std::string text;
    int previousScope = -1;
    for (const Element* e : members) {
        if (e->scope() != previousScope) {
            if (!text.empty()) text += '/';
            text += CHelper::GetScope(e->scope()) + " " + accessorWord(*e);
            previousScope = e->scope();
        } else {
            text += "/" + accessorWord(*e);
        }
    }
    return text;
}

}  // namespace detail

PageBody buildMemberPage(const Element& member, const CModule& module, const CProject& project,
                         const PageContext& ctx) {
    const auto members = pageMembers(module, member, ctx.settings);
    PageBody page = detail::buildMemberPageOf(members, module, project, ctx);
    if (const std::string kinds = kindTraits(module.Kind()).listName; !kinds.empty())
        page.path = kinds + "/" + detail::memberFileName(module, *members.front(), ctx) + ".html";
    return page;
}

PageBodies buildMemberPages(const CModule& module, const CProject& project,
                            const PageContext& ctx) {
    const std::string kinds = CHelper(ctx.translation, ctx.language).getModulesType(module);
    PageBodies pages;
    const PageGroups groups = pageGroups(module, ctx.settings);
    const ReferenceHeadings headings(CHelper(ctx.translation, ctx.language));
    for (const SummaryTable& table : summaryTables(module, ctx.settings)) {
        if (!table.enabled) continue;
        for (const auto& row : tableRows(*table.list, ctx.settings)) {
            const Element& member = *row.front();
            // One page per file: the first member it documents writes it.
            const auto members = membersOf(groups, member);
            if (std::find(row.begin(), row.end(), members.front()) == row.end()) continue;
            const std::string file =
                detail::memberFileName(module, *members.front(), ctx) + ".html";
            // Libraries and modules of no kind have no folder in the site.
            if (kinds.empty())
                throw PageWriteError(file,
                                     "module " + module.Name() + " is of no kind that has pages");
            pages.push_back(detail::buildMemberPageOf(members, module, project, ctx, &headings));
            pages.back().path = kinds + "/" + file;
        }
    }
    return pages;
}

PageBody detail::buildMemberPageOf(const std::vector<const Element*>& members,
                                   const CModule& module, const CProject& project,
                                   const PageContext& ctx, const ReferenceHeadings* headings) {
    const Element& member = *members.front();
    const CHelper helper(ctx.translation, ctx.language);
    const std::string& name = member.Name();
    const std::string moduleKind = helper.getModuleType(module);
    HtmlBuffer page;
    page.AppendLn(buildIconHeader(moduleKind, escaped(project.displayName()),
                                  "<I>" + escaped(module.Name()) + "</I>." + escaped(name)));
    page.AppendLn("<P class=\"DocTitle\"><I>" + escaped(module.Name()) + "</I>.<B>" +
                  escaped(name) + "</B>" + changeMark(module, member, ctx) + "</P>");
    // A routine "IFoo_Bar" of a class that implements IFoo: IFoo's Bar.
    if (const IndexEntry* target =
            ctx.links ? ctx.links->implementedMember(member, module) : nullptr)
        page.AppendLn(
            "<P class=\"implements\">" + trText(helper, "ImplementsMember", "Implements") + " " +
            CrossLinks::link(target->path, target->owner->Name() + "." + target->name) + "</P>");
    // A routine "cmdOK_Click" of a form with a cmdOK: the control it handles.
    if (const Html handles = handlesLine(member, module, ctx); !handles.empty())
        page.AppendLn(handles);
    for (const Element* part : members) {
        // Several members on one page: each under its own heading.
        if (members.size() > 1) {
            const std::string kind = helper.getItemName(*part);
            const Html heading = part->Kind() == ElementKind::Property
                                     ? "Property " + escaped(accessorWord(*part))
                                     : trText(helper, kind, kind);
            page.AppendLn("<H2 class=\"Accessor\">" + heading + "</H2>");
        }
        appendMemberSections(page, *part, module, project, ctx, helper, part == members.front());
    }
    page.Append(referenceSections(members, module, project, ctx, helper, headings));

    ctx.consoleLine("Create documentation for " + moduleKind + " " + module.Name());
    PageBody body;
    body.kind = PageKind::Member;
    body.title = name;
    body.module = &module;
    body.body = page.take();
    return body;
}

Html formatProcedureSyntax(std::string_view syntax) {
    std::string_view s = trimSpaces(syntax);
    bool emptyParentheses = false;
    if (endsWith(s, "()")) {
        emptyParentheses = true;
        s.remove_suffix(2);
    }

    std::string result;
    const size_t open = s.find('(');
    const size_t close = s.rfind(')');
    // Nothing to lay out: no parameter list, or an empty one. A ")" before
    // the first "(" is treated the same way rather than cut backwards.
    if (open == std::string_view::npos || close == std::string_view::npos || close <= open + 1) {
        result = trimSpaces(syntax);
    } else {
        result.append(s.substr(0, open + 1));
        result += " _";
        result += kCrLf;
        std::string_view inner = s.substr(open + 1, close - open - 1);
        while (true) {
            const size_t comma = inner.find(',');
            result += "   ";
            result += trimSpaces(inner.substr(0, comma));
            result += " _";
            result += kCrLf;
            if (comma == std::string_view::npos) break;
            inner.remove_prefix(comma + 1);
        }
        result.append(s.substr(close));
        if (emptyParentheses) result += "()";
    }

    const size_t alias = findIgnoreCase(result, " Alias ");
    if (alias != std::string::npos) {
        std::string broken = result.substr(0, alias + 1);
        broken += " _";
        broken += kCrLf;
        broken += "   ";
        broken += result.substr(alias + 1);
        result = std::move(broken);
    }
    return sourceTable(result, "SYNTAX", false);
}

Html formatTypeSyntax(std::string_view source) {
    std::string s = replaceAll(trimSpaces(source), "End Type", "");
    const size_t typeWord = findIgnoreCase(s, "Type ");
    if (typeWord == std::string::npos) return sourceTable("", "SYNTAX", false);

    std::string result;
    const size_t start = typeWord + 5;
    const size_t blank = s.find(' ', start);
    const size_t lineEnd = s.find(kCrLf, start);
    size_t end = std::string::npos;
    if (blank != std::string::npos && lineEnd != std::string::npos)
        end = std::min(blank, lineEnd);
    else if (lineEnd != std::string::npos)
        end = lineEnd;
    else if (blank == std::string::npos)
        end = start;
    if (end != std::string::npos) {
        // The first line keeps the character at its end (the blank), but
        // never the CR of a line end: that would leave a lone CR in the page.
        const size_t keep = s[end] == '\r' ? end : end + 1;
        result = s.substr(0, keep);
        result += kCrLf;
        s = std::string(trimSpaces(std::string_view(s).substr(end)));
    }

    std::string_view rest = s;
    while (true) {
        const size_t next = rest.find(kCrLf);
        const std::string_view piece = trimSpaces(rest.substr(0, next));
        if (!piece.empty()) {
            result += "   ";
            result += piece;
            result += kCrLf;
        }
        if (next == std::string_view::npos) break;
        rest.remove_prefix(next + kCrLf.size());
    }
    result += "End Type";
    return sourceTable(result, "SYNTAX", false);
}

std::string umlMemberSignature(const Element& member) {
    switch (member.Kind()) {
        case ElementKind::Function:
        case ElementKind::Property:
        case ElementKind::Declaration: {
            const auto returns = member.Returns();
            return " " + (returns ? returns->DataType() : std::string()) + " : " + member.Name() +
                   parameterList(member);
        }
        case ElementKind::Subroutine:
            return member.Name() + parameterList(member);
        case ElementKind::Variable:
            return " " + member.DataType() + " : " + member.Name();
        default:
            return member.Name();
    }
}

bool inArray(std::string_view text, const std::vector<std::string>& words) {
    for (const std::string& word : words)
        if (equalsIgnoreCase(text, word)) return true;
    return false;
}

}  // namespace tarnwick::modHtml
