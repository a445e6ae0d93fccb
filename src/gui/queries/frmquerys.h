// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class Preferences;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
namespace tw {
class DatabaseSession;
class QueryDef;
} // namespace tw

// The Queries window: the saved queries of the current database, their SQL,
// and the commands to save, remove and run SQL. It opens in one of two modes:
// "select" lists the saved queries to pick and run; "define" starts with an
// empty list to type SQL and run it.
//
// Execute runs a saved query (asking its parameters) when the text is its
// SQL, any other text as a temporary query. A statement that gives rows goes
// to the query result window (through the frame); any other runs here, and
// the rows it changed show in the status bar.
class frmQuerys : public QWidget
{
    Q_OBJECT

public:
    enum class Mode { Select, Define };

    frmQuerys(tw::DatabaseSession &session, Preferences &preferences, QWidget *parent = nullptr);
    ~frmQuerys() override;

    // The frame's query window mode, set by the Queries menu.
    void setMode(Mode mode) { m_mode = mode; }
    Mode mode() const { return m_mode; }

    // Sizes and places the window when it is not shown yet (where it was
    // last time, if it was), and reads the list.
    void Form_Load();
    // Each time the window becomes active: caption, and the list again when
    // the current database changed meanwhile.
    void Form_Activate();
    // Keeps the window's position for the next time (the window goes).
    void Form_Unload();
    void RefreshQuerys();
    // Asks a value for each parameter; false when one was not given.
    bool askParameters(tw::QueryDef &query);
    // The SQL text with its line breaks as CR LF.
    QString sqlText() const;

    QLabel *lblSQL[3];
    QListWidget *lstQueryDefs;
    QPlainTextEdit *txtSQLStatement;
    QGroupBox *Frame1;
    QPushButton *cmdExecuteSQL;
    QPushButton *cmdSaveQueryDef;
    QPushButton *cmdRemoveQuery;
    QPushButton *cmdRefresh;
    QPushButton *cmdClose;

public Q_SLOTS:
    void cmdExecuteSQL_Click();
    void cmdSaveQueryDef_Click();
    void cmdRemoveQuery_Click();
    void cmdRefresh_Click();
    void cmdClose_Click();

Q_SIGNALS:
    // A query that gives rows, for the query result window.
    void rowsRequested(const tw::QueryDef &query, const QString &caption);
    void statusMessage(const QString &text);
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString selectedName() const;
    QString captionText() const;

    tw::DatabaseSession &m_session;
    Preferences &m_preferences;
    Mode m_mode = Mode::Select;
};
