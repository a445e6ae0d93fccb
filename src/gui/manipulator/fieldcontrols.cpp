// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/fieldcontrols.h"

#include "gui/manipulator/tabcontrols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace tw::settings;

FieldControls::FieldControls(QWidget *window)
{
    for (const Field &field : fields()) {
        auto control = window->findChild<QWidget *>(field.control);
        // The field list and the tab pages are written together; a field
        // without its control is a mistake in the program, not in the data.
        if (!control)
            qFatal("the Manipulator has no control %s for the settings field %s", qPrintable(field.control),
                   qPrintable(field.name));
        m_controls << control;
    }
}

SettingsRecord FieldControls::read() const
{
    SettingsRecord record;
    for (qsizetype i = 0; i < fields().size(); ++i) {
        const Field &field = fields().at(i);
        QWidget *control = m_controls.at(i);
        QVariant value;
        if (auto check = qobject_cast<QCheckBox *>(control)) {
            value = check->isChecked() ? 1 : 0;
        } else if (auto combo = qobject_cast<QComboBox *>(control)) {
            value = combo->currentText();
        } else if (auto plain = qobject_cast<QPlainTextEdit *>(control)) {
            value = tabs::multiLineText(plain);
        } else if (auto line = qobject_cast<QLineEdit *>(control)) {
            // A number box is stored as its value (an empty box as 0), unless
            // the record keeps its text.
            value = field.kind == Kind::Number ? QVariant(double(numberBoxValue(line->text())))
                                               : QVariant(line->text());
        }
        record.setValue(i, value);
    }
    return record;
}

void FieldControls::load(const SettingsRecord &record)
{
    for (qsizetype i = 0; i < fields().size(); ++i) {
        const QVariant &value = record.value(i);
        if (value.isNull())
            continue;
        const Field &field = fields().at(i);
        QWidget *control = m_controls.at(i);
        if (auto check = qobject_cast<QCheckBox *>(control)) {
            check->setChecked(value.toInt() != 0);
        } else if (auto combo = qobject_cast<QComboBox *>(control)) {
            combo->setEditText(value.toString());
        } else if (auto plain = qobject_cast<QPlainTextEdit *>(control)) {
            tabs::setMultiLineText(plain, value.toString());
        } else if (auto line = qobject_cast<QLineEdit *>(control)) {
            // A stored number shows as a user would type it into the box.
            line->setText(field.kind == Kind::Number ? QString::number(numberBoxValue(value.toDouble()))
                                                     : value.toString());
        }
    }
}
