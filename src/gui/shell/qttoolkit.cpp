// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/qttoolkit.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>

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

std::unique_ptr<QInputDialog> QtToolkit::inputDialog(const QString &prompt, const QString &title,
                                                     const QString &defaultAnswer, QWidget *parent)
{
    auto dialog = std::make_unique<QInputDialog>(parent);
    dialog->setWindowTitle(titleOr(title));
    dialog->setLabelText(prompt);
    dialog->setTextValue(defaultAnswer);
    // The filter prompt alone is a page of examples: unwrapped it would make
    // a box wider than any screen, with OK and Cancel off the edge.
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (auto label = dialog->findChild<QLabel *>()) {
        label->setWordWrap(true);
        label->setMinimumWidth(qMin(560, available.width() * 3 / 4));
    }
    dialog->setMaximumSize(available.size());
    return dialog;
}

QString QtToolkit::inputBox(const QString &prompt, const QString &title, const QString &defaultAnswer)
{
    const std::unique_ptr<QInputDialog> dialog = inputDialog(prompt, title, defaultAnswer, dialogParent());
    return dialog->exec() == QDialog::Accepted ? dialog->textValue() : QString();
}

QString QtToolkit::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        QString pattern = QString(parts.at(i + 1)).replace(u';', u' ');
        if (pattern == QLatin1String("*.*")) {
            pattern = QStringLiteral("*");
            description.replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
        }
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

bool QtToolkit::fontDialog(QFont &font, const QString &title)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, dialogParent(), title);
    if (ok)
        font = chosen;
    return ok;
}

void QtToolkit::endProgram(int exitCode)
{
    std::exit(exitCode);
}
