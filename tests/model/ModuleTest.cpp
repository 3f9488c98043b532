#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/CModule.h"
#include "support/Diagnostics.h"

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
    // Every walk over a module's lists asks listOf for the list of a kind.
    const CModule empty;
    for (const ElementKind kind : kVocabularyOrder)
        EXPECT_EQ(empty.listOf(kind)->elementKind(), kind);
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
        module.Add(kClasses[i].create(module));
        std::vector<int> expected(10, -1);
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
        EXPECT_FALSE(module.Add(c.item, &sink) || module.Add(c.item)) << c.className;
        EXPECT_EQ(listSizes(module), std::vector<int>(10, -1)) << c.className;
        ASSERT_EQ(sink.items().size(), 1u) << c.className;
        EXPECT_NE(sink.items()[0].message.find(c.className), std::string::npos)
            << sink.items()[0].message;
    }
    EXPECT_FALSE(CModule().Add(nullptr));
}

}  // namespace
}  // namespace tarnwick
