// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/searchwindow.h"

#include "core/text/textdocument.h"
#include "core/text/textsearch.h"
#include "gui/documents/textviews.h"
#include "gui/shell/childwindows.h"
#include "gui/shell/textbox.h"
#include "gui/shell/toolkit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace {
// The characters (code points) in text before a UTF-16 index.
qsizetype characterIndex(QStringView text, qsizetype index)
{
    qsizetype surrogatePairs = 0;
    for (qsizetype i = 1; i < index; ++i)
        if (text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate())
            ++surrogatePairs;
    return index - surrogatePairs;
}

// UTF-8 length of a piece of text, which is how the box counts positions.
qsizetype utf8Length(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (unit < 0x80)
            bytes += 1;
        else if (unit < 0x800)
            bytes += 2;
        else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
}
} // namespace

SearchWindow::SearchWindow(TextViews &views, ChildWindows &children, QWidget *parent)
    : QWidget(parent), m_views(views), m_children(children)
{
    setObjectName(QStringLiteral("SearchWindow"));
    setWindowTitle(tr("Tabwright - Search"));

    Label1 = new QLabel(tr("Look For:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setBuddy(Text1);
    Command1 = new QPushButton(tr("&Find"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(tr("Fin&d Again"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setEnabled(false);
    Command3 = new QPushButton(tr("Find &All"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Check2 = new QCheckBox(tr("&Whole word only"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check1 = new QCheckBox(tr("&Ignore case"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check3 = new QCheckBox(tr("&Reset color"), this);
    Check3->setObjectName(QStringLiteral("Check3"));
    Check3->setEnabled(false);

    auto layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Text1, 0, 1, 1, 2);
    layout->addWidget(Command1, 1, 0);
    layout->addWidget(Command2, 1, 1);
    layout->addWidget(Command3, 1, 2);
    layout->addWidget(Check2, 2, 0);
    layout->addWidget(Check1, 2, 1);
    layout->addWidget(Check3, 2, 2);

    connect(Text1, &QLineEdit::textEdited, this, &SearchWindow::Text1_Change);
    connect(Text1, &QLineEdit::returnPressed, this, &SearchWindow::Command1_Click);
    connect(Command1, &QPushButton::clicked, this, &SearchWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &SearchWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &SearchWindow::Command3_Click);
    Text1->installEventFilter(this);
    installEventFilter(this);
}

QColor SearchWindow::matchColor()
{
    return QColor(0x00, 0xC0, 0xC0);
}

int SearchWindow::matchIndicator()
{
    return 8; // the first indicator Scintilla leaves to its users
}

void SearchWindow::showWindow()
{
    if (!m_children.isChildShown(this))
        Form_Load();
    m_children.showChild(this);
    Text1->setFocus();
}

void SearchWindow::Form_Load()
{
    m_lastMatch = 0;
    m_matchCount = 0;
    // Placed near the top right of the frame, over the text it searches.
    QWidget *window = parentWidget() ? parentWidget() : this;
    window->adjustSize();
    const QSize area = window->parentWidget() ? window->parentWidget()->size() : window->size();
    const int left = area.width() - window->width() - twipsToPixels(400);
    const int top = (area.height() - window->height()) / 8;
    window->move(qMax(0, left), qMax(0, top));
    Check1->setChecked(true);
}

bool SearchWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::FocusIn)
        // After the click that gave the focus, which would place a caret.
        QTimer::singleShot(0, Text1, &QLineEdit::selectAll);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        m_children.closeChild(this);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SearchWindow::Text1_Change()
{
    Command1->setEnabled(true);
    Command2->setEnabled(false);
}

void SearchWindow::resetColors(TextBox *target)
{
    if (!Check3->isChecked())
        return;
    Check3->setChecked(false);
    Check3->setEnabled(false);
    const qsizetype caret = target->selectionStart();
    target->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(matchIndicator()));
    target->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0UL,
                          target->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    target->setCaret(caret);
}

void SearchWindow::bringTargetForward()
{
    m_views.bringForward(m_views.searchTarget());
}

void SearchWindow::notFound(bool findAll)
{
    const QString text = Text1->text();
    QString message;
    if (m_matchCount == 0)
        message = findAll ? tr("No occurance of %1 was found.").arg(text) : tr("No occurance of %1 found.").arg(text);
    else
        message = tr("No more occurances of %1 found.").arg(text);
    Toolkit::instance().message(message);
}

void SearchWindow::Command1_Click()
{
    m_lastMatch = 0;
    m_matchCount = 0;
    Command2->setEnabled(false);
    Command2_Click();
}

void SearchWindow::Command2_Click()
{
    TextBox *target = m_views.searchTarget();
    if (!target)
        return;
    resetColors(target);
    const QString needle = Text1->text();
    if (needle.isEmpty())
        return;
    const QString &text = m_views.document().text();
    tw::SearchOptions options;
    options.ignoreCase = Check1->isChecked();
    options.wholeWord = Check2->isChecked();
    // Searching goes on one character after the start of the last match.
    const qsizetype from = m_lastMatch == 0 ? 0 : tw::nextCharacter(text, m_lastMatch - 1);
    const qsizetype found = text.isEmpty() ? -1 : tw::findMatch(text, needle, from, options);
    m_lastMatch = found + 1;
    if (found < 0) {
        Command2->setEnabled(false);
        notFound(false);
        return;
    }
    const qsizetype start = characterIndex(text, found);
    target->select(start, characterIndex(QStringView(text).mid(found), needle.size()));
    target->ensureCursorVisible();
    Command2->setEnabled(true);
    Command2->setFocus();
    ++m_matchCount;
    bringTargetForward();
}

void SearchWindow::Command3_Click()
{
    m_lastMatch = 0;
    m_matchCount = 0;
    const QString needle = Text1->text();
    TextBox *target = m_views.searchTarget();
    if (needle.isEmpty() || !target)
        return;
    const qsizetype caret = target->selectionStart();
    resetColors(target);
    const QString &text = m_views.document().text();
    tw::SearchOptions options;
    options.ignoreCase = Check1->isChecked();
    options.wholeWord = Check2->isChecked();
    const QList<qsizetype> matches = tw::findAllMatches(text, needle, options);
    m_matchCount = int(qMin<qsizetype>(matches.size(), std::numeric_limits<int>::max()));
    if (matches.isEmpty()) {
        notFound(true);
        return;
    }

    const int indicator = matchIndicator();
    target->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, static_cast<unsigned long>(indicator),
                          long(QsciScintillaBase::INDIC_TEXTFORE));
    target->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, static_cast<unsigned long>(indicator), matchColor());
    target->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(indicator));
    // Byte positions are counted along the text once, match by match.
    qsizetype counted = 0;
    qsizetype bytes = 0;
    for (qsizetype match : matches) {
        bytes += utf8Length(QStringView(text).mid(counted, match - counted));
        counted = match;
        // Measured on the match itself: a letter of another case may take
        // another number of bytes.
        const qsizetype matchBytes = utf8Length(QStringView(text).mid(match, needle.size()));
        target->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(bytes),
                              long(matchBytes));
    }
    Check3->setEnabled(true);
    target->setCaret(caret);
    const QString shown = Text1->text();
    Toolkit::instance().message(matches.size() == 1
                                    ? tr("1 occurance of %1 found.").arg(shown)
                                    : tr("%1 occurances of %2 found.").arg(matches.size()).arg(shown));
    bringTargetForward();
}
