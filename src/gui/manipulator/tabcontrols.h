// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/lineframe.h"
#include "gui/manipulator/processingframe.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <memory>

class MaskEdBox;
class UpDown;
class SettingsDirty;
class QComboBox;
class QGridLayout;
class QLabel;
class QPlainTextEdit;

// Pieces every operation tab builds its page from, so the tabs look and
// behave alike: editable drop-downs that never add typed texts to their
// lists, multi-line boxes whose line breaks read as CR LF, and the hooks for
// the focus and Tab-key rules.
namespace tabs {

// An editable drop-down with its list entries in order and its starting text.
QComboBox *makeCombo(const QString &name, const QStringList &entries, const QString &text,
                     QWidget *parent);

// Puts a caption and its field(s) on one row of a tab's grid.
void addRow(QGridLayout *grid, int row, QWidget *label, QWidget *field, QWidget *spin = nullptr);

// A multi-line box's text with every line break as CR LF, so Enter alone is
// exactly CR LF (how the user asks for the empty lines).
QString multiLineText(const QPlainTextEdit *box);
void setMultiLineText(QPlainTextEdit *box, const QString &text);

void setEnabled(std::initializer_list<QWidget *> widgets, bool enabled);
void setVisible(std::initializer_list<QWidget *> widgets, bool visible);

// Runs the action whenever the widget receives the focus.
void onFocusIn(QWidget *widget, std::function<void()> action);
// Runs the action instead of moving the focus when Tab is pressed on the widget.
void onTabKey(QWidget *widget, std::function<void()> action);

// Every change the user (or named settings) makes to one of these fields
// marks the settings as changed (not while named settings load).
void markDirtyOnChange(SettingsDirty &dirty, std::initializer_list<QWidget *> fields);

// A line operation that works from a parameter record read from a tab's
// controls. Reading the controls for each of a million lines would cost more
// than the operation, and the controls can only change while the run lets
// window events through, so the record is read again only after that.
template <typename Params>
tw::LineOperation liveOperation(const ProcessingFrame &window, std::function<Params()> read,
                                tw::LineOperation (*make)(const Params &))
{
    struct Cache
    {
        quint64 yields;
        tw::LineOperation operation;
    };
    auto cache = std::make_shared<Cache>(Cache{window.yieldCount(), make(read())});
    return [&window, read = std::move(read), make, cache](QString &line) {
        if (window.yieldCount() != cache->yields) {
            cache->yields = window.yieldCount();
            cache->operation = make(read());
        }
        cache->operation(line);
    };
}

} // namespace tabs
