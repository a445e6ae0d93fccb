// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/textbox.h"

#include <QFont>

class TextBox::Action
{
public:
    explicit Action(TextBox *box) : m_box(box) { ++m_box->m_actionDepth; }
    ~Action()
    {
        if (--m_box->m_actionDepth == 0 && m_box->m_changePending) {
            m_box->m_changePending = false;
            Q_EMIT m_box->changed();
        }
    }
    Action(const Action &) = delete;
    Action &operator=(const Action &) = delete;

private:
    TextBox *m_box;
};

TextBox::TextBox(QWidget *parent) : QsciScintilla(parent)
{
    setUtf8(true);
    setEolMode(QsciScintilla::EolWindows);
    setEolVisibility(false);
    setWrapMode(QsciScintilla::WrapNone);
    setMarginWidth(1, 0);
    setFont(QFont(QStringLiteral("Times New Roman"), 10));
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    connect(this, &QsciScintilla::textChanged, this, &TextBox::scintillaTextChanged);
}

void TextBox::scintillaTextChanged()
{
    if (m_settingText)
        return;
    if (m_actionDepth > 0) {
        m_changePending = true;
        return;
    }
    Q_EMIT changed();
}

QString TextBox::plainText() const
{
    // Decoded straight from Scintilla's own buffer: copying a large text out
    // first would cost a second buffer of its size on every read.
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto bytes = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return bytes ? QString::fromUtf8(bytes, length) : text();
}

void TextBox::setPlainText(const QString &text)
{
    m_settingText = true;
    // Read-only keeps the user out, not the program.
    const bool readOnly = isReadOnly();
    setReadOnly(false);
    const QByteArray bytes = text.toUtf8();
    SendScintilla(SCI_SETTEXT, bytes.constData());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setReadOnly(readOnly);
    m_settingText = false;
    Q_EMIT changed();
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

void TextBox::keyPressEvent(QKeyEvent *event)
{
    Action action(this);
    QsciScintilla::keyPressEvent(event);
}

void TextBox::inputMethodEvent(QInputMethodEvent *event)
{
    Action action(this);
    QsciScintilla::inputMethodEvent(event);
}

void TextBox::dropEvent(QDropEvent *event)
{
    Action action(this);
    QsciScintilla::dropEvent(event);
}

void TextBox::mouseReleaseEvent(QMouseEvent *event)
{
    Action action(this);
    QsciScintilla::mouseReleaseEvent(event);
}
