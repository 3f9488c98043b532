// InputKey: what a run's pages are made from, known from stat wherever it can be.
//
// A run reads inputs: the project file, the module files, the translation,
// the registry exports. The last run's manifest records each one's stat
// stamp (size, modification time, inode) and the hash of its bytes. An
// InputKey stamps each input again and reads and hashes only those whose
// stamp differs from the record, so a re-run after nothing changed reads no
// input to know it, and one after a module changed reads only that module
// (beside the reader's own parse).
//
// The limit: a file whose bytes change while size, time and inode come back
// as recorded (an edit that keeps the size, then its time set back) is taken
// as unchanged; --full rewrites everything.
//
// settingsKey() is the part of every key that is no file: settings,
// language, encodings, defines and what the pages' bytes do not show.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "generator/run/SiteManifest.h"
#include "generator/settings/GenerationRequest.h"
#include "generator/site/PageContext.h"

namespace tarnwick {

// The inputs a group's runs have hashed so far. Every project's run of a
// group keys the files the member calls across it are found in (those of
// all its calling projects and their libraries): each is read and hashed
// once for all the runs while its stamp stays as it was.
struct GroupInputRecords {
    std::map<std::string, InputRecord> byPath;
};

class InputKey {
public:
    // before: the last run's input records (may be empty); group (may be
    // null): the records the group's runs share, kept up to date.
    explicit InputKey(const std::map<std::string, InputRecord>& before,
                      GroupInputRecords* group = nullptr)
        : m_before(before), m_group(group) {}

    // True when every recorded input shows the stamp recorded (a missing one
    // is missing still); false when there is no record. Reads no file.
    static bool stampsUnchanged(const std::map<std::string, InputRecord>& recorded);

    // The hash of the bytes of the file at path, read only when its stamp
    // differs from the record; a missing file has a hash of its own, one
    // that cannot be read again gives 0 (nothing kept on its account).
    uint64_t add(const std::string& path);
    // Every input added, for the next run's manifest.
    const std::map<std::string, InputRecord>& records() const { return m_after; }

    // The settings part of every key; given: what the pages' bytes do not
    // show. Never 0.
    static uint64_t settingsKey(const GenerationRequest& request, const PageContext& ctx,
                                uint64_t given);

private:
    const std::map<std::string, InputRecord>& m_before;
    GroupInputRecords* m_group;
    std::map<std::string, InputRecord> m_after;
};

}  // namespace tarnwick
