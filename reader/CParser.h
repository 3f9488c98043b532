// CParser: reads a VB6 project file and every module file it names into a new
// CProject.
//
// Set Path to the .vbp file and call Parse(): each source-module entry (form,
// class, module, property page, user control, user document, designer) is
// read from its file, each library entry (Reference=, Object=) becomes a
// library module completed from the registry source, every other line
// becomes a project setting. At the end
// the seven source-module lists, the element lists of their modules and the
// two library lists are sorted by name, so that the generation only reads the
// project. Every Parse() builds a fresh project; nothing is kept.
//
// Files come from Windows: a backslash in a value is a folder separator, a
// module path that does not exist as written is looked up ignoring letter
// case, and a file without any CR LF but with LF line ends is read as if its
// lines ended in CR LF. Texts are decoded from the configured code page.
//
// Odd VB6 is normal input: what the reader does not recognise it skips. A
// module file that is missing or unreadable is reported to the diagnostics
// sink (project file and line) and left out; only a project file that cannot
// be read makes Parse() fail. Every routine runs in time linear in its input.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "model/CArgument.h"
#include "model/CArgumentList.h"
#include "model/CConstant.h"
#include "model/CDeclaration.h"
#include "model/CEnum.h"
#include "model/CEvent.h"
#include "model/CFunction.h"
#include "model/CImplementation.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/CProperty.h"
#include "model/CSubroutine.h"
#include "model/CVariable.h"
#include "model/CVariableList.h"
#include "model/Procedure.h"
#include "model/cType.h"
#include "reader/CStringLines.h"
#include "reader/ConditionalCompilation.h"
#include "reader/CrossReferences.h"
#include "support/CodePage.h"
#include "support/Diagnostics.h"
#include "support/Errors.h"

namespace tarnwick {

class ReferenceMemo;
class RegistrySource;

// Whether key (of a "key=value" line) marks a VB6 project file: Type, Name,
// or a line naming a module or a library.
bool isProjectFileKey(std::string_view key);

class CParser {
public:
    CParser();
    ~CParser();

    const std::string& Path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }
    // The code page of the project and module files (default windows-1252).
    void setCodePage(CodePage codePage) { m_codePage = std::move(codePage); }
    // Not owned, may be null (then nothing is reported); must outlive Parse().
    void setDiagnostics(DiagnosticsSink* diagnostics) { m_diagnostics = diagnostics; }
    // Where library entries find their description and file. Null (the
    // default): a registry that consults nothing.
    void setRegistry(std::shared_ptr<const RegistrySource> registry);
    // Conditional-compilation constants given by the caller (--define): they
    // win over the project's CondComp line, name by name.
    void setDefines(CondConstants defines);
    // A flag the caller may set from another thread to give up the read:
    // Parse() looks at it before each entry of the project file and every
    // kCancelLines lines of a module, and then fails with kCancelledMessage.
    // Not owned, may be null; must outlive Parse().
    void setCancelFlag(const std::atomic<bool>* cancel) { m_cancel = cancel; }
    static constexpr int32_t kCancelLines = 4096;
    static constexpr const char* kCancelledMessage = "The read was cancelled.";
    // Told on the reading thread as Parse() reaches each step: "module"
    // before each module file, then "sort" and "references" once; the cancel
    // flag is looked at right after. The workbench's tests and benchmark
    // cancel in a chosen step with it. May be empty.
    void setStepHook(std::function<void(const char* step)> hook) { m_stepHook = std::move(hook); }
    // Whether Parse resolves where the code names the project's members
    // (CProject::crossReferences); on by default.
    void setCrossReferences(bool on) { m_crossReferences = on; }
    // The threads that resolve them (0: one per processor): the run's own
    // count, so `-j 1` keeps the whole run on one processor.
    void setThreads(unsigned threads) { m_threads = threads; }
    // Whether Parse keeps only what another project's code may bind to: the
    // members with their names, kinds, scopes and types, but no parameters,
    // no code (a module's Source, a routine's, a routine's declaration
    // line), no descriptions and no comment tags. Routines of one return
    // type share their return record, and all share one empty parameter
    // list: the model is read-only. A group reads a library so, for its
    // users' calls, beside the model of the project that calls it.
    void setDeclarationsOnly(bool on);
    // The references an earlier run resolved (not owned, may be null): the
    // modules it recalls are not resolved again (ReferenceMemo.h).
    void setReferenceMemo(ReferenceMemo* memo) { m_memo = memo; }
    // In a group: the projects this one references whose public classes its
    // code may name (resolveReferences with libraries); each must outlive
    // the project's cross-references. With calls (not owned), the
    // references into them go there, not into the project's index.
    void setLibraries(std::vector<ReferencedProject> libraries,
                      std::vector<Reference>* calls = nullptr) {
        m_libraries = std::move(libraries);
        m_libraryCalls = calls;
    }

    // Reads the project file named by Path and every module file it names.
    // Fails only when the project file cannot be read; the message names it.
    Expected<std::shared_ptr<CProject>> Parse();

    // Statement classifiers: does the logical line open a declaration of the
    // kind? The line is trimmed of blanks, then its start is compared with
    // the kind's keywords ignoring case (one blank after each keyword).
    bool isConstant(std::string_view line) const;
    bool isImplementation(std::string_view line) const;
    bool isDeclaration(std::string_view line) const;
    // Function, Sub and Property also accept the word Static before the kind.
    bool isFunction(std::string_view line) const;
    bool isSubroutine(std::string_view line) const;
    bool isEvent(std::string_view line) const;
    // A scope word or Dim at the start, and " As " anywhere.
    bool isVariable(std::string_view line) const;
    bool isProperty(std::string_view line) const;
    bool isType(std::string_view line) const;
    bool isEnum(std::string_view line) const;

    // Reads one module file's text (already decoded) into a new module of
    // the given kind whose Path is pathForMessages; the text's line ends are
    // taken as a file's are. Public so fuzzers and tests can drive the whole
    // module reader on a buffer.
    std::shared_ptr<CModule> readModuleText(std::string_view text, int moduleType,
                                            const std::string& pathForMessages);

private:
    friend class CParserTestAccess;

    // How parseName finds the name in a declaration.
    enum class NameMode {
        Variable,
        Constant,
        Declare,
        Sub,
        Property,
        Function,
        Enum,
        Type,
        Event,
        Argument
    };

    // Project file
    // The project file's text, or why it cannot be read: missing, unreadable,
    // not a text file (a NUL byte) or empty.
    Expected<std::string> readProjectText() const;
    // Reads the project's CondComp line, then the caller's defines over it,
    // into m_constants, and lists them in project.
    void readProjectConstants(const CStringLines& lines, CProject& project);
    // The path of the module file a source-module entry names (value,
    // relative to folder), or empty after a warning naming the project file's
    // line when the file is already in readFiles (canonical paths, the new
    // one added).
    std::string listedModulePath(std::string_view value, const std::string& folder, int projectLine,
                                 std::unordered_set<std::string>& readFiles) const;
    // A module line of the project file: a library made at once, or a module
    // file to read; what the line and the reading told, kept to be told in
    // the lines' order.
    struct ListedModule;
    // The project file's lines: the properties into project, the modules
    // listed in order (files not read yet); false when cancelled. keys: a
    // Type=, Name= or module line was seen.
    bool listModules(const CStringLines& lines, CProject& project,
                     std::vector<ListedModule>& listed, bool& keys);
    // The listed module files, read on up to m_threads threads.
    void readModuleFiles(std::vector<ListedModule>& listed) const;
    // The listed modules into project in the lines' order, and what each told
    // to m_diagnostics; a failure of a reading is thrown here.
    void addListedModules(std::vector<ListedModule>& listed, CProject& project) const;
    // readModuleFile, with a module too large for the memory there is left out.
    std::shared_ptr<CModule> readListedModule(const std::string& path, int projectLine,
                                              int moduleType);
    // A library module from the raw value of a Reference= or Object= line.
    std::shared_ptr<CModule> parseReference(std::string_view rawValue) const;
    // The module file at path (already resolved), or null after a warning
    // naming the project file's line when it cannot be read.
    std::shared_ptr<CModule> readModuleFile(const std::string& path, int projectLine,
                                            int moduleType);
    // The file's text decoded (from UTF-16 after a byte-order mark, else from
    // the code page), with LF-only line ends turned into CR LF; bytes that do
    // not decode are reported as a warning naming the file. A file above
    // limit bytes, or one that is not a regular file, is refused.
    Expected<std::string> readText(const std::string& path, int64_t limit) const;

    // Module file
    // Where the module's code lines came from, for messages and for each
    // element's Line: fileLines[i] is the 1-based file line of code line i.
    struct CodeContext {
        const std::string& path;
        const std::vector<int32_t>& fileLines;
        int fileLine(int32_t index) const {
            return index >= 0 && static_cast<size_t>(index) < fileLines.size() ? fileLines[index]
                                                                               : 0;
        }
    };
    // Fills the module's elements, description and short descriptions from
    // its compiled code text (the lines after the first Attribute line,
    // without the Attribute lines, directive lines and inactive branches).
    void parseModuleCode(CModule& module, const CStringLines& lines,
                         const CodeContext& context) const;
    // The routine (Sub, Function or Property) the statement current opens,
    // read as the element parsers below read it; null when it opens none.
    std::shared_ptr<Element> parseRoutine(std::string_view current, std::string_view description,
                                          const CStringLines& lines, int32_t& index,
                                          const CodeContext& context) const;
    // The elements a declaration statement (Implements, Declare, Type, Enum,
    // Event, Const or a variable list) files, appended to elements.
    void parseDeclarations(std::string_view current, std::string_view description,
                           const CStringLines& lines, int32_t& index,
                           std::vector<std::shared_ptr<Element>>& elements) const;
    // readModuleText on a text it may take apart: a giant module is not copied.
    std::shared_ptr<CModule> readOwnedModuleText(std::string text, int moduleType,
                                                 const std::string& pathForMessages);

    // Element parsers: each reads its statement (and block) from lines,
    // starting at index, and leaves index on the last line it consumed, or
    // one past the last line when the block never ends. description is the
    // comment block above the statement.
    // A routine's body ends at its first End Sub, End Function or End
    // Property, whatever its word (VB6 accepts a Property closed by End Sub),
    // or before the next routine header (reported against context).
    std::shared_ptr<CSubroutine> parseSubroutine(std::string_view description,
                                                 const CStringLines& lines, int32_t& index,
                                                 const CodeContext& context) const;
    std::shared_ptr<CFunction> parseFunction(std::string_view description,
                                             const CStringLines& lines, int32_t& index,
                                             const CodeContext& context) const;
    std::shared_ptr<CProperty> parseProperty(std::string_view description,
                                             const CStringLines& lines, int32_t& index,
                                             const CodeContext& context) const;
    std::shared_ptr<CEvent> parseEvent(std::string_view description, const CStringLines& lines,
                                       int32_t& index) const;
    std::shared_ptr<CDeclaration> parseDeclaration(std::string_view description,
                                                   const CStringLines& lines, int32_t& index) const;
    // What every procedure-like element takes alike from its statement:
    // Syntax, scope, Name, Arguments, Description and the Source of lines
    // first to last.
    void fillProcedure(Procedure& element, const std::string& syntax, NameMode mode,
                       std::string_view description, const CStringLines& lines, int32_t first,
                       int32_t last) const;
    // The return record of element from its statement (only its type when
    // reading declarations).
    void setReturns(ReturningProcedure& element, std::string_view syntax,
                    std::string_view description) const;
    // "Function Pad$(s)" returns a String though no " As " says so.
    void returnTypeFromSuffix(ReturningProcedure& element, std::string_view syntax) const;
    std::shared_ptr<cType> parseType(std::string_view description, const CStringLines& lines,
                                     int32_t& index) const;
    // The members of a Type from its source lines (header, body, End Type).
    std::shared_ptr<CVariableList> parseTypeMembers(std::string_view description,
                                                    std::string_view source) const;
    std::shared_ptr<CEnum> parseEnum(std::string_view description, const CStringLines& lines,
                                     int32_t& index) const;
    // A declaration list ("Private a As Long, b() As String") gives one
    // element per name, each with its own Syntax and type and all with the
    // statement's description and Source.
    std::vector<std::shared_ptr<CVariable>> parseVariable(std::string_view description,
                                                          const CStringLines& lines,
                                                          int32_t& index) const;
    std::vector<std::shared_ptr<CConstant>> parseConstant(std::string_view description,
                                                          const CStringLines& lines,
                                                          int32_t& index) const;
    std::shared_ptr<CImplementation> parseImplementation(std::string_view description,
                                                         const CStringLines& lines,
                                                         int32_t& index) const;

    // Signature parsing: position searches on one declaration's text.
    // Scope code: 0 Global, 1 Public, 2 Private, 3 Friend, 99 none.
    static int parseScope(std::string_view text);
    // Way code of a property: 0 Get (also unknown), 1 Set, 2 Let.
    static int parseWay(std::string_view text);
    static std::string parseName(std::string_view text, NameMode mode);
    static std::string parseDataType(std::string_view text, NameMode mode);
    // "ByVal" or "ByRef".
    static std::string parsePassing(std::string_view text);
    static bool parseOptional(std::string_view text);
    static bool parseNew(std::string_view text);
    static std::shared_ptr<CArgumentList> parseArguments(std::string_view declaration,
                                                         std::string_view description);
    // The declared return type ("As ..." after the parameters), or empty.
    static std::string_view returnType(std::string_view declaration);
    static std::shared_ptr<CArgument> parseReturn(std::string_view name,
                                                  std::string_view declaration,
                                                  std::string_view description);
    // The text of the tag "@name" in a description, or empty.
    static std::string findTagText(std::string_view text, std::string_view name);
    // Every run of blanks reduced to one blank.
    static std::string collapseBlanks(std::string_view text);

    std::string m_path;
    CodePage m_codePage;
    DiagnosticsSink* m_diagnostics = nullptr;  // not owned, may be null
    std::shared_ptr<const RegistrySource> m_registry;
    CondConstants m_defines;
    const std::atomic<bool>* m_cancel = nullptr;  // not owned, may be null
    std::function<void(const char*)> m_stepHook;
    // Tells the hook of step; whether the read goes on.
    bool reach(const char* step) const {
        if (m_stepHook) m_stepHook(step);
        return !cancelled();
    }
    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }
    bool m_crossReferences = true;
    bool m_declarationsOnly = false;
    class SharedRecords;
    std::shared_ptr<SharedRecords> m_shared;  // while reading declarations only
    unsigned m_threads = 0;
    std::vector<ReferencedProject> m_libraries;
    std::vector<Reference>* m_libraryCalls = nullptr;  // not owned, may be null
    ReferenceMemo* m_memo = nullptr;
    // What modules are compiled with: the compiler's constants, the project's
    // CondComp line, then m_defines.
    CondConstants m_constants = CondConstants::compilerDefaults();
};

}  // namespace tarnwick
