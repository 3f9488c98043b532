// The UML class box and the object-model tree in the cases the golden pages do not show.
#include <gtest/gtest.h>

#include <regex>

#include "generator/pages/CObjectModel.h"
#include "generator/pages/CUml.h"
#include "support/Text.h"
#include "tests/generator/ModHtmlTestSupport.h"

namespace tarnwick {
namespace {

using namespace testing;

TEST(Uml, MarksTypesParenthesesAndCompartmentsByKind) {
    CProject project;
    project.Classes().Add(makeModule("CItem", moduletype::Class));
    project.Classes().Add(makeModule("IShape", moduletype::Class));
    auto form = makeModule("frmMain", moduletype::Form);
    for (const char* name : {"IShape", "IDrawable"})
        form->Implementations().Add(makeElement<CImplementation>(name));
    auto find = makeElement<CFunction>("Find");
    find->Returns()->setDataType("Long");
    auto count = makeElement<CProperty>("Count", scope::Friend);
    count->Returns()->setDataType("Long");
    auto changed = makeElement<CEvent>("Changed");
    changed->Returns()->setDataType("Long");  // events never show a type
    form->Functions().Add(find);
    form->Properties().Add(count);
    form->Events().Add(changed);
    form->Variables().Add(makeVariable("m_items", "Collection"));
    form->Variables().Add(makeVariable("Current", "citem", scope::Public));
    form->Constants().Add(makeElement<CConstant>("MAX", scope::Global));  // no type: none shown
    form->Types().Add(makeElement<cType>("Point", scope::None));
    form->Subroutines().Add(makeElement<CSubroutine>("Run", 99));
    PageContext ctx = makeContext();
    const auto uml = [&] {
        const std::string text = CUml().createUml(*form, project, 0, ctx).str();
        return std::regex_replace(text, std::regex(" title=\"[^\"]*\""), "");
    };
    const std::string text = uml();
    for (const std::string row : {
             "- <A href=\"frmMain.html#Variable_m_items\">m_items</A> : Collection",
             "+ <A href=\"frmMain.html#Variable_Current\">Current</A> : <A "
             "href=\"../Classes/CItem.html\">citem</A>",
             "+ <A href=\"frmMain.html#Function_Find\">Find</A>() : Long",
             "# <A href=\"frmMain.html#Property_Count\">Count</A>() : Long",
             "+ <A href=\"frmMain.html#Constant_MAX\">MAX</A>",
             "+ <A href=\"frmMain.html#Event_Changed\">Changed</A>",
             "- <A href=\"frmMain.html#Type_Point\">Point</A>",
             "- <A href=\"frmMain.html#Subroutine_Run\">Run</A>()",
         }) {
        EXPECT_NE(text.find("nowrap>" + row + "</TD>"), std::string::npos) << row << "\n" << text;
    }
    // The first interface, linked to its class.
    EXPECT_NE(text.find("frmMain (Form)<BR>\r\n<LABEL class=\"interface\">&lt;<A "
                        "href=\"../Classes/IShape.html\">IShape</A>&gt;</LABEL></TH>"),
              std::string::npos)
        << text;
    EXPECT_EQ(matches(text, "<I>\r\n([A-Za-z]*)\r\n</I>"),
              (std::vector<std::string>{"Constants", "Types", "Events", "Variables", "Functions",
                                        "Properties", "Subroutines"}));
    // A kind without its summary table has no anchor to link to.
    ctx.settings.Types = false;
    EXPECT_NE(uml().find("nowrap>- <SPAN>Point</SPAN></TD>"), std::string::npos);
}

TEST(ObjectModel, RootNamesTheKindAndBranchesComeInFixedOrder) {
    const struct {
        int kind;
        const char* name;
        const char* root;
    } cases[] = {
        {moduletype::Form, "frmMain", "<A HREF=\"frmMain.html\" title=\"frmMain-Form module\">"},
        {moduletype::Module, "modMain", "<A HREF=\"modMain.html\" title=\"modMain-Module\">"},
        {moduletype::PropertyPage, "pp", "<A HREF=\"pp.html\" title=\"pp-PropertyPage module\">"},
        {moduletype::UserControl, "uc", "<A HREF=\"uc.html\" title=\"uc-UserControl module\">"},
    };
    CProject project;
    PageContext ctx = makeContext();
    for (const auto& c : cases) {
        const std::string tree =
            CObjectModel().createObjectModel(*makeModule(c.name, c.kind), project, ctx).str();
        EXPECT_NE(tree.find(c.root), std::string::npos) << tree;
    }
    // Added out of order: the tree orders the kinds itself.
    auto form = makeModule("frmMain", moduletype::Form);
    form->Variables().Add(makeVariable("m_count", "Long"));
    form->Subroutines().Add(makeElement<CSubroutine>("Form_Load"));
    form->Properties().Add(makeElement<CProperty>("Caption"));
    for (const char* name : {"MAX", "MIN"}) form->Constants().Add(makeElement<CConstant>(name));
    const std::string tree = CObjectModel().createObjectModel(*form, project, ctx).str();
    EXPECT_EQ(matches(tree, "toggleById\\('([A-Za-z]*)'\\)"),
              (std::vector<std::string>{"Constant", "Property", "Subroutine", "Variable"}));
    EXPECT_EQ(matches(tree, "class=\"omblue\">([A-Za-z_]*)</SPAN>"),
              (std::vector<std::string>{"MAX", "MIN", "Caption", "Form_Load", "m_count"}));
}

}  // namespace
}  // namespace tarnwick
