#include "shell/ProgressWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "generator/run/GroupRun.h"
#include "generator/settings/RequestCheck.h"
#include "reader/GroupFile.h"
#include "shell/ImageList.h"

namespace tarnwick {

namespace {

// "propertypages" -> "PropertyPages": a kind key as the tree names the kind.
QString kindCaption(const std::string& kindsKey) {
    for (const char* caption : {"Classes", "Modules", "Forms", "PropertyPages", "UserControls",
                                "UserDocuments", "Designers"})
        if (QString::fromStdString(kindsKey).compare(QLatin1String(caption), Qt::CaseInsensitive) ==
            0)
            return QLatin1String(caption);
    return QString::fromStdString(kindsKey);
}

}  // namespace

// The run's reports, kept under a lock until the window's thread takes them.
class ProgressForwarder : public GenerationObserver, public DiagnosticsSink {
public:
    explicit ProgressForwarder(ProgressWindow& window) : m_window(window) {}

    void moduleStarted(const std::string& kindsKey, const std::string& info) override {
        {
            const std::lock_guard lock(m_mutex);
            m_modules.emplace_back(QString::fromStdString(kindsKey), QString::fromStdString(info));
            kindCount(kindsKey).modules++;
            m_kind = kindsKey;
        }
        if (m_window.workerModuleHook) m_window.workerModuleHook();
    }
    void progress(double value, double max, const std::string& percentText) override {
        const std::lock_guard lock(m_mutex);
        m_value = value;
        m_max = max;
        m_percent = QString::fromStdString(percentText);
        m_hasProgress = true;
    }
    // A member page's line is counted for its module's kind; anything else
    // (a warning, a failure) is shown in full.
    void consoleLine(const std::string& line) override {
        if (line.rfind(kMemberLine, 0) != 0) return addLine(line);
        const std::lock_guard lock(m_mutex);
        kindCount(m_kind).members++;
    }
    bool cancelRequested() override { return m_window.m_cancel.load(); }
    const std::atomic<bool>* cancelFlag() const override { return &m_window.m_cancel; }
    void readerStep(const char* step) override {
        if (m_window.workerStepHook) m_window.workerStepHook(step);
    }
    void report(const Diagnostic& diagnostic) override { addLine(diagnostic.toString()); }

    struct Reports {
        std::vector<std::pair<QString, QString>> modules;
        QStringList lines;
        bool hasProgress = false;
        double value = 0, max = 0;
        QString percent;
    };
    struct KindCount {
        std::string kindsKey;
        int modules = 0;
        int members = 0;
    };
    // Per module kind in the run's order, once the run is over.
    const std::vector<KindCount>& kinds() const { return m_kinds; }

    // Nothing while the run holds the lock (it is back a refresh later): a run
    // thread of lower priority may hold it long on a busy machine, and the
    // window's thread must not wait for it. The last take, after the run, waits.
    std::optional<Reports> take(bool wait) {
        std::unique_lock lock(m_mutex, std::try_to_lock);
        if (!lock && !wait) return std::nullopt;
        if (!lock) lock.lock();
        Reports r;
        r.modules.swap(m_modules);
        r.lines.swap(m_lines);
        r.hasProgress = m_hasProgress;
        r.value = m_value;
        r.max = m_max;
        r.percent = m_percent;
        m_hasProgress = false;
        return r;
    }

private:
    void addLine(const std::string& line) {
        const std::lock_guard lock(m_mutex);
        m_lines << QString::fromStdString(line);
    }

    static constexpr std::string_view kMemberLine = "Create documentation for ";

    KindCount& kindCount(const std::string& kindsKey) {
        for (KindCount& kind : m_kinds)
            if (kind.kindsKey == kindsKey) return kind;
        return m_kinds.emplace_back(KindCount{kindsKey});
    }

    ProgressWindow& m_window;
    std::mutex m_mutex;
    std::vector<KindCount> m_kinds;  // under m_mutex while the run goes
    std::string m_kind;              // of the module being told
    std::vector<std::pair<QString, QString>> m_modules;
    QStringList m_lines;
    bool m_hasProgress = false;
    double m_value = 0, m_max = 0;
    QString m_percent;
};

ProgressWindow::ProgressWindow(const ImageList& images, QWidget* parent)
    : QDialog(parent),
      m_images(images),
      m_progress(new QProgressBar(this)),
      m_info(new QLabel(QStringLiteral("Initializing..."), this)),
      m_percent(new QLabel(this)),
      m_icon(new QLabel(this)),
      m_cancelButton(new QPushButton(QStringLiteral("&Cancel"), this)) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("Progress"));
    setModal(true);
    m_progress->setObjectName(QStringLiteral("Progress"));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_info->setObjectName(QStringLiteral("lblProgressInfo"));
    m_info->setTextFormat(Qt::PlainText);  // it names the module being written
    m_percent->setObjectName(QStringLiteral("lblProgress"));
    m_percent->setMinimumWidth(48);
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_icon->setObjectName(QStringLiteral("imgIcon"));
    m_icon->setFixedSize(32, 32);
    m_cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    auto* label1 = new QLabel(
        QStringLiteral("Please wait while Tarnwick is generating the documentation."), this);
    label1->setObjectName(QStringLiteral("Label1"));

    auto* top = new QHBoxLayout;
    top->addWidget(m_icon);
    top->addWidget(label1, 1);
    auto* bar = new QHBoxLayout;
    bar->addWidget(m_progress, 1);
    bar->addWidget(m_percent);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_info);
    layout->addLayout(bar);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(m_cancelButton, &QPushButton::clicked, this, &ProgressWindow::requestCancel);
}

ProgressWindow::~ProgressWindow() {
    if (m_worker.joinable()) m_worker.join();
}

void ProgressWindow::prepare() {
    ensurePolished();
    adjustSize();
    winId();  // the native window
}

void ProgressWindow::resetForRun() {
    m_cancel = false;
    m_result.reset();
    m_info->setText(QStringLiteral("Initializing..."));
    m_percent->clear();
    m_icon->clear();
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_cancelButton->setEnabled(true);
    m_running = true;
}

// The console gets one line per module kind and one for the run.
QStringList ProgressWindow::runSummary(const ProgressForwarder& forwarder) const {
    QStringList summary;
    for (const auto& kind : forwarder.kinds())
        summary << QStringLiteral("%1: %2 %3, %4 member %5")
                       .arg(kindCaption(kind.kindsKey))
                       .arg(kind.modules)
                       .arg(QLatin1String(kind.modules == 1 ? "module" : "modules"))
                       .arg(kind.members)
                       .arg(QLatin1String(kind.members == 1 ? "page" : "pages"));
    if (m_result && *m_result) {
        const GenerationResult& done = m_result->value();
        summary << QStringLiteral("Documentation %1: %2 pages written, %3 kept, in %4 s")
                       .arg(QLatin1String(done.cancelled ? "cancelled" : "created"))
                       .arg(done.pagesWritten)
                       .arg(done.pagesUnchanged)
                       .arg(m_lastRunMs / 1000.0, 0, 'f', 2);
    }
    return summary;
}

Expected<GenerationResult> ProgressWindow::run(const GenerationRequest& request) {
    // A request the run would refuse is told before the window opens.
    if (const Status checked = checkRequest(request); !checked) return checked.error();
    // The last run's thread ended long ago: its result was its last act.
    if (m_worker.joinable()) m_worker.join();
    resetForRun();
    // Shared with the worker, which may outlive this call by its last instructions.
    const auto forwarder = std::make_shared<ProgressForwarder>(*this);
    m_forwarder = forwarder.get();
    QTimer refresh;
    connect(&refresh, &QTimer::timeout, this, &ProgressWindow::takeReports);
    refresh.start(kRefreshMs);
    QElapsedTimer clock;
    clock.start();
    m_worker = std::thread([this, request, forwarder] {
        // Nothing may escape the worker: an exception there would end the program.
        Expected<GenerationResult> result = Error{"The documentation run failed."};
        // The run (and the project it read) goes after its result is handed
        // on: a large model takes a while to give back, and Esc is told first.
        std::optional<GenerationRun> single;
        try {
            // A group file documents its projects as one site.
            result = isGroupFile(request.projectPath)
                         ? GroupRun(request, {}, forwarder.get(), forwarder.get()).run()
                         : single.emplace(request, forwarder.get(), forwarder.get()).run();
        } catch (const std::exception& e) {
            result = Error{std::string("The documentation run failed: ") + e.what()};
        }
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                m_result = result;
                m_running = false;
                accept();
            },
            Qt::QueuedConnection);
    });
    exec();
    // The queued end of the run is what closes the window; should the
    // loop have ended otherwise, wait for the run and deliver it now.
    if (!m_result) {
        m_worker.join();
        QCoreApplication::sendPostedEvents(this);
    }
    refresh.stop();
    takeReports();
    m_forwarder = nullptr;
    m_lastRunMs = clock.elapsed();
    m_running = false;
    if (!m_result) return Error{"The documentation run ended without a result."};
    emit consoleLines(runSummary(*forwarder));
    return *m_result;
}

void ProgressWindow::requestCancel() {
    m_cancel = true;
    m_cancelButton->setEnabled(false);
}

void ProgressWindow::reject() {
    // Esc while the run works means Cancel; the window closes once the run
    // has stopped.
    if (m_running) return requestCancel();
    QDialog::reject();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    if (m_running) {
        requestCancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ProgressWindow::takeReports() {
    if (!m_forwarder) return;
    std::optional<ProgressForwarder::Reports> taken = m_forwarder->take(!m_running);
    if (!taken) return;
    ProgressForwarder::Reports& reports = *taken;
    if (!reports.modules.empty()) {
        const auto& [key, info] = reports.modules.back();
        m_icon->setPixmap(m_images.icon(key).pixmap(32, 32));
        m_info->setText(info);
    }
    if (reports.hasProgress) {
        const int top = std::max(1, static_cast<int>(std::lround(reports.max)));
        m_progress->setRange(0, top);
        m_progress->setValue(std::min(top, static_cast<int>(std::lround(reports.value))));
        m_percent->setText(reports.percent);
    }
    for (const auto& [key, info] : reports.modules) emit moduleStarted(key, info);
    if (!reports.lines.isEmpty()) emit consoleLines(reports.lines);
}

}  // namespace tarnwick
