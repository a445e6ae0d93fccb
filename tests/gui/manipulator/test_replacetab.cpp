// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabtestsupport.h"

#include <QTimer>

using namespace tabtest;

// The Replace Text tab worked through its controls.
class TestReplaceTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void enablingRules_data();
    void enablingRules();
    void missingReplaceTypeRefused();
    void process_data();
    void process();
    void fieldChangedDuringRunCountsForLaterLines();

private:
    Manipulator &window() { return m_harness->manipulator(); }
    QWidget *page() { return window().page(Manipulator::ReplaceText); }

    std::unique_ptr<FrameHarness> m_harness;
};

void TestReplaceTab::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
}

void TestReplaceTab::cleanup()
{
    QCOMPARE(m_harness->toolkit().unanswered(), 0);
    m_harness.reset();
}


void TestReplaceTab::enablingRules_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");

    const QStringList column{":Replace at column:", "MaskEdBox11", "UpDown11"};
    const QStringList count{":# of characters:", "MaskEdBox8", "UpDown8"};
    const QStringList specific{":Specific text to replace:", "Text4"};
    QTest::newRow("as opened") << Fields{} << column + count + QStringList{"Check3", "Text5"} << specific;
    QTest::newRow("General Replace") << Fields{{"replaceText", "General Replace"}} << column + count << specific;
    QTest::newRow("Specific Replace") << Fields{{"replaceText", "Specific Replace"}} << column + specific
                                      << count;
    QTest::newRow("typed text") << Fields{{"replaceText", "abc"}} << QStringList{"Check3", "Text5"}
                                << column + count + specific;
    QTest::newRow("end of line") << Fields{{"replaceEndOfLine", "1"}} << count << column;
    QTest::newRow("end of line, then Specific Replace")
        << Fields{{"replaceEndOfLine", "1"}, {"replaceText", "Specific Replace"}} << specific << column + count;
    QTest::newRow("typed text, end of line cleared")
        << Fields{{"replaceEndOfLine", "1"}, {"replaceText", "x"}, {"replaceEndOfLine", "0"}}
        << QStringList{"Check3"} << column + count + specific;
}

void TestReplaceTab::enablingRules()
{
    QFETCH(Fields, fields);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    QVERIFY(setFields(window(), fields));
    QCOMPARE(wrongEnabling(window(), page(), enabled, true), QStringList{});
    QCOMPARE(wrongEnabling(window(), page(), disabled, false), QStringList{});
}

void TestReplaceTab::missingReplaceTypeRefused()
{
    m_harness->userSetsText(QStringLiteral("abc"));
    window().SSTab1->setCurrentIndex(Manipulator::ReplaceText);
    QTest::mouseClick(control<QPushButton>(window(), "Command4"), Qt::LeftButton);
    QCOMPARE(m_harness->toolkit().messageTexts(),
             QStringList{"Please enter text to replace; or select a replace type and enter 'Specific text to "
                         "replace', if necessary."});
    QCOMPARE(QApplication::focusWidget(), control<QComboBox>(window(), "Combo7"));
    QCOMPARE(window().working().text(), QStringLiteral("abc"));
}

void TestReplaceTab::process_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const Field general{"replaceText", "General Replace"};
    const Field specific{"replaceText", "Specific Replace"};
    QTest::newRow("general at a column")
        << Fields{general, {"replaceAtCol", "3"}, {"replaceNumOfChars", "2"}, {"replaceWith", "XY"}}
        << "abcdef\r\nab\r\n" << "abXYef\r\nabXY\r\n";
    QTest::newRow("general at the end of the line")
        << Fields{general, {"replaceNumOfChars", "2"}, {"replaceWith", "!"}, {"replaceEndOfLine", "1"}}
        << "abcd\r\nab" << "ab!\r\n!";
    QTest::newRow("specific where it stands")
        << Fields{specific, {"replaceSpecificText", "cd"}, {"replaceAtCol", "3"}, {"replaceWith", "-"}}
        << "abcdef\r\nabxcdf" << "ab-ef\r\nabxcdf";
    QTest::newRow("specific at the end, replaced by nothing")
        << Fields{specific, {"replaceSpecificText", "ef"}, {"replaceEndOfLine", "1"}} << "abcdef\r\nefx"
        << "abcd\r\nefx";
    QTest::newRow("typed, replacements not searched again")
        << Fields{{"replaceText", "a"}, {"replaceWith", "ba"}} << "aa\r\n\r\nxAa" << "baba\r\n\r\nxAba";
    QTest::newRow("typed, removed") << Fields{{"replaceText", "x"}} << "xxax" << "a";
}

void TestReplaceTab::process()
{
    QFETCH(Fields, fields);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(tabtest::process(*m_harness, Manipulator::ReplaceText, "Command4", fields, text), expected);
    const QString cli = cliResult(QStringLiteral("replace"), fields, text);
    if (!cli.isNull())
        QCOMPARE(cli, expected);
}

void TestReplaceTab::fieldChangedDuringRunCountsForLaterLines()
{
    // A user can change a field while a long run lets window events through;
    // the lines processed after that see the new value.
    const QString line = QStringLiteral("a-b-c-d-e-f-g-h-i-j-k-l-m-n-o-p-q-r-s-t");
    QStringList lines;
    QString result;
    for (int size = 20000; size <= 2560000; size *= 2) {
        lines = QStringList(size, line);
        auto with = control<QLineEdit>(window(), "Text5");
        QTimer::singleShot(0, with, [with] { with->setText(QStringLiteral("+")); });
        result = tabtest::process(*m_harness, Manipulator::ReplaceText, "Command4",
                         Fields{{"replaceText", "-"}, {"replaceWith", "="}}, lines.join(QStringLiteral("\r\n")));
        if (result.contains(u'+'))
            break;
        QCoreApplication::processEvents(); // the change came after the run
    }
    const QStringList out = result.split(QStringLiteral("\r\n"));
    QCOMPARE(out.size(), lines.size());
    QCOMPARE(out.first(), QString(line).replace(u'-', u'='));
    QCOMPARE(out.last(), QString(line).replace(u'-', u'+'));
    // Every line is whole: the change took effect between lines, never inside one.
    for (const QString &piece : out)
        QVERIFY(piece == QString(line).replace(u'-', u'=') || piece == QString(line).replace(u'-', u'+'));
}

QTEST_MAIN(TestReplaceTab)
#include "test_replacetab.moc"
