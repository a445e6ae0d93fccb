// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/qttoolkit.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include <cstdlib>

namespace {
QWidget *dialogParent()
{
    return QApplication::activeWindow();
}

QString titleOr(const QString &title)
{
    return title.isEmpty() ? QString::fromLatin1(applicationTitle) : title;
}

QMessageBox::StandardButton standardButton(int answer)
{
    switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    default: return QMessageBox::NoButton;
    }
}
} // namespace

int QtToolkit::messageBox(const MessagePrompt &prompt)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(titleOr(prompt.title));
    box.setText(prompt.text);
    switch (prompt.icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    QList<int> answers;
    switch (prompt.buttons) {
    case Buttons::Ok: answers = {Answer::Ok}; break;
    case Buttons::OkCancel: answers = {Answer::Ok, Answer::Cancel}; break;
    case Buttons::YesNo: answers = {Answer::Yes, Answer::No}; break;
    case Buttons::YesNoCancel: answers = {Answer::Yes, Answer::No, Answer::Cancel}; break;
    }
    for (int answer : answers)
        box.addButton(standardButton(answer));
    const int defaultAnswer = answers.contains(prompt.defaultButton) ? prompt.defaultButton : answers.first();
    box.setDefaultButton(standardButton(defaultAnswer));
    // Escape or the title bar's close button mean Cancel where there is one,
    // otherwise the only sensible answer left.
    box.setEscapeButton(standardButton(answers.contains(Answer::Cancel) ? Answer::Cancel
                                       : answers.contains(Answer::No)   ? Answer::No
                                                                        : Answer::Ok));
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

QString QtToolkit::inputBox(const QString &prompt, const QString &title, const QString &defaultAnswer)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), titleOr(title), prompt,
                                               QLineEdit::Normal, defaultAnswer, &ok);
    return ok ? text : QString();
}

QString QtToolkit::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i);
        const QString pattern = QString(parts.at(i + 1)).replace(u';', u' ');
        // Qt reads the patterns from the parentheses; keep the description as
        // written when it already shows them.
        filters << (description.contains(u'(' + pattern + u')') ? description
                                                                : description + QStringLiteral(" (") + pattern + u')');
    }
    return filters.join(u";;");
}

QString QtToolkit::fileDialog(const FileDialogRequest &request)
{
    QFileDialog::Options options;
    if (!request.askBeforeOverwrite)
        options |= QFileDialog::DontConfirmOverwrite;
    const QString filter = qtFilter(request.filter);
    const QString path = request.save
        ? QFileDialog::getSaveFileName(dialogParent(), request.title, request.fileName, filter, nullptr, options)
        : QFileDialog::getOpenFileName(dialogParent(), request.title, request.fileName, filter, nullptr, options);
    if (!path.isEmpty())
        QDir::setCurrent(QFileInfo(path).absolutePath());
    return path;
}

bool QtToolkit::printerDialog(QPrinter &printer, const QString &title)
{
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

void QtToolkit::endProgram(int exitCode)
{
    std::exit(exitCode);
}
