#include "shell/FindingsView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/PlainText.h"

namespace tarnwick {

namespace {

// "1 member", "3 members".
QString count(qsizetype n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// What the kind choice offers, in its order: every kind, then each kind.
enum Choice { AllKinds, NoDescription, NotUsed };

bool chosen(int choice, FindingKind kind) {
    if (choice == NoDescription) return kind == FindingKind::Undocumented;
    if (choice == NotUsed) return kind != FindingKind::Undocumented;
    return true;
}

QString summaryOf(const CoverageReport& coverage, const std::vector<Finding>& unused) {
    const int all = coverage.documented() + coverage.undocumented();
    const auto whereOff = std::count_if(unused.begin(), unused.end(), [](const Finding& f) {
        return f.kind == FindingKind::UsedOnlyWhereOff;
    });
    QString text = QStringLiteral("%1 of %2 documented, %3 without a description. ")
                       .arg(coverage.documented())
                       .arg(count(all, "member", "members"))
                       .arg(coverage.undocumented());
    text +=
        count(static_cast<qsizetype>(unused.size()), "Private member", "Private members") +
        QLatin1String(unused.size() == 1 ? " not used in its module" : " not used in their module");
    if (whereOff > 0) text += QStringLiteral(" (%1 used only where #If is off)").arg(whereOff);
    return text + QLatin1Char('.');
}

}  // namespace

FindingsView::FindingsView(QWidget* parent)
    : QWidget(parent),
      m_summary(new QLabel(this)),
      m_kinds(new QComboBox(this)),
      m_list(new QTreeWidget(this)) {
    setWindowTitle(QStringLiteral("Check"));
    m_summary->setObjectName(QStringLiteral("lblCheckSummary"));
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    m_summary->setText(
        QStringLiteral("Check Project lists the members without a description "
                       "and the Private members no code uses."));
    m_kinds->setObjectName(QStringLiteral("cboCheckKind"));
    m_kinds->addItems({QStringLiteral("All findings"), QStringLiteral("No description"),
                       QStringLiteral("Not used")});
    m_list->setObjectName(QStringLiteral("lstFindings"));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels(
        {QStringLiteral("Module"), QStringLiteral("Line"), QStringLiteral("Finding")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->setStretchLastSection(true);

    auto* top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(m_kinds);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(m_list);

    connect(m_kinds, &QComboBox::currentIndexChanged, this, &FindingsView::narrow);
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* row) {
        if (row) emit findingActivated(row->data(ModuleColumn, Qt::UserRole).toInt());
    });
}

void FindingsView::showFindings(std::shared_ptr<const CProject> project,
                                const CoverageReport& coverage, std::vector<Finding> unused) {
    m_summary->setText(summaryOf(coverage, unused));
    m_project = std::move(project);
    m_findings = coverage.findings;
    for (Finding& f : unused) m_findings.push_back(std::move(f));
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QList<QTreeWidgetItem*> rows;
    for (size_t i = 0; i < m_findings.size(); ++i) {
        const Finding& f = m_findings[i];
        auto* row = new QTreeWidgetItem({QString::fromStdString(f.module), QString::number(f.line),
                                         QString::fromStdString(f.message)});
        row->setData(ModuleColumn, Qt::UserRole, static_cast<int>(i));
        row->setTextAlignment(LineColumn, Qt::AlignRight | Qt::AlignVCenter);
        const QString where = plainToolTip(QString::fromStdString(f.file) + QLatin1Char(':') +
                                           QString::number(f.line));
        for (int column = 0; column < 3; ++column) row->setToolTip(column, where);
        rows << row;
    }
    m_list->addTopLevelItems(rows);
    m_list->resizeColumnToContents(ModuleColumn);
    m_list->resizeColumnToContents(LineColumn);
    narrow();
    m_list->setUpdatesEnabled(true);
}

void FindingsView::clear() {
    m_list->clear();
    m_findings.clear();
    m_project.reset();
    m_summary->setText(QStringLiteral("No check run on the open project yet."));
}

void FindingsView::narrow() {
    const int choice = m_kinds->currentIndex();
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_list->topLevelItem(i);
        const int index = row->data(ModuleColumn, Qt::UserRole).toInt();
        row->setHidden(!chosen(choice, m_findings[static_cast<size_t>(index)].kind));
    }
}

}  // namespace tarnwick
