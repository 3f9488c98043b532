// The twelve list classes, driven through IIterator from one table.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/CArgumentList.h"
#include "model/CConstantList.h"
#include "model/CDeclarationList.h"
#include "model/CEnumList.h"
#include "model/CEventList.h"
#include "model/CFunctionList.h"
#include "model/CImplementationList.h"
#include "model/CModuleList.h"
#include "model/CPropertyList.h"
#include "model/CSubroutine.h"
#include "model/CSubroutineList.h"
#include "model/CTypeList.h"
#include "model/CVariableList.h"
#include "support/Errors.h"

namespace tarnwick {
namespace {

using Item = std::shared_ptr<ListItem>;

template <typename T>
Item named(const std::string& name) {
    auto element = std::make_shared<T>();
    element->setName(name);
    return element;
}

struct ListKind {
    const char* className;
    std::function<std::unique_ptr<IIterator>()> make;
    std::function<Item(const std::string&)> element;
    bool firstItemMovesCursor;
    std::function<Item(const std::string&)> foreign;  // an item of some other class
};

template <typename L>
std::unique_ptr<IIterator> makeList() {
    return std::make_unique<L>();
}

const std::vector<ListKind>& kinds() {
    static const std::vector<ListKind> kKinds = {
        {"CModuleList", makeList<CModuleList>, named<CModule>, false, named<CFunction>},
        {"CFunctionList", makeList<CFunctionList>, named<CFunction>, true, named<CSubroutine>},
        {"CSubroutineList", makeList<CSubroutineList>, named<CSubroutine>, true, named<CFunction>},
        {"CPropertyList", makeList<CPropertyList>, named<CProperty>, true, named<CFunction>},
        {"CEventList", makeList<CEventList>, named<CEvent>, true, named<CFunction>},
        {"CDeclarationList", makeList<CDeclarationList>, named<CDeclaration>, true,
         named<CFunction>},
        {"CConstantList", makeList<CConstantList>, named<CConstant>, true, named<CVariable>},
        {"CVariableList", makeList<CVariableList>, named<CVariable>, true, named<CConstant>},
        {"CTypeList", makeList<CTypeList>, named<cType>, true, named<CEnum>},
        {"CEnumList", makeList<CEnumList>, named<CEnum>, true, named<cType>},
        {"CImplementationList", makeList<CImplementationList>, named<CImplementation>, true,
         named<CModule>},
        {"CArgumentList", makeList<CArgumentList>, named<CArgument>, true, named<CVariable>},
    };
    return kKinds;
}

// The number of the VbError f throws, or 0.
template <typename F>
int vbError(F f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

TEST(ListTest, EmptyWalkAndPositions) {
    for (const ListKind& kind : kinds()) {
        SCOPED_TRACE(kind.className);
        auto list = kind.make();
        EXPECT_STREQ(list->createEmpty()->className(), kind.className);
        EXPECT_EQ(list->Size(), -1);
        EXPECT_EQ(vbError([&] { list->FirstItem(); }) + vbError([&] { list->NextItem(); }), 18);
        for (const char* name : {"A", "B", "C"}) list->Add(kind.element(name));
        std::string names;
        for (list->BeforeFirstItem(); list->HasMore();) names += list->NextItem()->Name();
        EXPECT_EQ(names + list->LastItem()->Name() + list->item(1)->Name() +
                      list->item(2, "ignored")->Name(),
                  "ABCCAB");
        for (int position : {0, 4, 100})
            EXPECT_EQ(vbError([&] { list->item(position); }), 9) << position;
        // FirstItem moves the cursor except in module lists.
        list->BeforeFirstItem();
        list->NextItem();
        list->NextItem();
        EXPECT_EQ(list->FirstItem()->Name(), "A");
        EXPECT_EQ(list->NextItem()->Name(), kind.firstItemMovesCursor ? "B" : "C");
    }
}

TEST(ListTest, NameLookupIgnoresCaseAndReturnsTheFirst) {
    static const struct {
        const char* stored;
        const char* asked;
        bool found;
    } kLookups[] = {
        {"Foo", "FOO", true},       {"Foo", "foo", true}, {"Größe", "GRÖßE", true},
        {"Клиент", "кЛИЕНТ", true}, {"Foo", "Fo", false}, {"Foo", "", false},
    };
    for (const ListKind& kind : kinds()) {
        for (const auto& c : kLookups) {
            auto list = kind.make();
            list->Add(kind.element("Other"));
            const Item first = kind.element(c.stored);
            list->Add(first);
            list->Add(kind.element(c.stored));  // a second of the same name
            const Item found = list->item(-1, c.asked);
            EXPECT_EQ(found, c.found ? first : nullptr) << kind.className << " " << c.asked;
        }
    }
}

TEST(ListTest, ForeignClassIsATypeErrorAndChangesNothing) {
    for (const ListKind& kind : kinds()) {
        auto list = kind.make();
        list->Add(kind.element("A"));
        list->BeforeFirstItem();
        list->NextItem();
        EXPECT_EQ(vbError([&] { list->Add(kind.foreign("x")); }), 13) << kind.className;
        EXPECT_EQ(vbError([&] { list->Add(nullptr); }), 13) << kind.className;
        EXPECT_EQ(vbError([&] {
                      list->setItems({kind.element("B"), kind.foreign("x")});
                  }),
                  13)
            << kind.className;
        // The cursor did not move either.
        EXPECT_TRUE(list->Size() == 0 && list->item(1)->Name() == "A" && !list->HasMore())
            << kind.className;
        // A routine takes only an argument list as its arguments.
        const std::shared_ptr<IIterator> asArguments = kind.make();
        EXPECT_EQ(vbError([&] { CSubroutine().setArguments(asArguments); }),
                  std::string(kind.className) == "CArgumentList" ? 0 : 13)
            << kind.className;
    }
}

}  // namespace
}  // namespace tarnwick
