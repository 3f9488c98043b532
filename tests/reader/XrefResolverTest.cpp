// The symbol tables and the resolver of the cross-references: each binding
// rule, and each shape of real code that once went unlinked, as a small
// project whose every link is listed; a link too many or one missing fails.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "reader/CParser.h"
#include "reader/CrossReferences.h"
#include "reader/xref/SymbolTables.h"
#include "support/Text.h"

namespace tarnwick {
namespace {

struct ModuleText {
    const char* name;
    int kind;
    const char* code;  // Source line 1 is the first line that is no Attribute
};
constexpr int M = moduletype::Module, C = moduletype::Class, F = moduletype::Form;

// A project named Ledger.
CProject projectOf(const std::vector<ModuleText>& modules) {
    CParser parser;
    CProject project;
    project.Properties().Add("Name", std::string("Ledger"));
    for (const ModuleText& m : modules)
        project.listOfKind(m.kind)->Add(parser.readModuleText(
            std::string("Attribute VB_Name = \"") + m.name + "\"\n" + m.code, m.kind, m.name));
    return project;
}

// "Module.Routine line name -> Module.Member", "(Type)" after a Type.
std::multiset<std::string> linksOf(const CProject& project) {
    std::multiset<std::string> found;
    const ReferenceIndex index = resolveReferences(project);
    for (const Reference& r : index.all()) {
        const std::string_view line =
            splitLines(r.fromModule->Source())[static_cast<size_t>(r.line - 1)];
        found.insert(
            r.fromModule->Name() + "." + (r.from ? r.from->Name() : "-") + " " +
            std::to_string(r.line) + " " +
            std::string(line.substr(static_cast<size_t>(r.column), static_cast<size_t>(r.length))) +
            " -> " + r.toModule->Name() + "." + r.to->Name() +
            (r.to->Kind() == ElementKind::Type ? " (Type)" : ""));
    }
    return found;
}

struct Row {
    const char* rule;
    std::vector<ModuleText> modules;
    std::multiset<std::string> links;
};

const Row kRows[] = {
    {"a local hides a public member",
     {{"modA", M, "Public Sub Log()\nEnd Sub\nPublic Sub Trace()\nEnd Sub\n"},
      {"modB", M, "Sub Go()\n    Dim Log As Long\n    Log = 1: Trace\nEnd Sub\n"}},
     {"modB.Go 3 Trace -> modA.Trace"}},
    {"the module's own member comes before another module's",
     {{"modA", M, "Public Sub Run()\nEnd Sub\n"},
      {"modB", M, "Private Sub Run()\nEnd Sub\nSub Go()\n    Run\nEnd Sub\n"}},
     {"modB.Go 4 Run -> modB.Run"}},
    {"a public name of two modules is ambiguous; Module.Member is not",
     {{"modA", M, "Public Sub Run()\nEnd Sub\n"},
      {"modB", M, "Public Sub Run()\nEnd Sub\n"},
      {"modC", M, "Sub Go()\n    Run: modA.Run\nEnd Sub\n"}},
     {"modC.Go 2 Run -> modA.Run"}},
    {"Enum values, bare and as Enum.Value",
     {{"modA", M,
       "Public Enum Kind\n    kOne\nEnd Enum\nSub Go()\n    x = kOne + Kind.kOne\nEnd Sub\n"}},
     {"modA.Go 5 kOne -> modA.Kind", "modA.Go 5 Kind -> modA.Kind", "modA.Go 5 kOne -> modA.Kind"}},
    {"obj.Member of a typed local, Me.Member, .Member inside With",
     {{"CFoo", C,
       "Public Sub Init()\nEnd Sub\nSub Go()\n    Dim f As CFoo\n    f.Init: Me.Init\n"
       "    With f\n        .Init\n    End With\nEnd Sub\n"}},
     {"CFoo.Go 5 Init -> CFoo.Init", "CFoo.Go 5 Init -> CFoo.Init", "CFoo.Go 7 Init -> CFoo.Init"}},
    {"Implements and WithEvents routines name what they handle",
     {{"IFoo", C, "Public Sub Bar()\nEnd Sub\n"},
      {"CFoo", C, "Implements IFoo\nPublic Event Changed()\nPrivate Sub IFoo_Bar()\nEnd Sub\n"},
      {"frmA", F, "Private WithEvents m_foo As CFoo\nPrivate Sub m_foo_Changed()\nEnd Sub\n"}},
     {"CFoo.IFoo_Bar 3 IFoo_Bar -> IFoo.Bar",
      "frmA.m_foo_Changed 2 m_foo_Changed -> CFoo.Changed"}},
    {"a type after As; Print and a form's Caption are no calls",
     {{"modA", M,
       "Public Type TPoint\n    X As Long\nEnd Type\nPublic Sub Caption()\nEnd Sub\n"
       "Public Sub Print()\nEnd Sub\n"},
      {"frmA", F,
       "Sub Go()\n    Dim p As TPoint\n    Caption = 1: Print 2\n    modA.Print\nEnd Sub\n"}},
     {"frmA.Go 2 TPoint -> modA.TPoint (Type)", "frmA.Go 4 Print -> modA.Print"}},
    {"a Type's field spelled like a keyword opens no routine",
     {{"modA", M,
       "Private Type TRect\n    sUB As Long\n    Function As Long\nEnd Type\n"
       "Private m_r As TRect\nPrivate Sub First()\n    Helper\nEnd Sub\n"
       "Private Sub Helper()\nEnd Sub\n"}},
     {"modA.- 5 TRect -> modA.TRect (Type)", "modA.First 7 Helper -> modA.Helper"}},
    {"a public variable named like a class is the static class",
     {{"CFoo", C, "Public Sub Own()\nEnd Sub\n"},
      {"CFooStatic", C, "Public Function Parse(ByVal s As String) As CFoo\nEnd Function\n"},
      {"modStatics", M, "Public CFoo As New CFooStatic\n"},
      {"modB", M, "Sub Go()\n    CFoo.Parse(\"x\").Own\nEnd Sub\n"}},
     {"modB.Go 2 CFoo -> modStatics.CFoo", "modB.Go 2 Parse -> CFooStatic.Parse",
      "modB.Go 2 Own -> CFoo.Own"}},
    {"a class with a default instance and a variable of its name: not certain",
     {{"CFoo", C, "Attribute VB_PredeclaredId = True\nPublic Sub Parse()\nEnd Sub\n"},
      {"modStatics", M, "Public CFoo As CFoo\n"},
      {"modB", M, "Sub Go()\n    CFoo.Parse\nEnd Sub\n"}},
     {}},
    {"a routine named like a library statement is called; Close is the statement",
     {{"CList", C,
       "Private Sub Reset()\nEnd Sub\nPrivate Sub Load()\nEnd Sub\nPublic Sub Close()\nEnd Sub\n"
       "Sub Go()\n    Reset\n    If 1 Then Load Else Close\nEnd Sub\n"}},
     {"CList.Go 8 Reset -> CList.Reset", "CList.Go 9 Load -> CList.Load"}},
    {"a Type's field declared as a class carries the object",
     {{"CQueue", C, "Public Sub Push()\nEnd Sub\n"},
      {"modA", M,
       "Private Type THolder\n    Queue As CQueue\n    Queues() As CQueue\nEnd Type\n"
       "Private m_h As THolder\nSub Go()\n    m_h.Queue.Push: m_h.Queues(1).Push\n"
       "    Dim h As THolder: h.Queue.Push\nEnd Sub\n"}},
     {"modA.- 5 THolder -> modA.THolder (Type)", "modA.Go 7 m_h -> modA.m_h",
      "modA.Go 7 Push -> CQueue.Push", "modA.Go 7 m_h -> modA.m_h", "modA.Go 7 Push -> CQueue.Push",
      "modA.Go 8 THolder -> modA.THolder (Type)", "modA.Go 8 Push -> CQueue.Push"}},
    {"the return value as an object; a call of itself with arguments",
     {{"CFoo", C, "Public Sub Init()\nEnd Sub\n"},
      {"modA", M,
       "Function Make() As CFoo\n    Set Make = New CFoo: Make.Init\nEnd Function\n"
       "Function Fact(ByVal n As Long) As Long\n    Fact = n * Fact(n - 1)\nEnd Function\n"}},
     {"modA.Make 2 Init -> CFoo.Init", "modA.Fact 5 Fact -> modA.Fact"}},
    {"RaiseEvent after Then; an object after Is",
     {{"CFoo", C,
       "Public Event Changed()\nPrivate m_obj As Object\nSub Go(a As Object)\n"
       "    If a Is m_obj Then RaiseEvent Changed\nEnd Sub\n"}},
     {"CFoo.Go 4 m_obj -> CFoo.m_obj", "CFoo.Go 4 Changed -> CFoo.Changed"}},
    {"the project's own name qualifies its modules and public members, not a private one",
     {{"modA", M, "Public Sub Post()\nEnd Sub\nPrivate Sub Hidden()\nEnd Sub\n"},
      {"CFoo", C, "Public Sub Init()\nEnd Sub\n"},
      {"modB", M,
       "Sub Go()\n    Ledger.modA.Post: Ledger.Post: Ledger.Hidden\n"
       "    Dim f As Ledger.CFoo: f.Init\nEnd Sub\n"}},
     {"modB.Go 2 Post -> modA.Post", "modB.Go 2 Post -> modA.Post", "modB.Go 3 Init -> CFoo.Init"}},
    {"a Type and a member of one name: each use to its own",
     {{"CList", C,
       "Private Type item\n    Value As Variant\nEnd Type\nPrivate m_items() As item\n"
       "Public Property Get item(ByVal i As Long) As Variant\n    item = m_items(i).Value\n"
       "End Property\nPublic Function Count() As Long\n    Dim x As item\n    Count = item(1)\n"
       "End Function\n"}},
     {"CList.- 4 item -> CList.item (Type)", "CList.item 6 m_items -> CList.m_items",
      "CList.Count 9 item -> CList.item (Type)", "CList.Count 10 item -> CList.item"}},
};

TEST(XrefResolver, EveryLinkOfEachRuleIsListed) {
    for (const Row& row : kRows) {
        const std::multiset<std::string> found = linksOf(projectOf(row.modules));
        for (const std::string& link : found)
            EXPECT_EQ(found.count(link), row.links.count(link)) << row.rule << ": wrong " << link;
        for (const std::string& link : row.links)
            EXPECT_EQ(found.count(link), row.links.count(link)) << row.rule << ": missing " << link;
    }
}

// A routine too long to keep for its second reading is read again from its
// header: its links and those of the routine after it are the same.
TEST(XrefResolver, RoutineReadAgainPastTheKeptTokens) {
    constexpr int32_t kCalls = 70'000;  // four tokens a line: past the kept 262,144
    std::string code = "Sub Go()\n    Dim Ping2 As Long\n";
    for (int32_t i = 0; i < kCalls; ++i) code += "    Ping2 = 1: Ping\n";
    code += "End Sub\nSub Ping()\nEnd Sub\nSub After()\n    Ping\nEnd Sub\nSub Ping2()\nEnd Sub\n";
    const CProject project = projectOf({{"modA", M, code.c_str()}});
    const ReferenceIndex index = resolveReferences(project, nullptr, 1);
    ASSERT_EQ(index.all().size(), static_cast<size_t>(kCalls) + 1);  // the local hides Ping2
    EXPECT_EQ(index.all()[1].line, 4);
    EXPECT_EQ(index.all().back().line, kCalls + 7);
    EXPECT_EQ(index.all().back().from->Name(), "After");
}

TEST(XrefSymbolTables, PublicNamesAndTypes) {
    const CProject project = projectOf(
        {{"modA", M, "Public Type TFoo\n    x As Long\nEnd Type\nPublic Sub Run()\nEnd Sub\n"},
         {"modB", M, "Public Sub Run()\nEnd Sub\nPublic Function TFoo() As Long\nEnd Function\n"},
         {"CFoo", C, ""}});
    const xref::ProjectSymbols symbols(project);
    const CModule& modA = *project.Modules().at(1);
    using Kind = xref::Container::Kind;
    EXPECT_EQ(symbols.global("run").element, nullptr);  // two modules: ambiguous
    ASSERT_TRUE(symbols.global("TFoo").element && symbols.globalType("tfoo").element);
    EXPECT_EQ(symbols.global("TFoo").element->Kind(), ElementKind::Function);
    EXPECT_EQ(symbols.globalType("tfoo").element->Kind(), ElementKind::Type);
    EXPECT_EQ(symbols.typeOf(modA, "CFoo").kind, Kind::Instance);
    EXPECT_EQ(symbols.typeOf(modA, "TFoo").kind, Kind::Record);
    EXPECT_EQ(symbols.typeOf(modA, "Lib.CFoo").kind, Kind::None);
    EXPECT_EQ(symbols.classNamed("modA"), nullptr);
}

}  // namespace
}  // namespace tarnwick
