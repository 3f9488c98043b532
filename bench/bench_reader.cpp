// Reading a big project: 1,000 module files of 300 lines (300,000 lines),
// written once by the big-project maker into a scratch folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "BigProject.h"
#include "reader/CParser.h"
#include "reader/DesignerBlock.h"
#include "reader/modRegistry.h"
#include "support/CodePage.h"

namespace {

using namespace tarnwick;

// The project is written on first use and removed when the program ends.
class BigProjectFolder {
public:
    BigProjectFolder() {
        m_folder = (std::filesystem::temp_directory_path() /
                    ("tarnwick-bench-reader-" + std::to_string(::getpid())))
                       .string();
        m_stats = makeBigProject(m_folder);
    }
    ~BigProjectFolder() { std::filesystem::remove_all(m_folder); }
    std::string projectFile() const { return m_folder + "/BigProject.vbp"; }
    const BigProjectStats& stats() const { return m_stats; }

private:
    std::string m_folder;
    BigProjectStats m_stats;
};

const BigProjectFolder& bigProject() {
    static BigProjectFolder folder;
    return folder;
}

// Reads the big project state's iterations long and reports its lines.
void parseBigProject(benchmark::State& state, bool crossReferences, const CodePage& codePage) {
    const BigProjectFolder& project = bigProject();
    auto registry = std::make_shared<const RegistrySource>();
    size_t members = 0;
    for (auto _ : state) {
        CParser parser;
        parser.setPath(project.projectFile());
        parser.setRegistry(registry);
        parser.setCodePage(codePage);
        parser.setCrossReferences(crossReferences);
        auto result = parser.Parse();
        if (!result) {
            state.SkipWithError(result.error().message.c_str());
            return;
        }
        members = static_cast<size_t>(result.value()->Classes().count() +
                                      result.value()->Modules().count() +
                                      result.value()->Forms().count());
        benchmark::DoNotOptimize(result.value());
    }
    state.counters["modules"] = static_cast<double>(members);
    state.counters["lines"] = static_cast<double>(project.stats().lines);
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(project.stats().lines),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

// /1: with the cross-references resolved (the default), /0: without.
void BM_ParseBigProject(benchmark::State& state) {
    parseBigProject(state, state.range(0) != 0, CodePage());
}
BENCHMARK(BM_ParseBigProject)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same project in a multi-byte code page: every file is decoded by
// iconv, which a table-driven code page such as the default never calls.
// Without the cross-references, so the decoding weighs more.
void BM_ParseBigProjectIconv(benchmark::State& state) {
    auto gbk = CodePage::open("GBK");
    if (!gbk) {
        state.SkipWithError(gbk.error().message.c_str());
        return;
    }
    parseBigProject(state, false, gbk.value());
}
BENCHMARK(BM_ParseBigProjectIconv)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One module text read from memory, without the file system.
void BM_ReadModuleText(benchmark::State& state) {
    std::string text = "Attribute VB_Name = \"Bench\"\r\n";
    for (int i = 0; i < 1000; ++i) {
        text += "' Routine " + std::to_string(i) + " @a the first @b the second\r\n";
        text += "Public Function F" + std::to_string(i) +
                "(ByVal a As Long, Optional b As String = \", \") As Long\r\n";
        text += "    F" + std::to_string(i) + " = a + Len(b)\r\nEnd Function\r\n\r\n";
    }
    for (auto _ : state) {
        CParser parser;
        auto module = parser.readModuleText(text, moduletype::Module, "Bench.bas");
        benchmark::DoNotOptimize(module);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadModuleText)->Unit(benchmark::kMillisecond);

// The 539-module project with 200 forms of 40 controls in three levels of
// containers and menus beside it: /1 and /0 read it with and without the
// cross-references. BM_DesignerBlocksOnly reads the same 200 designer
// blocks alone, from lines already split as the reader has them: the share
// the designer blocks add to the reader's time is its time against this one's.
class DesignedProjectFolder {
public:
    DesignedProjectFolder() {
        m_folder = (std::filesystem::temp_directory_path() /
                    ("tarnwick-bench-forms-" + std::to_string(::getpid())))
                       .string();
        m_stats = makeBigProject(m_folder, 539, 300, kForms);
    }
    ~DesignedProjectFolder() { std::filesystem::remove_all(m_folder); }
    std::string projectFile() const { return m_folder + "/BigProject.vbp"; }
    static constexpr int kForms = 200;

private:
    std::string m_folder;
    BigProjectStats m_stats;
};

void BM_ParseDesignedProject(benchmark::State& state) {
    static DesignedProjectFolder project;
    auto registry = std::make_shared<const RegistrySource>();
    for (auto _ : state) {
        CParser parser;
        parser.setPath(project.projectFile());
        parser.setRegistry(registry);
        parser.setCrossReferences(state.range(0) != 0);
        auto result = parser.Parse();
        if (!result) {
            state.SkipWithError(result.error().message.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.value());
    }
}
BENCHMARK(BM_ParseDesignedProject)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DesignerBlocksOnly(benchmark::State& state) {
    std::vector<std::pair<CStringLines, int32_t>> forms;  // the lines, the first Attribute line
    for (int i = 0; i < DesignedProjectFolder::kForms; ++i) {
        CStringLines lines(makeDesignedForm("frmDesign" + std::to_string(i)));
        int32_t end = 0;
        while (end <= lines.Count() && lines.Line(end).rfind("Attribute ", 0) != 0) ++end;
        forms.emplace_back(std::move(lines), end);
    }
    size_t controls = 0;
    for (auto _ : state) {
        controls = 0;
        for (const auto& [lines, end] : forms) {
            auto design = readDesignerBlock(lines, end, "bench.frm", nullptr);
            for (const DesignControl& c : design->form.children) controls += 1 + c.children.size();
            benchmark::DoNotOptimize(design);
        }
    }
    state.counters["top controls"] = static_cast<double>(controls);
}
BENCHMARK(BM_DesignerBlocksOnly)->Unit(benchmark::kMillisecond);

}  // namespace
