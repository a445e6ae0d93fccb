// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class Preferences;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace tw {
class DatabaseSession;
}

// Connecting to a database server: an address typed, pasted or picked from
// the connections used lately, or the host, port, database and service
// filled in one by one. Connect asks for the user name and password in the
// Password Access window; a connection that fails or is cancelled there
// leaves this window open to correct, and the current database as it was.
// A connection made is remembered without its password.
class ServerWindow : public QDialog
{
    Q_OBJECT

public:
    ServerWindow(tw::DatabaseSession &session, Preferences *preferences, QWidget *parent = nullptr);

    // Connections remembered, most recent first.
    static constexpr int maxRecentServers = 6;
    static QStringList recentServers(const Preferences &preferences);

    QLabel *lblAddress;
    QComboBox *cboAddress;
    QLabel *lblHost;
    QLineEdit *txtHost;
    QLabel *lblPort;
    QLineEdit *txtPort;
    QLabel *lblDatabase;
    QLineEdit *txtDatabase;
    QLabel *lblService;
    QLineEdit *txtService;
    QPushButton *cmdConnect;
    QPushButton *cmdCancel;

public Q_SLOTS:
    void cmdConnect_Click();

private:
    void remember(const QString &address);

    tw::DatabaseSession &m_session;
    Preferences *m_preferences;
};
