#include "shell/SettingsTabs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "generator/settings/SettingsFields.h"
#include "generator/settings/Styles.h"
#include "model/CProject.h"
#include "shell/AppState.h"
#include "shell/HtmlView.h"
#include "support/File.h"

namespace tarnwick {

namespace {

QCheckBox* makeBox(QWidget* parent, const QString& name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(name);
    return box;
}

// The object name of a field's box: "chkUml".
QString boxName(const SettingsField& field) {
    return QStringLiteral("chk") + QLatin1String(field.name);
}

// The boxes of one group of the table of fields, in their slots' order, in
// a grid of the given number of columns; extra (owned by no one yet) last.
QGroupBox* sectionGroup(QWidget* parent, const QString& title, DialogGroup group, int columns,
                        QCheckBox* extra = nullptr) {
    auto* box = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(box);
    std::vector<const SettingsField*> fields;
    for (const SettingsField& field : kSettingsFields)
        if (field.group == group) fields.push_back(&field);
    std::sort(fields.begin(), fields.end(),
              [](const SettingsField* a, const SettingsField* b) { return a->slot < b->slot; });
    int index = 0;
    for (const SettingsField* field : fields) {
        grid->addWidget(makeBox(box, boxName(*field), field->caption), index / columns,
                        index % columns);
        ++index;
    }
    if (extra) {
        extra->setParent(box);
        grid->addWidget(extra, index / columns, index % columns);
    }
    return box;
}

void loadBoxes(QWidget* tab, const GenerationSettings& settings) {
    for (const SettingsField& field : kSettingsFields)
        if (auto* check = tab->findChild<QCheckBox*>(boxName(field)))
            check->setChecked(settings.*field.flag);
}

void storeBoxes(const QWidget* tab, GenerationSettings& settings) {
    for (const SettingsField& field : kSettingsFields)
        if (auto* check = tab->findChild<QCheckBox*>(boxName(field)))
            settings.*field.flag = check->isChecked();
}

QLineEdit* readOnlyField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setReadOnly(true);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
    return field;
}

}  // namespace

DocumentationTab::DocumentationTab(QWidget* parent)
    : QWidget(parent),
      m_projectPath(readOnlyField(this, "txtProjectPath")),
      m_name(readOnlyField(this, "txtName")),
      m_version(readOnlyField(this, "txtVersion")),
      m_copyright(readOnlyField(this, "txtCopyright")),
      m_description(readOnlyField(this, "txtDescription")),
      m_documentationPath(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("..."), this)),
      m_seeAlso(makeBox(this, QStringLiteral("chkSeeAlso"), "SeeAlso")) {
    m_documentationPath->setObjectName(QStringLiteral("txtDocumentationPath"));
    m_browse->setObjectName(QStringLiteral("cmdBrowseDocPath"));
    m_browse->setFixedWidth(32);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_documentationPath);
    pathRow->addWidget(m_browse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Project:"), m_projectPath);
    form->addRow(QStringLiteral("Name:"), m_name);
    form->addRow(QStringLiteral("Version:"), m_version);
    form->addRow(QStringLiteral("Copyright:"), m_copyright);
    form->addRow(QStringLiteral("Description:"), m_description);
    form->addRow(QStringLiteral("Documentation:"), pathRow);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(
        sectionGroup(this, QStringLiteral("Properties:"), DialogGroup::Properties, 3, m_seeAlso));
    layout->addStretch();
}

void DocumentationTab::showProject(const CProject& project) {
    const ListMap& properties = project.Properties();
    auto value = [&](const char* key) { return QString::fromStdString(properties.value(key)); };
    m_projectPath->setText(QString::fromStdString(project.Path()));
    m_name->setText(value("Name"));
    m_description->setText(value("Description"));
    m_version->setText(value("MajorVer") + QLatin1Char('.') + value("MinorVer") + QLatin1Char('.') +
                       value("RevisionVer"));
    m_copyright->clear();
    for (QLineEdit* field : {m_projectPath, m_name, m_version, m_description})
        field->setCursorPosition(0);
}

void DocumentationTab::load(const SettingsDialogState& state) {
    loadBoxes(this, state.boxes);
    m_seeAlso->setChecked(state.SeeAlso);
    m_documentationPath->setText(state.documentationPath);
}

void DocumentationTab::store(SettingsDialogState& state) const {
    storeBoxes(this, state.boxes);
    state.SeeAlso = m_seeAlso->isChecked();
    state.documentationPath = m_documentationPath->text();
}

DesignTab::DesignTab(QWidget* parent)
    : QWidget(parent),
      m_styles(new QComboBox(this)),
      m_layouts(new QComboBox(this)),
      m_preview(new HtmlView(this)) {
    m_styles->setObjectName(QStringLiteral("cboStyle"));
    m_layouts->setObjectName(QStringLiteral("cboLayout"));
    m_layouts->addItem(QStringLiteral("Frames"), static_cast<int>(PageLayout::Frames));
    m_layouts->addItem(QStringLiteral("Modern"), static_cast<int>(PageLayout::Modern));
    m_preview->setObjectName(QStringLiteral("Preview"));
    m_preview->setMinimumHeight(220);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Design:"), this));
    row->addWidget(m_styles, 1);
    row->addWidget(new QLabel(QStringLiteral("Layout:"), this));
    row->addWidget(m_layouts);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_preview, 1);
    connect(m_styles, &QComboBox::currentIndexChanged, this, [this] { previewStyle(style()); });
}

void DesignTab::listStyles(const QString& themesFolder, const QString& preferred) {
    m_themesFolder = themesFolder;
    const QSignalBlocker blocker(m_styles);
    m_styles->clear();
    // The plain style first: a run without a chosen style writes the site
    // the command line writes without --style.
    m_styles->addItem(QStringLiteral("(Standard)"), QString());
    for (const std::string& name : tarnwick::listStyles(themesFolder.toStdString()))
        m_styles->addItem(QString::fromStdString(name), QString::fromStdString(name));
    const int index = preferred.isEmpty() ? 0 : m_styles->findData(preferred);
    m_styles->setCurrentIndex(index < 0 ? 0 : index);
    previewStyle(style());
}

QString DesignTab::style() const { return m_styles->currentData().toString(); }

void DesignTab::setLayout(PageLayout layout) {
    m_layouts->setCurrentIndex(m_layouts->findData(static_cast<int>(layout)));
}

PageLayout DesignTab::layout() const {
    return static_cast<PageLayout>(m_layouts->currentData().toInt());
}

void DesignTab::previewStyle(const QString& style) {
    if (style.isEmpty()) return;  // the plain style has no sample page
    const QString page = QDir(m_themesFolder).filePath(style + QStringLiteral("/index.html"));
    // A style without its page leaves the preview as it was; a page that is
    // no regular file, or one too large for any input, is not shown either.
    const QFileInfo info(page);
    if (info.isFile() && info.size() <= kReadLimit) m_preview->load(page);
}

IncludesTab::IncludesTab(QWidget* parent)
    : QWidget(parent), m_ressources(makeBox(this, QStringLiteral("chkRessources"), "Resources")) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        sectionGroup(this, QStringLiteral("Files:"), DialogGroup::Files, 3, m_ressources));
    layout->addWidget(
        sectionGroup(this, QStringLiteral("Visibility:"), DialogGroup::Visibility, 4));
    layout->addWidget(sectionGroup(this, QStringLiteral("Code:"), DialogGroup::Code, 3));
    layout->addStretch();
}

void IncludesTab::load(const SettingsDialogState& state) {
    loadBoxes(this, state.boxes);
    m_ressources->setChecked(state.Ressources);
}

void IncludesTab::store(SettingsDialogState& state) const {
    storeBoxes(this, state.boxes);
    state.Ressources = m_ressources->isChecked();
}

}  // namespace tarnwick
