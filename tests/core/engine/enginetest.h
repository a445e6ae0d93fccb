// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the engine's tests share: parameter records filled from the
// "name=value" fields a row lists, an observer that records what a run tells
// it, and random texts over a small alphabet.

#include "core/engine/lineframe.h"

#include <QHash>
#include <QRandomGenerator>
#include <QStringList>
#include <QtTest>

#include <variant>

// U+1F600: one column, two UTF-16 code units.
#define SMILE "\U0001F600"

namespace enginetest {

inline const QString crlf = QStringLiteral("\r\n");

// The fields of a parameter record under the short names the rows use.
template <typename P>
using Names = QHash<QString, std::variant<QString P::*, int P::*, bool P::*>>;

// A record with the listed fields set ("1" checks a box). Every other field
// keeps the default the window opens with, which many rows rely on.
template <typename P>
P record(const Names<P> &names, const QStringList &fields)
{
    P p;
    for (const QString &field : fields) {
        const qsizetype eq = field.indexOf(u'=');
        const QString value = field.mid(eq + 1);
        const auto member = names.find(field.left(eq));
        if (member == names.end())
            qFatal("unknown field %s", qPrintable(field));
        if (auto text = std::get_if<QString P::*>(&*member))
            p.**text = value;
        else if (auto number = std::get_if<int P::*>(&*member))
            p.**number = value.toInt();
        else
            p.*std::get<bool P::*>(*member) = value == u"1";
    }
    return p;
}

// Records what a run tells its observer: the number of lines, each line's
// index as it starts, and -1 at the end.
struct Recorder : tw::FrameObserver
{
    QList<qsizetype> told;
    void runStarting(qsizetype lines) override { told << lines; }
    bool lineStarting(qsizetype index) override { told << index; return false; }
    void runFinished() override { told << -1; }

    // Told of every line of a run over that many lines, once and in order.
    bool toldOfLines(qsizetype lines) const
    {
        QList<qsizetype> expected{lines};
        for (qsizetype i = 0; i < lines; ++i)
            expected << i;
        return told == expected + QList<qsizetype>{-1};
    }
};

// Up to maxPieces pieces of the alphabet strung together.
inline QString randomText(QRandomGenerator &rng, const QStringList &alphabet, int maxPieces)
{
    QString text;
    for (int i = rng.bounded(maxPieces + 1); i > 0; --i)
        text += alphabet[rng.bounded(int(alphabet.size()))];
    return text;
}

} // namespace enginetest
