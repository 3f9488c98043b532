// The three tabs of the settings dialog, one small widget each.
//
// DocumentationTab: facts about the open project, the documentation folder
// and the page options. DesignTab: the style list with its preview and the
// site's layout.
// IncludesTab: module kinds, visibilities and element kinds. Each tab
// reads and writes its own boxes of a SettingsDialogState.
#pragma once

#include <QString>
#include <QWidget>

#include "generator/settings/GenerationSettings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace tarnwick {

class CProject;
class HtmlView;
struct SettingsDialogState;

class DocumentationTab : public QWidget {
    Q_OBJECT
public:
    explicit DocumentationTab(QWidget* parent = nullptr);
    void showProject(const CProject& project);
    void load(const SettingsDialogState& state);
    void store(SettingsDialogState& state) const;

    QLineEdit* documentationPath() const { return m_documentationPath; }
    QPushButton* browseButton() const { return m_browse; }

private:
    QLineEdit* m_projectPath;
    QLineEdit* m_name;
    QLineEdit* m_version;
    QLineEdit* m_copyright;
    QLineEdit* m_description;
    QLineEdit* m_documentationPath;
    QPushButton* m_browse;
    QCheckBox* m_seeAlso;
};

class DesignTab : public QWidget {
    Q_OBJECT
public:
    explicit DesignTab(QWidget* parent = nullptr);
    // Lists the plain style ("(Standard)", the resource's own sheet) and the
    // styles of themesFolder, and selects (and previews) preferred when
    // listed, else the plain style.
    void listStyles(const QString& themesFolder, const QString& preferred);
    // The chosen style's folder name; empty for the plain style.
    QString style() const;
    QComboBox* styles() const { return m_styles; }
    // The page frame of the site: framed (the default) or modern.
    void setLayout(PageLayout layout);
    PageLayout layout() const;
    HtmlView* preview() const { return m_preview; }

private:
    void previewStyle(const QString& style);

    QString m_themesFolder;
    QComboBox* m_styles;   // cboStyle
    QComboBox* m_layouts;  // cboLayout
    HtmlView* m_preview;   // Preview
};

class IncludesTab : public QWidget {
    Q_OBJECT
public:
    explicit IncludesTab(QWidget* parent = nullptr);
    void load(const SettingsDialogState& state);
    void store(SettingsDialogState& state) const;

private:
    QCheckBox* m_ressources;
};

}  // namespace tarnwick
