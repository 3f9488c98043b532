// The UML class box: title row, compartments and member rows.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "generator/CUml.h"
#include "generator/PageContext.h"
#include "generator/modHtml.h"
#include "model/CArgument.h"
#include "model/CConstant.h"
#include "model/CEvent.h"
#include "model/CFunction.h"
#include "model/CImplementation.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/CProperty.h"
#include "model/CSubroutine.h"
#include "model/CVariable.h"
#include "model/cType.h"

namespace tarnwick {
namespace {

std::shared_ptr<CModule> makeModule(int kind, const std::string& name) {
    auto module = std::make_shared<CModule>();
    module->setModuleType(kind);
    module->setName(name);
    return module;
}

template <typename T>
std::shared_ptr<T> member(const std::string& name, int scopeCode) {
    auto e = std::make_shared<T>();
    e->setName(name);
    e->setScope(scopeCode);
    return e;
}

// The box of createUml around the title row and the nine compartment lines.
std::string box(const std::string& title, const std::string compartments[9]) {
    std::string text =
        "<TABLE>\r\n   <TR>\r\n      <TD>\r\n<TABLE class=\"uml\">\r\n<TR><TH class=\"uml\">" +
        title + "</TH></TR>\r\n";
    for (int i = 0; i < 9; ++i) text += compartments[i] + "\r\n";
    return text + "</TABLE>\r\n\r\n      </TD>\r\n   </TR>\r\n</TABLE>\r\n";
}

std::string compartment(const std::string& kinds, const std::string& rows) {
    return "<TR>\r\n<TD>\r\n<TABLE class=\"uml\">\r\n<TR><TD class=\"uml\"><I>\r\n" + kinds +
           "\r\n</I>\r\n</TD></TR>" + rows + "</TABLE></TD></TR>";
}

std::string row(const std::string& cell) {
    return "<TR><TD class=\"uml\" nowrap>" + cell + "</TD></TR>\r\n";
}

class UmlTest : public ::testing::Test {
protected:
    UmlTest() { ctx.settings = GenerationSettings::dialogDefaults(); }
    std::string uml(const CModule& module) { return CUml().createUml(module, project, 0, ctx); }
    CProject project;
    PageContext ctx;
};

TEST_F(UmlTest, ClassWithoutMembersHasTitleRowOnly) {
    const auto foo = makeModule(moduletype::Class, "Foo");
    const std::string none[9];
    EXPECT_EQ(uml(*foo), box("<IMG src=\"../src/images/Class.ico\">&nbsp;Foo (Class)", none));
}

TEST_F(UmlTest, FormRowsOfFunctionVariableAndProperty) {
    const auto form = makeModule(moduletype::Form, "frmMain");
    auto find = member<CFunction>("Find", scope::Public);
    find->Returns()->setDataType("Long");
    auto items = member<CVariable>("m_items", scope::Private);
    items->setDataType("Collection");
    auto count = member<CProperty>("Count", scope::Friend);
    count->Returns()->setDataType("Long");
    form->Functions().Add(find);
    form->Variables().Add(items);
    form->Properties().Add(count);

    std::string compartments[9];
    compartments[5] = compartment(
        "Variables", row("- <A href=\"frmMain.html#Variable_m_items\" title=\"" +
                         modHtml::umlMemberSignature(*items) + "\">m_items</A> : Collection"));
    compartments[6] =
        compartment("Functions", row("+ <A href=\"frmMain.html#Function_Find\" title=\"" +
                                     modHtml::umlMemberSignature(*find) + "\">Find</A>() : Long"));
    compartments[7] = compartment(
        "Properties", row("# <A href=\"frmMain.html#Property_Count\" title=\"" +
                          modHtml::umlMemberSignature(*count) + "\">Count</A>() : Long"));
    EXPECT_EQ(uml(*form),
              box("<IMG src=\"../src/images/Form.ico\">&nbsp;frmMain (Form)", compartments));
}

TEST_F(UmlTest, MarksTypesAndParenthesesByKind) {
    const auto mod = makeModule(moduletype::Module, "modMain");
    auto constant = member<CConstant>("MAX", scope::Global);  // no data type: none shown
    auto event = member<CEvent>("Changed", scope::Public);
    event->Returns()->setDataType("Long");  // events never show a type
    auto point = member<cType>("Point", scope::None);
    auto run = member<CSubroutine>("Run", 99);
    mod->Constants().Add(constant);
    mod->Events().Add(event);
    mod->Types().Add(point);
    mod->Subroutines().Add(run);

    const std::string text = uml(*mod);
    const auto title = [](const Element& e) {
        return "\" title=\"" + modHtml::umlMemberSignature(e) + "\">";
    };
    EXPECT_NE(
        text.find(row("+ <A href=\"modMain.html#Constant_MAX" + title(*constant) + "MAX</A>")),
        std::string::npos);
    EXPECT_NE(
        text.find(row("+ <A href=\"modMain.html#Event_Changed" + title(*event) + "Changed</A>")),
        std::string::npos);
    EXPECT_NE(text.find(row("- <A href=\"modMain.html#Type_Point" + title(*point) + "Point</A>")),
              std::string::npos);
    EXPECT_NE(text.find(row("- <A href=\"modMain.html#Subroutine_Run" + title(*run) + "Run</A>()")),
              std::string::npos);
    // A kind without its summary table has no anchor to link to.
    ctx.settings.Types = false;
    EXPECT_NE(uml(*mod).find(row("- <SPAN" + title(*point).substr(1) + "Point</SPAN>")),
              std::string::npos);
    // Compartments in their fixed order: Constants, Types, Events, Subroutines.
    EXPECT_LT(text.find("Constants"), text.find("Types"));
    EXPECT_LT(text.find("Types"), text.find("Events"));
    EXPECT_LT(text.find("Events"), text.find("Subroutines"));
}

TEST_F(UmlTest, ShowsFirstInterfaceLinkedToItsClass) {
    project.Classes().Add(makeModule(moduletype::Class, "IShape"));
    const auto circle = makeModule(moduletype::Class, "Circle");
    for (const char* name : {"IShape", "IDrawable"}) {
        auto impl = std::make_shared<CImplementation>();
        impl->setName(name);
        circle->Implementations().Add(impl);
    }
    const std::string none[9];
    EXPECT_EQ(uml(*circle),
              box("<IMG src=\"../src/images/Class.ico\">&nbsp;Circle (Class)<BR>\r\n"
                  "<LABEL class=\"interface\">&lt;<A href=\"../classes/IShape.html\">IShape</A>"
                  "&gt;</LABEL>",
                  none));
}

TEST_F(UmlTest, DataTypeOfAProjectClassBecomesALink) {
    project.Classes().Add(makeModule(moduletype::Class, "CItem"));
    const auto form = makeModule(moduletype::Form, "frmMain");
    auto current = member<CVariable>("Current", scope::Public);
    current->setDataType("citem");
    form->Variables().Add(current);
    EXPECT_NE(uml(*form).find("</A> : <A href=\"../classes/CItem.html\">citem</A></TD>"),
              std::string::npos);
}

}  // namespace
}  // namespace tarnwick
