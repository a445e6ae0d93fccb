// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/appstate.h"
#include "core/db/database.h"
#include "gui/manipulator/manipulator.h"
#include "gui/manipulator/savetargettab.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimer>
#include <QtTest>

// "&Save" on the Save to Database tab, worked through the real window with
// the scripted toolkit answering: the checks and their messages, the
// questions, creating the table from the column layout, the size questions
// and Stop. Tables are read back through a connection of their own.
class TestSaveTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void refusals_data();
    void refusals();
    void createsTableFromLayoutAndCutsByColumns();
    void layoutComesFromDefaultDatabaseWhenTargetIsAnother();
    void alreadyInQuestion_data();
    void alreadyInQuestion();
    void refusedHeadingCreatesNothing();
    void sizeQuestions_data();
    void sizeQuestions();
    void stopKeepsTheRecordsWritten();

private:
    SaveTargetTab &tab() { return *m_harness->manipulator().saveTargetTab; }
    AppState &state() { return m_harness->frame().state(); }
    ScriptedToolkit &toolkit() { return m_harness->toolkit(); }
    void addLayoutRow(const QString &heading, int from, int count, int width);
    void useExternalDatabase(QRadioButton *option);
    void fill(const QString &table, const QString &method, const QString &delimiter = {});
    QList<QStringList> readBack(const QString &path, const QString &table);

    std::unique_ptr<FrameHarness> m_harness;
    QString m_userDb;
};

namespace {
const QString parse = QStringLiteral("Parse text using delimiter I specify");
const QString byColumns = QStringLiteral("Use column specs on the Tabwrite Text tab");
const QString choiceTitle = QStringLiteral("Tabwright - It's your choice...");
const QString abortMessage = QStringLiteral("You can use a database editor to enlarge the field size, then "
                                            "process the data again.  The maximum field size is 255.");
} // namespace

void TestSaveTable::init()
{
    m_harness = std::make_unique<FrameHarness>();
    m_userDb = QDir(m_harness->programFolder()).filePath(QStringLiteral("user.db"));
    {
        tw::Database db;
        QVERIFY(!(db.open(m_userDb, {}, {}, tw::Database::OpenMode::CreateIfMissing)).isError());
        QVERIFY(!(db.createTable({QStringLiteral("Sales"), {tw::FieldDef::text(QStringLiteral("Cust"), 3),
                                                           tw::FieldDef::text(QStringLiteral("Qty"), 3)}})).isError());
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Sales VALUES ('old', '1'), ('old', '2')")));
    }
    QVERIFY(m_harness->start());
}

void TestSaveTable::cleanup()
{
    QCOMPARE(toolkit().unanswered(), 0);
    m_harness.reset();
}

void TestSaveTable::addLayoutRow(const QString &heading, int from, int count, int width)
{
    // The layout is edited in the default database, whatever is current.
    tw::Database defaultDb;
    QVERIFY(!(defaultDb.open(state().defaultDbPath)).isError());
    QVERIFY(defaultDb.exec(QStringLiteral("INSERT INTO tabwrite_settings VALUES (?, ?, ?, 0, ?)"),
                           {heading, from, count, width}));
}

void TestSaveTable::useExternalDatabase(QRadioButton *option)
{
    state().currentDbPath = m_userDb;
    QVERIFY(!(m_harness->frame().openCurrentDatabase(m_userDb)).isError());
    option->click();
}

void TestSaveTable::fill(const QString &table, const QString &method, const QString &delimiter)
{
    tab().Combo17->setEditText(table);
    tab().Combo18->setEditText(method);
    tab().Text10->setText(delimiter);
}

QList<QStringList> TestSaveTable::readBack(const QString &path, const QString &table)
{
    tw::Database reader;
    if ((reader.open(path)).isError())
        return {{QStringLiteral("<cannot open>")}};
    QSqlQuery query(reader.connection());
    QList<QStringList> rows;
    if (!query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(QString(table).replace(u'"', QStringLiteral("\"\"")))))
        return {{QStringLiteral("<no table>")}};
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << (query.value(i).isNull() ? QStringLiteral("<null>") : query.value(i).toString());
        rows << row;
    }
    return rows;
}

void TestSaveTable::refusals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<int>("option");
    QTest::addColumn<bool>("noDatabasePath");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    QTest::newRow("nothing to save")
        << QString() << QStringLiteral("T") << parse << QStringLiteral(",") << 1 << false
        << QStringLiteral("There is nothing to save.  Please open a file by selecting File menu/Open, or paste some "
                          "text into the text box on the Text/Lines tab.")
        << QString();
    QTest::newRow("no table name") << QStringLiteral("a") << QString() << parse << QStringLiteral(",") << 1 << false
                                   << QStringLiteral("Please specify a table name.") << QStringLiteral("Combo17");
    QTest::newRow("no method") << QStringLiteral("a") << QStringLiteral("T") << QString() << QString() << 1 << false
                               << QStringLiteral("Please specify a Process Method.") << QStringLiteral("Combo18");
    QTest::newRow("no delimiter") << QStringLiteral("a") << QStringLiteral("T") << parse << QString() << 1 << false
                                  << QStringLiteral("Please enter a delimiter.") << QStringLiteral("Text10");
    QTest::newRow("no database") << QStringLiteral("a") << QStringLiteral("T") << parse << QStringLiteral(" ") << 2
                                 << true << QStringLiteral("Please select a database.") << QStringLiteral("Command11");
    QTest::newRow("no column layout")
        << QStringLiteral("a") << QStringLiteral("T") << byColumns << QString() << 1 << false
        << QStringLiteral("Please select the Tabwrite Text tab and enter column headings; or, Select (saved) Settings "
                          "from the Settings tab.  The headings will be used to create field names in the new table.  "
                          "If you choose the Process Method 'Use specs on the Tabwrite Text tab', you must also enter "
                          "data in all other fields on the Tabwrite Text tab.")
        << QString();
    QTest::newRow("not in the database") << QStringLiteral("a") << QStringLiteral("Nope") << parse
                                         << QStringLiteral(",") << 3 << false
                                         << QStringLiteral("This table name (Nope) is not in %1.  Please verify the name.")
                                         << QStringLiteral("Combo17");
    QTest::newRow("the program's own table")
        << QStringLiteral("a") << QStringLiteral("TABWRITE_settings") << parse << QStringLiteral(",") << 1 << false
        << QStringLiteral("The table name (TABWRITE_settings) belongs to Tabwright's own tables.  Please choose "
                          "another name.")
        << QStringLiteral("Combo17");
}

void TestSaveTable::refusals()
{
    QFETCH(QString, text);
    QFETCH(QString, table);
    QFETCH(QString, method);
    QFETCH(QString, delimiter);
    QFETCH(int, option);
    QFETCH(bool, noDatabasePath);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    if (option == 2)
        tab().Option2->click();
    if (option == 3)
        useExternalDatabase(tab().Option3);
    m_harness->userSetsText(text);
    fill(table, method, delimiter);
    if (noDatabasePath)
        state().currentDbPath.clear();
    const QStringList tablesBefore = m_harness->frame().currentDatabase()->tableNames().value();
    toolkit().clear();
    tab().Command10->click();
    QCOMPARE(toolkit().messageTexts(), QStringList{message.contains(QLatin1String("%1")) ? message.arg(m_userDb) : message});
    if (!focus.isEmpty())
        QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
    QCOMPARE(m_harness->frame().currentDatabase()->tableNames().value(), tablesBefore);
    QVERIFY(!m_harness->manipulator().isBusy());
}

void TestSaveTable::createsTableFromLayoutAndCutsByColumns()
{
    addLayoutRow(QStringLiteral("it's \"id\""), 1, 3, 3);
    addLayoutRow(QStringLiteral("Name"), 5, 10, 10);
    const QString text = QStringLiteral("001 Ann\r\n\r\n002 Bob Smithson\r\n");
    m_harness->userSetsText(text);
    m_harness->manipulator().Command1->setEnabled(false);
    fill(QStringLiteral("People"), byColumns);
    tab().Command10->click();

    QCOMPARE(toolkit().messageTexts(), QStringList());
    QCOMPARE(readBack(state().defaultDbPath, QStringLiteral("People")),
             (QList<QStringList>{{QStringLiteral("001"), QStringLiteral("Ann")},
                                 {QStringLiteral("<null>"), QStringLiteral("<null>")},
                                 {QStringLiteral("002"), QStringLiteral("Bob Smiths")}}));
    tw::Database reader;
    QVERIFY(!(reader.open(state().defaultDbPath)).isError());
    QCOMPARE(reader.fields(QStringLiteral("People")).value(),
             (QList<tw::FieldDef>{tw::FieldDef::text(QStringLiteral("it's \"id\""), 3, true),
                                  tw::FieldDef::text(QStringLiteral("Name"), 10, true)}));
    // A save reads the text and leaves it, its undo copy and the Undo button alone.
    QCOMPARE(m_harness->manipulator().working().text(), text);
    QVERIFY(!m_harness->manipulator().Command1->isEnabled());
    QVERIFY(!m_harness->manipulator().Command17->isEnabled());
    QVERIFY(!m_harness->manipulator().ProgressBar1->isVisible());
    // The list is rebuilt and shows the new table's name.
    QVERIFY(tab().Combo17->findText(QStringLiteral("People")) >= 0);
    QCOMPARE(tab().Combo17->currentText(), QStringLiteral("People"));
}

void TestSaveTable::layoutComesFromDefaultDatabaseWhenTargetIsAnother()
{
    addLayoutRow(QStringLiteral("Code"), 1, 2, 2);
    useExternalDatabase(tab().Option2);
    m_harness->userSetsText(QStringLiteral("ab,cd\r\nef"));
    fill(QStringLiteral("Codes"), parse, QStringLiteral(","));
    tab().Command10->click();
    QCOMPARE(toolkit().messageTexts(), QStringList());
    QCOMPARE(readBack(m_userDb, QStringLiteral("Codes")),
             (QList<QStringList>{{QStringLiteral("ab")}, {QStringLiteral("ef")}}));
    QVERIFY(!m_harness->frame().currentDatabase()->name().isEmpty());
    QCOMPARE(QFileInfo(m_harness->frame().currentDatabase()->name()), QFileInfo(m_userDb));
}

void TestSaveTable::alreadyInQuestion_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("rows");
    // Option2 creates the table unless it is there; Option3 takes it as it is.
    for (int option : {2, 3}) {
        const QByteArray tag = "Option" + QByteArray::number(option) + ": ";
        QTest::newRow(tag + "Yes adds") << option << int(Answer::Yes) << 3;
        QTest::newRow(tag + "No deletes every record first") << option << int(Answer::No) << 1;
        QTest::newRow(tag + "Cancel writes nothing") << option << int(Answer::Cancel) << 2;
    }
}

void TestSaveTable::alreadyInQuestion()
{
    QFETCH(int, option);
    QFETCH(int, answer);
    QFETCH(int, rows);
    addLayoutRow(QStringLiteral("Cust"), 1, 3, 3);
    useExternalDatabase(option == 2 ? tab().Option2 : tab().Option3);
    m_harness->userSetsText(QStringLiteral("new,9"));
    // Differs from the stored name only in case: the table is there.
    fill(QStringLiteral("SALES"), parse, QStringLiteral(","));
    toolkit().answer(answer);
    tab().Command10->click();
    QCOMPARE(toolkit().prompts().size(), 1);
    const MessagePrompt &asked = toolkit().prompts().first().message;
    QCOMPARE(asked.text, option == 2 ? QStringLiteral("This table name (SALES) is already in %1.  Would you like to "
                                                      "add to the current records?").arg(m_userDb)
                                     : QStringLiteral("Would you like to add to the current records?"));
    QCOMPARE(asked.title, choiceTitle);
    QCOMPARE(int(asked.buttons), int(Buttons::YesNoCancel));
    QCOMPARE(int(asked.icon), int(Icon::Question));
    const QList<QStringList> stored = readBack(m_userDb, QStringLiteral("Sales"));
    QCOMPARE(stored.size(), rows);
    if (answer != Answer::Cancel)
        QCOMPARE(stored.constLast(), (QStringList{QStringLiteral("new"), QStringLiteral("9")}));
}

void TestSaveTable::refusedHeadingCreatesNothing()
{
    addLayoutRow(QStringLiteral("Name"), 1, 3, 3);
    addLayoutRow(QStringLiteral("name"), 4, 3, 3);
    m_harness->userSetsText(QStringLiteral("abcdef"));
    fill(QStringLiteral("Twice"), byColumns);
    tab().Command10->click();
    QCOMPARE(toolkit().prompts().size(), 1);
    const MessagePrompt &shown = toolkit().prompts().first().message;
    QCOMPARE(shown.title, QStringLiteral("Tabwright - Sorry..."));
    QVERIFY2(shown.text.contains(QLatin1String("\"name\" in row 2")), qPrintable(shown.text));
    QVERIFY(!m_harness->frame().currentDatabase()->tableExists(QStringLiteral("Twice")));
}

void TestSaveTable::sizeQuestions_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QList<QStringList>>("stored");

    const QString tooLarge = QStringLiteral("The data that's about to be written is too large for the size of the "
                                            "current field (Cust).  The write will be aborted.  Would you like to "
                                            "process the remaining data?");
    const QString warnAgain = QStringLiteral("Would you like to be warned again, if necessary?");
    const QString n = QStringLiteral("<null>");
    QTest::newRow("No aborts, earlier records stay")
        << QList<int>{Answer::No} << QStringList{tooLarge, abortMessage}
        << QList<QStringList>{{QStringLiteral("abc"), QStringLiteral("1")}};
    QTest::newRow("Yes then No skips later misfits silently")
        << QList<int>{Answer::Yes, Answer::No} << QStringList{tooLarge, warnAgain}
        << QList<QStringList>{{QStringLiteral("abc"), QStringLiteral("1")}, {n, QStringLiteral("2")},
                              {n, QStringLiteral("3")}, {QStringLiteral("xyz"), QStringLiteral("4")}};
}

void TestSaveTable::sizeQuestions()
{
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, shown);
    QFETCH(QList<QStringList>, stored);
    useExternalDatabase(tab().Option3);
    QVERIFY(m_harness->frame().currentDatabase()->exec(QStringLiteral("DELETE FROM Sales")));
    // Cust takes 3 characters: "abc" fits exactly, "abcd" is one too long.
    m_harness->userSetsText(QStringLiteral("abc,1\r\nabcd,2\r\nabcdefgh,3\r\nxyz,4"));
    fill(QStringLiteral("Sales"), parse, QStringLiteral(","));
    toolkit().answer(Answer::Yes); // add to the current records
    for (int answer : answers)
        toolkit().answer(answer);
    tab().Command10->click();
    QCOMPARE(toolkit().messageTexts().mid(1), shown);
    QCOMPARE(readBack(m_userDb, QStringLiteral("Sales")), stored);
}

void TestSaveTable::stopKeepsTheRecordsWritten()
{
    useExternalDatabase(tab().Option3);
    QVERIFY(m_harness->frame().currentDatabase()->exec(QStringLiteral("DELETE FROM Sales")));
    const int total = 300000;
    QString text;
    for (int i = 0; i < total; ++i)
        text += QStringLiteral("%1,x\r\n").arg(i % 1000, 3, 10, QLatin1Char('0'));
    m_harness->userSetsText(text);
    fill(QStringLiteral("Sales"), parse, QStringLiteral(","));
    toolkit().answer(Answer::Yes);
    // Stop is pressed as soon as the run lets window events through.
    bool stopWasLive = false;
    QTimer::singleShot(0, this, [this, &stopWasLive] {
        Manipulator &window = m_harness->manipulator();
        stopWasLive = window.Command17->isEnabled() && window.ProgressBar1->isVisible();
        window.Command17->click();
    });
    tab().Command10->click();
    QVERIFY(stopWasLive);
    const QList<QStringList> stored = readBack(m_userDb, QStringLiteral("Sales"));
    QVERIFY2(stored.size() > 0 && stored.size() < total, qPrintable(QString::number(stored.size())));
    // What was written is the text's first lines, in order.
    for (qsizetype i = 0; i < stored.size(); i += 997)
        QCOMPARE(stored.at(i).first(), QStringLiteral("%1").arg(i % 1000, 3, 10, QLatin1Char('0')));
    QVERIFY(!m_harness->manipulator().Command17->isEnabled());
    QVERIFY(!m_harness->manipulator().isBusy());
}

QTEST_MAIN(TestSaveTable)
#include "test_savetable.moc"
