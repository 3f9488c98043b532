// ProjectView (frmViewProject): the open project as a tree.
//
// RefreshProjectTree parses a project file into AppState::CurrentProject and
// shows it: the project node, its library and module groups (References,
// Objects, Forms, Modules, Classes, UserControls, PropertyPages, each only
// when not empty), under each module its element groups (Implementations ...
// Properties) and under those one node per element, with an icon for its
// kind and scope. Each element's documentation text is made once, at the
// refresh, by the member-page writer without writing a file; selecting a
// node asks for a preview document showing it ("No description" for nodes
// that have none).
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "support/HashTable.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace tarnwick {

struct AppState;
class CModule;
class CModuleList;
class CProject;
class IIterator;
class ImageList;
struct PageContext;

class ProjectView : public QWidget {
    Q_OBJECT
public:
    // Roles of the node data: the node key, the image key and the tag.
    enum Role { KeyRole = Qt::UserRole + 1, ImageRole, TagRole };

    // state and images are not owned and must outlive the view.
    ProjectView(AppState& state, const ImageList& images, QWidget* parent = nullptr);
    ~ProjectView() override;

    // Parses the project at path and rebuilds the tree. On failure the tree
    // keeps what it showed and error (when given) receives the reason,
    // naming the file.
    bool RefreshProjectTree(const QString& path, QString* error = nullptr);

    QTreeWidget* tree() const { return m_tree; }
    const ImageList& imageList() const { return m_images; }
    // The stored description of a node, or "No description".
    QString descriptionOf(const QTreeWidgetItem* node) const;

signals:
    // A preview document is wanted: the node's text and its description.
    void previewRequested(const QString& title, const QString& html);
    // A line for the console (one per member page made).
    void consoleLine(const QString& line);

private:
    void fillGroup(QTreeWidgetItem* projectNode, const QString& caption, CModuleList& list,
                   bool referenceGroup, CProject& project, const PageContext& ctx);
    void fillElementGroup(QTreeWidgetItem* moduleNode, const CModule& module,
                          const QString& caption, const IIterator& list, CProject& project,
                          const PageContext& ctx);
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& key, const QString& text,
                             const QString& image);
    void nodeSelected(QTreeWidgetItem* node);

    AppState& m_state;
    const ImageList& m_images;
    QTreeWidget* m_tree;                        // tvwProject
    std::unique_ptr<HashTable> m_descriptions;  // node tag to description
    qint64 m_nextTag = 0;
    QTreeWidgetItem* m_justSelected = nullptr;  // made current by the press being handled  // tags
                                                // are never reused, so none can meet an old entry
};

}  // namespace tarnwick
