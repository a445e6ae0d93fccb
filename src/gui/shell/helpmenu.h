// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class Preferences;
class QWidget;
namespace tw {
class DatabaseSession;
}

// The Help menu: the help pages that lie beside the default database, opened
// with the desktop's viewer for them, the contact page, and the About
// window. A page that is missing is the viewer's to report; the program says
// nothing of its own.
class HelpMenu : public QObject
{
    Q_OBJECT

public:
    HelpMenu(tw::DatabaseSession &session, Preferences &preferences, QWidget *dialogParent);

    // The help pages, by file name in the database folder.
    static const char *const tipsPage;
    static const char *const sample1Page;
    static const char *const sample2Page;

    // The address of the contact page: its host is a setting ("Settings/
    // ContactHost"), the build's default when unset.
    QUrl contactPage() const;

public Q_SLOTS:
    void menuHelpTips_Click();
    void menuHelpSample1_Click();
    void menuHelpSample2_Click();
    void menuHelpContact_Click();
    void menuAbout_Click();

private:
    void openPage(const char *fileName);

    tw::DatabaseSession &m_session;
    Preferences &m_preferences;
    QWidget *m_dialogParent;
};
