// Member pages in the cases the golden pages do not show.
#include <gtest/gtest.h>

#include "generator/pages/modHtml.h"
#include "model/CHelper.h"
#include "tests/generator/ModHtmlTestSupport.h"

namespace tarnwick {
namespace {

using namespace testing;
using namespace modHtml;

struct LayoutCase {
    const char* input;
    const char* layout;  // the lines the code table shows
};

TEST(ModHtmlMember, ProcedureSyntaxPutsEachParameterOnItsOwnLine) {
    static const LayoutCase kCases[] = {
        {"Public Sub Run()", "Public Sub Run()"},
        {"Public Function Names() As String()", "Public Function Names() As String()"},
        {"Public Function Split(ByVal Text As String) As String()",
         "Public Function Split( _\r\n   ByVal Text As String _\r\n) As String()"},
        {"Private Function Odd) As Long (", "Private Function Odd) As Long ("},
        {"Public Sub Take(a,b)", "Public Sub Take( _\r\n   a _\r\n   b _\r\n)"},
        {"Private Declare Function Send Lib \"u\" ALIAS \"SendA\" (ByVal h As Long, ByVal m As "
         "Long) As Long",
         "Private Declare Function Send Lib \"u\"  _\r\n   ALIAS \"SendA\" ( _\r\n   ByVal h As "
         "Long _\r\n   ByVal m As Long _\r\n) As Long"},
    };
    for (const auto& c : kCases) {
        const std::string table = formatProcedureSyntax(c.input).str();
        EXPECT_EQ(tableText(table), c.layout) << c.input;
        EXPECT_NE(table.find(" id = \"SYNTAX\""), std::string::npos) << c.input;
    }
}

TEST(ModHtmlMember, TypeSyntaxIndentsTheMembers) {
    static const LayoutCase kCases[] = {
        {"Type Pair\r\n  A As String\r\nEnd Type", "Type Pair\r\n   A As String\r\nEnd Type"},
        // A blank before the line end ends the first line there.
        {"Public Type Rec ' note\r\n  N As Long\r\nEnd Type",
         "Public Type Rec\r\n   ' note\r\n   N As Long\r\nEnd Type"},
        // Only "End Type" in that spelling is dropped.
        {"Type T\r\n  A As Long\r\nend type", "Type T\r\n   A As Long\r\n   end type\r\nEnd Type"},
        {"Public Enum E\r\nEnd Enum", ""},
        {"", ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(tableText(formatTypeSyntax(c.input).str()), c.layout) << c.input;
}

// Functions, variables, properties, subs and events: the golden UML page's titles.
TEST(ModHtmlMember, UmlSignatureAndKindWords) {
    EXPECT_EQ(umlMemberSignature(*makeElement<CDeclaration>("Send")), "  : Send()");
    EXPECT_EQ(umlMemberSignature(*makeElement<cType>("Point")), "Point");
    EXPECT_TRUE(inArray("SUB", {"function", "sub"}));
    EXPECT_FALSE(inArray("Subroutine", {"function", "sub"}));
}

// A translation file may be the user's own: its texts are text, but for the
// keys declared markup, whichever way a page asks for them.
TEST(ModHtmlMember, TranslationTextsAreTextButForTheMarkupKeys) {
    const Translation file = Translation::fromText(
        "[Deutsch]\r\nFunction=<i>Fn</i> & Co\r\nElementParts=Teile von <B>%1</B>:\r\n"
        "SyntaxParts=<B>%1</B>\r\n");
    const CHelper helper(&file, "Deutsch");
    const struct {
        const char* key;
        const char* asText;
        const char* asMarkup;
    } rows[] = {
        {"Function", "&lt;i&gt;Fn&lt;/i&gt; &amp; Co", "&lt;i&gt;Fn&lt;/i&gt; &amp; Co"},
        {"ElementParts", "Teile von &lt;B&gt;%1&lt;/B&gt;:", "Teile von <B>%1</B>:"},
        {"syntaxparts", "&lt;B&gt;%1&lt;/B&gt;", "<B>%1</B>"},
        {"Missing", "a&lt;b", "a&lt;b"},  // the fallback "a<b" is text as well
    };
    for (const auto& row : rows) {
        EXPECT_EQ(trText(helper, row.key, "a<b").str(), row.asText) << row.key;
        EXPECT_EQ(trMarkup(helper, row.key, "a<b").str(), row.asMarkup) << row.key;
    }
}

class MemberPage : public ::testing::Test {
protected:
    MemberPage() : module(makeModule("CStore", moduletype::Class)), ctx(makeContext()) {}
    std::string page(const Element& member) {
        return buildMemberPage(member, *module, project, ctx).body.take();
    }
    CProject project;
    std::shared_ptr<CModule> module;
    PageContext ctx;
};

TEST_F(MemberPage, SectionsWithNothingUnderThemAreLeftOut) {
    auto run = makeElement<CSubroutine>("Run");  // no parameters, no source
    run->setSyntax("Public Sub Run()");
    auto beep = makeElement<CDeclaration>("Beep", scope::Private);  // a type, no return text
    beep->setSyntax("Private Declare Function Beep Lib \"kernel32\" () As Long");
    beep->Returns()->setDataType("Long");
    beep->setSource("\r\n");
    auto empty = makeElement<cType>("Empty");  // never filled: no parts list at all
    for (const Element* member : std::vector<const Element*>{run.get(), beep.get(), empty.get()}) {
        std::string found, text = page(*member);
        for (const char* part :
             {"consists of following parts", "Returns</H3>", "Source</H3>", "Syntax</H3>"})
            found += text.find(part) == std::string::npos ? "-" : "+";
        EXPECT_EQ(found, "---+") << text;
    }
    // Without a project name the icon header says so.
    EXPECT_NE(page(*run).find("<I>ProjectName</I>"), std::string::npos);
}

TEST_F(MemberPage, SyntaxSectionFollowsTheSetting) {
    auto run = makeElement<CSubroutine>("Run");
    run->setSyntax("Public Sub Run(ByVal Times As Long)");
    auto times = std::make_shared<CArgument>();
    times->setName("Times");
    run->Arguments()->Add(times);
    ctx.settings.Syntax = false;
    const std::string text = page(*run);
    EXPECT_EQ(text.find("<H3>Syntax</H3>"), std::string::npos);
    // The sentence about the syntax goes with it; the parameter table stays.
    EXPECT_EQ(text.find("consists of following parts"), std::string::npos);
    EXPECT_NE(text.find("<B>Times</B>"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick
