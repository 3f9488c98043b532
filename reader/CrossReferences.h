// resolveReferences: finds where a project's code names its own members.
//
// The routine bodies of every source module are read as the compiler sees
// them (conditional compilation applied: inactive branches and directives
// are skipped), as tokens: strings and comments are skipped, continued lines
// joined, and each name keeps its line and column in the module's Source.
// A name is resolved the way VB6 binds it, and only when that is certain:
//   1. a local (Dim, Static, Const, ReDim ... As, an argument, the routine's
//      own name inside a Function or Property) hides everything else;
//   2. then the members of the module itself (and Enum values declared there);
//   3. then module names, and the public members of standard modules and
//      public Enums and their values of any module, when exactly one has the
//      name (two make the call ambiguous: VB6 refuses it, we link nothing);
//   4. "Module.Member", "Enum.Value", "Me.Member"; "obj.Member" when obj is
//      typed as a class of the project (a local, an argument, a module or
//      public variable, or a Function or Property Get returning that class),
//      and ".Member" inside "With obj";
//   5. a routine "IFoo_Bar" of a class that implements IFoo names IFoo's Bar;
//      a routine "var_Event" of a WithEvents variable names the event.
// In forms, user controls and property pages, the names of the built-in
// members those objects have (Caption, Width, Show, ...) are not taken for
// another module's public member. Whatever cannot be bound with certainty
// (library calls, late-bound objects, collections) stays unresolved.
#pragma once

#include "model/CProject.h"
#include "model/ReferenceIndex.h"
#include "support/Diagnostics.h"

namespace tarnwick {

// Every reference of project's source modules; project must stay alive and
// unchanged while the result is used (it points into the project). A module
// whose code does not fit in memory gets none, and a warning naming it goes
// to diagnostics (may be null).
ReferenceIndex resolveReferences(const CProject& project, DiagnosticsSink* diagnostics = nullptr);

}  // namespace tarnwick
