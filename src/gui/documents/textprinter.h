// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>

class QPainter;
class QPrinter;
namespace tw {
class TextDocument;
}

// File > Print: the whole working text on the printer chosen in the printer
// dialog, in a fixed-width font so columns laid out with blanks stay
// aligned. Each copy asked for is a print job of its own. A line longer than
// the page goes on below; tabs stop every eight columns.
class TextPrinter : public QObject
{
    Q_OBJECT

public:
    explicit TextPrinter(tw::TextDocument &document, QObject *parent = nullptr);

    // The lines as printed: the text's lines, tabs expanded, each cut into
    // pieces of at most `columns` characters.
    static QStringList printedLines(const QString &text, int columns);
    // Draws the text onto the printer's pages.
    static void drawText(QPainter &painter, QPrinter &printer, const QString &text);

public Q_SLOTS:
    void menuFilePrint_Click();

private:
    tw::TextDocument &m_document;
};
