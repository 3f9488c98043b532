// Synthetic big Visual Basic 6 project for the benchmarks.
//
// makeBigProject writes a project file "BigProject.vbp" and its module files
// (classes, standard modules and forms in the sub-folders Classes, Modules and
// Forms) into a folder, the way the development environment writes them: CR LF
// line ends, windows-1252 text with a few umlauts in comments, comment blocks
// with "@" tags, constants, enums, types, a continued Declare, variables,
// events, functions with optional arguments, subs with continued headers and
// Property Get/Let pairs. The output depends only on the arguments, so two
// runs give the same files.
//
// Every module file has exactly `linesPerModule` lines when that is at least
// about 120; with the defaults (1,000 modules of 300 lines) the project has
// 300,000 module lines and 20 documented members per module, that is 20,000
// member pages with the default generation settings.

#pragma once

#include <string>

namespace tarnwick {

struct BigProjectStats {
    int modules = 0;      // module files written
    long long lines = 0;  // lines of all module files (the project file not counted)
    int members = 0;      // distinct member names, i.e. member pages of a default run
};

// Writes the project into `folder` (created when missing; existing files of
// the same names are replaced, nothing else is touched). Throws
// std::runtime_error naming the file when a folder or file cannot be written.
// designedForms adds that many forms (frmDesign0001, ...) with a full
// designer block: 40 controls each in three levels of containers (frames
// holding picture boxes holding labels with fonts, a text box array,
// buttons, check boxes), a menu tree with shortcuts and a separator, and a
// few handlers that name the controls.
BigProjectStats makeBigProject(const std::string& folder, int modules = 1000,
                               int linesPerModule = 300, int designedForms = 0);

// The text of one such form with controls controls; *lines (may be null)
// gets its line count.
std::string makeDesignedForm(const std::string& name, int controls = 40, int* lines = nullptr);

}  // namespace tarnwick
