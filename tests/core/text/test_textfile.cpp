// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textfile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <thread>
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
    void longFiles_data();
    void longFiles();
    void largeSources_data();
    void largeSources();
    void lfWriterNarrowsCrLfAnywhere_data();
    void lfWriterNarrowsCrLfAnywhere();
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

QByteArray asciiRun(qsizetype length)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < length; ++i)
        bytes.append(char('a' + i % 26));
    return bytes;
}

// Lines of every length from 0 to 40, so that line breaks fall at every place
// of the 16- and 64-byte steps of the fast paths.
QByteArray linesOfEveryLength(const char *lineEnd)
{
    QByteArray bytes;
    for (int length = 0; length <= 40; ++length)
        bytes += asciiRun(length) + lineEnd;
    return bytes;
}

// The working text of bytes known to be UTF-8: an LF-only file's LFs are CR LF.
QString workingText(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (!bytes.contains('\r'))
        text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
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

void TestTextFile::longFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("lineEnds");

    const int none = int(tw::FileError::None);
    const int notText = int(tw::FileError::InvalidFileFormat);
    const int utf8 = int(tw::TextEncoding::Utf8);
    const int cp1252 = int(tw::TextEncoding::Windows1252);
    const int lf = int(tw::LineEnds::Lf);
    const int asIs = int(tw::LineEnds::AsIs);
    const QByteArray longLines = linesOfEveryLength("\n");

    QTest::newRow("NUL far after a long ASCII run")
        << asciiRun(5000) + QByteArray("x\0y", 3) << notText << utf8 << lf;
    QTest::newRow("NUL as the very last byte")
        << asciiRun(640) + QByteArray(1, '\0') << notText << utf8 << lf;
    QTest::newRow("NUL after UTF-8 characters")
        << asciiRun(300) + "\xC3\xA9\xE2\x82\xAC" + asciiRun(300) + QByteArray("\0", 1)
        << notText << utf8 << lf;
    QTest::newRow("NUL after an invalid byte")
        << asciiRun(300) + "\xFF" + asciiRun(300) + QByteArray("\0z", 2) << notText << utf8 << lf;
    QTest::newRow("invalid UTF-8 late, LF only")
        << longLines + asciiRun(3000) + "\x80" + longLines << none << cp1252 << lf;
    QTest::newRow("invalid UTF-8 late, a CR only after it")
        << asciiRun(3000) + "\xC3(" + asciiRun(100) + "\r\n" << none << cp1252 << asIs;
    QTest::newRow("UTF-8 cut short as the very last byte")
        << longLines + "\xE2\x82" << none << cp1252 << lf;
    QTest::newRow("overlong form late")
        << longLines + "\xE0\x80\xAF" + longLines << none << cp1252 << lf;
    QTest::newRow("CR only within the first bytes")
        << QByteArray("a\rb") + asciiRun(5000) << none << utf8 << asIs;
    QTest::newRow("CR only late, after UTF-8 characters")
        << longLines + "\xF0\x9F\x98\x80" + asciiRun(500) + "\r" << none << utf8 << asIs;
    QByteArray straddling = asciiRun(63) + "\xE2\x82\xAC" + asciiRun(61) + "\xF0\x9F\x98\x80\n";
    QTest::newRow("UTF-8 characters across the 64-byte steps")
        << straddling + straddling + longLines << none << utf8 << lf;
    QTest::newRow("LF at every place of a 16-byte step") << longLines << none << utf8 << lf;
    QTest::newRow("CR LF at every place of a 16-byte step")
        << linesOfEveryLength("\r\n") << none << utf8 << asIs;
    QTest::newRow("empty lines only") << QByteArray(200, '\n') << none << utf8 << lf;
    QTest::newRow("Windows-1252 between LF lines")
        << longLines + "\xE9\xE8\n\x80" + longLines + "\xFF" << none << cp1252 << lf;
}

void TestTextFile::longFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QFETCH(int, encoding);
    QFETCH(int, lineEnds);

    const QString path = writeFile(QStringLiteral("long.txt"), bytes);
    const tw::TextFileContent content = tw::readTextFile(path);
    const tw::TextFileContent decoded = tw::decodeText(bytes);
    QCOMPARE(content.error.number, error);
    QCOMPARE(decoded.error.number, error);
    if (error) {
        QVERIFY(content.text.isEmpty());
        QVERIFY(decoded.text.isEmpty());
        tw::TextSource source;
        QCOMPARE(source.open(path).number, error);
        return;
    }
    QCOMPARE(int(content.format.encoding), encoding);
    QCOMPARE(int(content.format.lineEnds), lineEnds);
    QCOMPARE(decoded.format, content.format);
    QCOMPARE(decoded.text, content.text);
    if (encoding == int(tw::TextEncoding::Utf8))
        QCOMPARE(content.text, workingText(bytes));
    else
        QCOMPARE(content.text.size(),
                 bytes.size() + (lineEnds == int(tw::LineEnds::Lf) ? bytes.count('\n') : 0));

    // Lines and blocks of every size give the same text.
    tw::TextSource source;
    QVERIFY(!source.open(path));
    QStringList lines;
    QString line;
    while (source.nextLine(line))
        lines.append(line);
    QCOMPARE(lines.join(QStringLiteral("\r\n")), content.text);
    for (qint64 blockBytes : {1, 17, 100, 4096}) {
        tw::TextSource blocks;
        QVERIFY(!blocks.open(path));
        QString block;
        QStringList pieces;
        while (blocks.nextBlock(block, blockBytes))
            pieces.append(block);
        QCOMPARE(pieces.join(QStringLiteral("\r\n")), content.text);
    }

    QCOMPARE(tw::encodeText(content.text, content.format), bytes);
    for (qsizetype piece : {1, 15, 16, 17, 33}) {
        QByteArray out;
        tw::TextSink sink;
        sink.openBuffer(&out, content.format);
        for (qsizetype at = 0; at < content.text.size(); at += piece)
            sink.write(QStringView(content.text).mid(at, piece));
        QVERIFY(!sink.commit());
        QCOMPARE(out, bytes);
    }
}

void TestTextFile::largeSources_data()
{
    QTest::addColumn<bool>("pipe");
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<int>("encoding");

    // Beyond the size from which a file is read rather than mapped, and
    // beyond the room a pipe starts with, so that its memory has to grow.
    const int utf8 = int(tw::TextEncoding::Utf8);
    const int cp1252 = int(tw::TextEncoding::Windows1252);
    QTest::newRow("large file") << false << QByteArray("\xC3\xA9 end\n") << utf8;
    QTest::newRow("large file, one stray byte at its end") << false << QByteArray("\xE9") << cp1252;
    QTest::newRow("large pipe") << true << QByteArray("\xE2\x82\xAC end") << utf8;
    QTest::newRow("large pipe, one stray byte at its end") << true << QByteArray("\x9D\n") << cp1252;
}

void TestTextFile::largeSources()
{
    QFETCH(bool, pipe);
    QFETCH(QByteArray, tail);
    QFETCH(int, encoding);

    const QByteArray line = linesOfEveryLength("\n");
    QByteArray bytes;
    bytes.reserve(35 * 1024 * 1024);
    while (bytes.size() < (pipe ? 34 : 17) * 1024 * 1024)
        bytes += line;
    bytes += tail;

    tw::TextSource source;
    if (!pipe) {
        QVERIFY(!source.open(writeFile(QStringLiteral("large-source.txt"), bytes)));
    } else {
        // Standard input becomes the read end of a pipe that a thread fills.
        int ends[2];
        QVERIFY(::pipe(ends) == 0);
        const int savedStdin = ::dup(STDIN_FILENO);
        QVERIFY(savedStdin >= 0);
        QVERIFY(::dup2(ends[0], STDIN_FILENO) == STDIN_FILENO);
        ::close(ends[0]);
        std::thread writer([&] {
            for (qsizetype at = 0; at < bytes.size();) {
                const ssize_t put = ::write(ends[1], bytes.constData() + at, size_t(bytes.size() - at));
                if (put <= 0)
                    break;
                at += put;
            }
            ::close(ends[1]);
        });
        const tw::FileError opened = source.open(QStringLiteral("-"));
        writer.join();
        ::dup2(savedStdin, STDIN_FILENO);
        ::close(savedStdin);
        QVERIFY2(!opened, qPrintable(opened.description));
    }
    QCOMPARE(source.byteSize(), bytes.size());
    QCOMPARE(int(source.format().encoding), encoding);
    QCOMPARE(source.format().lineEnds, tw::LineEnds::Lf);
    const QString text = source.readAll();
    if (encoding == int(tw::TextEncoding::Utf8))
        QCOMPARE(text, workingText(bytes));
    QCOMPARE(tw::encodeText(text, source.format()), bytes);
}

void TestTextFile::lfWriterNarrowsCrLfAnywhere_data()
{
    QTest::addColumn<QString>("text");

    const QString run = QString::fromLatin1(asciiRun(40));
    QTest::newRow("CR LF at every place of a 16-character step")
        << QString::fromLatin1(linesOfEveryLength("\r\n"));
    QTest::newRow("several CR LF in one step") << QStringLiteral("a\r\n\r\nb\r\nc\r\n\r\n\r\nd") + run;
    QTest::newRow("CR LF where one step ends and the next begins")
        << run.left(15) + QStringLiteral("\r\n") + run;
    QTest::newRow("lone CRs stay") << run.left(7) + QStringLiteral("\r\r\rx\r") + run + QStringLiteral("\r");
    QTest::newRow("CR CR LF") << run.left(14) + QStringLiteral("\r\r\n") + run;
    QTest::newRow("LF CR") << run + QStringLiteral("\n\r") + run + QStringLiteral("\n\r");
    QTest::newRow("CR last after a long run") << run + run + QStringLiteral("\r");
    QTest::newRow("CR LF last after a long run") << run + run + QStringLiteral("\r\n");
    QTest::newRow("CR LF next to non-ASCII")
        << run.left(13) + QStringLiteral("\u00E9\r\n\u20AC\r\n") + run + QStringLiteral("\r\n\u00E9");
}

void TestTextFile::lfWriterNarrowsCrLfAnywhere()
{
    QFETCH(QString, text);
    // An LF file is written with each CR LF narrowed to LF, a lone CR kept.
    QString expectedText = text;
    expectedText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray expected = expectedText.toUtf8();
    const tw::TextFormat format; // UTF-8, LF
    QCOMPARE(tw::encodeText(text, format), expected);
    // Pieces may end anywhere, between CR and LF included.
    for (qsizetype piece : {1, 2, 15, 16, 17, 31, 32, 33}) {
        QByteArray out;
        tw::TextSink sink;
        sink.openBuffer(&out, format);
        for (qsizetype at = 0; at < text.size(); at += piece)
            sink.write(QStringView(text).mid(at, piece));
        QVERIFY(!sink.commit());
        QCOMPARE(out, expected);
    }
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
