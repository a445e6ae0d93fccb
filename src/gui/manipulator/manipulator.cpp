// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/manipulator.h"

#include "core/db/session.h"
#include "core/text/textdocument.h"
#include "gui/documents/textviews.h"
#include "gui/manipulator/addtab.h"
#include "gui/manipulator/afterprocessboxes.h"
#include "gui/manipulator/deletetab.h"
#include "gui/manipulator/fieldcontrols.h"
#include "gui/manipulator/formattab.h"
#include "gui/manipulator/linetools.h"
#include "gui/manipulator/movetab.h"
#include "gui/manipulator/replacetab.h"
#include "gui/manipulator/savetargettab.h"
#include "gui/manipulator/settingstab.h"
#include "gui/manipulator/tabwritetab.h"
#include "gui/manipulator/textlinesediting.h"
#include "gui/shell/busystate.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/textbox.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QKeyEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString manipulatorCaption = QStringLiteral("Manipulator");

struct TabInfo
{
    const char *caption;
    const char *afterBox;
    const char *selectAllBox;
};

constexpr TabInfo tabs[ProcessingFrame::TabCount] = {
    {QT_TRANSLATE_NOOP("Manipulator", "&Text/Lines"), nullptr, nullptr},
    {QT_TRANSLATE_NOOP("Manipulator", "&Move Text"), "Check5", "Check11"},
    {QT_TRANSLATE_NOOP("Manipulator", "&Add Text"), "Check6", "Check12"},
    {QT_TRANSLATE_NOOP("Manipulator", "&Replace Text"), "Check7", "Check13"},
    {QT_TRANSLATE_NOOP("Manipulator", "&Delete Text"), "Check8", "Check14"},
    {QT_TRANSLATE_NOOP("Manipulator", "&Format Text"), "Check9", "Check15"},
    {QT_TRANSLATE_NOOP("Manipulator", "&Tabwrite Text"), "Check10", "Check16"},
    {QT_TRANSLATE_NOOP("Manipulator", "Sett&ings"), nullptr, nullptr},
    {QT_TRANSLATE_NOOP("Manipulator", "S&ave to Database"), nullptr, nullptr},
};

// A line break typed into the counter box stands for CR LF, and a character
// outside the Basic Multilingual Plane is one character.
qsizetype counterLength(const QString &text)
{
    qsizetype count = text.count(u'\n');
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

bool usesProgramTables(int tab)
{
    return tab == ProcessingFrame::TabwriteText || tab == ProcessingFrame::Settings;
}
} // namespace

Manipulator::Manipulator(tw::TextDocument &document, tw::DatabaseSession &session, BusyState &busy,
                         TextViews &views, Preferences &preferences, QWidget *parent)
    : QWidget(parent), m_document(document), m_session(session), m_views(views), m_frame(document, busy)
{
    setObjectName(QStringLiteral("Manipulator"));
    setWindowTitle(manipulatorCaption);
    ProcessingFrame::Parts parts = buildPages();
    buildRunControls(parts);
    m_frame.setParts(parts);

    m_moveTab = new MoveTab(m_frame, m_settingsDirty);
    m_addTab = new AddTab(m_frame, m_settingsDirty);
    m_replaceTab = new ReplaceTab(m_frame, m_settingsDirty);
    m_deleteTab = new DeleteTab(m_frame, m_settingsDirty);
    m_formatTab = new FormatTab(m_frame, m_settingsDirty);
    m_lineTools = new LineTools(m_frame, m_settingsDirty);
    m_saveTargetTab = new SaveTargetTab(m_frame, m_session, m_settingsDirty, preferences);
    m_tabwriteTab = new TabwriteTab(m_frame, m_session, m_settingsDirty);
    m_fieldControls = std::make_unique<FieldControls>(this);
    m_settingsTab = new SettingsTab(m_frame, m_session, m_settingsDirty, *m_fieldControls);
    connect(m_settingsTab, &SettingsTab::currentSettingsChanged, m_tabwriteTab,
            &TabwriteTab::setCurrentSettingsName);
    connect(m_settingsTab, &SettingsTab::columnLayoutReplaced, m_tabwriteTab, &TabwriteTab::showTab);
    m_textLines = new TextLinesEditing(RichTextBox1, m_document, m_lineTools, this);
    connect(m_textLines, &TextLinesEditing::findRequested, this, &Manipulator::findRequested);
    connect(m_textLines, &TextLinesEditing::closeRequested, this, &Manipulator::closeRequested);
    connect(SSTab1, &QTabWidget::currentChanged, this, &Manipulator::SSTab1_Click);

    m_views.addView(TextViews::Role::Manipulator, RichTextBox1, this);
    connect(&m_document, &tw::TextDocument::shownPathChanged, this,
            [this](const QString &path) { setWindowTitle(captionFor(path)); });
    connect(&m_document, &tw::TextDocument::undoAvailableChanged, Command1, &QWidget::setEnabled);
    connect(&busy, &BusyState::progress, this, &Manipulator::showProgress);
    connect(&busy, &BusyState::progressEnded, ProgressBar1, &QWidget::hide);
}

void Manipulator::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Q_EMIT closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Manipulator::setTextFont(const QFont &font)
{
    m_tabwriteTab->setGridFont(font);
}

void Manipulator::giveUpAccessKeys(const QString &menuLetters)
{
    for (int index = 0; index < SSTab1->count(); ++index) {
        QString caption = SSTab1->tabText(index);
        const qsizetype mark = caption.indexOf(u'&');
        if (mark >= 0 && mark + 1 < caption.size()
            && menuLetters.contains(caption.at(mark + 1), Qt::CaseInsensitive)) {
            caption.remove(mark, 1);
            SSTab1->setTabText(index, caption);
        }
    }
}

Manipulator::~Manipulator() = default;

ProcessingFrame::Parts Manipulator::buildPages()
{
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    ProcessingFrame::Parts parts;
    for (int index = 0; index < ProcessingFrame::TabCount; ++index) {
        auto page = new QWidget;
        page->setObjectName(QStringLiteral("SSTab1Page%1").arg(index));
        auto layout = new QVBoxLayout(page);
        parts.pages << page;
        AfterProcessBoxes *boxes = nullptr;
        if (tabs[index].afterBox) {
            boxes = new AfterProcessBoxes(m_settingsDirty, QString::fromLatin1(tabs[index].afterBox),
                                          QString::fromLatin1(tabs[index].selectAllBox), page);
            layout->addStretch();
            layout->addWidget(boxes->afterProcess());
            layout->addWidget(boxes->selectAll());
        }
        parts.afterBoxes << boxes;
        SSTab1->addTab(page, tr(tabs[index].caption));
    }
    RichTextBox1 = new TextBox(parts.pages.at(ProcessingFrame::TextLines));
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    parts.pages.at(ProcessingFrame::TextLines)->layout()->addWidget(RichTextBox1);
    parts.window = this;
    parts.tabs = SSTab1;
    parts.box = RichTextBox1;
    return parts;
}

void Manipulator::buildRunControls(ProcessingFrame::Parts &parts)
{
    Command1 = new QPushButton(tr("&Undo"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &Manipulator::Command1_Click);

    Command17 = new QPushButton(tr("&Stop"), this);
    Command17->setObjectName(QStringLiteral("Command17"));
    Command17->setEnabled(false);
    connect(Command17, &QPushButton::clicked, this, &Manipulator::Command17_Click);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setVisible(false);

    Label28 = new QLabel(tr("Character Counter - Enter text:"), this);
    Label28->setObjectName(QStringLiteral("Label28"));
    Text7 = new QPlainTextEdit(this);
    Text7->setObjectName(QStringLiteral("Text7"));
    Text7->setToolTip(tr("Multiple lines welcome.  EACH carriage return at the end of a line adds 2 to "
                         "the char count.  If scrollbar is enabled, at least two lines/a carriage return "
                         "is in this field."));
    Text7->setFixedHeight(Text7->fontMetrics().height() * 2);
    connect(Text7, &QPlainTextEdit::textChanged, this, &Manipulator::Text7_Change);
    Label27 = new QLabel(tr("has"), this);
    Label27->setObjectName(QStringLiteral("Label27"));
    Text8 = new QLineEdit(QStringLiteral("0"), this);
    Text8->setObjectName(QStringLiteral("Text8"));
    Text8->setReadOnly(true);
    Text8->setMaximumWidth(Text8->fontMetrics().horizontalAdvance(u'0') * 12);
    Label29 = new QLabel(tr("characters"), this);
    Label29->setObjectName(QStringLiteral("Label29"));

    auto buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command17);
    buttons->addWidget(ProgressBar1, 1);
    auto counter = new QHBoxLayout;
    counter->addWidget(Label28);
    counter->addWidget(Text7, 1);
    counter->addWidget(Label27);
    counter->addWidget(Text8);
    counter->addWidget(Label29);
    auto layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1, 1);
    layout->addLayout(buttons);
    layout->addLayout(counter);

    parts.stop = Command17;
    parts.progress = ProgressBar1;
    parts.counter = {Label28, Text7, Label27, Text8, Label29};
}

QString Manipulator::captionFor(const QString &path)
{
    return path.isEmpty() ? manipulatorCaption : manipulatorCaption + QStringLiteral(" - ") + path;
}

void Manipulator::Form_Load()
{
    if (!m_frame.isBusy())
        m_frame.restoreIdleState();
}

void Manipulator::showTab(Tab tab)
{
    m_frame.showTab(tab);
}

void Manipulator::focusText()
{
    RichTextBox1->setFocus();
}

void Manipulator::fileOpenStarted()
{
    showTab(ProcessingFrame::TextLines);
    m_frame.setCounterVisible(false);
}

void Manipulator::fileOpenEnded()
{
    m_frame.setCounterVisible(true);
}

void Manipulator::Text7_Change()
{
    Text8->setText(QString::number(counterLength(Text7->toPlainText())));
}

void Manipulator::showProgress(qint64 done, qint64 total)
{
    if (total <= 0)
        return;
    // The bar counts rows; a count larger than it can hold moves it in
    // proportion.
    const double scale = total > 1000000 ? 1000000.0 / double(total) : 1.0;
    ProgressBar1->setRange(0, int(double(total) * scale));
    ProgressBar1->setValue(int(double(done) * scale));
    ProgressBar1->setVisible(true);
}

void Manipulator::SSTab1_Click(int index)
{
    const int previous = m_previousTab;
    m_previousTab = index;
    if (m_goingBack)
        return;
    if (previous == ProcessingFrame::TabwriteText)
        m_tabwriteTab->commitGrid();
    // The program's own tables live in the default database: moving to or
    // from the tabs that use them while another database is current offers
    // to go back to it.
    if (m_session.isExternal() && (usesProgramTables(previous) || usesProgramTables(index))) {
        const bool targetTabInvolved =
            previous == ProcessingFrame::SaveToDatabase || index == ProcessingFrame::SaveToDatabase;
        if (targetTabInvolved && m_saveTargetTab->targetsDefaultDatabase()) {
            m_saveTargetTab->Option2_Click();
        } else {
            tw::DbError error;
            if (!m_session.leaveExternal(&error)) {
                m_goingBack = true;
                showTab(ProcessingFrame::TextLines);
                m_goingBack = false;
                return;
            }
            if (error.isError())
                errors::report(error);
        }
    }
    if (index == ProcessingFrame::TabwriteText)
        m_tabwriteTab->showTab();
    else if (index == ProcessingFrame::Settings)
        m_settingsTab->showTab();
    else if (index == ProcessingFrame::SaveToDatabase)
        m_saveTargetTab->showTab();
}

void Manipulator::Command1_Click()
{
    if (m_frame.isBusy())
        return;
    ProgressBar1->setValue(1);
    // The text before the last change comes back in every window that shows
    // it: the Text Viewer is a view of the same text.
    m_document.undo();
    if (isVisible()) {
        showTab(ProcessingFrame::TextLines);
        RichTextBox1->setFocus();
    }
    m_views.focusAfterUndo();
}

void Manipulator::Command17_Click()
{
    m_frame.stop();
}
