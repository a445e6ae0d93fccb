// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/textbox.h"

#include <QDragEnterEvent>
#include <QFont>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>

class TextBox::Action
{
public:
    explicit Action(TextBox *box) : m_box(box) { ++m_box->m_actionDepth; }
    ~Action()
    {
        if (--m_box->m_actionDepth == 0 && m_box->m_changePending) {
            m_box->m_changePending = false;
            Q_EMIT m_box->userEdited();
        }
    }
    Action(const Action &) = delete;
    Action &operator=(const Action &) = delete;

private:
    TextBox *m_box;
};

int TextBox::s_programWrites = 0;

TextBox::TextBox(QWidget *parent) : QsciScintilla(parent)
{
    setUtf8(true);
    setEolMode(QsciScintilla::EolWindows);
    setEolVisibility(false);
    setWrapMode(QsciScintilla::WrapNone);
    setMarginWidth(1, 0);
    setTextFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    connect(this, &QsciScintilla::textChanged, this, &TextBox::scintillaTextChanged);
}

void TextBox::scintillaTextChanged()
{
    // Outside an action of this box the change is another box's or the
    // program's.
    if (s_programWrites == 0 && m_actionDepth > 0)
        m_changePending = true;
}

QString TextBox::plainText() const
{
    // Decoded straight from Scintilla's own buffer: copying a large text out
    // first would cost a second buffer of its size on every read.
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto bytes = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return bytes ? QString::fromUtf8(bytes, length) : text();
}

void TextBox::setPlainText(const QString &text, const std::function<void()> &betweenPieces)
{
    ++s_programWrites;
    // Read-only keeps the user out, not the program.
    const bool readOnly = isReadOnly();
    setReadOnly(false);
    constexpr qsizetype piece = 2 << 20; // characters
    if (text.size() <= piece) {
        const QByteArray bytes = text.toUtf8();
        SendScintilla(SCI_SETTEXT, bytes.constData());
    } else {
        // A big text goes in by pieces, each converted on its own, which
        // needs no second copy of the whole text and lets the window repaint
        // and answer in between when the caller allows it. The box's buffer is
        // allocated whole first: growing it piece by piece would copy the
        // text again and again, in long silent stretches.
        const long eventMask = SendScintilla(SCI_GETMODEVENTMASK);
        SendScintilla(SCI_SETMODEVENTMASK, 0UL);
        SendScintilla(SCI_CLEARALL);
        SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(text.size() + text.size() / 8 + 1));
        const QStringView all(text);
        for (qsizetype start = 0; start < all.size();) {
            qsizetype end = qMin(start + piece, all.size());
            // Never cut a character in two.
            if (end < all.size() && all.at(end).isLowSurrogate())
                --end;
            const QByteArray bytes = all.sliced(start, end - start).toUtf8();
            SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
            start = end;
            if (betweenPieces)
                betweenPieces();
        }
        SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(eventMask));
        SendScintilla(SCI_GOTOPOS, 0UL);
    }
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setReadOnly(readOnly);
    --s_programWrites;
}

bool TextBox::isEmpty() const
{
    return SendScintilla(SCI_GETLENGTH) == 0;
}

qsizetype TextBox::characterCount() const
{
    return characterPosition(SendScintilla(SCI_GETLENGTH));
}

qsizetype TextBox::bytePosition(qsizetype characterPosition) const
{
    if (characterPosition <= 0)
        return 0;
    const long length = SendScintilla(SCI_GETLENGTH);
    // SCI_POSITIONRELATIVE answers 0 past the end of the document.
    const long position = SendScintilla(SCI_POSITIONRELATIVE, 0UL, long(characterPosition));
    return position == 0 ? length : position;
}

qsizetype TextBox::characterPosition(qsizetype bytePosition) const
{
    return SendScintilla(SCI_COUNTCHARACTERS, 0UL, long(bytePosition));
}

qsizetype TextBox::selectionStart() const
{
    return characterPosition(SendScintilla(SCI_GETSELECTIONSTART));
}

qsizetype TextBox::selectionLength() const
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    return SendScintilla(SCI_COUNTCHARACTERS, static_cast<unsigned long>(start), end);
}

void TextBox::select(qsizetype start, qsizetype length)
{
    const long from = bytePosition(start);
    const long to = bytePosition(start + length);
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(from), to);
}

void TextBox::setCaret(qsizetype position)
{
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(bytePosition(position)));
}

void TextBox::replaceRange(qsizetype start, qsizetype length, const QString &text)
{
    Action action(this);
    const long from = bytePosition(start);
    const long to = bytePosition(start + length);
    const bool readOnly = isReadOnly();
    setReadOnly(false);
    const QByteArray bytes = text.toUtf8();
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    setReadOnly(readOnly);
}

void TextBox::setTextFont(const QFont &font)
{
    setFont(font);
    // Without a lexer every style takes the default style's font.
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, font.family().toUtf8().constData());
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, long(font.pointSizeF() * SC_FONT_SIZE_MULTIPLIER));
    SendScintilla(SCI_STYLECLEARALL);
}

bool TextBox::event(QEvent *event)
{
    // Undo is the program's (one level, shared by the windows): its key goes
    // to the menu entry, not to the box's own undo, which keeps no history.
    if (event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Undo)) {
        event->ignore();
        return true;
    }
    Action action(this);
    return QsciScintilla::event(event);
}

void TextBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    QsciScintilla::dragEnterEvent(event);
}

bool TextBox::viewportEvent(QEvent *event)
{
    Action action(this);
    return QsciScintilla::viewportEvent(event);
}
