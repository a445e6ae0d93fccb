// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the text engine and the file reader: any bytes as a
// file, any field values, every operation. A crash, a sanitizer report, a run
// past libFuzzer's -timeout or past its memory limit is a finding. The reader
// must also give back exactly the bytes it read, and Format must know the size
// of its result before building it: the counted size is the built size, a
// result past the limit is refused without the memory it would take, and the
// result built a piece at a time through a small buffer (as the command line
// writes it) is the result built whole.
//
// .ci/run runs it for a minute over bench/fuzz/corpus with a 2 GB memory
// limit; bench/fuzz/make_seeds.py writes the corpus's first inputs.

#include "core/text/textfile.h"
#include "core/engine/formattext.h"
#include "core/engine/lineops.h"
#include "core/engine/linetools.h"
#include "core/engine/tabwrite.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

// Results up to this many units are built and compared; larger ones are only
// counted, which keeps each input quick.
constexpr qsizetype builtUnits = qsizetype(1) << 18;

namespace {

QString fuzzedText(FuzzedDataProvider &data, size_t maxBytes)
{
    // Short texts built from the characters the operations care about, so
    // the interesting comparisons happen often.
    static const char16_t alphabet[] = {u'a', u'b', u' ', u'\r', u'\n', u',', u';', u'x',
                                        0x00E9, 0xD83D, 0xDE00, u'"', u'|', u'\t'};
    QString text;
    const size_t length = data.ConsumeIntegralInRange<size_t>(0, maxBytes);
    for (size_t i = 0; i < length && data.remaining_bytes() > 0; ++i)
        text += QChar(alphabet[data.ConsumeIntegralInRange<size_t>(0, std::size(alphabet) - 1)]);
    return text;
}

QString pick(FuzzedDataProvider &data, std::initializer_list<const char *> entries)
{
    if (data.ConsumeBool())
        return fuzzedText(data, 4);
    const auto index = data.ConsumeIntegralInRange<size_t>(0, entries.size() - 1);
    return QString::fromLatin1(entries.begin()[index]);
}

int number(FuzzedDataProvider &data)
{
    return data.ConsumeIntegralInRange<int>(0, 999);
}

void checkReaderRoundTrip(const uint8_t *bytes, size_t size)
{
    const QByteArrayView view(reinterpret_cast<const char *>(bytes), qsizetype(size));
    const tw::TextFileContent content = tw::decodeText(view);
    if (content.error)
        return;
    tw::FileError error;
    const QByteArray again = tw::encodeText(content.text, content.format, &error);
    if (error || again != view)
        std::abort();
}

// Format's promises about the size of its result; split is where the text is
// cut in two pieces of whole lines for the piecewise run.
void checkFormat(const QString &text, const tw::FormatParams &p, qsizetype split)
{
    const qsizetype length = tw::formatResultLength(text, p);
    if (length > builtUnits)
        return;
    const tw::TextResult whole = tw::formatText(text, p);
    if (length < 0) {
        // Past the limit: refused, without building it.
        if (whole.error != tw::chars::tooLargeMessage())
            std::abort();
        return;
    }
    if (whole.refused())
        return; // refused for its parameters
    if (whole.text.size() != length)
        std::abort();

    // The same text in two pieces of whole lines, through a spilling buffer.
    const qsizetype cut = text.indexOf(u"\r\n", split);
    const QStringView first = cut < 0 ? QStringView(text) : QStringView(text).first(cut);
    tw::LineFormatter formatter(p);
    QString pieces;
    QString buffer;
    const tw::chars::UnitWriter::Spill spill = [&pieces](QStringView piece) { pieces += piece; };
    formatter.addLines(first, buffer, nullptr, &spill);
    pieces += buffer;
    if (cut >= 0) {
        buffer.clear();
        formatter.addLines(QStringView(text).sliced(cut + 2), buffer, nullptr, &spill);
        pieces += buffer;
    }
    if (formatter.tooLarge() || pieces != whole.text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    checkReaderRoundTrip(bytes, size);

    FuzzedDataProvider data(bytes, size);
    const int operation = data.ConsumeIntegralInRange<int>(0, 8);
    const QString text = fuzzedText(data, 256);

    switch (operation) {
    case 0: {
        tw::MoveParams p;
        p.textToMove = pick(data, {"General Move", "Specific Move"});
        p.moveSpecificText = fuzzedText(data, 3);
        p.moveFromCol = number(data);
        p.moveNumOfChars = number(data);
        p.moveToCol = number(data);
        p.moveEndOfLine = data.ConsumeBool();
        p.moveOptions = pick(data, {"Add spaces", "Omit spaces"});
        p.moveSpaces = number(data);
        p.movePlaceSpaces = pick(data, {"Both sides", "Left side", "Right side"});
        tw::runLineFrame(text, tw::moveOperation(p), tw::moveGate(p));
        break;
    }
    case 1: {
        tw::AddParams p;
        p.addText = fuzzedText(data, 3);
        p.addIfContains = pick(data, {"\r\n", ""});
        p.addAtCol = number(data);
        p.addEndOfLine = data.ConsumeBool();
        p.addOptions = pick(data, {"Add spaces", "Omit spaces"});
        p.addSpaces = number(data);
        p.addPlaceSpaces = pick(data, {"Both sides", "Left side", "Right side"});
        tw::runLineFrame(text, tw::addOperation(p), tw::addGate(p));
        break;
    }
    case 2: {
        tw::ReplaceParams p;
        p.replaceText = pick(data, {"General Replace", "Specific Replace"});
        p.replaceSpecificText = fuzzedText(data, 3);
        p.replaceAtCol = number(data);
        p.replaceNumOfChars = number(data);
        p.replaceWith = fuzzedText(data, 4);
        p.replaceEndOfLine = data.ConsumeBool();
        tw::runLineFrame(text, tw::replaceOperation(p), tw::replaceGate(p));
        break;
    }
    case 3: {
        tw::DeleteParams p;
        p.deleteText = pick(data, {"General Delete", "Specific Delete", "Delete Lines Containing",
                                     "Keep Lines Containing"});
        p.deleteSpecificText = pick(data, {"\r\n", "a"});
        p.deleteFromCol = number(data);
        p.deleteNumOfChars = number(data);
        p.deleteEndOfLine = data.ConsumeBool();
        p.deleteOptions = pick(data, {"Add spaces", "Omit spaces"});
        p.deleteSpaces = number(data);
        tw::runLineFrame(text, tw::deleteOperation(p), tw::deleteGate(p));
        break;
    }
    case 4: {
        tw::FormatParams p;
        p.formatCreate = pick(data, {"New line", "New column"});
        p.formatRemoveDelimiter = data.ConsumeBool();
        p.formatDelimiter = pick(data, {",", ";,", "  ", " ; "});
        p.formatUseDelimiterString = data.ConsumeBool();
        p.formatDelimiterString = fuzzedText(data, 3);
        p.formatMoveDelimiter = pick(data, {"Yes", "No"});
        p.formatSpacesBetweenCols = number(data);
        p.formatAddText = pick(data, {"Start of line", "End of line", "Start of column",
                                      "End of column", "Omit text"});
        p.formatTextToAdd = fuzzedText(data, 3);
        p.formatAddFromCol = number(data);
        p.formatNumOfChars = number(data);
        p.formatFirstSection = pick(data, {"Yes", "No"});
        p.formatOptions = pick(data, {"Add spaces", "Omit spaces"});
        p.formatPlaceSpaces = pick(data, {"Both sides", "Left side", "Right side"});
        p.formatSpaces = number(data);
        checkFormat(text, p, data.ConsumeIntegralInRange<qsizetype>(0, text.size()));
        break;
    }
    case 5:
        tw::joinLines(text);
        break;
    case 6:
        tw::createLine(text);
        break;
    case 7:
        tw::breakEvery(text, number(data));
        break;
    default: {
        tw::ColumnSpecs rows;
        const int count = data.ConsumeIntegralInRange<int>(0, 5);
        auto optional = [&]() -> std::optional<int> {
            if (data.ConsumeBool())
                return std::nullopt;
            return data.ConsumeIntegralInRange<int>(-5, 999);
        };
        for (int i = 0; i < count; ++i)
            rows.append({fuzzedText(data, 5), optional(), optional(), optional(), optional()});
        tw::tabwriteText(text, rows, number(data));
        break;
    }
    }
    return 0;
}
