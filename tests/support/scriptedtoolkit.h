// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/shell/toolkit.h"

#include <QList>
#include <QString>
#include <QVariant>

// Answers the program's dialogs from a queue and records every prompt, so a
// test can check what was asked, with which buttons, and in which order.
class ScriptedToolkit : public Toolkit
{
public:
    enum class Kind { Message, Input, File, Printer, Font };

    struct Prompt
    {
        Kind kind = Kind::Message;
        MessagePrompt message; // text, title, buttons, icon, default
        FileDialogRequest file;
        QString inputDefault;
    };

    ScriptedToolkit();
    ~ScriptedToolkit() override;

    // Queue answers in the order the prompts will come: a button number for a
    // message box, a text for an input box, a path ("" = Cancel) for a file
    // dialog, a bool for the printer dialog (accepted, it may print to a PDF
    // file and ask for copies).
    void answer(int button) { m_answers << QVariant(button); }
    void answerText(const QString &text) { m_answers << QVariant(text); }
    void answerFile(const QString &path) { m_answers << QVariant(path); }
    void answerPrinter(bool accept) { m_answers << QVariant(accept); }
    // A font family for the font dialog ("" = Cancel).
    void answerFont(const QString &family) { m_answers << QVariant(family); }
    void answerPrinter(const QString &pdfFile, int copies = 1)
    {
        m_answers << QVariant(QVariantMap{{QStringLiteral("pdf"), pdfFile}, {QStringLiteral("copies"), copies}});
    }

    // Each print job, as the PDF it wrote.
    struct PrintJob
    {
        QString file;
        QByteArray pdf;
    };
    const QList<PrintJob> &printJobs() const { return m_jobs; }

    const QList<Prompt> &prompts() const { return m_prompts; }
    QStringList messageTexts() const;
    const Prompt &lastPrompt() const { return m_prompts.constLast(); }
    void clear();

    // Prompts that found no answer queued: a test that did not expect them fails.
    int unanswered() const { return m_unanswered; }
    qsizetype pendingAnswers() const { return m_answers.size(); }

    bool programEnded() const { return m_ended; }
    int exitCode() const { return m_exitCode; }

    int messageBox(const MessagePrompt &prompt) override;
    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultAnswer) override;
    QString fileDialog(const FileDialogRequest &request) override;
    bool printerDialog(QPrinter &printer, const QString &title) override;
    bool fontDialog(QFont &font, const QString &title) override;
    bool printJob(QPrinter &printer, const std::function<void(QPainter &)> &draw) override;
    void endProgram(int exitCode) override;

private:
    QVariant next();

    QList<Prompt> m_prompts;
    QList<QVariant> m_answers;
    QList<PrintJob> m_jobs;
    int m_unanswered = 0;
    bool m_ended = false;
    int m_exitCode = 0;
    Toolkit *m_previous = nullptr;
};
