// The docking control on a bare main window: folders become dock areas,
// visibility changes become view events, documents become tabs.
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "TestSupport.h"
#include "shell/DockingControl.h"

using tarnwick::DockingControl;

class DockingControlTest : public QObject {
    Q_OBJECT

private:
    // A window with views A, B, C and perspectives One (A left, B below
    // the editor) and Two (C right, B below C).
    struct Fixture {
        QMainWindow window;
        DockingControl* control = new DockingControl(&window);
        Fixture() {
            for (const char* key : {"A", "B", "C"})
                control->registerView(new QLabel(QLatin1String(key)), QLatin1String(key),
                                      QLatin1String(key));
            auto& one = control->perspective(QStringLiteral("One"));
            one.addFolder(QStringLiteral("A_Folder"), 1, 0.3, one.editorArea())
                .addView(QStringLiteral("A"));
            one.addFolder(QStringLiteral("B_Folder"), 4, 0.7, one.editorArea())
                .addView(QStringLiteral("B"));
            one.setFixedLayout(true);
            auto& two = control->perspective(QStringLiteral("Two"));
            two.addFolder(QStringLiteral("C_Folder"), 2, 0.3, two.editorArea())
                .addView(QStringLiteral("C"));
            two.addFolder(QStringLiteral("B_Folder"), 4, 0.3, QStringLiteral("C_Folder"))
                .addView(QStringLiteral("B"));
            two.setFixedLayout(true);
            window.resize(1000, 700);
        }
    };

private slots:
    void perspectivesLayOutFolders() {
        Fixture f;
        f.control->showPerspective(QStringLiteral("One"));
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QCOMPARE(f.window.dockWidgetArea(f.control->dock(QStringLiteral("A"))),
                 Qt::LeftDockWidgetArea);
        QCOMPARE(f.window.dockWidgetArea(f.control->dock(QStringLiteral("B"))),
                 Qt::BottomDockWidgetArea);
        QVERIFY(f.control->dock(QStringLiteral("C"))->isHidden());
        // Ratios: the left folder takes about 30 % of the width, the editor
        // keeps about 70 % of the height above the bottom folder.
        QTRY_VERIFY(std::abs(f.control->dock(QStringLiteral("A"))->width() - 300) < 60);
        QTRY_VERIFY(f.control->editorArea()->height() >
                    f.control->dock(QStringLiteral("B"))->height());

        f.control->showPerspective(QStringLiteral("Two"));
        QCOMPARE(f.control->currentPerspective(), QStringLiteral("Two"));
        QVERIFY(f.control->dock(QStringLiteral("A"))->isHidden());
        QCOMPARE(f.window.dockWidgetArea(f.control->dock(QStringLiteral("C"))),
                 Qt::RightDockWidgetArea);
        // B lies below C in the same area.
        QCOMPARE(f.window.dockWidgetArea(f.control->dock(QStringLiteral("B"))),
                 Qt::RightDockWidgetArea);
        QTRY_VERIFY(f.control->dock(QStringLiteral("B"))->y() >
                    f.control->dock(QStringLiteral("C"))->y());

        // Back to One: the layout as it was left.
        f.control->showPerspective(QStringLiteral("One"));
        QCOMPARE(f.window.dockWidgetArea(f.control->dock(QStringLiteral("A"))),
                 Qt::LeftDockWidgetArea);
        QVERIFY(!f.control->dock(QStringLiteral("A"))->isHidden());
        QVERIFY(f.control->dock(QStringLiteral("C"))->isHidden());
        // Unknown perspectives change nothing.
        f.control->showPerspective(QStringLiteral("Three"));
        QCOMPARE(f.control->currentPerspective(), QStringLiteral("One"));
    }

    void viewEventsFollowVisibility() {
        Fixture f;
        QSignalSpy shown(f.control, &DockingControl::viewShown);
        QSignalSpy hidden(f.control, &DockingControl::viewHidden);
        QSignalSpy pShown(f.control, &DockingControl::perspectiveShown);
        QSignalSpy pHidden(f.control, &DockingControl::perspectiveHidden);
        f.control->showPerspective(QStringLiteral("One"));
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QCOMPARE(pShown.count(), 1);
        QCOMPARE(pShown.at(0).at(0).toString(), QStringLiteral("One"));
        QCOMPARE(pHidden.count(), 0);
        QStringList shownKeys;
        for (const auto& args : shown) shownKeys << args.at(0).toString();
        shownKeys.sort();
        QCOMPARE(shownKeys, QStringList({QStringLiteral("A"), QStringLiteral("B")}));

        shown.clear();
        f.control->showPerspective(QStringLiteral("Two"));
        QCOMPARE(pHidden.count(), 1);
        QCOMPARE(pHidden.at(0).at(0).toString(), QStringLiteral("One"));
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(hidden.at(0).at(0).toString(), QStringLiteral("A"));
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.at(0).at(0).toString(), QStringLiteral("C"));

        // The user closes a view; show view brings it back.
        hidden.clear();
        shown.clear();
        f.control->dock(QStringLiteral("C"))->close();
        QTRY_COMPARE(hidden.count(), 1);
        QVERIFY(!f.control->isViewVisible(QStringLiteral("C")));
        f.control->showView(QStringLiteral("C"));
        QCOMPARE(shown.count(), 1);
        QVERIFY(f.control->isViewVisible(QStringLiteral("C")));
        // A view of no perspective shown on demand.
        f.control->showView(QStringLiteral("A"));
        QVERIFY(f.control->isViewVisible(QStringLiteral("A")));
    }

    void documentsAndSchemes() {
        Fixture f;
        f.control->showPerspective(QStringLiteral("One"));
        auto* first = new QLabel(QStringLiteral("first"));
        auto* second = new QLabel(QStringLiteral("second"));
        f.control->addDocument(first, QStringLiteral("First"));
        f.control->addDocument(second, QStringLiteral("Second"));
        QTabWidget* editor = f.control->editorArea();
        QCOMPARE(editor->count(), 2);
        QCOMPARE(editor->tabText(1), QStringLiteral("Second"));
        QCOMPARE(editor->currentWidget(), second);
        // Closing a tab disposes of its document.
        QPointer<QWidget> watch(first);
        emit editor->tabCloseRequested(0);
        QCOMPARE(editor->count(), 1);
        QTRY_VERIFY(watch.isNull());

        for (int scheme : {0, 2, 99}) {
            f.control->setScheme(scheme);
            QCOMPARE(f.control->scheme(), scheme);
            QVERIFY(!f.window.styleSheet().isEmpty());
        }
        f.control->release();
        f.control->showPerspective(QStringLiteral("Two"));
        QCOMPARE(f.control->currentPerspective(), QStringLiteral("One"));
    }
};

TARNWICK_QTEST_MAIN(DockingControlTest)
#include "DockingControlTest.moc"
