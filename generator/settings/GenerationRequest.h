// GenerationRequest: everything one documentation run is asked to do, as one
// value: the project, the output folder, the settings and where the files
// that are not the project's come from. The command line, a settings file
// and the workbench's dialog each fill one; the run reads it and nothing else.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "generator/settings/GenerationSettings.h"
#include "support/FileSystem.h"

namespace tarnwick {

struct ApiInterface;
struct GroupSite;
class GroupCalls;
struct GroupInputRecords;

struct GenerationRequest {
    std::string projectPath;
    std::string outputFolder;
    GenerationSettings settings = GenerationSettings::dialogDefaults();
    std::string language = "Deutsch";
    std::string codePage = "windows-1252";  // of the project's files
    std::string outputEncoding;             // of the pages; empty: codePage
    std::string registryFile;               // a registry export read first; empty: none
    std::string winePrefix;                 // its system.reg is read next; empty: none
    std::string translationFile;            // empty: Translation.lng beside the program
    std::string resourceFolder;             // empty: Ressources beside the program
    std::string style;                      // a style of themesFolder; empty: the plain one
    std::string themesFolder;               // empty: Themes beside the program
    bool force = false;                     // write into a foreign non-empty folder
    bool full = false;                      // write every page, changed or not
    int jobs = 0;                           // worker threads; 0: one per core
    // The threads the run works with: jobs, else one per core.
    unsigned threads() const {
        return jobs > 0 ? static_cast<unsigned>(jobs)
                        : std::max(1u, std::thread::hardware_concurrency());
    }
    // The pages' time as whole seconds since 1970 (UTC), so that two runs give
    // the same site (the front ends take it from SOURCE_DATE_EPOCH); empty:
    // the current local time.
    std::string fixedTime;
    // Conditional-compilation constants as "NAME=VALUE"; each wins over the
    // project's CondComp value of that name.
    std::vector<std::string> defines;
    // Whether the pages show where members are used (linked code lines,
    // Used by, Calls); off, the run does not resolve names at all.
    bool crossReferences = true;
    // Whether the site is also packaged for help browsers (OfflineHelp.h):
    // a Qt help project, a Dash/Zeal docset. Such a run always reads the
    // project, so the packages are made again even when no page changed.
    bool qtHelp = false;
    bool docset = false;
    // Where the run's writes, its lock and its stamp reach the disk; null:
    // the system's own calls. Must outlive the run.
    FileSystem* fileSystem = nullptr;
    // An earlier version's public interface (generate --since): the site
    // gets a page of what changed since, named by sinceName; null: none.
    std::shared_ptr<const ApiInterface> since;
    std::string sinceName;
    // The project's place in a group's site (GroupRun); null: a site of its own.
    std::shared_ptr<const GroupSite> group;
    // In a group: what finds the member calls across its projects into the
    // group's tables with this run (GroupCalls.h), asked once this run is
    // to build pages (not when nothing changed), this project's position in
    // the group, and the files the calls are found in, inputs of this run as
    // its own files are. Null and empty: none.
    std::shared_ptr<GroupCalls> groupCalls;
    size_t groupIndex = 0;
    std::vector<std::string> groupInputs;
    // The inputs the group's runs have read and hashed (InputKey.h); null: none.
    std::shared_ptr<GroupInputRecords> groupInputRecords;
};

}  // namespace tarnwick
