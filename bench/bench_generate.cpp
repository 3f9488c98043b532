// Generating the site of the synthetic big project (1,000 modules, 300,000
// lines, about 20,000 member pages), timed side by side with `cp -r` of the
// finished site on the same machine. The target: generation within 3 times
// the copy. Counters: copy_s (seconds of the copy), ratio (generation time
// over copy time), pages (files in the site).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BigProject.h"
#include "generator/GenerationRun.h"

namespace {

using namespace tarnwick;
namespace fs = std::filesystem;

class Scratch {
public:
    Scratch() {
        m_folder =
            fs::temp_directory_path() / ("tarnwick-bench-generate-" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
        m_stats = makeBigProject((m_folder / "project").string());
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(m_folder, ec);
    }
    const fs::path& folder() const { return m_folder; }
    const BigProjectStats& stats() const { return m_stats; }

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

void BM_GenerateBigSite(benchmark::State& state) {
    const Scratch& s = scratch();
    const fs::path site = s.folder() / "site";
    const fs::path copy = s.folder() / "copy";
    double generated = 0, copied = 0;
    long long files = 0;
    for (auto _ : state) {
        std::error_code ec;
        fs::remove_all(site, ec);
        fs::remove_all(copy, ec);

        GenerationRequest request;
        request.projectPath = (s.folder() / "project" / "BigProject.vbp").string();
        request.outputFolder = site.string();
        const auto start = std::chrono::steady_clock::now();
        auto result = GenerationRun(request, nullptr, nullptr).run();
        const double g = seconds(start);
        if (!result || result->modulesFailed > 0) {
            state.SkipWithError(result ? "some modules failed" : result.error().message.c_str());
            return;
        }

        const std::string command = "cp -r '" + site.string() + "' '" + copy.string() + "'";
        const auto copyStart = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("cp -r failed");
            return;
        }
        const double c = seconds(copyStart);
        state.SetIterationTime(g);
        generated += g;
        copied += c;
    }
    for (const auto& entry : fs::recursive_directory_iterator(site)) {
        if (entry.is_regular_file()) ++files;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["generate_s"] = generated / n;
    state.counters["copy_s"] = copied / n;
    state.counters["ratio"] = copied > 0 ? generated / copied : 0;
    state.counters["files"] = static_cast<double>(files);
    state.counters["members"] = s.stats().members;
}
BENCHMARK(BM_GenerateBigSite)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace
