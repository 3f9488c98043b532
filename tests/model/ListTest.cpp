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
    std::function<Item()> foreign;  // an item of some other class
};

template <typename L>
std::unique_ptr<IIterator> makeList() {
    return std::make_unique<L>();
}

const std::vector<ListKind>& kinds() {
    static const std::vector<ListKind> kKinds = {
        {"CModuleList", makeList<CModuleList>, named<CModule>, false,
         [] { return named<CFunction>("x"); }},
        {"CFunctionList", makeList<CFunctionList>, named<CFunction>, true,
         [] { return named<CSubroutine>("x"); }},
        {"CSubroutineList", makeList<CSubroutineList>, named<CSubroutine>, true,
         [] { return named<CFunction>("x"); }},
        {"CPropertyList", makeList<CPropertyList>, named<CProperty>, true,
         [] { return named<CFunction>("x"); }},
        {"CEventList", makeList<CEventList>, named<CEvent>, true,
         [] { return named<CFunction>("x"); }},
        {"CDeclarationList", makeList<CDeclarationList>, named<CDeclaration>, true,
         [] { return named<CFunction>("x"); }},
        {"CConstantList", makeList<CConstantList>, named<CConstant>, true,
         [] { return named<CVariable>("x"); }},
        {"CVariableList", makeList<CVariableList>, named<CVariable>, true,
         [] { return named<CConstant>("x"); }},
        {"CTypeList", makeList<CTypeList>, named<cType>, true, [] { return named<CEnum>("x"); }},
        {"CEnumList", makeList<CEnumList>, named<CEnum>, true, [] { return named<cType>("x"); }},
        {"CImplementationList", makeList<CImplementationList>, named<CImplementation>, true,
         [] { return named<CModule>("x"); }},
        {"CArgumentList", makeList<CArgumentList>, named<CArgument>, true,
         [] { return named<CVariable>("x"); }},
    };
    return kKinds;
}

template <typename F>
void expectVbError(int number, F f, const char* what) {
    try {
        f();
        ADD_FAILURE() << what << ": no VbError " << number;
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), number) << what;
    }
}

TEST(ListTest, NewListIsEmpty) {
    for (const ListKind& kind : kinds()) {
        auto list = kind.make();
        EXPECT_STREQ(list->className(), kind.className);
        EXPECT_EQ(list->Size(), -1) << kind.className;
        EXPECT_FALSE(list->HasMore()) << kind.className;
        EXPECT_EQ(list->item(-1, "anything"), nullptr) << kind.className;
        EXPECT_TRUE(list->Items().empty()) << kind.className;
        expectVbError(
            9, [&] { list->FirstItem(); }, kind.className);
        expectVbError(
            9, [&] { list->LastItem(); }, kind.className);
        expectVbError(
            9, [&] { list->NextItem(); }, kind.className);
        expectVbError(
            9, [&] { list->item(1); }, kind.className);
        auto other = list->createEmpty();
        EXPECT_STREQ(other->className(), kind.className);
        EXPECT_EQ(other->Size(), -1);
    }
}

TEST(ListTest, WalkReturnsEveryElementOnce) {
    for (const ListKind& kind : kinds()) {
        auto list = kind.make();
        const Item only = kind.element("Only");
        list->Add(only);
        EXPECT_EQ(list->Size(), 0) << kind.className;
        EXPECT_TRUE(list->HasMore()) << kind.className;  // the cursor is before the first
        EXPECT_EQ(list->NextItem(), only) << kind.className;
        EXPECT_FALSE(list->HasMore()) << kind.className;
        expectVbError(
            9, [&] { list->NextItem(); }, kind.className);

        list->Add(kind.element("Second"));
        list->Add(kind.element("Third"));
        std::vector<std::string> names;
        for (list->BeforeFirstItem(); list->HasMore();) names.push_back(list->NextItem()->Name());
        EXPECT_EQ(names, (std::vector<std::string>{"Only", "Second", "Third"})) << kind.className;
        EXPECT_EQ(list->LastItem()->Name(), "Third") << kind.className;
        EXPECT_FALSE(list->HasMore()) << kind.className;
    }
}

TEST(ListTest, FirstItemMovesTheCursorExceptInModuleLists) {
    for (const ListKind& kind : kinds()) {
        auto list = kind.make();
        for (const char* name : {"A", "B", "C"}) list->Add(kind.element(name));
        list->BeforeFirstItem();
        list->NextItem();
        list->NextItem();  // at B
        EXPECT_EQ(list->FirstItem()->Name(), "A") << kind.className;
        EXPECT_EQ(list->NextItem()->Name(), kind.firstItemMovesCursor ? "B" : "C")
            << kind.className;
    }
}

TEST(ListTest, ItemCountsFromOne) {
    for (const ListKind& kind : kinds()) {
        auto list = kind.make();
        for (const char* name : {"A", "B"}) list->Add(kind.element(name));
        EXPECT_EQ(list->item(1)->Name(), "A") << kind.className;
        EXPECT_EQ(list->item(2, "ignored")->Name(), "B") << kind.className;
        for (int position : {0, 3, 100})
            expectVbError(
                9, [&] { list->item(position); }, kind.className);
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

TEST(ListTest, ItemsShareElementsButNotStorage) {
    for (const ListKind& kind : kinds()) {
        auto one = kind.make();
        for (const char* name : {"A", "B"}) one->Add(kind.element(name));
        auto two = kind.make();
        two->Add(kind.element("Z"));
        two->BeforeFirstItem();
        two->NextItem();
        two->setItems(one->Items());
        EXPECT_EQ(two->Size(), 1) << kind.className;
        EXPECT_EQ(two->item(1), one->item(1)) << kind.className;    // the same object
        EXPECT_EQ(two->NextItem()->Name(), "B") << kind.className;  // cursor left as it was
        one->Add(kind.element("C"));
        EXPECT_EQ(one->Size(), 2) << kind.className;
        EXPECT_EQ(two->Size(), 1) << kind.className;
    }
}

TEST(ListTest, ForeignClassIsATypeErrorAndChangesNothing) {
    for (const ListKind& kind : kinds()) {
        auto list = kind.make();
        list->Add(kind.element("A"));
        list->BeforeFirstItem();
        list->NextItem();
        expectVbError(
            13, [&] { list->Add(kind.foreign()); }, kind.className);
        expectVbError(
            13, [&] { list->Add(nullptr); }, kind.className);
        expectVbError(
            13,
            [&] {
                list->setItems({kind.element("B"), kind.foreign()});
            },
            kind.className);
        EXPECT_EQ(list->Size(), 0) << kind.className;
        EXPECT_EQ(list->item(1)->Name(), "A") << kind.className;
        EXPECT_FALSE(list->HasMore()) << kind.className;  // the cursor did not move
    }
}

}  // namespace
}  // namespace tarnwick
