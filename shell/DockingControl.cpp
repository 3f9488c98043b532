#include "shell/DockingControl.h"

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "shell/PlainText.h"

namespace tarnwick {

namespace {

Qt::DockWidgetArea areaOf(int placement) {
    switch (placement) {
        case DockingControl::Right:
            return Qt::RightDockWidgetArea;
        case DockingControl::Top:
            return Qt::TopDockWidgetArea;
        case DockingControl::Bottom:
            return Qt::BottomDockWidgetArea;
        default:
            return Qt::LeftDockWidgetArea;
    }
}

bool isSideways(int placement) {
    return placement != DockingControl::Top && placement != DockingControl::Bottom;
}

int share(double ratio, int total) {
    return std::max(40, static_cast<int>(std::clamp(ratio, 0.05, 0.95) * total));
}

// Dock title bars and the toolbar in the colours of each scheme. Every
// colour a text or a button is drawn in is given here, so a desktop with a
// dark palette cannot put light text on a light bar; the title buttons use
// the light or the dark picture to match the title bar.
struct SchemeColours {
    const char* title;
    const char* text;
    const char* bar;
    const char* barText;
    const char* buttons;  // "light" or "dark" title-button pictures
    const char* hover;
};

SchemeColours coloursOf(int scheme) {
    switch (scheme) {
        case DockingControl::Office:
            return {"qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f7f8fa, stop:1 #c9d1de)",
                    "#1f2a3a",
                    "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfbfc, stop:1 #dde2ea)",
                    "#1f2a3a",
                    "dark",
                    "rgba(31, 42, 58, 0.15)"};
        case DockingControl::Custom:  // the dark scheme
            return {"#3a3f44", "#f0f0f0", "#2b2f33",
                    "#f0f0f0", "light",   "rgba(255, 255, 255, 0.2)"};
        default:  // Windows XP
            return {"qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3a6fd1, stop:1 #1d4fae)",
                    "#ffffff",
                    "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f6f4ec, stop:1 #e3dfcf)",
                    "#1a1a1a",
                    "light",
                    "rgba(255, 255, 255, 0.25)"};
    }
}

QString dimmed(const QColor& colour) {
    return QStringLiteral("rgba(%1, %2, %3, 0.45)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue());
}

QString schemeStyleSheet(int scheme) {
    const auto [title, text, bar, barText, buttons, hover] = coloursOf(scheme);
    return QStringLiteral(
               "QDockWidget { color: %2; titlebar-close-icon: url(:/tarnwick/dock-close-%5.png);"
               " titlebar-normal-icon: url(:/tarnwick/dock-float-%5.png); }"
               "QDockWidget::title { background: %1; padding: 3px 6px; text-align: left; }"
               "QDockWidget::close-button, QDockWidget::float-button { border: none;"
               " background: transparent; padding: 1px; }"
               "QDockWidget::close-button:hover, QDockWidget::float-button:hover {"
               " background: %6; }"
               "QToolBar { background: %3; border: none; spacing: 2px; }"
               "QToolBar QToolButton { color: %4; background: transparent; }"
               "QToolBar QToolButton:hover { background: %6; }"
               "QToolBar QToolButton:disabled { color: %7; }")
        .arg(QLatin1String(title), QLatin1String(text), QLatin1String(bar), QLatin1String(barText),
             QLatin1String(buttons), QLatin1String(hover))
        // A command that cannot run now: its caption dimmed as its icon is.
        .arg(dimmed(QColor(QLatin1String(barText))));
}

// Draws the title of a tab whose data is true in italics.
class PreviewTabStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* bar = qobject_cast<const QTabBar*>(widget);
        if (element != CE_TabBarTabLabel || !bar ||
            !bar->tabData(bar->tabAt(option->rect.center())).toBool()) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        painter->save();
        QFont font = painter->font();
        font.setItalic(true);
        painter->setFont(font);
        QProxyStyle::drawControl(element, option, painter, widget);
        painter->restore();
    }
};

}  // namespace

void DockingControl::Folder::addView(const QString& key, bool visible) {
    if (m_views.contains(key)) return;
    m_views.append(key);
    if (!visible) m_hiddenViews.append(key);
}

DockingControl::Folder& DockingControl::Perspective::addFolder(const QString& name, int placement,
                                                               double ratio,
                                                               const QString& reference) {
    auto folder = std::make_unique<Folder>();
    folder->m_name = name;
    folder->m_placement = placement;
    folder->m_ratio = ratio;
    folder->m_reference = reference;
    m_folders.push_back(std::move(folder));
    return *m_folders.back();
}

QStringList DockingControl::Perspective::viewKeys() const {
    QStringList keys;
    for (const auto& folder : m_folders) keys += folder->views();
    return keys;
}

DockingControl::DockingControl(QMainWindow* window)
    : QObject(window), m_window(window), m_editor(new QTabWidget(window)) {
    m_editor->setObjectName(QStringLiteral("EditorArea"));
    m_editor->setTabsClosable(true);
    m_editor->setMovable(true);
    m_editor->setDocumentMode(true);
    connect(m_editor, &QTabWidget::tabCloseRequested, this, [this](int index) {
        QWidget* document = m_editor->widget(index);
        m_editor->removeTab(index);
        if (document) document->deleteLater();
    });
    auto* tabStyle = new PreviewTabStyle;
    tabStyle->setParent(m_editor->tabBar());
    m_editor->tabBar()->setStyle(tabStyle);
    m_window->setCentralWidget(m_editor);
    // Side folders run the full height, so a folder below the editor area
    // stays beside the side folders rather than under them.
    m_window->setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    m_window->setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
    m_window->setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
    m_window->setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
    m_window->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    m_window->installEventFilter(this);
    setScheme(WindowsXP);
}

DockingControl::~DockingControl() = default;

QDockWidget* DockingControl::registerView(QWidget* view, const QString& key,
                                          const QString& caption) {
    if (auto old = m_docks.find(key); old != m_docks.end() && old->second) {
        m_window->removeDockWidget(old->second);
        old->second->deleteLater();
    }
    auto* dock = new QDockWidget(caption, m_window);
    dock->setObjectName(key + QStringLiteral("_View"));
    dock->setWidget(view);
    dock->hide();
    connect(dock, &QDockWidget::visibilityChanged, this, [this] { syncVisibility(); });
    m_docks[key] = dock;
    m_visible[key] = false;
    return dock;
}

DockingControl::Perspective& DockingControl::perspective(const QString& name) {
    auto& slot = m_perspectives[name];
    if (!slot) {
        slot = std::make_unique<Perspective>();
        slot->m_name = name;
    }
    return *slot;
}

void DockingControl::showPerspective(const QString& name) {
    auto found = m_perspectives.find(name);
    if (m_released || found == m_perspectives.end()) return;
    if (name == m_current) {
        syncVisibility();
        emit perspectiveShown(name);
        return;
    }
    const QString previous = m_current;
    if (!previous.isEmpty()) m_perspectives[previous]->m_savedState = m_window->saveState();

    Perspective& next = *found->second;
    const QStringList keys = next.viewKeys();
    m_arranging = true;
    for (const auto& [key, dock] : m_docks)
        if (dock && !keys.contains(key)) dock->hide();
    if (next.m_savedState.isEmpty() || !m_window->restoreState(next.m_savedState)) layOut(next);
    m_arranging = false;
    m_current = name;
    syncVisibility();
    if (!previous.isEmpty()) emit perspectiveHidden(previous);
    emit perspectiveShown(name);
}

void DockingControl::layOut(Perspective& perspective) {
    for (const auto& folder : perspective.folders())
        for (const QString& key : folder->views())
            if (QDockWidget* d = dock(key)) m_window->removeDockWidget(d);

    for (const auto& folder : perspective.folders()) {
        if (folder->views().isEmpty()) continue;
        QDockWidget* first = dock(folder->views().first());
        if (!first) continue;
        const int placement = folder->placement();
        const Qt::Orientation split = isSideways(placement) ? Qt::Horizontal : Qt::Vertical;

        QDockWidget* reference = nullptr;
        for (const auto& other : perspective.folders())
            if (other.get() != folder.get() && other->name() == folder->reference() &&
                !other->views().isEmpty())
                reference = dock(other->views().first());

        if (!reference) {
            m_window->addDockWidget(areaOf(placement), first,
                                    isSideways(placement) ? Qt::Vertical : Qt::Horizontal);
        } else if (placement == Right || placement == Bottom) {
            m_window->splitDockWidget(reference, first, split);
        } else {
            // Qt only splits after the reference: put the new folder first,
            // then move the reference behind it.
            m_window->addDockWidget(m_window->dockWidgetArea(reference), first);
            m_window->splitDockWidget(first, reference, split);
        }
        first->show();
        for (const QString& key : folder->views().mid(1)) {
            if (QDockWidget* d = dock(key)) {
                m_window->tabifyDockWidget(first, d);
                d->setVisible(!folder->m_hiddenViews.contains(key));
            }
        }
        first->setVisible(!folder->m_hiddenViews.contains(folder->views().first()));
        first->raise();
    }
    m_ratiosPending = &perspective;
    if (m_window->isVisible()) QTimer::singleShot(0, this, [this] { applyRatios(); });
}

void DockingControl::applyRatios() {
    Perspective* perspective = m_ratiosPending;
    m_ratiosPending = nullptr;
    if (!perspective || m_released) return;
    for (const auto& folder : perspective->folders()) {
        if (folder->views().isEmpty()) continue;
        QDockWidget* d = dock(folder->views().first());
        if (!d || d->isHidden()) continue;
        const int placement = folder->placement();
        const double ratio = folder->ratio();
        QDockWidget* reference = nullptr;
        for (const auto& other : perspective->folders())
            if (other->name() == folder->reference() && !other->views().isEmpty())
                reference = dock(other->views().first());

        if (!reference) {
            if (isSideways(placement)) {
                m_window->resizeDocks({d}, {share(ratio, m_window->width())}, Qt::Horizontal);
            } else {
                const int total = m_editor->height() + d->height();
                const int size = placement == Top ? share(ratio, total) : share(1 - ratio, total);
                m_window->resizeDocks({d}, {size}, Qt::Vertical);
            }
        } else if (isSideways(placement)) {
            const int total = d->width() + reference->width();
            m_window->resizeDocks({d, reference}, {share(ratio, total), share(1 - ratio, total)},
                                  Qt::Horizontal);
        } else {
            const int total = d->height() + reference->height();
            QDockWidget* upper = placement == Top ? d : reference;
            QDockWidget* lower = placement == Top ? reference : d;
            m_window->resizeDocks({upper, lower}, {share(ratio, total), share(1 - ratio, total)},
                                  Qt::Vertical);
        }
    }
}

bool DockingControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && m_ratiosPending &&
        (event->type() == QEvent::Show || event->type() == QEvent::Resize))
        QTimer::singleShot(0, this, [this] { applyRatios(); });
    return QObject::eventFilter(watched, event);
}

void DockingControl::showView(const QString& key) {
    QDockWidget* d = dock(key);
    if (!d || m_released) return;
    if (m_window->dockWidgetArea(d) == Qt::NoDockWidgetArea && !d->isFloating())
        m_window->addDockWidget(Qt::LeftDockWidgetArea, d);
    d->show();
    d->raise();
    syncVisibility();
}

void DockingControl::addDocument(QWidget* document, const QString& title) {
    if (!document) return;
    const int index = m_editor->addTab(document, title);
    m_editor->setTabToolTip(index, plainToolTip(title));
    m_editor->setCurrentIndex(index);
}

void DockingControl::setPreviewDocument(QWidget* document) {
    for (int i = 0; i < m_editor->count(); ++i)
        m_editor->tabBar()->setTabData(i, document && m_editor->widget(i) == document);
}

QColor DockingControl::toolbarTextColour() const { return QColor(coloursOf(m_scheme).barText); }

bool DockingControl::isPreviewTab(int index) const {
    return m_editor->tabBar()->tabData(index).toBool();
}

void DockingControl::setScheme(int scheme) {
    m_scheme = scheme;
    m_window->setStyleSheet(schemeStyleSheet(scheme));
}

void DockingControl::release() {
    if (m_released) return;
    m_released = true;
    m_ratiosPending = nullptr;
    m_window->removeEventFilter(this);
    for (const auto& [key, dock] : m_docks)
        if (dock) disconnect(dock, nullptr, this, nullptr);
    m_perspectives.clear();
}

QByteArray DockingControl::layoutState(const QString& name) const {
    auto found = m_perspectives.find(name);
    if (found == m_perspectives.end()) return QByteArray();
    return name == m_current ? m_window->saveState() : found->second->m_savedState;
}

void DockingControl::setLayoutState(const QString& name, const QByteArray& state) {
    auto found = m_perspectives.find(name);
    if (m_released || found == m_perspectives.end() || state.isEmpty()) return;
    found->second->m_savedState = state;
    if (name != m_current) return;
    m_arranging = true;
    m_window->restoreState(state);
    m_arranging = false;
    m_ratiosPending = nullptr;  // the user's sizes, not the folders' ratios
    syncVisibility();
}

bool DockingControl::isViewVisible(const QString& key) const { return m_visible.value(key, false); }

QDockWidget* DockingControl::dock(const QString& key) const {
    auto found = m_docks.find(key);
    return found == m_docks.end() ? nullptr : found->second.data();
}

QWidget* DockingControl::view(const QString& key) const {
    QDockWidget* d = dock(key);
    return d ? d->widget() : nullptr;
}

void DockingControl::syncVisibility() {
    if (m_released || m_arranging) return;
    for (const auto& [key, dock] : m_docks) {
        if (!dock) continue;
        const bool visible = !dock->isHidden();
        if (m_visible.value(key, false) == visible) continue;
        m_visible[key] = visible;
        if (visible)
            emit viewShown(key);
        else
            emit viewHidden(key);
    }
}

}  // namespace tarnwick
