// Names and paths from a project shown as text, never as markup.
//
// Qt reads a text that looks like HTML as rich text in labels, tooltips and
// message boxes: a module named "M<img src=x>" would show a picture. Labels
// and message boxes that show such texts are set to Qt::PlainText; a tooltip
// has no such setting, so it goes through plainToolTip.
#pragma once

#include <QString>
#include <QTextDocument>

namespace tarnwick {

// text as a tooltip shows it literally: unchanged when Qt would take it for
// plain text anyway, else escaped in a paragraph that keeps its blanks.
// "M<img src=x>" gives "<p style='white-space:pre'>M&lt;img src=x&gt;</p>".
inline QString plainToolTip(const QString& text) {
    if (!Qt::mightBeRichText(text)) return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

}  // namespace tarnwick
