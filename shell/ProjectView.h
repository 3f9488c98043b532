// ProjectView (frmViewProject): the open project as a tree.
//
// Opening a project reads it on a worker thread, so the window keeps
// painting and the read can be cancelled; the finished model becomes
// AppState::CurrentProject and is shown: the project node, its
// library and module groups (References, Objects, Forms, Modules, Classes,
// UserControls, PropertyPages, UserDocuments, Designers, each only when not
// empty), under each module
// its element groups (Implementations ... Properties) and under those one
// node per element, with an icon for its kind and scope. The console gets
// one summary line per group, not one per member. The nodes are made apart
// from the widget a few modules per turn of the event loop, so a big project
// never holds the window up; the finished tree replaces the shown one at once,
// and a cancel before that leaves the shown one as it was.
//
// The root shows the project's name (its file as the tooltip). A Property's
// Get, Let and Set are one node, as they are one page of the site.
//
// Every node previews the site's page for it, made by the core's page
// builders without writing a file the first time the node is selected, and
// kept: an element its member page, a module (and its element groups) the
// module's overview, a module kind the kind's list, the root and the
// library groups the project summary. Selecting a node asks for the
// preview; a double click or "Open in New Tab" asks for a page of its own. A
// filter box above the tree hides the elements and modules whose names do
// not match.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "generator/site/PageContext.h"
#include "generator/site/SiteTables.h"
#include "model/Translation.h"
#include "support/HashTable.h"

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarnwick {

struct AppState;
class CModule;
class CModuleList;
class CProject;
class DiagnosticsSink;
class GroupPreview;
class Element;
class IIterator;
class ImageList;

class ProjectView : public QWidget {
    Q_OBJECT
public:
    // Roles of the node data: the node key, the image key, the tag and, on
    // a project of a group, its position in the group.
    enum Role { KeyRole = Qt::UserRole + 1, ImageRole, TagRole, GroupProjectRole };

    // state and images are not owned and must outlive the view.
    ProjectView(AppState& state, const ImageList& images, QWidget* parent = nullptr);
    ~ProjectView() override;

    // Starts reading the project at path on a worker thread and returns at
    // once; refreshFinished follows. A read still running is cancelled. Of
    // a group file, the tree shows the project at groupProject (the startup
    // project first; one past the last: the last).
    void startRefresh(const QString& path, int groupProject = 0);
    // Gives up the read in progress: the tree keeps what it showed and
    // refreshFinished(false, "") follows at once.
    void cancelRefresh();
    // Whether a worker still reads, the read in progress or one given up.
    bool readerRunning() const;
    // startRefresh, then waits for the end while the event loop runs. On
    // failure the tree keeps what it showed and error (when given) receives
    // the reason, naming the file; a cancelled read gives an empty reason.
    bool RefreshProjectTree(const QString& path, QString* error = nullptr, int groupProject = 0);

    QTreeWidget* tree() const { return m_tree; }
    QLineEdit* filterBox() const { return m_filter; }
    // The preview page of a node, or "No description".
    QString descriptionOf(const QTreeWidgetItem* node);
    // Where the relative links of the node's preview (style sheet, icons)
    // resolve: the program's resource folder, seen from the folder the page
    // has in the site.
    static QUrl previewBase(const QTreeWidgetItem* node);
    // Shows only the nodes whose text contains text (ignoring case), with
    // their parents and, for a matching module or group, its children.
    void applyFilter(const QString& text);
    // Starts making the previews' tables (page names, cross links) for the
    // settings the dialog holds on a worker thread, so the first preview need
    // not make them on the window's thread; it waits for them if they are not
    // done yet.
    void preparePreviewsSoon();
    // Asks for the node's page in a tab of its own.
    void openInNewTab(QTreeWidgetItem* node);
    // Selects the node of element of module (shown again when it is
    // selected already), clearing a filter that hides it, so its page is
    // previewed as a click on it does; a property is found by any of its
    // accessors. False when the tree shows no such element (another project).
    bool showElement(const CModule* module, const Element* element);

    // Called on the worker thread before the project is read. Tests use it
    // to hold the worker there.
    std::function<void()> workerHook;
    // Told on the worker thread of each step of the read (CParser::setStepHook).
    std::function<void(const char* step)> readerStepHook;
    // Called on the view's thread after each piece of the tree is made.
    std::function<void()> buildHook;
    // How long one piece of the tree is made for; tests make it 0 (one
    // module a turn).
    int buildSliceMs = 15;

signals:
    void refreshFinished(bool ok, const QString& error);
    // The preview that follows the selection should show this.
    void previewRequested(const QString& title, const QString& html, const QUrl& base);
    // A page of its own is wanted for this.
    void pinRequested(const QString& title, const QString& html, const QUrl& base);
    void consoleLine(const QString& line);
    // A project of the open group was activated (a double click, Return):
    // the tree should show it.
    void groupProjectChosen(int groupProject);

private:
    struct Job;
    struct TreeBuild;
    struct TablesJob;
    // What a tag stands for: the element and its module in m_project.
    struct NodeRef {
        const Element* element;
        const CModule* module;
    };
    // What the tags of one tree stand for.
    struct NodeIndex {
        std::vector<NodeRef> nodes;             // tag "E<n>" is nodes[n]
        std::vector<const CModule*> modules;    // tag "M<n>" is modules[n]
        std::vector<const CModuleList*> lists;  // tag "K<n>" is lists[n]
    };

    void jobDone(const std::shared_ptr<Job>& job);
    // On the worker: the group of job's group file, for the project it shows.
    static std::unique_ptr<GroupPreview> readGroupOf(Job& job, DiagnosticsSink& sink);
    // Makes the next nodes of m_build, for about buildSliceMs, and comes back
    // in the next turn of the event loop until the tree is done.
    void buildSomeNodes();
    // The finished tree of m_build becomes the shown one.
    void finishTree();
    void resetPreviews(const std::shared_ptr<CProject>& project);
    // The group's node and its modules' nodes; false when the list is empty.
    bool addGroup(TreeBuild& build);
    void fillModule(TreeBuild& build, const CModule& module);
    int fillElementGroup(NodeIndex& index, QTreeWidgetItem* moduleNode, const CModule& module,
                         const QString& caption, const IIterator& list);
    // The Controls and Menus nodes of a module with a design, nested as the
    // designer nests them; a control's tag "C<n>:<anchor>" previews its
    // module's overview (the "M<n>" one) at the control's entry.
    void fillDesign(QTreeWidgetItem* moduleNode, const CModule& module, size_t moduleIndex);
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& key, const QString& text,
                             const QString& image);
    // The group file's node above the project's: its projects, the startup
    // one first, the one the tree shows (shown) in bold.
    void addGroupNode(const QString& path,
                      const std::vector<std::pair<std::string, std::string>>& projects,
                      size_t shown);
    void nodeSelected(QTreeWidgetItem* node);
    // The page a node tag stands for ("E<n>", "M<n>", "C<n>:<anchor>", "K<n>",
    // "P"); empty for none.
    std::string buildPreview(const QString& tag) const;
    // Makes the tables and context of the previews for the current
    // settings, when they changed since the last; the previews made before are dropped.
    void preparePreviews();
    // The settings of the previews: the dialog's, in the framed layout.
    GenerationSettings previewSettings() const;
    // The tables of the worker started by preparePreviewsSoon, once it is
    // done, when they are of this project and settings; null otherwise.
    std::unique_ptr<SiteTables> takeTablesJob(const GenerationSettings& settings);
    void joinFinishedWorkers(bool all);

    AppState& m_state;
    const ImageList& m_images;
    QLineEdit* m_filter;                        // txtFilter
    QTreeWidget* m_tree;                        // tvwProject
    std::unique_ptr<HashTable> m_descriptions;  // node tag to description, made on first use
    NodeIndex m_index;                          // of the tree shown
    std::shared_ptr<CProject> m_project;        // the project the tree shows
    Translation m_translation;
    std::unique_ptr<SiteTables> m_tables;          // of m_project; m_ctx points into them
    std::unique_ptr<TablesJob> m_tablesJob;        // tables being made on a worker, or null
    GenerationSettings m_tablesFor;                // the settings m_tables were made for
    PageContext m_ctx;                             // the previews' context, as the run's would be
    std::shared_ptr<const GroupSite> m_groupSite;  // m_ctx.group's table; null: no group
    QTreeWidgetItem* m_justSelected = nullptr;     // made current by the press being handled
    std::shared_ptr<Job> m_job;                    // the read in progress, or null
    std::unique_ptr<TreeBuild> m_build;            // the tree of m_job being made, or null
    std::vector<std::pair<std::thread, std::shared_ptr<Job>>> m_workers;
};

}  // namespace tarnwick
