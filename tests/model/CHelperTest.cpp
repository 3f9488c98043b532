// Kind vocabulary, name sort and data-type links of CHelper.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "model/CArgumentList.h"
#include "model/CHelper.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "support/Text.h"

namespace tarnwick {
namespace {

struct ListCase {
    std::unique_ptr<IIterator> (*make)();
    const char* singular;
    const char* plural;
    const char* elementClass;  // of setItemType's result; nullptr: none
};

template <typename L>
std::unique_ptr<IIterator> makeList() {
    return std::make_unique<L>();
}

const ListCase kListCases[] = {
    {makeList<CConstantList>, "Constant", "Constants", "CConstant"},
    {makeList<CDeclarationList>, "Declaration", "Declarations", "CDeclaration"},
    {makeList<CEnumList>, "Enum", "Enums", "CEnum"},
    {makeList<CEventList>, "Event", "Events", "CEvent"},
    {makeList<CFunctionList>, "Function", "Functions", "CFunction"},
    {makeList<CImplementationList>, "Implementation", "Implementations", "CImplementation"},
    {makeList<CPropertyList>, "Property", "Properties", "CProperty"},
    {makeList<CSubroutineList>, "Subroutine", "Subroutines", "CSubroutine"},
    {makeList<CTypeList>, "Type", "Types", "cType"},
    {makeList<CVariableList>, "Variable", "Variables", "CVariable"},
    {makeList<CModuleList>, "", "", "CModule"},
    {makeList<CArgumentList>, "", "", nullptr},
};

TEST(CHelperVocabulary, ListAndElementKindNames) {
    CHelper helper;
    for (const auto& c : kListCases) {
        auto list = c.make();
        SCOPED_TRACE(list->className());
        EXPECT_EQ(helper.getItemType(*list), c.singular);
        EXPECT_EQ(helper.getItemTypes(*list), c.plural);

        auto element = helper.setItemType(*list);
        auto emptyList = helper.setItemsType(*list);
        if (!c.elementClass) {
            EXPECT_EQ(element, nullptr);
            EXPECT_EQ(emptyList, nullptr);
            EXPECT_EQ(helper.getItemName(CArgument()), "");
            continue;
        }
        ASSERT_NE(element, nullptr);
        EXPECT_STREQ(element->className(), c.elementClass);
        EXPECT_EQ(helper.getItemName(*element), c.singular);
        ASSERT_NE(emptyList, nullptr);
        EXPECT_STREQ(emptyList->className(), list->className());
        EXPECT_EQ(emptyList->Size(), -1);
        // The new element belongs in the list it was made for.
        list->Add(element);
        EXPECT_EQ(list->Size(), 0);
    }
}

TEST(CHelperVocabulary, ModuleKindNames) {
    struct {
        int kind;
        const char* singular;
        const char* plural;
    } const cases[] = {
        {0, "", ""},
        {1, "Form", "Forms"},
        {2, "Class", "Classes"},
        {3, "Module", "Modules"},
        {4, "PropertyPage", "PropertyPages"},
        {5, "UserControl", "UserControls"},
        {6, "", ""},
        {7, "", ""},
        {-1, "", ""},
    };
    CHelper helper;
    for (const auto& c : cases) {
        CModule module;
        module.setModuleType(c.kind);
        EXPECT_EQ(helper.getModuleType(module), c.singular) << c.kind;
        EXPECT_EQ(helper.getModulesType(module), c.plural) << c.kind;
        EXPECT_EQ(CHelper::moduleTypeName(c.kind), c.singular) << c.kind;
        EXPECT_EQ(CHelper::modulesTypeName(c.kind), c.plural) << c.kind;
    }
}

TEST(CHelperVocabulary, ScopeNames) {
    struct {
        int code;
        const char* name;
    } const cases[] = {{0, "Global"}, {1, "Public"}, {2, "Private"}, {3, "Friend"},
                       {4, "None"},   {99, "None"},  {-1, "None"}};
    for (const auto& c : cases) EXPECT_EQ(CHelper::GetScope(c.code), c.name) << c.code;
}

// --- sort -------------------------------------------------------------------

std::shared_ptr<CFunction> function(const std::string& name, int tag) {
    auto f = std::make_shared<CFunction>();
    f->setName(name);
    f->setDescription(std::to_string(tag));
    return f;
}

CFunctionList listOf(const std::vector<std::string>& names) {
    CFunctionList list;
    for (size_t i = 0; i < names.size(); ++i) list.Add(function(names[i], static_cast<int>(i)));
    return list;
}

// Each element as name#original position.
std::vector<std::string> tagged(const CFunctionList& list) {
    std::vector<std::string> out;
    for (const auto& e : list.elements()) out.push_back(e->Name() + "#" + e->Description());
    return out;
}

// The order as first described for the sort: every distinct name in ordinal
// order takes every element not yet taken whose name equals it ignoring case,
// in list order. Quadratic, and so the yardstick.
std::vector<std::string> referenceOrder(const CFunctionList& list) {
    std::set<std::string> keys;
    for (const auto& e : list.elements()) keys.insert(e->Name());
    std::vector<bool> taken(list.elements().size());
    std::vector<std::string> out;
    for (const auto& key : keys)
        for (size_t i = 0; i < list.elements().size(); ++i) {
            const auto& e = list.elements()[i];
            if (!taken[i] && equalsIgnoreCase(e->Name(), key)) {
                taken[i] = true;
                out.push_back(e->Name() + "#" + e->Description());
            }
        }
    return out;
}

TEST(CHelperSort, OrderCases) {
    struct {
        std::vector<std::string> input;
        std::vector<std::string> expected;  // name#original position
    } const cases[] = {
        {{"beta", "Alpha", "alpha", "Beta", "beta"},
         {"Alpha#1", "alpha#2", "beta#0", "Beta#3", "beta#4"}},
        {{"alpha", "Zeta"}, {"Zeta#1", "alpha#0"}},
        {{"b_c", "bAc", "B_C"}, {"b_c#0", "B_C#2", "bAc#1"}},
        {{}, {}},
        {{"Only"}, {"Only#0"}},
        // Elements without a name are kept, ahead of the named ones.
        {{"x", "", "A", ""}, {"#1", "#3", "A#2", "x#0"}},
        // Letters beyond ASCII meet their other case too.
        {{"übel", "Zahl", "Übel"}, {"Zahl#1", "übel#0", "Übel#2"}},
    };
    CHelper helper;
    for (const auto& c : cases) {
        auto list = listOf(c.input);
        helper.sortIterator(list);
        EXPECT_EQ(tagged(list), c.expected) << ::testing::PrintToString(c.input);
    }
}

TEST(CHelperSort, MatchesReferenceOnLargeRandomLists) {
    // Few letters and short names, so that case variants of one name and
    // near-collisions are frequent; some names carry non-ASCII letters and
    // bytes that are not UTF-8.
    const std::vector<std::string> pieces = {"a", "A", "b", "B", "_",    "ä", "Ä",
                                             "z", "Z", "1", "ß", "\xFF", "é", "É"};
    std::mt19937 random(20260601);
    CHelper helper;
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> names(2000);
        for (auto& name : names) {
            int length = static_cast<int>(random() % 4);
            for (int i = 0; i < length; ++i) name += pieces[random() % pieces.size()];
        }
        auto list = listOf(names);
        auto expected = referenceOrder(list);
        helper.sortIterator(list);
        ASSERT_EQ(tagged(list), expected) << "round " << round;
    }
}

TEST(CHelperSort, KeepsElementsAndCursor) {
    auto list = listOf({"c", "a", "b"});
    auto before = list.Items();
    list.BeforeFirstItem();
    list.NextItem();  // cursor 0
    CHelper().sortIterator(list);
    EXPECT_EQ(list.cursor(), 0);
    auto after = list.Items();
    ASSERT_EQ(after.size(), 3u);
    // The same objects, not copies.
    EXPECT_EQ(after[0], before[1]);
    EXPECT_EQ(after[1], before[2]);
    EXPECT_EQ(after[2], before[0]);
}

TEST(CHelperSort, SortModuleSortsModulesAndMemberListsButNotArguments) {
    CModuleList modules;
    for (const char* name : {"Zed", "alpha", "Beta"}) {
        auto m = std::make_shared<CModule>();
        m->setName(name);
        modules.Add(m);
    }
    auto& beta = *modules.at(3);
    auto f1 = function("z", 0);
    auto f2 = function("a", 1);
    auto a1 = std::make_shared<CArgument>();
    a1->setName("y");
    auto a2 = std::make_shared<CArgument>();
    a2->setName("x");
    f1->Arguments()->Add(a1);
    f1->Arguments()->Add(a2);
    beta.Add(f1);
    beta.Add(f2);
    auto e = std::make_shared<CEnum>();
    e->setName("E");
    for (const char* v : {"q", "p"}) {
        auto var = std::make_shared<CVariable>();
        var->setName(v);
        e->Variables()->Add(var);
    }
    beta.Add(e);
    for (const char* v : {"v2", "V1"}) {
        auto var = std::make_shared<CVariable>();
        var->setName(v);
        beta.Add(var);
    }

    CHelper().sortModule(modules);
    ASSERT_EQ(modules.Size(), 2);
    EXPECT_EQ(modules.at(1)->Name(), "Beta");
    EXPECT_EQ(modules.at(2)->Name(), "Zed");
    EXPECT_EQ(modules.at(3)->Name(), "alpha");
    EXPECT_EQ(beta.Functions().at(1)->Name(), "a");
    EXPECT_EQ(beta.Variables().at(1)->Name(), "V1");
    EXPECT_EQ(f1->Arguments()->at(1)->Name(), "y");
    EXPECT_EQ(e->Variables()->at(1)->Name(), "q");
}

// --- data-type links --------------------------------------------------------

TEST(CHelperLink, DataTypeLinks) {
    CProject project;
    for (const char* name : {"CParser", "Weird/Name"}) {
        auto m = std::make_shared<CModule>();
        m->setName(name);
        m->setModuleType(moduletype::Class);
        project.Classes().Add(m);
    }
    CModule form;
    form.setModuleType(moduletype::Form);
    CModule cls;
    cls.setModuleType(moduletype::Class);

    struct {
        const char* name;
        const CModule* page;
        const char* prefix;
        const char* expected;
    } const cases[] = {
        {"Collection", &cls, "", "Collection"},
        {"Collection", &form, "../", "Collection"},
        {"CParser", &form, "", "<A href=\"../classes/CParser.html\">CParser</A>"},
        {"CParser", &cls, "../", "<A href=\"../classes/CParser.html\">CParser</A>"},
        // Text as written, file name as the class's own.
        {"cparser", &cls, "", "<A href=\"../classes/CParser.html\">cparser</A>"},
        {"weird/name", &form, "", "<A href=\"../classes/Weird_Name-4174aae0.html\">weird/name</A>"},
        {"", &form, "", ""},
    };
    CHelper helper;
    for (const auto& c : cases)
        EXPECT_EQ(helper.getDataTypeLink(c.name, *c.page, project, c.prefix), c.expected)
            << c.name << " prefix " << c.prefix;
}

}  // namespace
}  // namespace tarnwick
