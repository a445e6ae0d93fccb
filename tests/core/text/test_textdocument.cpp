// SPDX-License-Identifier: GPL-3.0-or-later
// The working text's own rules, without a window: one level of undo, the
// modified flag, runs, and the file the text belongs to.
#include "core/text/textdocument.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using tw::TextDocument;

class TestTextDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void undoRules_data();
    void undoRules();
    void changesGiveTheTextTheyDescribe_data();
    void changesGiveTheTextTheyDescribe();
    void abandonedRunKeepsUndoCopy();
    void withdrawUndoOnlyWhenNothingToUndo();
    void openReplacesTextAndCleansState();
    void emptyFileOnlyChangesPath();
    void failedOpenChangesNothing();
    void saveMakesFileTheDocument();
    void failedSaveChangesNothing();
    void windows1252TextSavedAsUtf8StaysUtf8();
    void forgottenPathIsAskedAgainButStillShown();
    void closeForgetsEverything();
    void signalsOnlyOnChange();

private:
    QString writeFile(const QByteArray &bytes, const QString &name = QStringLiteral("in.txt"));
    QTemporaryDir m_dir;
};

QString TestTextDocument::writeFile(const QByteArray &bytes, const QString &name)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Steps: "e:TEXT" a user edit, "r:TEXT" a run with that result, "u" Undo.
// Each row runs twice: with the edits told as whole texts, and as the changes
// a text box reports (a deletion and an insertion), which must keep the same
// rules.
void TestTextDocument::undoRules_data()
{
    QTest::addColumn<bool>("asChanges");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("undoCopy");
    QTest::addColumn<bool>("undoAvailable");

    for (const bool asChanges : {false, true}) {
        const auto row = [asChanges](const char *name, const QStringList &steps, const QString &text,
                                     const QString &undoCopy, bool undoAvailable) {
            QTest::addRow("%s%s", name, asChanges ? " (changes)" : "")
                << asChanges << steps << text << undoCopy << undoAvailable;
        };
        row("edit then undo goes back one edit",
                QStringList{"e:a", "e:ab", "u"}, "a", "a", false);
        row("undo after a run restores the text before it",
                QStringList{"e:abc", "r:ABC", "u"}, "abc", "abc", false);
        row("an edit right after a run can go back before the run",
                QStringList{"e:abc", "r:ABC", "e:ABCd"}, "ABCd", "abc", true);
        row("a second run keeps one level only",
                QStringList{"e:x", "r:y", "r:z", "u"}, "y", "y", false);
        row("edits after undo start again from the restored text",
                QStringList{"e:a", "e:ab", "u", "e:ac"}, "ac", "a", true);
        row("an edit that changes nothing", QStringList{"e:abc", "e:abc"}, "abc", "abc", true);
    }
}

void TestTextDocument::undoRules()
{
    QFETCH(bool, asChanges);
    QFETCH(QStringList, steps);
    TextDocument document;
    for (const QString &step : steps) {
        const QString after = step.mid(2);
        if (step.startsWith(u'e') && asChanges) {
            // What differs between the common start and the common end.
            const QString &before = document.text();
            qsizetype start = 0;
            while (start < before.size() && start < after.size() && before[start] == after[start])
                ++start;
            qsizetype end = 0;
            while (end < before.size() - start && end < after.size() - start
                   && before[before.size() - 1 - end] == after[after.size() - 1 - end])
                ++end;
            const qsizetype removed = before.size() - start - end;
            QVERIFY(document.userEdited(QList<tw::TextEdit>{
                {start, removed, {}}, {start, 0, after.mid(start, after.size() - start - end)}}));
        } else if (step.startsWith(u'e'))
            document.userEdited(after);
        else if (step.startsWith(u'r')) {
            document.beginRun();
            document.finishRun(after);
        } else
            document.undo();
    }
    QTEST(document.text(), "text");
    QTEST(document.undoCopy(), "undoCopy");
    QTEST(document.undoAvailable(), "undoAvailable");
    QVERIFY(document.isModified());
}

// Edits as a text box reports them, each "position,removed,inserted": the
// text and the undo copy must be what applying them to a plain string gives,
// however the edits lie to one another.
void TestTextDocument::changesGiveTheTextTheyDescribe_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::newRow("keys in a row") << QStringList{"5,0,a", "6,0,b", "7,0,c"};
    QTest::newRow("typing then backspace over and before it") << QStringList{"3,0,xy", "4,1,", "3,1,", "2,1,"};
    QTest::newRow("apart, then back next to the first") << QStringList{"1,0,A", "9,2,B", "2,0,C", "0,3,"};
    QTest::newRow("typed over a selection") << QStringList{"2,4,", "2,0,new", "5,0,!"};
    QTest::newRow("a surrogate pair") << QStringList{"10,0,\U0001F600", "12,0,z", "10,2,"};
    QTest::newRow("three places, then a cut across two") << QStringList{"1,0,A", "5,0,B", "9,0,C", "2,6,", "1,0,D"};
    QStringList manyPlaces;
    for (int i = 0; i < 70; ++i)
        manyPlaces << QStringLiteral("%1,0,x").arg(3 * i);
    QTest::newRow("more places than are kept apart") << (manyPlaces << QStringLiteral("100,90,") << QStringLiteral("170,0,end"));
}

void TestTextDocument::changesGiveTheTextTheyDescribe()
{
    QFETCH(QStringList, edits);
    TextDocument document;
    QString expected = QStringLiteral("0123456789").repeated(20);
    document.userEdited(expected);
    QString before;
    for (const QString &step : edits) {
        const QStringList parts = step.split(u',');
        const QString inserted = parts.at(2);
        before = expected;
        expected.replace(parts.at(0).toInt(), parts.at(1).toInt(), inserted);
        QVERIFY(document.userEdited(QList<tw::TextEdit>{{parts.at(0).toInt(), parts.at(1).toInt(), inserted}}));
        QCOMPARE(document.size(), expected.size());
    }
    QCOMPARE(document.undoCopy(), before);
    QCOMPARE(document.text(), expected);
    // An edit outside the text is refused and changes nothing.
    QVERIFY(!document.userEdited(QList<tw::TextEdit>{{expected.size() + 1, 0, QStringLiteral("x")}}));
    QCOMPARE(document.text(), expected);
}

void TestTextDocument::abandonedRunKeepsUndoCopy()
{
    TextDocument document;
    document.userEdited(QStringLiteral("a"));
    document.userEdited(QStringLiteral("ab"));
    document.beginRun();
    QCOMPARE(document.undoCopy(), QStringLiteral("ab"));
    document.abandonRun();
    QCOMPARE(document.undoCopy(), QStringLiteral("a"));
    QCOMPARE(document.text(), QStringLiteral("ab"));
}

void TestTextDocument::withdrawUndoOnlyWhenNothingToUndo()
{
    TextDocument document;
    document.userEdited(QStringLiteral("a"));
    document.withdrawUndoIfNothingToUndo();
    QVERIFY(document.undoAvailable());
    // A run whose result is the text it started from leaves nothing to undo.
    document.beginRun();
    document.finishRun(QStringLiteral("a"));
    QVERIFY(document.undoAvailable());
    document.withdrawUndoIfNothingToUndo();
    QVERIFY(!document.undoAvailable());
    // Another character typed over one leaves something to undo; the same
    // one typed over itself does not.
    for (const bool same : {false, true}) {
        QVERIFY(document.userEdited(QList<tw::TextEdit>{{0, 1, QStringLiteral("b")}}));
        document.withdrawUndoIfNothingToUndo();
        QCOMPARE(document.undoAvailable(), !same);
    }
}

void TestTextDocument::openReplacesTextAndCleansState()
{
    TextDocument document;
    document.userEdited(QStringLiteral("typed"));
    QSignalSpy replaced(&document, &TextDocument::textReplaced);
    const QString path = writeFile("one\ntwo\n");
    QVERIFY(!document.open(path).failed());
    QCOMPARE(document.text(), QStringLiteral("one\r\ntwo\r\n"));
    QCOMPARE(document.undoCopy(), document.text());
    QCOMPARE(document.path(), path);
    QCOMPARE(document.shownPath(), path);
    QVERIFY(document.isOpen());
    QVERIFY(!document.isModified());
    QVERIFY(!document.undoAvailable());
    QCOMPARE(replaced.count(), 1);
    // The first edit of the opened text can be undone back to the file.
    document.userEdited(QStringLiteral("x"));
    document.undo();
    QCOMPARE(document.text(), QStringLiteral("one\r\ntwo\r\n"));
}

void TestTextDocument::emptyFileOnlyChangesPath()
{
    TextDocument document;
    document.userEdited(QStringLiteral("kept"));
    const QString path = writeFile({}, QStringLiteral("empty.txt"));
    QVERIFY(!document.open(path).failed());
    QCOMPARE(document.text(), QStringLiteral("kept"));
    QCOMPARE(document.shownPath(), path);
    QVERIFY(!document.isOpen());
    QVERIFY(document.isModified());
}

void TestTextDocument::failedOpenChangesNothing()
{
    TextDocument document;
    document.userEdited(QStringLiteral("kept"));
    const tw::FileError error = document.open(writeFile(QByteArray("a\0b", 3), QStringLiteral("binary.txt")));
    QVERIFY(error.failed());
    QCOMPARE(document.text(), QStringLiteral("kept"));
    QVERIFY(document.path().isEmpty());
    QVERIFY(document.isModified());
}

void TestTextDocument::saveMakesFileTheDocument()
{
    TextDocument document;
    document.userEdited(QStringLiteral("a\r\nb"));
    const QString path = m_dir.filePath(QStringLiteral("out.txt"));
    bool utf8 = true;
    QVERIFY(!document.save(path, &utf8).failed());
    QVERIFY(!utf8);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // A text from no file is written with LF line ends.
    QCOMPARE(file.readAll(), QByteArray("a\nb"));
    QCOMPARE(document.path(), path);
    QVERIFY(document.isOpen());
    QVERIFY(!document.isModified());
    QVERIFY(!document.undoAvailable());
    QCOMPARE(document.undoCopy(), document.text());
}

void TestTextDocument::failedSaveChangesNothing()
{
    TextDocument document;
    document.userEdited(QStringLiteral("text"));
    // A file cannot be made inside a regular file, whoever runs the test.
    const QString blocked = writeFile("x", QStringLiteral("plain")) + QStringLiteral("/out.txt");
    QVERIFY(document.save(blocked).failed());
    QVERIFY(document.path().isEmpty());
    QVERIFY(document.isModified());
    QVERIFY(document.undoAvailable());
}

void TestTextDocument::windows1252TextSavedAsUtf8StaysUtf8()
{
    TextDocument document;
    const QString path = writeFile("caf\xE9");
    QVERIFY(!document.open(path).failed());
    document.userEdited(document.text() + QChar(0x101));
    bool utf8 = false;
    QVERIFY(!document.save(path, &utf8).failed());
    QVERIFY(utf8);
    QCOMPARE(document.format().encoding, tw::TextEncoding::Utf8);
    // The file is UTF-8 from then on: the next save has nothing to tell.
    QVERIFY(!document.save(path, &utf8).failed());
    QVERIFY(!utf8);
}

void TestTextDocument::forgottenPathIsAskedAgainButStillShown()
{
    TextDocument document;
    const QString path = writeFile("x");
    QVERIFY(!document.open(path).failed());
    document.forgetPath();
    QVERIFY(document.path().isEmpty());
    QCOMPARE(document.shownPath(), path);
}

void TestTextDocument::closeForgetsEverything()
{
    TextDocument document;
    QVERIFY(!document.open(writeFile("abc")).failed());
    document.userEdited(QStringLiteral("abcd"));
    document.close();
    QVERIFY(document.text().isEmpty());
    QVERIFY(document.shownPath().isEmpty());
    QVERIFY(!document.isOpen());
    QVERIFY(!document.isModified());
    QVERIFY(!document.undoAvailable());
    // A first edit of the next text does not undo back to the closed one.
    document.userEdited(QStringLiteral("new"));
    document.undo();
    QVERIFY(document.text().isEmpty());
}

void TestTextDocument::signalsOnlyOnChange()
{
    TextDocument document;
    QSignalSpy modified(&document, &TextDocument::modifiedChanged);
    QSignalSpy undo(&document, &TextDocument::undoAvailableChanged);
    QSignalSpy empty(&document, &TextDocument::emptyChanged);
    document.userEdited(QStringLiteral("a"));
    document.userEdited(QStringLiteral("ab"));
    QCOMPARE(modified.count(), 1);
    QCOMPARE(undo.count(), 1);
    QCOMPARE(empty.count(), 1);
    document.userEdited(QString());
    QCOMPARE(empty.count(), 2);
    QCOMPARE(empty.last().first().toBool(), true);
}

QTEST_GUILESS_MAIN(TestTextDocument)
#include "test_textdocument.moc"
