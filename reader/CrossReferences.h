// resolveReferences: finds where a project's code names its own members.
//
// The routine bodies of every source module are read as the compiler sees
// them (conditional compilation applied: inactive branches and directives
// are skipped), as tokens: strings and comments are skipped, continued lines
// joined, and each name keeps its line and column in the module's Source.
// A name is resolved the way VB6 binds it, and only when that is certain;
// the rules are listed in reader/xref/Resolver.h. The work is done by four
// units in reader/xref/: the lexer (Lexer.h), the word tables (Words.h), the
// symbol tables (SymbolTables.h, RoutineScope.h) and the resolver.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "model/CProject.h"
#include "model/ReferenceIndex.h"
#include "support/Diagnostics.h"

namespace tarnwick {

class ReferenceMemo;

// Every reference of project's source modules; project must stay alive and
// unchanged while the result is used (it points into the project). A module
// whose code does not fit in memory gets none, and a warning naming it goes
// to diagnostics (may be null), in the project's module order.
//
// Modules are resolved on up to threads threads (0: one per processor);
// the result is the same for any number. The calling thread reports to
// diagnostics once the workers are done. When cancel (may be null) is set,
// no further module is begun and the result is empty.
ReferenceIndex resolveReferences(const CProject& project, DiagnosticsSink* diagnostics = nullptr,
                                 unsigned threads = 0, const std::atomic<bool>* cancel = nullptr);

// A project of the group that project references by project reference.
struct ReferencedProject {
    std::string name;  // its Name, which code may put before its classes
    const CProject* project = nullptr;
};

// As above, where the projects project references (in reference order,
// each alive while the result is used) make their public classes, user
// controls, Enums and Types visible: the result also holds the references
// into their modules (toModule a module of a library), as VB6 binds them
// (reader/xref/SymbolTables.h).
//
// With a memo (and no libraries), a module whose references the memo
// recalls is not resolved again, and every module's references are kept in
// the memo for the next run (ReferenceMemo.h).
//
// With intoLibraries, the references into the libraries' modules go there,
// in the same order, instead of into the result: a group takes them apart,
// and the project's index is made once, without them.
ReferenceIndex resolveReferences(const CProject& project,
                                 const std::vector<ReferencedProject>& libraries,
                                 DiagnosticsSink* diagnostics = nullptr, unsigned threads = 0,
                                 const std::atomic<bool>* cancel = nullptr,
                                 ReferenceMemo* memo = nullptr,
                                 std::vector<Reference>* intoLibraries = nullptr);

}  // namespace tarnwick
