// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/helpmenu.h"

#include "gui/shell/preferences.h"

#include "core/db/session.h"
#include "gui/shell/form2.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrlQuery>

#ifndef TABWRIGHT_CONTACT_HOST
#define TABWRIGHT_CONTACT_HOST "tabwright.example.org"
#endif

const char *const HelpMenu::tipsPage = "QnA.html";
const char *const HelpMenu::sample1Page = "_sample1.html";
const char *const HelpMenu::sample2Page = "_sample2.html";

HelpMenu::HelpMenu(tw::DatabaseSession &session, Preferences &preferences, QWidget *dialogParent)
    : QObject(dialogParent), m_session(session), m_preferences(preferences), m_dialogParent(dialogParent)
{
    setObjectName(QStringLiteral("helpMenu"));
}

QUrl HelpMenu::contactPage() const
{
    const QString host =
        m_preferences.setting(QStringLiteral("ContactHost"), QStringLiteral(TABWRIGHT_CONTACT_HOST)).toString();
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(host);
    url.setPath(QStringLiteral("/store/index.php"));
    url.setQuery(QStringLiteral("route=information/contact"));
    return url;
}

void HelpMenu::openPage(const char *fileName)
{
    // Its result is not checked: a missing page is the viewer's to report.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(m_session.folder()).filePath(QString::fromLatin1(fileName))));
}

void HelpMenu::menuHelpTips_Click()
{
    openPage(tipsPage);
}

void HelpMenu::menuHelpSample1_Click()
{
    openPage(sample1Page);
}

void HelpMenu::menuHelpSample2_Click()
{
    openPage(sample2Page);
}

void HelpMenu::menuHelpContact_Click()
{
    QDesktopServices::openUrl(contactPage());
}

void HelpMenu::menuAbout_Click()
{
    Form2 about(m_dialogParent);
    connect(&about, &Form2::contactRequested, this, &HelpMenu::menuHelpContact_Click);
    about.exec();
}
