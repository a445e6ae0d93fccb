// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grids/gridrules.h"
#include "gui/shell/form1.h"
#include "gui/shell/qttoolkit.h"
#include "gui/shell/textbox.h"

#include <QInputDialog>
#include <QLabel>
#include <QTimer>
#include <QtTest>

// The pieces of the window toolkit layer that hold behaviour of their own:
// the file-dialog filters, twips, the text box's character positions and one
// user edit reported per action (only by the box acted in, when two boxes show
// one document), and the splash window's early close.
class TestToolkit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileDialogFilter_data();
    void fileDialogFilter();
    void twipsRoundTrip();
    void longInputPromptFitsTheScreen();
    void textBoxKeepsTextExactly_data();
    void textBoxKeepsTextExactly();
    void textBoxCountsCharacters();
    void textBoxTakesBigTextInPieces_data();
    void textBoxTakesBigTextInPieces();
    void textBoxReportsOneEditPerAction();
    void textBoxCountsRightWhenTextGoesBeyondAscii();
    void textBoxCountsTextFoundBeyondAsciiLate_data();
    void textBoxCountsTextFoundBeyondAsciiLate();
    void splashClosesOnKeyPress();
};

void TestToolkit::fileDialogFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    // "*.*" would hide every file without a dot (/etc/services, README).
    QTest::newRow("text files") << "Text files (*.txt)|*.txt|All files (*.*)|*.*"
                                << "Text files (*.txt);;All files (*)";
    QTest::newRow("pattern not shown in the description") << "Databases|*.mdb;*.db"
                                                           << "Databases (*.mdb *.db)";
}

void TestToolkit::fileDialogFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(QtToolkit::qtFilter(filter), expected);
}

void TestToolkit::longInputPromptFitsTheScreen()
{
    // The table window's filter prompt is a page of examples.
    const std::unique_ptr<QInputDialog> dialog =
        QtToolkit::inputDialog(tw::filterPromptText(), QStringLiteral("Tabwright"), QString());
    dialog->adjustSize();
    QVERIFY2(dialog->width() <= 1280 && dialog->height() <= 800,
             qPrintable(QStringLiteral("%1x%2").arg(dialog->width()).arg(dialog->height())));
    QCOMPARE(dialog->labelText(), tw::filterPromptText());
    // All of the prompt shows: it wraps within the box instead of running past it.
    auto label = dialog->findChild<QLabel *>();
    QVERIFY(label);
    QVERIFY2(label->sizeHint().width() <= dialog->width(), qPrintable(QString::number(label->sizeHint().width())));
}

void TestToolkit::twipsRoundTrip()
{
    // An inch is 1440 twips whatever the screen.
    QCOMPARE(qRound(pixelsToTwips(twipsToPixels(1440))), 1440);
    QVERIFY(twipsToPixels(10275) > twipsToPixels(1440) * 7);
}

void TestToolkit::textBoxKeepsTextExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF lines") << "a\r\nb\r\n";
    QTest::newRow("lone CR and LF") << "a\rb\nc\r\n\n\r";
    QTest::newRow("tabs and accents") << QString::fromUtf8("x\ty\xc3\xa9");
    QTest::newRow("outside the BMP") << QString::fromUtf8("\xF0\x9F\x98\x80-\xF0\x90\x8D\x88");
    QTest::newRow("a NUL character") << QString(QStringLiteral("a\0b").constData(), 3);
    QTest::newRow("empty") << "";
}

void TestToolkit::textBoxKeepsTextExactly()
{
    QFETCH(QString, text);
    TextBox box;
    box.setPlainText(text);
    QCOMPARE(box.plainText(), text);
}

void TestToolkit::textBoxCountsCharacters()
{
    TextBox box;
    // Two non-BMP characters, CR LF, and an accented letter: 6 characters.
    box.setPlainText(QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x81\r\n\xc3\xa9z"));
    QCOMPARE(box.characterCount(), 6);
    box.select(1, 3);
    QCOMPARE(box.selectionStart(), 1);
    QCOMPARE(box.selectionLength(), 3);
    QCOMPARE(box.selectedText(), QString::fromUtf8("\xF0\x9F\x98\x81\r\n"));
    box.setCaret(5);
    QCOMPARE(box.selectionStart(), 5);
    QCOMPARE(box.selectionLength(), 0);
}

void TestToolkit::textBoxTakesBigTextInPieces_data()
{
    // A big text goes into the box in pieces of 2M characters; whatever
    // stands at a piece's edge must come through whole.
    QTest::addColumn<QString>("edge");
    QTest::newRow("surrogate pair across the edge") << QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("CR LF across the edge") << QStringLiteral("\r\n");
    QTest::newRow("accented letters") << QString::fromUtf8("\xc3\xa9\xc3\xa8");
}

void TestToolkit::textBoxTakesBigTextInPieces()
{
    QFETCH(QString, edge);
    const qsizetype piece = 2 << 20;
    QString text(piece - 1, u'x');
    text += edge;
    text += QString(piece, u'y') + QStringLiteral("\r\nend");

    TextBox box;
    QSignalSpy edits(&box, &TextBox::userEdited);
    int pauses = 0;
    box.setPlainText(text, [&pauses] { ++pauses; });
    QCOMPARE(box.plainText(), text);
    // The program's text is no edit of the user's.
    QCOMPARE(edits.count(), 0);
    QVERIFY(pauses >= 2);
    QCOMPARE(box.characterCount(), text.size() - (edge.size() == 2 && edge.at(0).isHighSurrogate() ? 1 : 0));
}

void TestToolkit::textBoxCountsRightWhenTextGoesBeyondAscii()
{
    // A text of ASCII alone is kept without Scintilla's count of characters
    // per line; the first other character, typed in either box, starts one,
    // and places count right from then on, in both boxes.
    QWidget window;
    auto box = new TextBox(&window);
    auto other = new TextBox(&window);
    other->shareDocument(*box);
    window.show();
    const QString ascii = QString(300'000, u'x') + QStringLiteral("\r\nend");
    box->setPlainText(ascii);
    const QString wide = QString::fromUtf8("\xc3\xa9\xF0\x9F\x98\x80"); // 2 characters, 3 UTF-16 units
    other->replaceRange(2, 0, wide);
    const std::optional<QList<TextBox::Edit>> edits = other->takeEdits();
    QVERIFY(edits && edits->size() == 1);
    QCOMPARE(edits->first().position, 2);
    QCOMPARE(edits->first().inserted, wide);
    QString text = ascii;
    text.insert(2, wide);
    QCOMPARE(box->plainText(), text);
    QCOMPARE(box->characterCount(), text.size() - 1);
    QCOMPARE(box->utf16Length(), text.size());
    box->replaceRange(box->characterCount() - 3, 0, QStringLiteral("the "));
    text.insert(text.size() - 3, QStringLiteral("the "));
    QCOMPARE(box->plainText(), text);
    box->select(box->characterCount() - 7, 4);
    QCOMPARE(box->selectedText(), QStringLiteral("the "));

    // And the program's next text, of other characters, counts from its start.
    box->setPlainText(ascii);
    box->setPlainText(wide + QStringLiteral("z"));
    QCOMPARE(other->characterCount(), 3);
    other->setCaret(2);
    QCOMPARE(other->selectionStart(), 2);
}

void TestToolkit::textBoxCountsTextFoundBeyondAsciiLate_data()
{
    // A text goes in taken for ASCII alone until a piece says otherwise; one
    // past 16 M characters is counted from its start.
    QTest::addColumn<qsizetype>("at");
    QTest::newRow("in the first piece") << qsizetype(10);
    QTest::newRow("a few pieces in") << qsizetype(1 << 20);
    QTest::newRow("far in a big text") << qsizetype(17 << 20);
}

void TestToolkit::textBoxCountsTextFoundBeyondAsciiLate()
{
    QFETCH(qsizetype, at);
    QString text(at + (1 << 20), u'x');
    for (qsizetype line = 80; line < text.size(); line += 82)
        text[line - 1] = u'\n';
    const QString wide = QString::fromUtf8("\xc3\xa9\xF0\x9F\x98\x80"); // 2 characters, 3 UTF-16 units
    text.insert(at, wide);
    TextBox box;
    int pauses = 0;
    box.setPlainText(text, [&pauses] { ++pauses; });
    QVERIFY(pauses >= 2);
    QCOMPARE(box.plainText(), text);
    QCOMPARE(box.utf16Length(), text.size());
    QCOMPARE(box.characterCount(), text.size() - 1);
    box.select(text.size() - 11, 10);
    QCOMPARE(box.selectionStart(), text.size() - 11);
    QCOMPARE(box.selectedText(), text.sliced(text.size() - 10, 10));
}

void TestToolkit::textBoxReportsOneEditPerAction()
{
    QWidget window;
    auto box = new TextBox(&window);
    auto other = new TextBox(&window);
    other->shareDocument(*box);
    window.show();
    QSignalSpy edits(box, &TextBox::userEdited);
    QSignalSpy otherEdits(other, &TextBox::userEdited);
    box->setPlainText(QStringLiteral("abc"));
    QCOMPARE(edits.count(), 0);

    // Typing over a selection is one edit, not a deletion and an insertion,
    // and only the box typed in reports it; the other shows it at once.
    box->setFocus();
    box->select(0, 3);
    QTest::keyClick(box, Qt::Key_X);
    QCOMPARE(edits.count(), 1);
    QCOMPARE(otherEdits.count(), 0);
    QCOMPARE(other->plainText(), QStringLiteral("x"));

    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->plainText(), QStringLiteral("x\r\n"));
    other->replaceRange(0, 0, QStringLiteral(">"));
    QCOMPARE(otherEdits.count(), 1);
    QCOMPARE(edits.count(), 2);
    QCOMPARE(box->plainText(), QStringLiteral(">x\r\n"));

    // Places keep counting right when an LF joins a lone CR, or a CR an LF,
    // which Scintilla's own count of characters per line gets wrong.
    for (const auto &[at, typed] : {std::pair(4, "a\rb\n"), std::pair(6, "\n"), std::pair(8, "\r")}) {
        box->replaceRange(at, 0, QString::fromLatin1(typed));
        const QString text = box->plainText();
        QCOMPARE(box->characterCount(), text.size());
        QCOMPARE(box->utf16Length(), text.size());
        QCOMPARE(box->bytePosition(text.size() - 1), text.size() - 1);
    }
    QCOMPARE(box->plainText(), QStringLiteral(">x\r\na\r\nb\r\n"));
}

void TestToolkit::splashClosesOnKeyPress()
{
    QWidget frame;
    frame.resize(800, 600);
    frame.show();
    Form1 splash(&frame);
    QVERIFY(!splash.lblFirstWord->isVisible());
    QVERIFY(!splash.lblThirdWord->isVisible());
    QCOMPARE(splash.lblProductName->text(), QStringLiteral("Tabwright"));
    QTimer::singleShot(100, &splash, [&splash] { QTest::keyClick(&splash, Qt::Key_Space); });
    splash.playSequence();
    QVERIFY(splash.closedByUser());
    QVERIFY(!splash.isVisible());
}

QTEST_MAIN(TestToolkit)
#include "test_toolkit.moc"
