// DockingControl: the main window's docking layer (ucPerspective).
//
// It hosts registered views in dock windows around a central editor area of
// document tabs and switches between named layouts, the perspectives. A
// perspective is described once with folders: each folder has a name, a
// placement beside a reference (the editor area or an earlier folder), a
// ratio and the views it shows; several views in one folder become tabs.
// Showing a perspective the first time lays it out from its folders; after
// that it comes back as the user left it.
//
// Placement codes: 1 left, 2 right, 3 above, 4 below the reference. Ratio:
// a folder to the left or right takes that share of the width; a folder
// above or below leaves the upper part that share of the height (so 0.7
// below the editor area gives the editor 70 %).
//
// The control tells its owner which views and perspectives appear and
// disappear (viewShown, viewHidden, perspectiveShown, perspectiveHidden),
// so menus can carry ticks that follow the layout.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

class QDockWidget;
class QMainWindow;
class QTabWidget;
class QWidget;

namespace tarnwick {

class DockingControl : public QObject {
    Q_OBJECT
public:
    enum Placement { Left = 1, Right = 2, Top = 3, Bottom = 4 };
    // Schemes: 0 Windows XP, 2 Office, 99 custom.
    enum Scheme { WindowsXP = 0, Office = 2, Custom = 99 };

    class Folder {
    public:
        // Puts the view of key into this folder (visible: shown when the
        // perspective is laid out).
        void addView(const QString& key, bool visible = true);
        const QString& name() const { return m_name; }
        int placement() const { return m_placement; }
        double ratio() const { return m_ratio; }
        const QString& reference() const { return m_reference; }
        const QStringList& views() const { return m_views; }

    private:
        friend class DockingControl;
        QString m_name;
        int m_placement = Left;
        double m_ratio = 0.5;
        QString m_reference;
        QStringList m_views;
        QStringList m_hiddenViews;
    };

    class Perspective {
    public:
        // Identifier of the central editor area, the reference for folders.
        QString editorArea() const { return QStringLiteral("EditorArea"); }
        Folder& addFolder(const QString& name, int placement, double ratio,
                          const QString& reference);
        // Marks the description as complete (the layout flag).
        void setFixedLayout(bool value) { m_fixed = value; }
        bool fixedLayout() const { return m_fixed; }
        const QString& name() const { return m_name; }
        const std::vector<std::unique_ptr<Folder>>& folders() const { return m_folders; }
        // Names of every view the perspective shows.
        QStringList viewKeys() const;

    private:
        friend class DockingControl;
        QString m_name;
        bool m_fixed = false;
        std::vector<std::unique_ptr<Folder>> m_folders;
        QByteArray m_savedState;  // the layout as the user left it; empty until shown once
    };

    // window: the main window, which owns this control as its child.
    explicit DockingControl(QMainWindow* window);
    ~DockingControl() override;

    // Hosts view as the view of key in a dock window with that caption and
    // returns the dock. Registering a key again replaces the earlier view.
    QDockWidget* registerView(QWidget* view, const QString& key, const QString& caption);
    // The perspective of that name, created on first request.
    Perspective& perspective(const QString& name);
    // Switches to the perspective's layout (unknown names do nothing).
    void showPerspective(const QString& name);
    // Makes the view of key visible in the current layout.
    void showView(const QString& key);
    // Shows document as a new tab of the editor area; the area owns it.
    void addDocument(QWidget* document, const QString& title);
    // Marks the tab of document as the preview that follows the selection
    // (its title in italics, as against pinned pages); null marks none.
    void setPreviewDocument(QWidget* document);
    bool isPreviewTab(int index) const;
    void setScheme(int scheme);
    int scheme() const { return m_scheme; }
    // The colour of the toolbar's captions in the current scheme.
    QColor toolbarTextColour() const;
    // The perspective's layout as the user left it (the current one as it
    // is now), for keeping it from one start to the next; empty before the
    // perspective was first shown.
    QByteArray layoutState(const QString& name) const;
    // Takes back a layout of layoutState; the current perspective shows it
    // at once, another one when it is next shown.
    void setLayoutState(const QString& name, const QByteArray& state);
    // Lets go of every view and layout; called once when the window closes.
    void release();

    QTabWidget* editorArea() const { return m_editor; }
    const QString& currentPerspective() const { return m_current; }
    bool isViewVisible(const QString& key) const;
    QDockWidget* dock(const QString& key) const;
    QWidget* view(const QString& key) const;

signals:
    void viewShown(const QString& key);
    void viewHidden(const QString& key);
    void perspectiveShown(const QString& name);
    void perspectiveHidden(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut(Perspective& perspective);
    void applyRatios();
    void syncVisibility();

    QMainWindow* m_window;  // not owned: the parent
    QTabWidget* m_editor;
    std::map<QString, QPointer<QDockWidget>> m_docks;
    std::map<QString, std::unique_ptr<Perspective>> m_perspectives;
    QHash<QString, bool> m_visible;  // what the last signals told
    QString m_current;
    Perspective* m_ratiosPending = nullptr;  // laid out, sizes still to set
    int m_scheme = WindowsXP;
    bool m_released = false;
    bool m_arranging = false;  // views come and go while a layout is made: no events
};

}  // namespace tarnwick
