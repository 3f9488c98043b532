#include "shell/Views.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/HtmlView.h"
#include "shell/PlainText.h"
#include "support/ProgramFolder.h"

namespace tarnwick {

namespace {

QVBoxLayout* fill(QWidget* owner, QWidget* control) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(control);
    return layout;
}

// Hides the alias links of a file-system model's folders.
class AliasFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        auto* model = static_cast<QFileSystemModel*>(sourceModel());
        return !isCaseAlias(model->filePath(model->index(row, 0, parent)));
    }
};

}  // namespace

bool isCaseAlias(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) return false;
    const QFileInfo target(info.dir(), info.symLinkTarget());
    return target.absolutePath() == info.absolutePath() && target.fileName() != info.fileName() &&
           target.fileName().compare(info.fileName(), Qt::CaseInsensitive) == 0;
}

ConsoleView::ConsoleView(QWidget* parent) : QWidget(parent), m_text(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Console"));
    m_text->setObjectName(QStringLiteral("txtConsole"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFamilies({QStringLiteral("Courier New"),
                      QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
    m_text->setFont(font);
    // The oldest lines go first once a long session has filled it.
    m_text->setMaximumBlockCount(100000);
    fill(this, m_text);
}

void ConsoleView::appendLine(const QString& line) { m_text->appendPlainText(line); }

void ConsoleView::appendLines(const QStringList& lines) {
    if (!lines.isEmpty()) m_text->appendPlainText(lines.join(QLatin1Char('\n')));
}

QString ConsoleView::text() const { return m_text->toPlainText(); }

DirsView::DirsView(QWidget* parent)
    : QWidget(parent),
      m_model(new QFileSystemModel(this)),
      m_shown(new AliasFilter(this)),
      m_tree(new QTreeView(this)) {
    setWindowTitle(QStringLiteral("Directories"));
    m_tree->setObjectName(QStringLiteral("Dirs"));
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QDir::rootPath());
    m_shown->setSourceModel(m_model);
    m_tree->setModel(m_shown);
    for (int column = 1; column < m_model->columnCount(); ++column) m_tree->hideColumn(column);
    m_tree->header()->hide();
    fill(this, m_tree);
    // The model reads folders in the background; once the chosen folder's
    // parents are known, bring it into view.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this] { revealPath(); });
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                const QString path = m_model->filePath(m_shown->mapToSource(current));
                if (path.isEmpty() || path == m_path) return;
                m_path = path;
                emit pathChanged(path);
            });
}

void DirsView::setPath(const QString& path) {
    const QString folder = QDir::cleanPath(path);
    const bool changed = folder != m_path;
    m_path = folder;
    revealPath();
    if (changed) emit pathChanged(folder);
}

void DirsView::revealPath() {
    const QModelIndex index = m_shown->mapFromSource(m_model->index(m_path));
    if (!index.isValid()) return;
    const QSignalBlocker blocker(m_tree->selectionModel());
    m_tree->setCurrentIndex(index);
    m_tree->expand(index);
    m_tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

FilesView::FilesView(QWidget* parent)
    : QWidget(parent),
      m_model(new QFileSystemModel(this)),
      m_shown(new AliasFilter(this)),
      m_list(new QListView(this)) {
    setWindowTitle(QStringLiteral("Files"));
    m_list->setObjectName(QStringLiteral("Files"));
    m_model->setFilter(QDir::Files);
    m_model->setNameFilters({QStringLiteral("*.html"), QStringLiteral("*.htm")});
    m_model->setNameFilterDisables(false);
    m_shown->setSourceModel(m_model);
    m_list->setModel(m_shown);
    fill(this, m_list);
    connect(m_list, &QListView::doubleClicked, this, &FilesView::activated);
}

void FilesView::setPath(const QString& path) {
    m_path = QDir::cleanPath(path);
    m_list->setRootIndex(m_shown->mapFromSource(m_model->setRootPath(m_path)));
}

void FilesView::activated(const QModelIndex& index) {
    if (index.isValid()) openFile(m_model->fileName(m_shown->mapToSource(index)));
}

void FilesView::openFile(const QString& fileName) {
    if (fileName.isEmpty() || m_path.isEmpty()) return;
    emit documentRequested(QDir(m_path).filePath(fileName), fileName);
}

PreviewDocument::PreviewDocument(QWidget* parent) : QWidget(parent), m_html(new HtmlView(this)) {
    m_html->setObjectName(QStringLiteral("DocHtml"));
    fill(this, m_html);
}

QUrl PreviewDocument::baseUrl() {
    // Member pages refer to "../src/..." from a kind folder of the site; the
    // program's resource folder answers those links in a preview.
    return QUrl::fromLocalFile(QString::fromStdString(programFolder()) +
                               QStringLiteral("Ressources/Preview/"));
}

void PreviewDocument::ShowPreviewHtml(const QString& html, const QUrl& base) {
    m_html->setHtml(html, base.isValid() ? base : baseUrl());
}

BrowserDocument::BrowserDocument(QWidget* parent) : QWidget(parent), m_browser(new HtmlView(this)) {
    setWindowTitle(QStringLiteral("Browser"));
    m_browser->setObjectName(QStringLiteral("Browser"));
    fill(this, m_browser);
}

void BrowserDocument::navigate(const QString& path) { m_browser->load(path); }

StartPage::StartPage(QWidget* parent)
    : QWidget(parent),
      m_open(new QPushButton(QStringLiteral("&Open Project..."), this)),
      m_recent(new QListWidget(this)) {
    setObjectName(QStringLiteral("StartPage"));
    m_open->setObjectName(QStringLiteral("cmdStartOpen"));
    m_recent->setObjectName(QStringLiteral("lstRecent"));
    m_recent->setFrameShape(QFrame::NoFrame);
    auto* title = new QLabel(QStringLiteral("Tarnwick"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    title->setFont(big);
    auto* intro = new QLabel(
        QStringLiteral("Documentation for Visual Basic 6 projects. Open a project file (.vbp) or a "
                       "group file (.vbg), "
                       "or drop one on the window."),
        this);
    intro->setWordWrap(true);
    auto* recentTitle = new QLabel(QStringLiteral("Recent projects"), this);
    QFont bold = recentTitle->font();
    bold.setBold(true);
    recentTitle->setFont(bold);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addWidget(title);
    layout->addWidget(intro);
    layout->addSpacing(12);
    layout->addWidget(m_open, 0, Qt::AlignLeft);
    layout->addSpacing(12);
    layout->addWidget(recentTitle);
    layout->addWidget(m_recent, 1);
    connect(m_open, &QPushButton::clicked, this, &StartPage::openRequested);
    connect(m_recent, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        emit projectChosen(item->data(Qt::UserRole).toString());
    });
}

void StartPage::setRecentProjects(const QStringList& paths) {
    m_recent->clear();
    int shown = 0;
    for (const QString& path : paths) {
        // A project moved or deleted since is no choice to offer.
        if (!QFileInfo(path).isFile()) continue;
        ++shown;
        auto* item = new QListWidgetItem(
            QStringLiteral("%1   (%2)").arg(QFileInfo(path).completeBaseName(), path), m_recent);
        item->setData(Qt::UserRole, path);
        item->setToolTip(plainToolTip(path));
    }
    if (shown == 0)
        (new QListWidgetItem(QStringLiteral("None yet"), m_recent))->setFlags(Qt::NoItemFlags);
}

}  // namespace tarnwick
