// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/reportpainter.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Rows measured before the columns are laid out.
constexpr int sampleRows = 200;
// Title lines at most; a longer title is cut.
constexpr int maxTitleLines = 6;

QString tr(const char *text)
{
    return QCoreApplication::translate("ReportPainter", text);
}

bool rightAligned(tw::FieldType type)
{
    tw::FieldDef field;
    field.type = type;
    return field.isNumeric() && type != tw::FieldType::Boolean;
}

// The title broken into lines of the page's width, at blanks where it can be.
QStringList titleLines(const QString &title, const QFont &font, QPaintDevice *device, qreal width)
{
    QTextLayout layout(title, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << title.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    if (lines.size() > maxTitleLines) {
        lines = lines.mid(0, maxTitleLines);
        lines.last() += QStringLiteral(" …");
    }
    return lines;
}

} // namespace

QString reportCellText(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QByteArray:
        return tr("(%1 bytes)").arg(value.toByteArray().size());
    default: {
        QString text = value.toString();
        for (QChar &c : text)
            if (c == u'\r' || c == u'\n' || c == u'\t')
                c = u' ';
        return text;
    }
    }
}

void setUpReportPdf(QPdfWriter &writer, const QString &title)
{
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                     QPageLayout::Millimeter));
    writer.setResolution(300);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Tabwright"));
}

ReportPainter::ReportPainter(QPainter &painter, QPagedPaintDevice &device) : m_painter(painter), m_device(device)
{
    m_font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    m_font.setPointSizeF(9);
    m_bold = m_font;
    m_bold.setBold(true);
    m_titleFont = m_bold;
    m_titleFont.setPointSizeF(11);
    m_rowHeight = QFontMetricsF(m_font, &m_device).height() * 1.35;
    m_width = m_device.width();
    m_height = m_device.height();
}

qreal ReportPainter::titleHeight() const
{
    const int lines = int(titleLines(m_section.title, m_titleFont, &m_device, m_width).size());
    return lines * QFontMetricsF(m_titleFont, &m_device).lineSpacing() + m_rowHeight * 1.5;
}

int ReportPainter::rowsOnOtherPages() const
{
    // The head (section line and captions) and the foot take three rows.
    return std::max(1, int((m_height - 4 * m_rowHeight) / m_rowHeight));
}

int ReportPainter::rowsOnFirstPage() const
{
    return std::max(1, int((m_height - titleHeight() - 4 * m_rowHeight) / m_rowHeight));
}

void ReportPainter::beginSection(const tw::ReportSection &section)
{
    m_section = section;
    m_columnWidths.clear();
    m_sample.clear();
    m_laidOut = false;
    m_firstOfSection = true;
    m_pageOpen = false;
    if (m_totalPages == 0) {
        // Every section shows the same rows, so every section takes as many
        // pages.
        const qint64 rest = std::max<qint64>(0, section.rows - rowsOnFirstPage());
        const qint64 perSection = 1 + (rest + rowsOnOtherPages() - 1) / rowsOnOtherPages();
        m_totalPages = int(std::min<qint64>(perSection * section.count, std::numeric_limits<int>::max()));
    }
}

bool ReportPainter::row(const QVariantList &values)
{
    QStringList texts;
    texts.reserve(values.size());
    for (const QVariant &value : values)
        texts << reportCellText(value);
    if (!m_laidOut) {
        m_sample << texts;
        if (m_sample.size() >= sampleRows)
            flushSample();
        return true;
    }
    drawRow(texts);
    return true;
}

void ReportPainter::endSection()
{
    if (!m_laidOut)
        flushSample();
    if (!m_pageOpen)
        startPage(); // a section without rows still shows its head
}

void ReportPainter::flushSample()
{
    layOutColumns();
    m_laidOut = true;
    const QList<QStringList> sample = std::exchange(m_sample, {});
    for (const QStringList &texts : sample)
        drawRow(texts);
}

void ReportPainter::layOutColumns()
{
    const int columns = int(m_section.captions.size());
    const QFontMetricsF metrics(m_font, &m_device);
    const QFontMetricsF boldMetrics(m_bold, &m_device);
    const qreal padding = metrics.averageCharWidth() * 2;
    QList<qreal> natural;
    for (int c = 0; c < columns; ++c) {
        qreal wanted = boldMetrics.horizontalAdvance(m_section.captions[c]);
        for (const QStringList &texts : std::as_const(m_sample))
            wanted = std::max(wanted, metrics.horizontalAdvance(texts.value(c)));
        natural << wanted + padding;
    }
    qreal total = 0;
    for (qreal w : natural)
        total += w;
    m_columnWidths = natural;
    if (columns == 0)
        return;
    if (total <= m_width) {
        // Room to spare goes to every column alike.
        const qreal extra = (m_width - total) / columns;
        for (qreal &w : m_columnWidths)
            w += extra;
        return;
    }
    // Too wide: each column first gets what it needs up to a fair share, the
    // rest of the page goes to the wider ones by how much more they want.
    const qreal fair = m_width / columns;
    qreal used = 0;
    qreal excess = 0;
    for (int c = 0; c < columns; ++c) {
        m_columnWidths[c] = std::min(natural[c], fair);
        used += m_columnWidths[c];
        excess += natural[c] - m_columnWidths[c];
    }
    const qreal left = m_width - used;
    for (int c = 0; c < columns && excess > 0; ++c)
        m_columnWidths[c] += left * (natural[c] - m_columnWidths[c]) / excess;
}

void ReportPainter::startPage()
{
    if (m_page > 0)
        m_device.newPage();
    ++m_page;
    m_pageOpen = true;
    m_y = 0;
    const QFontMetricsF metrics(m_font, &m_device);
    const QString sectionLine = tr("Section %1").arg(m_section.sectionLine);
    if (m_firstOfSection) {
        m_painter.setFont(m_titleFont);
        const QFontMetricsF titleMetrics(m_titleFont, &m_device);
        for (const QString &line : titleLines(m_section.title, m_titleFont, &m_device, m_width)) {
            m_painter.drawText(QPointF(0, m_y + titleMetrics.ascent()), line);
            m_y += titleMetrics.lineSpacing();
        }
        m_y += m_rowHeight * 0.5;
        m_firstOfSection = false;
    }
    m_painter.setFont(m_font);
    m_painter.drawText(QRectF(0, m_y, m_width, m_rowHeight), Qt::AlignRight | Qt::AlignVCenter, sectionLine);
    m_y += m_rowHeight;

    m_painter.setFont(m_bold);
    qreal x = 0;
    for (int c = 0; c < m_section.captions.size(); ++c) {
        const qreal w = m_columnWidths.value(c);
        const QRectF cell(x, m_y, w, m_rowHeight);
        const QString caption = QFontMetricsF(m_bold, &m_device).elidedText(m_section.captions[c], Qt::ElideRight,
                                                                            w - metrics.averageCharWidth());
        const bool right = rightAligned(m_section.types.value(c, tw::FieldType::Memo));
        m_painter.drawText(cell.adjusted(0, 0, -metrics.averageCharWidth(), 0),
                           (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, caption);
        x += w;
    }
    m_y += m_rowHeight;
    m_painter.drawLine(QPointF(0, m_y), QPointF(m_width, m_y));
    m_y += m_rowHeight * 0.2;

    m_painter.setFont(m_font);
    const QString footer = tr("Page %1 of %2").arg(m_page).arg(std::max(m_totalPages, m_page));
    m_painter.drawText(QRectF(0, m_height - m_rowHeight, m_width, m_rowHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                       footer);
}

void ReportPainter::drawRow(const QStringList &texts)
{
    if (!m_pageOpen || m_y + m_rowHeight > m_height - 2 * m_rowHeight)
        startPage();
    const QFontMetricsF metrics(m_font, &m_device);
    const qreal gap = metrics.averageCharWidth();
    qreal x = 0;
    for (int c = 0; c < m_section.captions.size(); ++c) {
        const qreal w = m_columnWidths.value(c);
        const QString text = texts.value(c);
        const QString shown = metrics.horizontalAdvance(text) <= w - gap ? text
                                                                         : metrics.elidedText(text, Qt::ElideRight, w - gap);
        const bool right = rightAligned(m_section.types.value(c, tw::FieldType::Memo));
        m_painter.drawText(QRectF(x, m_y, w - gap, m_rowHeight),
                           (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, shown);
        x += w;
    }
    m_y += m_rowHeight;
}
