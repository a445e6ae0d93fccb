// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textfile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>
#include <unistd.h>

// The reader and writer every text file goes through: the encoding and line
// ends are recognised, the working text has CR LF line breaks, and writing
// the text back gives the file's bytes exactly, whichever way it travels
// (whole, line by line, block by block, in pieces of any size).
class TestTextFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bytesAndText_data();
    void bytesAndText();
    void largeSources_data();
    void largeSources();
    void streamedAcrossReads_data();
    void streamedAcrossReads();
    void readOnceHeldToTheFirstPiece_data();
    void readOnceHeldToTheFirstPiece();
    void lfWriterNarrowsCrLfAnywhere_data();
    void lfWriterNarrowsCrLfAnywhere();
    void writing_data();
    void writing();
    void fileErrors_data();
    void fileErrors();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    QTemporaryDir m_dir;
};

Q_DECLARE_METATYPE(tw::TextFormat)

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

// Windows-1252 bytes 0x80-0x9F as characters; the five it leaves undefined
// stand for the C1 controls of the same number.
const char16_t cp1252High[] = u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039"
                              u"\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
                              u"\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178";

// The working text of bytes in a known encoding: an LF-only file's LFs are CR LF.
QString workingText(const QByteArray &bytes, tw::TextEncoding encoding)
{
    QString text;
    if (encoding == tw::TextEncoding::Utf8) {
        text = QString::fromUtf8(bytes);
    } else {
        for (char c : bytes) {
            const uchar b = uchar(c);
            text += b >= 0x80 && b < 0xA0 ? QChar(cp1252High[b - 0x80]) : QChar(b);
        }
    }
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

QString joinedLines(tw::TextSource &source)
{
    QStringList lines;
    QString line;
    while (source.nextLine(line))
        lines.append(line);
    return lines.join(QStringLiteral("\r\n"));
}

// The text a source gives, read the way kind says and joined back.
enum class ReadBy { Lines, Blocks, Pieces, Bytes };
QString readBack(const QString &path, tw::TextSource::Reading reading, ReadBy kind, qint64 size)
{
    tw::TextSource source;
    if (source.open(path, reading))
        return QStringLiteral("<not opened>");
    QString text;
    QString part;
    QByteArray bytes;
    QByteArrayView view;
    bool ended = true;
    bool first = true;
    switch (kind) {
    case ReadBy::Lines:
        return joinedLines(source);
    case ReadBy::Blocks:
        while (source.nextBlock(part, size)) {
            text += (first ? QString() : QStringLiteral("\r\n")) + part;
            first = false;
        }
        return text;
    case ReadBy::Pieces:
        for (bool endsLine = true; source.nextPiece(part, size, &endsLine); ended = endsLine) {
            if (ended && !first)
                text += QStringLiteral("\r\n");
            text += part;
            first = false;
        }
        return text;
    case ReadBy::Bytes:
        while (source.nextBytes(view, size))
            bytes += view;
        return tw::decodeText(bytes).text;
    }
    return {};
}

QByteArray writtenInPieces(const QString &text, const tw::TextFormat &format, qsizetype piece,
                           tw::FileError *error = nullptr)
{
    QByteArray out;
    tw::TextSink sink;
    sink.openBuffer(&out, format);
    for (qsizetype at = 0; at < text.size(); at += piece)
        sink.write(QStringView(text).mid(at, piece));
    const tw::FileError committed = sink.commit();
    if (error)
        *error = committed;
    return out;
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

void TestTextFile::bytesAndText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");
    QTest::addColumn<tw::TextFormat>("format");
    QTest::addColumn<QString>("text"); // null: the bytes decoded by the test's own rule

    const auto row = [](const char *tag, const QByteArray &bytes, tw::TextEncoding encoding, tw::LineEnds lineEnds,
                        const QString &text = {}, bool bom = false) {
        QTest::newRow(tag) << bytes << 0 << tw::TextFormat{encoding, bom, lineEnds} << text;
    };
    const auto notText = [](const char *tag, const QByteArray &bytes) {
        QTest::newRow(tag) << bytes << int(tw::FileError::InvalidFileFormat) << tw::TextFormat() << QString();
    };
    const auto utf8 = tw::TextEncoding::Utf8;
    const auto cp1252 = tw::TextEncoding::Windows1252;
    const auto lf = tw::LineEnds::Lf;
    const auto asIs = tw::LineEnds::AsIs;
    const QByteArray longLines = linesOfEveryLength("\n");

    row("UTF-8, CR LF", "h\xC3\xA9llo\r\nw\xC3\xB6rld\r\n", utf8, asIs, QStringLiteral("h\u00E9llo\r\nw\u00F6rld\r\n"));
    row("UTF-8 with BOM: the BOM is not text", "\xEF\xBB\xBF" "caf\xC3\xA9\nx", utf8, lf,
        QStringLiteral("caf\u00E9\r\nx"), true);
    row("BOM alone", "\xEF\xBB\xBF", utf8, lf, QString(), true);
    row("Windows-1252, every byte 0x80-0xFF", allHighBytes() + "\r\n", cp1252, asIs,
        QString::fromUtf16(cp1252High) + QString::fromLatin1(allHighBytes().mid(0x20)) + QStringLiteral("\r\n"));
    row("LF only: every LF is a line break", "a\nb\n\nc", utf8, lf, QStringLiteral("a\r\nb\r\n\r\nc"));
    row("mixed: lone LF and lone CR stay in their lines", "a\nb\r\nc\rd\n", utf8, asIs,
        QStringLiteral("a\nb\r\nc\rd\n"));
    row("lone CR only", "a\rb\r", utf8, asIs, QStringLiteral("a\rb\r"));
    row("empty file", QByteArray(), utf8, lf);
    row("non-BMP UTF-8", "x\xF0\x9F\x98\x80y\n", utf8, lf, QString::fromUtf8("x\xF0\x9F\x98\x80y\r\n"));
    row("overlong UTF-8 form is Windows-1252", "\xC0\xAF", cp1252, lf, QStringLiteral("\u00C0\u00AF"));
    row("encoded surrogate is Windows-1252", "\xED\xA0\x80", cp1252, lf, QStringLiteral("\u00ED\u00A0\u20AC"));
    row("BOM then invalid bytes: the BOM's bytes are text", "\xEF\xBB\xBF\xFF", cp1252, lf,
        QStringLiteral("\u00EF\u00BB\u00BF\u00FF"));

    // Past the fast paths' first steps: each kind of byte late in a file.
    row("invalid UTF-8 late, LF only", longLines + asciiRun(3000) + "\x80" + longLines, cp1252, lf);
    row("invalid UTF-8 late, a CR only after it", asciiRun(3000) + "\xC3(" + asciiRun(100) + "\r\n", cp1252, asIs);
    row("UTF-8 cut short as the very last byte", longLines + "\xE2\x82", cp1252, lf);
    row("overlong form late", longLines + "\xE0\x80\xAF" + longLines, cp1252, lf);
    row("CR only within the first bytes", QByteArray("a\rb") + asciiRun(5000), utf8, asIs);
    row("CR only late, after UTF-8 characters", longLines + "\xF0\x9F\x98\x80" + asciiRun(500) + "\r", utf8, asIs);
    const QByteArray straddling = asciiRun(63) + "\xE2\x82\xAC" + asciiRun(61) + "\xF0\x9F\x98\x80\n";
    row("UTF-8 characters across the 64-byte steps", straddling + straddling + longLines, utf8, lf);
    // Two-byte characters are checked 16 bytes at a time: among them, one
    // cut short, an overlong one, a stray continuation byte, a longer one.
    QByteArray twoByte;
    for (int k = 0; k < 60; ++k)
        twoByte += k % 3 ? "\xD0\xBF" : "\xD1\x80 ";
    row("two-byte characters across the 16-byte steps", twoByte + "\n" + twoByte, utf8, lf);
    row("a lead byte without its continuation among two-byte ones", twoByte + "\xD0" "a" + twoByte, cp1252, lf);
    row("an overlong form among two-byte characters", twoByte + "\xC1\xBF" + twoByte, cp1252, lf);
    row("a stray continuation byte among two-byte characters", twoByte + "\xBF" + twoByte, cp1252, lf);
    row("a three-byte character among two-byte ones", twoByte + "\xE2\x82\xAC" + twoByte + "\r\n", utf8, asIs);
    row("LF at every place of a 16-byte step", longLines, utf8, lf);
    row("CR LF at every place of a 16-byte step", linesOfEveryLength("\r\n"), utf8, asIs);
    row("empty lines only", QByteArray(200, '\n'), utf8, lf);
    row("Windows-1252 between LF lines", longLines + "\xE9\xE8\n\x80" + longLines + "\xFF", cp1252, lf);

    // A NUL anywhere: not a text file (that is what UTF-16 looks like).
    notText("NUL", QByteArray("ab\0cd", 5));
    notText("UTF-16", QByteArray("\xFF\xFE" "a\0b\0", 6));
    notText("NUL far after a long ASCII run", asciiRun(5000) + QByteArray("x\0y", 3));
    notText("NUL as the very last byte", asciiRun(640) + QByteArray(1, '\0'));
    notText("NUL after UTF-8 characters",
            asciiRun(300) + "\xC3\xA9\xE2\x82\xAC" + asciiRun(300) + QByteArray("\0", 1));
    notText("NUL after an invalid byte", asciiRun(300) + "\xFF" + asciiRun(300) + QByteArray("\0z", 2));
}

void TestTextFile::bytesAndText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QFETCH(tw::TextFormat, format);
    QFETCH(QString, text);
    if (text.isNull() && !error && !format.byteOrderMark)
        text = workingText(bytes, format.encoding);

    const QString path = writeFile(QStringLiteral("in.txt"), bytes);
    const tw::TextFileContent content = tw::readTextFile(path);
    const tw::TextFileContent decoded = tw::decodeText(bytes);
    tw::TextSource source;
    const tw::FileError opened = source.open(path);
    QCOMPARE(content.error.number, error);
    QCOMPARE(decoded.error.number, error);
    QCOMPARE(opened.number, error);
    if (error) {
        QVERIFY2(content.error.description.contains(QLatin1String("not a text file")),
                 qPrintable(content.error.description));
        QVERIFY(content.text.isEmpty());
        QVERIFY(decoded.text.isEmpty());
        return;
    }

    QCOMPARE(content.format, format);
    QCOMPARE(decoded.format, format);
    QCOMPARE(source.format(), format);
    QCOMPARE(content.text, text);
    QCOMPARE(decoded.text, text);
    QCOMPARE(content.byteSize, bytes.size());
    QCOMPARE(source.isEmpty(), text.isEmpty());

    // Lines, and blocks of whole lines of any size, joined with CR LF are the
    // working text; an empty text has no line at all.
    QCOMPARE(joinedLines(source), text);
    for (qint64 blockBytes : {1, 2, 5, 17, 100, 4096, 1 << 20}) {
        tw::TextSource blocks;
        QVERIFY(!blocks.open(path));
        QString block;
        QStringList pieces;
        while (blocks.nextBlock(block, blockBytes))
            pieces.append(block);
        QCOMPARE(pieces.join(QStringLiteral("\r\n")), text);
    }

    // Read again as a stream, through a buffer a piece at a time: the same.
    for (qint64 size : {1, 5, 4096}) {
        QCOMPARE(readBack(path, tw::TextSource::Reading::Stream, ReadBy::Lines, 0), text);
        QCOMPARE(readBack(path, tw::TextSource::Reading::Stream, ReadBy::Blocks, size), text);
        QCOMPARE(readBack(path, tw::TextSource::Reading::Stream, ReadBy::Pieces, size), text);
    }
    // The format learnt from the bytes in two pieces cut anywhere.
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        tw::FormatScanner scanner;
        const qint64 taken = scanner.feed(QByteArrayView(bytes).first(cut), false);
        QVERIFY(taken <= cut && taken >= cut - 3);
        scanner.feed(QByteArrayView(bytes).sliced(taken), true);
        tw::TextFormat pieces;
        qint64 bom = 0;
        QVERIFY(!scanner.result(QString(), &pieces, &bom));
        QCOMPARE(pieces, format);
    }

    // Written back whole, to a file, or in pieces that may end between CR and
    // LF or inside a surrogate pair: the same bytes.
    const QString out = m_dir.filePath(QStringLiteral("out.txt"));
    const tw::TextWriteResult written = tw::writeTextFile(out, text, format);
    QVERIFY2(!written.error, qPrintable(written.error.description));
    QCOMPARE(written.written, format);
    QCOMPARE(readBytes(out), bytes);
    QCOMPARE(tw::encodeText(text, format), bytes);
    for (qsizetype piece : {1, 2, 3, 7, 15, 16, 17, 33})
        QCOMPARE(writtenInPieces(text, format, piece), bytes);
}

void TestTextFile::largeSources_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<int>("encoding");

    // A text of several writer buffers mixing every kind of character and
    // line end; a file beyond the size from which it is read rather than
    // mapped; a pipe beyond the room it starts with, so its memory grows.
    enum { Mixed, File, Pipe };
    const int utf8 = int(tw::TextEncoding::Utf8);
    const int cp1252 = int(tw::TextEncoding::Windows1252);
    QTest::newRow("mixed characters and line ends") << int(Mixed) << QByteArray() << utf8;
    QTest::newRow("mixed, one stray byte at its end") << int(Mixed) << QByteArray("\xFF") << cp1252;
    QTest::newRow("large file") << int(File) << QByteArray("\xC3\xA9 end\n") << utf8;
    QTest::newRow("large file, one stray byte at its end") << int(File) << QByteArray("\xE9") << cp1252;
    QTest::newRow("large pipe") << int(Pipe) << QByteArray("\xE2\x82\xAC end") << utf8;
    QTest::newRow("large pipe, one stray byte at its end") << int(Pipe) << QByteArray("\x9D\n") << cp1252;
}

void TestTextFile::largeSources()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, tail);
    QFETCH(int, encoding);
    enum { Mixed, File, Pipe };

    QByteArray bytes;
    if (kind == Mixed) {
        const char *pieces[] = {"plain ascii text ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                                "\r\n", "\n", "\r", "0123456789012345678901234567890"};
        QRandomGenerator random(20240501);
        while (bytes.size() < 900 * 1024)
            bytes += pieces[random.bounded(int(std::size(pieces)))];
    } else {
        const QByteArray lines = linesOfEveryLength("\n");
        bytes.reserve(35 * 1024 * 1024);
        while (bytes.size() < (kind == Pipe ? 34 : 17) * 1024 * 1024)
            bytes += lines;
    }
    bytes += tail;

    tw::TextSource source;
    if (kind != Pipe) {
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
    const QString text = source.readAll();
    QVERIFY(text == workingText(bytes, tw::TextEncoding(encoding)));
    QVERIFY(tw::encodeText(text, source.format()) == bytes);
}

void TestTextFile::streamedAcrossReads_data()
{
    QTest::addColumn<QByteArray>("feature");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("CR LF") << QByteArray("\r\n") << QByteArray("\r\n");
    QTest::newRow("LF only") << QByteArray("\n") << QByteArray("\n");
    QTest::newRow("lone CR") << QByteArray("\r") << QByteArray("\r\n");
    QTest::newRow("lone LF among CR LF") << QByteArray("\n") << QByteArray("\r\n");
    QTest::newRow("BMP") << QByteArray("\xC3\xA9\xE2\x82\xAC") << QByteArray("\n");
    QTest::newRow("non-BMP, a surrogate pair") << QByteArray("\xF0\x9F\x98\x80") << QByteArray("\r\n");
    QTest::newRow("Windows-1252") << QByteArray("\xE9\x80") << QByteArray("\n");
}

// A streamed file is read in pieces of 256 KB: a line break, a character
// or a pair cut by the end of one gives the same text as the file read
// whole, however it is taken.
void TestTextFile::streamedAcrossReads()
{
    QFETCH(QByteArray, feature);
    QFETCH(QByteArray, lineEnd);
    constexpr qsizetype read = 256 * 1024;
    for (qsizetype before : {read - 4, read - 3, read - 2, read - 1, read, 2 * read - 1}) {
        const QByteArray bytes = asciiRun(before) + feature + asciiRun(100) + lineEnd + asciiRun(read) + feature
            + lineEnd + "end";
        const QString path = writeFile(QStringLiteral("across.txt"), bytes);
        const tw::TextFileContent whole = tw::readTextFile(path);
        QVERIFY(!whole.error);
        const auto stream = tw::TextSource::Reading::Stream;
        QCOMPARE(readBack(path, stream, ReadBy::Lines, 0), whole.text);
        QCOMPARE(readBack(path, stream, ReadBy::Blocks, 1000), whole.text);
        QCOMPARE(readBack(path, stream, ReadBy::Blocks, 3 * read), whole.text);
        QCOMPARE(readBack(path, stream, ReadBy::Pieces, 4097), whole.text);
        QCOMPARE(readBack(path, stream, ReadBy::Bytes, 4097), whole.text);
        QCOMPARE(readBack(path, tw::TextSource::Reading::Whole, ReadBy::Bytes, 4097), whole.text);
    }
}

void TestTextFile::readOnceHeldToTheFirstPiece_data()
{
    QTest::addColumn<QByteArray>("late");
    QTest::addColumn<bool>("misjudged");
    QTest::newRow("nothing new") << QByteArray("more\n") << false;
    QTest::newRow("BMP stays UTF-8") << QByteArray("caf\xC3\xA9\n") << false;
    QTest::newRow("a CR") << QByteArray("x\r\n") << true;
    QTest::newRow("a byte that is not UTF-8") << QByteArray("caf\xE9\n") << true;
    QTest::newRow("a NUL") << QByteArray("x\0y\n", 4) << true;
}

// Read once, a file's first piece tells its format, and the rest is held to
// it: a later piece that tells otherwise ends the reading as misjudged, so
// that the caller reads again; otherwise the text is the file's.
void TestTextFile::readOnceHeldToTheFirstPiece()
{
    QFETCH(QByteArray, late);
    QFETCH(bool, misjudged);
    QByteArray bytes;
    while (bytes.size() < 300 * 1024)
        bytes += asciiRun(60) + "\n";
    const QString path = writeFile(QStringLiteral("late.txt"), bytes + late + "end");
    tw::TextSource once;
    QVERIFY(!once.open(path, tw::TextSource::Reading::StreamOnce));
    QString line;
    QStringList lines;
    while (once.nextLine(line))
        lines.append(line);
    QCOMPARE(once.misjudged(), misjudged);
    QCOMPARE(bool(once.error()), misjudged);
    if (!misjudged)
        QCOMPARE(lines.join(QStringLiteral("\r\n")), tw::readTextFile(path).text);
    // Read twice, the same file is taken for what it is.
    tw::TextSource twice;
    const tw::FileError opened = twice.open(path, tw::TextSource::Reading::Stream);
    QCOMPARE(bool(opened), late.contains('\0'));
    QVERIFY(!twice.misjudged());
}

void TestTextFile::lfWriterNarrowsCrLfAnywhere_data()
{
    QTest::addColumn<QString>("text");

    const QString run = QString::fromLatin1(asciiRun(40));
    QTest::newRow("several CR LF in one step") << QStringLiteral("a\r\n\r\nb\r\nc\r\n\r\n\r\nd") + run;
    QTest::newRow("CR LF where one step ends and the next begins") << run.left(15) + QStringLiteral("\r\n") + run;
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
    // An LF file is written with each CR LF narrowed to LF, a lone CR kept,
    // wherever the pieces end.
    QString expected = text;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (qsizetype piece : {1, 2, 15, 16, 17, 31, 32, 33, 1000})
        QCOMPARE(writtenInPieces(text, tw::TextFormat(), piece), expected.toUtf8());
}

void TestTextFile::writing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("onDisk");
    QTest::addColumn<int>("writtenAs");
    QTest::addColumn<QString>("streamRefusal"); // what the streaming writer says, which cannot change its mind

    const int utf8 = int(tw::TextEncoding::Utf8);
    const int cp1252 = int(tw::TextEncoding::Windows1252);
    QTest::newRow("a text from no file: UTF-8 with LF") << QStringLiteral("caf\u00E9\r\nline\r\n") << utf8 << 0
                                                        << QByteArray("caf\xC3\xA9\nline\n") << utf8 << QString();
    QTest::newRow("Windows-1252 keeps its bytes") << QStringLiteral("caf\u00E9 \u20AC\r\n") << cp1252 << 0
                                                  << QByteArray("caf\xE9 \x80\n") << cp1252 << QString();
    QTest::newRow("Windows-1252 that no longer fits is saved as UTF-8")
        << QStringLiteral("caf\u00E9 \u2192\r\n") << cp1252 << 0 << QByteArray("caf\xC3\xA9 \xE2\x86\x92\n") << utf8
        << QStringLiteral("The text holds the character U+2192 (at character 6), which Windows-1252 cannot hold");
    QTest::newRow("an unpaired surrogate is refused, the old file kept")
        << QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") << utf8 << int(tw::FileError::InvalidFileFormat)
        << QByteArray("old\n") << utf8 << QStringLiteral("The text holds a broken character");
    QTest::newRow("a text ending in half a pair") << QStringLiteral("a") + QChar(0xD800) << utf8
                                                  << int(tw::FileError::InvalidFileFormat) << QByteArray("old\n")
                                                  << utf8 << QStringLiteral("The text ends in a broken character");
}

void TestTextFile::writing()
{
    QFETCH(QString, text);
    QFETCH(int, encoding);
    QFETCH(int, error);
    QFETCH(QByteArray, onDisk);
    QFETCH(int, writtenAs);
    QFETCH(QString, streamRefusal);

    const tw::TextFormat format{tw::TextEncoding(encoding), false, tw::LineEnds::Lf};
    const QString path = writeFile(QStringLiteral("old.txt"), "old\n");
    const tw::TextWriteResult written = tw::writeTextFile(path, text, format);
    QCOMPARE(written.error.number, error);
    QCOMPARE(int(written.written.encoding), writtenAs);
    QCOMPARE(readBytes(path), onDisk);
    QCOMPARE(tw::canEncode(text, format.encoding), streamRefusal.isEmpty());

    tw::FileError streamed;
    writtenInPieces(text, format, 1, &streamed);
    QCOMPARE(streamed.failed(), !streamRefusal.isEmpty());
    QVERIFY2(streamed.description.startsWith(streamRefusal), qPrintable(streamed.description));
}

void TestTextFile::fileErrors_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("path"); // under the test's folder
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("says");

    const int access = tw::FileError::PathFileAccess;
    QTest::newRow("reading a missing file") << false << "missing.txt" << access << "no such file";
    QTest::newRow("reading a folder") << false << "." << access << "is a folder, not a file";
    QTest::newRow("writing into a missing folder") << true << "no/such/x.txt" << access << "no such folder";
    QTest::newRow("writing over a folder") << true << "." << access << "is a folder, not a file";
    // Fails for every user, the superuser included: the folder is a file.
    QTest::newRow("writing under a file") << true << "plain.txt/x.txt" << access << "cannot be written";
}

void TestTextFile::fileErrors()
{
    QFETCH(bool, write);
    QFETCH(QString, path);
    QFETCH(int, number);
    QFETCH(QString, says);

    const QString plain = writeFile(QStringLiteral("plain.txt"), "old\n");
    const QString full = QDir(m_dir.path()).filePath(path);
    const tw::FileError error = write ? tw::writeTextFile(full, u"new", {}).error : tw::readTextFile(full).error;
    QCOMPARE(error.number, number);
    QVERIFY2(error.description.contains(says), qPrintable(error.description));
    QCOMPARE(readBytes(plain), QByteArray("old\n"));
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "test_textfile.moc"
