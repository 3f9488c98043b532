// ApiDiff: what changed between two versions of a project's public
// interface, and what each change means for binary compatibility.
//
// Both sides are ApiInterface values: made from a project (apiInterface in
// ApiReport.h) or read back from a committed report (readApiReport), so a
// release's PROJECT.api kept in the repository is enough to compare with.
// Elements are matched by module and member name (a property by name and
// accessor); a renamed element shows as removed and added. Each change gets
// a verdict following VB6's binary compatibility:
//   breaks      a removed class, member, accessor, Enum value or Type field;
//               a member's kind, an argument's count, type, passing,
//               Optional or ParamArray; a return or property type; a
//               VB_UserMemId; a class's instancing or Implements list
//   behaviour   compatible, but clients compiled against the old value keep
//               it: an Enum value or a default or constant value changed
//   compatible  a new class, member, event or Enum value; an argument renamed
//   notBinary   the same kinds of change where there is no binary interface
//               (a standard module, a project that is no ActiveX component)
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generator/analysis/ApiReport.h"
#include "support/Errors.h"

namespace tarnwick {

enum class ApiVerdict { Breaks, Behaviour, Compatible, NotBinary };
enum class ApiChangeKind { Added, Removed, Changed };

struct ApiChange {
    ApiVerdict verdict = ApiVerdict::Breaks;
    ApiChangeKind kind = ApiChangeKind::Changed;
    std::string file;     // where the element is in the new version (the old one for a removal)
    int line = 0;         // 1-based; 0 when unknown
    std::string module;   // the module's name
    std::string member;   // the member's name; empty for a change of the module itself
    std::string message;  // "argument 'Value' changed from ByRef Variant to ByVal String"
};

struct ApiDiff {
    // What differs between the projects themselves (name, type): told, and
    // the interfaces compared anyway.
    std::vector<std::string> notes;
    std::vector<ApiChange> changes;  // module by module in report order
};

// The report text read back. file names the report in errors and becomes
// every element's file. Fails on a line that is no part of a report
// ("Ledger.api:12: not a line of an API report: ..."), naming its line.
Expected<ApiInterface> readApiReport(std::string_view text, const std::string& file);

// The changes from before to after. descriptions: also a member whose
// description changed (compatible), where both sides are projects (a report
// holds no descriptions). Fails when either side declares a module or
// member twice, naming where.
Expected<ApiDiff> apiDiff(const ApiInterface& before, const ApiInterface& after,
                          bool descriptions = false);

// "breaks", "behaviour", "compatible", "not binary".
const char* verdictWord(ApiVerdict verdict);
// "breaks binary compatibility", ...: the verdict as a reader takes it.
const char* verdictText(ApiVerdict verdict);
// "added", "removed", "changed".
const char* changeWord(ApiChangeKind kind);

}  // namespace tarnwick
