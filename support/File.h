// File: one path of the file system and the questions asked about it.
//
// Paths are texts with '/' as the separator. A trailing '/' marks a folder
// where it matters (MkDir creates the folders up to the last '/'; GetFolder
// drops one trailing '/'). Queries never fail: a missing path answers false,
// 0 or an empty text. Reading and writing convert between the code page on
// disk and UTF-8 in memory and report failures as a result naming the path.
//
// Every file the program reads comes in through ReadBytes: it opens without
// waiting (a FIFO with no writer would block for ever), reads only a regular
// file (a device such as /dev/zero never ends) and refuses one larger than
// the limit, each time with a message naming the file and saying what it is.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "support/CodePage.h"
#include "support/Errors.h"
#include "support/FileSystem.h"

namespace tarnwick {

// How much one input file may hold: a module may be large generated code,
// every other input (project, registry, translation, settings) is small.
// A module's pages take several times its size in memory, so a module is
// held to 64 MB, about the most VB6 itself loads (65,534 lines of at most
// 1,023 characters).
inline constexpr int64_t kModuleReadLimit = int64_t{64} << 20;
inline constexpr int64_t kReadLimit = int64_t{64} << 20;

// folder with a '/' at its end ("out" -> "out/"); an empty text stays empty.
std::string withTrailingSlash(std::string folder);

class File {
public:
    File() = default;
    explicit File(std::string path) : m_path(std::move(path)) {}
    // disk (must outlive the File) is where reads and writes go.
    File(std::string path, FileSystem& disk) : m_path(std::move(path)), m_disk(&disk) {}

    const std::string& Path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }

    bool IsFile() const;       // a regular file (symbolic links followed)
    bool IsDirectory() const;  // a folder (symbolic links followed)
    bool IsDrive() const;      // "/" is the one root here
    bool Exists() const;       // IsFile || IsDrive || IsDirectory
    // Anything at all at the path (a FIFO, device or socket too); a
    // dangling symbolic link counts as nothing.
    bool IsPresent() const;
    // Text after the last '/' (after dropping one trailing '/'); "/" for the root.
    std::string Name() const;
    // Text up to and including the last '/', after dropping one trailing '/';
    // empty when there is none. "/a/b.vbp" -> "/a/", "/a/dir/" -> "/a/".
    std::string GetFolder() const;
    // Text after the last '.' of the whole path; the whole path when it has no '.'.
    std::string Extension() const;

    bool CanRead() const;
    bool CanWrite() const;             // IsFile and writable
    bool IsHidden() const;             // Exists and the name starts with '.'
    int64_t Length() const;            // bytes; 0 when not a file
    std::time_t LastModified() const;  // 0 when missing
    bool HasSubFolders() const;

    // The whole file, decoded from the code page. invalidCount (when given)
    // receives the number of bytes that did not decode.
    Expected<std::string> ReadStream(const CodePage& codePage = CodePage(),
                                     size_t* invalidCount = nullptr,
                                     int64_t limit = kReadLimit) const;
    // The raw bytes, undecoded. Fails with "is a FIFO", "is a device", "is a
    // folder", "is a socket" for what is not a regular file, and with "is
    // larger than N MB" for a file above limit bytes.
    Expected<std::string> ReadBytes(int64_t limit = kReadLimit) const;
    // Creates or truncates the file and writes the text encoded in the code
    // page; reports any failure (including a short write) naming the path.
    Status WriteStream(std::string_view text, const CodePage& codePage = CodePage(),
                       CodePage::Fallback fallback = CodePage::Fallback::Question) const;
    // Writes bytes as they are.
    Status WriteBytes(std::string_view bytes) const;
    // Creates every missing folder of Path up to its last '/'.
    Status MkDir() const;
    // Deletes a file, or an empty folder. Only tests and the user's own
    // commands use it: a generation run deletes nothing.
    Status Delete() const;

    // Sub-folders of Path (a folder): ordinal order of their names, "." and
    // ".." left out; each File's path ends with '/'.
    std::vector<File> ListFolders() const;
    // The roots of the file system: just "/".
    static std::vector<File> ListRoots();

private:
    std::string m_path;
    FileSystem* m_disk = &posixFileSystem();
};

}  // namespace tarnwick
