// Name resolution in routine bodies: every link of a small project written for
// the binding rules, listed by hand; a link too many or one missing fails.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "reader/CParser.h"
#include "reader/CrossReferences.h"
#include "reader/ReferenceMemo.h"
#include "support/Hash.h"
#include "support/Text.h"

namespace tarnwick {
namespace {

struct ModuleText {
    const char* name;
    int kind;
    const char* code;  // Source line 1 is the first line
};

const ModuleText kModules[] = {
    {"modA", moduletype::Module,
     "Option Explicit\n"                                  // 1
     "Public Const MAX_ITEMS = 10\n"                      // 2
     "Public gAccount As CAccount\n"                      // 3
     "Public Enum AccountKind\n"                          // 4
     "    akSaving\n"                                     // 5
     "    akChecking\n"                                   // 6
     "End Enum\n"                                         // 7
     "Public Function Helper(ByVal n As Long) As Long\n"  // 8
     "    Helper = n + MAX_ITEMS\n"                       // 9
     "End Function\n"                                     // 10
     "Public Sub Run()\n"                                 // 11
     "    Dim x As Long\n"                                // 12
     "    x = Helper(1)\n"                                // 13
     "    Log \"Helper(2)\" ' Helper(3)\n"                // 14
     "    gAccount.Deposit _\n"                           // 15
     "        5\n"                                        // 16
     "#If DEBUG_MODE Then\n"                              // 17
     "    Trace x\n"                                      // 18
     "#End If\n"                                          // 19
     "End Sub\n"},                                        // 20
    {"modB", moduletype::Module,
     "Public Sub Log(ByVal s As String)\n"           // 1
     "End Sub\n"                                     // 2
     "Public Sub Trace(ByVal v As Variant)\n"        // 3
     "End Sub\n"                                     // 4
     "Public Function Helper() As Long\n"            // 5
     "End Function\n"                                // 6
     "Public Sub Refresh()\n"                        // 7
     "End Sub\n"                                     // 8
     "Private Sub Shadow(ByVal k As AccountKind)\n"  // 9
     "    Dim Log As Long\n"                         // 10
     "    Log = 1: modA.Run\n"                       // 11
     "    Call modA.Helper(1): Helper\n"             // 12
     "End Sub\n"},                                   // 13
    {"modC", moduletype::Module,
     "Private m_kind(MAX_ITEMS) As AccountKind\n"  // 1
     "Private Type TPair\n"                        // 2
     "    Kind As AccountKind\n"                   // 3
     "End Type\n"                                  // 4
     "Public Sub Go(v As Variant)\n"               // 5
     "    Helper\n"                                // 6
     "    Log \"x\": Trace s:=MAX_ITEMS\n"         // 7
     "    v.Deposit 1: Refresh\n"                  // 8
     "End Sub\n"},                                 // 9
    {"IAccount", moduletype::Class,
     "Public Sub Balance()\n"  // 1
     "End Sub\n"},             // 2
    {"CAccount", moduletype::Class,
     "Implements IAccount\n"                           // 1
     "Public Event Changed()\n"                        // 2
     "Private m_balance As Currency\n"                 // 3
     "Public Sub Deposit(ByVal amount As Currency)\n"  // 4
     "    m_balance = m_balance + amount\n"            // 5
     "    RaiseEvent Changed\n"                        // 6
     "    Me.Notify\n"                                 // 7
     "End Sub\n"                                       // 8
     "Public Sub Notify()\n"                           // 9
     "End Sub\n"                                       // 10
     "Public Function Clone() As CAccount\n"           // 11
     "End Function\n"                                  // 12
     "Private Sub IAccount_Balance()\n"                // 13
     "End Sub\n"},                                     // 14
    {"frmMain", moduletype::Form,
     "Private WithEvents m_acc As CAccount\n"          // 1
     "Private Sub m_acc_Changed()\n"                   // 2
     "    Dim a As New CAccount, k As AccountKind\n"   // 3
     "    With a\n"                                    // 4
     "        .Deposit 1\n"                            // 5
     "        .Clone.Notify\n"                         // 6
     "    End With\n"                                  // 7
     "    a.Clone().Deposit 2\n"                       // 8
     "    Refresh: k = akSaving\n"                     // 9
     "    k = AccountKind.akChecking: a!Notify = 1\n"  // 10
     "    GoTo Log\n"                                  // 11: a label, not modB.Log
     "Log:\n"                                          // 12
     "    Me.m_acc_Changed: Me.Caption = s$\n"         // 13: private, built in
     "End Sub\n"},                                     // 14
    // Calls into the project "Lib" it references (kLibrary): Public members
    // of its exposed class bind; Friend, Private, its private class's and
    // its standard module's do not. Its global class's Public members are
    // called bare or after the project's name.
    {"modX", moduletype::Module,
     "Public Sub UseLib(ByVal o As Lib.CLib)\n"                    // 1
     "    Dim c As CLib, m As LibMode, p As LibPair\n"             // 2
     "    c.Go: c.Inner: c.Hidden\n"                               // 3
     "    c.Again.Go: o.Go\n"                                      // 4
     "    c.Store.Put: m = lmFast: LibHelper\n"                    // 5
     "    With c\n"                                                // 6
     "        .Go\n"                                               // 7
     "    End With\n"                                              // 8
     "    NewLib.Go: Lib.NewLib().Again.Go: OwnUse: Again: Put\n"  // 9
     "    m = Lib.lmFast: m = Lib.LibMode.lmFast: Lib.Shared\n"    // 10
     "End Sub\n"},                                                 // 11
    // The project's own name qualifies its classes.
    {"modQ", moduletype::Module,
     "Public Sub Own(ByVal q As Proj.CAccount)\n"  // 1
     "    q.Notify\n"                              // 2
     "End Sub\n"},                                 // 3
    {"CImpl", moduletype::Class,
     "Implements Lib.CLib\n"    // 1
     "Private Sub CLib_Go()\n"  // 2
     "End Sub\n"},              // 3
};

const ModuleText kLibrary[] = {
    {"CLib", moduletype::Class,
     "Public Enum LibMode\n    lmFast\nEnd Enum\nPublic Type LibPair\n    A As Long\nEnd Type\n"
     "Public Sub Go()\nEnd Sub\nFriend Sub Inner()\nEnd Sub\nPrivate Sub Hidden()\nEnd Sub\n"
     "Public Function Again() As CLib\nEnd Function\n"
     "Public Function Store() As CStore\nEnd Function\n"},
    {"CStore", moduletype::Class, "Public Sub Put()\nEnd Sub\n"},
    {"modLib", moduletype::Module, "Public Sub LibHelper()\nEnd Sub\n"},
    {"CGlobals", moduletype::Class,
     "Public Function NewLib() As CLib\nEnd Function\nFriend Sub OwnUse()\nEnd Sub\n"
     "Public Sub Shared()\nEnd Sub\n"},
};

// Each resolved name as "Module.Routine line name -> Module.Member".
const std::multiset<std::string> kExpected = {
    "modA.Helper 9 MAX_ITEMS -> modA.MAX_ITEMS",
    "modA.Run 13 Helper -> modA.Helper",
    "modA.Run 14 Log -> modB.Log",
    "modA.Run 15 gAccount -> modA.gAccount",
    "modA.Run 15 Deposit -> CAccount.Deposit",
    "modB.Shadow 9 AccountKind -> modA.AccountKind",
    "modB.Shadow 11 Run -> modA.Run",
    "modB.Shadow 12 Helper -> modA.Helper",
    "modB.Shadow 12 Helper -> modB.Helper",
    "modC.- 1 MAX_ITEMS -> modA.MAX_ITEMS",
    "modC.- 1 AccountKind -> modA.AccountKind",
    "modC.- 3 AccountKind -> modA.AccountKind",
    "modC.Go 7 Log -> modB.Log",
    "modC.Go 7 Trace -> modB.Trace",
    "modC.Go 7 MAX_ITEMS -> modA.MAX_ITEMS",
    "modC.Go 8 Refresh -> modB.Refresh",
    "CAccount.Deposit 5 m_balance -> CAccount.m_balance",
    "CAccount.Deposit 5 m_balance -> CAccount.m_balance",
    "CAccount.Deposit 6 Changed -> CAccount.Changed",
    "CAccount.Deposit 7 Notify -> CAccount.Notify",
    "CAccount.IAccount_Balance 13 IAccount_Balance -> IAccount.Balance",
    "frmMain.m_acc_Changed 2 m_acc_Changed -> CAccount.Changed",
    "frmMain.m_acc_Changed 3 AccountKind -> modA.AccountKind",
    "frmMain.m_acc_Changed 5 Deposit -> CAccount.Deposit",
    "frmMain.m_acc_Changed 6 Clone -> CAccount.Clone",
    "frmMain.m_acc_Changed 6 Notify -> CAccount.Notify",
    "frmMain.m_acc_Changed 8 Clone -> CAccount.Clone",
    "frmMain.m_acc_Changed 8 Deposit -> CAccount.Deposit",
    "frmMain.m_acc_Changed 9 akSaving -> modA.AccountKind",
    "frmMain.m_acc_Changed 10 AccountKind -> modA.AccountKind",
    "frmMain.m_acc_Changed 10 akChecking -> modA.AccountKind",
    "modX.UseLib 2 LibMode -> CLib.LibMode",
    "modX.UseLib 2 LibPair -> CLib.LibPair",
    "modX.UseLib 3 Go -> CLib.Go",
    "modX.UseLib 4 Again -> CLib.Again",
    "modX.UseLib 4 Go -> CLib.Go",
    "modX.UseLib 4 Go -> CLib.Go",
    "modX.UseLib 5 Store -> CLib.Store",
    "modX.UseLib 5 lmFast -> CLib.LibMode",
    "modX.UseLib 7 Go -> CLib.Go",
    "modX.UseLib 9 NewLib -> CGlobals.NewLib",
    "modX.UseLib 9 Go -> CLib.Go",
    "modX.UseLib 9 NewLib -> CGlobals.NewLib",
    "modX.UseLib 9 Again -> CLib.Again",
    "modX.UseLib 9 Go -> CLib.Go",
    "modX.UseLib 10 lmFast -> CLib.LibMode",
    "modX.UseLib 10 LibMode -> CLib.LibMode",
    "modX.UseLib 10 lmFast -> CLib.LibMode",
    "modX.UseLib 10 Shared -> CGlobals.Shared",
    "CImpl.CLib_Go 2 CLib_Go -> CLib.Go",
    "modQ.Own 2 Notify -> CAccount.Notify",
};

TEST(CrossReferences, EveryLinkOfTheRuleSetIsListedByHand) {
    CParser parser;
    CProject project;
    project.Properties().Add("Name", "\"Proj\"");
    for (const ModuleText& m : kModules) {
        auto module =
            parser.readModuleText(std::string("Attribute VB_Name = \"") + m.name + "\"\n" + m.code,
                                  m.kind, std::string(m.name) + ".bas");
        project.listOfKind(m.kind)->Add(module);
    }
    // Read as a group reads a library for its users' calls; the calls into
    // it come apart from the project's own index.
    CParser declarations;
    declarations.setDeclarationsOnly(true);
    CProject library;
    for (const ModuleText& m : kLibrary) {
        const std::string name = m.name;
        const char* exposed = name == "CLib"       ? "Attribute VB_Exposed = True\n"
                              : name == "CGlobals" ? "Attribute VB_Exposed = True\n"
                                                     "Attribute VB_GlobalNameSpace = True\n"
                                                   : "";
        library.listOfKind(m.kind)->Add(declarations.readModuleText(
            std::string("Attribute VB_Name = \"") + m.name + "\"\n" + exposed + m.code, m.kind,
            std::string(m.name) + ".cls"));
    }
    std::vector<Reference> intoLibrary;
    const ReferenceIndex index =
        resolveReferences(project, {{"Lib", &library}}, nullptr, 0, nullptr, nullptr, &intoLibrary);
    std::multiset<std::string> found;
    std::vector<Reference> all = index.all();
    const auto inLibrary = [](const Reference& r) {
        return r.toModule->Name() == "CLib" || r.toModule->Name() == "CGlobals";
    };
    for (const Reference& r : all) EXPECT_FALSE(inLibrary(r));
    for (const Reference& r : intoLibrary) {
        EXPECT_TRUE(inLibrary(r));
        all.push_back(r);
    }
    for (const Reference& r : all) {
        const std::string_view line =
            splitLines(r.fromModule->Source())[static_cast<size_t>(r.line - 1)];
        found.insert(
            r.fromModule->Name() + "." + (r.from ? r.from->Name() : "-") + " " +
            std::to_string(r.line) + " " +
            std::string(line.substr(static_cast<size_t>(r.column), static_cast<size_t>(r.length))) +
            " -> " + r.toModule->Name() + "." + r.to->Name());
    }
    EXPECT_EQ(found.size(), kExpected.size());
    for (const std::string& link : found)
        EXPECT_EQ(found.count(link), kExpected.count(link)) << "wrong link: " << link;
    for (const std::string& link : kExpected)
        EXPECT_EQ(found.count(link), kExpected.count(link)) << "missing link: " << link;

    // Modules resolved on several threads give the one-thread index, in
    // its order; a cancelled read resolves nothing.
    const auto order = [](const ReferenceIndex& refs) {
        std::vector<std::pair<const CModule*, int32_t>> keys;
        for (const Reference& r : refs.all())
            keys.emplace_back(r.fromModule, r.line * 1000 + r.column);
        return keys;
    };
    EXPECT_EQ(order(resolveReferences(project, nullptr, 3)),
              order(resolveReferences(project, nullptr, 1)));
    const std::atomic<bool> cancel{true};
    EXPECT_TRUE(resolveReferences(project, nullptr, 2, &cancel).all().empty());
}

// Controls: inside the form a control hides a public Sub of its name and
// its properties are no project members; other modules reach it through the
// form's name, which names the form; a project user control's members and
// events bind.
TEST(CrossReferences, ControlsOfFormsAndTheMemoOfARun) {
    const ModuleText modules[] = {
        {"modG", moduletype::Module,
         "Public Sub txtName()\nEnd Sub\nPublic Sub Text()\nEnd Sub\n"  // 1-4
         "Public Sub Go()\n"                                            // 5
         "    frmMain.Show: Load frmMain\n"                             // 6
         "    frmMain.txtName.Text = \"\": txtName\n"                   // 7
         "End Sub\n"},
        {"ctlSpin", moduletype::UserControl,
         "Public Event Changed()\nPublic Property Get Value() As Long\nEnd Property\n"},
        {"frmMain", moduletype::Form,
         "Private Sub Form_Load()\n"                           // 1
         "    txtName.Text = Text1(0).Text & Text1(i).Text\n"  // 2
         "    spnCount.Value = 3: txtName\n"                   // 3
         "    Me.txtName.SetFocus\n"                           // 4
         "End Sub\n"                                           // 5
         "Private Sub spnCount_Changed()\n"                    // 6
         "End Sub\n"},
    };
    const std::string design =
        "VERSION 5.00\nBegin VB.Form frmMain\n Begin VB.TextBox txtName\n End\n"
        " Begin VB.TextBox Text1\n  Index = 0\n End\n Begin Proj.ctlSpin spnCount\n End\nEnd\n";
    CParser parser;
    CProject project;
    for (const ModuleText& m : modules) {
        const std::string header = m.kind == moduletype::Form ? design : "";
        project.listOfKind(m.kind)->Add(parser.readModuleText(
            header + "Attribute VB_Name = \"" + m.name + "\"\n" + m.code, m.kind, m.name));
    }
    const ReferenceIndex index = resolveReferences(project);
    const auto at = [](const CModule& m, int32_t line, int32_t column, int32_t length) {
        const std::string_view text = splitLines(m.Source())[static_cast<size_t>(line - 1)];
        return m.Name() + " " + std::to_string(line) + " " +
               std::string(text.substr(static_cast<size_t>(column), static_cast<size_t>(length)));
    };
    std::multiset<std::string> found;
    for (const Reference& r : index.all())
        found.insert(at(*r.fromModule, r.line, r.column, r.length) + " -> " + r.toModule->Name() +
                     "." + r.to->Name());
    for (const DesignUse& u : index.designUses())
        found.insert(at(*u.fromModule, u.line, u.column, u.length) + " -> " + u.toModule->Name() +
                     (u.control ? "!" + u.control->name : ""));
    EXPECT_EQ(found,
              (std::multiset<std::string>{
                  "modG 6 frmMain -> frmMain", "modG 6 frmMain -> frmMain",
                  "modG 7 frmMain -> frmMain", "modG 7 txtName -> frmMain!txtName",
                  "modG 7 txtName -> modG.txtName", "frmMain 2 txtName -> frmMain!txtName",
                  "frmMain 2 Text1 -> frmMain!Text1", "frmMain 2 Text1 -> frmMain!Text1",
                  "frmMain 3 spnCount -> frmMain!spnCount", "frmMain 3 Value -> ctlSpin.Value",
                  "frmMain 3 txtName -> frmMain!txtName", "frmMain 4 txtName -> frmMain!txtName",
                  "frmMain 6 spnCount_Changed -> ctlSpin.Changed"}));
    const CModule& form = *project.Forms().elements().front();
    EXPECT_EQ(index.usesOfControl(form, "TXTNAME").size(), 4u);
    EXPECT_EQ(index.usesOfForm(form).size(), 3u);

    // The memo of a run recalls every module for the next one, as resolved;
    // a memo damaged, of other settings or of another file is not taken
    // (each made whole again, so only the checks stand between it and the
    // links). The first record is moved one byte to the left, which a
    // recall would show.
    const auto listed = [&](const ReferenceIndex& refs) {
        std::vector<std::string> out;
        for (const Reference& r : refs.all())
            out.push_back(at(*r.fromModule, r.line, r.column, r.length) + " " + r.to->Name());
        for (const DesignUse& u : refs.designUses())
            out.push_back(at(*u.fromModule, u.line, u.column, u.length) + " " +
                          (u.control ? u.control->name : "-"));
        return out;
    };
    const auto fileKey = [](uint64_t key) { return [key](const CModule&) { return key; }; };
    ReferenceMemo first(5, fileKey(9));
    const std::vector<std::string> resolved =
        listed(resolveReferences(project, {}, nullptr, 1, nullptr, &first));
    EXPECT_EQ(resolved, listed(index));
    const std::string kept = first.render();
    // Where the first module's counts and records start (header, keys, count).
    const size_t module = std::string_view("tarnwick references 1\n").size() + 8 + 8 + 4;
    const size_t count = module + 8 + 4, record = module + 8 + 4 + 4 + 4;
    const auto put = [](std::string& memo, size_t at, int32_t value) {
        std::memcpy(memo.data() + at, &value, 4);
    };
    const auto get = [](const std::string& memo, size_t at) {
        int32_t value = 0;
        std::memcpy(&value, memo.data() + at, 4);
        return value;
    };
    ASSERT_GT(get(kept, count), 0);
    struct Row {
        const char* what;
        std::function<void(std::string&)> damage;
        uint64_t given = 5, file = 9;
        bool recalled = false;
    };
    const Row rows[] = {
        {"as kept", [](std::string&) {}, 5, 9, true},
        {"other settings", [](std::string&) {}, 6},
        {"another file", [](std::string&) {}, 5, 10},
        {"a module past the last", [&](std::string& m) { put(m, record + 4, 99); }},
        {"a member past the last", [&](std::string& m) { put(m, record + 8, 99999); }},
        {"a line past the end", [&](std::string& m) { put(m, record + 12, 99999); }},
        {"a name past its line", [&](std::string& m) { put(m, record + 16, 99999); }},
        {"more records than bytes", [&](std::string& m) { put(m, count, 1 << 30); }},
    };
    for (const Row& row : rows) {
        std::string memo = kept.substr(0, kept.size() - 8);
        put(memo, record + 16, get(memo, record + 16) - 1);
        row.damage(memo);
        const uint64_t check = hashBytes(memo);
        memo.append(reinterpret_cast<const char*>(&check), 8);
        ReferenceMemo again(row.given, fileKey(row.file));
        again.load(memo);
        const auto links = listed(resolveReferences(project, {}, nullptr, 2, nullptr, &again));
        EXPECT_EQ(links != resolved, row.recalled) << row.what;
        EXPECT_EQ(links.size(), resolved.size()) << row.what;
    }
    // Cut short, the memo is none.
    ReferenceMemo cut(5, fileKey(9));
    cut.load(std::string_view(kept).substr(0, kept.size() - 1));
    EXPECT_EQ(listed(resolveReferences(project, {}, nullptr, 1, nullptr, &cut)), resolved);
}

}  // namespace
}  // namespace tarnwick
