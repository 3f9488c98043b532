// ImageList: the pictures of the project tree, the progress window and the toolbar.
//
// Keys: "project", "references", "objects", the seven module groups
// ("forms", "modules", "classes", "usercontrols", "propertypages",
// "userdocuments", "designers"), the ten
// element groups ("implementations" ... "properties") and, for the nine
// element kinds that carry a scope, the kind followed by "_global",
// "_public", "_private", "_friend" or "_noscope" ("functions_public").
//
// Pictures come from the site's own image folder (Ressources/src/images
// beside the program), so the tree shows what the pages show: {Kinds}_{Scope}.ico
// for elements and {Kind}.ico for modules. A picture that is missing is drawn
// instead, so every key always answers a legible icon.
#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>

namespace tarnwick {

class ImageList {
public:
    // imageFolder: where the .ico files lie; empty: Ressources/src/images
    // beside the program.
    explicit ImageList(QString imageFolder = QString());

    bool contains(const QString& key) const { return m_icons.contains(key); }
    // The icon of key; a null icon for an unknown key.
    QIcon icon(const QString& key) const { return m_icons.value(key); }
    QStringList keys() const { return m_icons.keys(); }

    // The toolbar's pictures, one set drawn at one size (kToolbarIconSize)
    // in the toolbar's text colour ink, so they read as well as the captions
    // in every scheme. Keys: "open", "settings", "create", "check",
    // "project", "browser"; a null icon for any other key.
    static QIcon toolbarIcon(const QString& key, const QColor& ink);
    static constexpr int kToolbarIconSize = 24;

private:
    void add(const QString& key, const QString& fileName, const QString& letter,
             const QColor& colour);

    QString m_folder;
    QHash<QString, QIcon> m_icons;
};

}  // namespace tarnwick
