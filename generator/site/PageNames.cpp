#include "generator/site/PageNames.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <vector>

#include "generator/site/Listing.h"
#include "generator/site/PageContext.h"
#include "model/CHelper.h"
#include "model/TypedList.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// How a message names a module or member; a module without a name (its file
// sets no VB_Name) is named by its file.
std::string displayName(const CModule& module, const ListItem* member) {
    if (module.Name().empty()) {
        const std::string file =
            "the module in " + std::filesystem::path(module.Path()).filename().string();
        return member ? member->Name() + " of " + file : file;
    }
    return member ? module.Name() + "." + member->Name() : module.Name();
}

// File names taken in one kind's folder, lower-cased, with what took them.
class Folder {
public:
    bool free(const std::string& stem, std::initializer_list<std::string_view> suffixes) const {
        for (const std::string_view suffix : suffixes)
            if (m_taken.count(toLower(stem + std::string(suffix) + ".html"))) return false;
        return true;
    }
    const std::string& owner(const std::string& stem,
                             std::initializer_list<std::string_view> suffixes) const {
        for (const std::string_view suffix : suffixes) {
            const auto it = m_taken.find(toLower(stem + std::string(suffix) + ".html"));
            if (it != m_taken.end()) return it->second;
        }
        static const std::string none;
        return none;
    }
    void take(const std::string& stem, std::initializer_list<std::string_view> suffixes,
              const std::string& by) {
        for (const std::string_view suffix : suffixes)
            m_taken.emplace(toLower(stem + std::string(suffix) + ".html"), by);
    }

    // wished when free, else wished + "_2", "_3", ...; a clash is reported.
    std::string assign(const std::string& wished, std::initializer_list<std::string_view> suffixes,
                       const std::string& by, const std::string& folder,
                       DiagnosticsSink* diagnostics) {
        // The usual case, a free name, folds each page's name once.
        std::vector<std::string> keys;
        keys.reserve(suffixes.size());
        bool isFree = true;
        for (const std::string_view suffix : suffixes) {
            keys.push_back(toLower(wished));
            keys.back().append(toLower(suffix)).append(".html");
            isFree = isFree && !m_taken.count(keys.back());
        }
        if (isFree) {
            for (std::string& key : keys) m_taken.emplace(std::move(key), by);
            return wished;
        }
        std::string stem = wished;
        if (!free(stem, suffixes)) {
            // Names are only ever taken, so the numbers an earlier clash of
            // the same wish tried are still taken: go on from there, and
            // thousands of modules of one name cost no more than distinct ones.
            int& n = m_nextNumber[toLower(wished) + '\n' + std::to_string(suffixes.size())];
            n = std::max(n, 2);
            for (stem = wished + "_" + std::to_string(n); !free(stem, suffixes);)
                stem = wished + "_" + std::to_string(++n);
        }
        if (stem != wished && diagnostics) {
            diagnostics->warning({}, 0,
                                 "page name " + folder + "/" + wished + ".html of " + by +
                                     " is taken by " + owner(wished, suffixes) + "; " + by +
                                     " gets " + folder + "/" + stem + ".html");
        }
        take(stem, suffixes, by);
        return stem;
    }

private:
    std::unordered_map<std::string, std::string> m_taken;
    // lower-case wish and suffix count -> the first number not yet tried
    std::unordered_map<std::string, int> m_nextNumber;
};

}  // namespace

PageNames::PageNames(const CProject& project, DiagnosticsSink* diagnostics) {
    std::unordered_map<std::string, Folder> folders;
    // Modules first, so a module's overview never gives way to a member page.
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        const std::string folder = kindTraits(kind).listName;
        for (const auto& module : project.listOfKind(kind)->elements()) {
            if (m_modules.count(module.get())) continue;  // one object listed twice
            m_modules[module.get()].stem =
                folders[folder].assign(wishedModule(*module), {"", "_Uml", "_Object", "_Code"},
                                       displayName(*module, nullptr), folder, diagnostics);
        }
    }
    for (const ModuleKind kind : kDocumentedModuleKinds) {
        const std::string folder = kindTraits(kind).listName;
        for (const auto& module : project.listOfKind(kind)->elements()) {
            ModuleNames& names = m_modules[module.get()];
            if (!names.members.empty()) continue;
            // Every member list, whatever the settings: names stay the same
            // when a run leaves some kinds out.
            for (const auto& table : summaryTables(*module, {})) {
                for (const auto& item : table.list->Items()) {
                    const std::string key = toLower(item->Name());
                    if (names.members.count(key)) continue;  // one page per name
                    names.members[key] = folders[folder].assign(
                        wishedMember(names.stem, *item), {""}, displayName(*module, item.get()),
                        folder, diagnostics);
                }
            }
        }
    }
}

std::string PageNames::module(const CModule& module) const {
    const auto it = m_modules.find(&module);
    return it == m_modules.end() ? wishedModule(module) : it->second.stem;
}

std::string PageNames::member(const CModule& module, const ListItem& member) const {
    const auto it = m_modules.find(&module);
    if (it == m_modules.end()) return wishedMember(wishedModule(module), member);
    const auto found = it->second.members.find(toLower(member.Name()));
    return found == it->second.members.end() ? wishedMember(it->second.stem, member)
                                             : found->second;
}

std::string PageNames::moduleStem(const PageNames* names, const CModule& module) {
    return names ? names->module(module) : wishedModule(module);
}

std::string PageNames::memberStem(const PageNames* names, const CModule& module,
                                  const ListItem& member) {
    return names ? names->member(module, member) : wishedMember(wishedModule(module), member);
}

std::string PageNames::signature(const CModule& module) const {
    const auto it = m_modules.find(&module);
    if (it == m_modules.end()) return wishedModule(module);
    std::vector<std::pair<std::string, std::string>> members(it->second.members.begin(),
                                                             it->second.members.end());
    std::sort(members.begin(), members.end());
    std::string text = it->second.stem;
    for (const auto& [name, stem] : members) text += '\n' + stem;
    return text;
}

std::string PageNames::wishedModule(const CModule& module) { return safeFileName(module.Name()); }

std::string PageNames::wishedMember(const std::string& moduleStem, const ListItem& member) {
    // A member called Uml, Object or Code would get the name of the module's
    // UML, object-model or code page (letter case does not tell names apart
    // on the sites' file systems). Such a name, and one that is such a word
    // followed by underscores, gets one underscore more.
    std::string name = safeFileName(member.Name());
    const std::string_view word = std::string_view(name).substr(0, name.find_last_not_of('_') + 1);
    for (const char* reserved : {"Uml", "Object", "Code"}) {
        if (equalsIgnoreCase(word, reserved)) {
            name += '_';
            break;
        }
    }
    return moduleStem + "_" + name;
}

std::string modulePagePath(const CModule& module, std::string_view suffix, const PageNames* names) {
    const std::string kinds = kindTraits(module.Kind()).listName;
    const std::string stem = PageNames::moduleStem(names, module);
    if (kinds.empty())
        throw PageWriteError(stem + std::string(suffix),
                             "module " + module.Name() + " is of no kind that has pages");
    return kinds + "/" + stem + std::string(suffix);
}

}  // namespace tarnwick
