// Stamp, case-spelling links, timestamps, charsets, and the SiteWriter's containment and errors.
#include <gtest/gtest.h>

#include "generator/run/GenerationRun.h"
#include "generator/run/SiteLayout.h"
#include "generator/run/SiteWriter.h"
#include "generator/site/PageContext.h"
#include "generator/site/Timestamp.h"
#include "tests/generator/RunTestSupport.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::listTree;
using testing::readFile;
using testing::TempFolder;

TEST(SiteLayoutLinks, MadeOnlyWhereTheTargetExistsAndTheNameIsFree) {
    TempFolder tmp;
    const fs::path out = tmp.path();
    fs::create_directories(out / "Classes/../Forms");
    testing::writeFile(out / "all-Classes.html", "c");
    testing::writeFile(out / "all-Forms.html", "f");
    testing::writeFile(out / "forms", "a file of the user's");  // name taken
    EXPECT_EQ(SiteLayout::linkCaseSpellings(out.string(), nullptr), 3);
    EXPECT_EQ(listTree(out),
              (std::set<std::string>{"Classes/", "Forms/", "all-Classes.html", "all-Forms.html",
                                     "all-classes.html -> all-Classes.html", "classes -> Classes",
                                     "all-forms.html -> all-Forms.html", "forms"}));
    // A second pass finds every name taken and changes nothing.
    EXPECT_EQ(SiteLayout::linkCaseSpellings(out.string(), nullptr), 0);
}

TEST(SiteLayoutStamp, MarksTheFolderAsAnEarlierSite) {
    TempFolder tmp;
    // The other states: RunOutputFolder.
    ASSERT_TRUE(SiteLayout::writeStamp(tmp.path().string()));
    EXPECT_EQ(GenerationRun::inspectOutputFolder(tmp.path().string()),
              OutputFolderState::EarlierSite);
    fs::create_symlink(tmp / "gone", tmp.path() / "dangling");
    EXPECT_EQ(GenerationRun::inspectOutputFolder(tmp / "dangling"), OutputFolderState::NotAFolder);
}

TEST(Timestamp, FixedTimeIsReadStrictlyAndWrittenInUtc) {
    const struct {
        const char* value;
        bool present;
        std::time_t seconds;
        bool invalid;
    } cases[] = {
        {"", false, 0, false},     {"0", true, 0, false},  {"86400", true, 86400, false},
        {"12abc", false, 0, true}, {"-5", false, 0, true}, {"1e9", false, 0, true},
    };
    for (const auto& c : cases) {
        bool invalid = false;
        const auto seconds = fixedTime(c.value, &invalid);
        EXPECT_TRUE(seconds.has_value() == c.present && seconds.value_or(0) == c.seconds &&
                    invalid == c.invalid)
            << c.value;
    }
    // Whatever the locale, a form no reader takes for another day.
    EXPECT_EQ(formatTimestamp(1000000000, true, "English"), "2001-09-09 01:46");
    EXPECT_EQ(makeNowFunction("86399")(), "1970-01-01 23:59");
    EXPECT_EQ(makeNowFunction("1700000000", "Deutsch")(), "14.11.2023 22:13:20");
    EXPECT_FALSE(makeNowFunction("")().empty());
}

// A writer into tmp/out that writes every page (no manifest looked at).
struct Writer {
    explicit Writer(const TempFolder& tmp)
        : site((fs::create_directories(tmp.path() / "out"), tmp / "out"), nullptr, "NOW", 0, true) {
    }
    void writePage(std::string_view path, std::string_view text) {
        site.write(Page{std::string(path), Html::trusted(std::string(text))}, CodePage());
    }
    SiteWriter site;
};

TEST(PageContext, DeclaresTheCodePageByTheNameBrowsersKnow) {
    for (const std::string row : {"windows-1252>windows-1252", "CP1251>windows-1251",
                                  "WINDOWS-1253>windows-1253", "utf8>UTF-8", "UTF-8>UTF-8",
                                  "cp936>GBK", "gbk>GBK", "latin1>ISO-8859-1", "KOI8-R>KOI8-R"})
        EXPECT_EQ(htmlCharsetName(row.substr(0, row.find('>'))), row.substr(row.find('>') + 1));
}

TEST(SiteWriter, RefusesNamesThatLeaveTheLayout) {
    const char* const refused[] = {
        "../x.html", "/etc/x.html", "",   "a//b.html",  "./x.html",         "a/../../x.html",
        "a/",        "a\\..\\x",    "..", "Classes/..", "Classes/./x.html",
    };
    for (const char* name : refused) {
        TempFolder tmp;
        Writer ctx(tmp);
        EXPECT_THROW(ctx.writePage(name, "text"), PageWriteError) << '"' << name << '"';
        EXPECT_EQ(listTree(tmp.path()), std::set<std::string>{"out/"}) << name;
    }
    TempFolder tmp;
    Writer ctx(tmp);
    EXPECT_THROW(ctx.writePage(std::string_view("a\0b.html", 8), "text"), PageWriteError);
}

TEST(SiteWriter, WritesInTheCodePageNeverThroughLinksAndNamesTheFileOnFailure) {
    TempFolder tmp;
    Writer ctx(tmp);
    fs::create_directories(tmp.path() / "out/Classes");
    fs::create_directory_symlink("Classes", tmp.path() / "out/classes");
    // Never through a link, even to a folder of the site: "Classes -> Modules" would let a
    // class's page replace a module's.
    EXPECT_THROW(ctx.writePage("classes/CFoo.html", "x"), PageWriteError);
    ctx.writePage("Classes/CFoo.html", "caf\xC3\xA9 \xD0\x96");  // "café Ж"
    // windows-1252 holds é (0xE9) but not Ж, which becomes a character reference.
    EXPECT_EQ(readFile(tmp.path() / "out/Classes/CFoo.html"), "caf\xE9 &#1046;");
    ctx.writePage("Classes/CFoo.html", "second");  // replaces
    EXPECT_EQ(readFile(tmp.path() / "out/Classes/CFoo.html"), "second");
    ctx.writePage("top.html", "x " + ctx.site.timestampMark() + ".");
    EXPECT_EQ(readFile(tmp.path() / "out/top.html"), "x NOW.");
    // A name cannot hold the mark: it is new for each run, and no fixed text stands for it.
    ctx.writePage("named.html", "\x1bTARNWICK-NOW\x1b \x1bTARNWICK-NOW-\x1b");
    EXPECT_EQ(readFile(tmp.path() / "out/named.html"),
              "\x1bTARNWICK-NOW\x1b \x1bTARNWICK-NOW-\x1b");
    EXPECT_NE(ctx.site.timestampMark(), Writer(tmp).site.timestampMark());
    EXPECT_EQ(listTree(tmp.path() / "out"),
              (std::set<std::string>{"Classes/", "Classes/CFoo.html", "classes -> Classes",
                                     "named.html", "top.html"}));

    fs::create_directories(tmp.path() / "out/Classes/CBar.html");
    try {
        ctx.writePage("Classes/CBar.html", "x");
        FAIL() << "a folder in the page's place was overwritten";
    } catch (const PageWriteError& e) {
        EXPECT_EQ(e.file(), tmp / "out" + "/Classes/CBar.html");
        EXPECT_NE(std::string(e.what()).find("Classes/CBar.html"), std::string::npos);
    }
    testing::writeFile(tmp.path() / "out/Forms", "a file where a folder belongs");
    EXPECT_THROW(ctx.writePage("Forms/frmMain.html", "x"), PageWriteError);
}

TEST(SiteWriter, NeverFollowsALinkOutOfTheSite) {
    TempFolder tmp;
    Writer ctx(tmp);
    fs::create_directories(tmp.path() / "outside");
    testing::writeFile(tmp.path() / "outside/victim.html", "keep");
    fs::create_directory_symlink(tmp.path() / "outside", tmp.path() / "out/Classes");
    fs::create_symlink("../outside/victim.html", tmp.path() / "out/page.html");
    fs::create_symlink("../outside/new.html", tmp.path() / "out/dangling.html");

    for (const char* page : {"Classes/CFoo.html", "page.html", "dangling.html"})
        EXPECT_THROW(ctx.writePage(page, "x"), PageWriteError) << page;
    // Nor through a link planted where an old writer kept its temporary file.
    testing::writeFile(tmp.path() / "out/old.html", "earlier run");
    fs::create_symlink("../outside/victim.html", tmp.path() / "out/old.html.tarnwick-part");
    ctx.writePage("old.html", "x");
    EXPECT_EQ(readFile(tmp.path() / "out/old.html") + readFile(tmp.path() / "outside/victim.html"),
              "xkeep");
    EXPECT_EQ(listTree(tmp.path() / "outside"), std::set<std::string>{"victim.html"});
}

}  // namespace
}  // namespace tarnwick
