// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/manipulator.h"

#include "gui/shell/appstate.h"
#include "gui/shell/errormessages.h"
#include "gui/shell/mdiform1.h"
#include "gui/shell/textbox.h"
#include "gui/shell/toolkit.h"
#include "gui/documents/textdocuments.h"
#include "gui/manipulator/addtab.h"
#include "gui/manipulator/afterprocessboxes.h"
#include "gui/manipulator/savetargettab.h"
#include "gui/manipulator/tabwritetab.h"
#include "gui/manipulator/deletetab.h"
#include "gui/manipulator/formattab.h"
#include "gui/manipulator/linetools.h"
#include "gui/manipulator/movetab.h"
#include "gui/manipulator/replacetab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <limits>

namespace {
// How long a run works before it lets the window repaint and Stop answer.
constexpr int sliceMilliseconds = 30;

struct TabInfo
{
    const char *caption;
    const char *afterBox;
    const char *selectAllBox;
};

constexpr TabInfo tabs[Manipulator::TabCount] = {
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

QString fieldText(const QWidget *field)
{
    if (auto combo = qobject_cast<const QComboBox *>(field))
        return combo->currentText();
    if (auto line = qobject_cast<const QLineEdit *>(field))
        return line->text();
    if (auto plain = qobject_cast<const QPlainTextEdit *>(field))
        return plain->toPlainText();
    return {};
}

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

// Observes a line run: moves the progress bar and lets events run by time slice.
class FrameProgress : public tw::FrameObserver
{
public:
    explicit FrameProgress(Manipulator &window) : m_window(window) {}
    bool lineStarting(qsizetype index) override { return m_window.yieldIfDue(index + 1); }

private:
    Manipulator &m_window;
};
} // namespace

Manipulator::Manipulator(MDIForm1 &frame, AppState &state, QWidget *parent)
    : QWidget(parent), m_frame(frame), m_state(state)
{
    setObjectName(QStringLiteral("Manipulator"));
    setWindowTitle(tr("Manipulator"));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    for (int index = 0; index < TabCount; ++index) {
        auto page = new QWidget;
        page->setObjectName(QStringLiteral("SSTab1Page%1").arg(index));
        auto layout = new QVBoxLayout(page);
        m_pages << page;
        AfterProcessBoxes *boxes = nullptr;
        if (tabs[index].afterBox) {
            boxes = new AfterProcessBoxes(m_state, QString::fromLatin1(tabs[index].afterBox),
                                          QString::fromLatin1(tabs[index].selectAllBox), page);
            layout->addStretch();
            layout->addWidget(boxes->afterProcess());
            layout->addWidget(boxes->selectAll());
        }
        m_afterBoxes << boxes;
        SSTab1->addTab(page, tr(tabs[index].caption));
    }

    RichTextBox1 = new TextBox(m_pages.at(TextLines));
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    m_pages.at(TextLines)->layout()->addWidget(RichTextBox1);
    connect(RichTextBox1, &TextBox::changed, this, &Manipulator::RichTextBox1_Change);

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

    saveTargetTab = new SaveTargetTab(frame, m_state, *this);
    tabwriteTab = new TabwriteTab(frame, m_state, *this, *saveTargetTab);
    connect(SSTab1, &QTabWidget::currentChanged, tabwriteTab, &TabwriteTab::SSTab1_Click);

    moveTab = new MoveTab(*this, m_state);
    addTab = new AddTab(*this, m_state);
    replaceTab = new ReplaceTab(*this, m_state);
    deleteTab = new DeleteTab(*this, m_state);
    formatTab = new FormatTab(*this, m_state);
    lineTools = new LineTools(*this, m_state);
}

Manipulator::~Manipulator() = default;

QWidget *Manipulator::page(Tab tab) const
{
    return m_pages.at(tab);
}

AfterProcessBoxes *Manipulator::afterProcessBoxes(Tab tab) const
{
    return m_afterBoxes.at(tab);
}

void Manipulator::Form_Load()
{
    // Runs again whenever View > Manipulator shows the window: it only puts
    // the window's run state back to idle and never touches the fields or the
    // text the user has there.
    if (!m_busy)
        restoreIdleState();
}

void Manipulator::putText(const QString &text, bool answerMeanwhile)
{
    m_text.setText(text);
    if (answerMeanwhile)
        RichTextBox1->setPlainText(text, [] { QCoreApplication::processEvents(); });
    else
        RichTextBox1->setPlainText(text);
}

void Manipulator::RichTextBox1_Change()
{
    const bool programmatic = m_state.programmaticChange;
    // The program keeps the working text itself whenever it writes the box;
    // only a change of the user's has to be read back from it.
    if (!programmatic && !m_state.fileLoad)
        m_text.setText(RichTextBox1->plainText());

    if (!programmatic && !m_state.fileLoad && !m_state.fileClose) {
        m_state.modified = true;
        m_frame.menuFileSaveFile->setEnabled(true);
        if (!m_undoInProgress) {
            m_text.setUndoCopy(m_text.lastSeen());
            m_text.setLastSeen(m_text.text());
        }
    }
    if (!programmatic && !m_state.fileLoad) {
        enableUndo();
        m_frame.menuSearchFind->setEnabled(!m_text.isEmpty());
    }
    m_state.fileLoad = false;
    m_state.programmaticChange = false;
}

void Manipulator::Text7_Change()
{
    Text8->setText(QString::number(counterLength(Text7->toPlainText())));
}

void Manipulator::nothingToProcess()
{
    Toolkit::instance().message(tr("There is nothing to process.  Please open a file by selecting File "
                                   "menu/Open, or enter text into the text box on the Text/Lines tab."));
    SSTab1->setCurrentIndex(TextLines);
    RichTextBox1->setFocus();
}

void Manipulator::enableUndo()
{
    m_frame.menuEditUndo->setEnabled(true);
    Command1->setEnabled(true);
    m_state.modified = true;
}

void Manipulator::handleError(int number, const QString &description)
{
    m_state.silentDbError = false;
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    const std::optional<QString> message = manipulatorErrorMessage(number, description);
    if (!message) {
        m_state.silentDbError = true;
        return;
    }
    Toolkit::instance().message(*message, Buttons::Ok, Icon::Information, tr("Tabwright - Sorry..."));
}

bool Manipulator::runProcessingFrame(const LineRun &run)
{
    // One run at a time: a run lets window events through, and a second run
    // started from inside it would hand the text box a result built from a
    // text that the first run is about to replace.
    if (m_busy)
        return false;
    if (run.requiredField && fieldText(run.requiredField).isEmpty()) {
        Toolkit::instance().message(run.missingFieldMessage);
        run.requiredField->setFocus();
        return false;
    }
    if (m_text.isEmpty()) {
        nothingToProcess();
        return false;
    }
    // Held by value: a command started from the events the run lets through
    // (File > Open) may replace the working text, which must not free the
    // characters the run is still reading.
    const QString text = m_text.text();
    beginRun(tw::lineCount(text));
    FrameProgress progress(*this);
    const QString result = tw::runLineFrame(text, run.operation, run.gate, &progress);
    finishRun(result, run.after);
    return true;
}

bool Manipulator::beginRun(qsizetype lineCount)
{
    if (m_busy)
        return false;
    m_undoBeforeRun = m_text.undoCopy();
    m_text.setUndoCopy(m_text.text());
    m_busy = true;
    showRunState(true, lineCount);
    m_sliceClock.start();
    return true;
}

void Manipulator::finishRun(const QString &result, AfterProcessBoxes *after)
{
    m_undoBeforeRun.clear();
    Command17->setEnabled(false);
    m_state.programmaticChange = true;
    // The run still holds the window (busy), so events may run while the box
    // takes a big result in.
    putText(result, true);
    ProgressBar1->setVisible(false);
    if (after && after->showTextTab()) {
        SSTab1->setCurrentIndex(TextLines);
        RichTextBox1->setFocus();
        if (after->selectWholeText())
            RichTextBox1->select(0, RichTextBox1->characterCount());
        else
            RichTextBox1->setCaret(0);
    }
    enableUndo();
    m_frame.menuFileSaveFile->setEnabled(true);
    m_busy = false;
    restoreIdleState();
}

void Manipulator::abandonRun()
{
    m_text.setUndoCopy(m_undoBeforeRun);
    m_undoBeforeRun.clear();
    m_busy = false;
    restoreIdleState();
}

bool Manipulator::beginReadingRun(qsizetype progressMaximum)
{
    if (m_busy)
        return false;
    m_busy = true;
    showRunState(true, progressMaximum);
    m_sliceClock.start();
    return true;
}

void Manipulator::endReadingRun()
{
    m_busy = false;
    restoreIdleState();
}

void Manipulator::showRunState(bool running, qsizetype lineCount)
{
    for (QWidget *counterPart : {static_cast<QWidget *>(Label28), static_cast<QWidget *>(Text7),
                                 static_cast<QWidget *>(Label27), static_cast<QWidget *>(Text8),
                                 static_cast<QWidget *>(Label29)})
        counterPart->setVisible(!running);
    if (running && lineCount >= 2) {
        // The bar counts lines; a text of more lines than it can count moves it
        // in proportion.
        const int maximum = int(qMin<qsizetype>(lineCount, std::numeric_limits<int>::max()));
        ProgressBar1->setRange(1, maximum);
        ProgressBar1->setValue(1);
        ProgressBar1->setVisible(true);
    }
    Command17->setEnabled(running);
    // The user cannot type into a text that the run is about to replace.
    RichTextBox1->setReadOnly(running);
    // Hourglass over the window while the run goes on, but the arrow over
    // Stop so it plainly can be pressed.
    if (running) {
        m_frame.setCursor(Qt::WaitCursor);
        setCursor(Qt::WaitCursor);
        Command17->setCursor(Qt::ArrowCursor);
    } else {
        m_frame.unsetCursor();
        unsetCursor();
        Command17->unsetCursor();
    }
}

void Manipulator::restoreIdleState()
{
    showRunState(false, 0);
    ProgressBar1->setVisible(false);
}

bool Manipulator::yieldIfDue(qsizetype progressValue)
{
    if (m_sliceClock.elapsed() < sliceMilliseconds)
        return false;
    if (ProgressBar1->isVisible()) {
        const qint64 maximum = ProgressBar1->maximum();
        ProgressBar1->setValue(int(qMin<qint64>(progressValue, maximum)));
    }
    ++m_yieldCount;
    QCoreApplication::processEvents();
    m_sliceClock.restart();
    return true;
}

void Manipulator::Command1_Click()
{
    if (m_busy)
        return;
    m_undoInProgress = true;
    ProgressBar1->setValue(1);
    if (m_frame.manipulatorVisible()) {
        m_state.programmaticChange = true;
        putText(m_text.undoCopy());
        m_text.setLastSeen(m_text.text());
        SSTab1->setCurrentIndex(TextLines);
        RichTextBox1->setFocus();
    }
    // The undo copy is shared with the Text Viewer.
    if (m_frame.documents())
        m_frame.documents()->undoIntoViewer();
    if (m_state.editTarget == QLatin1String("Manipulator"))
        m_frame.focusManipulator();
    Command1->setEnabled(false);
    m_frame.menuEditUndo->setEnabled(false);
    m_undoInProgress = false;
}

void Manipulator::Command17_Click()
{
    m_mayGoOn = false;
    Command17->setEnabled(false);
}
