#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/CModule.h"
#include "model/CProject.h"
#include "support/Diagnostics.h"
#include "support/Errors.h"

namespace tarnwick {
namespace {

// Sizes of the ten element lists, in the order of the table below.
std::vector<int> listSizes(const CModule& m) {
    return {m.Declarations().Size(), m.Constants().Size(),  m.Variables().Size(),
            m.Types().Size(),        m.Enums().Size(),      m.Subroutines().Size(),
            m.Functions().Size(),    m.Properties().Size(), m.Implementations().Size(),
            m.Events().Size()};
}

TEST(ModuleTest, AddFilesEachElementClassIntoItsList) {
    static const struct {
        const char* className;
        std::function<std::shared_ptr<ListItem>(const CModule&)> create;
    } kClasses[] = {
        {"CDeclaration", [](const CModule& m) { return m.CreateDeclaration(); }},
        {"CConstant", [](const CModule& m) { return m.CreateConstant(); }},
        {"CVariable", [](const CModule& m) { return m.CreateVariable(); }},
        {"cType", [](const CModule& m) { return m.CreateType(); }},
        {"CEnum", [](const CModule& m) { return m.CreateEnum(); }},
        {"CSubroutine", [](const CModule& m) { return m.CreateSubroutine(); }},
        {"CFunction", [](const CModule& m) { return m.CreateFunction(); }},
        {"CProperty", [](const CModule& m) { return m.CreateProperty(); }},
        {"CImplementation", [](const CModule& m) { return m.CreateImplentation(); }},
        {"CEvent", [](const CModule& m) { return m.CreateEvent(); }},
    };
    for (size_t i = 0; i < std::size(kClasses); ++i) {
        CModule module;
        const auto element = kClasses[i].create(module);
        EXPECT_STREQ(element->className(), kClasses[i].className);
        EXPECT_EQ(listSizes(module), std::vector<int>(10, -1)) << "created, not kept";
        EXPECT_TRUE(module.Add(element)) << kClasses[i].className;
        std::vector<int> expected(10, -1);
        expected[i] = 0;
        EXPECT_EQ(listSizes(module), expected) << kClasses[i].className;
        module.Add(kClasses[i].create(module));
        expected[i] = 1;
        EXPECT_EQ(listSizes(module), expected) << kClasses[i].className;
    }
}

TEST(ModuleTest, AddRefusesClassesOutsideTheTenWithADiagnostic) {
    static const struct {
        const char* className;
        std::shared_ptr<ListItem> item;
    } kRefused[] = {
        {"CArgument", std::make_shared<CArgument>()},
        {"CModule", std::make_shared<CModule>()},
    };
    for (const auto& c : kRefused) {
        CModule module;
        module.setName("Module1");
        CollectingSink sink;
        EXPECT_FALSE(module.Add(c.item, &sink)) << c.className;
        EXPECT_FALSE(module.Add(c.item)) << c.className;  // no sink: still refused
        EXPECT_EQ(listSizes(module), std::vector<int>(10, -1)) << c.className;
        ASSERT_EQ(sink.items().size(), 1u) << c.className;
        EXPECT_NE(sink.items()[0].message.find(c.className), std::string::npos)
            << sink.items()[0].message;
    }
    CModule module;
    EXPECT_FALSE(module.Add(nullptr));
}

TEST(ModuleTest, TablesAndProjectLists) {
    CModule module;
    EXPECT_NE(module.Attributes(), module.ShortDesc());
    auto table = std::make_shared<HashTable>();
    module.setAttributes(table);
    table->Add("VB_Name", "Class1");
    EXPECT_EQ(module.Attributes()->item("VB_Name"), "Class1");  // shared, not copied
    EXPECT_THROW(module.setAttributes(nullptr), VbError);
    EXPECT_EQ(module.Attributes(), table);

    // The project makes modules without keeping them; its lists find names ignoring case.
    CProject project;
    const auto a = project.CreateForm();
    const auto b = project.CreateForm();
    EXPECT_NE(a, b);
    EXPECT_EQ(project.Forms().Size(), -1);
    a->setName("Same");
    b->setName("same");
    project.Forms().Add(a);
    project.Forms().Add(b);
    EXPECT_EQ(project.Forms().item(-1, "SAME"), a);
}

TEST(ElementTest, ArgumentsRequireAnArgumentList) {
    CFunction function;
    const auto original = function.Arguments();
    std::shared_ptr<IIterator> wrong = std::make_shared<CFunctionList>();
    EXPECT_THROW(function.setArguments(wrong), VbError);
    EXPECT_EQ(function.Arguments(), original);
    std::shared_ptr<IIterator> right = std::make_shared<CArgumentList>();
    function.setArguments(right);
    EXPECT_EQ(function.Arguments(), right);
    cType type;
    EXPECT_THROW(type.setVariables(std::shared_ptr<IIterator>(std::make_shared<CArgumentList>())),
                 VbError);
    EXPECT_EQ(type.Variables(), nullptr);
    EXPECT_NE(CEvent().Returns(), CEvent().Returns());  // each its own record
}

}  // namespace
}  // namespace tarnwick
