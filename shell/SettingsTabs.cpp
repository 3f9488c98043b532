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

#include "generator/settings/Styles.h"
#include "model/CProject.h"
#include "shell/AppState.h"
#include "shell/HtmlView.h"
#include "support/File.h"

namespace tarnwick {

namespace {

enum class Section { Properties, Files, Visibility, Code };

// One option box: its control name, caption and field of the record.
struct Box {
    Section section;
    const char* name;
    const char* caption;
    bool GenerationSettings::*field;
};

// In the order the boxes appear on their tab.
constexpr Box kBoxes[] = {
    {Section::Properties, "chkUml", "UML Model", &GenerationSettings::Uml},
    {Section::Properties, "chkSyntax", "Syntax", &GenerationSettings::Syntax},
    {Section::Properties, "chkParameter", "Parameter", &GenerationSettings::Parameter},
    {Section::Properties, "chkReturn", "Return", &GenerationSettings::Return},
    {Section::Properties, "chkSource", "Source", &GenerationSettings::Source},
    {Section::Files, "chkClasses", "Classes", &GenerationSettings::Classes},
    {Section::Files, "chkModules", "Modules", &GenerationSettings::Modules},
    {Section::Files, "chkForms", "Forms", &GenerationSettings::Forms},
    {Section::Files, "chkUserControls", "UserControls", &GenerationSettings::UserControls},
    {Section::Files, "chkPropertyPages", "Property Pages", &GenerationSettings::PropertyPages},
    {Section::Files, "chkLibraries", "Dynamic Link Libraries", &GenerationSettings::Libraries},
    {Section::Visibility, "chkGlobal", "Global", &GenerationSettings::Global},
    {Section::Visibility, "chkPublic", "Public", &GenerationSettings::Public},
    {Section::Visibility, "chkFriend", "Friend", &GenerationSettings::Friend},
    {Section::Visibility, "chkPrivate", "Private", &GenerationSettings::Private},
    {Section::Code, "chkImplementations", "Implementations", &GenerationSettings::Implementations},
    {Section::Code, "chkEvents", "Events", &GenerationSettings::Events},
    {Section::Code, "chkDeclarations", "Declarations", &GenerationSettings::Declarations},
    {Section::Code, "chkVariables", "Variables", &GenerationSettings::Variables},
    {Section::Code, "chkConstants", "Constants", &GenerationSettings::Constants},
    {Section::Code, "chkProperties", "Properties", &GenerationSettings::Properties},
    {Section::Code, "chkEnum", "Enums", &GenerationSettings::Enum},
    {Section::Code, "chkFunctions", "Functions", &GenerationSettings::Functions},
    {Section::Code, "chkTypes", "Types", &GenerationSettings::Types},
    {Section::Code, "chkSubroutines", "Subroutines", &GenerationSettings::Subroutines},
};

QCheckBox* makeBox(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

// The boxes of one section in a grid of the given number of columns.
QGroupBox* sectionGroup(QWidget* parent, const QString& title, Section section, int columns,
                        QCheckBox* extra = nullptr) {
    auto* group = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(group);
    int index = 0;
    for (const Box& box : kBoxes) {
        if (box.section != section) continue;
        grid->addWidget(makeBox(group, box.name, box.caption), index / columns, index % columns);
        ++index;
    }
    if (extra) {
        extra->setParent(group);
        grid->addWidget(extra, index / columns, index % columns);
    }
    return group;
}

void loadBoxes(QWidget* tab, const GenerationSettings& settings) {
    for (const Box& box : kBoxes)
        if (auto* check = tab->findChild<QCheckBox*>(QLatin1String(box.name)))
            check->setChecked(settings.*box.field);
}

void storeBoxes(const QWidget* tab, GenerationSettings& settings) {
    for (const Box& box : kBoxes)
        if (auto* check = tab->findChild<QCheckBox*>(QLatin1String(box.name)))
            settings.*box.field = check->isChecked();
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
      m_seeAlso(makeBox(this, "chkSeeAlso", "SeeAlso")) {
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
        sectionGroup(this, QStringLiteral("Properties:"), Section::Properties, 3, m_seeAlso));
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
    : QWidget(parent), m_ressources(makeBox(this, "chkRessources", "Resources")) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        sectionGroup(this, QStringLiteral("Files:"), Section::Files, 3, m_ressources));
    layout->addWidget(sectionGroup(this, QStringLiteral("Visibility:"), Section::Visibility, 4));
    layout->addWidget(sectionGroup(this, QStringLiteral("Code:"), Section::Code, 3));
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
