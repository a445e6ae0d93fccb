// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/textprinter.h"

#include "core/text/textdocument.h"
#include "gui/shell/toolkit.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace {
constexpr int tabWidth = 8;
} // namespace

TextPrinter::TextPrinter(tw::TextDocument &document, QObject *parent) : QObject(parent), m_document(document)
{
    setObjectName(QStringLiteral("textPrinter"));
}

QStringList TextPrinter::printedLines(const QString &text, int columns)
{
    columns = qMax(1, columns);
    QStringList printed;
    QString line;
    int column = 0;
    const auto endLine = [&] {
        printed << line;
        line.clear();
        column = 0;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        // CR LF ends a line; so does a lone CR or LF on paper.
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            endLine();
            continue;
        }
        if (column >= columns)
            endLine();
        if (c == u'\t') {
            const int stop = qMin(columns, (column / tabWidth + 1) * tabWidth);
            line += QString(stop - column, u' ');
            column = stop;
            continue;
        }
        line += c;
        // A surrogate pair is one character on paper.
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
            line += text[++i];
        ++column;
    }
    printed << line;
    return printed;
}

void TextPrinter::drawText(QPainter &painter, QPrinter &printer, const QString &text)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(10);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &printer);
    const qreal width = painter.viewport().width();
    const qreal height = painter.viewport().height();
    const int columns = qMax(1, int(width / metrics.horizontalAdvance(u'M')));
    const qreal lineHeight = metrics.lineSpacing();
    qreal y = 0;
    for (const QString &line : printedLines(text, columns)) {
        if (y + lineHeight > height) {
            printer.newPage();
            y = 0;
        }
        painter.drawText(QPointF(0, y + metrics.ascent()), line);
        y += lineHeight;
    }
}

void TextPrinter::menuFilePrint_Click()
{
    const QString text = m_document.text();
    if (text.isEmpty())
        return;
    QPrinter printer;
    printer.setCopyCount(1);
    Toolkit &toolkit = Toolkit::instance();
    if (!toolkit.printerDialog(printer, tr("Tabwrite - Printer Setup")))
        return;
    // The printer prints one copy a job: each copy is a job of its own.
    const int copies = qMax(1, printer.copyCount());
    printer.setCopyCount(1);
    printer.setDocName(m_document.shownPath().isEmpty() ? tr("Tabwright") : m_document.shownPath());
    for (int copy = 0; copy < copies; ++copy) {
        // Printing errors end the command without a message of the program's own.
        if (!toolkit.printJob(printer, [&](QPainter &painter) { drawText(painter, printer, text); }))
            return;
    }
}
