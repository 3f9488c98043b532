// AtomicFile: files written whole or not at all, and what stat says of them.
//
// writeAtomically puts bytes at a path through a temporary file beside it
// and a rename (a new file: through an unnamed file that gets its name when
// it is whole, where the file system has them), so the path shows its old
// bytes or all of the new ones, never a part: a run killed mid-write, or a full disk, leaves the
// old file. The file at the path is replaced, never opened for writing, so a hard link planted
// there leaves the file it shares bytes with (perhaps outside the folder) as it was. Each temporary
// name is unique to one call (process id and a sequence number), so two writers of one path never
// share one; every temporary name ends in kPartSuffix, and removeLeftoverParts clears those a
// killed process left in a folder.
//
// FileStamp is what stat tells about a file without reading it: a file whose
// stamp is the one recorded is taken to hold the bytes it held then.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "support/Errors.h"
#include "support/FileSystem.h"

namespace tarnwick {

inline constexpr std::string_view kPartSuffix = ".tarnwick-part";

struct FileStamp {
    int64_t size = -1;  // -1: nothing readable at the path (missing, not a regular file)
    int64_t mtime = 0;  // modification time, nanoseconds since 1970
    uint64_t inode = 0;
    bool present() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file at path, symbolic links followed.
FileStamp stampOf(const std::string& path, FileSystem& disk = posixFileSystem());
// The same, without following a symbolic link at the end (a link: not present).
FileStamp ownStampOf(const std::string& path, FileSystem& disk = posixFileSystem());
// The same for path relative to the folder open as folder.
FileStamp ownStampAt(int folder, const char* path, FileSystem& disk = posixFileSystem());

enum class Replace { Allowed, Refused };

// Writes bytes to path as described above. Replace::Refused fails with
// "exists" (and *exists set) when something is at path already, instead of
// replacing it. written (may be null) receives the new file's stamp. The
// message of a failure names path. Every call reaches the disk through disk.
Status writeAtomically(const std::string& path, std::string_view bytes,
                       Replace replace = Replace::Allowed, FileStamp* written = nullptr,
                       bool* exists = nullptr, FileSystem& disk = posixFileSystem());

// The bytes of a file made piece by piece: calls put with each piece in
// order, and stops early when put answers false (the write failed). A page
// of hundreds of megabytes is written so, never held whole in its encoding.
using ByteSource = std::function<void(const std::function<bool(std::string_view)>& put)>;

// writeAtomically with the bytes source gives. It may be called more than
// once per write; each call must give the same bytes.
Status writeAtomically(const std::string& path, const ByteSource& source,
                       Replace replace = Replace::Allowed, FileStamp* written = nullptr,
                       bool* exists = nullptr, FileSystem& disk = posixFileSystem());

// True for a temporary name writeAtomically makes: "<name>.<pid>-<sequence>" and kPartSuffix.
// A user's "notes.tarnwick-part" is not one.
bool isPartName(std::string_view name);

// Removes the files named as isPartName says in folder, and with below in every folder under it
// too (links to folders not followed); returns how many. Only a folder the run writes into is
// given, so nothing of the user's elsewhere is looked at.
int removeLeftoverParts(const std::string& folder, bool below = false);

}  // namespace tarnwick
