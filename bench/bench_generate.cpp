// The site of a synthetic project the size of a large application (700
// modules, about 400,000 lines, 17,000 files), each figure beside `cp -r` of
// the finished site in the same run on the same machine:
// - BM_FullRun: a run into an empty folder (target: at most 1.5 times the copy);
// - BM_UnchangedRerun: a second run into the same folder (targets: at most
//   0.1 s and a tenth of a full run, no page written: only stat is asked);
// - BM_OneModuleChanged/0: a run after a statement in one module's body
//   changed; /1: after one module got a member more (target: at most 35 % of
//   a full run; only that module's pages and the lists naming it are
//   written, and the site is the one a full run into a fresh folder gives,
//   byte for byte);
// - BM_ModernLayout: the same project in the modern and the framed layout,
//   runs alternating into fresh folders (targets: at most 1.25 times the
//   framed site's bytes and 1.15 times its run's time);
// - BM_PeakMemory: `tarnwick generate` and `tarnwick dump` as programs, their
//   peak resident memory (targets: 300 MiB and 150 MiB) and the dump's time
//   (target: under 1 s);
// - BM_CrossReferencesCost: generate with and without cross-references
//   (targets: at most 1.3 times the time, 1.5 times the memory);
// - BM_CodePageBytes: the code page of one 60,000-line class against its
//   module file's bytes, in both layouts (target: the modern page at most
//   2.5 times the file).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BigProject.h"
#include "generator/run/GenerationRun.h"

namespace {

using namespace tarnwick;
namespace fs = std::filesystem;

constexpr int kModules = 700;
constexpr int kLinesPerModule = 570;

class Scratch {
public:
    Scratch() {
        m_folder =
            fs::temp_directory_path() / ("tarnwick-bench-generate-" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
        m_stats = makeBigProject((m_folder / "project").string(), kModules, kLinesPerModule);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(m_folder, ec);
    }
    const fs::path& folder() const { return m_folder; }
    const BigProjectStats& stats() const { return m_stats; }
    std::string project() const { return (m_folder / "project" / "BigProject.vbp").string(); }

private:
    fs::path m_folder;
    BigProjectStats m_stats;
};

const Scratch& scratch() {
    static Scratch s;
    return s;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A run into folder; nullopt-like failure reported through state.
bool generate(benchmark::State& state, const fs::path& folder, GenerationResult* out = nullptr,
              PageLayout layout = PageLayout::Frames) {
    GenerationRequest request;
    request.settings.layout = layout;
    request.projectPath = scratch().project();
    request.outputFolder = folder.string();
    request.fixedTime = "1000000000";  // a re-run's site can be compared with a fresh one
    auto result = GenerationRun(request, nullptr, nullptr).run();
    if (!result || result->modulesFailed > 0) {
        state.SkipWithError(result ? "some modules failed" : result.error().message.c_str());
        return false;
    }
    if (out) *out = result.value();
    return true;
}

// Seconds of `cp -r from to` (to removed first).
double copySeconds(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::remove_all(to, ec);
    const std::string command = "cp -r '" + from.string() + "' '" + to.string() + "'";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    return seconds(start);
}

long long fileCount(const fs::path& site) {
    long long files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(site))
        if (entry.is_regular_file()) ++files;
    return files;
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// 1 when every file of fresh is in site with the same bytes (the manifest,
// which records file times, left out).
double sameSite(const fs::path& fresh, const fs::path& site) {
    for (const auto& entry : fs::recursive_directory_iterator(fresh)) {
        if (!entry.is_regular_file() || entry.is_symlink()) continue;
        const fs::path rel = entry.path().lexically_relative(fresh);
        if (rel == ".tarnwick-manifest") continue;
        if (readAll(entry.path()) != readAll(site / rel)) return 0;
    }
    return 1;
}

void BM_FullRun(benchmark::State& state) {
    const Scratch& s = scratch();
    const fs::path site = s.folder() / "site";
    double generated = 0, copied = 0;
    for (auto _ : state) {
        std::error_code ec;
        fs::remove_all(site, ec);
        const auto start = std::chrono::steady_clock::now();
        if (!generate(state, site)) return;
        const double g = seconds(start);
        const double c = copySeconds(site, s.folder() / "copy");
        state.SetIterationTime(g);
        generated += g;
        copied += c;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["generate_s"] = generated / n;
    state.counters["copy_s"] = copied / n;
    state.counters["ratio"] = copied > 0 ? generated / copied : 0;
    state.counters["files"] = static_cast<double>(fileCount(site));
    state.counters["lines"] = static_cast<double>(s.stats().lines);
}
BENCHMARK(BM_FullRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void BM_UnchangedRerun(benchmark::State& state) {
    const Scratch& s = scratch();
    const fs::path site = s.folder() / "site";
    std::error_code ec;
    fs::remove_all(site, ec);
    auto start = std::chrono::steady_clock::now();
    if (!generate(state, site)) return;
    const double full = seconds(start);
    double rerun = 0, written = 0;
    for (auto _ : state) {
        GenerationResult result;
        start = std::chrono::steady_clock::now();
        if (!generate(state, site, &result)) return;
        const double r = seconds(start);
        state.SetIterationTime(r);
        rerun += r;
        written += result.pagesWritten;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["full_s"] = full;
    state.counters["rerun_s"] = rerun / n;
    state.counters["copy_s"] = copySeconds(site, s.folder() / "copy");
    state.counters["of_full"] = rerun / n / full;
    state.counters["written"] = written / n;
}
BENCHMARK(BM_UnchangedRerun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void BM_OneModuleChanged(benchmark::State& state) {
    const Scratch& s = scratch();
    const fs::path site = s.folder() / "site";
    std::error_code ec;
    fs::remove_all(site, ec);
    auto start = std::chrono::steady_clock::now();
    if (!generate(state, site)) return;
    const double full = seconds(start);
    // The first class file in name order changes, then changes back.
    fs::path module;
    for (const auto& entry : fs::directory_iterator(s.folder() / "project" / "Classes"))
        if (module.empty() || entry.path() < module) module = entry.path();
    const std::string original = readAll(module);
    const bool memberAdded = state.range(0) == 1;
    std::string changed = original;
    if (memberAdded) {
        changed += "Public Sub BenchAdded()\r\nEnd Sub\r\n";
    } else {
        const size_t at = changed.find("    If Id < 0 Then Id = 0");
        if (at == std::string::npos) {
            state.SkipWithError("no statement to change in the module");
            return;
        }
        changed.replace(at, 25, "    If Id < 1 Then Id = 1");
    }
    double rerun = 0, written = 0;
    bool isChanged = false;
    for (auto _ : state) {
        isChanged = !isChanged;
        std::ofstream(module, std::ios::binary) << (isChanged ? changed : original);
        GenerationResult result;
        start = std::chrono::steady_clock::now();
        if (!generate(state, site, &result)) return;
        const double r = seconds(start);
        state.SetIterationTime(r);
        rerun += r;
        written += result.pagesWritten;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["full_s"] = full;
    state.counters["rerun_s"] = rerun / n;
    state.counters["of_full"] = rerun / n / full;
    state.counters["written"] = written / n;
    // The site as it stands against a full run into a fresh folder.
    const fs::path fresh = s.folder() / "fresh";
    fs::remove_all(fresh, ec);
    if (!generate(state, fresh)) return;
    state.counters["identical"] = sameSite(fresh, site);
    fs::remove_all(fresh, ec);
    std::ofstream(module, std::ios::binary) << original;
}
BENCHMARK(BM_OneModuleChanged)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(2)
    ->Arg(0)
    ->Arg(1);

// Bytes of the files under folder.
double siteBytes(const fs::path& folder) {
    double bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && !entry.is_symlink()) bytes += entry.file_size();
    return bytes;
}

void BM_ModernLayout(benchmark::State& state) {
    const Scratch& s = scratch();
    double taken[2] = {0, 0}, bytes[2] = {0, 0};  // modern, framed
    for (auto _ : state) {
        const double modernBefore = taken[0];
        for (const PageLayout layout : {PageLayout::Modern, PageLayout::Frames}) {
            const int i = layout == PageLayout::Modern ? 0 : 1;
            const fs::path site = s.folder() / (i == 0 ? "site-modern" : "site-framed");
            std::error_code ec;
            fs::remove_all(site, ec);
            const auto start = std::chrono::steady_clock::now();
            if (!generate(state, site, nullptr, layout)) return;
            taken[i] += seconds(start);
            bytes[i] = siteBytes(site);
        }
        state.SetIterationTime(taken[0] - modernBefore);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["modern_s"] = taken[0] / n;
    state.counters["framed_s"] = taken[1] / n;
    state.counters["time_ratio"] = taken[0] / taken[1];
    state.counters["modern_MB"] = bytes[0] / 1e6;
    state.counters["framed_MB"] = bytes[1] / 1e6;
    state.counters["bytes_ratio"] = bytes[0] / bytes[1];
}
BENCHMARK(BM_ModernLayout)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// Runs the program with arguments under /usr/bin/time, stdout into outFile;
// its seconds and its peak resident memory in MiB. (A child forked from
// this process would count this process's memory as its own.)
bool runProgram(const std::vector<std::string>& arguments, const std::string& outFile,
                double& secondsTaken, double& peakMiB) {
    const std::string report = outFile + ".time";
    std::string command = "/usr/bin/time -f '%e %M' -o '" + report + "'";
    for (const auto& a : arguments) command += " '" + a + "'";
    command += " > '" + outFile + "'";
    if (std::system(command.c_str()) != 0) return false;
    std::ifstream in(report);
    double kib = 0;
    if (!(in >> secondsTaken >> kib)) return false;
    peakMiB = kib / 1024.0;
    return true;
}

void BM_PeakMemory(benchmark::State& state) {
    const Scratch& s = scratch();
    const std::string program = std::string(TARNWICK_BIN_DIR) + "/tarnwick";
    const fs::path site = s.folder() / "site-cli";
    double generateMiB = 0, dumpMiB = 0, dumpSeconds = 0, generateSeconds = 0;
    for (auto _ : state) {
        std::error_code ec;
        fs::remove_all(site, ec);
        if (!runProgram({program, "generate", "-q", s.project(), "-o", site.string()},
                        (s.folder() / "generate.out").string(), generateSeconds, generateMiB) ||
            !runProgram({program, "dump", s.project()}, (s.folder() / "dump.json").string(),
                        dumpSeconds, dumpMiB)) {
            state.SkipWithError("tarnwick generate or dump failed");
            return;
        }
        state.SetIterationTime(dumpSeconds);
    }
    state.counters["generate_MiB"] = generateMiB;
    state.counters["generate_s"] = generateSeconds;
    state.counters["dump_MiB"] = dumpMiB;
    state.counters["dump_s"] = dumpSeconds;
    state.counters["dump_MB"] = static_cast<double>(fs::file_size(s.folder() / "dump.json")) / 1e6;
}
BENCHMARK(BM_PeakMemory)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

// The price of the cross-references: `tarnwick generate` into an empty
// folder with them and with --no-cross-references, one after the other in
// each iteration (targets: at most 1.3 times the time and 1.5 times the
// peak memory of the run without).
void BM_CrossReferencesCost(benchmark::State& state) {
    const Scratch& s = scratch();
    const std::string program = std::string(TARNWICK_BIN_DIR) + "/tarnwick";
    double with = 0, without = 0, withMiB = 0, withoutMiB = 0;
    for (auto _ : state) {
        for (const bool references : {true, false}) {
            const fs::path site = s.folder() / (references ? "site-refs" : "site-norefs");
            std::error_code ec;
            fs::remove_all(site, ec);
            std::vector<std::string> args{program,     "generate", "-q",
                                          s.project(), "-o",       site.string()};
            if (!references) args.push_back("--no-cross-references");
            double secondsTaken = 0, peakMiB = 0;
            if (!runProgram(args, (s.folder() / "refs.out").string(), secondsTaken, peakMiB)) {
                state.SkipWithError("tarnwick generate failed");
                return;
            }
            (references ? with : without) += secondsTaken;
            (references ? withMiB : withoutMiB) =
                std::max(references ? withMiB : withoutMiB, peakMiB);
        }
        state.SetIterationTime(with);
    }
    state.counters["with_s"] = with / static_cast<double>(state.iterations());
    state.counters["without_s"] = without / static_cast<double>(state.iterations());
    state.counters["time_ratio"] = without > 0 ? with / without : 0;
    state.counters["memory_ratio"] = withoutMiB > 0 ? withMiB / withoutMiB : 0;
}
BENCHMARK(BM_CrossReferencesCost)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The code page of one 60,000-line class in each layout against the bytes
// of its module file (target for the modern page: at most 2.5 times).
void BM_CodePageBytes(benchmark::State& state) {
    const fs::path folder = scratch().folder() / "one-module";
    makeBigProject((folder / "project").string(), 1, 60000);
    const fs::path module = folder / "project" / "Classes" / "CCustomer0001.cls";
    double bytes[2] = {0, 0};  // modern, framed
    for (auto _ : state) {
        double taken = 0;  // the modern run's
        for (const PageLayout layout : {PageLayout::Modern, PageLayout::Frames}) {
            const int i = layout == PageLayout::Modern ? 0 : 1;
            GenerationRequest request;
            request.settings.layout = layout;
            request.projectPath = (folder / "project" / "BigProject.vbp").string();
            request.outputFolder = (folder / (i == 0 ? "modern" : "framed")).string();
            const auto start = std::chrono::steady_clock::now();
            auto result = GenerationRun(request, nullptr, nullptr).run();
            if (i == 0) taken += seconds(start);
            if (!result || result->modulesFailed > 0) return state.SkipWithError("run failed");
            bytes[i] = static_cast<double>(fs::file_size(fs::path(request.outputFolder) /
                                                         "Classes" / "CCustomer0001_Code.html"));
        }
        state.SetIterationTime(taken);
    }
    const double source = static_cast<double>(fs::file_size(module));
    state.counters["source_MB"] = source / 1e6;
    state.counters["modern_MB"] = bytes[0] / 1e6;
    state.counters["framed_MB"] = bytes[1] / 1e6;
    state.counters["modern_ratio"] = bytes[0] / source;
    state.counters["framed_ratio"] = bytes[1] / source;
}
BENCHMARK(BM_CodePageBytes)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace
