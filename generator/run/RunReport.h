// RunReport: what a run tells its observer and diagnostics, kept to be told again.
//
// A ReportRecorder stands between the run and the caller's observer and
// diagnostics sink: it passes everything on and keeps a copy (a line told
// several times in a row is kept once, with its count). replayReport() tells
// a kept report again, so a run that finds nothing changed reports exactly
// what the run that wrote the site reported, without reading the project.
// The recorder's diagnostics side may be called from any thread; its
// observer side from the run's thread only, like any observer.
#pragma once

#include <mutex>
#include <vector>

#include "generator/run/GenerationObserver.h"
#include "generator/run/SiteManifest.h"
#include "support/Diagnostics.h"

namespace tarnwick {

class ReportRecorder : public GenerationObserver, public DiagnosticsSink {
public:
    // observer may be null; both must outlive the recorder.
    ReportRecorder(GenerationObserver* observer, DiagnosticsSink& diagnostics)
        : m_observer(observer), m_diagnostics(diagnostics) {}

    void moduleStarted(const std::string& kindsKey, const std::string& info) override;
    void progress(double value, double max, const std::string& percentText) override;
    void consoleLine(const std::string& line) override;
    bool cancelRequested() override { return m_observer && m_observer->cancelRequested(); }
    const std::atomic<bool>* cancelFlag() const override {
        return m_observer ? m_observer->cancelFlag() : nullptr;
    }
    void report(const Diagnostic& diagnostic) override;

    std::vector<ReportEvent> take();

private:
    void keep(ReportEvent event);

    GenerationObserver* m_observer;
    DiagnosticsSink& m_diagnostics;
    std::mutex m_mutex;  // guards m_events
    std::vector<ReportEvent> m_events;
};

// Tells events to observer (may be null) and diagnostics, stopping when the
// observer asks to cancel after a module is announced; returns the number of
// modules announced and sets cancelled.
int replayReport(const std::vector<ReportEvent>& events, GenerationObserver* observer,
                 DiagnosticsSink& diagnostics, bool& cancelled);

}  // namespace tarnwick
