// The gate for authors' text: safe markup kept, everything else shown as text or dropped.
#include <gtest/gtest.h>

#include "generator/site/AuthorHtml.h"

namespace tarnwick {
namespace {

TEST(AuthorHtml, SanitizesHostileAndKeepsSafeMarkup) {
    static const struct {
        const char* input;
        const char* expected;
    } kCases[] = {
        {"for a <fault> element", "for a &lt;fault&gt; element"},
        {"a < b and b > c", "a &lt; b and b &gt; c"},
        {"Tom & Jerry &amp; &#60; &#x3C; &eacute; &;",
         "Tom &amp; Jerry &amp; &#60; &#x3C; &eacute; &amp;;"},
        {"<!-- note -->", "&lt;!-- note --&gt;"},
        {"<B>bold</B> <i>it</i> <CODE>x</CODE>", "<b>bold</b> <i>it</i> <code>x</code>"},
        {"<b onclick=\"steal()\" style='x'>b</b>", "<b>b</b>"},
        {"line<br/>next<BR>end", "line<br>next<br>end"},
        {"<ul><li>one<li>two</ul>", "<ul><li>one<li>two</li></li></ul>"},
        {"<b>open", "<b>open</b>"},
        {"<b><i>both</b> after", "<b><i>both</i></b> after"},
        {"stray</i> close</b>", "stray close"},
        {"<pre><b>x</pre></b>", "<pre><b>x</b></pre>"},
        {"<a href=\"CAccount_Post.html\" target=\"_top\">Post</a>",
         "<a href=\"CAccount_Post.html\">Post</a>"},
        {"<A HREF='https://example.org/?a=1&b=2'>x</A>",
         "<a href=\"https://example.org/?a=1&amp;b=2\">x</a>"},
        {"<a href=mailto:me@example.org>me</a>", "<a href=\"mailto:me@example.org\">me</a>"},
        {"<a href=\"javascript:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\" JaVaScRiPt:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"java&#09;script&colon;alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"&#106;avascript:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"data:text/html,x\">x</a>", "<a>x</a>"},
        // Another host with the page's own scheme, in the spellings browsers read alike.
        {"<a href=\"//evil.example/x\">x</a>", "<a>x</a>"},
        {"<a href=\"\\\\evil.example\\x\">x</a>", "<a>x</a>"},
        {"<a href=\"/\\evil.example\">x</a>", "<a>x</a>"},
        {"<a href=\" /&#47;evil.example\">x</a>", "<a>x</a>"},
        {"<a href=\"/x.html\">x</a>", "<a href=\"/x.html\">x</a>"},
        {"<a onmouseover=alert(1)>x</a>", "<a>x</a>"},
        {"<a href=\"x.html\" onclick=\"a>b\">q</a>", "<a href=\"x.html\">q</a>"},
        {"<a href=\"a\"b.html\">x</a>", "<a href=\"a\">x</a>"},
        // Nothing in an author's address ends the attribute it is written back into.
        {"<a href='x\"onmouseover=\"alert(1)'>x</a>",
         "<a href=\"x&quot;onmouseover=&quot;alert(1)\">x</a>"},
        {"<a href=x&quot;onmouseover=alert(1)>x</a>",
         "<a href=\"x&quot;onmouseover=alert(1)\">x</a>"},
        {"<a href=\"x&#34;onmouseover=alert(1)\">x</a>",
         "<a href=\"x&quot;onmouseover=alert(1)\">x</a>"},
        {"<a href=\"it's.html\" title='a'>x</a>", "<a href=\"it&#39;s.html\">x</a>"},
        {"<a href='a<b>\"><script>alert(1)</script>'>x</a>",
         "<a href=\"a&lt;b&gt;&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;\">x</a>"},
        {"<a href=\"?a=1&amp;b=2&c=&lt;\">x</a>", "<a href=\"?a=1&amp;b=2&amp;c=&lt;\">x</a>"},
        {"a<script>alert('x')</script>b", "ab"},
        {"a<SCRIPT src=x.js></SCRIPT >b", "ab"},
        {"a<script>never closed", "a"},
        {"<img src=x onerror=alert(1)>", "&lt;img src=x onerror=alert(1)&gt;"},
        {"<iframe src=\"evil\"></iframe>", "&lt;iframe src=\"evil\"&gt;&lt;/iframe&gt;"},
        {"<style>b{}</style>", "&lt;style&gt;b{}&lt;/style&gt;"},
        {"<b", "&lt;b"},
        {"<a href=\"x", "&lt;a href=\"x"},
        // A tag that is none leaves the ones after it as they are.
        {"<a b=\"x <a href='y.html'>y</a>", "&lt;a b=\"x <a href=\"y.html\">y</a>"},
        {"x <a b <a b", "x &lt;a b &lt;a b"},
        {"<a b='x <a c='y'>z", "<a>z</a>"},
        {"<pre><b><b>x</i>\r\ny</pre>", "<pre><b><b>x\ny</b></b></pre>"},
        {"a<script>x</scrip></SCRIPT>b", "ab"},
        {"First part.\r\nSecond part.", "First part.<P>Second part."},
        {"<b>First\r\n \r\nSecond", "<b>First</b><P>Second"},
        {"\r\nText\r\n", "Text"},
        // What real doc blocks hold: tables, headings, definition lists, examples.
        {"<TABLE border=1><THEAD><TR><TH>Key</TH></TR></THEAD><TBODY><tr><td>1</td></tr></TBODY>"
         "</TABLE>",
         "<table><thead><tr><th>Key</th></tr></thead><tbody><tr><td>1</td></tr></tbody></table>"},
        {"<h4>Notes</h4><dl><dt>a<dd>b</dl><blockquote>q</blockquote><hr/>x<h2>no</h2>",
         "<h4>Notes</h4><dl><dt>a<dd>b</dd></dt></dl><blockquote>q</"
         "blockquote><hr>x&lt;h2&gt;no&lt;/h2&gt;"},
        {"an <i/> typo and <b /> more", "an  typo and  more"},
        {"<pre>\nDim x As Long\r\n  x = 1\n\n</pre>after\r\nnext",
         "<pre>\nDim x As Long\n  x = 1\n\n</pre>after<P>next"},
    };
    for (const auto& row : kCases)
        EXPECT_EQ(sanitizeAuthorHtml(row.input), row.expected) << row.input;
}

TEST(AuthorHtml, FirstSentenceIsTheSummary) {
    static const struct {
        const char* input;
        const char* expected;
    } kCases[] = {
        {"Adds an item. Raises an error when full.", "Adds an item."},
        {"Sorts the list, e.g. by name. Then more.", "Sorts the list, e.g. by name."},
        {"Create an Undo entry (e.g. for a filter). Then more.",
         "Create an Undo entry (e.g. for a filter)."},
        {"Reads it (Step 1. See below.) first. Then more.", "Reads it (Step 1. See below.) first."},
        {"Compares A vs. B, etc. Then C. Not this.", "Compares A vs. B, etc. Then C."},
        {"Version 1.5 of the format!\r\nMore", "Version 1.5 of the format!"},
        {"Returns the <b>count</b>.<table><tr><td>x</td></tr></table>",
         "Returns the <b>count</b>."},
        {"Keys:<table><tr><td>x</td></tr></table>", "Keys:"},
        {"<p>Opens the file. Then reads it.</p>", "<p>Opens the file."},
        {"No full stop at all", "No full stop at all"},
        {"  first paragraph\r\nsecond", "first paragraph"},
    };
    for (const auto& row : kCases) EXPECT_EQ(firstSentence(row.input), row.expected) << row.input;
    EXPECT_EQ(relativeAuthorLinks("<a href=\"A.B.html\">x</a> <a href=\"https://x.org\">y</a> "
                                  "<a href=\"#top\">z</a> <A HREF=../C.html>c</A> "
                                  "<a href=//evil.example/D.html>d</a>"),
              (std::vector<std::string>{"A.B.html", "../C.html", "//evil.example/D.html"}));
    // A link written inside another tag's attribute is none: the gate drops it.
    EXPECT_EQ(relativeAuthorLinks("<b title=\"<a href='In.html'>\">x</b>"),
              std::vector<std::string>{});
}

}  // namespace
}  // namespace tarnwick
