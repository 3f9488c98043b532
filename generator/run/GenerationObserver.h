// GenerationObserver: how a documentation run reports to its caller.
//
// The run calls these from the thread it runs on, never from the threads
// that build the pages: a module's console lines are kept until it is done
// and then told in module order. The CLI prints; the workbench forwards them
// to its progress window and console view (from a worker thread, so its
// implementation must queue to the GUI thread). cancelRequested() is asked
// at the run's cancel points (before each module is told and after each
// kind's index page and module loop), every 10 ms while the run waits for
// a module, and before each page of a module, from the thread building it;
// it must be cheap and thread-safe (an atomic flag). Modules being built
// when it says yes stop before their next page; no other module is started.
#pragma once

#include <atomic>
#include <string>

#include "generator/site/PageContext.h"

namespace tarnwick {

class GenerationObserver : public ConsoleSink {
public:
    virtual ~GenerationObserver() = default;

    // A module is about to be written. kindsKey: lower-case plural kind name,
    // the key of its icon ("classes", "forms", "modules", "propertypages",
    // "usercontrols", "userdocuments", "designers"); info: "Generating Class: CParser".
    virtual void moduleStarted(const std::string& kindsKey, const std::string& info) {
        (void)kindsKey;
        (void)info;
    }
    // Progress after a module: value of max, and the text shown ("50 %").
    virtual void progress(double value, double max, const std::string& percentText) {
        (void)value;
        (void)max;
        (void)percentText;
    }
    // consoleLine (ConsoleSink): one line per member page.
    virtual bool cancelRequested() { return false; }
    // The flag behind cancelRequested, when it is one (null otherwise): the
    // project's read looks at it between modules and while resolving names,
    // where no observer call may be made from the reader's threads.
    virtual const std::atomic<bool>* cancelFlag() const { return nullptr; }
    // Told on the run's thread as the project's read reaches each step
    // (CParser::setStepHook): the workbench's tests cancel in a chosen one.
    virtual void readerStep(const char* step) { (void)step; }
};

// An observer that only hands a run a cancel flag (may be null): a group's
// reading of its projects around their runs stops when the run is cancelled.
class CancelFlagObserver final : public GenerationObserver {
public:
    explicit CancelFlagObserver(const std::atomic<bool>* cancel) : m_cancel(cancel) {}
    bool cancelRequested() override { return m_cancel && m_cancel->load(); }
    const std::atomic<bool>* cancelFlag() const override { return m_cancel; }

private:
    const std::atomic<bool>* m_cancel;
};

}  // namespace tarnwick
