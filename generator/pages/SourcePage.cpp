#include "generator/pages/SourcePage.h"

#include <charconv>
#include <cstring>
#include <iterator>
#include <span>
#include <string>

#include "generator/pages/CTextLines.h"
#include "generator/pages/ReferencePages.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/pages/modVBtoHTML.h"
#include "model/CHelper.h"
#include "support/Html.h"
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

// A run of two or more blanks in the text (outside the colour tags) written
// as "&nbsp;" each, so aligned comments and ASCII tables keep their columns;
// a single blank stays a blank. Every "<" left in a coloured line opens a
// tag: the code's own "<" is a character reference by now. Appended to out;
// the text between blanks and tags goes over in one piece.
void appendKeepingBlankRuns(std::string& out, std::string_view coloured) {
    const char* p = coloured.data();
    const char* const end = p + coloured.size();
    while (p < end) {
        if (*p == '<') {
            // A tag goes over whole, blanks included.
            const char* close = static_cast<const char*>(std::memchr(p, '>', end - p));
            const char* stop = close ? close + 1 : end;
            out.append(p, stop);
            p = stop;
            continue;
        }
        if (*p == ' ') {
            const char* q = p;
            while (q < end && *q == ' ') ++q;
            if (q - p == 1) {
                out += ' ';
            } else {
                for (; p < q; ++p) out += kNbsp;
            }
            p = q;
            continue;
        }
        const char* q = p + 1;
        while (q < end && *q != ' ' && *q != '<') ++q;
        out.append(p, q);
        p = q;
    }
}

// What one code line needs besides the page: kept between lines so a long
// listing does not allocate per line.
struct LineScratch {
    Html escaped;
    std::string coloured;
    // A linked line: its text with the marks, the addresses of its links,
    // the coloured markup while its marks become links.
    std::string marked;
    std::vector<const std::string*> hrefs;
    std::string done;
};

// One line of code (blanks already trimmed) escaped, coloured and followed
// by "<BR>", appended to the markup out.
void appendCodeLine(std::string& out, std::string_view line, LineScratch& scratch) {
    // The code's own "&", "<" and ">" become references first, so the
    // colouring sees no tag of the code's and the listing shows the source as
    // written (a "&lt;" in a string literal stays "&lt;").
    Html& escaped = scratch.escaped;
    escaped.clear();
    appendCodeText(escaped, line);
    // Coloured straight into out: a line without a run of blanks or a line
    // break (nearly every line) needs nothing more, and a giant one is not
    // held twice.
    const size_t start = out.size();
    modVBtoHTML::appendVBtoHTML(out, escaped.str());
    if (escaped.size() > (1u << 20)) escaped = Html();  // a giant line: let go
    const std::string_view added = std::string_view(out).substr(start);
    if (added.find("  ") == std::string_view::npos &&
        added.find("\r\n") == std::string_view::npos) {
        out += "<BR>";
        return;
    }
    std::string& coloured = scratch.coloured;
    coloured.assign(added);
    out.resize(start);
    // The code table hands over one line: then the coloured text is one line
    // without surrounding blanks (it starts and ends with a FONT tag).
    if (coloured.find("\r\n") == std::string::npos) {
        appendKeepingBlankRuns(out, coloured);
        out += "<BR>";
    } else {
        CTextLines lines;
        lines.setText(coloured);
        for (int i = 0; i <= lines.LineCount(); ++i) {
            const std::string& current = lines.lines()[static_cast<size_t>(i)];
            if (i > 0) out += "\r\n";
            for (size_t n = leadingBlanks(rtrimSpaces(current)); n > 0; --n) out += kNbsp;
            appendKeepingBlankRuns(out, trimSpaces(current));
            out += "<BR>";
        }
    }
    if (coloured.capacity() > (1u << 20)) coloured = std::string();
}

// Marks around a linked name while the line is coloured: the colouring
// passes them over like letters, so the link ends up inside one token's
// text and never across a colour span. A line that holds them itself is
// not linked.
constexpr char kLinkOpen = '\x01';
constexpr char kLinkClose = '\x02';

// line with the marks around each name of links (columns of the untrimmed
// line, trimmed by `trimmed` blanks) into scratch.marked; their addresses
// (of hrefs) in order into scratch.hrefs.
void markLinks(std::string_view line, size_t trimmed, std::span<const LineLink> links,
               const std::vector<std::string>& hrefs, LineScratch& scratch) {
    std::string& out = scratch.marked;
    out.clear();
    scratch.hrefs.clear();
    size_t at = 0;
    for (const LineLink& link : links) {
        if (link.column < static_cast<int32_t>(trimmed)) continue;
        const size_t column = static_cast<size_t>(link.column) - trimmed;
        const size_t length = static_cast<size_t>(link.length);
        if (column < at || column + length > line.size()) continue;
        out.append(line, at, column - at);
        out += kLinkOpen;
        out.append(line, column, length);
        out += kLinkClose;
        at = column + length;
        scratch.hrefs.push_back(&hrefs[link.page]);
    }
    out.append(line, at);
}

// The marks from `from` on in out made links to scratch.hrefs, in order.
void replaceMarks(std::string& out, size_t from, LineScratch& scratch) {
    std::string& done = scratch.done;
    done.clear();
    size_t next = 0;
    size_t copied = from;
    for (size_t i = from; i < out.size(); ++i) {
        if (out[i] != kLinkOpen && out[i] != kLinkClose) continue;
        done.append(out, copied, i - copied);
        if (out[i] == kLinkClose) {
            done += "</A>";
        } else if (next < scratch.hrefs.size()) {
            done += "<A href=\"";
            done += *scratch.hrefs[next++];
            done += "\">";
        } else {
            done += "<A>";
        }
        copied = i + 1;
    }
    done.append(out, copied);
    out.resize(from);
    out += done;
    // A giant line's room is let go, not kept for the short ones after it.
    if (done.capacity() > (1u << 20)) done = std::string();
    if (scratch.marked.capacity() > (1u << 20)) scratch.marked = std::string();
}

// The column of line numbers: 1 to count, zero-padded to one digit more
// than count - 1 has ("01" to "10" for ten lines).
void appendLineNumbers(HtmlBuffer& out, int count) {
    out.AppendLn("<TABLE border=\"0\" cellspacing=\"0\" cellpadding=\"0\" class=\"LineNumbers\">");
    const int width = decimalDigits(count - 1) + 1;
    for (int k = 1; k <= count; ++k) {
        out.AppendLn("<TR class=\"LineNumbers\">");
        out.AppendLn("<TD align=\"right\" class=\"LineNumbers\">");
        for (int digits = decimalDigits(k); digits < width; ++digits) out.Append("0");
        out.Append(number(k));
        out.AppendLn("</TD>");
        out.AppendLn("</TR>");
    }
    out.AppendLn("</TABLE>");
}

// The table's opening up to its first code row; idLine names the table
// that holds the code rows.
void appendTableHead(HtmlBuffer& out, const Html& idLine, bool numbered, int count) {
    out.AppendLn("<TABLE class=\"Source\" cellspacing=\"0\" cellpadding=\"0\" ");
    if (!numbered) {
        out.AppendLn(idLine);
        out.AppendLn(">");
        return;
    }
    out.AppendLn(">");
    out.AppendLn("<TR>");
    out.AppendLn("<TD width=\"1px\">");
    appendLineNumbers(out, count);
    out.AppendLn("</TD>");
    out.AppendLn("<TD width=\"100%\">");
    out.AppendLn("<TABLE border=\"0\" cellspacing=\"0\" cellpadding=\"0\" class=\"CodeLines\" ");
    out.AppendLn(idLine);
    out.AppendLn(">");
}

// The code rows, one per line. With links, every row is an anchor ("Used
// by" links to it) and the names links gives become links.
void appendCodeRows(HtmlBuffer& table, const std::vector<std::string_view>& lines,
                    const CodeLinks* links) {
    // The rows go straight into the reserved markup: a line of many
    // megabytes is not built apart and copied.
    std::string& out = table.markup();
    LineScratch scratch;
    const LineLink* nextLink = links ? links->links.data() : nullptr;
    const LineLink* const endLinks = links ? nextLink + links->links.size() : nullptr;
    int32_t line = 0;
    for (const std::string_view text : lines) {
        ++line;
        if (links) {
            table.Append("<TR class=\"CodeLines\" id=\"L");
            char digits[12];
            out.append(digits, std::to_chars(digits, std::end(digits), line).ptr);
            table.Append("\">\r\n<TD  class=\"CodeLines\" nowrap>\r\n");
        } else {
            table.Append("<TR class=\"CodeLines\">\r\n<TD  class=\"CodeLines\" nowrap>\r\n");
        }
        const size_t blanks = leadingBlanks(text);
        for (size_t n = blanks + 1; n > 0; --n) out += kNbsp;
        // The links of this line: the next ones in line order.
        while (nextLink != endLinks && nextLink->line < line) ++nextLink;
        const LineLink* const lineLinks = nextLink;
        while (nextLink != endLinks && nextLink->line == line) ++nextLink;
        if (lineLinks != nextLink && text.find_first_of("\x01\x02") == std::string_view::npos) {
            markLinks(trimSpaces(text), blanks, std::span(lineLinks, nextLink), links->hrefs,
                      scratch);
            const size_t start = out.size();
            appendCodeLine(out, scratch.marked, scratch);
            replaceMarks(out, start, scratch);
        } else {
            appendCodeLine(out, trimSpaces(text), scratch);
        }
        table.Append("</TD>\r\n</TR>\r\n");
    }
}

// The modern listing is a run of ordered lists of kListingChunk lines, a
// line an item: the browser numbers the items from the list's start, and an
// item whose number is not the one after the last (past the hidden header
// and Attribute lines of the module file) says its own. The style sheet
// lays out only the lists in view (content-visibility), so a listing of
// 60,000 lines opens as fast as one of a few hundred. The line break of
// the page's text stands inside the item's tag, so the items hold no line
// break of their own (a copied listing gets one per line) and the page's
// source still shows a line of code per line.
constexpr int32_t kListingChunk = 500;

void appendListingItem(std::string& out, int32_t line, int fileLine, int expected) {
    if (line % kListingChunk == 1) {
        if (line > 1) out += "</ol>\r\n";
        out += "<ol start=\"";
        out += std::to_string(fileLine);
        out += "\">";
        expected = fileLine;
    }
    out += "<li\r\nid=\"L";
    out += std::to_string(fileLine);
    if (fileLine != expected) {
        out += "\" value=\"";
        out += std::to_string(fileLine);
    }
    out += "\">";
}

// The modern listing's items: numbered and addressed "L{n}" by the line of
// the module file, marked (modVBtoHTML::appendMarkedLine), the code's own
// blanks kept as blanks (the list keeps them, white-space: pre). An empty
// line holds a line break, so copying keeps it.
void appendListingLines(std::string& out, const std::vector<std::string_view>& lines,
                        const CModule& module, const CodeLinks* links) {
    Html escaped;
    modVBtoHTML::MarkState state;
    LineScratch scratch;
    const LineLink* nextLink = links ? links->links.data() : nullptr;
    const LineLink* const endLinks = links ? nextLink + links->links.size() : nullptr;
    int32_t line = 0;
    int expected = 1;
    for (const std::string_view text : lines) {
        ++line;
        const int fileLine = module.fileLineOf(line);
        appendListingItem(out, line, fileLine, expected);
        expected = fileLine + 1;
        // The links of this line: the next ones in line order.
        while (nextLink != endLinks && nextLink->line < line) ++nextLink;
        const LineLink* const lineLinks = nextLink;
        while (nextLink != endLinks && nextLink->line == line) ++nextLink;
        const std::string_view code = rtrimSpaces(text);
        escaped.clear();
        const size_t start = out.size();
        if (code.empty()) {
            out += "<br>";
            state = {};
        } else if (lineLinks != nextLink &&
                   code.find_first_of("\x01\x02") == std::string_view::npos) {
            markLinks(code, 0, std::span(lineLinks, nextLink), links->hrefs, scratch);
            appendCodeText(escaped, scratch.marked);
            modVBtoHTML::appendMarkedLine(out, escaped.str(), state);
            replaceMarks(out, start, scratch);
        } else {
            appendCodeText(escaped, code);
            modVBtoHTML::appendMarkedLine(out, escaped.str(), state);
        }
        if (escaped.size() > (1u << 20)) escaped = Html();  // a giant line: let go
    }
}

// The modern code page's listing.
Html listing(const CModule& module, const CodeLinks& links) {
    std::vector<std::string_view> lines = splitLines(module.Source());
    while (lines.size() >= 2 && trimSpaces(lines.back()).empty()) lines.pop_back();
    // The room for it all from the start, as for the table: a line takes its
    // item, a marked word its element, a link its anchor.
    size_t room = module.Source().size() * 2 + lines.size() * 24 + 65536;
    for (const LineLink& link : links.links) room += links.hrefs[link.page].size() + 24;
    HtmlBuffer out;
    out.reserve(std::min<size_t>(room, 1u << 30));
    // The width of the numbers' column, in digits.
    const int last = module.fileLineOf(static_cast<int>(lines.size()));
    out.Append("<div class=\"code\" id=\"SOURCE\" style=\"--digits:" + number(decimalDigits(last)) +
               "\">");
    appendListingLines(out.markup(), lines, module, &links);
    out.Append("</ol></div>\r\n");
    return out.take();
}

}  // namespace

Html buildCodeLine(std::string_view line) {
    HtmlBuffer out;
    LineScratch scratch;
    appendCodeLine(out.markup(), line, scratch);
    return out.take();
}

Html sourceTable(std::string_view text, std::string_view id, bool numbered,
                 const CodeLinks* links) {
    // Views into text: a module of many megabytes is not copied line by line.
    std::vector<std::string_view> lines = splitLines(text);
    while (lines.size() >= 2 && trimSpaces(lines.back()).empty()) lines.pop_back();

    // Room for the whole table from the start, the page's head and tail
    // included: grown by doubling, a table of hundreds of megabytes would be
    // copied on the way and held twice at the last step. Room never written
    // costs no memory. Each line takes a row and a line number, each link
    // its anchor; keywords and blanks take their markup.
    size_t room = text.size() * 4 + lines.size() * 160 + 65536;
    if (links)
        for (const LineLink& link : links->links) room += links->hrefs[link.page].size() + 24;
    HtmlBuffer table;
    table.reserve(std::min<size_t>(room, 1u << 30));
    appendTableHead(table, " id = \"" + attribute(id) + "\"", numbered,
                    static_cast<int>(lines.size()));
    appendCodeRows(table, lines, links);
    if (numbered) table.Append("</TABLE>\r\n</TD>\r\n</TR>\r\n");
    table.Append("</TABLE>\r\n");
    return table.take();
}

PageBody buildCodePage(const CModule& module, const CProject& project, const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer page;
    if (!module.Source().empty()) {
        const CodeLinks links = codeLinks(module, project, ctx);
        const Html heading = "<H3>\r\n" + trText(helper, "Source", "Source") + "\r\n</H3>";
        if (ctx.modern()) {
            page.AppendLn(heading);
            page.Append(listing(module, links));
        } else {
            // The listing has room to spare: the body is made around it, not copied.
            page.AppendLn(heading + Html("\r\n<P>"));
            page.AppendLn(sourceTable(module.Source(), "SOURCE", true, &links));
            page.AppendLn("</P>");
        }
    }
    return modHtml::detail::modulePage(module, project, ctx, "_Code.html",
                                       helper.Translate("Code", "Code"), page.take());
}

}  // namespace tarnwick
