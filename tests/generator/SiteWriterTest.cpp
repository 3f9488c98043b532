// SiteWriter: the one door through which pages reach the disk. It must refuse
// every name that would leave the output folder, never follow a symbolic link
// out of it, name the file in every failure, and put the run's timestamp in.
#include <gtest/gtest.h>

#include "generator/PageContext.h"
#include "generator/SiteWriter.h"
#include "tests/generator/RunTestSupport.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;

// A writer into tmp/out that writes every page (no manifest looked at).
struct Writer {
    explicit Writer(const TempFolder& tmp)
        : site((fs::create_directories(tmp.path() / "out"), tmp / "out"), nullptr, "NOW", 0, true) {
    }
    void writePage(std::string_view path, std::string_view text) {
        site.write(Page{std::string(path), std::string(text)}, CodePage());
    }
    SiteWriter site;
};

TEST(PageContext, DeclaresTheCodePageByTheNameBrowsersKnow) {
    const struct {
        const char* codePage;
        const char* charset;
    } rows[] = {{"windows-1252", "windows-1252"},
                {"CP1251", "windows-1251"},
                {"WINDOWS-1253", "windows-1253"},
                {"utf8", "UTF-8"},
                {"UTF-8", "UTF-8"},
                {"cp936", "GBK"},
                {"gbk", "GBK"},
                {"latin1", "ISO-8859-1"},
                {"KOI8-R", "KOI8-R"}};
    for (const auto& row : rows)
        EXPECT_EQ(htmlCharsetName(row.codePage), row.charset) << row.codePage;
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
        EXPECT_EQ(testing::listTree(tmp.path()), std::set<std::string>{"out/"}) << name;
    }
    TempFolder tmp;
    Writer ctx(tmp);
    EXPECT_THROW(ctx.writePage(std::string_view("a\0b.html", 8), "text"), PageWriteError);
}

TEST(SiteWriter, CreatesFoldersAndWritesInTheCodePage) {
    TempFolder tmp;
    Writer ctx(tmp);
    ctx.writePage("Classes/CFoo.html", "caf\xC3\xA9 \xD0\x96");  // "café Ж"
    // windows-1252 holds é (0xE9) but not Ж, which becomes a character reference.
    EXPECT_EQ(readFile(tmp.path() / "out/Classes/CFoo.html"), "caf\xE9 &#1046;");
    ctx.writePage("Classes/CFoo.html", "second");  // replaces
    EXPECT_EQ(readFile(tmp.path() / "out/Classes/CFoo.html"), "second");
    ctx.writePage("top.html", std::string("x ") + std::string(kTimestampMark) + ".");
    EXPECT_EQ(readFile(tmp.path() / "out/top.html"), "x NOW.");
    // Nothing but the pages and their folder is left behind.
    EXPECT_EQ(testing::listTree(tmp.path() / "out"),
              (std::set<std::string>{"Classes/", "Classes/CFoo.html", "top.html"}));
}

TEST(SiteWriter, FailureNamesTheFile) {
    TempFolder tmp;
    Writer ctx(tmp);
    fs::create_directories(tmp.path() / "out/Classes/CFoo.html");
    try {
        ctx.writePage("Classes/CFoo.html", "x");
        FAIL() << "a folder in the page's place was overwritten";
    } catch (const PageWriteError& e) {
        EXPECT_EQ(e.file(), tmp / "out" + "/Classes/CFoo.html");
        EXPECT_NE(std::string(e.what()).find("Classes/CFoo.html"), std::string::npos);
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

    EXPECT_THROW(ctx.writePage("Classes/CFoo.html", "x"), PageWriteError);
    EXPECT_THROW(ctx.writePage("page.html", "x"), PageWriteError);
    EXPECT_THROW(ctx.writePage("dangling.html", "x"), PageWriteError);
    // Nor through a link left where a page is written before it replaces
    // the page of an earlier run.
    testing::writeFile(tmp.path() / "out/old.html", "earlier run");
    fs::create_symlink("../outside/victim.html", tmp.path() / "out/old.html.tarnwick-part");
    EXPECT_THROW(ctx.writePage("old.html", "x"), PageWriteError);
    EXPECT_EQ(readFile(tmp.path() / "out/old.html"), "earlier run");
    EXPECT_EQ(testing::listTree(tmp.path() / "outside"), std::set<std::string>{"victim.html"});
    EXPECT_EQ(readFile(tmp.path() / "outside/victim.html"), "keep");
}

TEST(SiteWriter, FollowsLinksThatStayInside) {
    TempFolder tmp;
    Writer ctx(tmp);
    fs::create_directories(tmp.path() / "out/Classes");
    fs::create_directory_symlink("Classes", tmp.path() / "out/classes");
    ctx.writePage("classes/CFoo.html", "via link");
    EXPECT_EQ(readFile(tmp.path() / "out/Classes/CFoo.html"), "via link");
}

}  // namespace
}  // namespace tarnwick
