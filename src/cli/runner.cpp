// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/runner.h"

#include "core/text/textfile.h"
#include "core/engine/formattext.h"
#include "core/engine/lineops.h"
#include "core/engine/linetools.h"
#include "core/engine/tabwrite.h"
#include "core/engine/textchars.h"

namespace tw::cli {

namespace {

// How much result is gathered before it is encoded and written: large enough
// that the writer works in big runs, small enough to stay in the cache.
constexpr qsizetype flushChars = 64 * 1024;
// Bytes of input per block for the operations that run block by block.
constexpr qint64 blockBytes = 512 * 1024;
// Format and the line tools write a block's result before they read the
// next, so their blocks are small enough for the decoded block and its result
// to stay in the cache.
constexpr qint64 smallBlockBytes = 64 * 1024;
// Bytes per piece for an operation that works on the file's bytes: its
// result is written out before the next piece is read.
constexpr qint64 byteBlockBytes = 256 * 1024;
// The line tools take a block in slices of this many units, so that even a
// single line of many megabytes is scanned and written a slice at a time.
constexpr qsizetype sliceUnits = 32 * 1024;

const QString crlfText = QStringLiteral("\r\n");

// The frame of the operation tabs, fed one line at a time. A long line goes
// to the writer as it is, not by way of the result buffer.
void streamLines(TextSource &source, TextSink &sink, LineOperation operation, LineGate gate)
{
    QString line;
    QString output;
    output.reserve(flushChars + 4096);
    const chars::UnitWriter::Spill spill = [&sink](QStringView piece) { sink.write(piece); };
    LineFrame frame(std::move(operation), gate, output);
    frame.passLongLinesTo(&spill, flushChars);
    while (source.nextLine(line)) {
        frame.addLine(line);
        if (output.size() >= flushChars) {
            sink.write(output);
            output.resize(0); // keeps the buffer, unlike clear()
        }
    }
    sink.write(output);
}

// Format reads its parameters once and takes the text a block of whole lines
// at a time, through one reused block and one reused result buffer, which
// hands the result to the writer as it fills: a block can give a result many
// times its size (spaces and a text after every section, pass after pass).
//
// The usual run (one ASCII delimiter, nothing added) written in the input's
// own format needs no decoding at all: it goes over the file's bytes.
QString streamFormat(TextSource &source, TextSink &sink, const FormatParams &params, bool sameFormat)
{
    const QByteArrayView lineBreak = source.format().lineEnds == LineEnds::Lf ? "\n" : "\r\n";
    if (const auto plain = PlainByteFormatter::make(params, lineBreak); plain && sameFormat) {
        // A piece's result stays well within what a run may make.
        static_assert(byteBlockBytes * 1000 < chars::maxResultLength);
        QByteArrayView bytes;
        QByteArray output;
        while (source.nextBytes(bytes, byteBlockBytes)) {
            output.resize(0);
            plain->addBytes(bytes, output);
            sink.writeBytes(output);
        }
        return {};
    }
    LineFormatter formatter(params);
    QString block;
    QString output;
    const chars::UnitWriter::Spill spill = [&sink](QStringView piece) { sink.write(piece); };
    while (source.nextBlock(block, smallBlockBytes)) {
        formatter.addLines(block, output, nullptr, &spill);
        if (formatter.tooLarge())
            return chars::tooLargeMessage();
        sink.write(output);
        output.resize(0); // keeps the buffer, unlike clear()
    }
    return {};
}

// The line tools look across line breaks; their scanner carries what it needs
// from one slice of the text to the next, so the text streams through as well.
QString streamLineTool(TextSource &source, TextSink &sink, LineToolScanner::Tool tool,
                       int startLineAfter)
{
    LineToolScanner scanner(tool, startLineAfter);
    QString block;
    QString output;
    output.reserve(flushChars + sliceUnits + 4096);
    const auto scan = [&](QStringView text) {
        while (!text.isEmpty()) {
            const QStringView slice = text.first(qMin(text.size(), sliceUnits));
            scanner.feed(slice, output);
            text = text.sliced(slice.size());
            if (output.size() >= flushChars) {
                sink.write(output);
                output.resize(0);
            }
        }
    };
    // The pieces of a line joined, and the lines joined with CR LF, are the
    // text: a single line of any length streams through as well.
    bool lineEnded = false;
    bool endsLine = true;
    while (source.nextPiece(block, smallBlockBytes, &endsLine)) {
        if (lineEnded)
            scan(crlfText);
        lineEnded = endsLine;
        scan(block);
        if (scanner.tooLarge())
            return chars::tooLargeMessage();
    }
    scanner.finish(output);
    if (scanner.tooLarge())
        return chars::tooLargeMessage();
    sink.write(output);
    return {};
}

// Create Line written in the input's own format drops the line breaks from
// the file's bytes as they stream by, without decoding them.
void streamCreateLineBytes(TextSource &source, TextSink &sink)
{
    ByteLineJoiner joiner(source.format().lineEnds == LineEnds::Lf ? "\n" : "\r\n");
    QByteArrayView bytes;
    QByteArray output;
    while (source.nextBytes(bytes, byteBlockBytes)) {
        output.resize(0);
        joiner.addBytes(bytes, output);
        sink.writeBytes(output);
    }
}

// Tabwrite treats every line on its own and never drops one, so the run over
// blocks of whole lines, joined with CR LF, is the run over the whole text:
// the header line once, then each block's lines. A row's spaces may make a
// line very long, so the result goes to the writer as it fills. An empty
// text has nothing to lay out and gets no header either.
QString streamTabwrite(TextSource &source, TextSink &sink, const ColumnSpecs &rows, int startAt)
{
    if (source.isEmpty())
        return {};
    const TabwriteLayout layout(rows, startAt);
    if (layout.headerLength() < 0)
        return chars::tooLargeMessage();
    const chars::UnitWriter::Spill spill = [&sink](QStringView piece) { sink.write(piece); };
    QString output;
    layout.writeHeader(output, &spill);
    output += crlfText;
    QString block;
    while (source.nextBlock(block, blockBytes)) {
        // A block too large to hold is refused before any of it is built.
        if (layout.linesLength(block, chars::maxResultLength) == -1)
            return chars::tooLargeMessage();
        layout.writeLines(block, output, nullptr, &spill);
        sink.write(output);
        output.resize(0);
        output += crlfText; // before the next block, if one comes
    }
    return {};
}

QString missingFieldMessage(const Invocation &in)
{
    const Parameters &p = in.parameters;
    switch (in.operation) {
    case Operation::Move: return moveMissingFieldMessage(p.move);
    case Operation::Add: return addMissingFieldMessage(p.add);
    case Operation::Replace: return replaceMissingFieldMessage(p.replace);
    case Operation::Delete: return deleteMissingFieldMessage(p.remove);
    default: return {};
    }
}

// Checks the operations make once there is text to process.
QString refusalForText(const Invocation &in)
{
    if (in.operation == Operation::Format) {
        const TextResult check = checkFormatParams(in.parameters.format);
        return check.refused() ? check.error : QString();
    }
    if (in.operation == Operation::Tabwrite) {
        const TextResult check = checkColumnSpecs(in.columns);
        return check.refused() ? check.error : QString();
    }
    return {};
}

// One run over the input read as asked. *misjudged: the input was read once
// and its first piece told the wrong format; what was written is taken back.
Outcome runReading(const Invocation &in, TextSource::Reading reading, bool *misjudged)
{
    Outcome outcome;
    const Parameters &p = in.parameters;

    TextSource source;
    if (const FileError error = source.open(in.input, reading))
        return {status::usage, error.description, {}};

    TextFormat format = source.format();
    if (!source.isEmpty()) {
        if (const QString refusal = refusalForText(in); !refusal.isEmpty())
            return {status::refused, refusal, {}};
        // A Windows-1252 input given a text it has no byte for is written as
        // UTF-8, rather than losing those characters.
        QStringList inserted = insertedTexts(p, in.operation);
        if (in.operation == Operation::Tabwrite) {
            for (const ColumnSpec &row : in.columns)
                inserted.append(row.column_heading);
        }
        if (format.encoding == TextEncoding::Windows1252) {
            for (const QString &text : std::as_const(inserted)) {
                if (!canEncode(text, TextEncoding::Windows1252)) {
                    format.encoding = TextEncoding::Utf8;
                    outcome.notice = QStringLiteral(
                        "the input is Windows-1252, which cannot hold '%1'; the result is written as UTF-8")
                                         .arg(text);
                    break;
                }
            }
        }
    }

    TextSink sink;
    if (const FileError error = sink.open(in.output, format))
        return {status::usage, error.description, {}};

    QString refusal;
    switch (in.operation) {
    case Operation::Move:
        streamLines(source, sink, moveOperation(p.move), moveGate(p.move));
        break;
    case Operation::Add:
        streamLines(source, sink, addOperation(p.add), addGate(p.add));
        break;
    case Operation::Replace:
        streamLines(source, sink, replaceOperation(p.replace), replaceGate(p.replace));
        break;
    case Operation::Delete:
        streamLines(source, sink, deleteOperation(p.remove), deleteGate(p.remove));
        break;
    case Operation::Format:
        refusal = streamFormat(source, sink, p.format, format == source.format());
        break;
    case Operation::Tabwrite:
        refusal = streamTabwrite(source, sink, in.columns, p.tabwrite.tabwriteStartLineAt);
        break;
    case Operation::JoinLines:
        refusal = streamLineTool(source, sink, LineToolScanner::Tool::JoinLines, 0);
        break;
    case Operation::CreateLine:
        if (format == source.format())
            streamCreateLineBytes(source, sink);
        else
            refusal = streamLineTool(source, sink, LineToolScanner::Tool::CreateLine, 0);
        break;
    case Operation::BreakLines:
        refusal = streamLineTool(source, sink, LineToolScanner::Tool::BreakEvery,
                                 p.lineTool.startLineAfter);
        break;
    }

    if (source.misjudged()) {
        sink.takeBack();
        *misjudged = true;
        return {};
    }
    if (!refusal.isEmpty()) {
        sink.cancel();
        return {status::refused, refusal, {}};
    }
    // A file that could not be read to its end gave only part of its text:
    // an output file keeps what it held.
    if (const FileError &error = source.error()) {
        sink.cancel();
        return {status::usage, error.description, {}};
    }
    if (const FileError error = sink.commit())
        return {status::usage, error.description, {}};
    return outcome;
}

} // namespace

Outcome run(const Invocation &in)
{
    // The operation tabs check their required field before they look at the
    // text, so an empty input is refused as well.
    if (const QString missing = missingFieldMessage(in); !missing.isEmpty())
        return {status::refused, missing, {}};
    // Reading a file twice, once for its format and once for its text, is a
    // fifth of a run; where what was written can be taken back, the file is
    // read once, its first piece telling the format, and only a file that
    // proves otherwise further on is read again.
    if (TextSink::canTakeBack(in.output)) {
        bool misjudged = false;
        Outcome outcome = runReading(in, TextSource::Reading::StreamOnce, &misjudged);
        if (!misjudged)
            return outcome;
    }
    bool misjudged = false;
    return runReading(in, TextSource::Reading::Stream, &misjudged);
}

} // namespace tw::cli
