#include "generator/run/RunReport.h"

namespace tarnwick {

void ReportRecorder::keep(ReportEvent event) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (event.kind == ReportEvent::Kind::Console && !m_events.empty()) {
        ReportEvent& last = m_events.back();
        if (last.kind == ReportEvent::Kind::Console && last.a == event.a) {
            ++last.count;
            return;
        }
    }
    m_events.push_back(std::move(event));
}

void ReportRecorder::moduleStarted(const std::string& kindsKey, const std::string& info) {
    keep({ReportEvent::Kind::Started, kindsKey, info});
    if (m_observer) m_observer->moduleStarted(kindsKey, info);
}

void ReportRecorder::progress(double value, double max, const std::string& percentText) {
    ReportEvent event{ReportEvent::Kind::Progress, percentText, {}};
    event.value = value;
    event.max = max;
    keep(std::move(event));
    if (m_observer) m_observer->progress(value, max, percentText);
}

void ReportRecorder::consoleLine(const std::string& line) {
    keep({ReportEvent::Kind::Console, line, {}});
    if (m_observer) m_observer->consoleLine(line);
}

void ReportRecorder::report(const Diagnostic& diagnostic) {
    ReportEvent event{diagnostic.severity == Diagnostic::Severity::Error
                          ? ReportEvent::Kind::Error
                          : ReportEvent::Kind::Warning,
                      diagnostic.file, diagnostic.message};
    event.line = diagnostic.line;
    keep(std::move(event));
    m_diagnostics.report(diagnostic);
}

std::vector<ReportEvent> ReportRecorder::take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::move(m_events);
}

int replayReport(const std::vector<ReportEvent>& events, GenerationObserver* observer,
                 DiagnosticsSink& diagnostics, bool& cancelled) {
    int modules = 0;
    cancelled = false;
    for (const ReportEvent& e : events) {
        switch (e.kind) {
            case ReportEvent::Kind::Started:
                if (observer) observer->moduleStarted(e.a, e.b);
                ++modules;
                if (observer && observer->cancelRequested()) {
                    cancelled = true;
                    return modules - 1;
                }
                break;
            case ReportEvent::Kind::Progress:
                if (observer) observer->progress(e.value, e.max, e.a);
                break;
            case ReportEvent::Kind::Console:
                for (int i = 0; i < e.count && observer; ++i) observer->consoleLine(e.a);
                break;
            case ReportEvent::Kind::Warning:
            case ReportEvent::Kind::Error:
                diagnostics.report({e.kind == ReportEvent::Kind::Error
                                        ? Diagnostic::Severity::Error
                                        : Diagnostic::Severity::Warning,
                                    e.a, e.line, e.b});
                break;
        }
    }
    return modules;
}

}  // namespace tarnwick
