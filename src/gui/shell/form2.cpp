// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/form2.h"

#include "gui/shell/toolkit.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// Colours as the classic desktop writes them, blue-green-red: 0x808000 is
// teal, 0xFF0000 blue.
QColor fromBgr(unsigned value)
{
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

} // namespace

QColor Form2::linkColour()
{
    return fromBgr(0x808000);
}

QColor Form2::hoverColour()
{
    return fromBgr(0xFF0000);
}

int Form2::edgeMargin()
{
    return twipsToPixels(60);
}

Form2::Form2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("About Tabwright"));
    setModal(true);

    Label1 = new QLabel(tr("Tabwright"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont product = Label1->font();
    product.setPointSizeF(product.pointSizeF() * 2);
    product.setBold(true);
    Label1->setFont(product);
    Label6 = new QLabel(tr("Version %1").arg(QStringLiteral(TABWRIGHT_VERSION)), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    lblSlogan = new QLabel(tr("From plain text to database tables"), this);
    lblSlogan->setObjectName(QStringLiteral("lblSlogan"));
    Label2 = new QLabel(tr("For support/feedback:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(tr("Contact Us"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    QFont link = Label3->font();
    link.setUnderline(true);
    Label3->setFont(link);
    Label3->setMouseTracking(true);
    Label3->installEventFilter(this);
    Command1 = new QPushButton(tr("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    setMouseTracking(true);
    setLinkHot(false);

    auto contact = new QHBoxLayout;
    contact->addWidget(Label2);
    contact->addWidget(Label3);
    contact->addStretch(1);
    auto layout = new QVBoxLayout(this);
    for (QLabel *label : {Label1, Label6, lblSlogan})
        layout->addWidget(label, 0, Qt::AlignHCenter);
    layout->addSpacing(12);
    layout->addLayout(contact);
    layout->addWidget(Command1, 0, Qt::AlignRight);

    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    // Escape presses OK.
    if (event->key() == Qt::Key_Escape) {
        Command1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Form2::showEvent(QShowEvent *event)
{
    // Centred on the screen, not over whatever window is in front.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void Form2::setLinkHot(bool hot)
{
    m_hot = hot;
    QPalette palette = Label3->palette();
    palette.setColor(QPalette::WindowText, hot ? hoverColour() : linkColour());
    Label3->setPalette(palette);
    if (hot)
        Label3->setCursor(Qt::PointingHandCursor);
    else
        Label3->unsetCursor();
}

bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label3) {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
            const int margin = edgeMargin();
            setLinkHot(Label3->rect().adjusted(margin, margin / 2, -margin, -margin / 2).contains(at));
            // Handled here: the window's own move handler would take it for
            // the pointer being outside.
            return true;
        }
        case QEvent::Leave:
            setLinkHot(false);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                Q_EMIT contactRequested();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Form2::mouseMoveEvent(QMouseEvent *event)
{
    setLinkHot(false);
    QDialog::mouseMoveEvent(event);
}
