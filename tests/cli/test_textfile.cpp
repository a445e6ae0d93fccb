// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/textfile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

// The reader and writer every text file goes through: the encoding and line
// ends are recognised, the working text has CR LF line breaks, and writing
// the text back gives the file's bytes exactly.
class TestTextFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void streamedRoundTrip_data() { roundTrip_data(); }
    void streamedRoundTrip();
    void largeMixedTextSurvivesBufferBoundaries();
    void textFromNoFileIsUtf8WithLf();
    void cp1252TextThatNoLongerFitsIsSavedAsUtf8();
    void unpairedSurrogateIsRefusedAndOldFileKept();
    void readErrors_data();
    void readErrors();
    void writeErrorsLeaveTheOldFile();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    QTemporaryDir m_dir;
};

namespace {
QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QByteArray allHighBytes()
{
    QByteArray bytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes.append(char(b));
    return bytes;
}
} // namespace

QString TestTextFile::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
    return path;
}

void TestTextFile::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<bool>("bom");
    QTest::addColumn<int>("lineEnds");
    QTest::addColumn<QString>("text");

    const int utf8 = int(tw::TextEncoding::Utf8);
    const int cp1252 = int(tw::TextEncoding::Windows1252);
    const int lf = int(tw::LineEnds::Lf);
    const int asIs = int(tw::LineEnds::AsIs);

    QTest::newRow("UTF-8 without BOM, CR LF")
        << QByteArray("h\xC3\xA9llo\r\nw\xC3\xB6rld\r\n") << utf8 << false << asIs
        << QStringLiteral("h\u00E9llo\r\nw\u00F6rld\r\n");
    QTest::newRow("UTF-8 with BOM: the BOM is not text")
        << QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9\nx") << utf8 << true << lf
        << QStringLiteral("caf\u00E9\r\nx");
    QTest::newRow("BOM alone") << QByteArray("\xEF\xBB\xBF") << utf8 << true << lf << QString();
    QTest::newRow("Windows-1252, every byte 0x80-0xFF")
        << allHighBytes() + "\r\n" << cp1252 << false << asIs
        << QString::fromUtf16(u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039"
                   u"\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
                   u"\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178")
               + QString::fromLatin1(allHighBytes().mid(0x20)) + QStringLiteral("\r\n");
    QTest::newRow("LF only: every LF is a line break")
        << QByteArray("a\nb\n\nc") << utf8 << false << lf << QStringLiteral("a\r\nb\r\n\r\nc");
    QTest::newRow("CR LF, no final line end")
        << QByteArray("one\r\ntwo") << utf8 << false << asIs << QStringLiteral("one\r\ntwo");
    QTest::newRow("mixed: lone LF and lone CR stay in their lines")
        << QByteArray("a\nb\r\nc\rd\n") << utf8 << false << asIs
        << QStringLiteral("a\nb\r\nc\rd\n");
    QTest::newRow("lone CR only") << QByteArray("a\rb\r") << utf8 << false << asIs
                                  << QStringLiteral("a\rb\r");
    QTest::newRow("empty file") << QByteArray() << utf8 << false << lf << QString();
    QTest::newRow("no line end at all") << QByteArray("abc") << utf8 << false << lf
                                        << QStringLiteral("abc");
    QTest::newRow("non-BMP UTF-8")
        << QByteArray("x\xF0\x9F\x98\x80y\n") << utf8 << false << lf
        << QString::fromUtf8("x\xF0\x9F\x98\x80y\r\n");
    QTest::newRow("overlong UTF-8 form is Windows-1252")
        << QByteArray("\xC0\xAF") << cp1252 << false << lf << QStringLiteral("\u00C0\u00AF");
    QTest::newRow("encoded surrogate is Windows-1252")
        << QByteArray("\xED\xA0\x80") << cp1252 << false << lf << QStringLiteral("\u00ED\u00A0\u20AC");
    QTest::newRow("UTF-8 cut short at the end is Windows-1252")
        << QByteArray("abc\xC3") << cp1252 << false << lf << QStringLiteral("abc\u00C3");
    QTest::newRow("BOM then invalid bytes: Windows-1252, BOM bytes are text")
        << QByteArray("\xEF\xBB\xBF\xFF") << cp1252 << false << lf
        << QStringLiteral("\u00EF\u00BB\u00BF\u00FF");
    // Long enough to go through the 16-byte fast paths, with the odd byte
    // past the first block.
    QTest::newRow("long ASCII run then Windows-1252")
        << QByteArray("0123456789abcdefghij\x80\r\n0123456789abcdefghij") << cp1252 << false
        << asIs << QStringLiteral("0123456789abcdefghij\u20AC\r\n0123456789abcdefghij");
    QTest::newRow("long ASCII run then UTF-8")
        << QByteArray("0123456789abcdefghij\xE2\x82\xAC\n0123456789abcdefghij") << utf8 << false
        << lf << QStringLiteral("0123456789abcdefghij\u20AC\r\n0123456789abcdefghij");
}

void TestTextFile::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(bool, bom);
    QFETCH(int, lineEnds);
    QFETCH(QString, text);

    const QString path = writeFile(QStringLiteral("in.txt"), bytes);
    const tw::TextFileContent content = tw::readTextFile(path);
    QVERIFY2(!content.error, qPrintable(content.error.description));
    QCOMPARE(content.text, text);
    QCOMPARE(int(content.format.encoding), encoding);
    QCOMPARE(content.format.byteOrderMark, bom);
    QCOMPARE(int(content.format.lineEnds), lineEnds);
    QCOMPARE(content.byteSize, bytes.size());

    const QString out = m_dir.filePath(QStringLiteral("out.txt"));
    const tw::TextWriteResult written = tw::writeTextFile(out, content.text, content.format);
    QVERIFY2(!written.error, qPrintable(written.error.description));
    QCOMPARE(written.written, content.format);
    QCOMPARE(readBytes(out), bytes);
    QCOMPARE(tw::encodeText(content.text, content.format), bytes);
}

void TestTextFile::streamedRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    const QString path = writeFile(QStringLiteral("in.txt"), bytes);
    tw::TextSource source;
    const tw::FileError opened = source.open(path);
    QVERIFY2(!opened, qPrintable(opened.description));
    QCOMPARE(source.isEmpty(), text.isEmpty());

    // Lines joined with CR LF are the working text.
    QString joined;
    QString line;
    qsizetype lines = 0;
    while (source.nextLine(line)) {
        if (lines++)
            joined += QStringLiteral("\r\n");
        joined += line;
    }
    QCOMPARE(joined, text);
    QCOMPARE(lines, text.isEmpty() ? 0 : text.count(QStringLiteral("\r\n")) + 1);

    // Blocks of whole lines joined with CR LF are the working text too.
    for (qint64 blockBytes : {1, 2, 5, 1 << 20}) {
        tw::TextSource blocks;
        QVERIFY(!blocks.open(path));
        QString block;
        QStringList pieces;
        while (blocks.nextBlock(block, blockBytes))
            pieces.append(block);
        QCOMPARE(pieces.join(QStringLiteral("\r\n")), text);
    }

    // The writer takes the text in pieces of any size, even between CR and
    // LF or inside a surrogate pair, and writes the same bytes.
    for (qsizetype piece : {1, 2, 3, 7}) {
        QByteArray out;
        tw::TextSink sink;
        sink.openBuffer(&out, source.format());
        for (qsizetype at = 0; at < text.size(); at += piece)
            sink.write(QStringView(text).mid(at, piece));
        const tw::FileError committed = sink.commit();
        QVERIFY2(!committed, qPrintable(committed.description));
        QCOMPARE(out, bytes);
    }
}

void TestTextFile::largeMixedTextSurvivesBufferBoundaries()
{
    // Several writer buffers' worth of lines mixing ASCII, Latin, euro and
    // non-BMP characters with every kind of line end.
    const char *pieces[] = {"plain ascii text ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                            "\r\n", "\n", "\r", "0123456789012345678901234567890"};
    QRandomGenerator random(20240501);
    QByteArray bytes;
    while (bytes.size() < 900 * 1024)
        bytes += pieces[random.bounded(int(std::size(pieces)))];
    const QString path = writeFile(QStringLiteral("large.txt"), bytes);

    const tw::TextFileContent content = tw::readTextFile(path);
    QVERIFY(!content.error);
    QCOMPARE(content.format.encoding, tw::TextEncoding::Utf8);
    QCOMPARE(content.text, QString::fromUtf8(bytes));

    const QString out = m_dir.filePath(QStringLiteral("large-out.txt"));
    QVERIFY(!tw::writeTextFile(out, content.text, content.format).error);
    QCOMPARE(readBytes(out), bytes);

    // Made Windows-1252 by one stray byte, the same text still comes back whole.
    bytes.append('\xFF');
    const QString path1252 = writeFile(QStringLiteral("large1252.txt"), bytes);
    const tw::TextFileContent content1252 = tw::readTextFile(path1252);
    QCOMPARE(content1252.format.encoding, tw::TextEncoding::Windows1252);
    QVERIFY(!tw::writeTextFile(out, content1252.text, content1252.format).error);
    QCOMPARE(readBytes(out), bytes);
}

void TestTextFile::textFromNoFileIsUtf8WithLf()
{
    const QString out = m_dir.filePath(QStringLiteral("new.txt"));
    const tw::TextWriteResult written =
        tw::writeTextFile(out, QStringLiteral("caf\u00E9\r\nline\r\n"), tw::TextFormat());
    QVERIFY(!written.error);
    QCOMPARE(readBytes(out), QByteArray("caf\xC3\xA9\nline\n"));
}

void TestTextFile::cp1252TextThatNoLongerFitsIsSavedAsUtf8()
{
    const QString path = writeFile(QStringLiteral("1252.txt"), QByteArray("caf\xE9\r\n"));
    tw::TextFileContent content = tw::readTextFile(path);
    QCOMPARE(content.format.encoding, tw::TextEncoding::Windows1252);
    content.text += QStringLiteral("\u2192 arrow");
    QVERIFY(!tw::canEncode(content.text, tw::TextEncoding::Windows1252));

    const tw::TextWriteResult written = tw::writeTextFile(path, content.text, content.format);
    QVERIFY(!written.error);
    QCOMPARE(written.written.encoding, tw::TextEncoding::Utf8);
    const tw::TextFileContent again = tw::readTextFile(path);
    QCOMPARE(again.text, content.text);

    // The streaming writer cannot change its mind halfway: it refuses.
    QByteArray out;
    tw::TextSink sink;
    sink.openBuffer(&out, content.format);
    sink.write(content.text);
    const tw::FileError error = sink.commit();
    QCOMPARE(error.number, int(tw::FileError::InvalidFileFormat));
    QVERIFY2(error.description.contains(QStringLiteral("U+2192")), qPrintable(error.description));
}

void TestTextFile::unpairedSurrogateIsRefusedAndOldFileKept()
{
    const QString path = writeFile(QStringLiteral("keep.txt"), QByteArray("old\n"));
    const QString broken = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
    const tw::TextWriteResult written = tw::writeTextFile(path, broken, tw::TextFormat());
    QCOMPARE(written.error.number, int(tw::FileError::InvalidFileFormat));
    QCOMPARE(readBytes(path), QByteArray("old\n"));
}

void TestTextFile::readErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("says");

    QTest::newRow("NUL byte: not a text file")
        << "nul.txt" << QByteArray("ab\0cd", 5) << int(tw::FileError::InvalidFileFormat)
        << "not a text file";
    QTest::newRow("UTF-16 file: not a text file")
        << "utf16.txt" << QByteArray("\xFF\xFE" "a\0b\0", 6) << int(tw::FileError::InvalidFileFormat)
        << "not a text file";
    QTest::newRow("missing file") << "" << QByteArray() << int(tw::FileError::PathFileAccess)
                                  << "no such file";
    QTest::newRow("a folder") << "." << QByteArray() << int(tw::FileError::PathFileAccess)
                              << "folder";
}

void TestTextFile::readErrors()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, number);
    QFETCH(QString, says);

    QString path;
    if (name.isEmpty())
        path = m_dir.filePath(QStringLiteral("missing.txt"));
    else if (name == u".")
        path = m_dir.path();
    else
        path = writeFile(name, bytes);
    const tw::TextFileContent content = tw::readTextFile(path);
    QCOMPARE(content.error.number, number);
    QVERIFY2(content.error.description.contains(says), qPrintable(content.error.description));
    QVERIFY(content.text.isEmpty());
}

void TestTextFile::writeErrorsLeaveTheOldFile()
{
    const QString missingFolder = m_dir.filePath(QStringLiteral("no/such/folder/x.txt"));
    QCOMPARE(tw::writeTextFile(missingFolder, u"x", {}).error.number,
             int(tw::FileError::PathFileAccess));

    if (::geteuid() == 0)
        QSKIP("permissions do not bind the superuser");
    QTemporaryDir locked;
    const QString path = locked.filePath(QStringLiteral("old.txt"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old\n");
    }
    QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const tw::TextWriteResult written = tw::writeTextFile(path, u"new", {});
    QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                             | QFileDevice::ExeOwner);
    QCOMPARE(written.error.number, int(tw::FileError::PermissionDenied));
    QCOMPARE(readBytes(path), QByteArray("old\n"));
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "test_textfile.moc"
