// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/text/textfile.h"

#include <QObject>
#include <QString>

namespace tw {

// One change to the text, in UTF-16 code units: `removed` units at
// `position` give way to `inserted`.
struct TextEdit
{
    qsizetype position = 0;
    qsizetype removed = 0;
    QString inserted;
};

// The working text and everything that belongs to it: the file it came from
// (its path, encoding and line ends), whether it has unsaved changes, and its
// single level of undo. The windows that show the text are views of this
// object: they tell it about the user's edits and show the text again when
// the program replaces it (textReplaced). Nothing here knows about widgets,
// so the rules below are tested on their own.
//
// Undo keeps one copy of the whole text. Every user edit makes the text
// before it the undo copy, so Undo takes back the last edit. A run makes the
// text before the run the undo copy but leaves the "last seen" text alone, so
// an edit made right after a run can still go back to the text before the run.
//
// The copies are kept as cheaply as the rules allow: a copy equal to the text
// is the text itself, and the copy from before the last edit is the text with
// that edit taken back, so an edit in a big text costs the size of the edit,
// not of the text. For the same reason, edits next to one another (keys typed
// in a row) are gathered into one change, and changes at a few places are
// kept apart, to go into the text when it is read, instead of moving all that
// follows on every key.
class TextDocument : public QObject
{
    Q_OBJECT

public:
    explicit TextDocument(QObject *parent = nullptr);

    const QString &text() const;
    bool isEmpty() const { return size() == 0; }
    // Length in UTF-16 code units.
    qsizetype size() const;
    QString undoCopy() const { return resolved(m_undoCopy); }
    bool isModified() const { return m_modified; }
    bool undoAvailable() const { return m_undoAvailable; }

    // The file the text came from or was last saved to; empty for a text
    // that belongs to no file (saved as UTF-8 with LF line ends).
    const QString &path() const { return m_path; }
    const TextFormat &format() const { return m_format; }
    // The file shown in the captions: the path, which a cancelled Save As
    // forgets for saving while the captions keep showing the file.
    const QString &shownPath() const { return m_shownPath; }
    // From a successful open or save until the text is closed: Save As and
    // Close are offered.
    bool isOpen() const { return m_open; }

    // ---- the user's edits, reported by a view
    void userEdited(const QString &text);
    // The same, told as the changes that turn the text into the new one,
    // applied in order. False, with nothing changed, when a change falls
    // outside the text.
    bool userEdited(const QList<TextEdit> &edits);
    // Undo: the undo copy becomes the text. Undo is not offered again until
    // the next edit or run.
    void undo();
    // The user comes back to the text with nothing to take back (the text is
    // its undo copy): Undo is withdrawn.
    void withdrawUndoIfNothingToUndo();

    // ---- runs of the operations
    // The text before the run becomes the undo copy.
    void beginRun();
    // The run's result replaces the text; Undo is offered and the text counts
    // as changed.
    void finishRun(const QString &result);
    // A run that keeps nothing: the undo copy is what it was before beginRun.
    void abandonRun();

    // ---- files
    // Reads a file. An empty file only changes the path (the text stays);
    // any other replaces the text with Undo withdrawn and nothing modified.
    // On failure nothing changes.
    FileError open(const QString &path);
    // Writes the text to path and makes it the document's file. On failure
    // nothing changes and the old file is kept. A Windows-1252 text that
    // gained characters Windows-1252 cannot hold is written as UTF-8;
    // savedAsUtf8 then says so.
    FileError save(const QString &path, bool *savedAsUtf8 = nullptr);
    // The next save asks for a path again (a cancelled Save As).
    void forgetPath();
    // Empties the text and forgets the file.
    void close();

Q_SIGNALS:
    // The program replaced the whole text (a run, a file, Undo, Close): views
    // show text() again.
    void textReplaced();
    void modifiedChanged(bool modified);
    void undoAvailableChanged(bool available);
    void emptyChanged(bool empty);
    void shownPathChanged(const QString &path);
    void openChanged(bool open);

private:
    // One of the copies the undo rules keep.
    struct Copy
    {
        enum Kind { Held, SameAsText, BeforeLastEdit };
        Kind kind = Held;
        QString held;
    };
    QString resolved(const Copy &copy) const;
    bool equalsText(const Copy &copy) const;
    // Makes a copy stand on its own before the text changes under it.
    void hold(Copy &copy) const;
    void holdAll();
    void finishUserEdit(bool wasEmpty);
    void replaceText(const QString &text);
    // The gathered changes: into the text, or none at all.
    void flush() const;
    void dropPending();
    // Characters of the text as it stands, gathered change included,
    // without putting that change in.
    QString currentMid(qsizetype position, qsizetype length) const;
    void applyEdit(const TextEdit &edit);
    void setModified(bool modified);
    void setUndoAvailable(bool available);
    void setOpen(bool open);
    void setPath(const QString &path);

    // The text without the gathered changes, which are kept in the order
    // of their places, positions counted in m_text.
    mutable QString m_text;
    mutable QList<TextEdit> m_changes;
    Copy m_undoCopy;
    Copy m_lastSeen;
    Copy m_undoBeforeRun;
    // What takes the text back to before the last edit, applied in order.
    QList<TextEdit> m_lastEditReversed;
    QString m_path;
    QString m_shownPath;
    TextFormat m_format;
    bool m_modified = false;
    bool m_undoAvailable = false;
    bool m_open = false;
};

} // namespace tw
