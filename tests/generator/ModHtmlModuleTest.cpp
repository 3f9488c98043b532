// The module overview body: the link list, the summary tables per kind and
// the member pages their rows write.
#include <gtest/gtest.h>

#include "generator/modHtml.h"
#include "support/Text.h"
#include "tests/generator/ModHtmlTestSupport.h"

namespace tarnwick {
namespace {

using namespace testing;
using namespace modHtml;

TEST(ModHtmlModule, SummaryLinkCountsAndNamesTheKind) {
    CFunctionList functions;
    EXPECT_EQ(buildSummaryLink(functions, makeContext()), "");
    functions.Add(makeElement<CFunction>("A"));
    EXPECT_EQ(buildSummaryLink(functions, makeContext()),
              "      <B>\r\n"
              "           <A href=\"#Function_summary\" >1&nbsp;\r\n"
              "Function          </A>\r\n"
              "      </B>\r\n"
              "   <BR>\r\n");
    functions.Add(makeElement<CFunction>("B"));
    functions.Add(makeElement<CFunction>("C"));
    const std::string three = buildSummaryLink(functions, makeContext());
    EXPECT_NE(three.find(">3&nbsp;\r\nFunctions          </A>"), std::string::npos) << three;
}

TEST(ModHtmlModule, SummaryLinkTranslatesTheKindWord) {
    const Translation translation = Translation::fromText("[Deutsch]\nProperties=Eigenschaften\n");
    CPropertyList properties;
    properties.Add(makeElement<CProperty>("A"));
    properties.Add(makeElement<CProperty>("B"));
    const std::string link = buildSummaryLink(properties, makeContext(&translation));
    EXPECT_NE(link.find("\"#Property_summary\" >2&nbsp;\r\nEigenschaften"), std::string::npos)
        << link;
}

class SummaryTable : public ::testing::Test {
protected:
    SummaryTable() : module(makeModule("CStore", moduletype::Class)), ctx(makeContext()) {
        project.Classes().Add(makeModule("CItem", moduletype::Class));
        project.Classes().Add(module);
    }
    PageSet site;
    CProject project;
    std::shared_ptr<CModule> module;
    PageContext ctx;
};

TEST_F(SummaryTable, FunctionTableInFull) {
    auto find = makeElement<CFunction>("Find", scope::Public, "Long description.");
    find->Returns()->setDataType("CItem");
    auto hidden = makeElement<CFunction>("Hidden", scope::Private);
    module->Functions().Add(find);
    module->Functions().Add(hidden);
    module->ShortDesc()->Add("Find", "Short text.");

    EXPECT_EQ(buildSummaryTable(module->Functions(), *module, project, ctx),
              "<H3><A name=\"Function_summary\">Function Summary</H3>\r\n"
              "   <P>\r\n"
              "      <TABLE cellspacing=\"0\" class=\"summary\">\r\n"
              "         <TR>\r\n"
              "            <TH>&nbsp;Scope&nbsp;            </TH>"
              "            <TH width=\"25%\">&nbsp;Name&nbsp;            </TH>"
              "            <TH width=\"100%\">&nbsp;Description&nbsp;            </TH>"
              "            <TH width=\"1px\">&nbsp;Returns&nbsp;            </TH>"
              "         </TR>\r\n"
              "<TR><TD>&nbsp;Public&nbsp;</TD>"
              "<TD><IMG src=\"../src/images/Functions_Public.ico\" title=\"Public\">&nbsp;<B>"
              "<A name=\"Function_Find\"></A><A href=\"CStore_Find.html\">Find</A></B>&nbsp;</TD>"
              "<TD>Short text.&nbsp;</TD>"
              "<TD>&nbsp;<A href=\"../classes/CItem.html\">CItem</A>&nbsp;</TD></TR>\r\n"
              "<TR><TD>&nbsp;Private&nbsp;</TD>"
              "<TD><IMG src=\"../src/images/Functions_Private.ico\" title=\"Private\">&nbsp;<B>"
              "<A name=\"Function_Hidden\"></A><A href=\"CStore_Hidden.html\">Hidden</A></B>"
              "&nbsp;</TD>"
              "<TD>No description available.&nbsp;</TD>"
              "<TD>&nbsp;&nbsp;</TD></TR>\r\n"
              "   </TABLE>\r\n"
              "</P>\r\n");
    site.add(buildMemberPages(*module, project, ctx));
    EXPECT_TRUE(site.exists("Classes/CStore_Find.html"));
    EXPECT_TRUE(site.exists("Classes/CStore_Hidden.html"));
    EXPECT_EQ(site.read("Classes/CStore_Find.html"), buildMemberPage(*find, *module, project, ctx));
}

TEST_F(SummaryTable, EmptyListGivesNothing) {
    EXPECT_EQ(buildSummaryTable(module->Events(), *module, project, ctx), "");
}

TEST_F(SummaryTable, FourthColumnOnlyForTypedKinds) {
    // An Implements statement carries no scope: it stays Global.
    module->Implementations().Add(makeElement<CImplementation>("IStore", scope::Global));
    module->Declarations().Add(makeElement<CDeclaration>("Beep"));
    module->Types().Add(makeElement<cType>("Point"));
    module->Enums().Add(makeElement<CEnum>("Colours"));
    module->Events().Add(makeElement<CEvent>("Changed"));
    auto constant = makeElement<CConstant>("MAX");
    constant->setDataType("CItem");
    module->Constants().Add(constant);
    module->Variables().Add(makeVariable("m_count", "Long"));
    module->Functions().Add(makeElement<CFunction>("Find"));
    module->Subroutines().Add(makeElement<CSubroutine>("Run"));
    module->Properties().Add(makeElement<CProperty>("Count"));

    struct Case {
        IIterator* list;
        int columns;
        const char* icon;
    };
    const Case cases[] = {
        {&module->Implementations(), 3, "Implementations_Global.ico"},
        {&module->Declarations(), 3, "Declarations_Public.ico"},
        {&module->Types(), 3, "Types_Public.ico"},
        {&module->Enums(), 3, "Enums_Public.ico"},
        {&module->Events(), 3, "Events_Public.ico"},
        {&module->Constants(), 4, "Constants_Public.ico"},
        {&module->Variables(), 4, "Variables_Private.ico"},
        {&module->Functions(), 4, "Functions_Public.ico"},
        {&module->Subroutines(), 3, "Subroutines_Public.ico"},
        {&module->Properties(), 4, "Properties_Public.ico"},
    };
    for (const auto& c : cases) {
        const std::string table = buildSummaryTable(*c.list, *module, project, ctx);
        EXPECT_EQ(countOf(table, "<TH"), c.columns) << c.list->className();
        EXPECT_EQ(countOf(table, "<TD>"), c.columns) << c.list->className();
        EXPECT_NE(table.find(c.icon), std::string::npos) << c.list->className();
    }
    EXPECT_NE(buildSummaryTable(module->Constants(), *module, project, ctx)
                  .find("<TD>&nbsp;<A href=\"../classes/CItem.html\">CItem</A>&nbsp;</TD>"),
              std::string::npos);
    site.add(buildMemberPages(*module, project, ctx));
    for (const char* page :
         {"CStore_IStore.html", "CStore_Beep.html", "CStore_Point.html", "CStore_Colours.html",
          "CStore_Changed.html", "CStore_MAX.html", "CStore_m_count.html", "CStore_Find.html",
          "CStore_Run.html", "CStore_Count.html"})
        EXPECT_TRUE(site.exists(std::string("Classes/") + page)) << page;
}

TEST_F(SummaryTable, MemberFileNamesAreSafeInFileAndLink) {
    module->Subroutines().Add(makeElement<CSubroutine>("../evil"));
    const std::string table = buildSummaryTable(module->Subroutines(), *module, project, ctx);
    const std::string page = "CStore_" + safeFileName("../evil") + ".html";
    EXPECT_NE(table.find("<A href=\"" + page + "\">../evil</A>"), std::string::npos) << table;
    site.add(buildMemberPages(*module, project, ctx));
    EXPECT_TRUE(site.exists("Classes/" + page));
    EXPECT_FALSE(site.exists("evil.html"));
}

TEST_F(SummaryTable, MemberOfAModuleWithoutKindIsRefusedNotWrittenAtTheRoot) {
    auto library = makeModule("stdole", moduletype::Reference);
    auto run = makeElement<CSubroutine>("Run");
    library->Subroutines().Add(run);
    EXPECT_THROW(buildMemberPages(*library, project, ctx), PageWriteError);
    EXPECT_NO_THROW(buildMemberPage(*run, *library, project, ctx));
}

TEST_F(SummaryTable, AccessorsOfOnePropertyShareOneRowAndOnePage) {
    auto set = makeElement<CProperty>("Owner", scope::Friend, "from Set");
    set->setWay(way::Set);
    auto let = makeElement<CProperty>("owner", scope::Public, "from Let");
    let->setWay(way::Let);
    auto get = makeElement<CProperty>("Owner", scope::Public, "from Get");
    for (const auto& accessor : {set, let, get}) module->Properties().Add(accessor);
    auto variable = makeVariable("Owner", "Long", scope::Private, "from the variable");
    module->Variables().Add(variable);

    const std::string table = buildSummaryTable(module->Properties(), *module, project, ctx);
    EXPECT_NE(table.find("&nbsp;Public Get/Let/Friend Set&nbsp;"), std::string::npos);
    EXPECT_EQ(table.find("<TR><TD>"), table.rfind("<TR><TD>")) << "one row for the accessors";
    EXPECT_NE(table.find("<TD>from Get&nbsp;</TD>"), std::string::npos);
    EXPECT_NE(buildSummaryLink(module->Properties(), ctx).find("1&nbsp;"), std::string::npos);
    // The variable's table comes first and gives the page for both.
    site.add(buildMemberPages(*module, project, ctx));
    const std::string page = site.read("Classes/CStore_Owner.html");
    size_t at = 0;
    for (const char* text : {"from the variable", "Property Get", "from Get", "Property Let",
                             "from Let", "Property Set", "from Set"}) {
        const size_t next = page.find(text, at);
        EXPECT_NE(next, std::string::npos) << text;
        at = next;
    }
}

TEST_F(SummaryTable, ModuleBodyLinksAndTablesFollowTheSettings) {
    module->Events().Add(makeElement<CEvent>("Changed"));
    module->Functions().Add(makeElement<CFunction>("Find"));
    ctx.settings.Events = false;
    const std::string body = buildModuleBody(*module, project, ctx);
    const std::string expectedStart =
        "<P>\r\n   <H3>\r\n      Summary:\r\n   </H3>\r\n   <UL>\r\n"
        "\r\n\r\n\r\n\r\n\r\n\r\n" +
        buildSummaryLink(module->Functions(), ctx) + "\r\n\r\n\r\n" + "   </UL>\r\n</P>\r\n";
    EXPECT_EQ(body.substr(0, expectedStart.size()), expectedStart) << body;
    EXPECT_EQ(body.find("Event_summary"), std::string::npos);
    EXPECT_NE(body.find("<A name=\"Function_summary\">"), std::string::npos);
    site.add(buildMemberPages(*module, project, ctx));
    EXPECT_FALSE(site.exists("Classes/CStore_Changed.html"));
    EXPECT_TRUE(site.exists("Classes/CStore_Find.html"));
}

TEST_F(SummaryTable, ModuleBodyWithoutMembersHasTenEmptyLinkLines) {
    // Ten empty link lines, and one empty line per table switched on.
    EXPECT_EQ(buildModuleBody(*module, project, ctx),
              "<P>\r\n   <H3>\r\n      Summary:\r\n   </H3>\r\n   <UL>\r\n"
              "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
              "   </UL>\r\n</P>\r\n"
              "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    EXPECT_TRUE(buildMemberPages(*module, project, ctx).empty());
}

TEST_F(SummaryTable, ModuleBodyTablesComeInTheirOwnOrder) {
    module->Implementations().Add(makeElement<CImplementation>("IStore"));
    module->Constants().Add(makeElement<CConstant>("MAX"));
    module->Enums().Add(makeElement<CEnum>("Colours"));
    module->Types().Add(makeElement<cType>("Point"));
    module->Declarations().Add(makeElement<CDeclaration>("Beep"));
    module->Variables().Add(makeVariable("m_count", "Long"));
    module->Events().Add(makeElement<CEvent>("Changed"));
    module->Functions().Add(makeElement<CFunction>("Find"));
    module->Subroutines().Add(makeElement<CSubroutine>("Run"));
    module->Properties().Add(makeElement<CProperty>("Count"));
    const std::string body = buildModuleBody(*module, project, ctx);
    const char* order[] = {"Implementation", "Constant", "Enum",     "Type",       "Declaration",
                           "Variable",       "Event",    "Function", "Subroutine", "Property"};
    size_t last = 0;
    for (const char* kind : order) {
        const size_t at = body.find(std::string("<A name=\"") + kind + "_summary\">");
        ASSERT_NE(at, std::string::npos) << kind;
        EXPECT_GT(at, last) << kind;
        last = at;
    }
}

}  // namespace
}  // namespace tarnwick
