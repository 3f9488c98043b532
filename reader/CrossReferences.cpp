#include "reader/CrossReferences.h"

#include <algorithm>
#include <new>
#include <string>

#include "reader/xref/Lexer.h"
#include "reader/xref/Resolver.h"
#include "reader/xref/SymbolTables.h"

namespace tarnwick {

using xref::kMaxLineTokens;
using xref::kMaxReferencesPerModule;

ReferenceIndex resolveReferences(const CProject& project, DiagnosticsSink* diagnostics) {
    const xref::ProjectSymbols symbols(project);
    std::vector<Reference> out;
    for (const CModule* module : symbols.modules) {
        const size_t first = out.size();
        bool lineCut = false;
        try {
            xref::ModuleResolver resolver(symbols, *module, out);
            resolver.run();
            lineCut = resolver.lineCut();
        } catch (const std::bad_alloc&) {
            // A giant routine: its module is shown without links, the run goes on.
            out.resize(first);
            out.shrink_to_fit();
            if (diagnostics)
                diagnostics->warning(module->Path(), 0,
                                     "not enough memory to resolve the names in the code of " +
                                         module->Name() + "; its code is shown without links");
            continue;
        }
        if (out.size() - first >= kMaxReferencesPerModule && diagnostics)
            diagnostics->warning(module->Path(), 0,
                                 "the code of " + module->Name() + " names members more than " +
                                     std::to_string(kMaxReferencesPerModule) +
                                     " times; only the first are linked");
        if (lineCut && diagnostics)
            diagnostics->warning(module->Path(), 0,
                                 "a line of the code of " + module->Name() + " holds more than " +
                                     std::to_string(kMaxLineTokens) +
                                     " names and symbols; the rest of it is shown without links");
        std::stable_sort(out.begin() + static_cast<ptrdiff_t>(first), out.end(),
                         [](const Reference& a, const Reference& b) {
                             return a.line != b.line ? a.line < b.line : a.column < b.column;
                         });
    }
    return ReferenceIndex(std::move(out));
}

}  // namespace tarnwick
