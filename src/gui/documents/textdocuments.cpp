// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/textdocuments.h"

#include "gui/shell/appstate.h"
#include "gui/shell/mdiform1.h"
#include "gui/shell/textbox.h"
#include "gui/shell/toolkit.h"
#include "gui/documents/caretstatus.h"
#include "gui/documents/editmenu.h"
#include "gui/documents/form5.h"
#include "gui/documents/searchwindow.h"
#include "gui/manipulator/manipulator.h"
#include "gui/manipulator/textlinesediting.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

#include <functional>

namespace {
const QString manipulatorCaption = QStringLiteral("Manipulator");
const QString captionPrefix = QStringLiteral("Manipulator - ");

// The Text Viewer and the Search window hide when closed, keeping their
// state; the owner acts on the close first.
class HidingSubWindow : public QMdiSubWindow
{
public:
    std::function<void()> closing;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (closing)
            closing();
        hide();
    }
};

// The character counter is hidden while a file loads, as during a run.
void setCounterVisible(Manipulator &window, bool visible)
{
    for (QWidget *part : {static_cast<QWidget *>(window.Label28), static_cast<QWidget *>(window.Text7),
                          static_cast<QWidget *>(window.Label27), static_cast<QWidget *>(window.Text8),
                          static_cast<QWidget *>(window.Label29)})
        part->setVisible(visible);
}

QMdiSubWindow *addHidingWindow(QMdiArea *area, QWidget *widget, std::function<void()> closing,
                               Qt::WindowFlags extraFlags = {})
{
    auto window = new HidingSubWindow;
    window->closing = std::move(closing);
    window->setWidget(widget);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setWindowTitle(widget->windowTitle());
    QObject::connect(widget, &QWidget::windowTitleChanged, window, &QWidget::setWindowTitle);
    area->addSubWindow(window, window->windowFlags() | extraFlags);
    window->hide();
    return window;
}
} // namespace

TextDocuments::TextDocuments(MDIForm1 &frame, AppState &state) : QObject(&frame), m_frame(frame), m_state(state)
{
    setObjectName(QStringLiteral("TextDocuments"));

    m_viewer = new Form5(frame, state, *this);
    m_viewerWindow = addHidingWindow(frame.mdiArea, m_viewer, [this] { viewerClosing(); });
    m_viewerWindow->setObjectName(QStringLiteral("Form5Window"));

    m_search = new SearchWindow(frame, state, *this);
    // The Search window stays above the text it searches, so the match it
    // selects and the Find Again button can be seen together.
    m_searchWindow = addHidingWindow(frame.mdiArea, m_search, {}, Qt::WindowStaysOnTopHint);
    m_searchWindow->setObjectName(QStringLiteral("SearchWindowFrame"));

    m_editMenu = new EditMenu(frame, state, *this);
    m_textLines = new TextLinesEditing(frame, state, *this);
    m_caretStatus = new CaretStatus(frame, *this);

    connect(frame.menuFileOpenFile, &QAction::triggered, this, &TextDocuments::menuFileOpenFile_Click);
    connect(frame.menuFileSaveFile, &QAction::triggered, this, &TextDocuments::menuFileSaveFile_Click);
    connect(frame.menuFileSaveFileAs, &QAction::triggered, this, &TextDocuments::menuFileSaveFileAs_Click);
    connect(frame.menuFileCloseFile, &QAction::triggered, this, &TextDocuments::menuFileCloseFile_Click);
    connect(frame.menuSearch, &QMenu::aboutToShow, this, &TextDocuments::menuSearch_Click);
    connect(frame.menuSearchFind, &QAction::triggered, this, &TextDocuments::menuSearchFind_Click);
    connect(frame.mdiArea, &QMdiArea::subWindowActivated, this, &TextDocuments::subWindowActivated);

    // Which box was edited since the two were last made equal, so a key
    // release copies a text only when there is something new to copy.
    connect(manipulator().RichTextBox1, &TextBox::changed, this, [this] { m_manipulatorEdited = true; });
    connect(m_viewer->RichTextBox1, &TextBox::changed, this, [this] { m_viewerEdited = true; });

    // Escape anywhere in the Manipulator closes it, as its close button does.
    auto escape = new QShortcut(QKeySequence(Qt::Key_Escape), &manipulator());
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &TextDocuments::closeManipulator);
}

TextDocuments::~TextDocuments() = default;

Manipulator &TextDocuments::manipulator() const
{
    return *m_frame.manipulator();
}

bool TextDocuments::viewerVisible() const
{
    return m_viewerWindow && m_viewerWindow->isVisible();
}

bool TextDocuments::searchVisible() const
{
    return m_searchWindow && m_searchWindow->isVisible();
}

TextBox *TextDocuments::searchTarget() const
{
    if (m_frame.manipulatorVisible())
        return manipulator().RichTextBox1;
    if (viewerVisible())
        return m_viewer->RichTextBox1;
    return nullptr;
}

QMdiSubWindow *TextDocuments::searchTargetWindow() const
{
    if (m_frame.manipulatorVisible())
        return qobject_cast<QMdiSubWindow *>(manipulator().parentWidget());
    return viewerVisible() ? m_viewerWindow : nullptr;
}

QString TextDocuments::captionFor(const QString &path)
{
    return path.isEmpty() ? manipulatorCaption : captionPrefix + path;
}

void TextDocuments::setCaption(const QString &path)
{
    manipulator().setWindowTitle(captionFor(path));
}

void TextDocuments::programWrite(TextBox *box, const QString &text)
{
    Manipulator &window = manipulator();
    if (box == window.RichTextBox1) {
        if (window.working().text() == text)
            return;
        m_state.programmaticChange = true;
        window.putText(text);
        m_manipulatorEdited = false;
        return;
    }
    if (box->plainText() == text)
        return;
    m_state.programmaticChange = true;
    box->setPlainText(text);
    if (box == m_viewer->RichTextBox1)
        m_viewerEdited = false;
}

void TextDocuments::mirrorManipulatorIntoViewer()
{
    if (!viewerVisible() || !m_manipulatorEdited)
        return;
    m_manipulatorEdited = false;
    programWrite(m_viewer->RichTextBox1, manipulator().working().text());
    m_viewerEdited = false;
}

void TextDocuments::mirrorViewerIntoManipulator()
{
    if (!m_frame.manipulatorVisible() || !m_viewerEdited)
        return;
    m_viewerEdited = false;
    const QString text = m_viewer->RichTextBox1->plainText();
    TextBox *box = manipulator().RichTextBox1;
    if (text == manipulator().working().text())
        return;
    // The Manipulator takes the copy as an edit of the user's: its change
    // bookkeeping keeps the text before it as the undo copy.
    box->setPlainText(text);
    m_manipulatorEdited = false;
}

void TextDocuments::manipulatorActivated()
{
    m_state.activeChildName = manipulatorCaption;
    m_state.editTarget = manipulatorCaption;
}

void TextDocuments::subWindowActivated(QMdiSubWindow *window)
{
    if (!window || window != m_viewerWindow)
        return;
    m_frame.menuEdit->menuAction()->setVisible(true);
    m_frame.menuSearch->menuAction()->setVisible(!searchVisible());
    m_state.editTarget = QStringLiteral("Text Viewer");
}

// ---- File menu -------------------------------------------------------------

void TextDocuments::menuFileOpenFile_Click()
{
    if (m_state.modified) {
        closeFile();
        // Cancel keeps the unsaved text: opening another file now would
        // replace the very text the user just chose to keep.
        if (m_closeRefused)
            return;
    }
    myOpenFile();
    m_frame.menuFilePrint->setEnabled(true);
}

void TextDocuments::myOpenFile()
{
    Manipulator &window = manipulator();
    HourglassGuard hourglass;
    window.SSTab1->setCurrentIndex(Manipulator::TextLines);
    setCounterVisible(window, false);

    FileDialogRequest request;
    request.title = tr("Tabwright - Open text file to process");
    request.filter = tr("Text files (*.txt)|*.txt|All files (*.*)|*.*");
    const QString path = Toolkit::instance().fileDialog(request);
    if (!path.isEmpty()) {
        tw::TextFileContent content = tw::readTextFile(path);
        if (content.error) {
            setCounterVisible(window, true);
            hourglass.release();
            // The window keeps its text, its caption and its document.
            window.handleError(content.error.number, content.error.description);
            return;
        }
        m_path = path;
        setCaption(path);
        m_format = content.format;
        if (content.byteSize > 0) {
            m_state.fileLoad = true;
            window.putText(content.text);
            m_state.fileLoad = false;
            window.working().setUndoCopy(window.working().text());
            window.working().setLastSeen(window.working().text());
            m_manipulatorEdited = false;
            m_frame.menuEditUndo->setEnabled(false);
            m_frame.menuFileSaveFile->setEnabled(false);
            window.Command1->setEnabled(false);
            m_frame.menuFileSaveFileAs->setEnabled(true);
            m_frame.menuFileCloseFile->setEnabled(true);
            m_documentOpen = true;
            window.RichTextBox1->setEnabled(true);
            m_textLines->enableLineTools(true);
        }
    }
    setCounterVisible(window, true);
    manipulatorActivated();
    m_frame.focusManipulator();
    window.RichTextBox1->setFocus();
}

void TextDocuments::menuFileSaveFile_Click()
{
    m_state.programmaticChange = true;
    saveFile();
    m_state.programmaticChange = false;
}

void TextDocuments::menuFileSaveFileAs_Click()
{
    m_state.programmaticChange = true;
    saveFileAs();
    m_state.programmaticChange = false;
}

void TextDocuments::menuFileCloseFile_Click()
{
    closeFile();
}

bool TextDocuments::writeDocument(const QString &path)
{
    HourglassGuard hourglass;
    const tw::TextWriteResult result = tw::writeTextFile(path, manipulator().working().text(), m_format);
    if (result.error) {
        hourglass.release();
        manipulator().handleError(result.error.number, result.error.description);
        return false;
    }
    if (result.written.encoding != m_format.encoding) {
        hourglass.release();
        Toolkit::instance().message(
            tr("The text holds characters that Windows-1252 cannot store, so %1 was saved as UTF-8.").arg(path),
            Buttons::Ok, Icon::Information, tr("Tabwright"));
    }
    m_format = result.written;
    return true;
}

void TextDocuments::afterSave()
{
    Manipulator &window = manipulator();
    window.working().setUndoCopy(window.working().text());
    m_frame.menuEditUndo->setEnabled(false);
    m_frame.menuFileSaveFile->setEnabled(false);
    window.Command1->setEnabled(false);
    m_state.modified = false;
}

bool TextDocuments::saveFile()
{
    manipulatorActivated();
    QString path = m_path;
    if (path.isEmpty()) {
        FileDialogRequest request;
        request.title = tr("Tabwright - Save file");
        request.filter = tr("Text files (*.txt)|*.txt|All files (*.*)|*.*");
        request.save = true;
        request.fileMustExist = false;
        path = Toolkit::instance().fileDialog(request);
        if (path.isEmpty())
            return false;
    }
    if (!writeDocument(path))
        return false;
    m_path = path;
    if (manipulator().windowTitle() == manipulatorCaption)
        setCaption(path);
    afterSave();
    m_frame.menuFileSaveFileAs->setEnabled(true);
    m_frame.menuFileCloseFile->setEnabled(true);
    return true;
}

bool TextDocuments::saveFileAs()
{
    manipulatorActivated();
    FileDialogRequest request;
    request.title = tr("Tabwright - Save file as");
    request.filter = tr("Text files (*.txt)|*.txt|All files (*.*)|*.*");
    request.save = true;
    request.fileMustExist = false;
    const QString path = Toolkit::instance().fileDialog(request);
    if (path.isEmpty()) {
        // As with a closed dialog: the next Save asks for a path again.
        m_path.clear();
        return false;
    }
    // A failed write keeps the document where it was: the caption and the
    // path only move to a file that was really written.
    if (!writeDocument(path))
        return false;
    m_path = path;
    setCaption(path);
    afterSave();
    return true;
}

void TextDocuments::closeFile()
{
    m_closeRefused = false;
    if (m_state.modified) {
        const int answer = Toolkit::instance().message(tr("Would you like to save changes?"), Buttons::YesNoCancel,
                                                       Icon::Question, tr("Tabwright - It's your choice..."),
                                                       Answer::Cancel);
        if (answer == Answer::Cancel) {
            m_closeRefused = true;
            return;
        }
        if (answer == Answer::Yes) {
            m_state.fileClose = true;
            m_state.programmaticChange = true;
            const bool saved = saveFile();
            m_state.programmaticChange = false;
            if (!saved) {
                // Nothing was written (the dialog was cancelled or the save
                // failed): emptying now would lose the text the user wanted kept.
                m_state.fileClose = false;
                m_closeRefused = true;
                return;
            }
        }
    }
    emptyDocument();
}

void TextDocuments::emptyDocument()
{
    Manipulator &window = manipulator();
    m_path.clear();
    m_format = {};
    m_state.fileClose = true;
    window.RichTextBox1->setPlainText(QString());
    // A first edit of the next text must not undo back to the closed one.
    window.working().setLastSeen(QString());
    m_frame.menuFileSaveFile->setEnabled(false);
    m_frame.menuFileSaveFileAs->setEnabled(false);
    m_frame.menuFileCloseFile->setEnabled(false);
    m_documentOpen = false;
    m_state.modified = false;
    window.Command1->setEnabled(false);
    m_frame.menuEditUndo->setEnabled(false);
    m_state.fileClose = false;
    setCaption({});
}

bool TextDocuments::manipulatorMayClose()
{
    closeFile();
    return !m_closeRefused;
}

void TextDocuments::manipulatorClosed()
{
    // Keys must not go on reaching a text box that can no longer be seen.
    // (Giving it to the frame's area would hand it straight back: the area
    // passes it on to its active window, which is this hidden one.)
    if (QWidget *focus = QApplication::focusWidget(); focus && manipulator().isAncestorOf(focus))
        focus->clearFocus();
    m_state.activeChildName.clear();
    m_frame.menuEditUndo->setEnabled(false);
    if (searchVisible() && !viewerVisible())
        m_searchWindow->close();
}

void TextDocuments::closeManipulator()
{
    if (QWidget *window = manipulator().parentWidget())
        window->close();
}

// ---- Search menu -----------------------------------------------------------

void TextDocuments::menuSearch_Click()
{
    m_state.programmaticChange = true;
    const bool manipulatorHasText = m_frame.manipulatorVisible() && !manipulator().working().isEmpty();
    const bool viewerHasText = viewerVisible() && !m_viewer->RichTextBox1->isEmpty();
    m_frame.menuSearchFind->setEnabled(manipulatorHasText || viewerHasText);
    m_state.programmaticChange = false;
}

void TextDocuments::menuSearchFind_Click()
{
    m_search->showWindow();
}

// ---- Text Viewer -----------------------------------------------------------

void TextDocuments::menuViewTextViewer_Click()
{
    HourglassGuard hourglass;
    Manipulator &window = manipulator();
    const QString caption = window.windowTitle();
    m_viewer->setWindowTitle(caption != manipulatorCaption ? caption.mid(captionPrefix.size())
                                                           : tr("Text Viewer"));
    programWrite(m_viewer->RichTextBox1, window.working().text());
    m_viewerEdited = false;
    m_manipulatorEdited = false;
    m_viewer->RichTextBox1->setCaret(window.RichTextBox1->selectionStart());
    m_viewerWindow->showMaximized();
    m_frame.mdiArea->setActiveSubWindow(m_viewerWindow);
    m_viewer->RichTextBox1->setFocus();
    m_state.programmaticChange = false;
}

bool TextDocuments::viewerIntoManipulator()
{
    if (!viewerVisible())
        return false;
    programWrite(manipulator().RichTextBox1, m_viewer->RichTextBox1->plainText());
    m_viewerEdited = false;
    manipulator().RichTextBox1->setCaret(m_viewer->RichTextBox1->selectionStart());
    return true;
}

void TextDocuments::hideViewer()
{
    m_viewerWindow->hide();
}

void TextDocuments::viewerClosing()
{
    HourglassGuard hourglass;
    if (m_frame.manipulatorVisible()) {
        viewerIntoManipulator();
        m_state.programmaticChange = false;
        m_frame.focusManipulator();
        manipulator().RichTextBox1->setFocus();
    }
    m_state.programmaticChange = false;
    // The Edit and Search menus stay only while a text window is open.
    if (!m_frame.manipulatorVisible()) {
        m_frame.setTextMenusVisible(false);
        if (QWidget *focus = QApplication::focusWidget(); focus && m_viewer->isAncestorOf(focus))
            focus->clearFocus();
    }
}

void TextDocuments::undoIntoViewer()
{
    if (!viewerVisible())
        return;
    Manipulator &window = manipulator();
    programWrite(m_viewer->RichTextBox1, window.working().undoCopy());
    m_viewerEdited = false;
    window.working().setLastSeen(window.working().undoCopy());
    m_viewer->RichTextBox1->setFocus();
}
