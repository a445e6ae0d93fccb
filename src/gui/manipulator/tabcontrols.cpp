// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/tabcontrols.h"

#include "gui/manipulator/numericbox.h"
#include "gui/manipulator/settingsdirty.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tabs {

namespace {
// Watches one widget's events for a hook; lives as the widget's child.
class EventHook : public QObject
{
public:
    EventHook(QWidget *widget, std::function<bool(QEvent *)> hook)
        : QObject(widget), m_hook(std::move(hook))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        Q_UNUSED(watched);
        return m_hook(event);
    }

private:
    std::function<bool(QEvent *)> m_hook;
};
} // namespace

QComboBox *makeCombo(const QString &name, const QStringList &entries, const QString &text,
                     QWidget *parent)
{
    auto combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    // A typed text is a value of its own (a search text, a delimiter); it
    // must not turn into a list entry when the user presses Enter.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
    return combo;
}

void addRow(QGridLayout *grid, int row, QWidget *label, QWidget *field, QWidget *spin)
{
    if (label)
        grid->addWidget(label, row, 0);
    if (!spin) {
        grid->addWidget(field, row, 1);
        return;
    }
    auto pair = new QHBoxLayout;
    pair->setSpacing(0);
    pair->addWidget(field);
    pair->addWidget(spin);
    pair->addStretch();
    grid->addLayout(pair, row, 1);
}

QString multiLineText(const QPlainTextEdit *box)
{
    QString text = box->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void setMultiLineText(QPlainTextEdit *box, const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->setPlainText(plain);
}

void setEnabled(std::initializer_list<QWidget *> widgets, bool enabled)
{
    for (QWidget *widget : widgets)
        widget->setEnabled(enabled);
}

void setVisible(std::initializer_list<QWidget *> widgets, bool visible)
{
    for (QWidget *widget : widgets)
        widget->setVisible(visible);
}

void onFocusIn(QWidget *widget, std::function<void()> action)
{
    new EventHook(widget, [action = std::move(action)](QEvent *event) {
        if (event->type() == QEvent::FocusIn)
            action();
        return false;
    });
}

void onTabKey(QWidget *widget, std::function<void()> action)
{
    new EventHook(widget, [action = std::move(action)](QEvent *event) {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::NoModifier)
            return false;
        action();
        return true;
    });
}

void markDirtyOnChange(SettingsDirty &dirty, std::initializer_list<QWidget *> fields)
{
    const auto mark = [&dirty] { dirty.markDirty(); };
    for (QWidget *field : fields) {
        if (auto combo = qobject_cast<QComboBox *>(field)) {
            QObject::connect(combo, &QComboBox::editTextChanged, combo, mark);
            // Picking an entry counts even when it is the one already shown.
            QObject::connect(combo, &QComboBox::activated, combo, mark);
        } else if (auto line = qobject_cast<QLineEdit *>(field)) {
            QObject::connect(line, &QLineEdit::textChanged, line, mark);
        } else if (auto plain = qobject_cast<QPlainTextEdit *>(field)) {
            QObject::connect(plain, &QPlainTextEdit::textChanged, plain, mark);
        } else if (auto check = qobject_cast<QCheckBox *>(field)) {
            QObject::connect(check, &QCheckBox::toggled, check, mark);
        }
    }
}

} // namespace tabs
