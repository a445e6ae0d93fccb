// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/textbox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDragEnterEvent>
#include <QFont>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>

#include <algorithm>
#include <utility>

class TextBox::Action
{
public:
    explicit Action(TextBox *box) : m_box(box)
    {
        if (m_box->m_actionDepth++ == 0) {
            m_box->m_edits.clear();
            m_box->m_pendingInsertion = {};
            m_box->m_editsLost = false;
            m_box->m_writesAtActionStart = s_programWriteCount;
        }
    }
    ~Action()
    {
        if (--m_box->m_actionDepth == 0 && m_box->m_changePending) {
            m_box->takePendingInsertion();
            m_box->m_changePending = false;
            Q_EMIT m_box->userEdited();
        }
    }
    Action(const Action &) = delete;
    Action &operator=(const Action &) = delete;

private:
    TextBox *m_box;
};

namespace {
// The longest text kept without Scintilla's count of characters per line
// while it is ASCII alone: counting its lines when another character comes in
// takes about 20 ms at this size (134 ms for 100 MB).
constexpr qsizetype asciiOnlyLimit = 16 << 20; // characters, and bytes

// Scintilla's Qt layer answers every caret move and every change in a box
// that has its accessibility interface by counting the characters from the
// start of the text to the caret, which on a 100 MB text is a tenth of a
// second a key; and Qt makes that interface for any box that takes the
// focus, whether or not an assistive technology is listening. Without one,
// the box gets the plain interface of a widget; with one, Scintilla's own.
QAccessibleInterface *plainAccessibleTextBox(const QString &className, QObject *object)
{
    if (QAccessible::isActive() || className != QLatin1String("TextBox") || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::EditableText);
}
} // namespace

int TextBox::s_programWrites = 0;
int TextBox::s_programWriteCount = 0;
QSet<quintptr> TextBox::s_untrustedIndexes;

TextBox::TextBox(QWidget *parent) : QsciScintilla(parent)
{
    // Asked before Scintilla's, which the base class installed.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(plainAccessibleTextBox);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // The box shows the text in one style and keeps no styles: a document
    // without a style per character costs half the memory, and making room
    // for a big text half the time.
    const long document = SendScintilla(SCI_CREATEDOCUMENT, 0UL, long(SC_DOCUMENTOPTION_STYLES_NONE));
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document);
    setUtf8(true);
    setEolMode(QsciScintilla::EolWindows);
    setEolVisibility(false);
    setWrapMode(QsciScintilla::WrapNone);
    setMarginWidth(1, 0);
    setTextFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    // A document made at a place where an earlier one lay is not that one.
    s_untrustedIndexes.remove(quintptr(document));
    setAsciiOnly(false);
    // Only the notices sent before a change: the Qt layer answers the ones
    // sent after it by counting every character before the change (for
    // accessibility), which made a key at the end of a 100 MB text take a
    // second. textChanged, which came from those, is sent from here.
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE));
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *text, int length, int, int, int, int, int, int) {
                scintillaModified(position, type, text, length);
            });
}

void TextBox::scintillaModified(int position, int type, const char *, int length)
{
    if (!(type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)))
        return;
    // Those who listen only note that the text changes; none reads it here.
    Q_EMIT textChanged();
    // Outside an action of this box the change is another box's or the
    // program's.
    if (s_programWrites != 0 || m_actionDepth == 0)
        return;
    // The text of an insertion is read once it is in, which is by the next
    // change or the end of the action.
    takePendingInsertion();
    m_changePending = true;
    // Without a sound index, counting each change's place from the start
    // would cost what reading the whole text does.
    if (!isAsciiOnly() && !indexTrusted())
        m_editsLost = true;
    const qsizetype from = m_editsLost ? -1 : utf16Position(position);
    if (type & SC_MOD_BEFOREINSERT) {
        m_pendingInsertion = {position, length, from};
        return;
    }
    if (from >= 0) {
        // Counted while the text is still there.
        m_edits.append({from, utf16Position(qsizetype(position) + length) - from, {}});
    }
    if (byteAt(position - 1) == '\r' && byteAt(position + length) == '\n')
        distrustIndex();
}

char TextBox::byteAt(qsizetype bytePosition) const
{
    return bytePosition < 0 ? '\0' : char(SendScintilla(SCI_GETCHARAT, static_cast<unsigned long>(bytePosition)));
}

void TextBox::distrustIndex()
{
    // Scintilla miscounts the characters of a line when an LF comes to stand
    // right after a CR that was already there (or a CR right before an LF):
    // until the program writes the text again, places are counted from the
    // start of the text.
    s_untrustedIndexes.insert(quintptr(SendScintilla(SCI_GETDOCPOINTER)));
}

bool TextBox::isAsciiOnly() const
{
    return SendScintilla(SCI_GETLINECHARACTERINDEX) == SC_LINECHARACTERINDEX_NONE;
}

void TextBox::setAsciiOnly(bool asciiOnly)
{
    constexpr unsigned long both = SC_LINECHARACTERINDEX_UTF16 | SC_LINECHARACTERINDEX_UTF32;
    if (asciiOnly == isAsciiOnly())
        return;
    if (asciiOnly) {
        SendScintilla(SCI_RELEASELINECHARACTERINDEX, both);
        return;
    }
    // Counts the characters of every line already in, once; from then on
    // Scintilla keeps the count up as the text changes.
    SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, both);
    s_untrustedIndexes.remove(quintptr(SendScintilla(SCI_GETDOCPOINTER)));
}

bool TextBox::indexTrusted() const
{
    return (SendScintilla(SCI_GETLINECHARACTERINDEX) & (SC_LINECHARACTERINDEX_UTF16 | SC_LINECHARACTERINDEX_UTF32))
               == (SC_LINECHARACTERINDEX_UTF16 | SC_LINECHARACTERINDEX_UTF32)
           && !s_untrustedIndexes.contains(quintptr(SendScintilla(SCI_GETDOCPOINTER)));
}

void TextBox::takePendingInsertion()
{
    if (m_pendingInsertion.bytes == 0)
        return;
    const PendingInsertion insertion = std::exchange(m_pendingInsertion, {});
    const long end = insertion.bytePosition + insertion.bytes;
    if ((byteAt(insertion.bytePosition - 1) == '\r' && byteAt(insertion.bytePosition) == '\n')
        || (byteAt(end - 1) == '\r' && byteAt(end) == '\n'))
        distrustIndex();
    const auto data = reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(insertion.bytePosition), insertion.bytes));
    // Every change of the user's is read here before any place is counted
    // again (the next change's, or the document's length at the end of the
    // action); the place of this one was counted in the text of ASCII alone
    // that it went into.
    // A text grown past the limit is counted now, along with the insertion
    // (a big paste) that took it there, rather than at a later key.
    if (data && isAsciiOnly()
        && (!std::all_of(data, data + insertion.bytes, [](char c) { return uchar(c) < 0x80; })
            || SendScintilla(SCI_GETLENGTH) > asciiOnlyLimit))
        setAsciiOnly(false);
    if (data && insertion.position >= 0)
        m_edits.append(Edit{insertion.position, 0, QString::fromUtf8(data, insertion.bytes)});
    else
        m_editsLost = true;
}

qsizetype TextBox::utf16Position(qsizetype bytePosition) const
{
    if (isAsciiOnly())
        return bytePosition;
    // The index may have gone wrong.
    if (!indexTrusted())
        return SendScintilla(SCI_COUNTCODEUNITS, 0UL, long(bytePosition));
    const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(bytePosition));
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return SendScintilla(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line), long(SC_LINECHARACTERINDEX_UTF16))
           + SendScintilla(SCI_COUNTCODEUNITS, static_cast<unsigned long>(lineStart), long(bytePosition));
}

qsizetype TextBox::utf16Length() const
{
    return utf16Position(SendScintilla(SCI_GETLENGTH));
}

std::optional<QList<TextBox::Edit>> TextBox::takeEdits()
{
    QList<Edit> edits = std::exchange(m_edits, {});
    if (m_editsLost || m_writesAtActionStart != s_programWriteCount)
        return std::nullopt;
    return edits;
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
    const QStringView all(text);
    qsizetype start = 0;
    const auto parts = [all, &start](qsizetype units) {
        qsizetype end = qMin(start + units, all.size());
        if (end < all.size() && end - 1 > start
            && (all.at(end).isLowSurrogate() || (all.at(end) == u'\n' && all.at(end - 1) == u'\r')))
            --end;
        const QStringView part = all.sliced(start, end - start);
        start = end;
        return part;
    };
    setPlainText(text.size(), [&start, &parts] {
        start = 0;
        return TextParts(parts);
    }, betweenPieces);
}

void TextBox::setPlainText(qsizetype length, const std::function<TextParts()> &partsFromStart,
                           const std::function<void()> &betweenPieces)
{
    ++s_programWrites;
    ++s_programWriteCount;
    // Read-only keeps the user out, not the program.
    QsciScintilla::setReadOnly(false);
    // Small enough that a piece, with Scintilla's count of characters per
    // line kept up as it goes in, takes a few milliseconds.
    constexpr qsizetype piece = 256 << 10; // characters
    if (length <= piece) {
        const TextParts parts = partsFromStart();
        QByteArray bytes;
        qsizetype units = 0;
        for (QStringView part = parts(piece); !part.isEmpty(); part = parts(piece)) {
            bytes += part.toUtf8();
            units += part.size();
        }
        // Not SCI_SETTEXT, which takes the text up to its first NUL
        // character: the box showed less than the text, and the user's first
        // key made that the text.
        SendScintilla(SCI_CLEARALL);
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
        // After the text: counting the characters of the one before it
        // could take a while.
        setAsciiOnly(bytes.size() == units);
    } else {
        // A big text goes in by pieces, each converted on its own, which
        // needs no second copy of the whole text and lets the window repaint
        // and answer in between when the caller allows it. The box's buffer is
        // allocated whole first: growing it piece by piece would copy the
        // text again and again, in long silent stretches.
        const long eventMask = SendScintilla(SCI_GETMODEVENTMASK);
        SendScintilla(SCI_SETMODEVENTMASK, 0UL);
        // A text of ASCII alone goes in without Scintilla counting the
        // characters of every line, in half the time: its places need no
        // counting. The text is taken for one until a piece of it (which is
        // converted anyway) says otherwise; reading it all first to know
        // took a fifth of the time it saves. Counting the lines already in,
        // when another character comes, is quick while they are few; past
        // that it would hold the window in one go (134 ms for 100 MB, for
        // the first accented letter a user types into it), so a bigger text
        // is counted as it goes in.
        bool asciiOnly = length <= asciiOnlyLimit;
        // Emptying a big text and making room for the new one each take a
        // while of their own: the window may answer after each.
        SendScintilla(SCI_CLEARALL);
        setAsciiOnly(asciiOnly);
        if (betweenPieces)
            betweenPieces();
        // Most texts are mostly ASCII, a byte a character.
        SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(length + length / 8 + 1));
        if (betweenPieces)
            betweenPieces();
        const TextParts parts = partsFromStart();
        for (QStringView part = parts(piece); !part.isEmpty(); part = parts(piece)) {
            const QByteArray bytes = part.toUtf8();
            if (asciiOnly && bytes.size() != part.size()) {
                // What is in is less than the limit: counted at once.
                asciiOnly = false;
                setAsciiOnly(false);
            }
            SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
            if (betweenPieces)
                betweenPieces();
        }
        SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(eventMask));
        SendScintilla(SCI_GOTOPOS, 0UL);
    }
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    // Written whole, the index is right again.
    s_untrustedIndexes.remove(quintptr(SendScintilla(SCI_GETDOCPOINTER)));
    setReadOnly(m_readOnlyWanted);
    --s_programWrites;
}

void TextBox::shareDocument(const TextBox &other)
{
    // The document keeps its own code page, line ends and index of
    // characters per line.
    SendScintilla(SCI_SETDOCPOINTER, 0UL, other.SendScintilla(SCI_GETDOCPOINTER));
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
    if (isAsciiOnly())
        return qMin<qsizetype>(characterPosition, length);
    long from = 0;
    long step = long(characterPosition);
    if (indexTrusted()) {
        // Counted from the start of the line, not of the text.
        const long line = SendScintilla(SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(characterPosition),
                                        long(SC_LINECHARACTERINDEX_UTF32));
        from = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        step -= SendScintilla(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                              long(SC_LINECHARACTERINDEX_UTF32));
        if (step <= 0)
            return from;
    }
    // SCI_POSITIONRELATIVE answers 0 past the end of the document.
    const long position = SendScintilla(SCI_POSITIONRELATIVE, static_cast<unsigned long>(from), step);
    return position == 0 ? length : position;
}

qsizetype TextBox::characterPosition(qsizetype bytePosition) const
{
    if (isAsciiOnly())
        return bytePosition;
    if (!indexTrusted())
        return SendScintilla(SCI_COUNTCHARACTERS, 0UL, long(bytePosition));
    const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(bytePosition));
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return SendScintilla(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line), long(SC_LINECHARACTERINDEX_UTF32))
           + SendScintilla(SCI_COUNTCHARACTERS, static_cast<unsigned long>(lineStart), long(bytePosition));
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
    if (m_displayOnly)
        return;
    Action action(this);
    const long from = bytePosition(start);
    const long to = bytePosition(start + length);
    const bool readOnly = isReadOnly();
    QsciScintilla::setReadOnly(false);
    const QByteArray bytes = text.toUtf8();
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    QsciScintilla::setReadOnly(readOnly);
}

void TextBox::setDisplayOnly(bool displayOnly)
{
    m_displayOnly = displayOnly;
    setReadOnly(m_readOnlyWanted);
}

void TextBox::setReadOnly(bool readOnly)
{
    m_readOnlyWanted = readOnly;
    QsciScintilla::setReadOnly(readOnly || m_displayOnly);
}

void TextBox::setTextFont(const QFont &font)
{
    setFont(font);
    // Without a lexer every style takes the default style's font.
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, font.family().toUtf8().constData());
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT,
                  long(font.pointSizeF() * double(SC_FONT_SIZE_MULTIPLIER)));
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

QVariant TextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // Scintilla's Qt layer answers these with the paragraph around the caret,
    // and a text without blank lines is one paragraph: every key had the
    // input method's questions copy and decode the whole text. The caret's
    // line is all an input method needs.
    if (query != Qt::ImCursorPosition && query != Qt::ImAnchorPosition && query != Qt::ImSurroundingText)
        return QsciScintilla::inputMethodQuery(query);
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
    const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    if (query != Qt::ImSurroundingText) {
        // In UTF-16 code units from the start of the line, as Qt counts.
        const long at = query == Qt::ImCursorPosition ? caret : SendScintilla(SCI_GETANCHOR);
        const auto units = [this](long from, long to) {
            return int(SendScintilla(SCI_COUNTCODEUNITS, static_cast<unsigned long>(from), to));
        };
        return at < start ? -units(at, start) : units(start, at);
    }
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    const auto data = reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
    return data ? QString::fromUtf8(data, end - start) : QString();
}
