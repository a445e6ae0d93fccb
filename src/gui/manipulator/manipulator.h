// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/manipulator/processingframe.h"
#include "gui/manipulator/settingsdirty.h"

#include <QWidget>

#include <memory>

class AddTab;
class BusyState;
class Preferences;
class DeleteTab;
class FieldControls;
class FormatTab;
class LineTools;
class MoveTab;
class ReplaceTab;
class SaveTargetTab;
class SettingsTab;
class TabwriteTab;
class TextBox;
class TextLinesEditing;
class TextViews;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
namespace tw {
class DatabaseSession;
class TextDocument;
} // namespace tw

// The window where text is reshaped: a strip of nine tabs over the working
// text, with the Undo and Stop buttons, the progress bar and the character
// counter below. Its text box is a view of the working text (TextViews); every
// Process button runs through the processing frame, and each tab page is a
// class of its own that supplies its operation.
class Manipulator : public QWidget
{
    Q_OBJECT

public:
    using Tab = ProcessingFrame::Tab;

    Manipulator(tw::TextDocument &document, tw::DatabaseSession &session, BusyState &busy, TextViews &views,
                Preferences &preferences, QWidget *parent = nullptr);
    ~Manipulator() override;

    // Runs whenever View > Manipulator shows the window: it puts the run
    // state back to idle and never touches the fields or the text.
    void Form_Load();
    void showTab(Tab tab);
    void focusText();
    // The caption for the file the text belongs to ("" for none).
    static QString captionFor(const QString &path);

    // The menu bar's access keys win over the tabs': a tab whose letter a
    // menu uses gives it up (Alt+F opens the File menu, not Format Text).
    void giveUpAccessKeys(const QString &menuLetters);
    // The user's font for text: the column layout grid shows text in it too.
    void setTextFont(const QFont &font);

    // A file is being chosen and read: the Text/Lines tab is shown and the
    // character counter goes away meanwhile.
    void fileOpenStarted();
    void fileOpenEnded();

    // Whether a field of the tabs changed since the named settings were last
    // saved or selected; saving and selecting settings clear it, and loading
    // them into the fields holds it off meanwhile.
    SettingsDirty &settingsDirty() { return m_settingsDirty; }

public Q_SLOTS:
    void Command1_Click();
    void Command17_Click();

Q_SIGNALS:
    // Escape pressed in the window: it closes as its close button does.
    void closeRequested();
    // Ctrl+F in the text: the Search window.
    void findRequested();

protected:
    // Escape closes the window only when nothing inside it took the key: an
    // open drop-down list, a cell editor or a completer closes itself first.
    void keyPressEvent(QKeyEvent *event) override;

private:
    ProcessingFrame::Parts buildPages();
    void buildRunControls(ProcessingFrame::Parts &parts);
    void SSTab1_Click(int index);
    void Text7_Change();
    void showProgress(qint64 done, qint64 total);

    tw::TextDocument &m_document;
    tw::DatabaseSession &m_session;
    TextViews &m_views;
    ProcessingFrame m_frame;
    SettingsDirty m_settingsDirty;

    QTabWidget *SSTab1 = nullptr;
    TextBox *RichTextBox1 = nullptr;
    QPushButton *Command1 = nullptr;  // Undo
    QPushButton *Command17 = nullptr; // Stop
    QProgressBar *ProgressBar1 = nullptr;
    QLabel *Label28 = nullptr;
    QPlainTextEdit *Text7 = nullptr;
    QLabel *Label27 = nullptr;
    QLineEdit *Text8 = nullptr;
    QLabel *Label29 = nullptr;

    MoveTab *m_moveTab = nullptr;
    AddTab *m_addTab = nullptr;
    ReplaceTab *m_replaceTab = nullptr;
    DeleteTab *m_deleteTab = nullptr;
    FormatTab *m_formatTab = nullptr;
    LineTools *m_lineTools = nullptr;
    TabwriteTab *m_tabwriteTab = nullptr;
    SaveTargetTab *m_saveTargetTab = nullptr;
    std::unique_ptr<FieldControls> m_fieldControls;
    SettingsTab *m_settingsTab = nullptr;
    TextLinesEditing *m_textLines = nullptr;

    int m_previousTab = 0;
    bool m_goingBack = false;
};
