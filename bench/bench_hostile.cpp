// Hostile module shapes, read and written: each must stay linear, so every
// case is measured at two sizes (the full size and a quarter of it); the
// ratio of the two times shows a quadratic spot at once (about 4 when
// linear, about 16 when quadratic). The full size must stay well under a
// second in a release build.
//
//   Decl2MB        one Declare line of 2 MB (a long argument list)
//   Variable2MB    one variable line of 2 MB (a list of 100,000 names, each an element)
//   Comment2MB     one comment line of 2 MB above a function
//   Continued20k   one Function header continued over 20,000 lines
//   ContComment20k a comment continued over 20,000 lines
//   Lines100k      a module of 100,000 lines (functions of 5 lines each)
//   Blanks100k     a line of 100,000 blanks, and a declaration padded with them
//   IfBlocks60k    a module of 60,000 lines with 2,000 #If blocks: declares in
//                  both branches, and routines whose header alone is inside
//
// "Parse" reads the module text; "Generate" writes the module's pages
// (overview with member pages, UML, object model, code) into a scratch folder.
//
// "GiantModule" runs `tarnwick generate` on a project of one module whose
// Sub holds one giant line, and reports the program's peak memory (maximum
// resident set size) beside the aim, six times the module plus 100 MiB:
//   Line16MB, Line64MB  a statement line (the largest module accepted is 64 MB)
//   Keywords16MB        a line dense with keywords, each coloured on its own
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "generator/layout/PageFrame.h"
#include "generator/pages/ModulePages.h"
#include "generator/pages/SourcePage.h"
#include "generator/run/SiteWriter.h"
#include "generator/site/PageContext.h"
#include "reader/CParser.h"

namespace {

using namespace tarnwick;

// The module text of one case at the given scale (1.0 = the full size).
std::string hostileText(int which, double scale) {
    std::string text = "Attribute VB_Name = \"Hostile\"\r\n";
    switch (which) {
        case 0: {  // a 2 MB Declare line
            const size_t target = static_cast<size_t>(2'000'000 * scale);
            text += "Public Declare Function Huge Lib \"huge.dll\" (";
            for (int i = 0; text.size() < target; ++i)
                text += "ByVal a" + std::to_string(i) + " As Long, ";
            text += "ByVal z As Long) As Long\r\n";
            break;
        }
        case 1: {  // a 2 MB variable line
            const size_t target = static_cast<size_t>(2'000'000 * scale);
            text += "Public v0 As Long";
            for (int i = 1; text.size() < target; ++i)
                text += ", v" + std::to_string(i) + " As String * 20";
            text += "\r\n";
            break;
        }
        case 2: {  // a 2 MB comment line with tags
            const size_t target = static_cast<size_t>(2'000'000 * scale);
            text += "Option Explicit\r\n\r\n'";
            for (int i = 0; text.size() < target; ++i)
                text += " word's @a" + std::to_string(i) + " said  so";
            text += "\r\nPublic Function F(ByVal a1 As Long) As Long\r\nEnd Function\r\n";
            break;
        }
        case 3: {  // a Function header continued over 20,000 lines
            const int lines = static_cast<int>(20'000 * scale);
            text += "Public Function Long_(ByVal a0 As Long, _\r\n";
            for (int i = 1; i < lines; ++i)
                text += "    ByVal a" + std::to_string(i) + " As Long, _\r\n";
            text += "    ByVal z As Long) As Long\r\n    Long_ = 0\r\nEnd Function\r\n";
            break;
        }
        case 4: {  // a comment continued over 20,000 lines, then a Sub
            const int lines = static_cast<int>(20'000 * scale);
            text += "' A comment that goes on _\r\n";
            for (int i = 1; i < lines; ++i) text += "  and on " + std::to_string(i) + " _\r\n";
            text += "  and ends.\r\nPublic Sub S()\r\nEnd Sub\r\n";
            break;
        }
        case 5: {  // 100,000 lines
            const int lines = static_cast<int>(100'000 * scale);
            for (int i = 0; i * 5 < lines; ++i) {
                const std::string n = std::to_string(i);
                text += "' Routine " + n + ".\r\nPublic Function F" + n +
                        "(ByVal a As Long) As Long\r\n    F" + n + " = a + " + n +
                        "\r\nEnd Function\r\n\r\n";
            }
            break;
        }
        case 6: {  // a line of 100,000 blanks, and a declaration padded with them
            const size_t blanks = static_cast<size_t>(100'000 * scale);
            text += "' Comment\r\n" + std::string(blanks, ' ') + "\r\n";
            text += "Public Function F(" + std::string(blanks, ' ') + "ByVal a As Long" +
                    std::string(blanks, ' ') + ") As Long" + std::string(blanks, ' ') +
                    "\r\nEnd Function\r\n";
            text += "Public Sub S()\r\n" + std::string(blanks, ' ') + "x = 1\r\nEnd Sub\r\n";
            break;
        }
        case 7: {  // 60,000 lines, 2,000 #If blocks
            const int blocks = static_cast<int>(1'000 * scale);
            for (int i = 0; i < blocks; ++i) {
                const std::string n = std::to_string(i);
                text += "' Api " + n + "\r\n#If VBA7 Then\r\nPrivate Declare PtrSafe Function Api" +
                        n + " Lib \"k\" (ByVal h As LongPtr) As LongPtr\r\n#Else\r\n" +
                        "Private Declare Function Api" + n +
                        " Lib \"k\" (ByVal h As Long) As Long\r\n#End If\r\n";
            }
            for (int i = 0; i < blocks; ++i) {
                const std::string n = std::to_string(i);
                text += "' Routine " + n + "\r\n#If Win64 Then\r\nPublic Function F" + n +
                        "(ByVal h As LongPtr) As LongPtr\r\n#Else\r\nPublic Function F" + n +
                        "(ByVal h As Long) As Long\r\n#End If\r\n";
                for (int line = 0; line < 46; ++line) text += "    h = h + " + n + "\r\n";
                text += "    F" + n + " = h\r\nEnd Function\r\n";
            }
            break;
        }
        default:
            break;
    }
    return text;
}

std::shared_ptr<CModule> parse(const std::string& text) {
    CParser parser;
    return parser.readModuleText(text, moduletype::Module, "Hostile.bas");
}

void hostileParse(benchmark::State& state, int which, double scale) {
    const std::string text = hostileText(which, scale);
    for (auto _ : state) {
        auto module = parse(text);
        benchmark::DoNotOptimize(module);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}

// A scratch folder for the written pages, removed when the program ends.
class Scratch {
public:
    Scratch()
        : m_folder((std::filesystem::temp_directory_path() /
                    ("tarnwick-bench-hostile-" + std::to_string(::getpid())))
                       .string() +
                   "/") {
        std::filesystem::create_directories(m_folder);
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    const std::string& folder() const { return m_folder; }
    void clear() const {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder, ec))
            std::filesystem::remove_all(entry.path(), ec);
    }
    // Bytes of every file written so far (the pages of one case).
    double bytes() const {
        double total = 0;
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(m_folder, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_regular_file(ec)) total += static_cast<double>(it->file_size(ec));
        }
        return total;
    }

private:
    std::string m_folder;
};

void hostileGenerate(benchmark::State& state, int which, double scale) {
    static const Scratch scratch;
    const std::string text = hostileText(which, scale);
    scratch.clear();
    auto module = parse(text);
    module->setModuleType(moduletype::Module);
    CProject project;
    project.Modules().Add(module);
    PageContext ctx;
    SiteWriter writer(scratch.folder(), nullptr, "01/01/2026 00:00:00", 0, true);
    ctx.settings = GenerationSettings::dialogDefaults();
    ctx.settings.Implementations = true;
    ctx.now = [] { return std::string("01/01/2026 00:00:00"); };
    for (auto _ : state) {
        try {
            for (const Page& page : framePages(buildModulePages(*module, project, ctx), ctx))
                writer.write(page, ctx.codePage);
        } catch (const PageWriteError& e) {
            state.SkipWithError(e.what());
            return;
        }
    }
    // The pages are many times the module's size: what a second buys here.
    state.counters["pages_MB"] = scratch.bytes() / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}

// A project of one module of about bytes: a Sub of one line of repeated units.
void writeGiantProject(const std::string& folder, bool keywords, size_t bytes) {
    const std::string unit = keywords ? "If Not x Then y = True Else y = False: "
                                      : "s = s & \"abc def\" & x1 + y2 * 3: ";
    std::string line;
    line.reserve(1 << 20);
    while (line.size() + unit.size() <= (1u << 20)) line += unit;
    std::ofstream module(folder + "giant.bas", std::ios::binary);
    module << "Attribute VB_Name = \"Giant\"\r\n' A giant.\r\nPublic Sub S()\r\n    ";
    for (size_t written = 100; written + line.size() < bytes; written += line.size())
        module << line;
    module << "s = 1\r\nEnd Sub\r\n";
    std::ofstream(folder + "G.vbp", std::ios::binary)
        << "Type=Exe\r\nModule=Giant; giant.bas\r\nName=\"G\"\r\n";
}

void giantModule(benchmark::State& state, bool keywords, size_t megabytes) {
    static const Scratch scratch;
    scratch.clear();
    const std::string vbp = scratch.folder() + "G.vbp";
    const std::string out = scratch.folder() + "site";
    writeGiantProject(scratch.folder(), keywords, megabytes << 20);
    const double module =
        static_cast<double>(std::filesystem::file_size(scratch.folder() + "giant.bas")) / (1 << 20);
    long peakKiB = 0;
    for (auto _ : state) {
        // A child of its own, so its peak is the run's alone.
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl(TARNWICK_BIN_DIR "/tarnwick", "tarnwick", "generate", vbp.c_str(), "-o",
                    out.c_str(), "-q", "-j", "1", "--full", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("tarnwick generate failed");
            return;
        }
        peakKiB = usage.ru_maxrss;
    }
    state.counters["module_MiB"] = module;
    state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024;
    state.counters["aim_MiB"] = 6 * module + 100;
}

// Every case at a quarter and at the full size, read and written.
const bool registered = [] {
    static const char* const names[] = {"Decl2MB",      "Variable2MB",    "Comment2MB",
                                        "Continued20k", "ContComment20k", "Lines100k",
                                        "Blanks100k",   "IfBlocks60k"};
    for (int which = 0; which < 8; ++which) {
        for (const auto& [size, scale] : {std::pair{"quarter", 0.25}, std::pair{"full", 1.0}}) {
            const std::string name = std::string(names[which]) + "/" + size;
            benchmark::RegisterBenchmark(("HostileParse/" + name).c_str(), hostileParse, which,
                                         scale)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("HostileGenerate/" + name).c_str(), hostileGenerate,
                                         which, scale)
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (const auto& [name, keywords, megabytes] :
         {std::tuple{"Line16MB", false, 16}, std::tuple{"Line64MB", false, 64},
          std::tuple{"Keywords16MB", true, 16}}) {
        benchmark::RegisterBenchmark((std::string("GiantModule/") + name).c_str(), giantModule,
                                     keywords, static_cast<size_t>(megabytes))
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kSecond);
    }
    return true;
}();

}  // namespace
