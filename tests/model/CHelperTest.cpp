// Name sort and data-type links of CHelper.
#include <gtest/gtest.h>

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

// The yardstick: per distinct name in ordinal order, the untaken elements equal ignoring case.
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

// E.g. beta, Alpha, alpha, Beta, beta -> Alpha, alpha, beta, Beta, beta.
TEST(CHelperSort, MatchesReferenceOnRandomLists) {
    // Short names of few letters (non-ASCII, non-UTF-8 too), so that case variants are frequent.
    const std::vector<std::string> pieces = {"a", "A", "b", "B", "_",    "ä", "Ä",
                                             "z", "Z", "1", "ß", "\xFF", "é", "É"};
    std::mt19937 random(20260601);
    CHelper helper;
    for (int round = 0; round < 30; ++round) {
        std::vector<std::string> names(round < 10 ? round : 2000);  // small lists too
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

TEST(CHelperSort, SortModuleSortsModulesAndMemberListsButNotArguments) {
    auto named = [](auto element, const char* name) {
        element->setName(name);
        return element;
    };
    CModuleList modules;
    for (const char* name : {"Zed", "alpha", "Beta"})
        modules.Add(named(std::make_shared<CModule>(), name));
    auto& beta = *modules.at(3);
    auto f1 = function("z", 0);
    for (const char* a : {"y", "x"}) f1->Arguments()->Add(named(std::make_shared<CArgument>(), a));
    beta.Add(f1);
    beta.Add(function("a", 1));
    auto e = named(std::make_shared<CEnum>(), "E");
    for (const char* v : {"q", "p"}) e->Variables()->Add(named(std::make_shared<CVariable>(), v));
    beta.Add(e);
    for (const char* v : {"v2", "V1"}) beta.Add(named(std::make_shared<CVariable>(), v));

    CHelper().sortModule(modules);
    ASSERT_EQ(modules.Size(), 2);
    EXPECT_EQ(modules.at(1)->Name() + modules.at(2)->Name() + modules.at(3)->Name(),
              "BetaZedalpha");
    EXPECT_EQ(beta.Functions().at(1)->Name() + beta.Variables().at(1)->Name() +
                  f1->Arguments()->at(1)->Name() + e->Variables()->at(1)->Name(),
              "aV1yq");
}

TEST(CHelperLink, DataTypeLinks) {
    CProject project;
    for (const char* name : {"CParser", "Weird/Name"}) {
        auto m = std::make_shared<CModule>();
        m->setName(name);
        m->setModuleType(moduletype::Class);
        project.Classes().Add(m);
    }
    CModule form, cls;
    form.setModuleType(moduletype::Form);
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
