// AuthorHtml: the one gate through which authors' text (descriptions, short
// descriptions, parameter and return texts) reaches a page.
//
// Authors write inline HTML on purpose ("<b>", "<a href=...>") and also
// plain "<" and ">" meant as text ("a <fault> element"). The gate keeps the
// markup of a small safe set and shows everything else as the text it is:
// - kept: b i u em strong code tt br p pre ul ol li sub sup, written back
//   in lower case without attributes; and a, with only its href, when that
//   is http, https, mailto or a relative address;
// - dropped: <script> elements with their content, every other attribute
//   (event handlers included), javascript: and other scheme links (the
//   link's text stays);
// - escaped: any other tag, a "<" or ">" that is no tag, an "&" that starts
//   no character reference;
// - closed: tags the author left open are closed at the end, closing tags
//   with no opening one are dropped, so a description never changes the
//   page around it.
// A line break in the text (a blank comment line inside a comment block)
// starts a new paragraph.
#pragma once

#include <string>
#include <string_view>

#include "support/Html.h"

namespace tarnwick {

std::string sanitizeAuthorHtml(std::string_view text);

// The gate's output as markup: the only way an author's text reaches a page.
inline Html authorHtml(std::string_view text) { return Html::trusted(sanitizeAuthorHtml(text)); }

}  // namespace tarnwick
