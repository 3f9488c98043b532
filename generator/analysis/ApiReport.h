// ApiReport: a project's public interface as plain text, one line per public
// element in its VB6 spelling, sorted so the text stays the same whatever
// the order of the project file or the module files. Committed beside the
// project (PROJECT.api), it shows a change of the interface in review.
//
//   Project Ledger Type=OleDll
//
//   Class CAccount VB_Exposed=True VB_Creatable=True VB_PredeclaredId=False
//   Implements IAccount
//   Public Function Post(ByVal Amount As Currency) As Boolean
//
// What counts follows VB6's binary interface: in an ActiveX project
// (OleDll, OleExe, Control) the Public members of exposed classes and user
// controls; Friend and Private members and unexposed classes are left out.
// Standard modules' Public members belong to no binary interface: they are
// listed under a "not binary" mark. An Exe project has no binary interface;
// its report lists its classes' and modules' Public members for review.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

class CProject;

// The report, lines ending in "\n"; nothing in it depends on the machine,
// the time, paths or the order of the project file.
std::string apiReport(const CProject& project);

// The difference between the committed report (expected) and the current
// one (actual): "-" lines only in expected, "+" lines only in actual, each
// "\n"-ended, in the order of the reports; empty when they are equal. CR
// before a line end does not count.
std::string apiDifference(std::string_view expected, std::string_view actual);

}  // namespace tarnwick
