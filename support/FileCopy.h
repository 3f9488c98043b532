// Recursive copy of a file or a folder tree into a destination folder; the
// generation run copies the resource folder into every site with it.
#pragma once

#include <string>

#include "support/Errors.h"
#include "support/FileSystem.h"

namespace tarnwick {

class InputFiles;

// Copies from (a file, or a folder with everything inside it) into toFolder,
// giving toFolder/<name of from>. Files of the same name are replaced
// through a temporary file and a rename (writeAtomically: never written
// into, so a hard link planted there keeps its bytes, and never left cut
// off), and left alone when they hold the same bytes already; missing
// folders are created; nothing is ever deleted. except (a path relative to
// toFolder; empty: none) is not copied: its place is someone else's. A symbolic link already
// inside the destination that leads out of toFolder is not followed: the copy
// stops with an error naming it. Symbolic links inside the source are copied
// as what they point to when that is a file or folder, and skipped when
// dangling or when they lead to a folder being copied or one that holds
// toFolder (which would copy for ever). Copying a folder into itself is
// refused before anything is created. A file is never copied onto one of
// keep (may be null). The first failure ends the copy with a message naming
// the file. The copies are written through disk.
Status copyTree(const std::string& from, const std::string& toFolder,
                const InputFiles* keep = nullptr, const std::string& except = std::string(),
                FileSystem& disk = posixFileSystem());

}  // namespace tarnwick
