#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "support/AtomicFile.h"
#include "support/File.h"

namespace tarnwick {
namespace {

using testing::TempFolder;

bool holdsText(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

template <typename T>
std::string errorOf(const Expected<T>& result) {
    return result ? "(no error)" : result.error().message;
}

TEST(FileTest, PathParts) {
    static const struct {
        const char* path;
        const char* name;
        const char* folder;
        const char* extension;
    } kCases[] = {
        {"/a/b.txt", "b.txt", "/a/", "txt"},
        {"/a/dir/", "dir", "/a/", "/a/dir/"},
        {"/a/Blue/", "Blue", "/a/", "/a/Blue/"},
        {"/a/readme", "readme", "/a/", "/a/readme"},
        {"/rel1.2/readme", "readme", "/rel1.2/", "2/readme"},
        {"b.txt", "b.txt", "", "txt"},
        {"plain", "plain", "", "plain"},
        {"/", "/", "", "/"},
        {"", "", "", ""},
    };
    for (const auto& c : kCases) {
        const File file(c.path);
        EXPECT_EQ(file.Name(), c.name) << c.path;
        EXPECT_EQ(file.GetFolder(), c.folder) << c.path;
        EXPECT_EQ(file.Extension(), c.extension) << c.path;
    }
}

TEST(FileTest, Queries) {
    TempFolder tmp;
    const std::string plain = tmp.write("plain.txt", "12345");
    const std::string hidden = tmp.write(".hidden", "x");
    const std::string readOnly = tmp.write("readonly.txt", "x");
    ::chmod(readOnly.c_str(), 0444);
    const std::string folder = tmp.mkdir("folder");
    const std::string missing = tmp / "missing.txt";

    static const struct {
        std::string path;
        bool isFile, isDirectory, exists, hidden, canWrite;
    } kCases[] = {
        {plain, true, false, true, false, true},
        {hidden, true, false, true, true, true},
        {readOnly, true, false, true, false, false},
        {plain + "/", false, false, false, false, false},
        {folder, false, true, true, false, false},
        {folder + "/", false, true, true, false, false},
        {missing, false, false, false, false, false},
        {"", false, false, false, false, false},
        {"   ", false, false, false, false, false},
        {"/", false, true, true, false, false},
    };
    for (const auto& c : kCases) {
        const File file(c.path);
        EXPECT_EQ(file.IsFile(), c.isFile) << c.path;
        EXPECT_EQ(file.CanRead(), c.isFile) << c.path;
        EXPECT_EQ(file.IsDirectory(), c.isDirectory) << c.path;
        EXPECT_EQ(file.Exists(), c.exists) << c.path;
        EXPECT_EQ(file.IsHidden(), c.hidden) << c.path;
        EXPECT_EQ(file.CanWrite(), c.canWrite) << c.path;
        EXPECT_EQ(file.IsDrive(), c.path == "/") << c.path;
    }
    EXPECT_EQ(std::to_string(File(plain).Length()) + std::to_string(File(missing).Length()) +
                  std::to_string(File(folder).Length()) +
                  std::to_string(File(missing).LastModified()) +
                  std::to_string(File(tmp.path()).HasSubFolders()) +
                  std::to_string(File(folder).HasSubFolders()),
              "500010");
    EXPECT_GT(File(plain).LastModified(), 0);
}

TEST(FileTest, ListFoldersInOrdinalOrder) {
    TempFolder tmp;
    for (const char* name : {"b", "B", "a"}) tmp.mkdir(name);
    tmp.write("c.txt", "");
    for (const std::string& base : {tmp.path().string() + "/", tmp.path().string()}) {
        std::vector<std::string> paths;
        for (const File& f : File(base).ListFolders()) paths.push_back(f.Path());
        EXPECT_EQ(paths, (std::vector<std::string>{tmp / "B/", tmp / "a/", tmp / "b/"})) << base;
    }
    EXPECT_TRUE(File(tmp / "missing/").ListFolders().empty());
    EXPECT_TRUE(File(tmp / "c.txt").ListFolders().empty());
    EXPECT_TRUE(File::ListRoots().size() == 1 && File::ListRoots()[0].Path() == "/");
}

TEST(FileTest, MkDirCreatesFoldersUpToTheLastSlash) {
    TempFolder tmp;
    // The second is all there already, the last has nothing to create.
    for (const char* path : {"out/Classes/page.html", "out/Classes/", "x//y/"})
        EXPECT_TRUE(File(tmp / path).MkDir()) << path;
    EXPECT_TRUE(File("page.html").MkDir());
    EXPECT_TRUE(File(tmp / "out/Classes").IsDirectory() && File(tmp / "x/y").IsDirectory());
    EXPECT_FALSE(File(tmp / "out/Classes/page.html").Exists());
    // Through a file: an error naming it, the file kept.
    const std::string file = tmp.write("c.txt", "keep");
    const Status status = File(tmp / "c.txt/sub/page.html").MkDir();
    ASSERT_FALSE(status);
    EXPECT_TRUE(holdsText(status.error().message, file)) << status.error().message;
    EXPECT_EQ(testing::readAll(file), "keep");
}

TEST(FileTest, WriteAndReadThroughTheCodePage) {
    TempFolder tmp;
    const File file(tmp / "page.html");
    ASSERT_TRUE(file.WriteStream("ä ß € Ω"));
    EXPECT_EQ(testing::readAll(file.Path()), "\xE4 \xDF \x80 ?");
    ASSERT_TRUE(file.WriteStream("Ω", CodePage(), CodePage::Fallback::HtmlReference));
    EXPECT_EQ(testing::readAll(file.Path()), "&#937;");  // truncated, not appended

    tmp.write("in.bas", "a\xE4\x81");
    size_t invalid = 0;
    Expected<std::string> text = File(tmp / "in.bas").ReadStream(CodePage(), &invalid);
    EXPECT_EQ(text.value() + std::to_string(invalid), "aä\357\277\2751");
    EXPECT_EQ(File(tmp / "in.bas").ReadBytes().value(), "a\xE4\x81");
    EXPECT_TRUE(File(tmp / "raw").WriteBytes(std::string("\0\xFF", 2)));
}

// A page written piece by piece, small pieces and ones larger than the
// writer gathers, is on disk as the pieces were given; a new file and a
// replaced one alike.
TEST(FileTest, WritesAFileGivenInPieces) {
    TempFolder tmp;
    const std::vector<std::string> pieces = {
        "<HTML>", "", std::string(200000, 'x'), "now", std::string(70000, 'y'), "</HTML>"};
    std::string whole;
    for (const std::string& piece : pieces) whole += piece;
    const ByteSource source = [&](const std::function<bool(std::string_view)>& put) {
        for (const std::string& piece : pieces)
            if (!put(piece)) return;
    };
    for (const Replace replace : {Replace::Refused, Replace::Allowed}) {
        FileStamp written;
        ASSERT_TRUE(writeAtomically(tmp / "page.html", source, replace, &written));
        EXPECT_EQ(testing::readAll(tmp / "page.html"), whole);
        EXPECT_EQ(written.size, static_cast<int64_t>(whole.size()));
    }
}

TEST(FileTest, FailuresNameThePathAndTheReason) {
    TempFolder tmp;
    tmp.mkdir("folder");
    const std::string locked = tmp.mkdir("locked");
    ::chmod(locked.c_str(), 0555);
    static const struct {
        bool write;
        std::string path;
        std::string reason;
    } kCases[] = {
        {false, tmp / "missing.bas", std::strerror(ENOENT)},
        {false, tmp / "folder", "is a folder"},
        {true, tmp / "missing/page.html", std::strerror(ENOENT)},
        {true, tmp / "folder", "is a folder"},
        {true, "/dev/full", std::strerror(ENOSPC)},  // the disk is full
        {true, locked + "/page.html", ""},           // permissions do not bind the superuser
    };
    for (const auto& c : kCases) {
        if (c.reason.empty() && ::geteuid() == 0) continue;
        const std::string message = c.write ? errorOf(File(c.path).WriteStream("<html>"))
                                            : errorOf(File(c.path).ReadStream());
        EXPECT_TRUE(holdsText(message, c.path) && holdsText(message, c.reason)) << message;
    }
}

TEST(FileTest, DeleteRemovesFilesAndEmptyFoldersOnly) {
    TempFolder tmp;
    tmp.write("full/inner.txt", "x");
    tmp.mkdir("empty");
    EXPECT_TRUE(File(tmp / "full/inner.txt").Delete() && File(tmp / "empty").Delete());
    EXPECT_FALSE(File(tmp / "full/inner.txt").Exists() || File(tmp / "missing").Delete());
    tmp.write("full/again.txt", "x");
    EXPECT_FALSE(File(tmp / "full").Delete() || !File(tmp / "full/again.txt").IsFile());
}

}  // namespace
}  // namespace tarnwick
