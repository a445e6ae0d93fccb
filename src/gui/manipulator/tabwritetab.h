// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class ProcessingFrame;
class SettingsDirty;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
namespace tw {
class DatabaseSession;
class GridModel;
} // namespace tw

// The "&Tabwrite Text" tab: the column layout grid on tabwrite_settings of
// the default database, and the Process that lays the text out in columns
// under a header line.
class TabwriteTab : public QObject
{
    Q_OBJECT

public:
    TabwriteTab(ProcessingFrame &window, tw::DatabaseSession &session, SettingsDirty &dirty);

    // Reloads the grid from the table (the tab becomes the selected one, or
    // named settings replaced the rows).
    void showTab();
    // Writes a grid row edit that is not saved yet.
    void commitGrid();
    // The named settings now current ("tabwrite_" + name), or "".
    void setCurrentSettingsName(const QString &name);
    qint64 specRowCount() const { return m_specRowCount; }
    tw::GridModel *model() const { return m_model; }
    // Headings and values in the font of the text, so the layout reads as it
    // will come out.
    void setGridFont(const QFont &font);

    QLabel *DBGrid1Caption;
    QTableView *DBGrid1;
    QLabel *Data1;
    QPushButton *Data1First;
    QPushButton *Data1Previous;
    QPushButton *Data1Next;
    QPushButton *Data1Last;
    QLabel *Label4;
    QLineEdit *MaskEdBox4;
    QSpinBox *UpDown4;
    QPushButton *Command7;
    QPushButton *Command12;

public Q_SLOTS:
    void Command7_Click();
    // "&Clear settings": the layout rows that have a start column go.
    void Command12_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void DBGrid1_RowColChange(int row, int previous);
    void Data1_Reposition(int row);
    void showPosition(int row);
    int startColumn() const;

    ProcessingFrame &m_window;
    tw::DatabaseSession &m_session;
    SettingsDirty &m_dirty;
    tw::GridModel *m_model;
    QString m_settingsName;
    qint64 m_specRowCount = 0;
};
