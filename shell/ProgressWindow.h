// ProgressWindow (frmProgress): the window of one documentation run.
//
// run() starts the generation run on a worker thread and shows the window
// modally until the run ends, so the window paints and its Cancel button
// works however long the run takes. The run's reports arrive from the
// worker and are collected; the window's thread takes them a few times a
// second (so a run of thousands of pages is not slowed by painting them one
// by one): the kind's icon and "Generating Class: CParser" of the latest
// module, the bar and "50 %", and the console lines in one batch. The
// console hears warnings and failures in full but not one line per member
// page: those are counted, and the run ends with one line per module kind
// ("Classes: 12 modules, 340 member pages") and one for the run (pages
// written and kept, time). Cancel
// (or closing the window)
// sets an atomic flag that the run reads at its cancel points; the module
// being written is finished first.
//
// The window's thread never waits for the run: the run's threads work at a
// lower priority than the window's (on a busy machine the window and Qt's
// painting helpers go first), the worker's end is not waited for (its
// result is its last act; the thread is joined when the next run starts or
// the window goes), and the window is made and laid out before the first run
// (prepare), not at the click.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "generator/run/GenerationRun.h"

class QElapsedTimer;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tarnwick {

class ImageList;
class ProgressForwarder;

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // images: not owned, must outlive the window.
    explicit ProgressWindow(const ImageList& images, QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Makes the window's native window and lays it out, hidden, so its first
    // showing at a click costs little.
    void prepare();
    // Performs the run while the window is shown modally; returns its result.
    // A request checkRequest refuses is refused at once, the window unshown.
    Expected<GenerationResult> run(const GenerationRequest& request);
    // cmdCancel: asks the run to stop at its next cancel point.
    void requestCancel();
    bool cancelRequested() const { return m_cancel.load(); }
    bool running() const { return m_running; }

    // Called on the worker thread each time a module starts, before the run
    // asks whether to cancel. Tests use it to hold the worker at that point.
    std::function<void()> workerModuleHook;
    // Told on the worker thread of each step of the run's read of the project.
    std::function<void(const char* step)> workerStepHook;

    QLabel* infoLabel() const { return m_info; }
    QLabel* percentLabel() const { return m_percent; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    // How long the last run took, in milliseconds.
    qint64 lastRunMs() const { return m_lastRunMs; }
    // How often the window takes the run's reports.
    static constexpr int kRefreshMs = 250;

signals:
    // On the window's thread, once per module, in the run's order.
    void moduleStarted(const QString& kindsKey, const QString& info);
    // The console lines that came since the last batch, in order.
    void consoleLines(const QStringList& lines);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class ProgressForwarder;
    // Shows what the worker reported since the last call.
    void takeReports();
    void resetForRun();
    QStringList runSummary(const ProgressForwarder& forwarder) const;

    const ImageList& m_images;
    QProgressBar* m_progress;     // Progress
    QLabel* m_info;               // lblProgressInfo
    QLabel* m_percent;            // lblProgress
    QLabel* m_icon;               // imgIcon
    QPushButton* m_cancelButton;  // cmdCancel
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    std::optional<Expected<GenerationResult>> m_result;
    ProgressForwarder* m_forwarder = nullptr;  // of the run in progress
    std::thread m_worker;                      // the last run's, joined before the next
    qint64 m_lastRunMs = 0;
};

}  // namespace tarnwick
