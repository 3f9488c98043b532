// Create Documentation and Check Project end to end: worker, progress, Cancel, the folder
// question, the findings and the members they open, screenshots.
#include <sys/resource.h>

#include <cstring>
#include <utility>

#include "TestSupport.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

BrowserDocument* documentTab(const MainWindow& window) {
    QTabWidget* editor = window.perspective().editorArea();
    for (int i = 0; i < editor->count(); ++i)
        if (editor->tabText(i) == QLatin1String("Documentation"))
            return qobject_cast<BrowserDocument*>(editor->widget(i));
    return nullptr;
}

// What Qt shows of text in a widget of that format: markup is rendered
// where Qt takes the text for rich text.
QString shownText(const QString& text, Qt::TextFormat format = Qt::AutoText) {
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

// The longest time the window's event loop went without a turn.
class StallMeter : public QObject {
public:
    StallMeter() {
        m_clock.start();
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start(1);
    }
    // The longest since the last take.
    qint64 take() {
        tick();
        m_endedAfter = m_ended - std::exchange(m_since, m_clock.elapsed());
        return std::exchange(m_longest, 0);
    }
    // Of the longest stall that take told: when it ended, from the take
    // before, and how much processor time the window's thread had in it.
    qint64 longestEnded() const { return m_endedAfter; }
    qint64 longestCpu() const { return m_longestCpu; }

private:
    // The window's thread's processor time, in ms: a gap with little of it
    // was the machine's other work, not the window's.
    static qint64 threadMs() {
        rusage use{};
        getrusage(RUSAGE_THREAD, &use);
        const timeval total{use.ru_utime.tv_sec + use.ru_stime.tv_sec,
                            use.ru_utime.tv_usec + use.ru_stime.tv_usec};
        return qint64(total.tv_sec) * 1000 + total.tv_usec / 1000;
    }
    void tick() {
        const qint64 now = m_clock.elapsed(), cpu = threadMs();
        if (now - m_last > m_longest)
            m_longest = now - m_last, m_ended = now, m_longestCpu = cpu - m_lastCpu;
        m_last = now;
        m_lastCpu = cpu;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0, m_longest = 0, m_ended = 0, m_since = 0, m_endedAfter = 0;
    qint64 m_lastCpu = 0, m_longestCpu = 0;
};

// Esc in each step of Open Project, after delayMs in it: how long until the reader stopped.
void measureOpenCancels(MainWindow& window, const QString& vbp) {
    const struct {
        const char* step;
        int nth;
        int delayMs;
    } rows[] = {{"module", 270, 0}, {"sort", 1, 0}, {"references", 1, 40}};
    ProjectView* view = window.projectView();
    for (const auto& row : rows) {
        QElapsedTimer sent;
        std::atomic<int> reached{0};
        view->readerStepHook = [&](const char* step) {
            if (std::strcmp(step, row.step) != 0 || ++reached != row.nth) return;
            QMetaObject::invokeMethod(&window, [&] {
                QTimer::singleShot(row.delayMs, &window, [&] {
                    sent.start();
                    QTest::keyClick(&window, Qt::Key_Escape);
                });
            });
        };
        if (window.openProjectFile(vbp)) QFAIL("the cancelled open opened the project");
        while (view->readerRunning()) QThread::usleep(200);
        qInfo("open, Esc in %s: the reader stopped after %lld ms", row.step, sent.elapsed());
    }
    view->readerStepHook = {};
}

// Esc while the run reads the project (100 ms in) and while it writes the pages (at the
// 270th module), each into an empty folder: how long until the run ended.
void measureRunCancels(Bench& b) {
    ProgressWindow* progress = b.window.progressWindow();
    const QString out = b.window.state().DocumentationPath;
    QElapsedTimer sent;
    const auto esc = [&] {
        sent.start();
        QTest::keyClick(progress, Qt::Key_Escape);
    };
    QDir(out).removeRecursively();
    QTimer::singleShot(100, progress, esc);
    b.window.createDocumentation();
    qInfo("run, Esc while reading: the run ended after %lld ms", sent.elapsed());
    std::atomic<int> started{0};
    progress->workerModuleHook = [&] {
        if (++started == 270) QMetaObject::invokeMethod(progress, esc);
    };
    QDir(out).removeRecursively();
    b.window.createDocumentation();
    progress->workerModuleHook = {};
    qInfo("run, Esc while writing pages: the run ended after %lld ms", sent.elapsed());
}

// The widgets of type T that live apart from the window's tree or are kept
// for later (the run's window, a browser view for the next site).
template <typename T>
QList<T*> sparesOf() {
    QList<T*> found;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* t = qobject_cast<T*>(w); t && !t->isVisible()) found << t;
    return found;
}

}  // namespace

class RunTest : public QObject {
    Q_OBJECT

private slots:
    void fullRunEndsInBrowser() {
        Bench b;
        MainWindow& window = b.window;
        window.show();
        b.openSmall();
        // Once open, the idle window makes the run's window and the site's view
        // before any click: the click shows them, it does not make them.
        QTRY_VERIFY(sparesOf<ProgressWindow>().size() == 1 &&
                    sparesOf<ProgressWindow>()[0]->internalWinId() &&
                    sparesOf<BrowserDocument>().size() == 1);
        BrowserDocument* const madeWhileIdle = sparesOf<BrowserDocument>()[0];
        const QString out = b.dir.path() + "/out";
        b.dialogs.folder = out;
        QStringList started;
        connect(window.progressWindow(), &ProgressWindow::moduleStarted, this,
                [&](const QString&, const QString& info) { started << info; });
        window.toolbarButtonClicked("create");
        QCOMPARE(b.dialogs.folderCalls, 1);
        QVERIFY2(b.dialogs.messages.empty(),
                 b.dialogs.messages.empty() ? "" : qPrintable(b.dialogs.messages[0].text));
        QCOMPARE(window.state().DocumentationPath, out + "/");
        // Kinds in the order Classes, Modules.
        QCOMPARE(started, QStringList({"Generating Class: CAlpha", "Generating Class: IShape",
                                       "Generating Module: modBeta"}));
        QVERIFY(window.progressWindow()->percentLabel()->text() == "100 %" &&
                !window.progressWindow()->isVisible());
        for (const char* page : {"index.html", "project-summary.html", "Classes/CAlpha_Add.html",
                                 "Modules/modBeta.html"})
            QVERIFY2(QFileInfo::exists(out + "/" + page), page);

        // The site is shown in the Browser perspective, in turns after the run's window
        // has gone (the window takes clicks between them); the tree keeps its project.
        QVERIFY(!documentTab(window));
        QTRY_VERIFY(documentTab(window));
        QCOMPARE(documentTab(window), madeWhileIdle);
        QVERIFY(window.menuAction("mnuPerspectiveBrowser")->isChecked());
        BrowserDocument* browser = documentTab(window);
        QVERIFY(browser && window.perspective().editorArea()->currentWidget() == browser);
        QCOMPARE(QFileInfo(browser->htmlView()->path()).canonicalFilePath(),
                 QFileInfo(out + "/index.html").canonicalFilePath());
        QCOMPARE(window.dirsView()->path(), out);
        // One console line per module kind and one for the run, none per member page.
        const QString console = window.consoleView()->text();
        QVERIFY2(console.contains("Classes: 2 modules, 4 member pages\nModules: 1 module, 3 member "
                                  "pages\nDocumentation created: ") &&
                     !console.contains("Create documentation for"),
                 qPrintable(console));
        QVERIFY(window.state().CurrentProject && window.menuAction("mnuFileOpenSite")->isEnabled());
        // The next run asks no folder again.
        window.createDocumentation();
        QCOMPARE(b.dialogs.folderCalls, 1);
    }

    // Cancel, closing the progress window or the main window stop the run.
    // Keys the dialog does not show (here the encoding) still reach the run.
    void settingsFileKeysReachTheRun() {
        Bench b;
        const QString vbp = writeSmallProject(b.dir.path() + "/src");
        writeFile(b.dir.path() + "/src/Small.tarnwick", {"[generate]", "output-encoding = UTF-8"});
        QVERIFY(b.window.openProjectFile(vbp));
        b.dialogs.folder = b.dir.path() + "/out";
        b.window.toolbarButtonClicked("create");
        QFile page(b.dir.path() + "/out/project-summary.html");
        QVERIFY(page.open(QIODevice::ReadOnly) && page.readAll().contains("charset=UTF-8"));
    }

    // A group file opens with its projects above the startup project's tree,
    // and Create Documentation writes the group's site.
    void groupOpensAndDocumentsEveryProject() {
        Bench b;
        // A copy: the run writes the output folder into the group's settings file.
        std::filesystem::copy(TARNWICK_SOURCE_DIR "/examples/Strings",
                              (b.dir.path() + "/src").toStdString(),
                              std::filesystem::copy_options::recursive);
        QVERIFY(b.window.openProjectFile(b.dir.path() + "/src/Strings.vbg"));
        QTreeWidget* tree = b.window.projectView()->tree();
        QCOMPARE(tree->topLevelItem(0)->text(0), QString("Strings"));
        QCOMPARE(tree->topLevelItem(0)->childCount(), 4);
        QCOMPARE(tree->topLevelItem(0)->child(0)->text(0), QString("StrLibTests"));
        QCOMPARE(tree->topLevelItem(1)->text(0), QString("StrLibTests"));
        // The previews show what the group's site shows of the other projects:
        // the test project's module links the library's class, ...
        const auto preview = [&](const char* node) {
            const auto found = tree->findItems(node, Qt::MatchExactly | Qt::MatchRecursive);
            return found.isEmpty() ? QString() : b.window.projectView()->descriptionOf(found[0]);
        };
        QVERIFY(preview("modTests").contains("href=\"../../StrLib/Classes/StringBuilder.html\""));
        b.dialogs.folder = b.dir.path() + "/out";
        b.window.toolbarButtonClicked("create");
        QCOMPARE(b.dialogs.folderCalls, 1);
        for (const char* page : {"index.html", "StrLib/Classes/StringBuilder.html",
                                 "StrLibTests/Modules/modTests.html", "StrDemo/Forms/frmDemo.html"})
            QVERIFY2(QFileInfo::exists(b.dir.path() + "/out/" + page), page);
        // A double click on another project of the group shows that project,
        // in bold; the group stays the one documented, with its settings as
        // they are.
        b.window.state().dialog.documentationPath = "unsaved";
        emit tree->itemActivated(tree->topLevelItem(0)->child(1), 0);
        QTRY_COMPARE(tree->topLevelItem(tree->topLevelItemCount() - 1)->text(0), QString("StrLib"));
        QCOMPARE(tree->topLevelItem(0)->childCount(), 4);
        QVERIFY(tree->topLevelItem(0)->child(1)->font(0).bold());
        QVERIFY(!tree->topLevelItem(0)->child(0)->font(0).bold());
        QCOMPARE(b.window.state().ProjectPath, b.dir.path() + "/src/Strings.vbg");
        QCOMPARE(b.window.state().dialog.documentationPath, QString("unsaved"));
        // ... and the library's class the modules of other projects using it.
        QVERIFY(
            preview("StringBuilder").contains("href=\"../../StrLibTests/Modules/modTests.html\""));
    }

    void cancelDuringRun() {
        enum How { CancelButton, Escape, CloseProgress, CloseMain };
        for (How how : {CancelButton, Escape, CloseProgress, CloseMain}) {
            Bench b;
            MainWindow& window = b.window;
            window.show();
            QVERIFY(window.openProjectFile(writeBiggerProject(b.dir.path() + "/src", 12)));
            b.dialogs.folder = b.dir.path() + "/out";
            QSemaphore gate;
            ProgressWindow* progress = window.progressWindow();
            progress->workerModuleHook = [&gate] { gate.acquire(); };
            int started = 0;
            connect(progress, &ProgressWindow::moduleStarted, this, [&] {
                if (++started == 1) {
                    QVERIFY(progress->isVisible());
                    QCOMPARE(progress->infoLabel()->text(),
                             QStringLiteral("Generating Class: C01"));
                    // The resources are copied before the pages: a cancel leaves a
                    // site to browse, with nothing more to copy.
                    QVERIFY(QFileInfo::exists(b.dir.path() + "/out/src/css/screen.css"));
                    if (how == CancelButton)
                        QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
                    if (how == Escape) QTest::keyClick(progress, Qt::Key_Escape);
                    if (how == CloseProgress) progress->close();
                    if (how == CloseMain) window.close();
                }
                gate.release(100);
            });
            window.createDocumentation();
            // Order, not time (a loaded machine takes its time): the cancel was
            // seen before the next module was begun.
            QCOMPARE(started, 1);
            QVERIFY2(progress->cancelRequested(), qPrintable(QString::number(how)));
            // The workers may have built every module before the stop; summaries are written.
            QVERIFY(QFileInfo::exists(b.dir.path() + "/out/project-summary.html"));
            QCOMPARE(window.isVisible(), how != CloseMain);
            if (how == CloseMain) continue;
            QTRY_VERIFY(documentTab(window));
            // The next run is not cancelled.
            progress->workerModuleHook = {};
            window.createDocumentation();
            QVERIFY(!progress->cancelRequested());
            QVERIFY(QFileInfo::exists(b.dir.path() + "/out/Classes/C12.html"));
        }
    }

    // Esc while the run reads the project ("Initializing..."): the read stops before its next
    // step, and nothing is written.
    void cancelWhileRunReads() {
        for (const char* step : {"module", "sort", "references"}) {
            Bench b;
            b.window.show();
            QVERIFY(b.window.openProjectFile(writeBiggerProject(b.dir.path() + "/src", 12)));
            b.dialogs.folder = b.dir.path() + "/out";
            ProgressWindow* progress = b.window.progressWindow();
            QSemaphore arrived, gate;
            std::atomic<bool> cancelled{false};
            std::atomic<int> reached{0}, stepsAfter{0};
            const int nth = std::strcmp(step, "module") == 0 ? 2 : 1;
            progress->workerStepHook = [&](const char* name) {
                if (cancelled) ++stepsAfter;
                if (std::strcmp(name, step) == 0 && ++reached == nth)
                    arrived.release(), gate.acquire();
            };
            QTimer::singleShot(0, progress, [&] {
                arrived.acquire();
                QTest::keyClick(progress, Qt::Key_Escape);
                cancelled = progress->cancelRequested();
                gate.release();
            });
            b.window.createDocumentation();
            QVERIFY2(cancelled && stepsAfter == 0, step);
            QVERIFY(!QFileInfo::exists(b.dir.path() + "/out/index.html"));
        }
    }

    void consoleFedInBatches() {
        Bench b;
        MainWindow& window = b.window;
        QVERIFY(window.openProjectFile(writeBiggerProject(b.dir.path() + "/src", 30)));
        const QString out = b.dir.path() + "/out";
        b.dialogs.folder = out;
        int batches = 0;
        QStringList lines;
        connect(window.progressWindow(), &ProgressWindow::consoleLines, this,
                [&](const QStringList& batch) { lines += batch, ++batches; });
        window.createDocumentation();
        QVERIFY2(
            lines.size() == 2 && lines.first() == "Classes: 30 modules, 150 member pages" &&
                lines.last().startsWith("Documentation created: 278 pages written, 0 kept, in "),
            qPrintable(lines.join('|')));
        const qint64 ms = window.progressWindow()->lastRunMs();
        QVERIFY2(batches <= 1 + ms / ProgressWindow::kRefreshMs,
                 qPrintable(QStringLiteral("%1 batches in %2 ms").arg(batches).arg(ms)));

        // The site and its folder go to the desktop's programs.
        window.menuAction("mnuFileOpenSite")->trigger();
        window.menuAction("mnuFileOpenFolder")->trigger();
        QCOMPARE(b.dialogs.openedUrls,
                 QStringList({QUrl::fromLocalFile(out + "/index.html").toString(),
                              QUrl::fromLocalFile(out).toString()}));
        QCOMPARE(MainWindow().services().startFolder, out);  // remembered
    }

    // Skipped unless TARNWICK_BIG_PROJECT names a project:
    // TARNWICK_BIG_PROJECT=path/BigProject.vbp test_run measureBigProject prints how long
    // opening and a run take, the longest the window's event loop was held up meanwhile and
    // how soon a cancel stops each step (scripts/measure-workbench.sh).
    void measureBigProject() {
        const QString vbp = qEnvironmentVariable("TARNWICK_BIG_PROJECT");
        if (vbp.isEmpty()) QSKIP("TARNWICK_BIG_PROJECT is not set");
        Bench b;
        b.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.window));
        StallMeter stalls;
        QVERIFY(b.window.openProjectFile(vbp));
        const qint64 openStall = stalls.take();
        qInfo("open: tree shown after %lld ms, longest stall %lld ms (%lld ms of processor time)",
              b.window.lastOpenMs(), openStall, stalls.longestCpu());
        QTreeWidget* tree = b.window.projectView()->tree();
        QTreeWidgetItem* module = tree->topLevelItem(0)->child(0)->child(0);
        QTest::qWait(300);  // as a user looks for a node: the previews' tables are made meanwhile
        QElapsedTimer clock;
        clock.start();
        b.window.projectView()->descriptionOf(module);
        const qint64 made = clock.elapsed();
        tree->setCurrentItem(module);
        qInfo("first preview: the page made in %lld ms, shown after %lld ms", made,
              clock.elapsed());
        b.dialogs.folder = b.dir.path() + "/out";
        clock.start();
        auto* view = new BrowserDocument(&b.window);
        view->htmlView()->setHtml(QString());
        qInfo("the first browser view of a site costs the window's thread %lld ms",
              clock.elapsed());
        delete view;
        stalls.take();
        clock.start();
        b.window.createDocumentation();
        const qint64 returned = clock.elapsed();
        const qint64 runStall = stalls.take(), stallEnded = stalls.longestEnded();
        const qint64 stallCpu = stalls.longestCpu();
        QTRY_VERIFY(documentTab(b.window));
        BrowserDocument* site = documentTab(b.window);
        QSignalSpy shown(site->htmlView(), &HtmlView::loaded);
        QVERIFY(shown.count() || shown.wait(10000));
        qInfo(
            "run: %lld ms; the window takes clicks again after %lld ms, the site is shown "
            "after %lld ms; longest stall %lld ms in the run (ending %lld ms after the click, "
            "%lld ms of the window's thread's processor time), %lld ms while the site loads",
            b.window.progressWindow()->lastRunMs(), returned, clock.elapsed(), runStall, stallEnded,
            stallCpu, stalls.take());
        measureOpenCancels(b.window, vbp);
        measureRunCancels(b);
    }

    // A folder with other files is written only when the user agrees; a site without a question.
    // A project removed, or turned into some other text, while open: Create Documentation
    // says so, once, and leaves no progress window open.
    void brokenProjectToldOnce() {
        for (const bool removed : {true, false}) {
            Bench b;
            const QString vbp = b.openSmall();
            if (removed)
                QVERIFY(QDir(QFileInfo(vbp).absolutePath()).removeRecursively());
            else
                writeFile(vbp, {"just some notes", "of no project"});
            b.dialogs.folder = b.dir.path() + "/out";
            ProgressWindow* progress = b.window.progressWindow();
            bool leftOpen = false;
            QTimer::singleShot(5000, progress, [&] {
                leftOpen = progress->isVisible();
                if (leftOpen) progress->done(QDialog::Rejected);
            });
            b.window.createDocumentation();
            QVERIFY(!leftOpen && !progress->isVisible());
            QCOMPARE(int(b.dialogs.messages.size()), 1);
            const QString text = b.dialogs.messages[0].text;
            QVERIFY2(text.contains(vbp) && (removed || text.contains("not a VB6 project file")),
                     qPrintable(text));
        }
    }

    void foreignFolderAsks() {
        Bench b;
        b.openSmall();
        const QString out = b.dir.path() + "/out";
        writeFile(out + "/notes.txt", {"mine"});
        b.dialogs.folder = out;
        const struct {
            QMessageBox::StandardButton answer;
            int messages;
            bool written;
        } rows[] = {
            {QMessageBox::No, 1, false}, {QMessageBox::Yes, 1, true}, {QMessageBox::No, 0, true}};
        for (const auto& row : rows) {
            b.dialogs.messages.clear();
            b.dialogs.answer = row.answer;
            b.window.createDocumentation();
            QCOMPARE(int(b.dialogs.messages.size()), row.messages);
            for (const Message& m : b.dialogs.messages)
                QVERIFY2(m.icon == QMessageBox::Question && m.text.contains(out),
                         qPrintable(m.text));
            QCOMPARE(QFileInfo::exists(out + "/index.html"), row.written);
            if (row.written) QTRY_VERIFY(documentTab(b.window));
            QCOMPARE(documentTab(b.window) != nullptr, row.written);
            QVERIFY(QFileInfo::exists(out + "/notes.txt"));
        }
    }

    // Names that read like markup ("M<img src=x>") are shown as text everywhere.
    void checkListsFindingsThatOpenMembers() {
        Bench b;
        MainWindow& window = b.window;
        const QString folder = b.dir.path() + "/<i>x";
        const QString name = "M<img src=x>";
        writeFile(folder + "/M.bas",
                  {"Attribute VB_Name = \"" + name + "\"", "Private Sub Old()", "End Sub",
                   "' Counts.", "Public Property Get Count() As Long", "End Property",
                   "Public Property Let Count(ByVal v As Long)", "End Property"});
        const QString vbp = folder + "/<b>H.vbp";
        writeFile(vbp, {"Type=Exe", "Module=M; M.bas", "Name=\"H\""});
        window.show();
        QVERIFY(window.openProjectFile(vbp));
        window.toolbarButtonClicked("check");
        FindingsView* view = window.findingsView();
        QTreeWidget* list = view->list();
        QVERIFY(!window.perspective().dock("Check")->isHidden() &&
                window.menuAction("mnuViewCheck")->isChecked());
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(2), "Private Sub 'Old' has no description");
        QCOMPARE(list->topLevelItem(1)->text(2), "Private Sub 'Old' is not used in its module");
        view->kindChoice()->setCurrentIndex(2);  // not used
        QVERIFY(list->topLevelItem(0)->isHidden() && !list->topLevelItem(1)->isHidden());

        // Activating a finding selects the member in the tree and previews its page.
        QTreeWidget* tree = window.projectView()->tree();
        tree->setCurrentItem(findNode(tree, {"H", "Modules", name}));
        emit list->itemActivated(list->topLevelItem(1), 2);
        QCOMPARE(tree->currentItem()->text(0), "Old");
        QTabWidget* editor = window.perspective().editorArea();
        QCOMPARE(editor->tabText(editor->currentIndex()), "Old");
        auto* preview = qobject_cast<PreviewDocument*>(editor->currentWidget());
        QTRY_VERIFY(preview && preview->htmlView()->html().contains("Old"));
        window.closeCurrentTab();  // and again once the preview is closed
        emit list->itemActivated(list->topLevelItem(1), 2);
        QTRY_COMPARE(editor->tabText(editor->currentIndex()), "Old");

        tree->setCurrentItem(findNode(tree, {"H", "Modules", name}));
        const struct {
            QString shown;
            QString text;
        } places[] = {
            {shownText(list->topLevelItem(0)->toolTip(2)), folder + "/M.bas:2"},
            {shownText(editor->tabToolTip(editor->currentIndex())), name},
            {shownText(tree->topLevelItem(0)->toolTip(0)), vbp},
        };
        for (const auto& place : places) QCOMPARE(place.shown, place.text);
        for (const QLabel* label : window.findChildren<QLabel*>())
            QCOMPARE(shownText(label->text(), label->textFormat()), label->text());

        // Another project: the findings of the last one are gone.
        b.openSmall();
        QCOMPARE(list->topLevelItemCount(), 0);
    }

    void confirmedPathIsUsed() {
        Bench b;
        b.openSmall();
        SettingsDialog* dialog = b.window.settingsDialog();
        QVERIFY(dialog->load());
        dialog->findChild<QLineEdit*>("txtDocumentationPath")
            ->setText("  " + b.dir.path() + "/site  ");
        dialog->findChild<QCheckBox*>("chkModules")->setChecked(false);
        dialog->apply();
        b.window.createDocumentation();
        QVERIFY(b.dialogs.folderCalls == 0 &&
                b.window.state().DocumentationPath == b.dir.path() + "/site/");
        QVERIFY(QFileInfo::exists(b.dir.path() + "/site/Classes/CAlpha.html"));
        QVERIFY(!QFileInfo::exists(b.dir.path() + "/site/Modules/modBeta.html"));
    }

    // Not a check: the start page, the main window's perspectives, a module's preview, the dark
    // scheme and the settings dialog as PNG files.
    void screenshots() {
        const QString folder = screenshotFolder();
        Bench b;
        MainWindow& window = b.window;
        // A copy: the run saves the settings file beside the project.
        const QString vbp = b.dir.path() + "/Ledger/Ledger.vbp";
        QProcess::execute("cp",
                          {"-r", TARNWICK_SOURCE_DIR "/examples/Ledger", b.dir.path() + "/Ledger"});
        qputenv("TARNWICK_REGISTRY", TARNWICK_SOURCE_DIR "/examples/Ledger/registry.reg");
        window.resize(1280, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.openProjectFile(vbp));
        QTreeWidget* tree = window.projectView()->tree();
        QTreeWidgetItem* member = findNode(tree, {vbp, "Classes", "CAccount", "Functions", "Post"});
        for (QTreeWidgetItem* n = member->parent(); n; n = n->parent()) tree->expandItem(n);
        tree->setCurrentItem(member);
        QTest::qWait(HtmlView::usesWebEngine() ? 2500 : 300);
        QVERIFY(window.grab().save(folder + "/workbench-project.png"));
        // A module's overview, then the same in the dark scheme.
        tree->setCurrentItem(findNode(tree, {vbp, "Classes", "CAccount"}));
        QTest::qWait(HtmlView::usesWebEngine() ? 2500 : 300);
        QVERIFY(window.grab().save(folder + "/workbench-module.png"));
        const QPalette light = QApplication::palette();
        QApplication::setPalette(QPalette(QColor("#353535"), QColor("#252525")));
        window.setScheme(DockingControl::Custom);
        QTest::qWait(300);
        QVERIFY(window.grab().save(folder + "/workbench-dark.png"));
        QApplication::setPalette(light);
        window.setScheme(DockingControl::WindowsXP);
        // Check Project's findings, the first one opened.
        window.checkProject();
        QTreeWidget* findings = window.findingsView()->list();
        emit findings->itemActivated(findings->topLevelItem(0), 0);
        QTest::qWait(HtmlView::usesWebEngine() ? 2500 : 300);
        QVERIFY(window.grab().save(folder + "/workbench-check.png"));

        b.dialogs.folder = b.dir.path() + "/site";
        window.createDocumentation();
        QTest::qWait(HtmlView::usesWebEngine() ? 3500 : 300);
        QVERIFY(window.grab().save(folder + "/workbench-browser.png"));

        // The next start: no project open, the start page offers the recent one.
        {
            MainWindow start;
            start.resize(1280, 800);
            start.show();
            QVERIFY(QTest::qWaitForWindowExposed(&start) && start.startPageShown());
            QVERIFY(start.grab().save(folder + "/workbench-start.png"));
        }

        SettingsDialog* settings = window.settingsDialog();
        settings->load();
        settings->show();
        QVERIFY(QTest::qWaitForWindowExposed(settings));
        QVERIFY(settings->grab().save(folder + "/settings-documentation.png"));
        settings->tabs()->setCurrentIndex(1);
        settings->designTab()->styles()->setCurrentIndex(1);  // the plain style has no sample
        QTest::qWait(HtmlView::usesWebEngine() ? 2500 : 300);
        QVERIFY(settings->grab().save(folder + "/settings-design.png"));
        settings->tabs()->setCurrentIndex(2);
        QVERIFY(settings->grab().save(folder + "/settings-includes.png"));
        settings->close();
        qInfo("screenshots saved in %s", qPrintable(folder));
    }
};

TARNWICK_QTEST_MAIN(RunTest)
#include "RunTest.moc"
