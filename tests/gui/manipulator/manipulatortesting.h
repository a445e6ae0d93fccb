// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the Manipulator's window tests share: the operation tabs with their
// fields, filling fields as a user leaves them, clicking a Process button,
// and acting while a run lets window events through.

#include "core/settings/settingsfields.h"
#include "frameharness.h"
#include "gui/manipulator/manipulator.h"
#include "gui/shell/textbox.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace manip {

using Tab = ProcessingFrame::Tab;
// A control name and the value a user leaves in it ("1"/"0" for a check box;
// CR LF in a multi-line box is typed as Enter).
using Fields = QList<std::pair<QString, QString>>;

// An operation tab: its Process button, the after-process boxes, the part
// of the named settings' field list its fields are, and what a Process needs
// to run at all.
struct OperationTab
{
    const char *name;
    Tab tab;
    const char *process;
    const char *after;
    const char *selectAll;
    tw::settings::Group group;
    Fields enough;
};

inline const QList<OperationTab> &operationTabs()
{
    using tw::settings::Group;
    static const QList<OperationTab> tabs{
        {"Move Text", Tab::MoveText, "Command2", "Check5", "Check11", Group::Move, {{"Combo1", "General Move"}}},
        {"Add Text", Tab::AddText, "Command3", "Check6", "Check12", Group::Add, {{"Text2", "+"}}},
        {"Replace Text", Tab::ReplaceText, "Command4", "Check7", "Check13", Group::Replace,
         {{"Combo7", "a"}, {"Text5", "A"}}},
        {"Delete Text", Tab::DeleteText, "Command5", "Check8", "Check14", Group::Delete, {{"Combo6", "a"}}},
        {"Format Text", Tab::FormatText, "Command6", "Check9", "Check15", Group::Format, {{"Combo9", ";"}}},
        {"line tools", Tab::TextLines, "Command14", nullptr, nullptr, Group::LineTools, {{"MaskEdBox17", "2"}}},
    };
    return tabs;
}

// The tab a part of the settings field list is on.
inline int tabOf(tw::settings::Group group)
{
    using tw::settings::Group;
    switch (group) {
    case Group::LineTools: return Tab::TextLines;
    case Group::Move: return Tab::MoveText;
    case Group::Add: return Tab::AddText;
    case Group::Replace: return Tab::ReplaceText;
    case Group::Delete: return Tab::DeleteText;
    case Group::Format: return Tab::FormatText;
    case Group::Tabwrite: return Tab::TabwriteText;
    case Group::SaveToDatabase: return Tab::SaveToDatabase;
    }
    return -1;
}

// The settings field a control of the tabs holds, or nothing.
inline const tw::settings::Field *fieldOfControl(const QString &control)
{
    for (const tw::settings::Field &field : tw::settings::fields())
        if (field.control == control)
            return &field;
    return nullptr;
}

inline Manipulator *window(FrameHarness &harness)
{
    return qobject_cast<Manipulator *>(harness.window(QStringLiteral("Manipulator")));
}

template <typename T = QWidget>
T *control(FrameHarness &harness, const QString &name)
{
    return harness.control<T>(QStringLiteral("Manipulator"), name);
}

inline QTabWidget *tabStrip(FrameHarness &harness)
{
    return control<QTabWidget>(harness, QStringLiteral("SSTab1"));
}

// Puts the values in, in the order given, so each change sees the ones
// before it as a user's would.
inline bool setFields(FrameHarness &harness, const Fields &fields)
{
    for (const auto &[name, value] : fields) {
        QWidget *widget = control(harness, name);
        if (auto combo = qobject_cast<QComboBox *>(widget)) {
            combo->setEditText(value);
        } else if (auto line = qobject_cast<QLineEdit *>(widget)) {
            line->setText(value);
        } else if (auto check = qobject_cast<QCheckBox *>(widget)) {
            check->setChecked(value == QLatin1String("1"));
        } else if (auto plain = qobject_cast<QPlainTextEdit *>(widget)) {
            plain->clear();
            const QStringList lines = value.split(QStringLiteral("\r\n"));
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (i > 0)
                    QTest::keyClick(plain, Qt::Key_Return);
                QTest::keyClicks(plain, lines.at(i));
            }
        } else {
            return false;
        }
    }
    return true;
}

inline void click(FrameHarness &harness, const QString &button)
{
    if (auto found = control<QAbstractButton>(harness, button))
        found->click();
}

// The text as a user leaves it in the box, the tab chosen, its fields
// filled and the button clicked; the working text afterwards.
inline QString process(FrameHarness &harness, Tab tab, const QString &button, const Fields &fields,
                       const QString &text)
{
    harness.userSetsText(text);
    tabStrip(harness)->setCurrentIndex(tab);
    if (!setFields(harness, fields))
        return QStringLiteral("<a field that is no control>");
    click(harness, button);
    return harness.document().text();
}

// Clicks the button on a text of many copies of the line, and calls during()
// the first time the run lets window events through while it works (before
// its result replaces the text). The text grows until a run is long enough
// for that; returns the text of the run that got there, or an empty text
// when none did.
inline QString clickWhileRunning(FrameHarness &harness, const QString &line, const QString &button,
                                 const std::function<void()> &during)
{
    for (qsizetype lines = 40000; lines <= 2560000; lines *= 2) {
        const QString text = QStringList(lines, line).join(QStringLiteral("\r\n"));
        harness.userSetsText(text);
        bool reached = false;
        QTimer::singleShot(0, harness.manipulatorBox(), [&] {
            reached = harness.frame().busy().isBusy() && harness.document().text() == text;
            if (reached)
                during();
        });
        click(harness, button);
        if (reached)
            return text;
        QCoreApplication::processEvents(); // the timer, once the run is over
    }
    return {};
}

} // namespace manip

Q_DECLARE_METATYPE(manip::Fields)
