// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabtestsupport.h"

using namespace tabtest;

// The Delete Text tab worked through its controls.
class TestDeleteTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void enablingRules_data();
    void enablingRules();
    void missingDeleteTypeRefused();
    void process_data();
    void process();
    void undoBringsBlankLinesBack();

private:
    Manipulator &window() { return m_harness->manipulator(); }
    QWidget *page() { return window().page(Manipulator::DeleteText); }

    std::unique_ptr<FrameHarness> m_harness;
};

void TestDeleteTab::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
}

void TestDeleteTab::cleanup()
{
    QCOMPARE(m_harness->toolkit().unanswered(), 0);
    m_harness.reset();
}


void TestDeleteTab::enablingRules_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");

    const QStringList column{":Delete from column:", "MaskEdBox7", "UpDown7"};
    const QStringList count{":# of characters:", "MaskEdBox10", "UpDown10"};
    const QStringList specific{":Specific text to delete:", "Text6"};
    const QStringList spaces{":# of spaces:", "MaskEdBox12", "UpDown12"};
    QTest::newRow("as opened") << Fields{} << column + count + QStringList{"Check4"} << specific + spaces;
    QTest::newRow("Specific Delete") << Fields{{"deleteText", "Specific Delete"}} << column + specific << count;
    // A typed text still reads the specific text (CR LF there drops emptied
    // lines), so that box stays open while its caption goes grey.
    QTest::newRow("typed text") << Fields{{"deleteText", "x"}} << QStringList{"Text6", "Check4"}
                                << column + count + QStringList{":Specific text to delete:"};
    QTest::newRow("end of line") << Fields{{"deleteEndOfLine", "1"}} << count << column;
    QTest::newRow("Add spaces") << Fields{{"deleteOptions", "Add spaces"}} << spaces << QStringList{};
    QTest::newRow("Add spaces, back to Omit") << Fields{{"deleteOptions", "Add spaces"}, {"deleteOptions", "Omit spaces"}}
                                              << QStringList{} << spaces;
}

void TestDeleteTab::enablingRules()
{
    QFETCH(Fields, fields);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    QVERIFY(setFields(window(), fields));
    QCOMPARE(wrongEnabling(window(), page(), enabled, true), QStringList{});
    QCOMPARE(wrongEnabling(window(), page(), disabled, false), QStringList{});
}

void TestDeleteTab::missingDeleteTypeRefused()
{
    m_harness->userSetsText(QStringLiteral("abc"));
    window().SSTab1->setCurrentIndex(Manipulator::DeleteText);
    QTest::mouseClick(control<QPushButton>(window(), "Command5"), Qt::LeftButton);
    QCOMPARE(m_harness->toolkit().messageTexts(),
             QStringList{"Please enter text to delete; or select a delete type and enter 'Specific text to "
                         "delete', if necessary."});
    QCOMPARE(QApplication::focusWidget(), control<QComboBox>(window(), "Combo6"));
    QCOMPARE(window().working().text(), QStringLiteral("abc"));
}

void TestDeleteTab::process_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const Field general{"deleteText", "General Delete"};
    const Field specific{"deleteText", "Specific Delete"};
    QTest::newRow("general") << Fields{general, {"deleteFromCol", "2"}, {"deleteNumOfChars", "3"}} << "abcdef"
                             << "aef";
    QTest::newRow("general, a space in place")
        << Fields{general, {"deleteFromCol", "2"}, {"deleteNumOfChars", "3"}, {"deleteOptions", "Add spaces"}}
        << "abcdef" << "a ef";
    QTest::newRow("general at the end keeps the emptied line")
        << Fields{general, {"deleteNumOfChars", "2"}, {"deleteEndOfLine", "1"}} << "abcd\r\na"
        << "ab\r\n";
    QTest::newRow("blank lines deleted")
        << Fields{specific, {"deleteSpecificText", "\r\n"}} << "a\r\n\r\n\r\nb\r\n" << "a\r\nb";
    QTest::newRow("blank lines become two spaces")
        << Fields{specific, {"deleteSpecificText", "\r\n"}, {"deleteOptions", "Add spaces"}, {"deleteSpaces", "2"}}
        << "a\r\n\r\nb" << "a\r\n  \r\nb";
    QTest::newRow("specific where it stands")
        << Fields{specific, {"deleteSpecificText", "cd"}, {"deleteFromCol", "3"}} << "abcdef\r\nabxcdf"
        << "abef\r\nabxcdf";
    QTest::newRow("typed run of spaces collapses")
        << Fields{{"deleteText", "  "}, {"deleteOptions", "Add spaces"}} << "a    b" << "a b";
    QTest::newRow("typed text with CR LF drops the lines it empties")
        << Fields{{"deleteText", "x"}, {"deleteSpecificText", "\r\n"}} << "xx\r\nxax\r\n\r\nb" << "a\r\nb";
}

void TestDeleteTab::process()
{
    QFETCH(Fields, fields);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(tabtest::process(*m_harness, Manipulator::DeleteText, "Command5", fields, text), expected);
    const QString cli = cliResult(QStringLiteral("delete"), fields, text);
    if (!cli.isNull())
        QCOMPARE(cli, expected);
}

void TestDeleteTab::undoBringsBlankLinesBack()
{
    const QString text = QStringLiteral("a\r\n\r\nb\r\n\r\n");
    tabtest::process(*m_harness, Manipulator::DeleteText, "Command5",
            Fields{{"deleteText", "Specific Delete"}, {"deleteSpecificText", "\r\n"}}, text);
    QCOMPARE(window().working().text(), QStringLiteral("a\r\nb"));
    QTest::mouseClick(window().Command1, Qt::LeftButton);
    QCOMPARE(window().working().text(), text);
    QVERIFY(!window().Command1->isEnabled());
}

QTEST_MAIN(TestDeleteTab)
#include "test_deletetab.moc"
