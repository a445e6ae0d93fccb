// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The text the Manipulator works on, with its single level of undo. The text
// box is only a view of it: the window hands the box a run's result once, and
// reads the box back only when the user has edited it.
class WorkingText
{
public:
    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    void setText(const QString &text) { m_text = text; }

    // The text as it was before the last operation or the last user edit.
    const QString &undoCopy() const { return m_undoCopy; }
    void setUndoCopy(const QString &text) { m_undoCopy = text; }

    // The text as of the last change bookkeeping. The next user edit makes it
    // the undo copy, so an edit right after a run can still go back to the
    // text before the run.
    const QString &lastSeen() const { return m_lastSeen; }
    void setLastSeen(const QString &text) { m_lastSeen = text; }

private:
    QString m_text;
    QString m_undoCopy;
    QString m_lastSeen;
};
