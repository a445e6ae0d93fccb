// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/database/serverwindow.h"

#include "core/db/serveraddress.h"
#include "core/db/session.h"
#include "gui/database/databasechooser.h"
#include "gui/shell/preferences.h"
#include "gui/shell/toolkit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString recentKey = QStringLiteral("RecentServers");
}

ServerWindow::ServerWindow(tw::DatabaseSession &session, Preferences *preferences, QWidget *parent)
    : QDialog(parent), m_session(session), m_preferences(preferences)
{
    setObjectName(QStringLiteral("frmServer"));
    setWindowTitle(tr("Tabwright - Connect to a database server"));
    setModal(true);
    const auto named = [](QWidget *widget, const char *name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    cboAddress = static_cast<QComboBox *>(named(new QComboBox(this), "cboAddress"));
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setMinimumContentsLength(40);
    if (m_preferences)
        cboAddress->addItems(recentServers(*m_preferences));
    cboAddress->setCurrentIndex(-1);
    cboAddress->setToolTip(tr("postgresql://user@host:5432/database, or host=... dbname=..."));
    txtHost = static_cast<QLineEdit *>(named(new QLineEdit(this), "txtHost"));
    txtPort = static_cast<QLineEdit *>(named(new QLineEdit(this), "txtPort"));
    txtPort->setPlaceholderText(QStringLiteral("5432"));
    txtDatabase = static_cast<QLineEdit *>(named(new QLineEdit(this), "txtDatabase"));
    txtService = static_cast<QLineEdit *>(named(new QLineEdit(this), "txtService"));
    lblAddress = static_cast<QLabel *>(named(new QLabel(tr("&Address:"), this), "lblAddress"));
    lblHost = static_cast<QLabel *>(named(new QLabel(tr("or &Host:"), this), "lblHost"));
    lblPort = static_cast<QLabel *>(named(new QLabel(tr("&Port:"), this), "lblPort"));
    lblDatabase = static_cast<QLabel *>(named(new QLabel(tr("&Database:"), this), "lblDatabase"));
    lblService = static_cast<QLabel *>(named(new QLabel(tr("&Service:"), this), "lblService"));
    lblAddress->setBuddy(cboAddress);
    lblHost->setBuddy(txtHost);
    lblPort->setBuddy(txtPort);
    lblDatabase->setBuddy(txtDatabase);
    lblService->setBuddy(txtService);
    auto form = new QFormLayout;
    form->addRow(lblAddress, cboAddress);
    form->addRow(lblHost, txtHost);
    form->addRow(lblPort, txtPort);
    form->addRow(lblDatabase, txtDatabase);
    form->addRow(lblService, txtService);

    cmdConnect = static_cast<QPushButton *>(named(new QPushButton(tr("&Connect..."), this), "cmdConnect"));
    cmdCancel = static_cast<QPushButton *>(named(new QPushButton(tr("Cancel"), this), "cmdCancel"));
    cmdConnect->setDefault(true);
    auto buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdConnect);
    buttons->addWidget(cmdCancel);
    auto layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(cmdConnect, &QPushButton::clicked, this, &ServerWindow::cmdConnect_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList ServerWindow::recentServers(const Preferences &preferences)
{
    return preferences.setting(recentKey).toStringList().mid(0, maxRecentServers);
}

void ServerWindow::cmdConnect_Click()
{
    // An address typed or picked wins over the parts filled in one by one.
    QString address = cboAddress->currentText().trimmed();
    if (address.isEmpty())
        address = tw::serverAddressOf(txtHost->text(), txtPort->text(), txtDatabase->text(), txtService->text());
    if (address.isEmpty() || !tw::isServerAddress(address)) {
        Toolkit::instance().message(
            tr("Please type the address of a database server (postgresql://host/database, or host=... "
               "dbname=...), or fill in its host or service."),
            Buttons::Ok, Icon::Information);
        (address.isEmpty() ? static_cast<QWidget *>(txtHost) : cboAddress)->setFocus();
        return;
    }
    if (!databases::openWithPassword(m_session, address, this))
        return; // the details stay for another try
    // A switch that fell back to the default database made no connection
    // worth offering again.
    if (m_session.database().isServer())
        remember(address);
    accept();
}

void ServerWindow::remember(const QString &address)
{
    if (!m_preferences)
        return;
    // Never the password: the address as it is shown keeps everything else.
    const QString kept = tw::displayDatabaseName(address);
    QStringList recent = recentServers(*m_preferences);
    recent.removeAll(kept);
    recent.prepend(kept);
    m_preferences->setSetting(recentKey, recent.mid(0, maxRecentServers));
}
