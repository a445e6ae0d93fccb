// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/caretposition.h"
#include "core/text/longlines.h"
#include "core/text/pasterules.h"
#include "core/text/textsearch.h"

#include <QtTest>

// The rules behind pasting, searching, the caret's column and the form a text
// with very long lines is shown in, without a window.
class TestDocumentRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clipboardLineBreaks_data();
    void clipboardLineBreaks();
    void pasteAtEnd_data();
    void pasteAtEnd();
    void search_data();
    void search();
    void caretLineAndColumn_data();
    void caretLineAndColumn();
    void longLinesInPieces_data();
    void longLinesInPieces();
};

// With lines over 5 characters shown in pieces of 2.
void TestDocumentRules::longLinesInPieces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no line over the length: shown as it is") << "abcde\r\nfghij\rklmno" << QString();
    QTest::newRow("one line over it") << "abcdef" << "ab\ncd\nef";
    QTest::newRow("a long line of whole pieces, then a line end")
        << "abcdef\r\nx" << "ab\ncd\nef\r\nx";
    QTest::newRow("only the long line is cut, line ends kept")
        << "ab\r\nabcdefg\nx" << "ab\r\nab\ncd\nef\ng\nx";
    QTest::newRow("a long line after many short ones")
        << "a\nb\nc\nd\ne\nf\ng\nabcdefgh" << "a\nb\nc\nd\ne\nf\ng\nab\ncd\nef\ngh";
    QTest::newRow("a surrogate pair is not cut")
        << QString::fromUtf8("a\xF0\x9F\x98\x80" "bcde") << QString::fromUtf8("a\n\xF0\x9F\x98\x80\nbc\nde");
}

void TestDocumentRules::longLinesInPieces()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    const QString pieces = tw::longLinesInPieces(text, 5, 2);
    QCOMPARE(pieces.isNull(), shown.isNull());
    QCOMPARE(pieces, shown);
    // Made part by part, as the box takes it in, it is the same wherever
    // the parts end.
    for (const qsizetype units : {1, 2, 3, 7}) {
        tw::LongLinePieces parts(text, 5, 2);
        QString joined;
        for (QStringView part = parts.next(units); !part.isEmpty(); part = parts.next(units))
            joined += part;
        QCOMPARE(joined, shown.isNull() ? text : shown);
    }
}

void TestDocumentRules::clipboardLineBreaks_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("pasted");
    QTest::newRow("LF only becomes CR LF") << "a\nb\n" << "a\r\nb\r\n";
    QTest::newRow("CR LF stays") << "a\r\nb" << "a\r\nb";
    QTest::newRow("any CR: taken as it is") << "a\nb\rc" << "a\nb\rc";
    QTest::newRow("no line break") << "abc" << "abc";
}

void TestDocumentRules::clipboardLineBreaks()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, pasted);
    QCOMPARE(tw::clipboardToWorkingText(clipboard), pasted);
}

void TestDocumentRules::pasteAtEnd_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("editAppended");
    QTest::addColumn<QString>("editClipboardAfter");
    QTest::addColumn<QString>("textLinesAppended");
    QTest::newRow("no final line break") << "abc" << "abc" << "abc\r\n" << "abc";
    QTest::newRow("final CR LF") << "abc\r\n" << "abc\r\n" << "abc\r\n" << "abc\r\n";
    QTest::newRow("final lone CR") << "abc\r" << "abc\r\n" << "abc\r\n" << "abc\r\n";
    QTest::newRow("final lone LF") << "a\rbc\n" << "a\rbc\n" << "a\rbc\n\r\n" << "a\rbc\n";
    QTest::newRow("empty") << "" << "" << "\r\n" << "";
}

void TestDocumentRules::pasteAtEnd()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, editAppended);
    QFETCH(QString, editClipboardAfter);
    QFETCH(QString, textLinesAppended);
    const tw::PasteAtEnd edit = tw::editPasteAtEnd(clipboard);
    QCOMPARE(edit.appended, editAppended);
    QCOMPARE(edit.clipboardAfter, editClipboardAfter);
    QCOMPARE(tw::textLinesPasteAtEnd(clipboard), textLinesAppended);
}

void TestDocumentRules::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QList<qsizetype>>("matches");
    using L = QList<qsizetype>;
    QTest::newRow("ignore case finds capitals") << "The CAT sat" << "cat" << true << false << L{4};
    QTest::newRow("exact case does not") << "The CAT sat" << "cat" << false << false << L{};
    QTest::newRow("overlapping matches count") << "aaa" << "aa" << true << false << L{0, 1};
    QTest::newRow("whole word: digit after") << "cat1" << "cat" << true << true << L{0};
    QTest::newRow("whole word: space after") << "cat dog" << "cat" << true << true << L{0};
    QTest::newRow("whole word: full stop after") << "a cat." << "cat" << true << true << L{2};
    QTest::newRow("whole word: letter after") << "cats" << "cat" << true << true << L{};
    QTest::newRow("whole word: letter before") << "bobcat" << "cat" << true << true << L{};
    QTest::newRow("whole word: skips, goes on") << "cats cat" << "cat" << true << true << L{5};
    QTest::newRow("whole word: underscore separates") << "_cat_" << "cat" << false << true << L{1};
    QTest::newRow("whole word: accented letter separates") << "\u00e9cat" << "cat" << true << true << L{1};
    QTest::newRow("whole word: line break separates") << "x\r\ncat\r\n" << "cat" << true << true << L{3};
    QTest::newRow("non-BMP neighbour separates")
        << QString::fromUtf8("\xF0\x9F\x98\x80" "cat") << "cat" << true << true << L{2};
    QTest::newRow("after a surrogate pair") << QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80")
                                            << QString::fromUtf8("\xF0\x9F\x98\x80") << false << false << L{0, 2};
    QTest::newRow("empty needle") << "abc" << "" << true << false << L{};
}

void TestDocumentRules::search()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, wholeWord);
    QFETCH(QList<qsizetype>, matches);
    const tw::SearchOptions options{ignoreCase, wholeWord};
    QCOMPARE(tw::findAllMatches(text, needle, options), matches);
    // One at a time, each search going on one character after the last match.
    QList<qsizetype> oneByOne;
    for (qsizetype at = tw::findMatch(text, needle, 0, options); at >= 0;
         at = tw::findMatch(text, needle, tw::nextCharacter(text, at), options))
        oneByOne << at;
    QCOMPARE(oneByOne, matches);
}

void TestDocumentRules::caretLineAndColumn_data()
{
    QTest::addColumn<QString>("before"); // the text before the caret
    QTest::addColumn<qsizetype>("line");
    QTest::addColumn<qsizetype>("column");
    QTest::newRow("start") << "" << qsizetype(1) << qsizetype(1);
    QTest::newRow("tab is one column") << "\tab" << qsizetype(1) << qsizetype(4);
    QTest::newRow("non-BMP is one column") << QString::fromUtf8("a\xF0\x9F\x98\x80" "b") << qsizetype(1)
                                           << qsizetype(4);
    QTest::newRow("tab and non-BMP on line 2") << QString::fromUtf8("x\r\n\t\xF0\x9F\x98\x80\xC3\xA9")
                                               << qsizetype(2) << qsizetype(4);
    QTest::newRow("CR LF ends a line") << "ab\r\n" << qsizetype(2) << qsizetype(1);
    QTest::newRow("lone LF is a column") << "a\nb" << qsizetype(1) << qsizetype(4);
    QTest::newRow("lone CR is a column") << "a\rb" << qsizetype(1) << qsizetype(4);
    QTest::newRow("LF CR is no line break") << "a\n\rb" << qsizetype(1) << qsizetype(5);
    QTest::newRow("between CR and LF") << "a\r" << qsizetype(1) << qsizetype(3);
    QTest::newRow("CR CR LF") << "\r\r\nz" << qsizetype(2) << qsizetype(2);
}

void TestDocumentRules::caretLineAndColumn()
{
    QFETCH(QString, before);
    QFETCH(qsizetype, line);
    QFETCH(qsizetype, column);
    // More text after the caret changes nothing.
    const QByteArray bytes = before.toUtf8() + QByteArray("\nrest\r\n");
    const tw::LineColumn at = tw::lineColumnAt(bytes, before.toUtf8().size());
    QCOMPARE(at.line, line);
    QCOMPARE(at.column, column);
    // Counting in two pieces gives the same line as counting at once.
    const qsizetype middle = before.toUtf8().size() / 2;
    QCOMPARE(1 + tw::countLineBreaks(bytes, 0, middle) + tw::countLineBreaks(bytes, middle, before.toUtf8().size()),
             line);
}

QTEST_APPLESS_MAIN(TestDocumentRules)
#include "test_documentrules.moc"
