// Where the program lives, and paths written on Windows found on Linux.
#pragma once

#include <string>

namespace tarnwick {

// The folder of the running executable, ending in '/' (from /proc/self/exe);
// the current folder ("./") when that cannot be read.
std::string programFolder();

// path as it exists on disk: when it does not exist as written, each
// component is looked up ignoring letter case (one folder listing per
// component; the first match in ordinal name order wins when several differ
// only in case). Returns the existing path, or path unchanged when some
// component has no match. "Forms/FrmMain.FRM" finds "forms/frmMain.frm".
std::string findPathIgnoringCase(const std::string& path);

}  // namespace tarnwick
