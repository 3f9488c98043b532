#include "shell/ProjectView.h"

#include <QApplication>
#include <QHeaderView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>

#include "generator/GenerationObserver.h"
#include "generator/PageContext.h"
#include "generator/Timestamp.h"
#include "generator/modHtml.h"
#include "model/CHelper.h"
#include "model/Element.h"
#include "model/Translation.h"
#include "reader/CParser.h"
#include "reader/ConditionalCompilation.h"
#include "shell/AppState.h"
#include "shell/ImageList.h"

namespace tarnwick {

namespace {

// Hands the member-page writer's console lines to the view's signal.
class ConsoleForwarder : public GenerationObserver {
public:
    explicit ConsoleForwarder(ProjectView& view) : m_view(view) {}
    void consoleLine(const std::string& line) override {
        emit m_view.consoleLine(QString::fromStdString(line));
    }

private:
    ProjectView& m_view;
};

// Diagnostics of a parse end up in the console too, so a missing module
// file is not a silent gap in the tree.
class ConsoleSink : public DiagnosticsSink {
public:
    explicit ConsoleSink(ProjectView& view) : m_view(view) {}
    void report(const Diagnostic& diagnostic) override {
        emit m_view.consoleLine(QString::fromStdString(diagnostic.toString()));
    }

private:
    ProjectView& m_view;
};

// The suffix of a scope code in image keys; empty for codes outside the five.
QString scopeSuffix(int scopeCode) {
    switch (scopeCode) {
        case scope::Global:
            return QStringLiteral("_global");
        case scope::Public:
            return QStringLiteral("_public");
        case scope::Private:
            return QStringLiteral("_private");
        case scope::Friend:
            return QStringLiteral("_friend");
        case scope::None:
            return QStringLiteral("_noscope");
        default:
            return QString();
    }
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

ProjectView::ProjectView(AppState& state, const ImageList& images, QWidget* parent)
    : QWidget(parent),
      m_state(state),
      m_images(images),
      m_tree(new QTreeWidget(this)),
      m_descriptions(std::make_unique<HashTable>()) {
    setWindowTitle(QStringLiteral("Project"));
    m_tree->setObjectName(QStringLiteral("tvwProject"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setUniformRowHeights(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_tree);
    // Every selection opens a preview, also a click on the node already
    // selected. A click on another node changes the current node first and
    // is then pressed: that press must not open a second preview.
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        m_justSelected = current;
        QTimer::singleShot(0, this, [this] { m_justSelected = nullptr; });
        nodeSelected(current);
    });
    connect(m_tree, &QTreeWidget::itemPressed, this, [this](QTreeWidgetItem* pressed) {
        const bool seen = pressed == m_justSelected;
        m_justSelected = nullptr;
        if (!seen) nodeSelected(pressed);
    });
}

ProjectView::~ProjectView() = default;

bool ProjectView::RefreshProjectTree(const QString& path, QString* error) {
    WaitCursor wait;
    ConsoleSink sink(*this);
    CParser parser;
    parser.setPath(path.toStdString());
    parser.setCodePage(CodePage());
    parser.setDiagnostics(&sink);
    if (auto defines = readDefines(m_state.defines)) parser.setDefines(std::move(defines).value());
    auto parsed = parser.Parse();
    if (!parsed) {
        if (error) *error = QString::fromStdString(parsed.error().message);
        return false;
    }
    std::shared_ptr<CProject> project = parsed.value();
    project->setPath(path.toStdString());
    m_state.CurrentProject = project;

    const QSignalBlocker blocker(m_tree);
    m_tree->clear();
    // Nodes of earlier refreshes are gone, and so is any use of their texts.
    m_descriptions->RemoveAll();
    QTreeWidgetItem* projectNode =
        addNode(nullptr, QStringLiteral("project"), path, QStringLiteral("project"));
    projectNode->setExpanded(true);

    // The descriptions made below carry their syntax sections.
    m_state.settings.Syntax = true;
    m_state.settings.Parameter = true;
    m_state.settings.Return = true;
    m_state.settings.Source = true;

    const Translation translation = Translation::load(Translation::defaultPath());
    ConsoleForwarder forwarder(*this);
    PageContext ctx;
    ctx.settings = m_state.settings;
    ctx.translation = &translation;
    ctx.language = m_state.Language.toStdString();
    ctx.observer = &forwarder;
    ctx.now = makeNowFunction();

    CProject& p = *project;
    fillGroup(projectNode, QStringLiteral("References"), p.References(), true, p, ctx);
    fillGroup(projectNode, QStringLiteral("Objects"), p.Objects(), true, p, ctx);
    fillGroup(projectNode, QStringLiteral("Forms"), p.Forms(), false, p, ctx);
    fillGroup(projectNode, QStringLiteral("Modules"), p.Modules(), false, p, ctx);
    fillGroup(projectNode, QStringLiteral("Classes"), p.Classes(), false, p, ctx);
    fillGroup(projectNode, QStringLiteral("UserControls"), p.UserControls(), false, p, ctx);
    fillGroup(projectNode, QStringLiteral("PropertyPages"), p.PropertyPages(), false, p, ctx);
    m_tree->setCurrentItem(nullptr);
    return true;
}

QTreeWidgetItem* ProjectView::addNode(QTreeWidgetItem* parent, const QString& key,
                                      const QString& text, const QString& image) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    node->setText(0, text);
    node->setData(0, KeyRole, key);
    node->setData(0, ImageRole, image);
    node->setIcon(0, m_images.icon(image));
    return node;
}

void ProjectView::fillGroup(QTreeWidgetItem* projectNode, const QString& caption, CModuleList& list,
                            bool referenceGroup, CProject& project, const PageContext& ctx) {
    if (list.Size() == -1) return;
    const QString image = caption.toLower();
    QTreeWidgetItem* groupNode = addNode(projectNode, caption, caption, image);
    // A copy of the list's items: the page writer may walk the same lists.
    for (const auto& module : list.elements()) {
        const QString name = QString::fromStdString(module->Name());
        const QString text = referenceGroup ? QString::fromStdString(module->Description()) : name;
        // Two modules of one name each get their node; keys need not be unique here.
        QTreeWidgetItem* moduleNode = addNode(groupNode, name, text, image);
        const CModule& m = *module;
        fillElementGroup(moduleNode, m, QStringLiteral("Implementations"), m.Implementations(),
                         project, ctx);
        fillElementGroup(moduleNode, m, QStringLiteral("Declarations"), m.Declarations(), project,
                         ctx);
        fillElementGroup(moduleNode, m, QStringLiteral("Types"), m.Types(), project, ctx);
        fillElementGroup(moduleNode, m, QStringLiteral("Enums"), m.Enums(), project, ctx);
        fillElementGroup(moduleNode, m, QStringLiteral("Events"), m.Events(), project, ctx);
        fillElementGroup(moduleNode, m, QStringLiteral("Constants"), m.Constants(), project, ctx);
        fillElementGroup(moduleNode, m, QStringLiteral("Variables"), m.Variables(), project, ctx);
        fillElementGroup(moduleNode, m, QStringLiteral("Functions"), m.Functions(), project, ctx);
        fillElementGroup(moduleNode, m, QStringLiteral("Subroutines"), m.Subroutines(), project,
                         ctx);
        fillElementGroup(moduleNode, m, QStringLiteral("Properties"), m.Properties(), project, ctx);
    }
}

void ProjectView::fillElementGroup(QTreeWidgetItem* moduleNode, const CModule& module,
                                   const QString& caption, const IIterator& list, CProject& project,
                                   const PageContext& ctx) {
    if (list.Size() == -1) return;
    const QString moduleName = QString::fromStdString(module.Name());
    QTreeWidgetItem* groupNode =
        addNode(moduleNode, moduleName + QLatin1Char('_') + caption, caption, caption.toLower());
    const bool implementations = caption == QLatin1String("Implementations");
    for (const auto& item : list.Items()) {
        const auto* element = dynamic_cast<const Element*>(item.get());
        if (!element) continue;
        const QString image = implementations
                                  ? QStringLiteral("implementations")
                                  : caption.trimmed().toLower() + scopeSuffix(element->scope());
        QTreeWidgetItem* node =
            addNode(groupNode, QString(), QString::fromStdString(element->Name()), image);
        const QString tag = QStringLiteral("E%1").arg(++m_nextTag);
        node->setData(0, TagRole, tag);
        // A description that cannot be made leaves this one node without
        // one; the rest of the group is still filled.
        try {
            const std::string html = modHtml::buildMemberPage(*element, module, project, ctx);
            m_descriptions->Add(tag.toStdString(), html);
        } catch (const std::exception& e) {
            emit consoleLine(QStringLiteral("%1.%2: %3")
                                 .arg(moduleName, node->text(0), QString::fromUtf8(e.what())));
        }
    }
}

QString ProjectView::descriptionOf(const QTreeWidgetItem* node) const {
    const QString tag = node ? node->data(0, TagRole).toString() : QString();
    return QString::fromStdString(m_descriptions->item(tag.toStdString(), "No description"));
}

void ProjectView::nodeSelected(QTreeWidgetItem* node) {
    if (!node) return;
    emit previewRequested(node->text(0), descriptionOf(node));
}

}  // namespace tarnwick
