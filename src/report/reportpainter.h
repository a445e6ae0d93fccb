// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grids/adhocreport.h"

#include <QFont>
#include <QList>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;

// Draws the ad-hoc report's sections onto pages, the program's own report
// layout: at the head of each section the title and the section line; on
// every page the column captions, the rows under them, and the page number at
// the foot. Columns share the page's width by what they hold (sampled from
// the first rows); a text too long for its column is cut with an ellipsis.
// Each section starts on a new page.
class ReportPainter : public tw::ReportSink
{
public:
    // `painter` is already active on `device` (a printer or a PDF writer).
    ReportPainter(QPainter &painter, QPagedPaintDevice &device);

    void beginSection(const tw::ReportSection &section) override;
    bool row(const QVariantList &values) override;
    void endSection() override;

    int pagesPrinted() const { return m_page; }

private:
    void layOutColumns();
    void flushSample();
    void startPage();
    void drawRow(const QStringList &texts);
    int rowsOnFirstPage() const;
    int rowsOnOtherPages() const;
    qreal titleHeight() const;

    QPainter &m_painter;
    QPagedPaintDevice &m_device;
    QFont m_font;
    QFont m_bold;
    QFont m_titleFont;
    qreal m_rowHeight = 0;
    qreal m_width = 0;
    qreal m_height = 0;

    tw::ReportSection m_section;
    QList<qreal> m_columnWidths;
    QList<QStringList> m_sample;
    bool m_laidOut = false;
    int m_page = 0;       // pages printed so far, over all sections
    int m_totalPages = 0;
    qreal m_y = 0;
    bool m_pageOpen = false;
    bool m_firstOfSection = true;
};

// A value as the report prints it: numbers exact and short, line breaks as
// blanks, binary data by its size.
QString reportCellText(const QVariant &value);

// The page the report is laid out on for a PDF file: A4 across, with
// margins.
void setUpReportPdf(QPdfWriter &writer, const QString &title);
