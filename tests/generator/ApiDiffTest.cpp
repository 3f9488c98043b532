// The interface diff on a small ActiveX DLL in two versions: each kind of
// change with the verdict VB6's binary compatibility gives it, what must
// not be listed (private classes, Friend and Private members), and the
// errors of a report that cannot be compared.
#include <gtest/gtest.h>

#include "generator/analysis/ApiDiff.h"
#include "generator/pages/ChangesPage.h"
#include "generator/pages/modHtml.h"
#include "model/CProject.h"
#include "reader/CParser.h"
#include "tests/generator/ModHtmlTestSupport.h"
#include "tests/generator/RunTestSupport.h"
#include "tests/support/TempFolder.h"

namespace tarnwick {
namespace {

// A module file: a class's first character says its instancing (E exposed
// and creatable, N exposed but not creatable, P private); "M" a standard module.
std::string moduleText(const std::string& code) {
    const char flag = code.at(0);
    const std::string body = code.substr(1);
    if (flag == 'M') return "Attribute VB_Name = \"CThing\"\r\n" + body;
    return std::string("VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1\r\nEND\r\n") +
           "Attribute VB_Name = \"CThing\"\r\nAttribute VB_Creatable = " +
           (flag == 'N' ? "False" : "True") +
           "\r\nAttribute VB_PredeclaredId = False\r\nAttribute VB_Exposed = " +
           (flag == 'P' ? "False" : "True") + "\r\n" + body;
}

ApiInterface versionOf(testing::TempFolder& tmp, const std::string& name, const std::string& code) {
    const bool module = code.at(0) == 'M';
    tmp.write(name + (module ? ".bas" : ".cls"), moduleText(code));
    CParser parser;
    parser.setPath(tmp.write(name + ".vbp", std::string("Type=OleDll\r\nName=\"Thing\"\r\n") +
                                                (module ? "Module" : "Class") + "=CThing; " + name +
                                                (module ? ".bas" : ".cls") + "\r\n"));
    auto project = parser.Parse();
    return project ? apiInterface(*project.value()) : ApiInterface{};
}

// "breaks changed Post: argument 'A' ...", one a line.
std::string shown(const Expected<ApiDiff>& diff) {
    if (!diff) return diff.error().message;
    std::string text;
    for (const ApiChange& c : diff->changes)
        text += std::string(verdictWord(c.verdict)) + " " + changeWord(c.kind) + " " +
                (c.member.empty() ? c.module : c.member) + ": " + c.message + "\n";
    return text;
}

TEST(ApiDiff, GivesEachChangeItsVerdict) {
    struct {
        const char* before;  // the module's code, its instancing first
        const char* after;
        const char* expected;
    } const cases[] = {
        {"EPublic Sub Close()\r\nEnd Sub\r\n", "E", "breaks removed Close: Sub removed\n"},
        {"E", "EPublic Sub Close()\r\nEnd Sub\r\n", "compatible added Close: Sub added\n"},
        {"EPublic Sub A(ByVal X As Long)\r\nEnd Sub\r\n",
         "EPublic Sub A(ByVal X As Long, Optional ByVal Y As Long)\r\nEnd Sub\r\n",
         "breaks changed A: argument 'Y' added\n"},
        {"EPublic Sub A(ByVal X As Long)\r\nEnd Sub\r\n", "EPublic Sub A()\r\nEnd Sub\r\n",
         "breaks changed A: argument 'X' removed\n"},
        // An argument put first is told once, not as a change of each after it.
        {"EPublic Sub A(ByVal X As Long, ByVal Y As Long)\r\nEnd Sub\r\n",
         "EPublic Sub A(ByVal W As Byte, ByVal X As Long, ByVal Y As Long)\r\nEnd Sub\r\n",
         "breaks changed A: argument 'W' added\n"},
        {"EPublic Sub A(ByVal W As Byte, ByVal X As Long, ByVal Y As Long)\r\nEnd Sub\r\n",
         "EPublic Sub A(ByVal W As Byte, ByVal Y As Long)\r\nEnd Sub\r\n",
         "breaks changed A: argument 'X' removed\n"},
        {"EPublic Sub A(ByRef Value As Variant)\r\nEnd Sub\r\n",
         "EPublic Sub A(ByVal Value As String)\r\nEnd Sub\r\n",
         "breaks changed A: argument 'Value' changed from ByRef Variant to ByVal String\n"},
        // The case of a type is the editor's, not the interface's.
        {"EPublic Sub A(X)\r\nEnd Sub\r\n", "EPublic Sub A(ByRef X As variant)\r\nEnd Sub\r\n", ""},
        {"EPublic Sub A(ByVal X As Long)\r\nEnd Sub\r\n",
         "EPublic Sub A(Optional ByVal X As Long)\r\nEnd Sub\r\n",
         "breaks changed A: argument 'X' changed from ByVal Long to Optional ByVal Long\n"},
        {"EPublic Sub A(X() As Variant)\r\nEnd Sub\r\n",
         "EPublic Sub A(ParamArray X() As Variant)\r\nEnd Sub\r\n",
         "breaks changed A: argument 'X' changed from ByRef Variant() to ParamArray Variant()\n"},
        {"EPublic Sub A(Optional ByVal N As Long = 2)\r\nEnd Sub\r\n",
         "EPublic Sub A(Optional ByVal N As Long = 3)\r\nEnd Sub\r\n",
         "behaviour changed A: argument 'N' default changed from 2 to 3\n"},
        {"EPublic Sub A(ByVal N As Long)\r\nEnd Sub\r\n",
         "EPublic Sub A(ByVal Count As Long)\r\nEnd Sub\r\n",
         "compatible changed A: argument 'N' renamed to 'Count'\n"},
        {"EPublic Function F() As Long\r\nEnd Function\r\n",
         "EPublic Function F() As String\r\nEnd Function\r\n",
         "breaks changed F: return type changed from Long to String\n"},
        {"EPublic Sub F()\r\nEnd Sub\r\n", "EPublic Function F() As Long\r\nEnd Function\r\n",
         "breaks changed F: changed from Sub to Function\n"},
        {"EPublic Property Get P() As Long\r\nEnd Property\r\n"
         "Public Property Let P(ByVal V As Long)\r\nEnd Property\r\n",
         "EPublic Property Get P() As Long\r\nEnd Property\r\n",
         "breaks removed P: Property Let removed\n"},
        {"EPublic Event Changed(ByVal A As Long)\r\n",
         "EPublic Event Changed(ByVal A As Long, ByVal B As Long)\r\n",
         "breaks changed Changed: argument 'B' added\n"},
        {"EPublic Property Get Item() As Long\r\nEnd Property\r\n",
         "EPublic Property Get Item() As Long\r\nAttribute Item.VB_UserMemId = 0\r\nEnd "
         "Property\r\n",
         "breaks changed Item: VB_UserMemId changed from (none) to 0\n"},
        {"E", "EImplements IThing\r\n", "breaks added IThing: Implements added\n"},
        {"EPublic Total As Long\r\nPublic Items As Collection\r\n",
         "EPublic Total As Currency\r\nPublic Items As New Collection\r\n",
         "breaks changed Total: declaration changed from 'Total As Long' to 'Total As Currency'\n"},
        {"EPublic Sub A()\r\nEnd Sub\r\n", "NPublic Sub A()\r\nEnd Sub\r\n",
         "breaks changed CThing: instancing changed: VB_Creatable from True to False\n"},
        // A private class is no part of the DLL: neither its loss nor its changes.
        {"PPublic Sub A()\r\nEnd Sub\r\n", "PPublic Sub B()\r\nEnd Sub\r\n", ""},
        {"EPublic Sub A()\r\nEnd Sub\r\n", "P", "breaks removed CThing: Class removed\n"},
        {"P", "E", "compatible added CThing: Class added\n"},
        {"EFriend Sub A(ByVal X As Long)\r\nEnd Sub\r\nPrivate Sub B()\r\nEnd Sub\r\n",
         "EFriend Sub A(ByVal X As String)\r\nEnd Sub\r\nPrivate Sub C()\r\nEnd Sub\r\n", ""},
        // Values: one at the end is new, an inserted one renumbers those after it.
        {"EPublic Enum K\r\n    kA\r\n    kB\r\n    kC = &H10\r\nEnd Enum\r\n",
         "EPublic Enum K\r\n    kA\r\n    kX\r\n    kB\r\n    kC = 16\r\n    kD\r\nEnd Enum\r\n",
         "compatible changed K: value 'kX' added\nbehaviour changed K: value 'kB' changed from 1 "
         "to 2\ncompatible changed K: value 'kD' added\n"},
        {"EPublic Enum K\r\n    kA\r\n    kB\r\nEnd Enum\r\n",
         "EPublic Enum K\r\n    kA = 1\r\nEnd Enum\r\n",
         "behaviour changed K: value 'kA' changed from 0 to 1\n"
         "breaks changed K: value 'kB' removed\n"},
        {"EPublic Type T\r\n    A As Long\r\n    B As Long\r\nEnd Type\r\n",
         "EPublic Type T\r\n    B As Long\r\n    A As Integer\r\nEnd Type\r\n",
         "breaks changed T: field 'A' changed from 'A As Long' to 'A As Integer'\n"
         "breaks changed T: fields reordered\n"},
        // A standard module's members reach no client: listed, never binary.
        {"MPublic Const N As Long = 1\r\nPublic Sub A()\r\nEnd Sub\r\n",
         "MPublic Const N As Long = 2\r\n",
         "not binary removed A: Sub removed\nnot binary changed N: value changed from 1 to 2\n"},
    };
    for (const auto& c : cases) {
        testing::TempFolder tmp;
        const ApiInterface before = versionOf(tmp, "old", c.before);
        const ApiInterface after = versionOf(tmp, "new", c.after);
        EXPECT_EQ(shown(apiDiff(before, after)), c.expected) << c.before << "\n" << c.after;
    }
    // A description is told only when asked, and only between projects.
    testing::TempFolder tmp;
    const ApiInterface before =
        versionOf(tmp, "old", "E' Closes it.\r\nPublic Sub Close()\r\nEnd Sub\r\n");
    const ApiInterface after =
        versionOf(tmp, "new", "E' Shuts it.\r\nPublic Sub Close()\r\nEnd Sub\r\n");
    EXPECT_EQ(shown(apiDiff(before, after, true)),
              "compatible changed Close: description changed\n");
    EXPECT_EQ(shown(apiDiff(before, after)), "");
    const auto saved = readApiReport(apiText(before), "old.api");
    EXPECT_EQ(shown(apiDiff(saved.value(), after, true)), "");
}

TEST(ApiDiff, ReadsReportsBackAndRefusesBrokenOnes) {
    const std::string ledger =
        testing::readFile(std::string(TARNWICK_SOURCE_DIR) + "/tests/golden/api/Ledger.api");
    const auto read = readApiReport(ledger, "Ledger.api");
    ASSERT_TRUE(read) << read.error().message;
    EXPECT_EQ(apiText(read.value()), ledger);
    EXPECT_EQ(shown(apiDiff(read.value(), read.value())), "");

    const std::string head = "Project P Type=OleDll\n\nClass C VB_Exposed=True\n";
    struct {
        std::string before;
        std::string after;
        const char* expected;
    } const cases[] = {
        {head + "Public Sub A(\n", head, "a.api:4: not a line of an API report: Public Sub A("},
        {"Class C\n", head, "a.api:1: an API report starts with its Project line: Class C"},
        {"Project P Type=OleDll\nPublic Sub A()\n", head,
         "a.api:2: not a line of an API report: Public Sub A()"},
        {head, head + "Public Sub A()\nPublic Sub a()\n", "b.api:5: 'a' is declared twice in C"},
        {head + "\nClass c\n", head, "a.api:5: module 'c' is declared twice"},
        // Other projects: told, and compared anyway.
        {"Project Q Type=Exe\n", head,
         "the projects' names differ: Q and P (compared anyway)\n"
         "the project types differ: Exe and OleDll (compared anyway)\n"
         "compatible added C: Class added\n"},
    };
    for (const auto& c : cases) {
        const auto before = readApiReport(c.before, "a.api");
        const auto after = readApiReport(c.after, "b.api");
        std::string text = !before ? before.error().message : !after ? after.error().message : "";
        if (before && after) {
            const auto diff = apiDiff(before.value(), after.value());
            if (diff)
                for (const std::string& note : diff->notes) text += note + "\n";
            text += shown(diff);
        }
        EXPECT_EQ(text, c.expected) << c.before;
    }
}

// The Changes page lists each change with its verdict; the project summary
// links to it only when there is one.
TEST(ChangesPage, ListsChangesAndIsLinkedFromTheSummary) {
    CProject project;
    PageContext ctx = testing::makeContext();
    EXPECT_EQ(modHtml::buildProjectSummary(project, ctx).body.str().find(kChangesPage),
              std::string::npos);
    ApiDiff diff;
    ctx.changes = &diff;
    ctx.changesSince = "Bank-1.0.api";
    EXPECT_NE(buildChangesPage(project, diff, ctx.changesSince, ctx).body.str().find("unchanged"),
              std::string::npos);
    diff.changes.push_back({ApiVerdict::Breaks, ApiChangeKind::Changed, "a.cls", 3, "CAccount",
                            "Post", "argument 'A<1>' added"});
    const std::string page = buildChangesPage(project, diff, ctx.changesSince, ctx).body.str();
    EXPECT_NE(page.find("<TR class=\"breaks\"><TD><NOBR>&nbsp;Breaks binary compatibility&nbsp;"
                        "</NOBR></TD><TD><NOBR>&nbsp;CAccount.Post&nbsp;</NOBR></TD><TD>&nbsp;"
                        "argument 'A&lt;1&gt;' added</TD></TR>"),
              std::string::npos)
        << page;
    EXPECT_NE(modHtml::buildProjectSummary(project, ctx)
                  .body.str()
                  .find("<A href=\"changes.html\">Changes since Bank-1.0.api</A>"),
              std::string::npos);
    // A member's mark: new, changed (every change told), or none.
    diff.changes.push_back(
        {ApiVerdict::Compatible, ApiChangeKind::Added, "a.cls", 4, "caccount", "Close", "added"});
    diff.changes.push_back({ApiVerdict::Breaks, ApiChangeKind::Changed, "a.cls", 3, "CAccount",
                            "Post", "return type changed"});
    diff.changes.push_back({ApiVerdict::Breaks, ApiChangeKind::Removed, "a.cls", 5, "CAccount",
                            "Title", "Property Let removed"});
    auto account = testing::makeModule("CAccount", moduletype::Class);
    const std::pair<const char*, const char*> marks[] = {
        {"Close", " <SPAN class=\"changeMark\">New</SPAN>"},
        {"Post",
         " <SPAN class=\"changeMark\">Changed: argument 'A&lt;1&gt;' added; return type "
         "changed</SPAN>"},
        {"Title", ""},
        {"Other", ""},
    };
    for (const auto& [name, mark] : marks)
        EXPECT_EQ(changeMark(*account, *testing::makeElement<CSubroutine>(name), ctx).str(), mark)
            << name;
}

}  // namespace
}  // namespace tarnwick
