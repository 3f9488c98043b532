// The bundled example project read as a whole: module counts per kind,
// member counts per module and a few exact texts.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "reader/CParser.h"
#include "reader/modRegistry.h"

namespace tarnwick {
namespace {

const std::string kFolder = std::string(TARNWICK_SOURCE_DIR) + "/examples/Ledger/";

class ExampleProject : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CParser parser;
        parser.setPath(kFolder + "Ledger.vbp");
        parser.setDiagnostics(&s_sink);
        parser.setRegistry(std::make_shared<const RegistrySource>(
            RegistrySource::fromFiles({kFolder + "registry.reg"}, &s_sink)));
        auto result = parser.Parse();
        ASSERT_TRUE(result.has_value()) << result.error().message;
        s_project = result.value();
    }
    static void TearDownTestSuite() { s_project.reset(); }

    static std::shared_ptr<CModule> module(const CModuleList& list, const std::string& name) {
        auto found = list.byName(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static std::shared_ptr<CProject> s_project;
    static CollectingSink s_sink;
};

std::shared_ptr<CProject> ExampleProject::s_project;
CollectingSink ExampleProject::s_sink;

TEST_F(ExampleProject, ModulesOfEveryKindWithoutWarnings) {
    ASSERT_TRUE(s_project);
    EXPECT_TRUE(s_sink.items().empty());
    std::vector<std::string> classes;
    for (const auto& m : s_project->Classes().elements()) classes.push_back(m->Name());
    EXPECT_EQ(classes, (std::vector<std::string>{"CAccount", "CEntry", "CJournal", "IAccount"}));
    EXPECT_EQ(s_project->Forms().count(), 2);
    EXPECT_EQ(s_project->Modules().count(), 2);
    EXPECT_EQ(s_project->PropertyPages().count(), 1);
    EXPECT_EQ(s_project->UserControls().count(), 1);
    ASSERT_EQ(s_project->References().count(), 2);
    EXPECT_EQ(s_project->References().at(2)->Description(), "OLE Automation");  // by name
    EXPECT_EQ(s_project->Objects().at(1)->Name(), " MSCOMCTL.OCX");
}

TEST_F(ExampleProject, MemberCounts) {
    ASSERT_TRUE(s_project);
    // Implementations, Declarations, Constants, Variables, Types, Enums,
    // Events, Functions, Subroutines, Properties.
    const std::map<std::string, std::vector<int>> expected = {
        {"CAccount", {1, 0, 0, 7, 0, 1, 2, 3, 3, 16}},
        {"CEntry", {0, 0, 1, 8, 0, 0, 0, 3, 0, 14}},
        {"CJournal", {0, 0, 1, 5, 0, 0, 2, 3, 5, 6}},
        {"IAccount", {0, 0, 0, 0, 0, 0, 0, 1, 0, 4}},
        {"modLedger", {0, 6, 5, 5, 2, 2, 0, 7, 3, 1}},
        {"modFormat", {0, 0, 3, 0, 0, 0, 0, 4, 0, 0}},
        {"frmMain", {0, 0, 0, 2, 0, 1, 0, 0, 15, 0}},
        {"frmEntry", {0, 0, 0, 2, 0, 0, 0, 2, 4, 0}},
        {"ppgAmountBox", {0, 0, 0, 1, 0, 0, 0, 0, 7, 0}},
        {"ctlAmountBox", {0, 0, 2, 4, 0, 0, 2, 0, 7, 10}},
    };
    for (const CModuleList* list :
         {&s_project->Classes(), &s_project->Modules(), &s_project->Forms(),
          &s_project->PropertyPages(), &s_project->UserControls()}) {
        for (const auto& m : list->elements()) {
            std::vector<int> counts = {m->Implementations().count(), m->Declarations().count(),
                                       m->Constants().count(),       m->Variables().count(),
                                       m->Types().count(),           m->Enums().count(),
                                       m->Events().count(),          m->Functions().count(),
                                       m->Subroutines().count(),     m->Properties().count()};
            ASSERT_TRUE(expected.count(m->Name())) << m->Name();
            EXPECT_EQ(counts, expected.at(m->Name())) << m->Name();
        }
    }
}

TEST_F(ExampleProject, ExactTexts) {
    ASSERT_TRUE(s_project);
    auto ledger = module(s_project->Modules(), "modLedger");
    ASSERT_TRUE(ledger);
    auto declare = ledger->Declarations().byName("GetPrivateProfileString");
    ASSERT_TRUE(declare);
    EXPECT_EQ(declare->Syntax(),
              "Private Declare Function GetPrivateProfileString Lib \"kernel32\" Alias "
              "\"GetPrivateProfileStringA\" (ByVal lpApplicationName As String, ByVal lpKeyName "
              "As Any, ByVal lpDefault As String, ByVal lpReturnedString As String, ByVal nSize As "
              "Long, ByVal lpFileName As String) As Long");
    EXPECT_EQ(declare->Arguments()->count(), 6);
    EXPECT_EQ(declare->Returns()->Description(), "Number of characters copied into the buffer");
    auto categories = ledger->Constants().byName("DEFAULT_CATEGORIES");
    ASSERT_TRUE(categories);
    EXPECT_EQ(categories->Syntax(),
              "Public Const DEFAULT_CATEGORIES As String = \"Groceries;Rent;Insurance;\" & _\r\n"
              "                                            \"Travel;Salary;Interest\"");
    auto recurrence = ledger->Enums().byName("Recurrence");
    ASSERT_TRUE(recurrence);
    EXPECT_EQ(recurrence->Variables()->at(3)->Description(), "viertelj\xC3\xA4hrlich");
    auto counter = ledger->Functions().byName("NextEntryId");
    ASSERT_TRUE(counter);
    EXPECT_EQ(counter->Syntax(), "Public Static Function NextEntryId() As Long ");
    auto totals = ledger->Types().byName("LedgerTotals");
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->Variables()->count(), 5);
    EXPECT_EQ(totals->Variables()->at(1)->Description(), "Sum of all income entries, in cents");

    auto account = module(s_project->Classes(), "CAccount");
    ASSERT_TRUE(account);
    EXPECT_EQ(account->Implementations().at(1)->Name(), "IAccount");
    EXPECT_EQ(account->ShortDesc()->item("Post"), "Books one amount and raises the events");
    auto post = account->Functions().byName("Post");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->Syntax(),
              "Public Function Post(ByVal Cents As Currency, Optional ByVal Memo As String = \"\") "
              "As Boolean ");
    EXPECT_EQ(post->Arguments()->at(2)->Description(), "Text stored with the booking");
    EXPECT_EQ(post->Returns()->Description(), "True when the booking was accepted");
}

}  // namespace
}  // namespace tarnwick
