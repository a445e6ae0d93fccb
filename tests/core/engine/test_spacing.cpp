// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/spacing.h"

#include <QtTest>

class TestSpacing : public QObject
{
    Q_OBJECT

private slots:
    void routines()
    {
        QCOMPARE(tw::spacesLeft(2, u"ab"), QStringLiteral("  ab"));
        QCOMPARE(tw::spacesRight(2, u"ab"), QStringLiteral("ab  "));
        QCOMPARE(tw::spacesBothSides(2, u"ab"), QStringLiteral("  ab  "));
        QCOMPARE(tw::spacesBothSides(2, u"ab").size(), 6);
        QCOMPARE(tw::spacesLeft(0, u"ab"), QStringLiteral("ab"));
        QCOMPARE(tw::spacesBothSides(1, u""), QStringLiteral("  "));
    }

    void applySpacing_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("spaces");
        QTest::addColumn<QString>("placement");
        QTest::addColumn<QString>("expected");

        QTest::newRow("both sides") << "Add spaces" << 2 << "Both sides" << "  ab  ";
        QTest::newRow("left side") << "Add spaces" << 1 << "Left side" << " ab";
        QTest::newRow("right side") << "Add spaces" << 3 << "Right side" << "ab   ";
        QTest::newRow("add 0 spaces") << "Add spaces" << 0 << "Both sides" << "ab";
        QTest::newRow("omit ignores the rest") << "Omit spaces" << 5 << "Both sides" << "ab";
        QTest::newRow("options not a list entry") << "add spaces" << 2 << "Both sides" << "ab";
        QTest::newRow("empty options") << "" << 2 << "Left side" << "ab";
        QTest::newRow("placement not a list entry") << "Add spaces" << 2 << "Middle" << "ab";
        QTest::newRow("placement in other case") << "Add spaces" << 2 << "both sides" << "ab";
        QTest::newRow("empty placement") << "Add spaces" << 2 << "" << "ab";
    }

    void applySpacing()
    {
        QFETCH(QString, options);
        QFETCH(int, spaces);
        QFETCH(QString, placement);
        QFETCH(QString, expected);

        QString piece = QStringLiteral("ab");
        tw::applySpacing(piece, tw::SpacingRule{options, spaces, placement});
        QCOMPARE(piece, expected);

        const tw::Padding pad = tw::spacingPadding(options, spaces, placement);
        QCOMPARE(pad.total() + 2, expected.size());
    }

    void defaults()
    {
        const tw::SpacingRule rule;
        QCOMPARE(rule.options, QStringLiteral("Omit spaces"));
        QCOMPARE(rule.spaces, 1);
        QCOMPARE(rule.placeSpaces, QStringLiteral("Both sides"));
    }

    void deleteFiller()
    {
        QCOMPARE(tw::deleteFillerLength(u"Add spaces", 3), 3);
        QCOMPARE(tw::deleteFillerLength(u"Omit spaces", 3), 0);
        QCOMPARE(tw::deleteFillerLength(u"Add spaces", 0), 0);
    }
};

QTEST_GUILESS_MAIN(TestSpacing)
#include "test_spacing.moc"
