// ProgressWindow (frmProgress): the window of one documentation run.
//
// run() starts the generation run on a worker thread and shows the window
// modally until the run ends, so the window paints and its Cancel button
// works however long the run takes. The run's reports arrive from the
// worker and are queued to the window's thread: the kind's icon and
// "Generating Class: CParser" when a module starts, the bar and "50 %" after
// it, console lines for the console view. Cancel (or closing the window)
// sets an atomic flag that the run reads at its cancel points; the module
// being written is finished first.
#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

#include "generator/GenerationRun.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tarnwick {

class ImageList;

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // images: not owned, must outlive the window.
    explicit ProgressWindow(const ImageList& images, QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Performs the run while the window is shown modally; returns its result.
    Expected<GenerationResult> run(const GenerationRequest& request);
    // cmdCancel: asks the run to stop at its next cancel point.
    void requestCancel();
    bool cancelRequested() const { return m_cancel.load(); }
    bool running() const { return m_running; }

    // Called on the worker thread each time a module starts, before the run
    // asks whether to cancel. Tests use it to hold the worker at that point.
    std::function<void()> workerModuleHook;

    QLabel* infoLabel() const { return m_info; }
    QLabel* percentLabel() const { return m_percent; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    QLabel* iconLabel() const { return m_icon; }

signals:
    // On the window's thread, after the window has shown it.
    void moduleStarted(const QString& kindsKey, const QString& info);
    void consoleLine(const QString& line);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class ProgressForwarder;
    void showModule(const QString& kindsKey, const QString& info);
    void showProgress(double value, double max, const QString& percentText);

    const ImageList& m_images;
    QProgressBar* m_progress;     // Progress
    QLabel* m_info;               // lblProgressInfo
    QLabel* m_percent;            // lblProgress
    QLabel* m_icon;               // imgIcon
    QPushButton* m_cancelButton;  // cmdCancel
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    std::optional<Expected<GenerationResult>> m_result;
};

}  // namespace tarnwick
