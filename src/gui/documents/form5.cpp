// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/form5.h"

#include "gui/documents/pasting.h"
#include "gui/documents/textviews.h"
#include "gui/shell/textbox.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace {
bool isPasteKey(const QKeyEvent *key)
{
    return key->matches(QKeySequence::Paste)
           || (key->key() == Qt::Key_V && key->modifiers() == Qt::ControlModifier);
}
} // namespace

Form5::Form5(TextViews &views, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("Manipulator - Text Viewer"));
    RichTextBox1 = new TextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    // The box fills the window whatever its size.
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichTextBox1);
    RichTextBox1->installEventFilter(this);
    views.addView(TextViews::Role::Viewer, RichTextBox1, this);
}

void Form5::setCaptionFor(const QString &path)
{
    setWindowTitle(path.isEmpty() ? tr("Text Viewer") : path);
}

bool Form5::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != RichTextBox1)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (isPasteKey(static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        // The box's own paste would take the clipboard as it is; the
        // program's puts line breaks right first.
        if (isPasteKey(static_cast<QKeyEvent *>(event))) {
            pasting::editPaste(RichTextBox1);
            return true;
        }
        break;
    case QEvent::KeyRelease: {
        auto key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat() && key->key() == Qt::Key_Escape)
            Q_EMIT manipulatorRequested();
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
