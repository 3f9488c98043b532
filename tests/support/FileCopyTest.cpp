#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "support/File.h"
#include "support/FileCopy.h"
#include "support/PathGuard.h"
#include "support/ProgramFolder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::readAll;
using testing::TempFolder;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CopyTreeTest, CopiesAFolderOverwritingButNeverDeleting) {
    TempFolder tmp;
    tmp.write("Ressources/src/css/style.css", "new css");
    tmp.write("Ressources/src/script/tree.js", "js");
    tmp.write("Ressources/index.html", "index");
    tmp.write("site/Ressources/src/css/style.css", "old css");
    tmp.write("site/Ressources/mine.txt", "keep me");
    for (const std::string& from : {tmp / "Ressources", tmp / "Ressources/"}) {
        ASSERT_TRUE(copyTree(from, tmp / "site")) << from;
        std::string got;
        for (const char* f : {"src/css/style.css", "src/script/tree.js", "index.html", "mine.txt"})
            got += readAll(tmp / "site/Ressources/" + f) + "|";
        EXPECT_EQ(got, "new css|js|index|keep me|");
    }
}

// A link in the destination is followed while it stays inside, refused when it leads out.
TEST(CopyTreeTest, DestinationLinks) {
    for (const bool out : {false, true}) {
        TempFolder tmp;
        tmp.write("Ressources/src/style.css", "css");
        const std::string target = tmp.mkdir(out ? "outside" : "site/real");
        tmp.mkdir("site/Ressources");
        fs::create_symlink(out ? target : "../real", tmp / "site/Ressources/src");
        const Status status = copyTree(tmp / "Ressources", tmp / "site");
        EXPECT_EQ(bool(status), !out);
        EXPECT_EQ(fs::exists(target + "/style.css"), !out);
        if (out) {
            EXPECT_TRUE(contains(status.error().message, tmp / "site/Ressources/src"));
        }
    }
}

TEST(CopyTreeTest, SourceLinksAreCopiedAsTheirTargetsWithoutLooping) {
    TempFolder tmp;
    tmp.write("res/a.txt", "a");
    fs::create_symlink("a.txt", tmp / "res/link.txt");
    fs::create_symlink("..", tmp / "res/up");  // would recurse for ever
    fs::create_symlink("nowhere", tmp / "res/dangling");
    ASSERT_TRUE(copyTree(tmp / "res", tmp / "site"));
    EXPECT_EQ(readAll(tmp / "site/res/link.txt"), "a");
    EXPECT_FALSE(fs::is_symlink(tmp / "site/res/link.txt"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp / "site/res/dangling")));
}

TEST(CopyTreeTest, CopiesAFileIntoAFolderAndIntoAnAncestorOfTheSource) {
    TempFolder tmp;
    const std::string source = tmp.write("program/bin/Ressources/src/a.css", "a");
    ASSERT_TRUE(copyTree(source, tmp / "site/new"));  // missing folders are made
    EXPECT_EQ(readAll(tmp / "site/new/a.css"), "a");
    ASSERT_TRUE(copyTree(tmp / "program/bin/Ressources", tmp / "program"));
    EXPECT_EQ(readAll(tmp / "program/Ressources/src/a.css"), "a");
}

TEST(CopyTreeTest, Failures) {
    TempFolder tmp;
    tmp.write("res/a.txt", "a");
    tmp.write("file.txt", "x");
    static const struct {
        std::string from, to, named;
    } kCases[] = {
        {tmp / "missing", tmp / "site", tmp / "missing"},
        {tmp / "res", tmp / "res/inner", tmp / "res"},      // into itself
        {tmp / "res", tmp / "file.txt", tmp / "file.txt"},  // destination is a file
    };
    for (const auto& c : kCases) {
        const Status status = copyTree(c.from, c.to);
        ASSERT_FALSE(status) << c.from << " -> " << c.to;
        EXPECT_TRUE(contains(status.error().message, c.named)) << status.error().message;
    }
    EXPECT_FALSE(fs::exists(tmp / "res/inner/res"));
}

// The one containment check of page writing and resource copying.
TEST(PathGuardTest, TellsWhatStaysInside) {
    TempFolder tmp;
    const std::string out = tmp.mkdir("out");
    tmp.mkdir("out2");
    tmp.mkdir("out/real");
    fs::create_symlink(tmp / "out2", tmp / "out/sibling");
    fs::create_symlink("../../out2/x", tmp / "out/real/up");  // relative, dangling
    fs::create_symlink("sibling", tmp / "out/chain");
    fs::create_symlink("real", tmp / "out/inner");
    fs::create_symlink("loop", tmp / "out/loop");
    static const struct {
        std::string path, folder;
        bool lexically, resolved;
    } kRows[] = {
        {out, out, true, true},
        {out + "/", out, true, true},
        {out + "/new/page.html", out + "/", true, true},
        {out + "/real/../new", out, true, true},
        {out + "/real/../../etc", out, false, false},  // ".." after a name
        {tmp / "out2/x", out, false, false},           // a sibling sharing the prefix
        {"out/x", out, false, false},                  // relative against absolute
        {out + "/sibling/x", out, true, false},
        {out + "/real/up", out, true, false},  // dangling: where a write would land
        {out + "/chain", out, true, false},    // a link to a link that leads out
        {out + "/inner/page.html", out, true, true},
        {out + "/loop", out, true, false},
        {out + "/x", tmp / "missing", false, false},
    };
    for (const auto& row : kRows) {
        EXPECT_EQ(lexicallyInside(row.path, row.folder), row.lexically) << row.path;
        EXPECT_EQ(resolvesInside(row.path, row.folder), row.resolved) << row.path;
    }
}

TEST(ProgramFolderTest, NamesTheFolderOfTheRunningProgram) {
    const std::string folder = programFolder();
    EXPECT_EQ(fs::read_symlink("/proc/self/exe").parent_path().string() + "/", folder);
}

TEST(FindPathIgnoringCaseTest, ResolvesEachComponent) {
    TempFolder tmp;
    tmp.write("forms/frmMain.frm", "");
    tmp.write("Ärger/Datei.bas", "");
    tmp.write("twice/A.txt", "");
    tmp.write("twice/a.txt", "");
    const std::string root = tmp.path();
    static const struct {
        std::string input, expected;
    } kCases[] = {
        {root + "/Forms/FrmMain.FRM", root + "/forms/frmMain.frm"},
        {root + "/forms/frmMain.frm", root + "/forms/frmMain.frm"},
        {root + "/FORMS/", root + "/forms/"},
        {root + "/äRGER/datei.BAS", root + "/Ärger/Datei.bas"},
        {root + "/TWICE/A.TXT", root + "/twice/A.txt"},  // ordinal first of the matches
        {root + "/Forms/./FRMMAIN.frm", root + "/forms/./frmMain.frm"},
        {root + "/Forms/missing.frm", root + "/Forms/missing.frm"},  // unchanged
        {root + "/nowhere/frmMain.frm", root + "/nowhere/frmMain.frm"},
        {"", ""},
    };
    for (const auto& c : kCases) EXPECT_EQ(findPathIgnoringCase(c.input), c.expected) << c.input;
}

}  // namespace
}  // namespace tarnwick
