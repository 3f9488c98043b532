// The settings dialog: load, initial boxes, Apply, Cancel, browse, the kept state.
#include "TestSupport.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

// Every option box of the dialog ("chk" + field) with the record field it feeds.
struct Field {
    const char* box;
    bool GenerationSettings::*field;
};
#define F(name) \
    Field { "chk" #name, &GenerationSettings::name }
constexpr Field kFields[] = {F(Libraries),    F(Modules),       F(Forms),       F(Classes),
                             F(UserControls), F(PropertyPages), F(Events),      F(Implementations),
                             F(Constants),    F(Functions),     F(Subroutines), F(Properties),
                             F(Variables),    F(Types),         F(Enum),        F(Declarations),
                             F(Global),       F(Public),        F(Friend),      F(Private),
                             F(Uml),          F(Syntax),        F(Parameter),   F(Return),
                             F(Source),       F(UserDocuments), F(Designers)};
#undef F

QCheckBox* box(QWidget* dialog, const char* name) {
    auto* check = dialog->findChild<QCheckBox*>(QLatin1String(name));
    if (!check) qFatal("no check box %s", name);
    return check;
}

// Every file below root with its bytes.
QMap<QString, QByteArray> siteFiles(const QString& root) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
        files.insert(QDir(root).relativeFilePath(path), file.readAll());
    }
    return files;
}

int runTarnwick(const QStringList& args) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral(TARNWICK_BIN_DIR "/tarnwick"), args);
    process.waitForFinished(120000);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
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
    void loadShowsProjectAndInitialBoxes() {
        Bench b;
        const QString vbp = b.openSmall();
        SettingsDialog* dialog = b.window.settingsDialog();
        QVERIFY(dialog->load());
        QStringList texts;  // values as the project file holds them, quotes included
        for (const char* name : {"txtProjectPath", "txtName", "txtVersion", "txtDescription",
                                 "txtCopyright", "txtDocumentationPath"})
            texts << field(dialog, name);
        QCOMPARE(texts.join('|'), vbp + "|\"Small\"|1.2.3|\"A small test project\"||");
        for (const Field& f : kFields)
            QVERIFY2(
                box(dialog, f.box)->isChecked() == (QLatin1String(f.box) != "chkImplementations"),
                f.box);
        QVERIFY(box(dialog, "chkSeeAlso")->isChecked() &&
                box(dialog, "chkRessources")->isChecked());

        // Styles: the plain one, then the sub-folders of Themes, each previewed.
        const QStringList styles = QDir(SettingsDialog::themesFolder())
                                       .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QComboBox* combo = dialog->designTab()->styles();
        QCOMPARE(combo->count(), styles.size() + 1);
        QCOMPARE(dialog->designTab()->style(), QString());
        for (int i = 0; i < styles.size(); ++i) {
            combo->setCurrentIndex(i + 1);
            QCOMPARE(dialog->designTab()->style(), styles[i]);
            QCOMPARE(dialog->designTab()->preview()->path(),
                     SettingsDialog::themesFolder() + styles[i] + "/index.html");
        }
    }

    void applyAndCancel() {
        Bench b;
        const QString vbp = b.openSmall();
        SettingsDialog* dialog = b.window.settingsDialog();
        const GenerationSettings& settings = b.window.state().settings;
        QVERIFY(dialog->load());
        // Apply copies every box, whatever the earlier value.
        for (const Field& f : kFields) {
            for (bool on : {false, true}) {
                box(dialog, f.box)->setChecked(on);
                dialog->findChild<QPushButton*>("cmdApply")->click();
                QVERIFY2(settings.*f.field == on, f.box);
            }
        }
        box(dialog, "chkClasses")->setChecked(false);
        dialog->findChild<QLineEdit*>("txtDocumentationPath")->setText("/tmp/applied");
        dialog->findChild<QPushButton*>("cmdApply")->click();
        // Cancel after Apply does not undo; unconfirmed edits are forgotten.
        box(dialog, "chkForms")->setChecked(false);
        dialog->findChild<QPushButton*>("cmdCancel")->click();
        QVERIFY(!settings.Classes && settings.Forms);
        QVERIFY(dialog->load());
        QVERIFY(!box(dialog, "chkClasses")->isChecked() && box(dialog, "chkForms")->isChecked());
        QCOMPARE(field(dialog, "txtDocumentationPath"), QStringLiteral("/tmp/applied"));

        // The browse button fills the path unless cancelled.
        b.dialogs.folder.clear();
        dialog->findChild<QPushButton*>("cmdBrowseDocPath")->click();
        QCOMPARE(field(dialog, "txtDocumentationPath"), QStringLiteral("/tmp/applied"));
        b.dialogs.folder = "/chosen";
        dialog->findChild<QPushButton*>("cmdBrowseDocPath")->click();
        QCOMPARE(field(dialog, "txtDocumentationPath"), QStringLiteral("/chosen"));

        // OK applies and closes; Create Documentation captures the confirmed choices.
        for (const char* name :
             {"chkModules", "chkSyntax", "chkParameter", "chkReturn", "chkSource"})
            box(dialog, name)->setChecked(false);
        dialog->findChild<QPushButton*>("cmdOk")->click();
        QVERIFY(!dialog->isVisible());
        QVERIFY(!settings.Modules && !settings.Syntax);
        b.window.state().settings = GenerationSettings();
        b.window.state().captureDialogSettings();
        QVERIFY(!settings.Classes && !settings.Modules && settings.Forms);
        QCOMPARE(b.window.state().DocumentationPath, QStringLiteral("/chosen"));
        // Opening the project again switches the syntax sections back on.
        QVERIFY(b.window.openProjectFile(vbp));
        QVERIFY(settings.Syntax && settings.Parameter && settings.Return && settings.Source);
    }

    // The choices saved beside the project make a CLI run write the very same site.
    void dialogFileAndOptionsMakeOneSite() {
        Bench b;
        const QString d = b.dir.path();
        const QString vbp = d + "/Ledger/Ledger.vbp";
        QVERIFY(QProcess::execute(
                    "cp", {"-r", TARNWICK_SOURCE_DIR "/examples/Ledger", d + "/Ledger"}) == 0);
        qputenv("SOURCE_DATE_EPOCH", "1700000000");
        QVERIFY(b.window.openProjectFile(vbp));
        b.window.state().Language = QStringLiteral("English");
        SettingsDialog* dialog = b.window.settingsDialog();
        QVERIFY(dialog->load());
        for (const char* name : {"chkGlobal", "chkFriend", "chkPrivate", "chkSyntax",
                                 "chkParameter", "chkSource", "chkUml", "chkLibraries"})
            box(dialog, name)->setChecked(false);
        QComboBox* styles = dialog->designTab()->styles();
        styles->setCurrentIndex(styles->findText(QStringLiteral("Slate")));
        auto* layouts = dialog->findChild<QComboBox*>("cboLayout");
        layouts->setCurrentIndex(layouts->findText(QStringLiteral("Modern")));
        dialog->findChild<QLineEdit*>("txtDocumentationPath")->setText(d + "/dialog");
        dialog->findChild<QPushButton*>("cmdOk")->click();
        b.window.createDocumentation();
        QVERIFY2(b.dialogs.messages.empty(),
                 b.dialogs.messages.empty() ? "" : qPrintable(b.dialogs.messages[0].text));
        QFile saved(d + "/Ledger/Ledger.tarnwick");
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray text = saved.readAll();
        QVERIFY2(text.contains("output = " + d.toUtf8() + "/dialog\n") &&
                     text.contains("scopes = public\n") && text.contains("sections = returns\n") &&
                     text.contains("style = Slate\n") && text.contains("layout = modern\n"),
                 text.constData());
        QCOMPARE(runTarnwick({"generate", vbp, "-q", "--language", "English", "-o", d + "/file"}),
                 0);
        const auto site = siteFiles(d + "/dialog");
        QVERIFY(site.contains("Classes/CAccount.html") && site.contains("nav-index.js"));
        QVERIFY(site == siteFiles(d + "/file"));

        // The next session shows the saved choices.
        MainWindow next;
        QVERIFY(next.openProjectFile(vbp));
        QVERIFY(next.settingsDialog()->load());
        QVERIFY(!box(next.settingsDialog(), "chkPrivate")->isChecked() &&
                box(next.settingsDialog(), "chkPublic")->isChecked());
        QCOMPARE(next.settingsDialog()->designTab()->style(), QStringLiteral("Slate"));
        QVERIFY(next.settingsDialog()->designTab()->layout() == PageLayout::Modern);
        QCOMPARE(field(next.settingsDialog(), "txtDocumentationPath"), d + "/dialog");

        // An output the file names relative stays relative, also outside the project's folder.
        writeFile(d + "/Ledger/Ledger.tarnwick", {"[generate]", "output = ../site"});
        QVERIFY(b.window.openProjectFile(vbp) && dialog->load());
        QCOMPARE(field(dialog, "txtDocumentationPath"), d + "/site");
        dialog->findChild<QLineEdit*>("txtDocumentationPath")->setText(d + "/other/");
        dialog->apply();
        saved.close();
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray relative = saved.readAll();
        QVERIFY2(relative.contains("output = ../other\r\n"), relative.constData());
    }

    // A settings file that cannot be written is told once; the choices hold.
    void unwritableSettingsToldOnce() {
        Bench b;
        const QString vbp = writeSmallProject(b.dir.path());
        QVERIFY(QFile::link(b.dir.path() + "/missing/Small.tarnwick",
                            b.dir.path() + "/Small.tarnwick"));
        QVERIFY(b.window.openProjectFile(vbp));
        SettingsDialog* dialog = b.window.settingsDialog();
        QVERIFY(dialog->load());
        box(dialog, "chkPrivate")->setChecked(false);
        dialog->apply();
        box(dialog, "chkFriend")->setChecked(false);
        dialog->apply();
        QVERIFY(b.dialogs.messages.size() == 1 &&
                b.dialogs.messages[0].text.contains("Small.tarnwick"));
        QVERIFY(!b.window.state().settings.Private && !b.window.state().settings.Friend);
        QVERIFY(dialog->load());
        QVERIFY(!box(dialog, "chkFriend")->isChecked());
    }
};

TARNWICK_QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
