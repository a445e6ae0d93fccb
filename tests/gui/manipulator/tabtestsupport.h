// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers for the tests that work the operation tabs through their controls:
// finding a control or a caption, filling a field by the name named settings
// give it, and running tabwright-cli on the same text and fields.

#include "frameharness.h"
#include "gui/manipulator/manipulator.h"
#include "gui/manipulator/tabcontrols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace tabtest {

// A field and its value as a settings name and the text the cli takes.
using Field = QPair<QString, QString>;
using Fields = QList<Field>;

// The control each settings field is read from.
inline QString controlOf(const QString &field)
{
    static const QHash<QString, QString> controls{
        {"startLineAfter", "MaskEdBox17"},
        {"textToMove", "Combo1"}, {"moveSpecificText", "Text1"}, {"moveFromCol", "MaskEdBox1"},
        {"moveNumOfChars", "MaskEdBox3"}, {"moveToCol", "MaskEdBox2"}, {"moveEndOfLine", "Check1"},
        {"moveOptions", "Combo2"}, {"moveSpaces", "MaskEdBox5"}, {"movePlaceSpaces", "Combo3"},
        {"addText", "Text2"}, {"addIfContains", "Text3"}, {"addAtCol", "MaskEdBox9"},
        {"addEndOfLine", "Check2"}, {"addOptions", "Combo5"}, {"addSpaces", "MaskEdBox6"},
        {"addPlaceSpaces", "Combo4"},
        {"replaceText", "Combo7"}, {"replaceSpecificText", "Text4"}, {"replaceAtCol", "MaskEdBox11"},
        {"replaceNumOfChars", "MaskEdBox8"}, {"replaceWith", "Text5"}, {"replaceEndOfLine", "Check3"},
        {"deleteText", "Combo6"}, {"deleteSpecificText", "Text6"}, {"deleteFromCol", "MaskEdBox7"},
        {"deleteNumOfChars", "MaskEdBox10"}, {"deleteEndOfLine", "Check4"}, {"deleteOptions", "Combo8"},
        {"deleteSpaces", "MaskEdBox12"},
        {"formatCreate", "Combo12"}, {"formatRemoveDelimiter", "Check18"}, {"formatDelimiter", "Combo9"},
        {"formatUseDelimiterString", "Check17"}, {"formatDelimiterString", "Text11"},
        {"formatMoveDelimiter", "Combo14"}, {"formatSpacesBetweenCols", "MaskEdBox16"},
        {"formatAddText", "Combo13"}, {"formatTextToAdd", "Text9"}, {"formatAddFromCol", "MaskEdBox14"},
        {"formatNumOfChars", "MaskEdBox15"}, {"formatFirstSection", "Combo15"},
        {"formatOptions", "Combo10"}, {"formatPlaceSpaces", "Combo11"}, {"formatSpaces", "MaskEdBox13"},
    };
    return controls.value(field);
}

template <typename T>
T *control(Manipulator &window, const QString &name)
{
    auto widget = window.findChild<T *>(name);
    if (!widget)
        qWarning("no control %s", qPrintable(name));
    return widget;
}

// The caption on a page with exactly this text.
inline QLabel *caption(QWidget *page, const QString &text)
{
    for (QLabel *label : page->findChildren<QLabel *>()) {
        if (label->text() == text)
            return label;
    }
    qWarning("no caption \"%s\"", qPrintable(text));
    return nullptr;
}

// Puts a value into a field the way a user would leave it: a drop-down's
// text, a box's text (a multi-line box takes CR LF as its line break), a
// check box checked for "1".
inline bool setField(Manipulator &window, const QString &field, const QString &value)
{
    QWidget *widget = window.findChild<QWidget *>(controlOf(field));
    if (auto combo = qobject_cast<QComboBox *>(widget))
        combo->setEditText(value);
    else if (auto line = qobject_cast<QLineEdit *>(widget))
        line->setText(value);
    else if (auto plain = qobject_cast<QPlainTextEdit *>(widget))
        tabs::setMultiLineText(plain, value);
    else if (auto check = qobject_cast<QCheckBox *>(widget))
        check->setChecked(value == QLatin1String("1"));
    else
        return false;
    return true;
}

// Fills the fields in the order given, so later events see earlier values.
inline bool setFields(Manipulator &window, const Fields &fields)
{
    for (const Field &field : fields) {
        if (!setField(window, field.first, field.second)) {
            qWarning("no control for %s", qPrintable(field.first));
            return false;
        }
    }
    return true;
}

// The controls of an enabling-table row: control names, or captions written
// as ":caption" (looked up on the page).
inline QStringList wrongEnabling(Manipulator &window, QWidget *page, const QStringList &names, bool enabled)
{
    QStringList wrong;
    for (const QString &name : names) {
        QWidget *widget = name.startsWith(u':') ? static_cast<QWidget *>(caption(page, name.mid(1)))
                                                : window.findChild<QWidget *>(name);
        if (!widget || widget->isEnabled() != enabled)
            wrong << name;
    }
    return wrong;
}

inline QString cliEscaped(QString value)
{
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(u'\r', QStringLiteral("\\r"));
    value.replace(u'\n', QStringLiteral("\\n"));
    value.replace(u'\t', QStringLiteral("\\t"));
    return value;
}

// What tabwright-cli makes of the text with these fields; a null string when
// the command line is not built. The text must hold a CR LF or no line break
// at all, as a file read by File > Open would.
inline QString cliResult(const QString &operation, const Fields &fields, const QString &text)
{
#ifdef TABWRIGHT_CLI
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.txt"));
    const QString output = dir.filePath(QStringLiteral("out.txt"));
    QFile in(input);
    if (!in.open(QIODevice::WriteOnly) || in.write(text.toUtf8()) < 0)
        return QStringLiteral("<cannot write the input>");
    in.close();
    QStringList arguments{operation};
    for (const Field &field : fields)
        arguments << field.first + u'=' + cliEscaped(field.second);
    arguments << QStringLiteral("-o") << output << input;
    QProcess cli;
    cli.start(QStringLiteral(TABWRIGHT_CLI), arguments);
    if (!cli.waitForFinished(30000) || cli.exitCode() != 0)
        return QStringLiteral("<cli failed: %1>").arg(QString::fromUtf8(cli.readAllStandardError()));
    QFile out(output);
    if (!out.open(QIODevice::ReadOnly))
        return QStringLiteral("<no output>");
    QString result = QString::fromUtf8(out.readAll());
    // A file without any CR has LF line ends, and File > Open would have
    // turned each into CR LF: that is the text the window worked on.
    if (!text.contains(u'\r'))
        result.replace(u'\n', QStringLiteral("\r\n"));
    return result;
#else
    Q_UNUSED(operation);
    Q_UNUSED(fields);
    Q_UNUSED(text);
    return {};
#endif
}

// Clicks a check box on its indicator, where a click always lands whatever
// width the layout gives the box.
inline void clickCheck(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// Puts the text in the box as a user would, fills the fields on their tab and
// clicks its Process button; returns the working text afterwards.
inline QString process(FrameHarness &harness, Manipulator::Tab tab, const QString &button,
                       const Fields &fields, const QString &text)
{
    Manipulator &window = harness.manipulator();
    harness.userSetsText(text);
    window.SSTab1->setCurrentIndex(tab);
    if (!setFields(window, fields))
        return QStringLiteral("<unknown field>");
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
    return window.working().text();
}

} // namespace tabtest

Q_DECLARE_METATYPE(tabtest::Fields)
