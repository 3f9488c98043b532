// Member pages (one per kind, built without writing), the declaration
// layouts, the UML signature and the kind-word test.
#include <gtest/gtest.h>

#include "generator/SourcePage.h"
#include "generator/modHtml.h"
#include "support/Text.h"
#include "tests/generator/ModHtmlTestSupport.h"

namespace tarnwick {
namespace {

// A syntax block whose declared type CItem names a class of the project.
std::string linkedCItem(const std::string& syntax) {
    return replaceAll(syntax, "As </FONT>CItem",
                      "As </FONT><A href=\"../classes/CItem.html\">CItem</A>");
}

using namespace testing;
using namespace modHtml;

// ---- formatProcedureSyntax / formatTypeSyntax -------------------------------

struct LayoutCase {
    const char* input;
    const char* layout;  // the text handed to the code table
};

TEST(ModHtmlMember, ProcedureSyntaxPutsEachParameterOnItsOwnLine) {
    static const LayoutCase kCases[] = {
        {"  Public Function Find(ByVal Key As String, Optional Start As Long) As Long ",
         "Public Function Find( _\r\n"
         "   ByVal Key As String _\r\n"
         "   Optional Start As Long _\r\n"
         ") As Long"},
        {"Public Sub Run()", "Public Sub Run()"},
        {"Public Function Names() As String()", "Public Function Names() As String()"},
        {"Public Function Split(ByVal Text As String) As String()",
         "Public Function Split( _\r\n   ByVal Text As String _\r\n) As String()"},
        {"Public Enum Colours", "Public Enum Colours"},
        {"Private Function Odd) As Long (", "Private Function Odd) As Long ("},
        {"Public Sub Take(a,b)", "Public Sub Take( _\r\n   a _\r\n   b _\r\n)"},
        {"Private Declare Function GetTickCount Lib \"kernel32\" Alias \"GetTickCount\" () As "
         "Long",
         "Private Declare Function GetTickCount Lib \"kernel32\"  _\r\n"
         "   Alias \"GetTickCount\" () As Long"},
        {"Private Declare Function SendMessage Lib \"user32\" ALIAS \"SendMessageA\" (ByVal hWnd "
         "As Long, ByVal wMsg As Long) As Long",
         "Private Declare Function SendMessage Lib \"user32\"  _\r\n"
         "   ALIAS \"SendMessageA\" ( _\r\n"
         "   ByVal hWnd As Long _\r\n"
         "   ByVal wMsg As Long _\r\n"
         ") As Long"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(formatProcedureSyntax(c.input), buildSourceTable(c.layout, "SYNTAX", false))
            << c.input;
}

TEST(ModHtmlMember, TypeSyntaxIndentsTheMembers) {
    static const LayoutCase kCases[] = {
        {"Private Type Point\r\n    X As Long\r\n\r\n    Y As Long\r\nEnd Type\r\n",
         "Private Type Point\r\n   X As Long\r\n   Y As Long\r\nEnd Type"},
        {"Type Pair\r\n  A As String\r\nEnd Type", "Type Pair\r\n   A As String\r\nEnd Type"},
        // A blank before the line end ends the first line there.
        {"Public Type Rec ' note\r\n  N As Long\r\nEnd Type",
         "Public Type Rec \r\n   ' note\r\n   N As Long\r\nEnd Type"},
        // Only "End Type" in that spelling is dropped.
        {"Type T\r\n  A As Long\r\nend type", "Type T\r\n   A As Long\r\n   end type\r\nEnd Type"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(formatTypeSyntax(c.input), buildSourceTable(c.layout, "SYNTAX", false))
            << c.input;
}

TEST(ModHtmlMember, TypeSyntaxWithoutTypeWordIsAnEmptyTable) {
    EXPECT_EQ(formatTypeSyntax("Public Enum E\r\nEnd Enum"), buildSourceTable("", "SYNTAX", false));
    EXPECT_EQ(formatTypeSyntax(""), buildSourceTable("", "SYNTAX", false));
}

TEST(ModHtmlMember, TypeSyntaxLeavesNoLoneCarriageReturn) {
    const std::string table = formatTypeSyntax("Type A\r\n  B As Long\r\nEnd Type");
    for (size_t pos = table.find('\r'); pos != std::string::npos; pos = table.find('\r', pos + 1))
        ASSERT_EQ(table[pos + 1], '\n') << table;
}

// ---- umlMemberSignature / inArray ------------------------------------------

TEST(ModHtmlMember, UmlSignatureByClass) {
    auto find = makeElement<CFunction>("Find");
    find->Returns()->setDataType("Long");
    find->Arguments()->Add(makeArgument("Key", "String"));
    find->Arguments()->Add(makeArgument("Start", "Long", true));
    auto items = makeVariable("m_items", "Collection", scope::Private);
    auto count = makeElement<CProperty>("Count", scope::Friend);
    count->Returns()->setDataType("Long");
    auto run = makeElement<CSubroutine>("Run");
    run->Arguments()->Add(makeArgument("Times", "Integer", true));
    auto send = makeElement<CDeclaration>("Send");
    auto changed = makeElement<CEvent>("Changed");
    changed->Arguments()->Add(makeArgument("Value", "Long"));
    auto point = makeElement<cType>("Point");

    struct Case {
        const Element* member;
        const char* expected;
    };
    const Case cases[] = {
        {find.get(), " Long : Find(Key, [Start])"},
        {items.get(), " Collection : m_items"},
        {count.get(), " Long : Count()"},
        {run.get(), "Run([Times])"},
        {send.get(), "  : Send()"},
        {changed.get(), "Changed"},
        {point.get(), "Point"},
    };
    for (const auto& c : cases) EXPECT_EQ(umlMemberSignature(*c.member), c.expected) << c.expected;
}

TEST(ModHtmlMember, InArrayIgnoresLetterCase) {
    const std::vector<std::string> words = {"function", "sub"};
    struct Case {
        const char* text;
        bool expected;
    };
    static const Case kCases[] = {
        {"Function", true}, {"SUB", true}, {"sub", true}, {"Subroutine", false}, {"", false}};
    for (const auto& c : kCases) EXPECT_EQ(inArray(c.text, words), c.expected) << c.text;
    EXPECT_FALSE(inArray("x", {}));
}

// ---- buildMemberPage --------------------------------------------------------

class MemberPage : public ::testing::Test {
protected:
    MemberPage() : module(makeModule("CStore", moduletype::Class)), ctx(makeContext()) {
        project.Properties().Add("Name", "\"Shop\"");
        auto item = makeModule("CItem", moduletype::Class);
        project.Classes().Add(item);
        ctx.observer = &console;
    }
    std::string page(const Element& member) {
        return buildMemberPage(member, *module, project, ctx);
    }
    static std::string head(const std::string& title) {
        return "<HTML>\r\n<HEAD>\r\n<META http-equiv=\"Content-Type\" content=\"text/html; "
               "charset=windows-1252\">\r\n<!-- GENERATED BY TARNWICK ON NOW -->\r\n"
               "<LINK media=\"screen\" rel=\"stylesheet\" type=\"text/css\" "
               "href=\"../src/css/screen.css\">\r\n"
               "<LINK media=\"print\" rel=\"stylesheet\" type=\"text/css\" "
               "href=\"../src/css/print.css\">\r\n"
               "<SCRIPT language=\"JavaScript\" src=\"../src/script/document.js\"></SCRIPT>\r\n"
               "<TITLE>\r\n" +
               title + "\r\n</TITLE>\r\n</HEAD>\r\n<BODY>\r\n";
    }
    static std::string sourceSection(const std::string& source) {
        return "<H3>Source</H3><P>\r\n" + buildSourceTable(source, "SOURCE", true) +
               "\r\n</P>\r\n</BODY>\r\n</HTML>\r\n";
    }

    CProject project;
    std::shared_ptr<CModule> module;
    ConsoleRecorder console;
    PageContext ctx;
};

TEST_F(MemberPage, FunctionWithParametersIsLaidOutInFull) {
    auto find = makeElement<CFunction>("Find", scope::Public, "Finds an item.");
    find->setSyntax("Public Function Find(ByVal Key As String, Optional Start As CItem) As Long");
    find->setSource(
        "Public Function Find(ByVal Key As String, Optional Start As CItem) As Long\r\n"
        "End Function\r\n");
    find->Returns()->setDataType("Long");
    find->Returns()->setDescription("The position.");
    find->Arguments()->Add(makeArgument("Key", "String", false, "The key."));
    find->Arguments()->Add(makeArgument("Start", "CItem", true, "Where to start."));

    const std::string expected =
        head("CStore.Find") + buildIconHeader("Class", "Shop", "<I>CStore</I>.Find") +
        "\r\n"
        "<P class=\"DocTitle\"><I>CStore</I>.<B>Find</B></P>\r\n"
        "<P>\r\nFinds an item.\r\n</P>\r\n"
        "<H3>Syntax</H3><P>\r\n" +
        linkedCItem(formatProcedureSyntax(find->Syntax())) +
        "\r\n</P>\r\n"
        "<P>\r\n"
        "The syntax for the <B>Find</B>-Function consists of following parts:\r\n"
        "<BR>\r\n<BR>\r\n"
        "<TABLE class=\"Summary\">\r\n"
        "   <TR class=\"Summary\">\r\n"
        "      <TH class=\"Summary\" width=\"25%\">Part</TH>\r\n"
        "      <TH class=\"Summary\">Description</TH>\r\n"
        "   </TR>\r\n"
        "   <TR class=\"Summary\">\r\n"
        "      <TD class=\"Summary\">\r\n"
        "<B>Key</B> (String)\r\n"
        "      </TD>\r\n"
        "      <TD>\r\n"
        "&nbsp;The key.      </TD>\r\n"
        "   </TR>\r\n"
        "   <TR class=\"Summary\">\r\n"
        "      <TD class=\"Summary\">\r\n"
        "<B>Start</B> (<A href=\"../classes/CItem.html\">CItem</A>)\r\n"
        "      </TD>\r\n"
        "      <TD>\r\n"
        "Optional.&nbsp;Where to start.      </TD>\r\n"
        "   </TR>\r\n"
        "</TABLE>\r\n"
        "</P>\r\n"
        "<H3>Returns</H3><P>The position.</P>\r\n" +
        sourceSection(find->Source());
    EXPECT_EQ(page(*find), expected);
    ASSERT_EQ(console.lines.size(), 1u);
    EXPECT_EQ(console.lines[0], "Create documentation for Class CStore");
}

TEST_F(MemberPage, SectionsWithNothingUnderThemAreLeftOut) {
    auto run = makeElement<CSubroutine>("Run");  // no parameters, no source
    run->setSyntax("Public Sub Run()");
    auto send = makeElement<CDeclaration>("Beep", scope::Private);  // a type, no return text
    send->setSyntax("Private Declare Function Beep Lib \"kernel32\" () As Long");
    send->Returns()->setDataType("Long");
    send->setSource("\r\n");
    for (const Element* member :
         {static_cast<Element*>(run.get()), static_cast<Element*>(send.get())}) {
        const std::string text = page(*member);
        EXPECT_EQ(text.find("consists of following parts"), std::string::npos) << text;
        EXPECT_EQ(text.find("<H3>Returns</H3>"), std::string::npos) << text;
        EXPECT_EQ(text.find("<H3>Source</H3>"), std::string::npos) << text;
        EXPECT_NE(text.find("<H3>Syntax</H3>"), std::string::npos) << text;
    }
}

TEST_F(MemberPage, PropertyGetShowsReturnsAndLetDoesNot) {
    auto get = makeElement<CProperty>("Count");
    get->setSyntax("Public Property Get Count() As Long");
    get->Returns()->setDataType("Long");
    get->Returns()->setDescription("How many.");
    auto let = makeElement<CProperty>("Count");
    let->setWay(way::Let);
    let->setSyntax("Public Property Let Count(ByVal Value As Long)");
    let->Arguments()->Add(makeArgument("Value", "Long"));

    const std::string getPage = page(*get);
    EXPECT_EQ(getPage.find("-Property consists of following parts:"), std::string::npos);
    EXPECT_NE(getPage.find("<H3>Returns</H3><P>How many.</P>\r\n"), std::string::npos) << getPage;
    const std::string letPage = page(*let);
    EXPECT_NE(letPage.find("<B>Value</B> (Long)"), std::string::npos) << letPage;
    EXPECT_EQ(letPage.find("<H3>Returns</H3>"), std::string::npos) << letPage;
}

TEST_F(MemberPage, EventShowsItsSyntaxAndParameters) {
    auto changed = makeElement<CEvent>("Changed");
    changed->setSyntax("Public Event Changed(ByVal Value As Long)");
    changed->Arguments()->Add(makeArgument("Value", "Long", false, "The new value"));
    changed->Returns()->setDataType("Long");
    const std::string text = page(*changed);
    EXPECT_NE(text.find(formatProcedureSyntax(changed->Syntax())), std::string::npos) << text;
    EXPECT_NE(text.find("&nbsp;The new value"), std::string::npos) << text;
    EXPECT_EQ(text.find("Returns"), std::string::npos);
}

TEST_F(MemberPage, DeclareWithAliasShowsAliasOnItsOwnLine) {
    auto send = makeElement<CDeclaration>("SendMessage", scope::Private);
    send->setSyntax(
        "Private Declare Function SendMessage Lib \"user32\" Alias \"SendMessageA\" (ByVal hWnd "
        "As Long) As Long");
    send->Returns()->setDataType("Long");
    send->Arguments()->Add(makeArgument("hWnd", "Long"));
    const std::string text = page(*send);
    EXPECT_NE(text.find(formatProcedureSyntax(send->Syntax())), std::string::npos);
    EXPECT_NE(text.find("The syntax for the <B>SendMessage</B>-Declaration consists"),
              std::string::npos);
}

TEST_F(MemberPage, ConstantVariableAndImplementationShowSourceOnly) {
    auto constant = makeElement<CConstant>("MAX_ITEMS", scope::Public, "Upper bound.");
    constant->setSource("Public Const MAX_ITEMS = 10\r\n");
    auto variable = makeVariable("m_items", "Collection");
    variable->setSource("Private m_items As Collection\r\n");
    auto implementation = makeElement<CImplementation>("IStore");
    implementation->setSource("Implements IStore\r\n");
    const Element* members[] = {constant.get(), variable.get(), implementation.get()};
    for (const Element* member : members) {
        const std::string expected =
            head("CStore." + member->Name()) +
            buildIconHeader("Class", "Shop", "<I>CStore</I>." + member->Name()) +
            "\r\n<P class=\"DocTitle\"><I>CStore</I>.<B>" + member->Name() + "</B></P>\r\n<P>\r\n" +
            member->Description() + "\r\n</P>\r\n" + sourceSection(member->Source());
        EXPECT_EQ(page(*member), expected) << member->Name();
    }
}

TEST_F(MemberPage, TypeListsItsPartsWithoutValueColumn) {
    auto point = makeElement<cType>("Point", scope::Private);
    point->setSource("Private Type Point\r\n    X As Long\r\n    Owner As CItem\r\nEnd Type\r\n");
    auto parts = std::make_shared<CVariableList>();
    parts->Add(makeVariable("X", "Long", scope::None, "Across."));
    parts->Add(makeVariable("Owner", "CItem", scope::None));
    point->setVariables(parts);
    const std::string text = page(*point);
    const std::string expected =
        "<H3>Syntax</H3><P>\r\n" + linkedCItem(formatTypeSyntax(point->Source())) +
        "\r\n</P>\r\n"
        "<P>\r\n"
        "The elements of the <B>Point</B>-Type consists of following parts:\r\n"
        "<BR>\r\n<BR>\r\n"
        "<TABLE class=\"Summary\">\r\n"
        "   <TR class=\"Summary\">\r\n"
        "      <TH class=\"Summary\" width=\"25%\">Part</TH>\r\n"
        "      <TH class=\"Summary\" width=\"75%\">Description</TH>\r\n"
        "   </TR>\r\n"
        "   <TR class=\"Summary\">\r\n"
        "      <TD class=\"Summary\">\r\n"
        "         <B>X</B>\r\n"
        " (Long)\r\n"
        "      </TD>\r\n"
        "      <TD>\r\n"
        "Across.&nbsp;      </TD>\r\n"
        "   </TR>\r\n"
        "   <TR class=\"Summary\">\r\n"
        "      <TD class=\"Summary\">\r\n"
        "         <B>Owner</B>\r\n"
        " (<A href=\"../classes/CItem.html\">CItem</A>)\r\n"
        "      </TD>\r\n"
        "      <TD>\r\n"
        "&nbsp;      </TD>\r\n"
        "   </TR>\r\n"
        "</TABLE>\r\n"
        "</P>\r\n"
        "<H3>Source</H3>";
    EXPECT_NE(text.find(expected), std::string::npos) << text;
}

TEST_F(MemberPage, TypeNeverFilledHasNoPartsTable) {
    auto empty = makeElement<cType>("Empty");
    ASSERT_EQ(empty->Variables(), nullptr);
    EXPECT_EQ(page(*empty).find("consists of following parts"), std::string::npos);
}

TEST_F(MemberPage, EnumShowsValueColumn) {
    auto colours = makeElement<CEnum>("Colours");
    colours->setSyntax("Public Enum Colours");
    auto red = makeVariable("Red", "", scope::None, "Warm.");
    red->setDefault("1");
    colours->Variables()->Add(red);
    const std::string text = page(*colours);
    EXPECT_NE(text.find("<H3>Syntax</H3><P>\r\n" + formatProcedureSyntax("Public Enum Colours")),
              std::string::npos);
    EXPECT_NE(text.find("-Enum consists of following parts:\r\n"), std::string::npos);
    EXPECT_NE(text.find("      <TH class=\"Summary\" width=\"25%\">Part</TH>\r\n"
                        "      <TH class=\"Summary\" width=\"1\">Value</TH>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("         <B>Red</B>\r\n"
                        "      </TD>\r\n"
                        "      <TD class=\"Summary\">\r\n"
                        "         1\r\n"
                        "      </TD>\r\n"
                        "      <TD>\r\n"
                        "Warm.&nbsp;      </TD>\r\n"),
              std::string::npos)
        << text;
}

TEST_F(MemberPage, SyntaxSectionFollowsTheSetting) {
    auto run = makeElement<CSubroutine>("Run");
    run->setSyntax("Public Sub Run(ByVal Times As Long)");
    run->Arguments()->Add(makeArgument("Times", "Long"));
    ctx.settings.Syntax = false;
    const std::string text = page(*run);
    EXPECT_EQ(text.find("<H3>Syntax</H3>"), std::string::npos);
    EXPECT_NE(text.find("-Subroutine consists of following parts"), std::string::npos);
}

TEST_F(MemberPage, FormMemberUsesFormIconAndHeadingsAreTranslated) {
    const Translation translation =
        Translation::fromText("[Deutsch]\nSource=Quelle\nSyntax=Aufbau\nReturns=Ergebnis\n");
    ctx.translation = &translation;
    auto form = makeModule("frmMain", moduletype::Form);
    auto load = makeElement<CFunction>("Load");
    load->Returns()->setDataType("Boolean");
    load->Returns()->setDescription("True when loaded");
    load->setSource("Public Function Load() As Boolean\r\nEnd Function\r\n");
    const std::string text = buildMemberPage(*load, *form, project, ctx);
    EXPECT_NE(text.find("../src/images/Form2.ico"), std::string::npos);
    EXPECT_NE(text.find("<H3>Aufbau</H3>"), std::string::npos);
    EXPECT_NE(text.find("<H3>Ergebnis</H3>"), std::string::npos);
    EXPECT_NE(text.find("<H3>Quelle</H3>"), std::string::npos);
    EXPECT_EQ(console.lines.back(), "Create documentation for Form frmMain");
}

TEST_F(MemberPage, WithoutProjectNameTheIconHeaderSaysProjectName) {
    CProject unnamed;
    auto run = makeElement<CSubroutine>("Run");
    const std::string text = buildMemberPage(*run, *module, unnamed, ctx);
    EXPECT_NE(text.find("<I>ProjectName</I>"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick
