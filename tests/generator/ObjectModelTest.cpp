// The object-model tree: root row, branch rows and member rows.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "generator/CObjectModel.h"
#include "generator/PageContext.h"
#include "model/CConstant.h"
#include "model/CEnum.h"
#include "model/CFunction.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/CProperty.h"
#include "model/CSubroutine.h"
#include "model/CVariable.h"
#include "support/Text.h"

namespace tarnwick {
namespace {

const std::string kChild = "<IMG SRC=\"../src/images/parchild.gif\">";
const std::string kMult = "<IMG SRC=\"../src/images/parmult.gif\">";
const std::string kLower = "<IMG SRC=\"../src/images/parlower.gif\">";
const std::string kNone = "<IMG SRC=\"../src/images/parnone.gif\">";

std::shared_ptr<CModule> makeModule(int kind, const std::string& name) {
    auto module = std::make_shared<CModule>();
    module->setModuleType(kind);
    module->setName(name);
    return module;
}

template <typename T>
std::shared_ptr<T> named(const std::string& name) {
    auto e = std::make_shared<T>();
    e->setName(name);
    return e;
}

std::string root(const std::string& link, const std::string& name, const std::string& words) {
    return "<TABLE class=\"objModel\" cellspacing=\"0\"><TR><TD colspan=\"3\"><A HREF=\"" + link +
           "\" title=\"" + name + "-" + words + "\"><SPAN class=\"omblue\" tabindex=\"0\">" + name +
           " - " + words + "</SPAN></A></TD></TR>\r\n";
}

std::string branch(const std::string& kind, bool last) {
    return "<TR  onClick=\"toggleById('" + kind + "')\"><TD width=\"1px\">" +
           (last ? kChild : kMult) + "</TD><TD><SPAN class=\"omyellow\">" + kind +
           "</SPAN></TD><TD width=\"100%\"></TD></TR>\r\n<TR class=\"hidden\" id=\"" + kind +
           "\"><TD colspan=\"2\"><TABLE class=\"objModel\" cellspacing=\"0\">\r\n";
}

std::string leaf(const std::string& name, bool lastBranch, bool lastLeaf) {
    return "<TR><TD width=\"1px\">" + (lastBranch ? kNone : kLower) + "</TD><TD width=\"1px\">" +
           (lastLeaf ? kChild : kMult) + "</TD><TD><SPAN class=\"omblue\">" + name +
           "</SPAN></TD></TR>\r\n";
}

const std::string kSectionEnd = "</TABLE>\r\n</TD></TR>\r\n\r\n";

class ObjectModelTest : public ::testing::Test {
protected:
    ObjectModelTest() { ctx.settings = GenerationSettings::dialogDefaults(); }
    std::string tree(const CModule& module) {
        return CObjectModel().createObjectModel(module, project, ctx);
    }
    CProject project;
    PageContext ctx;
};

TEST_F(ObjectModelTest, RootLinksToTheModulesOwnPageAndNamesItsKind) {
    const struct {
        int kind;
        const char* name;
        const char* link;
        const char* words;
    } cases[] = {
        {moduletype::Class, "CArgument", "CArgument.html", "Class module"},
        {moduletype::Form, "frmMain", "frmMain.html", "Form module"},
        {moduletype::Module, "modMain", "modMain.html", "Module"},
        {moduletype::PropertyPage, "ppGeneral", "ppGeneral.html", "PropertyPage module"},
        {moduletype::UserControl, "ucGrid", "ucGrid.html", "UserControl module"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tree(*makeModule(c.kind, c.name)), root(c.link, c.name, c.words) + "</TABLE>\r\n")
            << c.name;
    }
}

TEST_F(ObjectModelTest, RootLinkUsesTheSafeFileName) {
    const std::string text = tree(*makeModule(moduletype::Class, "a/b"));
    EXPECT_NE(text.find("<A HREF=\"" + safeFileName("a/b") + ".html\""), std::string::npos);
    EXPECT_EQ(text.find("HREF=\"a/b"), std::string::npos);
}

TEST_F(ObjectModelTest, OnlyFunctions) {
    const auto module = makeModule(moduletype::Class, "Foo");
    module->Functions().Add(named<CFunction>("Alpha"));
    module->Functions().Add(named<CFunction>("Beta"));
    EXPECT_EQ(tree(*module), root("Foo.html", "Foo", "Class module") + branch("Function", true) +
                                 leaf("Alpha", true, false) + leaf("Beta", true, true) +
                                 kSectionEnd + "</TABLE>\r\n");
}

TEST_F(ObjectModelTest, SeveralKindsInFixedOrder) {
    const auto module = makeModule(moduletype::Form, "frmMain");
    // Added out of order: the tree orders the kinds itself.
    module->Variables().Add(named<CVariable>("m_count"));
    module->Subroutines().Add(named<CSubroutine>("Form_Load"));
    module->Properties().Add(named<CProperty>("Caption"));
    module->Enums().Add(named<CEnum>("Colour"));
    module->Constants().Add(named<CConstant>("MAX"));
    module->Constants().Add(named<CConstant>("MIN"));
    EXPECT_EQ(tree(*module),
              root("frmMain.html", "frmMain", "Form module") + branch("Constant", false) +
                  leaf("MAX", false, false) + leaf("MIN", false, true) + kSectionEnd +
                  branch("Enum", false) + leaf("Colour", false, true) + kSectionEnd +
                  branch("Property", false) + leaf("Caption", false, true) + kSectionEnd +
                  branch("Subroutine", false) + leaf("Form_Load", false, true) + kSectionEnd +
                  branch("Variable", true) + leaf("m_count", true, true) + kSectionEnd +
                  "</TABLE>\r\n");
}

}  // namespace
}  // namespace tarnwick
