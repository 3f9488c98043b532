// ReferenceMemo: the references a run resolved, kept for the next run, so
// that a re-run after an edit inside one routine resolves that module only.
//
// A module's references come from its own code read against what every
// module of the project declares. The memo keeps, per module, the key of
// its file and its references, their members as positions in the module
// lists and their controls as positions in the designs, under two keys: what
// the caller says the references depend on besides the modules (settings,
// defines, code page, the project file), and what the project's modules
// declare (each module's name, kind, path, attributes and controls; per
// member its kind, name, scope, declaration and data type, with its Enum
// values or Type fields; not its line, which an edit above it moves). A module is recalled when its
// file key and both keys are those recorded: any other edit (a member added, renamed or retyped
// anywhere, a module more, another define) resolves every module again. What is recalled is checked
// against the project first, so a damaged memo costs a resolve, never a wrong link.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/CProject.h"
#include "model/ReferenceIndex.h"

namespace tarnwick {

class ReferenceMemo {
public:
    // fileKey gives the key of a module's file bytes (0: unknown, never
    // recalled); given is what the references depend on besides the modules.
    ReferenceMemo(uint64_t given, std::function<uint64_t(const CModule&)> fileKey);

    // What render() of an earlier run wrote; a text in another form, of
    // another given or damaged recalls nothing.
    void load(std::string_view recorded);

    // Before any recall and keep, on one thread: the project's modules in
    // the order references are kept in.
    void start(const std::vector<const CModule*>& modules);
    // Module i's references and control uses as recorded, when they hold
    // for the project as it is; lineCut as recorded. Any thread.
    bool recall(size_t i, std::vector<Reference>& references, std::vector<DesignUse>& uses,
                bool& lineCut) const;
    // Module i's references as this run has them, for render(); one thread.
    void keep(size_t i, std::span<const Reference> references, std::span<const DesignUse> uses,
              bool lineCut);
    // The memo for the next run: the modules kept.
    std::string render() const;

private:
    struct Recorded {
        uint64_t file = 0;
        bool lineCut = false;
        std::string_view references;  // 6 numbers of 4 bytes per reference, into m_text
        std::string_view uses;        // 6 numbers per use
    };
    // A record's fields but its target, checked against the project: its
    // member in module i, the module it names, and its place in i's code
    // (starts: where each line of that code starts).
    struct Place {
        const Element* from = nullptr;
        size_t toModule = 0;
        int32_t target = 0;  // the member or control of toModule, as recorded
        int32_t line = 0, column = 0, length = 0;
    };
    bool place(size_t i, std::string_view records, size_t r, const std::vector<size_t>& starts,
               Place& out) const;
    // Module module's member at position id, or null.
    const Element* elementAt(size_t module, int32_t id) const;
    int32_t elementId(const Element* e) const;
    int32_t moduleId(const CModule* m) const;
    int32_t controlId(const DesignControl* c) const;

    uint64_t m_given;
    std::function<uint64_t(const CModule&)> m_fileKey;
    std::string m_text;  // the loaded memo
    uint64_t m_recordedDeclarations = 0;
    std::vector<Recorded> m_recorded;
    // This run's project.
    uint64_t m_declarations = 0;
    std::vector<const CModule*> m_modules;
    std::vector<uint64_t> m_files;
    std::vector<std::vector<const Element*>> m_elements;        // per module, by position
    std::vector<std::vector<const DesignControl*>> m_controls;  // per module, by position
    std::unordered_map<const Element*, int32_t> m_elementIds;
    std::unordered_map<const CModule*, int32_t> m_moduleIds;
    std::unordered_map<const DesignControl*, int32_t> m_controlIds;
    std::vector<std::string> m_kept;  // per module, its part of render()
};

}  // namespace tarnwick
