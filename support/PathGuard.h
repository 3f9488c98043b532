// PathGuard: the one answer to "does this path stay inside that folder",
// asked by everything that writes into a folder it was given (the site's
// pages, the copied resources) and by what places a path below another.
//
// lexicallyInside compares the texts only, after resolving "." and ".." in
// both: "/out/a/../../etc" is not inside "/out", and neither is "/out2", a
// folder whose name merely starts with the other's. resolvesInside asks the
// file system: it follows every symbolic link on the way, also a dangling one
// at the end (a write there would create the link's target), so a link that
// leads out of the folder, directly or through a chain of links, is outside;
// so is a path that cannot be resolved. The folder itself counts as inside.
// Paths compare as spelled after resolving: on a file system that ignores
// letter case, "/OUT/x" is still not inside "/out", which errs on the side of
// refusing.
#pragma once

#include <filesystem>

namespace tarnwick {

// True when path names folder or something below it, judged by the texts.
// A relative path is never inside an absolute folder, nor the other way round.
bool lexicallyInside(const std::filesystem::path& path, const std::filesystem::path& folder);

// True when writing to path would land in folder or below it, following
// symbolic links (folder's own links too). False when folder does not exist.
bool resolvesInside(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace tarnwick
