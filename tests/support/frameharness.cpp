// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/textbox.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>

FrameHarness::FrameHarness() : m_previousCurrentFolder(QDir::currentPath())
{
    if (!copyDefaultDatabase(m_dir.path()))
        qFatal("cannot copy the default database %s", qPrintable(shippedDatabase()));
}

FrameHarness::~FrameHarness()
{
    m_frame.reset();
    QDir::setCurrent(m_previousCurrentFolder);
}

QString FrameHarness::shippedDatabase()
{
    return qEnvironmentVariable("TABWRIGHT_DEFAULT_DB");
}

bool FrameHarness::copyDefaultDatabase(const QString &folder, const QString &fileName)
{
    const QString target = QDir(folder).filePath(fileName);
    QFile::remove(target);
    if (!QFile::copy(shippedDatabase(), target))
        return false;
    return QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
}

bool FrameHarness::start()
{
    m_frame = std::make_unique<MDIForm1>(
        StartupOptions{m_dir.path(), false, m_dir.filePath(QStringLiteral("settings.ini"))});
    m_frame->show();
    QApplication::setActiveWindow(m_frame.get());
    if (!QTest::qWaitForWindowActive(m_frame.get()))
        return false;
    return m_frame->Form_Load();
}

QAction *FrameHarness::action(const QString &name)
{
    auto found = m_frame->findChild<QAction *>(name);
    if (!found)
        qWarning("no menu entry %s", qPrintable(name));
    return found;
}

void FrameHarness::openMenu(const QString &name)
{
    if (auto menu = m_frame->findChild<QMenu *>(name))
        Q_EMIT menu->aboutToShow();
    else
        qWarning("no menu %s", qPrintable(name));
}

bool FrameHarness::menuShown(const QString &name)
{
    auto menu = m_frame->findChild<QMenu *>(name);
    return menu && menu->menuAction()->isVisible();
}

QWidget *FrameHarness::window(const QString &name)
{
    auto found = m_frame->findChild<QWidget *>(name);
    if (!found)
        qWarning("no window %s", qPrintable(name));
    return found;
}

TextBox *FrameHarness::manipulatorBox()
{
    return control<TextBox>(QStringLiteral("Manipulator"), QStringLiteral("RichTextBox1"));
}

TextBox *FrameHarness::viewerBox()
{
    return control<TextBox>(QStringLiteral("Form5"), QStringLiteral("RichTextBox1"));
}

bool FrameHarness::isShown(const QString &windowName)
{
    QWidget *child = window(windowName);
    auto sub = child ? qobject_cast<QMdiSubWindow *>(child->parentWidget()) : nullptr;
    return sub && sub->isVisible();
}

void FrameHarness::userSetsText(const QString &text)
{
    TextBox *box = manipulatorBox();
    box->replaceRange(0, box->characterCount(), text);
}

void FrameHarness::click(const QString &windowName, const QString &button)
{
    if (auto found = control<QAbstractButton>(windowName, button))
        found->click();
}
