#include "reader/CrossReferences.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <thread>

#include "reader/ReferenceMemo.h"
#include "reader/xref/Lexer.h"
#include "reader/xref/Resolver.h"
#include "reader/xref/SymbolTables.h"
#include "support/Threads.h"

namespace tarnwick {

using xref::kMaxLineTokens;
using xref::kMaxReferencesPerModule;

namespace {

// What resolving one module gave: its references in line order, or none
// when it ran out of memory, and whether a line had more names than are resolved.
struct ModuleReferences {
    std::vector<Reference> references;
    std::vector<DesignUse> uses;
    bool lineCut = false;
    bool outOfMemory = false;
};

ModuleReferences resolveModule(const xref::ProjectSymbols& symbols, const CModule& module) {
    ModuleReferences result;
    try {
        // Room for about one reference per 64 bytes of code from the start
        // (more than code usually has): the list is not copied as it grows,
        // and room never written costs no memory.
        result.references.reserve(std::min(kMaxReferencesPerModule, module.Source().size() / 64));
        xref::ModuleResolver resolver(symbols, module, result.references, result.uses);
        resolver.run();
        result.lineCut = resolver.lineCut();
    } catch (const std::bad_alloc&) {
        // A giant routine: its module is shown without links, the run goes on.
        result = ModuleReferences{};
        result.outOfMemory = true;
        return result;
    }
    std::stable_sort(result.references.begin(), result.references.end(),
                     [](const Reference& a, const Reference& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    std::stable_sort(result.uses.begin(), result.uses.end(),
                     [](const DesignUse& a, const DesignUse& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    return result;
}

void reportModule(const CModule& module, const ModuleReferences& result,
                  DiagnosticsSink& diagnostics) {
    if (result.outOfMemory) {
        diagnostics.warning(module.Path(), 0,
                            "not enough memory to resolve the names in the code of " +
                                module.Name() + "; its code is shown without links");
        return;
    }
    if (result.references.size() >= kMaxReferencesPerModule)
        diagnostics.warning(module.Path(), 0,
                            "the code of " + module.Name() + " names members more than " +
                                std::to_string(kMaxReferencesPerModule) +
                                " times; only the first are linked");
    if (result.lineCut)
        diagnostics.warning(module.Path(), 0,
                            "a line of the code of " + module.Name() + " holds more than " +
                                std::to_string(kMaxLineTokens) +
                                " names and symbols; the rest of it is shown without links");
}

// Every module's references, each module's recalled from memo (may be null)
// where it can. Modules are resolved independently against the shared,
// read-only symbol tables: each worker takes the next module until none is
// left or cancel is set.
std::vector<ModuleReferences> resolveModules(const xref::ProjectSymbols& symbols,
                                             ReferenceMemo* memo, unsigned threads,
                                             const std::atomic<bool>* cancel) {
    const size_t count = symbols.modules.size();
    std::vector<ModuleReferences> results(count);
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < count && !cancelled(); i = next++) {
            ModuleReferences& result = results[i];
            if (!memo || !memo->recall(i, result.references, result.uses, result.lineCut))
                result = resolveModule(symbols, *symbols.modules[i]);
        }
    };
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, count));
    runOnThreads(threads, work);
    return results;
}

}  // namespace

ReferenceIndex resolveReferences(const CProject& project, DiagnosticsSink* diagnostics,
                                 unsigned threads, const std::atomic<bool>* cancel) {
    return resolveReferences(project, {}, diagnostics, threads, cancel);
}

ReferenceIndex resolveReferences(const CProject& project,
                                 const std::vector<ReferencedProject>& libraries,
                                 DiagnosticsSink* diagnostics, unsigned threads,
                                 const std::atomic<bool>* cancel, ReferenceMemo* memo,
                                 std::vector<Reference>* intoLibraries) {
    if (!libraries.empty()) memo = nullptr;  // another project's declarations are no part of it
    std::vector<std::unique_ptr<xref::ProjectSymbols>> librarySymbols;
    std::vector<xref::Library> visible;
    for (const ReferencedProject& library : libraries) {
        librarySymbols.push_back(std::make_unique<xref::ProjectSymbols>(*library.project));
        visible.push_back({library.name, librarySymbols.back().get()});
    }
    const xref::ProjectSymbols symbols(project, std::move(visible));
    const size_t count = symbols.modules.size();
    if (memo) memo->start(symbols.modules);
    std::vector<ModuleReferences> results = resolveModules(symbols, memo, threads, cancel);
    if (cancel && cancel->load()) return {};

    // In the project's module order whatever the threads did, so the
    // index and the warnings are the same from run to run.
    const auto own = [&](const Reference& r) {
        return !intoLibraries || symbols.owns(*r.toModule);
    };
    size_t total = 0, totalUses = 0;
    for (const ModuleReferences& result : results) {
        total += intoLibraries ? static_cast<size_t>(std::count_if(result.references.begin(),
                                                                   result.references.end(), own))
                               : result.references.size();
        totalUses += result.uses.size();
    }
    std::vector<Reference> out;
    out.reserve(total);
    std::vector<DesignUse> uses;
    uses.reserve(totalUses);
    for (size_t i = 0; i < count; ++i) {
        if (diagnostics) reportModule(*symbols.modules[i], results[i], *diagnostics);
        if (memo && !results[i].outOfMemory)
            memo->keep(i, results[i].references, results[i].uses, results[i].lineCut);
        if (intoLibraries) {
            for (const Reference& r : results[i].references)
                (own(r) ? out : *intoLibraries).push_back(r);
        } else {
            out.insert(out.end(), results[i].references.begin(), results[i].references.end());
        }
        uses.insert(uses.end(), results[i].uses.begin(), results[i].uses.end());
        results[i] = ModuleReferences{};
    }
    return ReferenceIndex(std::move(out), std::move(uses));
}

}  // namespace tarnwick
