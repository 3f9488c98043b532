// The bundled example project read as a whole: module counts per kind and
// a few exact texts (the golden pages pin what the site shows of it).
#include <gtest/gtest.h>

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

// What the golden pages of this project do not show: the continued
// constant, a windows-1252 enum member description, a Static function.
TEST_F(ExampleProject, ExactTexts) {
    ASSERT_TRUE(s_project);
    auto ledger = module(s_project->Modules(), "modLedger");
    ASSERT_TRUE(ledger);
    EXPECT_EQ(ledger->Constants().byName("DEFAULT_CATEGORIES")->Syntax(),
              "Public Const DEFAULT_CATEGORIES As String = \"Groceries;Rent;Insurance;\" & _\r\n"
              "                                            \"Travel;Salary;Interest\"");
    EXPECT_EQ(ledger->Enums().byName("Recurrence")->Variables()->at(3)->Description(),
              "viertelj\xC3\xA4hrlich");
    EXPECT_EQ(ledger->Functions().byName("NextEntryId")->Syntax(),
              "Public Static Function NextEntryId() As Long ");
    auto totals = ledger->Types().byName("LedgerTotals");
    EXPECT_EQ(totals->Variables()->count(), 5);
    EXPECT_EQ(totals->Variables()->at(1)->Description(), "Sum of all income entries, in cents");
}

}  // namespace
}  // namespace tarnwick
