#include "generator/SourcePage.h"

#include <string>

#include "generator/CTextLines.h"
#include "generator/modHtml.h"
#include "generator/modVBtoHTML.h"
#include "model/CHelper.h"
#include "support/StringBuffer.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

constexpr std::string_view kNbsp = "&nbsp;";

int decimalDigits(int value) {
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

size_t leadingBlanks(std::string_view line) {
    size_t count = line.find_first_not_of(' ');
    return count == std::string_view::npos ? line.size() : count;
}

void appendRepeated(StringBuffer& out, std::string_view text, size_t times) {
    std::string run;
    run.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) run += text;
    out.Append(run);
}

// A run of two or more blanks in the text (outside the colour tags) written
// as "&nbsp;" each, so aligned comments and ASCII tables keep their columns;
// a single blank stays a blank. Every "<" left in a coloured line opens a
// tag: the code's own "<" is a character reference by now.
std::string keepBlankRuns(std::string_view coloured) {
    std::string out;
    out.reserve(coloured.size());
    bool inTag = false;
    for (size_t i = 0; i < coloured.size(); ++i) {
        const char c = coloured[i];
        if (c == '<') inTag = true;
        if (c == '>') inTag = false;
        if (c != ' ' || inTag) {
            out += c;
            continue;
        }
        size_t end = i;
        while (end < coloured.size() && coloured[end] == ' ') ++end;
        if (end - i == 1) {
            out += ' ';
        } else {
            for (size_t n = i; n < end; ++n) out += kNbsp;
        }
        i = end - 1;
    }
    return out;
}

}  // namespace

std::string encodeChar(std::string_view text, char32_t character) {
    std::string needle;
    appendUtf8(needle, character);
    const std::string reference = "&#" + std::to_string(static_cast<uint32_t>(character)) + ";";
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t at = text.find(needle); at != std::string_view::npos;
         at = text.find(needle, start)) {
        out.append(text, start, at - start);
        out += reference;
        start = at + needle.size();
    }
    out.append(text, start);
    return out;
}

std::string buildCodeLine(std::string_view line) {
    // '&' goes first so the listing shows the source as written: an
    // unescaped "&lt;" in a string literal would otherwise display as "<".
    // One pass for the three characters, as the chain of encodeChar calls
    // would give, without its copies of a line that may be megabytes long.
    std::string escaped;
    escaped.reserve(line.size());
    for (const char c : line) {
        if (c == '&')
            escaped += "&#38;";
        else if (c == '<')
            escaped += "&#60;";
        else if (c == '>')
            escaped += "&#62;";
        else
            escaped += c;
    }
    std::string coloured = modVBtoHTML::convertVBtoHTML(escaped);
    escaped = std::string();
    // The code table hands over one line: then the coloured text is one line
    // without surrounding blanks (it starts and ends with a FONT tag).
    if (coloured.find("\r\n") == std::string::npos) return keepBlankRuns(coloured) + "<BR>";
    CTextLines lines;
    lines.setText(coloured);
    std::string out;
    out.reserve(coloured.size() + 8);
    for (int i = 0; i <= lines.LineCount(); ++i) {
        const std::string& current = lines.lines()[static_cast<size_t>(i)];
        if (i > 0) out += "\r\n";
        for (size_t n = leadingBlanks(rtrimSpaces(current)); n > 0; --n) out += kNbsp;
        out += keepBlankRuns(trimSpaces(current));
        out += "<BR>";
    }
    return out;
}

std::string buildSourceTable(std::string_view text, std::string_view id, bool numbered) {
    CTextLines lines;
    lines.setText(text);
    lines.DeleteAppendingLines();
    const int count = lines.LineCount() + 1;
    const std::string idLine = " id = \"" + std::string(id) + "\"";

    StringBuffer out;
    out.setCapacity(static_cast<int>(std::min<size_t>(text.size() * 3 + 4096, 1u << 30)));
    out.AppendLn("<TABLE class=\"Source\" cellspacing=\"0\" cellpadding=\"0\" ");
    if (!numbered) out.AppendLn(idLine);
    out.AppendLn(">");
    if (numbered) {
        out.AppendLn("<TR>");
        out.AppendLn("<TD width=\"1px\">");
        out.AppendLn(
            "<TABLE border=\"0\" cellspacing=\"0\" cellpadding=\"0\" class=\"LineNumbers\">");
        const int width = decimalDigits(count - 1) + 1;
        for (int k = 1; k <= count; ++k) {
            out.AppendLn("<TR class=\"LineNumbers\">");
            out.AppendLn("<TD align=\"right\" class=\"LineNumbers\">");
            const int digits = decimalDigits(k);
            if (width > digits) out.Append(std::string(static_cast<size_t>(width - digits), '0'));
            out.Append(std::to_string(k));
            out.AppendLn("</TD>");
            out.AppendLn("</TR>");
        }
        out.AppendLn("</TABLE>");
        out.AppendLn("</TD>");
        out.AppendLn("<TD width=\"100%\">");
        out.AppendLn(
            "<TABLE border=\"0\" cellspacing=\"0\" cellpadding=\"0\" class=\"CodeLines\" ");
        out.AppendLn(idLine);
        out.AppendLn(">");
    }
    for (const std::string& line : lines.lines()) {
        out.AppendLn("<TR class=\"CodeLines\">");
        out.AppendLn("<TD  class=\"CodeLines\" nowrap>");
        appendRepeated(out, kNbsp, leadingBlanks(line) + 1);
        out.Append(buildCodeLine(trimSpaces(line)));
        out.AppendLn("</TD>");
        out.AppendLn("</TR>");
    }
    if (numbered) {
        out.AppendLn("</TABLE>");
        out.AppendLn("</TD>");
        out.AppendLn("</TR>");
    }
    out.AppendLn("</TABLE>");
    return out.take();
}

std::string buildSourceTable(std::string_view text, std::string_view id, bool numbered,
                             const PageContext& /*ctx*/) {
    return buildSourceTable(text, id, numbered);
}

std::string buildCodePage(const CModule& module, const CProject& project, const PageContext& ctx) {
    CHelper helper(ctx.translation, ctx.language);
    StringBuffer out;
    out.AppendLn(modHtml::modulePageHead(module, project, ctx));
    if (!module.Source().empty()) {
        out.AppendLn("<H3>");
        out.AppendLn(helper.Translate("Source", "Source"));
        out.AppendLn("</H3>");
        out.AppendLn("<P>");
        out.AppendLn(buildSourceTable(module.Source(), "SOURCE", true));
        out.AppendLn("</P>");
    }
    out.AppendLn(modHtml::modulePageTail(ctx));
    return out.take();
}

}  // namespace tarnwick
