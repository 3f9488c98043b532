// FindingsView ("Check"): what the Check command found in the open project.
//
// One row per finding of the core's checks (generator/analysis): the module,
// the line and the message, members without a description first, then the
// Private members no code of their module uses, each list as the command
// line prints it. A line above counts them; a choice narrows the list to one
// kind. Activating a row (double click, Enter) asks for the member's page,
// which the main window shows as a click on the member in the project tree
// does. Every name and path is shown as plain text.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "generator/analysis/Coverage.h"

class QComboBox;
class QLabel;
class QTreeWidget;

namespace tarnwick {

class FindingsView : public QWidget {
    Q_OBJECT
public:
    // The rows' columns.
    enum Column { ModuleColumn, LineColumn, MessageColumn };

    explicit FindingsView(QWidget* parent = nullptr);

    // Lists the findings of project (coverage's, then unused); they point
    // into it, so the view keeps the project while it lists them.
    void showFindings(std::shared_ptr<const CProject> project, const CoverageReport& coverage,
                      std::vector<Finding> unused);
    // Lists nothing (another project was opened).
    void clear();
    // The findings listed, in the order of the rows before any narrowing.
    const std::vector<Finding>& findings() const { return m_findings; }

    QTreeWidget* list() const { return m_list; }
    QLabel* summary() const { return m_summary; }
    QComboBox* kindChoice() const { return m_kinds; }

signals:
    // The member of findings()[index] is wanted.
    void findingActivated(int index);

private:
    void narrow();

    QLabel* m_summary;    // lblCheckSummary
    QComboBox* m_kinds;   // cboCheckKind: all, no description, not used
    QTreeWidget* m_list;  // lstFindings; a row's data is its index in m_findings
    std::shared_ptr<const CProject> m_project;  // what m_findings point into
    std::vector<Finding> m_findings;
};

}  // namespace tarnwick
