// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QSet>

#include <functional>
#include <optional>

// The rich text box of the Manipulator and the Text Viewer: a view of the
// working text, exactly as it is (CR LF, lone CR and LF included). Several
// boxes may show one Scintilla document; each reports userEdited() once per
// action of the user's in that box (a key, a paste, a drop), so a typed-over
// selection is one edit, not a deletion and an insertion. Changes made in
// another box or by the program are not reported here. Positions in its
// interface count characters (code points), as the text operations do, never
// Scintilla's bytes.
class TextBox : public QsciScintilla
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    // One change the user made to the text, in UTF-16 code units (as QString
    // counts): `removed` units at `position` gave way to `inserted`.
    struct Edit
    {
        qsizetype position = 0;
        qsizetype removed = 0;
        QString inserted;
    };
    // The changes of the action userEdited() just reported, in the order
    // they were made: applied one after another to the text before the
    // action, they give the text after it. Reading them costs the size of
    // the change, not of the text. Nothing when the program rewrote the text
    // during the action, so the changes no longer fit it: the whole text is
    // then to be read. Empty after the first call.
    std::optional<QList<Edit>> takeEdits();
    // The length of the text in UTF-16 code units, as QString counts.
    qsizetype utf16Length() const;

    // Shows the other box's document: what is typed in one is in the other
    // at once. The box's documents are its own kind (see the constructor), so
    // Scintilla's QsciDocument handles do not stand for them.
    void shareDocument(const TextBox &other);
    void setDocument(const QsciDocument &) = delete;
    QsciDocument document() const = delete;

    QString plainText() const;
    // The program replaces the whole text, without recording anything in
    // Scintilla's own undo history (the program keeps its own undo copy) and
    // without a userEdited(). A big text goes in by pieces; betweenPieces,
    // when given, runs after each (to let the window answer).
    void setPlainText(const QString &text, const std::function<void()> &betweenPieces = {});
    // The same for a text handed over in parts, about `length` characters in
    // all. partsFromStart gives a function that hands the text over from its
    // start: each call the next part, about `units` characters long, never
    // ending between a CR and its LF (Scintilla's count of characters per
    // line goes wrong when an LF joins a CR already in) or inside a surrogate
    // pair; an empty part ends the text. The text may be asked for again
    // from its start: one found not to be ASCII alone only far into it goes
    // in again (see setAsciiOnly()).
    using TextParts = std::function<QStringView(qsizetype units)>;
    void setPlainText(qsizetype length, const std::function<TextParts()> &partsFromStart,
                      const std::function<void()> &betweenPieces = {});
    bool isEmpty() const;
    // Length in characters.
    qsizetype characterCount() const;

    qsizetype selectionStart() const;
    qsizetype selectionLength() const;
    void select(qsizetype start, qsizetype length);
    void setCaret(qsizetype position);

    // Replaces length characters at start with text as one edit of the
    // user's, as typing would: one userEdited() follows. The paste commands and
    // the tab insertion go through here, so they are undone as one step.
    void replaceRange(qsizetype start, qsizetype length, const QString &text);

    // The box shows a form of the text made for display only (its very long
    // lines cut into pieces): the user cannot change it, whatever
    // setReadOnly() says, and replaceRange() does nothing.
    void setDisplayOnly(bool displayOnly);
    bool isDisplayOnly() const { return m_displayOnly; }
    void setReadOnly(bool readOnly) override;

    // The font of the text, in every style the box uses.
    void setTextFont(const QFont &font);

    qsizetype bytePosition(qsizetype characterPosition) const;
    qsizetype characterPosition(qsizetype bytePosition) const;
    // The position in UTF-16 code units of a byte position: Scintilla keeps
    // where each line starts in those units, so only that line is counted.
    qsizetype utf16Position(qsizetype bytePosition) const;

Q_SIGNALS:
    void userEdited();

protected:
    // Every event the box handles is one action of the user's: whatever it
    // changes is reported once, at its end.
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // Files dragged onto the box are the window's to open, not text to insert.
    void dragEnterEvent(QDragEnterEvent *event) override;

private:
    void scintillaModified(int position, int type, const char *text, int length);
    void takePendingInsertion();
    char byteAt(qsizetype bytePosition) const;
    // A text of ASCII characters alone has its places in bytes, characters
    // and UTF-16 code units the same: Scintilla keeps no count of characters
    // per line for it (that count was half the time of writing a big text),
    // and starts one when another character comes in. The box's documents
    // always have the count otherwise.
    bool isAsciiOnly() const;
    void setAsciiOnly(bool asciiOnly);
    bool indexTrusted() const;
    void distrustIndex();

    // Counts nested user actions; changes inside one are reported at its end.
    class Action;
    int m_actionDepth = 0;
    bool m_changePending = false;
    QList<Edit> m_edits;
    struct PendingInsertion
    {
        long bytePosition = 0;
        long bytes = 0;
        qsizetype position = 0;
    };
    PendingInsertion m_pendingInsertion;
    bool m_editsLost = false;
    bool m_displayOnly = false;
    bool m_readOnlyWanted = false;
    int m_writesAtActionStart = 0;
    // The program is writing the text, through this box or another one on
    // the same document: no box takes that for the user's edit.
    static int s_programWrites;
    // Counts the program's writes, so an action can tell one happened.
    static int s_programWriteCount;
    // Documents whose count of characters per line Scintilla got wrong.
    static QSet<quintptr> s_untrustedIndexes;
};
