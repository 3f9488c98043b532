#include "shell/SettingsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "shell/AppState.h"
#include "shell/SettingsTabs.h"
#include "shell/ShellServices.h"
#include "support/ProgramFolder.h"

namespace tarnwick {

SettingsDialog::SettingsDialog(AppState& state, ShellServices& services, QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_services(services),
      m_tabs(new QTabWidget(this)),
      m_documentation(new DocumentationTab(this)),
      m_design(new DesignTab(this)),
      m_includes(new IncludesTab(this)) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    m_tabs->addTab(m_documentation, QStringLiteral("&Documentation"));
    m_tabs->addTab(m_design, QStringLiteral("&Design"));
    m_tabs->addTab(m_includes, QStringLiteral("&Includes"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("C&ancel"), QDialogButtonBox::RejectRole);
    QPushButton* applyButton =
        buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::ApplyRole);
    ok->setObjectName(QStringLiteral("cmdOk"));
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    applyButton->setObjectName(QStringLiteral("cmdApply"));
    ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    resize(520, 440);

    connect(ok, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(applyButton, &QPushButton::clicked, this, &SettingsDialog::apply);
    connect(m_documentation->browseButton(), &QPushButton::clicked, this,
            &SettingsDialog::browseDocumentationPath);
}

QString SettingsDialog::themesFolder() {
    return QString::fromStdString(programFolder()) + QStringLiteral("Themes/");
}

bool SettingsDialog::load() {
    if (!m_state.CurrentProject) return false;
    m_documentation->showProject(*m_state.CurrentProject);
    m_documentation->load(m_state.dialog);
    m_includes->load(m_state.dialog);
    m_design->listStyles(themesFolder(), m_state.dialog.style);
    m_design->setLayout(m_state.dialog.boxes.layout);
    return true;
}

void SettingsDialog::showModal() {
    if (!load()) return;
    m_tabs->setCurrentIndex(0);
    exec();
}

void SettingsDialog::apply() {
    SettingsDialogState confirmed = m_state.dialog;
    m_documentation->store(confirmed);
    m_includes->store(confirmed);
    confirmed.style = m_design->style();
    confirmed.boxes.layout = m_design->layout();
    m_state.dialog = confirmed;
    m_state.settings = confirmed.boxes;
    const QString problem = m_state.saveProjectSettings();
    if (!problem.isEmpty())
        m_services.message(this, QMessageBox::Warning, QStringLiteral("Settings"), problem,
                           QMessageBox::Ok);
}

void SettingsDialog::browseDocumentationPath() {
    const QString folder = m_services.browseForFolder(this, QStringLiteral("Select a folder"));
    if (!folder.isEmpty()) m_documentation->documentationPath()->setText(folder);
}

}  // namespace tarnwick
