// The settings dialog: load from the open project, initial boxes, Apply,
// Cancel, the browse button, and the kept state.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "TestSupport.h"
#include "shell/HtmlView.h"
#include "shell/MainWindow.h"
#include "shell/SettingsDialog.h"
#include "shell/SettingsTabs.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

// Every option box of the dialog with the record field it feeds.
struct Field {
    const char* box;
    bool GenerationSettings::*field;
};
constexpr Field kFields[] = {
    {"chkLibraries", &GenerationSettings::Libraries},
    {"chkModules", &GenerationSettings::Modules},
    {"chkForms", &GenerationSettings::Forms},
    {"chkClasses", &GenerationSettings::Classes},
    {"chkUserControls", &GenerationSettings::UserControls},
    {"chkPropertyPages", &GenerationSettings::PropertyPages},
    {"chkEvents", &GenerationSettings::Events},
    {"chkImplementations", &GenerationSettings::Implementations},
    {"chkConstants", &GenerationSettings::Constants},
    {"chkFunctions", &GenerationSettings::Functions},
    {"chkSubroutines", &GenerationSettings::Subroutines},
    {"chkProperties", &GenerationSettings::Properties},
    {"chkVariables", &GenerationSettings::Variables},
    {"chkTypes", &GenerationSettings::Types},
    {"chkEnum", &GenerationSettings::Enum},
    {"chkDeclarations", &GenerationSettings::Declarations},
    {"chkGlobal", &GenerationSettings::Global},
    {"chkPublic", &GenerationSettings::Public},
    {"chkFriend", &GenerationSettings::Friend},
    {"chkPrivate", &GenerationSettings::Private},
    {"chkUml", &GenerationSettings::Uml},
    {"chkSyntax", &GenerationSettings::Syntax},
    {"chkParameter", &GenerationSettings::Parameter},
    {"chkReturn", &GenerationSettings::Return},
    {"chkSource", &GenerationSettings::Source},
};

QCheckBox* box(QWidget* dialog, const char* name) {
    auto* check = dialog->findChild<QCheckBox*>(QLatin1String(name));
    if (!check) qFatal("no check box %s", name);
    return check;
}

QString field(QWidget* dialog, const char* name) {
    auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name));
    if (!edit) qFatal("no text box %s", name);
    return edit->text();
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void noProjectNoDialog() {
        MainWindow window;
        SettingsDialog* dialog = window.settingsDialog();
        QVERIFY(!dialog->load());
        window.menuAction("mnuDocumentationSettings")->trigger();
        QVERIFY(!dialog->isVisible());
    }

    void loadShowsProjectAndInitialBoxes() {
        QTemporaryDir dir;
        MainWindow window;
        const QString vbp = writeSmallProject(dir.path());
        QVERIFY(window.openProjectFile(vbp));
        SettingsDialog* dialog = window.settingsDialog();
        QVERIFY(dialog->load());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Settings"));
        QStringList tabs;
        for (int i = 0; i < dialog->tabs()->count(); ++i) tabs << dialog->tabs()->tabText(i);
        QCOMPARE(tabs, QStringList({"&Documentation", "&Design", "&Includes"}));
        QStringList buttons;
        for (const char* name : {"cmdOk", "cmdCancel", "cmdApply"})
            buttons << dialog->findChild<QPushButton*>(QLatin1String(name))->text();
        QCOMPARE(buttons, QStringList({"&Ok", "C&ancel", "&Apply"}));

        QCOMPARE(field(dialog, "txtProjectPath"), vbp);
        // Values as the project file holds them, quotes included.
        QCOMPARE(field(dialog, "txtName"), QStringLiteral("\"Small\""));
        QCOMPARE(field(dialog, "txtVersion"), QStringLiteral("1.2.3"));
        QCOMPARE(field(dialog, "txtDescription"), QStringLiteral("\"A small test project\""));
        QCOMPARE(field(dialog, "txtCopyright"), QString());
        QCOMPARE(field(dialog, "txtDocumentationPath"), QString());

        for (const Field& f : kFields)
            QVERIFY2(
                box(dialog, f.box)->isChecked() == (QLatin1String(f.box) != "chkImplementations"),
                f.box);
        QVERIFY(box(dialog, "chkSeeAlso")->isChecked());
        QVERIFY(box(dialog, "chkRessources")->isChecked());
        QCOMPARE(box(dialog, "chkPropertyPages")->text(), QStringLiteral("Property Pages"));
        QCOMPARE(box(dialog, "chkLibraries")->text(), QStringLiteral("Dynamic Link Libraries"));
        QCOMPARE(box(dialog, "chkEnum")->text(), QStringLiteral("Enums"));
        QCOMPARE(box(dialog, "chkUml")->text(), QStringLiteral("UML Model"));

        // Styles: the plain one chosen, then the sub-folders of Themes,
        // each previewed when chosen.
        const QStringList styles = QDir(SettingsDialog::themesFolder())
                                       .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QComboBox* combo = dialog->designTab()->styles();
        QCOMPARE(combo->count(), styles.size() + 1);
        QCOMPARE(combo->currentText(), QStringLiteral("(Standard)"));
        QCOMPARE(dialog->designTab()->style(), QString());
        for (int i = 0; i < styles.size(); ++i) {
            combo->setCurrentIndex(i + 1);
            QCOMPARE(dialog->designTab()->style(), styles[i]);
            QCOMPARE(dialog->designTab()->preview()->path(),
                     SettingsDialog::themesFolder() + styles[i] + "/index.html");
        }
    }

    void applyAndCancel() {
        QTemporaryDir dir;
        MainWindow window;
        QVERIFY(window.openProjectFile(writeSmallProject(dir.path())));
        SettingsDialog* dialog = window.settingsDialog();
        QVERIFY(dialog->load());

        // Apply copies every box, whatever the earlier value.
        for (const Field& f : kFields) {
            for (bool on : {false, true}) {
                box(dialog, f.box)->setChecked(on);
                dialog->findChild<QPushButton*>("cmdApply")->click();
                QVERIFY2(window.state().settings.*f.field == on, f.box);
            }
        }
        box(dialog, "chkClasses")->setChecked(false);
        dialog->findChild<QLineEdit*>("txtDocumentationPath")->setText("/tmp/applied");
        dialog->findChild<QPushButton*>("cmdApply")->click();
        QVERIFY(!window.state().settings.Classes);

        // Cancel after Apply does not undo; unconfirmed edits are forgotten.
        box(dialog, "chkForms")->setChecked(false);
        dialog->findChild<QPushButton*>("cmdCancel")->click();
        QVERIFY(!window.state().settings.Classes);
        QVERIFY(window.state().settings.Forms);

        // The next load shows the confirmed state.
        QVERIFY(dialog->load());
        QVERIFY(!box(dialog, "chkClasses")->isChecked());
        QVERIFY(box(dialog, "chkForms")->isChecked());
        QCOMPARE(field(dialog, "txtDocumentationPath"), QStringLiteral("/tmp/applied"));

        // OK applies and closes.
        box(dialog, "chkModules")->setChecked(false);
        dialog->findChild<QPushButton*>("cmdOk")->click();
        QVERIFY(!window.state().settings.Modules);
        QVERIFY(!dialog->isVisible());

        // Create Documentation captures the confirmed choices.
        window.state().settings = GenerationSettings();
        window.state().captureDialogSettings();
        QVERIFY(!window.state().settings.Classes);
        QVERIFY(!window.state().settings.Modules);
        QVERIFY(window.state().settings.Forms);
        QCOMPARE(window.state().DocumentationPath, QStringLiteral("/tmp/applied"));
    }

    void browseButton() {
        QTemporaryDir dir;
        MainWindow window;
        CannedDialogs dialogs;
        dialogs.install(window.services());
        QVERIFY(window.openProjectFile(writeSmallProject(dir.path())));
        SettingsDialog* dialog = window.settingsDialog();
        QVERIFY(dialog->load());
        dialog->findChild<QLineEdit*>("txtDocumentationPath")->setText("/kept");
        dialogs.folder.clear();  // cancelled
        dialog->findChild<QPushButton*>("cmdBrowseDocPath")->click();
        QCOMPARE(dialogs.lastFolderTitle, QStringLiteral("Select a folder"));
        QCOMPARE(field(dialog, "txtDocumentationPath"), QStringLiteral("/kept"));
        dialogs.folder = "/chosen";
        dialog->findChild<QPushButton*>("cmdBrowseDocPath")->click();
        QCOMPARE(field(dialog, "txtDocumentationPath"), QStringLiteral("/chosen"));
        QCOMPARE(dialogs.folderCalls, 2);
    }

    void openingProjectSetsSyntax() {
        QTemporaryDir dir;
        MainWindow window;
        const QString vbp = writeSmallProject(dir.path());
        QVERIFY(window.openProjectFile(vbp));
        SettingsDialog* dialog = window.settingsDialog();
        QVERIFY(dialog->load());
        for (const char* name : {"chkSyntax", "chkParameter", "chkReturn", "chkSource"})
            box(dialog, name)->setChecked(false);
        dialog->apply();
        QVERIFY(!window.state().settings.Syntax);
        QVERIFY(window.openProjectFile(vbp));
        QVERIFY(window.state().settings.Syntax);
        QVERIFY(window.state().settings.Parameter);
        QVERIFY(window.state().settings.Return);
        QVERIFY(window.state().settings.Source);
    }
};

TARNWICK_QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
