// SiteLayout: the parts of a generated site that are not pages.
//
// The stamp file marks a folder as a Tarnwick site, so a later run may write
// into it again without --force. The pages are written as all-Classes.html
// and Classes/X.html, and every page links them with exactly that spelling,
// so a site works zipped, copied to Windows or served by a host that does
// not follow links. The lower-case alias links (all-classes.html,
// classes/X.html) only keep older bookmarks working. Every link is relative and
// lies inside the site; a link is made only when its target exists and its
// name is free, so nothing of the user's is ever replaced.
#pragma once

#include <string>
#include <vector>

#include "support/Diagnostics.h"
#include "support/Errors.h"
#include "support/FileSystem.h"

namespace tarnwick {

namespace SiteLayout {

// Name of the stamp file in the site's root.
inline constexpr const char* kStampFile = ".tarnwick-site";

// The plural module kind words in the order of the run; they name the
// kind folders and the kind index pages (all-{Kinds}.html).
const std::vector<std::string>& kindWords();

// True when folder (ending in '/' or not) holds a stamp file.
bool hasStamp(const std::string& folder);
// Writes the stamp file (fixed content, so reproducible sites stay identical).
Status writeStamp(const std::string& folder, FileSystem& disk = posixFileSystem());

// Creates the lower-case links all-classes.html -> all-Classes.html and
// classes -> Classes (and so for every kind) where the target exists and the
// link name is free. A link that cannot be made is told to diagnostics
// (may be null); returns the number of links made.
int linkCaseSpellings(const std::string& folder, DiagnosticsSink* diagnostics);

}  // namespace SiteLayout

}  // namespace tarnwick
