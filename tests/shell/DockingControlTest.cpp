// The docking control on a bare main window: folders become dock areas,
// documents become tabs.
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
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
                control->registerView(new QLabel(key), QLatin1String(key), QLatin1String(key));
            auto& one = control->perspective("One");
            one.addFolder("A_Folder", 1, 0.3, one.editorArea()).addView("A");
            one.addFolder("B_Folder", 4, 0.7, one.editorArea()).addView("B");
            one.setFixedLayout(true);
            auto& two = control->perspective("Two");
            two.addFolder("C_Folder", 2, 0.3, two.editorArea()).addView("C");
            two.addFolder("B_Folder", 4, 0.3, "C_Folder").addView("B");
            two.setFixedLayout(true);
            window.resize(1000, 700);
        }
        Qt::DockWidgetArea area(const char* key) {
            return control->dock(key)->isHidden() ? Qt::NoDockWidgetArea
                                                  : window.dockWidgetArea(control->dock(key));
        }
    };

private slots:
    void perspectivesLayOutFolders() {
        Fixture f;
        f.control->showPerspective("One");
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        struct Row {
            const char* perspective;
            Qt::DockWidgetArea a, b, c;
        };
        const Row rows[] = {
            {"One", Qt::LeftDockWidgetArea, Qt::BottomDockWidgetArea, Qt::NoDockWidgetArea},
            {"Two", Qt::NoDockWidgetArea, Qt::RightDockWidgetArea, Qt::RightDockWidgetArea},
            {"One", Qt::LeftDockWidgetArea, Qt::BottomDockWidgetArea, Qt::NoDockWidgetArea},
            {"Three", Qt::LeftDockWidgetArea, Qt::BottomDockWidgetArea, Qt::NoDockWidgetArea},
        };
        for (const Row& row : rows) {
            f.control->showPerspective(row.perspective);
            QCOMPARE(f.control->currentPerspective(),
                     QLatin1String(row.a == Qt::NoDockWidgetArea ? "Two" : "One"));
            QCOMPARE(f.area("A"), row.a);
            QCOMPARE(f.area("B"), row.b);
            QCOMPARE(f.area("C"), row.c);
            if (QLatin1String(row.perspective) == "Two")  // B lies below C
                QTRY_VERIFY(f.control->dock("B")->y() > f.control->dock("C")->y());
        }
        // Ratios: the left folder takes about 30 % of the width, the editor
        // keeps about 70 % of the height above the bottom folder.
        QTRY_VERIFY(std::abs(f.control->dock("A")->width() - 300) < 60);
        QTRY_VERIFY(f.control->editorArea()->height() > f.control->dock("B")->height());
        // The user closes a view; show view brings it back.
        f.control->dock("A")->close();
        QTRY_VERIFY(!f.control->isViewVisible("A"));
        f.control->showView("A");
        QVERIFY(f.control->isViewVisible("A"));
    }

    void documentsAndRelease() {
        Fixture f;
        f.control->showPerspective("One");
        auto* first = new QLabel("first");
        auto* second = new QLabel("second");
        f.control->addDocument(first, "First");
        f.control->addDocument(second, "Second");
        QTabWidget* editor = f.control->editorArea();
        QCOMPARE(editor->count(), 2);
        QCOMPARE(editor->tabText(1), QStringLiteral("Second"));
        QCOMPARE(editor->currentWidget(), second);
        // Closing a tab disposes of its document.
        QPointer<QWidget> watch(first);
        emit editor->tabCloseRequested(0);
        QCOMPARE(editor->count(), 1);
        QTRY_VERIFY(watch.isNull());
        f.control->release();
        f.control->showPerspective("Two");
        QCOMPARE(f.control->currentPerspective(), QStringLiteral("One"));
    }
};

TARNWICK_QTEST_MAIN(DockingControlTest)
#include "DockingControlTest.moc"
