// AuthorHtml: the one gate through which authors' text (descriptions, short
// descriptions, parameter and return texts) reaches a page.
//
// Authors write inline HTML on purpose ("<b>", "<a href=...>") and also
// plain "<" and ">" meant as text ("a <fault> element"). The gate keeps the
// markup of a small safe set and shows everything else as the text it is:
// - kept: b i u em strong code tt br p pre ul ol li sub sup, tables
//   (table thead tbody tr th td), h3 to h6, dl dt dd, blockquote and hr,
//   written back in lower case without attributes; and a, with only its
//   href, when that is http, https, mailto or a relative address (which the
//   run may point at the page it names), never "//host" and its spellings;
// - dropped: <script> elements with their content, every other attribute
//   (event handlers included), javascript: and other scheme links (the
//   link's text stays);
// - escaped: any other tag, a "<" or ">" that is no tag, an "&" that starts
//   no character reference;
// - closed: tags the author left open are closed at the end, closing tags
//   with no opening one are dropped, a self-closing "<i/>" opens nothing,
//   so a description never changes the page around it.
// A line break in the text (a blank comment line inside a comment block)
// starts a new paragraph; inside <pre> it is the example's own line break.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Html.h"

namespace tarnwick {

// What becomes of the address of a link into the site ("SortedList.Count.html",
// no scheme): the address to write instead, or empty to keep only the
// link's text. Empty function: such addresses stay as written.
using RelativeLinks = std::function<std::string(std::string_view address)>;

std::string sanitizeAuthorHtml(std::string_view text, const RelativeLinks& relative = {});

// The gate's output as markup: the only way an author's text reaches a page.
inline Html authorHtml(std::string_view text, const RelativeLinks& relative = {}) {
    return Html::trusted(sanitizeAuthorHtml(text, relative));
}

// The addresses of the links into the site the text holds, as the gate
// reads them, in order; and those to another host without a scheme, which
// the gate never keeps (see isOtherHostAddress).
std::vector<std::string> relativeAuthorLinks(std::string_view text);

// True for "//host/x" and the spellings browsers read alike ("\\host",
// "/\host", "\\/host"): the page's own scheme on another host.
bool isOtherHostAddress(std::string_view address);

// The summary a table row shows for a description: its first sentence (up
// to a full stop, "!" or "?" before a blank and no lower-case word, outside
// parentheses and not the stop of a known abbreviation such as "e.g." or
// "etc."; a paragraph mark or the first block of markup: a table, list,
// example or heading).
std::string firstSentence(std::string_view description);

}  // namespace tarnwick
