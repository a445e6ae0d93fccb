// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The text the Manipulator works on, with its single level of undo. The text
// box is only a view of it: a run reads the box only when the user has edited
// it since, and hands the box the result once.
class WorkingText
{
public:
    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }

    // The text as it was before the last operation or the last user edit.
    const QString &undoCopy() const { return m_undoCopy; }
    // The text as of the last change bookkeeping; the next user edit makes it
    // the undo copy, so an edit right after a run can go back to before the run.
    const QString &lastSeen() const { return m_lastSeen; }

    // An operation is about to replace the text: what is there now is what
    // Undo brings back. The last-seen text is left alone on purpose.
    void takeUndoCopy() { m_undoCopy = m_text; }

    // The program put a new text in place (a run's result, a loaded file).
    void replace(const QString &text) { m_text = text; }

    // The user changed the text in the box.
    void userEdited(const QString &text, bool keepUndoCopy)
    {
        m_text = text;
        if (!keepUndoCopy) {
            m_undoCopy = m_lastSeen;
            m_lastSeen = m_text;
        }
    }

    // Undo: the undo copy comes back and is seen as the current text. The
    // undo copy itself stays, so the text can be restored again after an edit.
    void restoreUndoCopy()
    {
        m_text = m_undoCopy;
        m_lastSeen = m_text;
    }

    void setLastSeen(const QString &text) { m_lastSeen = text; }
    void setUndoCopy(const QString &text) { m_undoCopy = text; }

private:
    QString m_text;
    QString m_undoCopy;
    QString m_lastSeen;
};
