#include "shell/ProjectView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <functional>
#include <stdexcept>

#include "generator/layout/PageFrame.h"
#include "generator/pages/FormPicture.h"
#include "generator/pages/ModulePages.h"
#include "generator/pages/modHtml.h"
#include "generator/run/GroupPreview.h"
#include "generator/site/Timestamp.h"
#include "model/CHelper.h"
#include "model/Element.h"
#include "reader/CParser.h"
#include "reader/ConditionalCompilation.h"
#include "reader/GroupFile.h"
#include "shell/AppState.h"
#include "shell/ImageList.h"
#include "shell/PlainText.h"
#include "support/ProgramFolder.h"
#include "support/Text.h"

namespace tarnwick {

// One read of a project: filled by the worker, handed to the view's thread
// when done. A cancelled job's result is dropped.
struct ProjectView::Job {
    QString path;
    // A group file: its project at shown (the startup project first) is
    // read for the tree, and the group's projects (name, project file) are
    // listed above it.
    std::string projectPath;
    std::vector<std::pair<std::string, std::string>> group;
    size_t shown = 0;
    // What the shown project's pages show of the other projects of its
    // group, as the group's site shows it (the settings its previews start with).
    GenerationSettings settings;
    std::shared_ptr<const GroupSite> groupSite;
    std::vector<std::string> defines;
    std::atomic<bool> done{false};
    std::atomic<bool> cancel{false};  // the reader gives up when set
    Expected<std::shared_ptr<CProject>> result = Error{"The project was not read."};
    Translation translation;
    std::vector<std::string> diagnostics;
    qint64 elapsedMs = 0;
};

// A tree made in pieces: the nodes of the project read by job, kept apart
// from the widget until the last module has its nodes.
struct ProjectView::TreeBuild {
    struct Group {
        const char* caption;
        CModuleList* list;
        bool reference;
    };
    std::shared_ptr<Job> job;
    std::shared_ptr<CProject> project;
    std::unique_ptr<QTreeWidgetItem> root;
    NodeIndex index;
    std::vector<Group> groups;
    size_t group = 0;                      // the group being filled
    size_t module = 0;                     // its next module
    QTreeWidgetItem* groupNode = nullptr;  // its node, once made
    int members = 0;                       // its members so far
    QStringList summary;
    QElapsedTimer clock;  // since the read was done
};

// The previews' tables made on a worker thread for one project and settings.
struct ProjectView::TablesJob {
    std::shared_ptr<CProject> project;
    GenerationSettings settings;
    std::unique_ptr<SiteTables> tables;  // null when making them failed
    std::thread worker;
};

namespace {

// The reader's messages, kept until the read is done.
class ReaderMessages : public DiagnosticsSink {
public:
    explicit ReaderMessages(std::vector<std::string>& lines) : m_lines(lines) {}
    void report(const Diagnostic& diagnostic) override { m_lines.push_back(diagnostic.toString()); }

private:
    std::vector<std::string>& m_lines;
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

// Adds value to seen; false when it was there already.
bool addOnce(QSet<QString>& seen, const QString& value) {
    const auto size = seen.size();
    seen.insert(value);
    return seen.size() != size;
}

// Filters the subtree of node; returns whether node or a descendant matches.
bool filterNode(QTreeWidgetItem* node, const QString& text, bool ancestorMatches) {
    const bool self = text.isEmpty() || node->text(0).contains(text, Qt::CaseInsensitive);
    bool below = false;
    for (int i = 0; i < node->childCount(); ++i)
        below |= filterNode(node->child(i), text, ancestorMatches || self);
    node->setHidden(!(self || below || ancestorMatches));
    if (below && !text.isEmpty()) node->setExpanded(true);
    return self || below;
}

}  // namespace

ProjectView::ProjectView(AppState& state, const ImageList& images, QWidget* parent)
    : QWidget(parent),
      m_state(state),
      m_images(images),
      m_filter(new QLineEdit(this)),
      m_tree(new QTreeWidget(this)),
      m_descriptions(std::make_unique<HashTable>()) {
    setWindowTitle(QStringLiteral("Project"));
    m_filter->setObjectName(QStringLiteral("txtFilter"));
    m_filter->setPlaceholderText(QStringLiteral("Filter"));
    m_filter->setClearButtonEnabled(true);
    m_tree->setObjectName(QStringLiteral("tvwProject"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setUniformRowHeights(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    layout->addWidget(m_filter);
    layout->addWidget(m_tree);
    connect(m_filter, &QLineEdit::textChanged, this, &ProjectView::applyFilter);
    // A click on the node already selected shows it again (the preview may
    // have been closed). A click on another node changes the current node
    // first and is then pressed: that press must not show it twice.
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
    // Activated: a double click, or Return on the current node. A project
    // of the group is shown in the tree instead (it has no page of its own
    // in the preview: the tree reads one project at a time).
    connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* node) {
        if (const QVariant project = node->data(0, GroupProjectRole); project.isValid())
            emit groupProjectChosen(project.toInt());
        else
            openInNewTab(node);
    });
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QTreeWidgetItem* node = m_tree->itemAt(at);
        if (!node) return;
        QMenu menu(this);
        if (const QVariant project = node->data(0, GroupProjectRole); project.isValid()) {
            menu.addAction(QStringLiteral("Show This Project"), this,
                           [this, project] { emit groupProjectChosen(project.toInt()); });
            menu.exec(m_tree->viewport()->mapToGlobal(at));
            return;
        }
        menu.addAction(QStringLiteral("Open in New Tab"), this,
                       [this, node] { openInNewTab(node); });
        menu.exec(m_tree->viewport()->mapToGlobal(at));
    });
}

ProjectView::~ProjectView() {
    for (auto& worker : m_workers) worker.second->cancel = true;
    m_job.reset();
    m_build.reset();
    joinFinishedWorkers(true);
    takeTablesJob({});
}

void ProjectView::joinFinishedWorkers(bool all) {
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (all || it->second->done) {
            it->first.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

// A group file's job: its projects listed, the one to show chosen, and what
// the shown one's previews show of the others, read before it is.
std::unique_ptr<GroupPreview> ProjectView::readGroupOf(Job& job, DiagnosticsSink& sink) {
    auto group = readGroup({job.projectPath}, CodePage(), sink);
    if (!group) throw std::runtime_error(group.error().message);
    for (const GroupProject& project : group.value().projects)
        job.group.emplace_back(project.name, project.path);
    // The group may have lost projects since its node was clicked.
    job.shown = std::min(job.shown, job.group.size() - 1);
    job.projectPath = job.group[job.shown].second;
    GenerationRequest request;
    request.projectPath = job.path.toStdString();
    request.settings = job.settings;
    request.defines = job.defines;
    return std::make_unique<GroupPreview>(
        std::make_shared<const ProjectGroup>(std::move(group).value()), job.shown, request,
        &job.cancel, sink);
}

bool ProjectView::readerRunning() const {
    for (const auto& worker : m_workers)
        if (!worker.second->done) return true;
    return false;
}

void ProjectView::startRefresh(const QString& path, int groupProject) {
    if (m_job) cancelRefresh();
    joinFinishedWorkers(false);
    auto job = std::make_shared<Job>();
    job->path = path;
    job->shown = static_cast<size_t>(std::max(groupProject, 0));
    job->defines = m_state.defines;
    job->settings = previewSettings();
    m_job = job;
    std::function<void()> hook = workerHook;
    std::function<void(const char*)> stepHook = readerStepHook;
    std::thread worker([this, job, hook, stepHook] {
        QElapsedTimer clock;
        clock.start();
        // Nothing may escape the worker: an exception there would end the program.
        try {
            if (hook) hook();
            ReaderMessages sink(job->diagnostics);
            job->projectPath = job->path.toStdString();
            const std::unique_ptr<GroupPreview> groupPreview =
                isGroupFile(job->projectPath) ? readGroupOf(*job, sink) : nullptr;
            CParser parser;
            parser.setPath(job->projectPath);
            parser.setCodePage(CodePage());
            parser.setDiagnostics(&sink);
            parser.setCancelFlag(&job->cancel);
            parser.setStepHook(stepHook);
            parser.setRegistry(std::make_shared<const RegistrySource>(
                RegistrySource::fromLocation(registryFromEnvironment(""), &sink)));
            if (auto defines = readDefines(job->defines))
                parser.setDefines(std::move(defines).value());
            if (groupPreview) groupPreview->prepare(parser);
            job->result = parser.Parse();
            if (groupPreview && job->result && !job->cancel) {
                groupPreview->finish(*job->result.value());
                job->groupSite = groupPreview->site();
            }
            if (!job->cancel) job->translation = Translation::load(Translation::defaultPath());
        } catch (const std::exception& e) {
            job->result = Error{job->path.toStdString() + ": " + e.what()};
        }
        job->elapsedMs = clock.elapsed();
        job->done = true;
        // The view joins every worker before it goes, so it is still here.
        QMetaObject::invokeMethod(
            this, [this, job] { jobDone(job); }, Qt::QueuedConnection);
    });
    m_workers.emplace_back(std::move(worker), job);
}

void ProjectView::cancelRefresh() {
    if (!m_job) return;
    m_job->cancel = true;  // the worker stops at the reader's next look
    m_job.reset();
    m_build.reset();  // the tree shown stays
    emit refreshFinished(false, QString());
}

bool ProjectView::RefreshProjectTree(const QString& path, QString* error, int groupProject) {
    QEventLoop loop;
    bool ok = false;
    const QMetaObject::Connection done =
        connect(this, &ProjectView::refreshFinished, &loop, [&](bool success, const QString& why) {
            ok = success;
            if (error) *error = why;
            loop.quit();
        });
    startRefresh(path, groupProject);
    if (m_job) loop.exec();
    disconnect(done);
    return ok;
}

void ProjectView::jobDone(const std::shared_ptr<Job>& job) {
    if (job != m_job) return;  // cancelled, or replaced by a later read
    joinFinishedWorkers(false);
    for (const std::string& line : job->diagnostics) emit consoleLine(QString::fromStdString(line));
    if (!job->result) {
        m_job.reset();
        emit refreshFinished(false, QString::fromStdString(job->result.error().message));
        return;
    }
    auto build = std::make_unique<TreeBuild>();
    build->clock.start();
    build->job = job;
    build->project = job->result.value();
    build->project->setPath(job->projectPath);
    CProject& p = *build->project;
    build->groups = {
        {"References", &p.References(), true},
        {"Objects", &p.Objects(), true},
        {"Forms", &p.Forms(), false},
        {"Modules", &p.Modules(), false},
        {"Classes", &p.Classes(), false},
        {"UserControls", &p.UserControls(), false},
        {"PropertyPages", &p.PropertyPages(), false},
        {"UserDocuments", &p.UserDocuments(), false},
        {"Designers", &p.Designers(), false},
    };
    build->root.reset(addNode(nullptr, QStringLiteral("project"),
                              QString::fromStdString(p.displayName()), QStringLiteral("project")));
    build->root->setToolTip(0, plainToolTip(QString::fromStdString(job->projectPath)));
    build->root->setData(0, TagRole, QStringLiteral("P"));
    m_build = std::move(build);
    buildSomeNodes();
}

void ProjectView::buildSomeNodes() {
    if (!m_build) return;  // cancelled since
    TreeBuild& build = *m_build;
    QElapsedTimer slice;
    slice.start();
    // At least one module a turn, however small the slice.
    for (bool more = true; more && build.group < build.groups.size();
         more = slice.elapsed() < buildSliceMs) {
        const TreeBuild::Group& group = build.groups[build.group];
        const auto& modules = group.list->elements();
        if (!build.groupNode && !addGroup(build)) {
            ++build.group;
            continue;
        }
        if (build.module < modules.size()) {
            fillModule(build, *modules[build.module++]);
            continue;
        }
        auto count = [](qsizetype n, const char* one, const char* many) {
            return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
        };
        const qsizetype n = static_cast<qsizetype>(modules.size());
        build.summary << QLatin1String(group.caption) + QStringLiteral(": ") +
                             (group.reference
                                  ? count(n, "entry", "entries")
                                  : count(n, "module", "modules") + QStringLiteral(", ") +
                                        count(build.members, "member", "members"));
        build.groupNode = nullptr;
        build.module = 0;
        build.members = 0;
        ++build.group;
    }
    if (buildHook) buildHook();
    if (!m_build) return;  // the hook cancelled
    if (build.group < build.groups.size())
        QTimer::singleShot(0, this, &ProjectView::buildSomeNodes);
    else
        finishTree();
}

void ProjectView::finishTree() {
    std::unique_ptr<TreeBuild> build = std::move(m_build);
    const std::shared_ptr<Job> job = std::move(m_job);
    m_groupSite = job->groupSite;
    resetPreviews(build->project);
    m_translation = std::move(job->translation);
    m_index = std::move(build->index);

    const QSignalBlocker blocker(m_tree);
    m_tree->setUpdatesEnabled(false);
    m_tree->clear();
    QTreeWidgetItem* projectNode = build->root.release();
    m_tree->addTopLevelItem(projectNode);
    projectNode->setExpanded(true);
    if (!job->group.empty()) addGroupNode(job->path, job->group, job->shown);
    if (!m_filter->text().isEmpty()) applyFilter(m_filter->text());
    m_tree->setCurrentItem(nullptr);
    m_tree->setUpdatesEnabled(true);
    for (const QString& line : build->summary) emit consoleLine(line);
    emit consoleLine(QStringLiteral("Read %1 in %2 s")
                         .arg(job->path)
                         .arg((job->elapsedMs + build->clock.elapsed()) / 1000.0, 0, 'f', 2));
    emit refreshFinished(true, QString());
}

void ProjectView::resetPreviews(const std::shared_ptr<CProject>& project) {
    takeTablesJob({});  // of the last project
    m_state.CurrentProject = project;
    m_project = project;
    // The descriptions made for the nodes carry their syntax sections.
    m_state.settings.Syntax = true;
    m_state.settings.Parameter = true;
    m_state.settings.Return = true;
    m_state.settings.Source = true;
    m_ctx = PageContext();
    m_ctx.translation = &m_translation;
    m_ctx.language = m_state.Language.toStdString();
    const char* fixedTime = std::getenv("SOURCE_DATE_EPOCH");
    m_ctx.now = makeNowFunction(fixedTime ? fixedTime : "", m_ctx.language);
    m_tables.reset();  // made for the settings of the first preview
    m_ctx.projectName = project->displayName();
    m_ctx.group = m_groupSite.get();
    // Nodes of earlier refreshes are gone, and so is any use of their texts.
    m_descriptions->RemoveAll();
}

void ProjectView::addGroupNode(const QString& path,
                               const std::vector<std::pair<std::string, std::string>>& projects,
                               size_t shown) {
    QTreeWidgetItem* groupNode =
        addNode(nullptr, QStringLiteral("group"), QFileInfo(path).completeBaseName(),
                QStringLiteral("project"));
    groupNode->setToolTip(0, plainToolTip(path));
    for (size_t i = 0; i < projects.size(); ++i) {
        QTreeWidgetItem* node =
            addNode(groupNode, QStringLiteral("groupProject"),
                    QString::fromStdString(projects[i].first), QStringLiteral("project"));
        node->setToolTip(0, plainToolTip(QString::fromStdString(projects[i].second)));
        node->setData(0, GroupProjectRole, static_cast<int>(i));
        // The project the tree below shows.
        if (i == shown) {
            QFont font = node->font(0);
            font.setBold(true);
            node->setFont(0, font);
        }
    }
    m_tree->insertTopLevelItem(0, groupNode);
    groupNode->setExpanded(true);
}

QTreeWidgetItem* ProjectView::addNode(QTreeWidgetItem* parent, const QString& key,
                                      const QString& text, const QString& image) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem;
    node->setText(0, text);
    node->setData(0, KeyRole, key);
    node->setData(0, ImageRole, image);
    node->setIcon(0, m_images.icon(image));
    return node;
}

bool ProjectView::addGroup(TreeBuild& build) {
    const TreeBuild::Group& group = build.groups[build.group];
    if (group.list->Size() == -1) return false;
    const QString caption = QLatin1String(group.caption);
    build.groupNode = addNode(build.root.get(), caption, caption, caption.toLower());
    // Libraries have no pages of their own: the project summary lists them.
    build.groupNode->setData(0, TagRole,
                             group.reference ? QStringLiteral("P")
                                             : QStringLiteral("K%1").arg(build.index.lists.size()));
    if (!group.reference) build.index.lists.push_back(group.list);
    return true;
}

void ProjectView::fillModule(TreeBuild& build, const CModule& m) {
    const bool reference = build.groups[build.group].reference;
    NodeIndex& index = build.index;
    const QString name = QString::fromStdString(m.Name());
    const QString text = reference ? QString::fromStdString(m.Description()) : name;
    // Two modules of one name each get their node; keys need not be unique here.
    QTreeWidgetItem* moduleNode =
        addNode(build.groupNode, name, text, build.groupNode->data(0, ImageRole).toString());
    moduleNode->setData(
        0, TagRole,
        reference ? QStringLiteral("P") : QStringLiteral("M%1").arg(index.modules.size()));
    if (!reference) index.modules.push_back(&m);
    for (const ElementKind kind : kTreeOrder)
        build.members += fillElementGroup(
            index, moduleNode, m, QLatin1String(kindTraits(kind).listName), *m.listOf(kind));
    if (!reference) fillDesign(moduleNode, m, index.modules.size() - 1);
}

void ProjectView::fillDesign(QTreeWidgetItem* moduleNode, const CModule& module,
                             size_t moduleIndex) {
    if (!module.Design() || module.Design()->empty()) return;
    const QString moduleName = QString::fromStdString(module.Name());
    for (const bool menus : {false, true}) {
        const QString caption = menus ? QStringLiteral("Menus") : QStringLiteral("Controls");
        QTreeWidgetItem* groupNode = addNode(moduleNode, moduleName + QLatin1Char('_') + caption,
                                             caption, QStringLiteral("objects"));
        groupNode->setData(0, TagRole, moduleNode->data(0, TagRole));  // the module's overview
        std::function<void(QTreeWidgetItem*, const DesignControl&)> add =
            [&](QTreeWidgetItem* parent, const DesignControl& container) {
                for (const DesignControl& c : container.children) {
                    if (c.isMenu() != menus) continue;
                    QString text = QString::fromStdString(c.name);
                    if (const auto index = c.index()) text += QStringLiteral("(%1)").arg(*index);
                    const AccessKeyCaption caption = splitAccessKey(c.text("Caption"));
                    const std::string detail =
                        menus ? caption.before + caption.key + caption.after : c.className;
                    if (!detail.empty())
                        text += QStringLiteral(" - ") + QString::fromStdString(detail);
                    QTreeWidgetItem* node =
                        addNode(parent, QString(), text, QStringLiteral("objects"));
                    node->setData(0, TagRole,
                                  QStringLiteral("C%1:%2")
                                      .arg(moduleIndex)
                                      .arg(QString::fromStdString(controlAnchor(c.name))));
                    add(node, c);
                }
            };
        add(groupNode, module.Design()->form);
        if (groupNode->childCount() == 0) delete groupNode;
    }
}

int ProjectView::fillElementGroup(NodeIndex& index, QTreeWidgetItem* moduleNode,
                                  const CModule& module, const QString& caption,
                                  const IIterator& list) {
    if (list.Size() == -1) return 0;
    const QString moduleName = QString::fromStdString(module.Name());
    QTreeWidgetItem* groupNode =
        addNode(moduleNode, moduleName + QLatin1Char('_') + caption, caption, caption.toLower());
    groupNode->setData(0, TagRole, moduleNode->data(0, TagRole));  // the module's overview
    const QString kind = caption.trimmed().toLower();
    int count = 0;
    QSet<QString> properties;  // Get, Let and Set of one name are one page
    for (const auto& item : list.Items()) {
        const auto* element = dynamic_cast<const Element*>(item.get());
        if (!element) continue;
        if (element->Kind() == ElementKind::Property &&
            !addOnce(properties, QString::fromStdString(element->Name()).toLower()))
            continue;
        // An implemented interface has one image: it has no scope.
        const QString image = element->Kind() == ElementKind::Implementation
                                  ? kind
                                  : kind + scopeSuffix(element->scope());
        QTreeWidgetItem* node =
            addNode(groupNode, QString(), QString::fromStdString(element->Name()), image);
        node->setData(0, TagRole, QStringLiteral("E%1").arg(index.nodes.size()));
        index.nodes.push_back({element, &module});
        ++count;
    }
    return count;
}

GenerationSettings ProjectView::previewSettings() const {
    // A preview is the page the next run writes for its node, with the
    // settings the dialog holds for it; a preview stands alone, so in the
    // framed layout (the modern frame needs its site around it).
    GenerationSettings settings = m_state.dialog.boxes;
    settings.layout = PageLayout::Frames;
    return settings;
}

void ProjectView::preparePreviewsSoon() {
    const GenerationSettings settings = previewSettings();
    if (!m_project || (m_tables && settings == m_tablesFor)) return;
    takeTablesJob({});
    m_tablesJob = std::make_unique<TablesJob>();
    TablesJob& job = *m_tablesJob;
    job.project = m_project;
    job.settings = settings;
    job.worker = std::thread([&job] {
        // Nothing may escape the worker; the first preview then makes the tables.
        try {
            job.tables = std::make_unique<SiteTables>(*job.project, job.settings);
        } catch (const std::exception&) {
            job.tables.reset();
        }
    });
}

std::unique_ptr<SiteTables> ProjectView::takeTablesJob(const GenerationSettings& settings) {
    if (!m_tablesJob) return nullptr;
    m_tablesJob->worker.join();
    std::unique_ptr<TablesJob> job = std::move(m_tablesJob);
    if (job->project != m_project || !(job->settings == settings)) return nullptr;
    return std::move(job->tables);
}

void ProjectView::preparePreviews() {
    const GenerationSettings settings = previewSettings();
    if (!m_project || (m_tables && settings == m_tablesFor)) return;
    m_tables = takeTablesJob(settings);
    if (!m_tables) m_tables = std::make_unique<SiteTables>(*m_project, settings);
    m_tablesFor = settings;
    m_ctx.settings = settings;
    m_tables->applyTo(m_ctx);
    m_descriptions->RemoveAll();
}

QString ProjectView::descriptionOf(const QTreeWidgetItem* node) {
    const QString tag = node ? node->data(0, TagRole).toString() : QString();
    if (tag.isEmpty()) return QStringLiteral("No description");
    preparePreviews();
    const std::string key = tag.toStdString();
    if (!m_descriptions->Exists(key)) {
        try {
            std::string page = buildPreview(tag);
            if (page.empty()) return QStringLiteral("No description");
            m_descriptions->Add(key, std::move(page));
        } catch (const std::exception& e) {
            // The node stays without one; the reason goes to the console.
            emit consoleLine(
                QStringLiteral("%1: %2").arg(node->text(0), QString::fromUtf8(e.what())));
            return QStringLiteral("No description");
        }
    }
    return QString::fromStdString(m_descriptions->item(key, "No description"));
}

std::string ProjectView::buildPreview(const QString& tag) const {
    if (!m_project) return {};
    const size_t index = tag.mid(1).section(QLatin1Char(':'), 0, 0).toULongLong();
    const std::vector<NodeRef>& nodes = m_index.nodes;
    switch (tag.at(0).toLatin1()) {
        case 'E':
            if (index >= nodes.size()) return {};
            // A member the run writes no page for (an Implements line while
            // Implementations are off, a Private one while those are): its
            // module's page, which lists it where the run lists it.
            if (m_ctx.links &&
                m_ctx.links->memberPage(*nodes[index].module, *nodes[index].element).empty())
                return framePage(buildModulePage(*nodes[index].module, *m_project, m_ctx), m_ctx)
                    .text.takeBytes();
            return framePage(modHtml::buildMemberPage(*nodes[index].element, *nodes[index].module,
                                                      *m_project, m_ctx),
                             m_ctx)
                .text.takeBytes();
        case 'M':
        case 'C':  // a control: its module's overview, shown at its entry
            if (index >= m_index.modules.size()) return {};
            return framePage(buildModulePage(*m_index.modules[index], *m_project, m_ctx), m_ctx)
                .text.takeBytes();
        case 'K': {
            if (index >= m_index.lists.size()) return {};
            PageBodies pages = modHtml::buildKindIndex(*m_index.lists[index], *m_project, m_ctx);
            return pages.empty() ? std::string()
                                 : framePage(std::move(pages.front()), m_ctx).text.takeBytes();
        }
        case 'P':
            return framePage(modHtml::buildProjectSummary(*m_project, m_ctx), m_ctx)
                .text.takeBytes();
        default:
            return {};
    }
}

QUrl ProjectView::previewBase(const QTreeWidgetItem* node) {
    // Member and module pages lie in a kind's folder ("../src/..."), the
    // kind lists and the summary in the site's root ("src/...").
    const QString tag = node ? node->data(0, TagRole).toString() : QString();
    const bool inKindFolder = tag.startsWith(QLatin1Char('E')) ||
                              tag.startsWith(QLatin1Char('M')) || tag.startsWith(QLatin1Char('C'));
    QUrl base = QUrl::fromLocalFile(
        QString::fromStdString(programFolder()) +
        (inKindFolder ? QStringLiteral("Ressources/Preview/") : QStringLiteral("Ressources/")));
    // A control's preview opens at its entry.
    if (tag.startsWith(QLatin1Char('C'))) base.setFragment(tag.section(QLatin1Char(':'), 1));
    return base;
}

void ProjectView::applyFilter(const QString& text) {
    if (m_tree->topLevelItemCount() == 0) return;
    m_tree->setUpdatesEnabled(false);
    // The project node (the last: a group's node stands above it) is always
    // shown and never matched.
    QTreeWidgetItem* projectNode = m_tree->topLevelItem(m_tree->topLevelItemCount() - 1);
    const QString wanted = text.trimmed();
    for (int i = 0; i < projectNode->childCount(); ++i)
        filterNode(projectNode->child(i), wanted, false);
    m_tree->setUpdatesEnabled(true);
}

void ProjectView::openInNewTab(QTreeWidgetItem* node) {
    if (node) emit pinRequested(node->text(0), descriptionOf(node), previewBase(node));
}

bool ProjectView::showElement(const CModule* module, const Element* element) {
    if (!element) return false;
    // Get, Let and Set of a property are one node: the first accessor's.
    size_t found = m_index.nodes.size();
    for (size_t i = 0; i < m_index.nodes.size() && found == m_index.nodes.size(); ++i) {
        const NodeRef& ref = m_index.nodes[i];
        if (ref.element == element ||
            (ref.module == module && ref.element->Kind() == element->Kind() &&
             equalsIgnoreCase(ref.element->Name(), element->Name())))
            found = i;
    }
    if (found == m_index.nodes.size()) return false;
    const QString tag = QStringLiteral("E%1").arg(found);
    QTreeWidgetItem* node = nullptr;
    for (QTreeWidgetItemIterator it(m_tree); *it && !node; ++it)
        if ((*it)->data(0, TagRole).toString() == tag) node = *it;
    if (!node) return false;
    for (QTreeWidgetItem* n = node; n && !m_filter->text().isEmpty(); n = n->parent())
        if (n->isHidden()) m_filter->clear();
    for (QTreeWidgetItem* n = node->parent(); n; n = n->parent()) n->setExpanded(true);
    m_tree->scrollToItem(node);
    if (m_tree->currentItem() == node)
        nodeSelected(node);
    else
        m_tree->setCurrentItem(node);
    return true;
}

void ProjectView::nodeSelected(QTreeWidgetItem* node) {
    if (!node) return;
    emit previewRequested(node->text(0), descriptionOf(node), previewBase(node));
}

}  // namespace tarnwick
