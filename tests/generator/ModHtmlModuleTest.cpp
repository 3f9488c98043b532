// The module overview and the root pages in the cases the golden pages do not show.
#include <gtest/gtest.h>

#include "generator/SiteIndex.h"
#include "generator/modHtml.h"
#include "support/Text.h"
#include "tests/generator/ModHtmlTestSupport.h"

namespace tarnwick {
namespace {

using namespace testing;
using namespace modHtml;

TEST(ModHtmlSkeleton, HeaderNavigationBarAndFooter) {
    CProject project;
    auto module = makeModule("a/b", moduletype::Form);
    for (const char* attribute :
         {"VB_PredeclaredId=False", "VB_Creatable=True", "VB_Exposed=", "VB_Description=hidden",
          "Parse.VB_Description=hidden", "Item.VB_UserMemId=0", "vb_description=other case"}) {
        const std::string text = attribute;
        module->Attributes()->Add(text.substr(0, text.find('=')), text.substr(text.find('=') + 1));
    }
    const std::string header = buildModuleHeader(project, *module, makeContext()).str();
    // Sorted, without descriptions and member attributes.
    EXPECT_EQ(matches(header, "<NOBR>([^<]*)</NOBR>"),
              (std::vector<std::string>{"VB_Creatable", "VB_Exposed", "VB_PredeclaredId",
                                        "vb_description"}));
    EXPECT_TRUE(header.find("hidden") == std::string::npos &&
                header.find("a/b (Form)") != std::string::npos)
        << header;

    PageContext ctx = makeContext();
    ctx.version = "01.02.030";
    EXPECT_NE(buildFooter(ctx).str().find(">Tarnwick ver1.2.30</A><BR>NOW</TD>"),
              std::string::npos);
}

class SummaryTable : public ::testing::Test {
protected:
    SummaryTable() : module(makeModule("CStore", moduletype::Class)), ctx(makeContext()) {
        project.Classes().Add(makeModule("CItem", moduletype::Class));
        project.Classes().Add(module);
    }
    // One member of every kind; Find has a short description, Hidden none.
    void addEveryKind() {
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
        module->Functions().Add(makeElement<CFunction>("Hidden", scope::Private));
        module->ShortDesc()->Add("Find", "Short text.");
        module->Subroutines().Add(makeElement<CSubroutine>("Run"));
        module->Properties().Add(makeElement<CProperty>("Count"));
    }
    CProject project;
    std::shared_ptr<CModule> module;
    PageContext ctx;
};

TEST_F(SummaryTable, ColumnsIconsAndPagesPerKind) {
    EXPECT_EQ(buildSummaryTable(module->Events(), *module, project, ctx), "");
    EXPECT_TRUE(buildMemberPages(*module, project, ctx).empty());
    addEveryKind();
    const struct {
        IIterator* list;
        int columns;
        const char* icon;
        const char* page;
    } cases[] = {
        // The kinds the golden overviews do not show.
        {&module->Declarations(), 3, "Declarations_Public.ico", "Beep"},
        {&module->Types(), 3, "Types_Public.ico", "Point"},
        {&module->Constants(), 4, "Constants_Public.ico", "MAX"},
        {&module->Functions(), 4, "Functions_Private.ico", "Hidden"},
    };
    const auto site = pagesOf(buildMemberPages(*module, project, ctx));
    for (const auto& c : cases) {
        const std::string table = buildSummaryTable(*c.list, *module, project, ctx).str();
        EXPECT_EQ(countOf(table, "<TH"), c.columns) << c.list->className();
        EXPECT_EQ(countOf(table, "<TD>") / (c.list->Size() + 1), c.columns) << c.list->className();
        EXPECT_NE(table.find(c.icon), std::string::npos) << c.list->className();
        EXPECT_TRUE(site.count("Classes/CStore_" + std::string(c.page) + ".html")) << c.page;
    }
    const std::string tables = (buildSummaryTable(module->Constants(), *module, project, ctx) +
                                buildSummaryTable(module->Functions(), *module, project, ctx))
                                   .str();
    for (const char* cell : {"&nbsp;<A href=\"../Classes/CItem.html\">CItem</A>&nbsp;",
                             "Short text.&nbsp;", "No description available.&nbsp;"})
        EXPECT_NE(tables.find(std::string("<TD>") + cell + "</TD>"), std::string::npos) << cell;
}

TEST_F(SummaryTable, MemberFileNamesAreSafeAndModulesWithoutKindRefused) {
    const std::string names[] = {"../evil", "/etc/y", std::string("n\0ul", 4), "..", "a/b\\c"};
    for (const auto& name : names) module->Subroutines().Add(makeElement<CSubroutine>(name));
    const std::string table = buildSummaryTable(module->Subroutines(), *module, project, ctx).str();
    const auto site = pagesOf(buildMemberPages(*module, project, ctx));
    EXPECT_EQ(site.size(), std::size(names));  // each its own page, and only these
    for (const auto& name : names) {
        const std::string page = "CStore_" + safeFileName(name) + ".html";
        EXPECT_TRUE(site.count("Classes/" + page)) << page;
        EXPECT_NE(table.find("<A href=\"" + page + "\">"), std::string::npos) << page;
    }

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
    module->Variables().Add(makeVariable("Owner", "Long", scope::Private, "from the variable"));

    const std::string table = buildSummaryTable(module->Properties(), *module, project, ctx).str();
    EXPECT_NE(table.find("&nbsp;Public Get/Let/Friend Set&nbsp;"), std::string::npos);
    EXPECT_EQ(table.find("<TR><TD>"), table.rfind("<TR><TD>")) << "one row for the accessors";
    EXPECT_NE(table.find("<TD>from Get&nbsp;</TD>"), std::string::npos);
    EXPECT_NE(buildSummaryLink(module->Properties(), ctx).str().find("1&nbsp;"), std::string::npos);
    // The variable's table comes first and gives the page for both.
    const auto site = pagesOf(buildMemberPages(*module, project, ctx));
    const std::string page = site.at("Classes/CStore_Owner.html");
    size_t at = 0;
    for (const char* text : {"from the variable", "Property Get", "from Get", "Property Let",
                             "from Let", "Property Set", "from Set"}) {
        at = page.find(text, at);
        EXPECT_NE(at, std::string::npos) << text;
    }
}

TEST_F(SummaryTable, ModuleBodyTablesInTheirOrderAndAsSwitchedOn) {
    addEveryKind();
    const std::string body = buildModuleBody(*module, project, ctx).str();
    EXPECT_EQ(
        matches(body, "<A name=\"([A-Za-z]*)_summary\">"),
        (std::vector<std::string>{"Implementation", "Constant", "Enum", "Type", "Declaration",
                                  "Variable", "Event", "Function", "Subroutine", "Property"}));
    ctx.settings.Events = false;
    const auto site = pagesOf(buildMemberPages(*module, project, ctx));
    EXPECT_TRUE(
        buildModuleBody(*module, project, ctx).str().find("Event_summary") == std::string::npos &&
        !site.count("Classes/CStore_Changed.html") && site.count("Classes/CStore_Find.html"));
}

TEST(IndexPages, KindsSwitchedOffAreNeitherListedNorLinked) {
    CProject project;
    PageContext ctx = makeContext();
    project.Classes().Add(makeModule("CParser", moduletype::Class));
    project.Forms().Add(makeModule("Bform", moduletype::Form));
    project.UserControls().Add(makeModule("a/b", moduletype::UserControl));
    ctx.settings.Classes = false;
    const std::string summary = buildModuleSummary(project, ctx).text;
    EXPECT_EQ(matches(summary, "<A href=\"([^\"]*)\" target="),
              (std::vector<std::string>{"all-summary.html", "all-members.html", "all-Forms.html",
                                        "all-UserControls.html", "Forms/Bform.html",
                                        "UserControls/a_b-3a8e75c1.html"}));
    EXPECT_NE(summary.find(">All Forms (1)</A>"), std::string::npos) << summary;
    EXPECT_EQ(
        matches(buildOverviewPage(project, ctx).text, "<A href=\"(all-[A-Za-z]*s.html)\""),
        (std::vector<std::string>{"all-members.html", "all-Forms.html", "all-UserControls.html"}));
    EXPECT_TRUE(buildKindIndex(project.Modules(), project, ctx).empty());
}

}  // namespace
}  // namespace tarnwick
