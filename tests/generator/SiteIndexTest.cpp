// The site's index (what search and the A-Z page list) and the cross-links resolved from it.
#include <gtest/gtest.h>

#include "ModHtmlTestSupport.h"
#include "generator/pages/GroupPages.h"
#include "generator/pages/ModulePages.h"
#include "generator/pages/SearchPages.h"
#include "generator/pages/modHtml.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/NavIndex.h"
#include "generator/site/PageNames.h"
#include "generator/site/SiteIndex.h"
#include "support/Text.h"

namespace tarnwick {
namespace {

using testing::makeContext;
using testing::makeElement;
using testing::makeModule;
using testing::makeVariable;

struct Row {
    const char* input;
    const char* expected;
};

TEST(SiteIndexTest, PlainSummaryIsTheFirstSentenceAsText) {
    const Row rows[] = {
        {"Books an amount. Raises Changed.", "Books an amount."},
        {"Version 1.5 of the <b>format</b>", "Version 1.5 of the format"},
        {"A <fault> element &amp; more", "A <fault> element & more"},
        {"Reads x&colon;&nbsp;y", "Reads x: y"},
        {"Sets e.g. the rate. Then more.", "Sets e.g. the rate."},
        {"First line\r\nsecond line", "First line"},
        {"Keys:<table><tr><td>x</td></tr></table>", "Keys:"},
        {"Runs\ttwice  <i>at</i>\tonce", "Runs twice at once"},
        {"  blanks   inside  ", "blanks inside"},
        {"Preis in \xE2\x82\xAC", "Preis in \xE2\x82\xAC"},
        {"", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(plainSummary(row.input), row.expected) << row.input;
    // Cut on a word, never inside a character.
    EXPECT_EQ(plainSummary("aaaa bbbb cccc", 11) + plainSummary("\xC3\xA4\xC3\xA4\xC3\xA4", 3),
              "aaaa bbbb...\xC3\xA4...");
}

TEST(SiteIndexTest, DescriptionWordsAreLowerCaseOnceAndNotInTheSummary) {
    const Row rows[] = {
        {"Formats a value. Shows it as HEXADECIMAL digits, hexadecimal <b>always</b>.",
         "shows it as hexadecimal digits always"},
        {"Z\xC3\x84HLT a&amp;b x", "z\xC3\xA4hlt"},  // words of one letter are left out
        {"Formats a value.", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(descriptionWords({row.input}, "format formats a value"), row.expected)
            << row.input;
    // Every accessor's text counts, each word once.
    EXPECT_EQ(descriptionWords({"Gets the name.", "Sets the name."}, ""), "gets the name sets");
}

// CAccount implements IAccount (with Post); modLedger has a public Type and a private Enum.
struct Fixture {
    CProject project;
    std::shared_ptr<CModule> account = makeModule("CAccount", moduletype::Class);
    std::shared_ptr<CModule> iaccount = makeModule("IAccount", moduletype::Class);
    std::shared_ptr<CModule> ledger = makeModule("modLedger", moduletype::Module);

    Fixture() {
        account->setDescription("A cash box. Or a bank account.");
        account->Add(makeElement<CImplementation>("IAccount"));
        account->Add(makeElement<CEnum>("AccountKind", scope::Public, "Kind of account."));
        account->Add(makeVariable("m_Balance", "Currency"));
        auto get = makeElement<CProperty>("Title", scope::Public, "Display name.");
        get->setWay(way::Get);
        auto let = makeElement<CProperty>("Title", scope::Public);
        let->setWay(way::Let);
        account->Add(get);
        account->Add(let);
        account->Add(makeElement<CFunction>("IAccount_Post", scope::Private));
        iaccount->Add(makeElement<CFunction>("Post", scope::Public, "Books an amount."));
        account->Add(makeElement<CEvent>("Moved", scope::Public));
        iaccount->Add(makeElement<CEvent>("Moved", scope::Public));
        ledger->Add(makeElement<cType>("SYSTEMTIME"));
        ledger->Add(makeElement<CEnum>("Secret", scope::Private));
        project.Classes().Add(account);
        project.Classes().Add(iaccount);
        project.Modules().Add(ledger);
    }
};

std::string describe(const std::vector<IndexEntry>& entries) {
    std::string text;
    for (const IndexEntry& e : entries)
        text += e.name + " " + e.kind + " " + std::to_string(e.module) + " " + e.path + " [" +
                e.summary + "]\n";
    return text;
}

TEST(SiteIndexTest, EntriesFollowTheKinds) {
    Fixture f;
    GenerationSettings s = makeContext().settings;
    s.Classes = s.Implementations = s.Enum = s.Variables = s.Properties = s.Types = false;
    EXPECT_EQ(describe(siteIndexEntries(f.project, s)),
              "modLedger Module -1 Modules/modLedger.html []\n");
}

TEST(SiteIndexTest, MemberIndexPutsNamesWithoutAnAsciiLetterAfterZ) {
    Fixture f;
    f.ledger->Add(makeElement<CSubroutine>("\303\234bertrag", scope::Public));
    const PageContext ctx = makeContext();
    const std::string page =
        buildMemberIndexPage(siteIndexEntries(f.project, ctx.settings), ctx).body.take();
    EXPECT_LT(page.find(">Title<"), page.find("\303\234bertrag")) << page;
}

// A script file, or the same text inside a page's script element: a name or
// a description may neither close the element nor open or close a comment.
TEST(SiteIndexTest, HostileNamesStayInertInTheScripts) {
    CProject project;
    const std::string name = "M</script><img src=x>";
    auto module = makeModule(name, moduletype::Class);
    module->setDescription("Ends --> a comment, <!-- opens one, ]]> ends CDATA & more.");
    module->Add(makeElement<CFunction>("F</script>", scope::Public, "<!-- x --> ]]> y"));
    project.Classes().Add(module);
    PageContext ctx = makeContext();
    ctx.settings.layout = PageLayout::Modern;
    const std::vector<IndexEntry> entries = siteIndexEntries(project, ctx.settings);
    ASSERT_EQ(entries.size(), 2u);
    std::vector<std::string> scripts{buildSearchIndexScript(entries, ctx).str()};
    for (Page& page : buildNavScripts(entries, ctx)) scripts.push_back(page.text.takeBytes());
    ASSERT_EQ(scripts.size(), 3u);  // the module's members in a script of their own
    const std::string named[] = {name, name, "F</script>"};
    for (size_t i = 0; i < scripts.size(); ++i) {
        EXPECT_EQ(scripts[i].find_first_of("<>&"), std::string::npos) << scripts[i];
        EXPECT_NE(scripts[i].find(jsString(named[i]).str()), std::string::npos) << scripts[i];
    }
    EXPECT_NE(scripts[0].find("\\u0026 more"), std::string::npos) << scripts[0];
    // A group copies the row texts it reads back from a project's script; a
    // row damaged on disk (a bare '&') is decoded and written anew: the
    // same rows either way.
    std::string damaged = scripts[0];
    damaged.replace(damaged.find("\\u0026 more"), 6, "&");
    std::vector<std::string> again;
    for (const std::string& script : {scripts[0], damaged}) {
        std::vector<IndexEntry> read;
        std::vector<std::string_view> texts;
        ASSERT_TRUE(readSearchIndex(script, "P", read, texts));
        again.push_back(buildSearchIndexScript(read, ctx, texts).str());
        EXPECT_EQ(again.back().find_first_of("<>&"), std::string::npos) << again.back();
    }
    EXPECT_EQ(again[0], again[1]);
    EXPECT_NE(again[0].find(",\"P/Classes/M__script__img src=x_-628685aa.html\",\"Ends --"
                            "\\u003e a comment, \\u003c!-- opens one, ]]\\u003e ends CDATA "
                            "\\u0026 more.\"]"),
              std::string::npos)
        << again[0];
}

TEST(SiteIndexTest, ClashingPageNamesNameTheModulesOrTheirFiles) {
    CProject project;
    const char* const rows[][3] = {
        // name, file, the warning its page name gives
        {"Same", "a.bas", ""},
        {"Same", "b.bas", "Same is taken by Same; Same gets Modules/Same_2.html"},
        {"SAME", "c.bas", "SAME is taken by Same; SAME gets Modules/SAME_3.html"},
        {"", "d.bas", ""},
        {"", "sub/e.bas",
         "of the module in e.bas is taken by the module in d.bas; the module in "
         "e.bas gets Modules/_-811c9dc5_2.html"},
    };
    for (const auto& row : rows) {
        auto module = makeModule(row[0], moduletype::Module);
        module->setPath(std::string("/p/") + row[1]);
        project.Modules().Add(module);
    }
    CollectingSink sink;
    const PageNames names(project, &sink);
    ASSERT_EQ(sink.items().size(), 3u);
    for (size_t i = 1, said = 0; i < std::size(rows); ++i) {
        if (*rows[i][2] == '\0') continue;
        EXPECT_NE(sink.items()[said++].message.find(rows[i][2]), std::string::npos) << rows[i][2];
    }
}

TEST(SiteIndexTest, CrossLinksResolveToWrittenPages) {
    Fixture f;
    PageContext ctx = makeContext();
    const std::vector<IndexEntry> entries = siteIndexEntries(f.project, ctx.settings);
    const CrossLinks links(entries);  // points into entries
    struct Row {
        const char* query;
        bool see;  // a @see target, else a data type
        const CModule* from;
        const char* expected;
    } const rows[] = {
        {"AccountKind", false, f.ledger.get(), "Classes/CAccount_AccountKind.html"},
        {"AccountKind()", false, f.ledger.get(), "Classes/CAccount_AccountKind.html"},
        {"modLedger.SYSTEMTIME", false, f.account.get(), "Modules/modLedger_SYSTEMTIME.html"},
        {"Secret", false, f.ledger.get(), "Modules/modLedger_Secret.html"},
        {"Secret", false, f.account.get(), ""},  // private to modLedger
        {"Long", false, f.account.get(), ""},
        {"Title", false, f.account.get(), ""},  // a property is no type
        {"IAccount", true, f.ledger.get(), "Classes/IAccount.html"},
        {"IAccount.Post", true, f.ledger.get(), "Classes/IAccount_Post.html"},
        {"Post.", true, f.ledger.get(), "Classes/IAccount_Post.html"},
        {"Title", true, f.ledger.get(), "Classes/CAccount_Title.html"},
        {"IAccount", true, f.account.get(), "Classes/IAccount.html"},
        {"Nowhere", true, f.account.get(), ""},
        {"Moved", true, f.ledger.get(), ""},  // in two classes: ambiguous
        {"CAccount.Nowhere", true, f.account.get(), ""},
        // "#Member": a member of the describing module only.
        {"#Moved", true, f.account.get(), "Classes/CAccount_Moved.html"},
        {"#Post", true, f.iaccount.get(), "Classes/IAccount_Post.html"},
        {"#Post", true, f.account.get(), ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(
            row.see ? links.seePage(row.query, *row.from) : links.typePage(row.query, *row.from),
            row.expected)
            << row.query << " from " << row.from->Name();
    }
    // Authors' addresses: an accessor after its property, an Enum or Type by its bare name.
    const std::pair<const char*, const char*> authored[] = {
        {"CAccount.Title.Get.html", "Classes/CAccount_Title.html"},
        {"../CAccount.Get.Title.html", "Classes/CAccount_Title.html"},
        {"AccountKind.html", "Classes/CAccount_AccountKind.html"},
        {"Secret.html", ""},  // private to modLedger
    };
    for (const auto& [address, expected] : authored)
        EXPECT_EQ(links.authorPage(address), expected) << address;
    // The addresses made once per run are the ones a link writes, and a
    // member's entry is the page its name leads to.
    for (const IndexEntry& e : entries) {
        EXPECT_EQ(CrossLinks::link(e.path, "x").str(), "<A href=\"" + links.href(e) + "\">x</A>")
            << e.path;
        if (e.element) {
            EXPECT_EQ(links.memberEntry(*e.owner, *e.element)->path, e.path) << e.path;
        } else if (!links.codePage(*e.owner).empty()) {
            EXPECT_EQ(links.codeLineHref(e),
                      url("../" + links.codePage(*e.owner) + "#L", true).str());
        }
    }
    // @see tags on a member page: a name that leads nowhere stays text.
    auto touch = makeElement<CSubroutine>("Touch");
    touch->setSeeAlso({"IAccount.Post", "Nowhere"});
    // Authors' links to their own pages under an older spelling lead to
    // the page; one that names nothing keeps its text only.
    touch->setSections(
        {"Slow as <a href=\"../IAccount.Post.html#x\">Post</a>, <a "
         "href=\"iaccount.htm\">IAccount</a>, <a href=\"Gone.html\">Gone</a>.",
         "x = <b>1</b>", "", ""});
    ctx.links = &links;
    const std::string page =
        modHtml::buildMemberPage(*touch, *f.ledger, f.project, ctx).body.take();
    EXPECT_NE(page.find("<H3>Remarks</H3>\r\n<DIV class=\"remarks\">Slow as <a "
                        "href=\"../Classes/IAccount_Post.html\">Post</a>, <a "
                        "href=\"../Classes/IAccount.html\">IAccount</a>, <a>Gone</a>.</DIV>\r\n"
                        "<H3>Example</H3>\r\n"
                        "<DIV class=\"example\">x = <b>1</b></DIV>\r\n<P class=\"seeAlso\"><B>See "
                        "also:</B> <A href=\"../Classes/IAccount_Post.html\">IAccount.Post</A>, "
                        "Nowhere</P>"),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("Exceptions</H3>"), std::string::npos);
    // A module's own tags on its page, "#Member" a member of it.
    f.account->setSeeAlso({"#Moved"});
    f.account->setSections({"", "", "Overflow when full", ""});
    const std::string modulePage = buildModulePage(*f.account, f.project, ctx).body.take();
    EXPECT_NE(modulePage.find("<H3>Exceptions</H3>\r\n<DIV class=\"exceptions\">Overflow when "
                              "full</DIV>\r\n<P class=\"seeAlso\"><B>See also:</B> <A "
                              "href=\"../Classes/CAccount_Moved.html\">Moved</A></P>"),
              std::string::npos)
        << modulePage;
}

}  // namespace
}  // namespace tarnwick
