// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/textviews.h"

#include "core/text/longlines.h"
#include "core/text/textdocument.h"
#include "gui/shell/busystate.h"
#include "gui/shell/childwindows.h"
#include "gui/shell/textbox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScopeGuard>

TextViews::TextViews(tw::TextDocument &document, BusyState &busy, ChildWindows &children, QObject *parent)
    : QObject(parent), m_document(document), m_busy(busy), m_children(children)
{
    setObjectName(QStringLiteral("TextViews"));
    connect(&m_document, &tw::TextDocument::textReplaced, this, &TextViews::showDocumentText);
}

const TextViews::View &TextViews::view(Role role) const
{
    return m_views[role == Role::Manipulator ? 0 : 1];
}

void TextViews::addView(Role role, TextBox *box, QWidget *window)
{
    for (const View &other : m_views) {
        if (other.box) {
            box->shareDocument(*other.box);
            break;
        }
    }
    m_views[role == Role::Manipulator ? 0 : 1] = {box, window};
    box->setDisplayOnly(m_shownInPieces);
    connect(box, &TextBox::userEdited, this, [this, box] { userEdited(box); });
}

TextBox *TextViews::box(Role role) const
{
    return view(role).box;
}

bool TextViews::isShown(Role role) const
{
    const View &v = view(role);
    return v.window && m_children.isChildShown(v.window);
}

TextBox *TextViews::editTarget() const
{
    return m_hasEditTarget ? box(m_editTarget) : nullptr;
}

void TextViews::setEditTarget(Role role)
{
    m_hasEditTarget = true;
    m_editTarget = role;
}

void TextViews::clearEditTarget()
{
    m_hasEditTarget = false;
}

bool TextViews::editTargetIs(Role role) const
{
    return m_hasEditTarget && m_editTarget == role;
}

TextBox *TextViews::searchTarget() const
{
    if (isShown(Role::Manipulator))
        return box(Role::Manipulator);
    if (isShown(Role::Viewer))
        return box(Role::Viewer);
    return nullptr;
}

void TextViews::bringForward(TextBox *box)
{
    for (const View &v : m_views)
        if (v.box == box && v.window)
            m_children.raiseChild(v.window);
}

void TextViews::setTextFont(const QFont &font)
{
    for (const View &v : m_views)
        if (v.box)
            v.box->setTextFont(font);
}

void TextViews::setLineEndsShown(bool shown)
{
    // The box draws a lone CR or LF as a line end too: showing the line-end
    // characters tells them apart from CR LF.
    for (const View &v : m_views)
        if (v.box)
            v.box->setEolVisibility(shown);
}

void TextViews::focusAfterUndo()
{
    if (isShown(Role::Viewer))
        box(Role::Viewer)->setFocus();
    if (editTargetIs(Role::Manipulator) && isShown(Role::Manipulator)) {
        m_children.showChild(view(Role::Manipulator).window);
        box(Role::Manipulator)->setFocus();
    }
}

void TextViews::copyCaret(Role from, Role to)
{
    if (box(from) && box(to))
        box(to)->setCaret(box(from)->selectionStart());
}

void TextViews::showDocumentText()
{
    // Every box shows the one document, so writing through any of them
    // shows the text in all.
    TextBox *writer = box(Role::Manipulator) ? box(Role::Manipulator) : box(Role::Viewer);
    if (!writer)
        return;
    // The other box on the document would hear of every piece of a big text
    // as it goes in, and for each one Scintilla's Qt layer counts the
    // characters before it: a 100 MB file took half a minute to open instead
    // of a second. The box writing silences itself for a big text; the other
    // is silenced here for every write. It needs no telling: the text is the
    // program's, not the user's, and its caret goes back to the start.
    TextBox *other = writer == box(Role::Viewer) ? nullptr : box(Role::Viewer);
    const long otherEvents = other ? other->SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK) : 0;
    if (other)
        other->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
    // A line of many megabytes (Create Line on a big text) would hold the
    // window for minutes while the box lays it out: such a text is shown
    // with its very long lines in pieces, and while it is, the boxes take no
    // edits, since what they show is not the text itself. Everything else
    // (Process, Save, Find, the line count) works on the document's text.
    // The pieces are cut as the text goes in. Held by value: the window
    // answers in between, and whatever it does must not free the characters
    // still to go in.
    const QString text = m_document.text();
    // A run holds the window busy while its result goes in, so the window
    // may answer between the pieces of a big text.
    const bool busy = m_busy.isBusy();
    // The run's last slice may just have ended: the window answers before
    // the box is emptied and room made for the result, which together take
    // most of a slice.
    QElapsedTimer slice;
    if (busy) {
        QCoreApplication::processEvents();
        slice.start();
    }
    tw::LongLinePieces shown(text);
    bool started = false;
    const auto partsFromStart = [&shown, &started, &text] {
        if (started)
            shown = tw::LongLinePieces(text);
        started = true;
        return TextBox::TextParts([&shown](qsizetype units) { return shown.next(units); });
    };
    // The pieces are small; the window is let in once a time slice has
    // passed, not after every one, which would slow the writing down.
    if (busy) {
        // The window answers between the pieces, but the boxes are not
        // painted half written: laying out what they show took the window
        // a third of each answer (more with long lines shown in pieces).
        for (const View &v : m_views)
            if (v.box)
                v.box->setUpdatesEnabled(false);
        const auto paintAgain = qScopeGuard([this] {
            for (const View &v : m_views)
                if (v.box)
                    v.box->setUpdatesEnabled(true);
        });
        const auto answer = [&slice] {
            if (slice.elapsed() >= 30) {
                QCoreApplication::processEvents();
                slice.restart();
            }
        };
        writer->setPlainText(text.size(), partsFromStart, answer);
    } else
        writer->setPlainText(text.size(), partsFromStart);
    if (other)
        other->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, static_cast<unsigned long>(otherEvents));
    const bool inPieces = shown.cutsLines();
    for (const View &v : m_views)
        if (v.box)
            v.box->setDisplayOnly(inPieces);
    if (inPieces != m_shownInPieces) {
        m_shownInPieces = inPieces;
        Q_EMIT shownInPiecesChanged(inPieces);
    }
    Q_EMIT textShown();
}

void TextViews::userEdited(TextBox *box)
{
    // The document learns the changes, not the whole text again: reading a
    // big text back on every key took a second. Should the changes not add
    // up to the box's text, the box's text is what the user sees, so it is
    // read whole.
    if (const std::optional<QList<TextBox::Edit>> edits = box->takeEdits()) {
        QList<tw::TextEdit> changes;
        changes.reserve(edits->size());
        qsizetype length = m_document.size();
        for (const TextBox::Edit &edit : *edits) {
            changes.append({edit.position, edit.removed, edit.inserted});
            length += edit.inserted.size() - edit.removed;
        }
        if (length == box->utf16Length() && m_document.userEdited(changes))
            return;
    }
    m_document.userEdited(box->plainText());
}
