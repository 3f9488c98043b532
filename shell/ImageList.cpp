#include "shell/ImageList.h"

#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPixmap>

#include "model/CHelper.h"
#include "support/ProgramFolder.h"

namespace tarnwick {

namespace {

struct ElementGroup {
    ElementKind kind;  // its list name names the image files, in lower case the tree key
    const char* letter;
    QRgb colour;
};

// The ten element groups, in the tree's order.
constexpr ElementGroup kElementGroups[] = {
    {ElementKind::Implementation, "I", 0x6a5acd}, {ElementKind::Declaration, "D", 0x8b4513},
    {ElementKind::Type, "T", 0x2e8b57},           {ElementKind::Enum, "E", 0xb8860b},
    {ElementKind::Event, "V", 0xd2691e},          {ElementKind::Constant, "C", 0x4682b4},
    {ElementKind::Variable, "v", 0x008b8b},       {ElementKind::Function, "F", 0x8a2be2},
    {ElementKind::Subroutine, "S", 0x1e90ff},     {ElementKind::Property, "P", 0x228b22},
};

// "functions": the tree key of an element kind.
QString keyOf(ElementKind kind) { return QString::fromLatin1(kindTraits(kind).listName).toLower(); }

// An implemented interface has no scope of its own: one image, no scope variants.
bool scoped(ElementKind kind) { return kind != ElementKind::Implementation; }

struct ScopeSuffix {
    const char* suffix;
    const char* word;  // scope word of the image files
};

constexpr ScopeSuffix kScopes[] = {
    {"_global", "Global"}, {"_public", "Public"}, {"_private", "Private"},
    {"_friend", "Friend"}, {"_noscope", "None"},
};

struct ModuleGroup {
    const char* key;
    const char* file;
    const char* letter;
    QRgb colour;
};

constexpr ModuleGroup kModuleGroups[] = {
    {"project", "Project.ico", "P", 0x1d4fae},
    {"references", "References.ico", "R", 0x707070},
    {"objects", "Objects.ico", "O", 0x505050},
    {"forms", "Form.ico", "F", 0x3a6fd1},
    {"modules", "Module.ico", "M", 0x2e8b57},
    {"classes", "Class.ico", "C", 0xc0392b},
    {"usercontrols", "UserControl.ico", "U", 0x8e44ad},
    {"propertypages", "PropertyPage.ico", "G", 0xd35400},
    {"userdocuments", "UserDocument.ico", "D", 0x16a085},
    {"designers", "Designer.ico", "E", 0x7f8c8d},
};

// A small badge: the kind's letter on a rounded square of its colour.
QIcon drawnIcon(const QString& letter, const QColor& colour) {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(colour.darker(140));
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
        QFont font;
        font.setBold(true);
        font.setPixelSize(size * 11 / 16);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, letter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

ImageList::ImageList(QString imageFolder) : m_folder(std::move(imageFolder)) {
    if (m_folder.isEmpty())
        m_folder =
            QString::fromStdString(programFolder()) + QStringLiteral("Ressources/src/images/");
    if (!m_folder.endsWith(QLatin1Char('/'))) m_folder += QLatin1Char('/');

    for (const auto& group : kModuleGroups)
        add(QLatin1String(group.key), QLatin1String(group.file), QLatin1String(group.letter),
            QColor(group.colour));
    for (const auto& group : kElementGroups) {
        const QString key = keyOf(group.kind);
        const QString words = QLatin1String(kindTraits(group.kind).iconStem);
        add(key, words + QStringLiteral("_Public.ico"), QLatin1String(group.letter),
            QColor(group.colour));
        if (!scoped(group.kind)) continue;
        for (const auto& scope : kScopes)
            add(key + QLatin1String(scope.suffix),
                words + QLatin1Char('_') + QLatin1String(scope.word) + QStringLiteral(".ico"),
                QLatin1String(group.letter), QColor(group.colour));
    }
}

void ImageList::add(const QString& key, const QString& fileName, const QString& letter,
                    const QColor& colour) {
    const QString path = m_folder + fileName;
    if (QFileInfo(path).isFile()) {
        QIcon icon(path);
        if (!icon.isNull() && !icon.availableSizes().isEmpty()) {
            m_icons.insert(key, icon);
            return;
        }
    }
    m_icons.insert(key, drawnIcon(letter, colour));
}

QIcon ImageList::toolbarIcon(const QString& key, const QColor& ink) {
    const int n = kToolbarIconSize;
    QPixmap pixmap(n, n);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (key == QLatin1String("open")) {  // an open folder
        p.drawPolyline(QPolygonF({{3, 19}, {3, 5}, {9, 5}, {11, 7}, {19, 7}, {19, 10}}));
        p.drawPolygon(QPolygonF({{3, 19}, {7, 10}, {22, 10}, {18, 19}}));
    } else if (key == QLatin1String("settings")) {  // a slider panel
        for (int row : {6, 12, 18}) p.drawLine(QPointF(3, row), QPointF(21, row));
        p.setBrush(ink);
        for (const QPointF& knob : {QPointF(8, 6), QPointF(15, 12), QPointF(10, 18)})
            p.drawEllipse(knob, 2.5, 2.5);
    } else if (key == QLatin1String("create")) {  // a page with a spark
        p.drawPolygon(QPolygonF({{5, 3}, {14, 3}, {19, 8}, {19, 21}, {5, 21}}));
        p.drawPolyline(QPolygonF({{14, 3}, {14, 8}, {19, 8}}));
        for (int row : {12, 15, 18}) p.drawLine(QPointF(8, row), QPointF(16, row));
    } else if (key == QLatin1String("check")) {  // a list with a tick
        for (int row : {6, 11}) p.drawLine(QPointF(3, row), QPointF(13, row));
        p.drawLine(QPointF(3, 16), QPointF(9, 16));
        p.drawPolyline(QPolygonF({{12, 16}, {15, 20}, {22, 10}}));
    } else if (key == QLatin1String("project")) {  // a tree of nodes
        p.drawRect(QRectF(3, 3, 6, 5));
        p.drawRect(QRectF(12, 10, 9, 4));
        p.drawRect(QRectF(12, 17, 9, 4));
        p.drawPolyline(QPolygonF({{6, 8}, {6, 19}, {12, 19}}));
        p.drawLine(QPointF(6, 12), QPointF(12, 12));
    } else if (key == QLatin1String("browser")) {  // a globe
        p.drawEllipse(QPointF(12, 12), 9, 9);
        p.drawEllipse(QPointF(12, 12), 4, 9);
        p.drawLine(QPointF(3, 12), QPointF(21, 12));
    } else {
        return QIcon();
    }
    p.end();
    QIcon icon;
    icon.addPixmap(pixmap);
    return icon;
}

}  // namespace tarnwick
