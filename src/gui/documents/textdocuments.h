// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/text/textfile.h"

#include <QObject>
#include <QString>

class CaretStatus;
class EditMenu;
class Form5;
class Manipulator;
class MDIForm1;
class QMdiSubWindow;
class SearchWindow;
class TextBox;
class TextLinesEditing;
struct AppState;

// The document side of the working text: the file it came from (its path and
// the encoding and line ends to write it back in), the File menu's text-file
// commands, the Text Viewer and the Search window, and what closing the
// Manipulator does to the document. The frame creates one and routes the
// commands here; the Manipulator keeps the text itself.
class TextDocuments : public QObject
{
    Q_OBJECT

public:
    TextDocuments(MDIForm1 &frame, AppState &state);
    ~TextDocuments() override;

    // The file the working text came from or was last saved to; empty for a
    // text from no file, which is saved as UTF-8 with LF line ends.
    const QString &documentPath() const { return m_path; }
    const tw::TextFormat &documentFormat() const { return m_format; }
    // From a successful Open until Close.
    bool documentOpen() const { return m_documentOpen; }
    // The user answered Cancel to the question during the last close.
    bool closeRefused() const { return m_closeRefused; }

    Form5 *textViewer() const { return m_viewer; }
    QMdiSubWindow *textViewerWindow() const { return m_viewerWindow; }
    SearchWindow *searchWindow() const { return m_search; }
    QMdiSubWindow *searchSubWindow() const { return m_searchWindow; }
    EditMenu *editMenu() const { return m_editMenu; }
    bool viewerVisible() const;
    bool searchVisible() const;

    // The box every search works on: the Manipulator's while it is shown,
    // otherwise the Text Viewer's; nullptr when neither is.
    TextBox *searchTarget() const;
    QMdiSubWindow *searchTargetWindow() const;

    // The program writes a text box: the programmatic-change flag is set only
    // when the text really changes, so an unchanged text costs nothing and the
    // flag is never left waiting for a change that does not come. The
    // Manipulator's box is written through the Manipulator, which keeps the
    // working text.
    void programWrite(TextBox *box, const QString &text);
    // The text in the Text Viewer's box, as the Manipulator's text is mirrored
    // into it on the Manipulator's key release. Only a changed text is copied.
    void mirrorManipulatorIntoViewer();
    // The Text Viewer's text into the Manipulator on the viewer's key release,
    // as an edit of the user's.
    void mirrorViewerIntoManipulator();

    // The caption of the Manipulator for a path ("Manipulator" for none).
    static QString captionFor(const QString &path);

public Q_SLOTS:
    void menuFileOpenFile_Click();
    void menuFileSaveFile_Click();
    void menuFileSaveFileAs_Click();
    void menuFileCloseFile_Click();
    void menuSearch_Click();
    void menuSearchFind_Click();

public:
    void myOpenFile();
    // Return true when the text was written.
    bool saveFile();
    bool saveFileAs();
    void closeFile();

    // Closing the Manipulator window: asks about unsaved changes; false when
    // the user cancelled (which also keeps the frame open).
    bool manipulatorMayClose();
    void manipulatorClosed();
    // Escape in the Manipulator closes it as its close button does.
    void closeManipulator();

    // View > Text Viewer, and the Text Viewer's part of View > Manipulator:
    // the viewer's text and caret go into the Manipulator; returns whether the
    // viewer was shown.
    void menuViewTextViewer_Click();
    bool viewerIntoManipulator();
    void hideViewer();
    // The Text Viewer's step of Undo: its box gets the undo copy too.
    void undoIntoViewer();
    // The Text Viewer closing: its text and caret go back into the Manipulator.
    void viewerClosing();

private:
    void manipulatorActivated();
    void subWindowActivated(QMdiSubWindow *window);
    // Writes the working text to path; on failure reports it and returns false.
    bool writeDocument(const QString &path);
    void afterSave();
    void emptyDocument();
    void setCaption(const QString &path);
    Manipulator &manipulator() const;

    MDIForm1 &m_frame;
    AppState &m_state;
    QString m_path;
    tw::TextFormat m_format;
    bool m_documentOpen = false;
    bool m_closeRefused = false;
    // Which box was edited since the two were last made equal.
    bool m_manipulatorEdited = false;
    bool m_viewerEdited = false;

    Form5 *m_viewer = nullptr;
    QMdiSubWindow *m_viewerWindow = nullptr;
    SearchWindow *m_search = nullptr;
    QMdiSubWindow *m_searchWindow = nullptr;
    EditMenu *m_editMenu = nullptr;
    TextLinesEditing *m_textLines = nullptr;
    CaretStatus *m_caretStatus = nullptr;
};
