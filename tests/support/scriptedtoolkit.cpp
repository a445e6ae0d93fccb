// SPDX-License-Identifier: GPL-3.0-or-later
#include "scriptedtoolkit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPrinter>
#include <QTest>

ScriptedToolkit::ScriptedToolkit()
{
    install(this);
}

ScriptedToolkit::~ScriptedToolkit()
{
    install(nullptr);
    // Every answer a test queued was meant for a dialog: one left over means
    // the dialog never came, and one missing means a dialog came that the
    // test did not expect. Either is a failure of the test under way.
    if (QTest::currentTestFunction() && (!m_answers.isEmpty() || m_unanswered > 0)) {
        const QByteArray why = QStringLiteral("%1 queued dialog answer(s) unused, %2 dialog(s) without an answer")
                                   .arg(m_answers.size())
                                   .arg(m_unanswered)
                                   .toUtf8();
        QTest::qFail(why.constData(), __FILE__, __LINE__);
    }
}

QStringList ScriptedToolkit::messageTexts() const
{
    QStringList texts;
    for (const Prompt &prompt : m_prompts)
        if (prompt.kind == Kind::Message)
            texts << prompt.message.text;
    return texts;
}

void ScriptedToolkit::clear()
{
    m_prompts.clear();
    m_jobs.clear();
    m_answers.clear();
    m_unanswered = 0;
}

QVariant ScriptedToolkit::next()
{
    if (m_answers.isEmpty()) {
        ++m_unanswered;
        return {};
    }
    return m_answers.takeFirst();
}

int ScriptedToolkit::messageBox(const MessagePrompt &prompt)
{
    Prompt recorded;
    recorded.message = prompt;
    if (recorded.message.title.isEmpty())
        recorded.message.title = QString::fromLatin1(applicationTitle);
    m_prompts << recorded;
    // A plain notice needs no scripted answer: OK is its only button.
    if (prompt.buttons == Buttons::Ok)
        return Answer::Ok;
    const QVariant answer = next();
    return answer.isValid() ? answer.toInt() : Answer::Cancel;
}

QString ScriptedToolkit::inputBox(const QString &prompt, const QString &title,
                                  const QString &defaultAnswer)
{
    Prompt recorded;
    recorded.kind = Kind::Input;
    recorded.message.text = prompt;
    recorded.message.title = title;
    recorded.inputDefault = defaultAnswer;
    m_prompts << recorded;
    return next().toString();
}

QString ScriptedToolkit::fileDialog(const FileDialogRequest &request)
{
    Prompt recorded;
    recorded.kind = Kind::File;
    recorded.file = request;
    recorded.message.title = request.title;
    m_prompts << recorded;
    const QString path = next().toString();
    if (!path.isEmpty())
        QDir::setCurrent(QFileInfo(path).absolutePath());
    return path;
}

bool ScriptedToolkit::printerDialog(QPrinter &printer, const QString &title)
{
    Prompt recorded;
    recorded.kind = Kind::Printer;
    recorded.message.title = title;
    m_prompts << recorded;
    const QVariant answer = next();
    if (answer.typeId() != QMetaType::QVariantMap)
        return answer.toBool();
    // "Print to File" with the copies asked for, as a user would choose them.
    const QVariantMap choice = answer.toMap();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(choice.value(QStringLiteral("pdf")).toString());
    printer.setCopyCount(choice.value(QStringLiteral("copies")).toInt());
    return true;
}

bool ScriptedToolkit::printJob(QPrinter &printer, const std::function<void(QPainter &)> &draw)
{
    if (!Toolkit::printJob(printer, draw))
        return false;
    QFile written(printer.outputFileName());
    m_jobs << PrintJob{printer.outputFileName(), written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray()};
    return true;
}

bool ScriptedToolkit::fontDialog(QFont &font, const QString &title)
{
    Prompt recorded;
    recorded.kind = Kind::Font;
    recorded.message.title = title;
    m_prompts << recorded;
    const QString family = next().toString();
    if (family.isEmpty())
        return false;
    font.setFamily(family);
    return true;
}

void ScriptedToolkit::endProgram(int exitCode)
{
    m_ended = true;
    m_exitCode = exitCode;
}
