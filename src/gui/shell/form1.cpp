// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/form1.h"

#include "gui/shell/toolkit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QThread>
#include <QVBoxLayout>

Form1::Form1(QWidget *frame) : QDialog(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(tr("Tabwright"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("Form1 { border: 2px solid palette(dark); }"));

    lblProductName = new QLabel(QString::fromLatin1(applicationTitle), this);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    lblProductName->setAlignment(Qt::AlignCenter);
    QFont productFont = lblProductName->font();
    productFont.setBold(true);
    productFont.setPointSizeF(8);
    lblProductName->setFont(productFont);
    lblProductName->setMinimumHeight(90);

    lblSlogan = new QLabel(tr("From plain text to database tables"), this);
    lblSlogan->setObjectName(QStringLiteral("lblSlogan"));
    lblSlogan->setAlignment(Qt::AlignCenter);
    lblVersion = new QLabel(tr("Version %1").arg(QStringLiteral(TABWRIGHT_VERSION)), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignCenter);

    lblFirstWord = new QLabel(tr("Reshape."), this);
    lblSecondWord = new QLabel(tr("Lay out."), this);
    lblThirdWord = new QLabel(tr("Load."), this);
    lblFirstWord->setObjectName(QStringLiteral("lblFirstWord"));
    lblSecondWord->setObjectName(QStringLiteral("lblSecondWord"));
    lblThirdWord->setObjectName(QStringLiteral("lblThirdWord"));
    auto words = new QHBoxLayout;
    for (QLabel *word : {lblFirstWord, lblSecondWord, lblThirdWord}) {
        QFont wordFont = word->font();
        wordFont.setPointSizeF(14);
        wordFont.setItalic(true);
        word->setFont(wordFont);
        // Hidden words keep their place, so the others do not jump about.
        QSizePolicy policy = word->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        word->setSizePolicy(policy);
        word->hide();
        words->addWidget(word, 1, Qt::AlignCenter);
    }

    auto layout = new QVBoxLayout(this);
    layout->addWidget(lblProductName);
    layout->addWidget(lblSlogan);
    layout->addLayout(words);
    layout->addWidget(lblVersion);
    setFixedSize(twipsToPixels(6600), twipsToPixels(3600));
    placeOverFrame();
}

void Form1::placeOverFrame()
{
    // A little left of and above the frame's centre.
    const QRect frame = m_frame ? m_frame->geometry() : QRect();
    const int left = frame.x() + (frame.width() - width()) / 2 - twipsToPixels(100);
    const int top = frame.y() + (frame.height() - height()) / 2 - twipsToPixels(400);
    move(left, top);
}

bool Form1::waitUntil(qint64 milliseconds, const QElapsedTimer &clock)
{
    while (!m_closedByUser && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return !m_closedByUser;
}

void Form1::playSequence()
{
    show();
    raise();
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    double k = 1;
    while (!m_closedByUser && clock.elapsed() < 3000) {
        QFont font = lblProductName->font();
        if (font.pointSizeF() < 54) {
            font.setPointSizeF(qMax(8.0, 0.3 * k));
            lblProductName->setFont(font);
            k += 3;
        }
        const qint64 ms = clock.elapsed();
        lblFirstWord->setVisible(ms >= 1000);
        lblSecondWord->setVisible(ms >= 1600);
        lblThirdWord->setVisible(ms >= 1900);
        if (!waitUntil(ms + 15, clock))
            break;
    }
    if (!m_closedByUser) {
        lblThirdWord->show();
        QElapsedTimer pause;
        pause.start();
        waitUntil(2000, pause);
    }
    close();
}

void Form1::closeByUser()
{
    m_closedByUser = true;
    close();
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    closeByUser();
}

void Form1::mousePressEvent(QMouseEvent *event)
{
    QDialog::mousePressEvent(event);
    closeByUser();
}
