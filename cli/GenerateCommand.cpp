// tarnwick generate PROJECT.vbp [-o FOLDER] [options]
//
// Writes the documentation site of the project into FOLDER with the same
// generation run the workbench uses. The choices of the project's settings
// file (PROJECT.tarnwick beside it, or the file --settings names) come first,
// options given on the command line win over them; without -o the file's
// output folder is used. On a terminal one self-updating line on
// stderr shows the module being written and the percentage; -v prints the
// console lines ("Create documentation for ...") as well; -q only errors.
// Ctrl-C asks the run to stop at its next cancel point: the module being
// written is finished, the resources are still copied.
// Exit status: 0 done, 1 the project cannot be read, the output folder cannot
// be used or some page failed, 2 a usage error, 130 cancelled.
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/ApiCommand.h"
#include "cli/Commands.h"
#include "cli/HelpCompiler.h"
#include "cli/OptionHelp.h"
#include "cli/Words.h"
#include "generator/run/GenerationRun.h"
#include "generator/run/GroupRun.h"
#include "generator/settings/RequestCheck.h"
#include "generator/settings/SettingsFile.h"
#include "model/Translation.h"
#include "reader/ConditionalCompilation.h"
#include "reader/GroupFile.h"
#include "support/Diagnostics.h"
#include "support/TerminalText.h"
#include "support/Text.h"

namespace tarnwick::cli {

namespace {

// Set by the SIGINT handler, read at the run's cancel points.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int) { g_interrupted.store(true); }

struct GenerateOptions {
    std::string project;  // the first of projects
    // Several, or one group file (.vbg): one site for the group.
    std::vector<std::string> projects;
    std::string output;
    std::string kinds;
    bool kindsGiven = false;
    std::string members;
    bool membersGiven = false;
    std::string scopes;
    bool scopesGiven = false;
    std::string sections;
    bool sectionsGiven = false;
    bool noSyntax = false;
    std::string style;
    bool styleGiven = false;
    std::string layout;        // empty: the settings file's, else frames
    std::string settingsFile;  // empty: PROJECT.tarnwick when it is there
    std::string codePage = "windows-1252";
    bool codePageGiven = false;
    std::string outputEncoding;  // empty: codePage
    std::string registry;
    std::string translation;
    std::string language;  // empty: the settings file's, else the user's locale
    bool verbose = false;
    bool quiet = false;
    bool force = false;
    bool full = false;
    bool noCrossReferences = false;
    bool qhp = false;
    bool docset = false;
    int jobs = 0;  // 0: one per core
    std::vector<std::string> defines;
    std::string since;  // an earlier version (.vbp or .api); empty: no Changes page
};

// Everything the run says, on stderr. Keeps the progress line (on a
// terminal) below whatever else is printed.
class Terminal : public GenerationObserver, public DiagnosticsSink {
public:
    Terminal(bool verbose, bool quiet)
        : m_verbose(verbose && !quiet), m_quiet(quiet), m_live(!quiet && isatty(2) == 1) {}

    void moduleStarted(const std::string&, const std::string& info) override {
        m_info = terminalSafe(info);
        if (m_live) {
            redraw();
        } else if (m_verbose) {
            std::cerr << m_info << '\n';
        }
    }
    void progress(double, double, const std::string& percentText) override {
        m_percent = percentText;
        if (m_live) redraw();
    }
    void consoleLine(const std::string& line) override {
        if (!m_verbose) return;
        clearLine();
        std::cerr << terminalSafe(line) << '\n';
        if (m_live && !m_info.empty()) redraw();
    }
    bool cancelRequested() override { return g_interrupted.load(); }
    const std::atomic<bool>* cancelFlag() const override { return &g_interrupted; }

    void report(const Diagnostic& diagnostic) override {
        if (m_quiet && diagnostic.severity != Diagnostic::Severity::Error) return;
        clearLine();
        printLine(std::cerr, "tarnwick: ", diagnostic.toString());
        if (m_live && !m_info.empty()) redraw();
    }

    // Leaves the terminal on a fresh line.
    void finish() { clearLine(); }

private:
    void redraw() {
        std::string text = m_info;
        if (!m_percent.empty()) text += "  " + m_percent;
        winsize size{};
        if (ioctl(2, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 && text.size() >= size.ws_col) {
            text.resize(size.ws_col - 1);
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
                text.pop_back();
            if (!text.empty() && static_cast<unsigned char>(text.back()) >= 0xC0) text.pop_back();
        }
        std::cerr << '\r' << text << "\x1b[K" << std::flush;
        m_shown = true;
    }
    void clearLine() {
        if (!m_shown) return;
        std::cerr << "\r\x1b[K" << std::flush;
        m_shown = false;
    }

    bool m_verbose;
    bool m_quiet;
    bool m_live;  // a terminal: the progress line is shown
    bool m_shown = false;
    std::string m_info;
    std::string m_percent;
};

// The request of the settings file (PROJECT.tarnwick or the one named),
// with the options over it. Returns the settings file's path, or nullopt
// after telling why the file cannot be used.
std::optional<std::string> requestFromSettings(const GenerateOptions& options,
                                               GenerationRequest& request) {
    request.projectPath = options.project;
    request.language = Translation::languageForLocale(
        std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    // The settings file first: everything given below wins over it.
    const bool named = !options.settingsFile.empty();
    auto file = SettingsFile::load(
        named ? options.settingsFile : SettingsFile::pathForProject(options.project), !named, {},
        options.translation);
    if (!file) {
        printLine(std::cerr, "tarnwick generate: ", file.error().message);
        return std::nullopt;
    }
    if (options.output.empty()) {
        if (const Status inside = file.value().checkOutputInside(); !inside) {
            printLine(std::cerr, "tarnwick generate: ", inside.error().message);
            return std::nullopt;
        }
    }
    file.value().applyTo(request);

    if (!options.output.empty()) request.outputFolder = options.output;
    if (!options.language.empty()) request.language = options.language;
    if (options.codePageGiven) request.codePage = options.codePage;
    if (!options.outputEncoding.empty()) request.outputEncoding = options.outputEncoding;
    if (!options.registry.empty()) request.registryFile = options.registry;
    RegistryLocation registry = registryFromEnvironment(request.registryFile);
    request.registryFile = std::move(registry.file);
    request.winePrefix = std::move(registry.winePrefix);
    if (const char* fixedTime = std::getenv("SOURCE_DATE_EPOCH")) request.fixedTime = fixedTime;
    if (options.styleGiven) request.style = options.style;
    request.translationFile = options.translation;
    request.force = options.force;
    request.full = options.full;
    request.crossReferences = !options.noCrossReferences;
    request.qtHelp = options.qhp;
    request.docset = options.docset;
    if (options.jobs > 0) request.jobs = options.jobs;
    request.defines.insert(request.defines.end(), options.defines.begin(), options.defines.end());
    return file.value().path();
}

// The defines, the word lists (--kinds, --members, --scopes, --sections),
// --no-syntax and --layout into request; false after telling what is wrong.
bool applyChoices(const GenerateOptions& options, GenerationRequest& request) {
    if (auto defines = readDefines(options.defines); !defines) {
        printLine(std::cerr, "tarnwick generate: ", defines.error().message);
        return false;
    }
    const struct {
        bool given;
        const std::string& text;
        FieldList list;
    } lists[] = {
        {options.kindsGiven, options.kinds, FieldList::Kinds},
        {options.membersGiven, options.members, FieldList::Members},
        {options.scopesGiven, options.scopes, FieldList::Scopes},
        {options.sectionsGiven, options.sections, FieldList::Sections},
    };
    for (const auto& l : lists) {
        if (!l.given) continue;
        const std::string bad = applyWords(l.text, l.list, request.settings);
        if (!bad.empty()) {
            printLine(std::cerr, "tarnwick generate: ",
                      "unknown word \"" + bad + "\" in --" + listName(l.list) +
                          " (known: " + wordList(l.list) + ")");
            return false;
        }
    }
    if (options.noSyntax) request.settings.Syntax = false;
    if (!options.layout.empty()) {
        const auto layout = layoutOfWord(options.layout);
        if (!layout) {
            printLine(
                std::cerr, "tarnwick generate: ",
                "unknown layout \"" + options.layout + "\" in --layout (known: frames, modern)");
            return false;
        }
        request.settings.layout = *layout;
    }
    return true;
}

// Whether the run can start: the request passes the core's check (the
// language only when --language named it; a refusal names the option) and
// names an output folder;
// false after telling what is wrong. settingsPath names the settings file
// for a missing output folder.
bool readyToRun(const GenerateOptions& options, const GenerationRequest& request,
                const std::string& settingsPath) {
    if (const auto problem = requestProblem(request, !options.language.empty())) {
        printLine(std::cerr, "tarnwick generate: --" + problem->key + ": ", problem->message);
        return false;
    }
    if (request.outputFolder.empty()) {
        printLine(std::cerr,
                  "tarnwick generate: no output folder: give -o FOLDER or set output in ",
                  settingsPath);
        return false;
    }
    return true;
}

// Whether the command line names a group: a group file or several projects.
bool isGroup(const GenerateOptions& options) {
    return options.projects.size() > 1 || isGroupFile(options.project);
}

// The run of a single project, never deleted: the program ends right after
// it, and handing a large model back piece by piece costs a re-run after a
// small edit a twentieth of its time, where the system takes the memory back
// at once. Held in a global, so a leak checker sees it still reachable.
GenerationRun* g_lastRun = nullptr;

GenerationRun& lastingRun(const GenerationRequest& request, Terminal& terminal) {
    g_lastRun = new GenerationRun(request, &terminal, &terminal);
    return *g_lastRun;
}

// Runs the generation with the terminal as its observer and Ctrl-C as its
// cancel; returns the exit status.
int runRequest(const GenerateOptions& options, const GenerationRequest& request) {
    // {now} in the user's date and time form; numbers stay in the C form so
    // that no number the core reads or writes changes with the locale.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");

    Terminal terminal(options.verbose, options.quiet);
    g_interrupted.store(false);
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // A second Ctrl-C ends the program at once; writes to the terminal resume.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, &previous);

    auto result =
        isGroup(options)
            ? GroupRun(request,
                       options.projects.size() > 1 ? options.projects : std::vector<std::string>{},
                       &terminal, &terminal)
                  .run()
            : lastingRun(request, terminal).run();

    sigaction(SIGINT, &previous, nullptr);
    terminal.finish();

    if (!result) {
        printLine(std::cerr, "tarnwick generate: ", result.error().message);
        return 1;
    }
    const GenerationResult& r = result.value();
    if (!options.quiet) {
        if (r.cancelled)
            std::cerr << "tarnwick generate: cancelled; the pages written so far are kept\n";
        printLine(std::cout, "", r.indexPath);
    }
    if (r.modulesFailed > 0 || !r.failures.empty()) {
        std::cerr << "tarnwick generate: " << r.modulesFailed << " module(s) failed, "
                  << r.failures.size() << " failure(s) in all; the site is incomplete\n";
    }
    if (r.cancelled) return 130;
    const bool compiled = r.qtHelpProject.empty() || compileQtHelp(r.qtHelpProject, options.quiet);
    return r.failures.empty() && r.modulesFailed == 0 && compiled ? 0 : 1;
}

int runGenerate(const GenerateOptions& options) {
    GenerationRequest request;
    const std::optional<std::string> settingsPath = requestFromSettings(options, request);
    if (!settingsPath || !applyChoices(options, request) ||
        !readyToRun(options, request, *settingsPath))
        return 2;
    if (!options.since.empty()) {
        // The earlier version is read as `diff` reads it, with this run's code page.
        auto since = readApiSide("tarnwick generate: ", options.since,
                                 {request.codePage, options.defines, std::string()});
        if (!since) return 2;
        request.since = std::make_shared<const ApiInterface>(std::move(*since));
        request.sinceName = options.since;
    }
    return runRequest(options, request);
}

// The options a user gives only when wanted; the callback asks them whether
// they were given (a given empty list differs from none).
struct GivenOptions {
    Option* kinds;
    Option* members;
    Option* scopes;
    Option* sections;
    Option* style;
    Option* codePage;
};

// What the site holds and looks like: --kinds ... --layout.
void addSiteOptions(Command* generate, GenerateOptions& options, GivenOptions& given) {
    given.kinds =
        generate->add_option("--kinds", options.kinds, kindsHelp("Module kinds that get pages"));
    given.members =
        generate->add_option("--members", options.members,
                             membersHelp("Member kinds that get summary tables and pages"));
    given.scopes =
        generate->add_option("--scopes", options.scopes,
                             scopesHelp("Scopes whose members are documented") +
                                 "; members of other scopes get no page, row, entry or link");
    given.sections = generate->add_option(
        "--sections", options.sections,
        "Parts of the site, comma-separated: syntax, parameters, returns, source (member page "
        "sections), uml (the UML page), libraries (the project summary's tables) (default: all)");
    generate->add_flag("--no-syntax", options.noSyntax,
                       "Leave the syntax section off member pages (short for leaving syntax out "
                       "of --sections)");
    given.style = generate->add_option(
        "--style", options.style,
        "A style of the Themes folder beside the program, e.g. Slate: its theme.css becomes the "
        "site's screen style sheet (default: the plain resource style)");
    generate->add_option("--layout", options.layout,
                         "The page frame: frames (the frameset start page, the default) or "
                         "modern (whole pages with a navigation tree and a search box, readable "
                         "on a phone)");
}

// How the project and its libraries are read: --settings ... --define.
void addInputOptions(Command* generate, GenerateOptions& options, GivenOptions& given) {
    generate->add_option("--settings", options.settingsFile, kSettingsHelp);
    given.codePage = generate->add_option("--codepage", options.codePage, kCodePageHelp);
    generate->add_option("--output-encoding", options.outputEncoding,
                         "Encoding of the pages, e.g. UTF-8 (default: the --codepage); "
                         "characters it cannot hold are written as &#NNNN;");
    generate->add_option("--registry", options.registry, kRegistryHelp);
    generate->add_option("--translation", options.translation, kTranslationHelp);
    generate->add_option("--language", options.language,
                         languageHelp("The translation section to use"));
    generate->add_option("--define", options.defines, kDefineHelp)->allow_extra_args(false);
}

// How the run goes: -v ... -j.
void addRunOptions(Command* generate, GenerateOptions& options) {
    generate->add_flag("-v,--verbose", options.verbose, "Print one line per member page");
    generate->add_flag("-q,--quiet", options.quiet, "Print nothing but errors");
    generate->add_flag("--force", options.force,
                       "Write into a non-empty folder that holds no earlier Tarnwick site");
    generate->add_flag("--no-cross-references", options.noCrossReferences,
                       "Leave out where members are used: no links in the code pages, no Used "
                       "by and Calls sections (a faster run)");
    generate->add_flag("--qhp", options.qhp,
                       "Also write a Qt help project (NAME.qhp) into the folder, and compile it "
                       "into NAME.qch when qhelpgenerator is installed");
    generate->add_flag("--docset", options.docset,
                       "Also write a Dash/Zeal docset (NAME.docset) of the site into the folder");
    generate->add_option("--since", options.since,
                         "Add a Changes page: what changed in the public interface since this "
                         "earlier version (a .vbp or a report `tarnwick api` wrote)");
    generate->add_flag("--full", options.full,
                       "Write every page again, also those that have not changed since the "
                       "last run into the folder");
    generate
        ->add_option("-j,--jobs", options.jobs,
                     "Threads that build and write the modules' pages (default: one per core)")
        ->check_range(1, kMaxJobs);
}

}  // namespace

void registerGenerateCommand(CommandLine& app, int& status) {
    auto options = std::make_shared<GenerateOptions>();
    Command* generate = app.add_subcommand(
        "generate",
        "Write the HTML documentation site (a group's settings file: GROUP.tarnwick beside the "
        ".vbg)");
    generate->add_option("PROJECTS", options->projects, kProjectsHelp)->required();
    generate->add_option("-o,--output", options->output,
                         "The folder the site is written into (default: the settings file's "
                         "output)");
    GivenOptions given{};
    addSiteOptions(generate, *options, given);
    addInputOptions(generate, *options, given);
    addRunOptions(generate, *options);
    // status outlives the app: main owns both and parses within its lifetime.
    generate->callback([options, given, &status] {
        options->kindsGiven = given.kinds->count() > 0;
        options->membersGiven = given.members->count() > 0;
        options->scopesGiven = given.scopes->count() > 0;
        options->sectionsGiven = given.sections->count() > 0;
        options->styleGiven = given.style->count() > 0;
        options->codePageGiven = given.codePage->count() > 0;
        options->project = options->projects.front();
        status = runGenerate(*options);
    });
}

}  // namespace tarnwick::cli
