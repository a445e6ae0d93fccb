// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/textbox.h"
#include "gui/manipulator/manipulator.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QFile>

FrameHarness::FrameHarness() : m_previousCurrentFolder(QDir::currentPath())
{
    copyDefaultDatabase(m_dir.path());
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
    m_frame = std::make_unique<MDIForm1>(StartupOptions{m_dir.path(), false});
    m_frame->show();
    QApplication::setActiveWindow(m_frame.get());
    if (!QTest::qWaitForWindowActive(m_frame.get()))
        return false;
    return m_frame->Form_Load();
}

Manipulator &FrameHarness::manipulator()
{
    return *m_frame->manipulator();
}

void FrameHarness::userSetsText(const QString &text)
{
    manipulator().RichTextBox1->setPlainText(text);
}
