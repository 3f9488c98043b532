// Project file reader: the .vbp lines, the module entries, the library
// entries and the project settings.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <new>
#include <thread>
#include <unordered_set>

#include "model/CHelper.h"
#include "reader/CParser.h"
#include "reader/CParserDetail.h"
#include "reader/CrossReferences.h"
#include "reader/modRegistry.h"
#include "support/Diagnostics.h"
#include "support/File.h"
#include "support/ProgramFolder.h"
#include "support/Text.h"
#include "support/Threads.h"

namespace tarnwick {

using namespace parserdetail;

namespace {

// The 1-based line of the first NUL character of text, 0 when there is none.
// Text files never hold one; a binary file nearly always does.
int nulLine(std::string_view text) {
    const size_t nul = text.find('\0');
    if (nul == npos) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + nul, '\n'));
}

// What a failed read says after the path it names ("is a FIFO").
std::string readFailure(const Error& error, const std::string& path) {
    const std::string prefix = "Cannot read " + path + ": ";
    std::string_view text = error.message;
    if (startsWith(text, prefix)) text.remove_prefix(prefix.size());
    return std::string(text);
}

// Why nothing can be found at path: "no such file", or what the system says
// when it refuses the path itself ("File name too long").
std::string absenceReason(const std::string& path) {
    std::error_code why;
    (void)std::filesystem::status(path, why);
    return why && why != std::errc::no_such_file_or_directory ? why.message() : "no such file";
}

// Bytes as whole megabytes, rounded up: "65 MB" for one byte above 64 MB.
std::string megabytes(int64_t bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB";
}

// One line of the project file: key=raw value[=dropped]; a value holding ';'
// keeps what stands between its first and second ';'.
struct ProjectEntry {
    std::string key;
    std::string_view raw;
    std::string_view value;  // trimmed
};

ProjectEntry splitEntry(std::string_view line) {
    ProjectEntry entry;
    size_t eq = line.find('=');
    entry.key = std::string(trimSpaces(line.substr(0, eq)));
    if (eq != npos) {
        entry.raw = line.substr(eq + 1);
        entry.raw = entry.raw.substr(0, entry.raw.find('='));
    }
    entry.value = entry.raw;
    size_t semicolon = entry.raw.find(';');
    if (semicolon != npos) {
        entry.value = entry.raw.substr(semicolon + 1);
        entry.value = entry.value.substr(0, entry.value.find(';'));
    }
    entry.value = trimSpaces(entry.value);
    return entry;
}

// The module kind a project file key names ("Form", "Class", ...); None for
// a project setting.
int moduleTypeOf(const std::string& key) {
    const std::string lowerKey = toLower(key);
    if (lowerKey == "form") return moduletype::Form;
    if (lowerKey == "class") return moduletype::Class;
    if (lowerKey == "module") return moduletype::Module;
    if (lowerKey == "propertypage") return moduletype::PropertyPage;
    if (lowerKey == "usercontrol") return moduletype::UserControl;
    if (lowerKey == "userdocument") return moduletype::UserDocument;
    if (lowerKey == "designer") return moduletype::Designer;
    if (lowerKey == "reference") return moduletype::Reference;
    if (lowerKey == "object") return moduletype::Object;
    return moduletype::None;
}

// The seven source-module lists and the two library lists by name: after
// Parse the model is only read.
void sortLists(CProject& project) {
    CHelper helper;
    helper.sortModule(project.Classes());
    helper.sortModule(project.Forms());
    helper.sortModule(project.Modules());
    helper.sortModule(project.PropertyPages());
    helper.sortModule(project.UserControls());
    helper.sortModule(project.UserDocuments());
    helper.sortModule(project.Designers());
    helper.sortIterator(project.References());
    helper.sortIterator(project.Objects());
}

}  // namespace

bool isProjectFileKey(std::string_view key) {
    return moduleTypeOf(std::string(key)) != moduletype::None || equalsIgnoreCase(key, "Type") ||
           equalsIgnoreCase(key, "Name");
}

CParser::CParser() = default;
CParser::~CParser() = default;

void CParser::setRegistry(std::shared_ptr<const RegistrySource> registry) {
    m_registry = std::move(registry);
}

void CParser::setDefines(CondConstants defines) {
    m_defines = std::move(defines);
    m_constants = CondConstants::compilerDefaults();
    for (const auto& [name, value] : m_defines.entries()) m_constants.set(name, value);
}

Expected<std::string> CParser::readText(const std::string& path, int64_t limit) const {
    Expected<std::string> bytes = File(path).ReadBytes(limit);
    if (!bytes) return bytes;
    // An editor may have saved the file as UTF-16; its byte-order mark says so.
    if (auto utf16 = decodeUtf16WithBom(bytes.value())) return withCrLf(std::move(*utf16));
    size_t invalid = 0;
    std::string text = m_codePage.toUtf8(bytes.value(), &invalid);
    if (invalid > 0 && m_diagnostics) {
        m_diagnostics->warning(path, 0,
                               std::to_string(invalid) + " byte(s) could not be decoded as " +
                                   m_codePage.name() + " and were replaced");
    }
    return withCrLf(std::move(text));
}

std::shared_ptr<CModule> CParser::readModuleFile(const std::string& path, int projectLine,
                                                 int moduleType) {
    File file(path);
    std::string problem;
    if (!file.IsPresent()) {
        const std::string reason = absenceReason(path);
        problem = reason == "no such file" ? "module file not found: " + path
                                           : "module file not found (" + reason + "): " + path;
    } else if (const int64_t size = file.IsFile() ? file.Length() : 0; size > kModuleReadLimit) {
        // Refused before a byte is read: its pages would take several times its size.
        problem = "module file of " + megabytes(size) + " is larger than the " +
                  megabytes(kModuleReadLimit) + " a module may hold: " + path;
    } else {
        Expected<std::string> text = readText(path, kModuleReadLimit);
        if (!text) {
            problem = "module file " + readFailure(text.error(), path) + ": " + path;
        } else {
            const int nul = nulLine(text.value());
            auto module = readOwnedModuleText(std::move(text).value(), moduleType, path);
            // NUL bytes and not one attribute line: binary, not a module at all.
            if (nul > 0 && module->Attributes()->Count() == 0) {
                problem = "module file is not a text file (NUL byte on line " +
                          std::to_string(nul) + "): " + path;
            } else {
                if (nul > 0 && m_diagnostics)
                    m_diagnostics->warning(path, nul, "NUL byte in the module file; read as it is");
                if (module->Name().empty() && m_diagnostics)
                    m_diagnostics->warning(path, 0, "no VB_Name attribute: the module has no name");
                return module;
            }
        }
    }
    if (m_diagnostics)
        m_diagnostics->warning(m_path, projectLine, problem + "; the module is left out");
    return nullptr;
}

std::shared_ptr<CModule> CParser::parseReference(std::string_view rawValue) const {
    // Fields are separated by '#'; a control library writes ';' before its file.
    std::string text = replaceAll(rawValue, ";", "#");
    std::vector<std::string_view> fields;
    std::string_view rest = text;
    for (;;) {
        size_t hash = rest.find('#');
        fields.push_back(rest.substr(0, hash));
        if (hash == npos) break;
        rest = rest.substr(hash + 1);
    }
    std::string guid(trimSpaces(fields[0]));
    size_t brace = guid.find('{');
    if (brace != std::string::npos && brace > 0) guid.erase(0, brace);
    std::string version = fields.size() >= 3 ? std::string(trimSpaces(fields[1])) : std::string();

    static const RegistrySource noRegistry;
    const RegistrySource& registry = m_registry ? *m_registry : noRegistry;
    const std::string key = "TypeLib\\" + guid + "\\" + version;
    auto module = std::make_shared<CModule>();
    if (fields.size() >= 4) module->setName(std::string(fields[3]));
    // A reference to another project ("*\A..\Lib\Lib.vbp") names no type
    // library: its name is the project file as written, so it shows.
    if (startsWithIgnoreCase(guid, "*\\A")) module->setName(guid.substr(3));
    std::string description =
        modRegistry::GetRegistryValue(registry, RegistryRoot::ClassesRoot, key, "");
    // A type library's line ends in its name as the project's machine knew
    // it ("...#..\stdole2.tlb#OLE Automation"): the registry's text when it
    // has one, else that.
    if (description == modRegistry::kOpenFailed || description == modRegistry::kReadFailed) {
        size_t from = 0;  // after the fourth '#'
        for (int field = 0; field < 4 && from != npos; ++field) {
            const size_t hash = rawValue.find('#', from);
            from = hash == npos ? npos : hash + 1;
        }
        const std::string_view own = from == npos ? "" : trimSpaces(rawValue.substr(from));
        if (!own.empty()) description = std::string(own);
    }
    module->setDescription(std::move(description));
    module->setVersion(version);
    module->setPath(
        modRegistry::GetRegistryValue(registry, RegistryRoot::ClassesRoot, key + "\\0\\win32", ""));
    module->setGUID(guid);
    return module;
}

Expected<std::string> CParser::readProjectText() const {
    if (!File(m_path).IsPresent())
        return Error{"Cannot read the project file " + m_path + ": " + absenceReason(m_path)};
    Expected<std::string> text = readText(m_path, kReadLimit);
    if (!text)
        return Error{"Cannot read the project file " + m_path + ": " +
                     readFailure(text.error(), m_path)};
    if (const int nul = nulLine(text.value()); nul > 0) {
        return Error{"Cannot read the project file " + m_path +
                     ": not a text file (NUL byte on line " + std::to_string(nul) + ")"};
    }
    if (text.value().find_first_not_of(" \t\r\n") == npos)
        return Error{"Cannot read the project file " + m_path + ": it is empty"};
    return text;
}

void CParser::readProjectConstants(const CStringLines& lines, CProject& project) {
    // The project's CondComp line usually follows the module lines, but
    // every module is compiled with it: read it first. The caller's defines
    // win, name by name.
    m_constants = CondConstants::compilerDefaults();
    const int32_t last = lines.Count();
    for (int32_t i = 0; i <= last; ++i) {
        std::string_view line = lines.Line(i);
        size_t eq = line.find('=');
        if (eq != npos && equalsIgnoreCase(trimSpaces(line.substr(0, eq)), "CondComp"))
            readCondComp(line.substr(eq + 1), m_constants, m_diagnostics, m_path, i + 1);
    }
    for (const auto& [name, value] : m_defines.entries()) m_constants.set(name, value);
    CProject::ConstantList constants;
    for (const auto& [name, value] : m_constants.entries())
        constants.emplace_back(name, value.literal());
    project.setConditionalConstants(std::move(constants));
}

std::string CParser::listedModulePath(std::string_view value, const std::string& folder,
                                      int projectLine,
                                      std::unordered_set<std::string>& readFiles) const {
    // Written on Windows: '\' separates folders, letter case may differ.
    std::string path = folder + replaceAll(value, "\\", "/");
    if (!File(path).Exists()) path = findPathIgnoringCase(path);
    // One file listed twice (copied lines, merges) is one module:
    // a second copy would give two modules with one name and pages.
    std::error_code ec;
    std::string canonical = std::filesystem::weakly_canonical(path, ec).string();
    if (ec) canonical = path;
    if (!readFiles.insert(canonical).second) {
        if (m_diagnostics)
            m_diagnostics->warning(m_path, projectLine,
                                   "module file " + path + " is listed again; it is read once");
        return {};
    }
    return path;
}

std::shared_ptr<CModule> CParser::readListedModule(const std::string& path, int projectLine,
                                                   int moduleType) {
    try {
        return readModuleFile(path, projectLine, moduleType);
    } catch (const std::bad_alloc&) {
        // One module too big for the memory there is: the others are still read.
        if (m_diagnostics)
            m_diagnostics->warning(m_path, projectLine,
                                   "not enough memory to read the module file of " +
                                       megabytes(File(path).Length()) + ": " + path +
                                       "; the module is left out");
    }
    return nullptr;
}

struct CParser::ListedModule {
    int moduleType = 0;
    int projectLine = 0;
    std::string path;  // a module file to read; empty: none (a library, a file listed again)
    std::shared_ptr<CModule> module;
    CollectingSink told;
    std::exception_ptr failure;  // passed on to Parse's caller
};

bool CParser::listModules(const CStringLines& lines, CProject& project,
                          std::vector<ListedModule>& listed, bool& keys) {
    const std::string folder = File(m_path).GetFolder();
    std::unordered_set<std::string> readFiles;  // canonical paths of the module files listed
    DiagnosticsSink* const diagnostics = m_diagnostics;
    const int32_t last = lines.Count();
    for (int32_t i = 0; i <= last; ++i) {
        if (cancelled()) return false;
        std::string_view line = lines.Line(i);
        if (isBlankLine(line)) continue;
        const ProjectEntry entry = splitEntry(line);
        const int moduleType = moduleTypeOf(entry.key);
        keys = keys || isProjectFileKey(entry.key);
        if (moduleType == moduletype::None) {
            project.Properties().Add(entry.key, std::string(entry.value));
            continue;
        }
        const bool library =
            moduleType == moduletype::Reference || moduleType == moduletype::Object;
        if (library && trimSpaces(entry.raw).empty()) continue;  // an empty entry names no library
        if (!library && !reach("module")) return false;
        ListedModule& listing = listed.emplace_back();
        listing.moduleType = moduleType;
        listing.projectLine = i + 1;
        m_diagnostics = diagnostics ? &listing.told : nullptr;
        if (library)
            listing.module = parseReference(entry.raw);
        else
            listing.path = listedModulePath(entry.value, folder, i + 1, readFiles);
        m_diagnostics = diagnostics;
    }
    return true;
}

void CParser::readModuleFiles(std::vector<ListedModule>& listed) const {
    std::atomic<size_t> next{0};
    const auto work = [&] {
        // A parser of the thread's own, telling each module's diagnostics to its line.
        CParser reader(*this);
        for (size_t i = next++; i < listed.size() && !cancelled(); i = next++) {
            ListedModule& listing = listed[i];
            if (listing.path.empty()) continue;
            reader.m_diagnostics = m_diagnostics ? &listing.told : nullptr;
            try {
                listing.module =
                    reader.readListedModule(listing.path, listing.projectLine, listing.moduleType);
            } catch (...) {
                listing.failure = std::current_exception();
            }
        }
    };
    unsigned threads =
        m_threads == 0 ? std::max(1u, std::thread::hardware_concurrency()) : m_threads;
    threads = static_cast<unsigned>(std::min<size_t>(threads, listed.size()));
    runOnThreads(threads, work);
}

void CParser::addListedModules(std::vector<ListedModule>& listed, CProject& project) const {
    for (ListedModule& listing : listed) {
        if (listing.failure) std::rethrow_exception(listing.failure);
        if (m_diagnostics)
            for (const Diagnostic& d : listing.told.items()) m_diagnostics->report(d);
        if (!listing.module) continue;
        listing.module->setModuleType(listing.moduleType);
        project.listOfKind(listing.moduleType)->Add(listing.module);
    }
}

Expected<std::shared_ptr<CProject>> CParser::Parse() {
    Expected<std::string> text = readProjectText();
    if (!text) return text.error();
    if (!m_registry) m_registry = std::make_shared<const RegistrySource>();

    auto project = std::make_shared<CProject>();
    const CStringLines lines(std::move(text.value()));
    readProjectConstants(lines, *project);
    bool projectKeys = false;  // a Type=, Name= or module line: a project file
    {
        // The module files are read after the lines are listed, on the
        // reader's threads; the project and its messages are as in line order.
        std::vector<ListedModule> listed;
        if (!listModules(lines, *project, listed, projectKeys)) return Error{kCancelledMessage};
        readModuleFiles(listed);
        if (cancelled()) return Error{kCancelledMessage};
        addListedModules(listed, *project);
    }

    if (cancelled()) return Error{kCancelledMessage};
    // Any text file would read as a project with nothing in it; say what it is.
    if (!projectKeys)
        return Error{"Cannot read the project file " + m_path +
                     ": not a VB6 project file (no Type=, Name= or module lines)"};
    if (!reach("sort")) return Error{kCancelledMessage};
    sortLists(*project);
    // Once every module is known: a name resolves against the whole project.
    if (m_crossReferences && !reach("references")) return Error{kCancelledMessage};
    if (m_crossReferences)
        project->setCrossReferences(resolveReferences(*project, m_libraries, m_diagnostics,
                                                      m_threads, m_cancel, m_memo, m_libraryCalls));
    if (cancelled()) return Error{kCancelledMessage};
    return project;
}

}  // namespace tarnwick
