// Recursive copy of a file or a folder tree into a destination folder; the
// generation run copies the resource folder into every site with it.
#pragma once

#include <string>

#include "support/Errors.h"

namespace tarnwick {

class InputFiles;

// Copies from (a file, or a folder with everything inside it) into toFolder,
// giving toFolder/<name of from>. Files of the same name are overwritten
// (left alone when they hold the same bytes already), missing folders
// created; nothing is ever deleted. A symbolic link already
// inside the destination that leads out of toFolder is not followed: the copy
// stops with an error naming it. Symbolic links inside the source are copied
// as what they point to when that is a file or folder, and skipped when
// dangling or when they lead to a folder being copied or one that holds
// toFolder (which would copy for ever). Copying a folder into itself is
// refused before anything is created. A file is never copied onto one of
// keep (may be null). The first failure ends the copy with a message naming
// the file.
Status copyTree(const std::string& from, const std::string& toFolder,
                const InputFiles* keep = nullptr);

}  // namespace tarnwick
