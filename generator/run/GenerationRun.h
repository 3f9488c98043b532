// GenerationRun: one complete documentation run, without any window.
//
// Parses the project afresh, writes every page of the site into the output
// folder (project summary, module summary, then per kind Classes, Modules,
// Forms, PropertyPages, UserControls, UserDocuments, Designers: the kind's
// index page and each module's overview with its member pages, UML (when
// switched on), object model and code pages), then copies the resource folder and puts the chosen
// style's sheet in place of its screen sheet. The modules' pages are built and written on `jobs`
// worker threads; the site is the same byte for byte whatever their number, and what the observer
// hears comes in module order. A page whose bytes are those the last run wrote (the site's manifest
// says so) is not written again, a module whose inputs show the stamps the last run recorded is not
// even built, and a run that finds every input as the last run left it reads no input at all and
// tells the report that run gave (see InputKey and RunReport). It reports progress, console lines
// and asks for cancellation through a GenerationObserver, so the CLI and the workbench drive their
// displays with the same code. A run holds the output folder's OutputLock from before its first
// write to its end, and never writes onto a file it reads.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "generator/run/GenerationObserver.h"
#include "generator/settings/GenerationRequest.h"
#include "reader/CrossReferences.h"
#include "reader/ReferenceMemo.h"
#include "support/Diagnostics.h"
#include "support/Errors.h"
#include "support/FileSystem.h"

namespace tarnwick {

class CodePage;
class InputKey;
class ReportRecorder;
class CProject;
class ReferenceMemo;
class RegistrySource;
class SiteTables;
class Translation;
struct PageContext;

// The project as a run reads it: the request's code page (opened by the
// caller), defines and cross-references; observer (may be null) gives the
// cancel flag and hears the reader's steps; in a group, libraries are the
// referenced projects its code is resolved with, the references into them
// going to libraryCalls when it is given (CParser::setLibraries);
// declarationsOnly reads what other projects bind to, no more
// (CParser::setDeclarationsOnly); memo (may be null) gives and keeps the
// references of modules whose code is as the last run read it
// (CParser::setReferenceMemo).
Expected<std::shared_ptr<CProject>> readProject(
    const GenerationRequest& request, const CodePage& codePage,
    std::shared_ptr<const RegistrySource> registry, DiagnosticsSink& diagnostics,
    GenerationObserver* observer, std::vector<ReferencedProject> libraries = {},
    bool declarationsOnly = false, ReferenceMemo* memo = nullptr,
    std::vector<Reference>* libraryCalls = nullptr);

struct GenerationResult {
    bool cancelled = false;
    int modulesWritten = 0;
    int modulesKept = 0;  // of those, the ones whose pages were not built again
    int modulesFailed = 0;
    std::vector<std::string> failures;  // "module X: file: reason"
    int pagesWritten = 0;               // pages written by this run
    int pagesUnchanged = 0;             // pages left as the last run wrote them
    std::string indexPath;              // the site's start page
    std::string qtHelpProject;          // the .qhp written, when one was asked for
};

// What an output folder holds before a run.
enum class OutputFolderState { Missing, Empty, EarlierSite, Foreign, NotAFolder };

class GenerationRun {
public:
    // observer and diagnostics are not owned and must outlive run(); either may be null.
    GenerationRun(GenerationRequest request, GenerationObserver* observer,
                  DiagnosticsSink* diagnostics);

    // The whole run. Fails (with a message naming the file) when the project
    // cannot be read or the output folder cannot be used; page failures are
    // counted in the result instead. The project read is let go with this
    // object, so a caller can hand the result on (a cancel told at once)
    // before a large model's memory is given back.
    Expected<GenerationResult> run();

    static OutputFolderState inspectOutputFolder(const std::string& folder);

    // Beside the manifest: the references the run resolved (ReferenceMemo.h).
    static constexpr const char* kReferenceMemoFile = ".tarnwick-references";

private:
    struct State;
    Status prepare(State& state);
    Status takeOutputFolder(State& state);
    Status build(State& state, ReportRecorder& recorder, InputKey& inputs);
    void writeModules(State& state, ReportRecorder& recorder, InputKey& inputs,
                      const CProject& project, const PageContext& ctx, SiteTables& tables);
    std::optional<ReferenceMemo> referenceMemo(State& state, InputKey& inputs) const;
    void keepReferenceMemo(State& state, const ReferenceMemo& memo,
                           DiagnosticsSink& diagnostics) const;
    Status makeFolderReady(State& state);
    void writeResources(State& state);
    void copyResources(State& state);
    std::string resourceFolder() const;
    void writeOfflineHelp(State& state);
    const Translation& loadTranslation(State& state, ReportRecorder& recorder) const;
    void recordInputs(State& state, const CProject& project, const RegistrySource& registry) const;
    void finish(State& state);
    FileSystem& disk() const {
        return m_request.fileSystem ? *m_request.fileSystem : posixFileSystem();
    }

    GenerationRequest m_request;
    GenerationObserver* m_observer;
    DiagnosticsSink* m_diagnostics;
    std::shared_ptr<const CProject> m_project;  // the last run's, kept until this object goes
};

}  // namespace tarnwick
