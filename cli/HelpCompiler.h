// HelpCompiler: turns the Qt help project a run wrote into the compiled
// help file (NAME.qch beside NAME.qhp) with Qt's qhelpgenerator, when it
// is installed; without it the project is left for the user to compile.
#pragma once

#include <string>

namespace tarnwick::cli {

// The qhelpgenerator found on PATH or where Debian's Qt 6 puts it; empty
// when there is none.
std::string findQhelpgenerator();

// Compiles qhpPath; true when it was compiled or no compiler is installed
// (a note says so unless quiet), false with a message on stderr when the
// compiler failed. A failed compile leaves the last .qch in place.
bool compileQtHelp(const std::string& qhpPath, bool quiet);

}  // namespace tarnwick::cli
