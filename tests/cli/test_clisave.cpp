// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/tablesaver.h"
#include "core/db/database.h"

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

// tabwright-cli save run as a user runs it: a text file into a table of a
// database file, the questions answered by options, exit statuses and the
// summary; every table is read back through a connection of its own.
class TestCliSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void linesBecomeRecords_data();
    void linesBecomeRecords();
    void existingTables_data();
    void existingTables();
    void tooLongValues_data();
    void tooLongValues();
    void refusals_data();
    void refusals();
    void notADatabaseIsLeftAlone();
    void bigTextMatchesTheSaverOnTheWholeText();

private:
    struct Run
    {
        int status = -1;
        QString err;
    };
    Run save(const QStringList &args, const QByteArray &text);
    QList<QStringList> readBack(const QString &table);
    QString file(const QString &name, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_db;
    QString m_columns;
};

namespace {
const QString parse = QStringLiteral("databaseProcessMethod=Parse text using delimiter I specify");
const QString byColumns = QStringLiteral("databaseProcessMethod=Use column specs on the Tabwrite Text tab");
const QString n = QStringLiteral("<null>");

QList<QStringList> rows(const QString &text)
{
    QList<QStringList> list;
    if (!text.isEmpty()) {
        for (const QString &row : text.split(u';'))
            list << row.split(u'|');
    }
    return list;
}

class Silent : public tw::SaveObserver
{
public:
    bool lineDone(qint64) override { return true; }
    tw::WarnMode valueTooLong(const QString &) override { return tw::WarnMode::SkipSilently; }
    bool recordRefused(const tw::DbError &) override { return false; }
};
} // namespace

void TestCliSave::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = m_dir->filePath(QStringLiteral("target.db"));
    // Three fields of five characters: A from column 1, B from 6, C from 11.
    m_columns = file(QStringLiteral("columns.csv"), "A,1,5,0,5\nB,6,5,0,5\nC,11,5,0,5\n");
}

TestCliSave::Run TestCliSave::save(const QStringList &args, const QByteArray &text)
{
    const QString input = file(QStringLiteral("input.txt"), text);
    QProcess process;
    process.start(QStringLiteral(TABWRIGHT_CLI), QStringList{QStringLiteral("save")} + args + QStringList{input});
    if (!process.waitForStarted())
        qFatal("cannot start %s", TABWRIGHT_CLI);
    process.waitForFinished(60000);
    Run run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString TestCliSave::file(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QList<QStringList> TestCliSave::readBack(const QString &table)
{
    tw::Database reader;
    if ((reader.open(m_db)).isError())
        return {{QStringLiteral("<cannot open>")}};
    QSqlQuery query(reader.connection());
    QList<QStringList> result;
    if (!query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(QString(table).replace(u'"', QStringLiteral("\"\"")))))
        return {{QStringLiteral("<no table>")}};
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << (query.value(i).isNull() ? n : query.value(i).toString());
        result << row;
    }
    return result;
}

void TestCliSave::linesBecomeRecords_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("expected");

    QTest::newRow("CR LF at the end gives no record") << QByteArray("a,b\r\nc\r\n") << parse
                                                      << QStringLiteral("a|b|%1;c|%1|%1").arg(n);
    QTest::newRow("last line without a line end") << QByteArray("a\r\nb") << parse
                                                  << QStringLiteral("a|%1|%1;b|%1|%1").arg(n);
    QTest::newRow("empty line: a record of empty fields") << QByteArray("a\r\n\r\nb\r\n") << parse
                                                          << QStringLiteral("a|%1|%1;%1|%1|%1;b|%1|%1").arg(n);
    QTest::newRow("a,,b a,b, ,b") << QByteArray("a,,b\r\na,b,\r\n,b") << parse
                                  << QStringLiteral("a||b;a|b|%1;|b|%1").arg(n);
    QTest::newRow("LF line ends") << QByteArray("a,b\nc\n") << parse << QStringLiteral("a|b|%1;c|%1|%1").arg(n);
    QTest::newRow("column layout") << QByteArray("abcdefghijklmno\r\n\r\nabcdefg") << byColumns
                                   << QStringLiteral("abcde|fghij|klmno;%1|%1|%1;abcde|fg|").arg(n);
    QTest::newRow("Windows-1252 text") << QByteArray("caf\xe9,na\xefve") << parse
                                       << QStringLiteral("caf\u00e9|na\u00efve|%1").arg(n);
}

void TestCliSave::linesBecomeRecords()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, method);
    QFETCH(QString, expected);
    const Run run = save({QStringLiteral("--db"), m_db, QStringLiteral("--table"), QStringLiteral("it's \"T\""),
                          QStringLiteral("--create"), QStringLiteral("--columns"), m_columns, method,
                          QStringLiteral("databaseDelimiter=,")},
                         text);
    QCOMPARE(run.status, 0);
    QCOMPARE(readBack(QStringLiteral("it's \"T\"")), rows(expected));
    QVERIFY2(run.err.contains(QStringLiteral("%1 records written, 0 values skipped").arg(rows(expected).size())),
             qPrintable(run.err));
}

void TestCliSave::existingTables_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");
    QTest::newRow("append by default") << QStringList() << 0 << QStringLiteral("old|%1|%1;new|%1|%1").arg(n);
    QTest::newRow("replace deletes every record first")
        << QStringList{QStringLiteral("--if-exists"), QStringLiteral("replace")} << 0
        << QStringLiteral("new|%1|%1").arg(n);
    QTest::newRow("cancel writes nothing") << QStringList{QStringLiteral("--if-exists"), QStringLiteral("cancel")}
                                           << 1 << QStringLiteral("old|%1|%1").arg(n);
    QTest::newRow("create on an existing table asks the same")
        << QStringList{QStringLiteral("--create"), QStringLiteral("--columns"), QString()} << 0
        << QStringLiteral("old|%1|%1;new|%1|%1").arg(n);
}

void TestCliSave::existingTables()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, expected);
    options.replaceInStrings(QRegularExpression(QStringLiteral("^$")), m_columns);
    QCOMPARE(save({QStringLiteral("--db"), m_db, QStringLiteral("--table"), QStringLiteral("Names"),
                   QStringLiteral("--create"), QStringLiteral("--columns"), m_columns, parse,
                   QStringLiteral("databaseDelimiter=,")},
                  "old").status,
             0);
    // Named in another case: the same table.
    const Run run = save(QStringList{QStringLiteral("--db"), m_db, QStringLiteral("--table"), QStringLiteral("NAMES"),
                                     parse, QStringLiteral("databaseDelimiter=,")}
                             + options,
                         "new");
    QCOMPARE(run.status, status);
    QCOMPARE(readBack(QStringLiteral("Names")), rows(expected));
}

void TestCliSave::tooLongValues_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("summary");
    const QByteArray text = "12345,1\r\n123456,2\r\nabcdefg,3\r\nlast,4";
    QTest::newRow("abort by default keeps earlier records")
        << QStringList() << 1 << QStringLiteral("12345|1|%1").arg(n) << QStringLiteral("1 records written, 0 values skipped");
    QTest::newRow("skip leaves out every misfit")
        << QStringList{QStringLiteral("--too-long"), QStringLiteral("skip")} << 0
        << QStringLiteral("12345|1|%1;%1|2|%1;%1|3|%1;last|4|%1").arg(n)
        << QStringLiteral("4 records written, 2 values skipped");
}

void TestCliSave::tooLongValues()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, expected);
    QFETCH(QString, summary);
    const Run run = save(QStringList{QStringLiteral("--db"), m_db, QStringLiteral("--table"), QStringLiteral("T"),
                                     QStringLiteral("--create"), QStringLiteral("--columns"), m_columns, parse,
                                     QStringLiteral("databaseDelimiter=,")}
                             + options,
                         "12345,1\r\n123456,2\r\nabcdefg,3\r\nlast,4");
    QCOMPARE(run.status, status);
    QCOMPARE(readBack(QStringLiteral("T")), rows(expected));
    QVERIFY2(run.err.contains(summary), qPrintable(run.err));
    if (status == 1)
        QVERIFY(run.err.contains(QStringLiteral("You can use a database editor to enlarge the field size, then "
                                                "process the data again.  The maximum field size is 255.")));
}

void TestCliSave::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    const QStringList target{QStringLiteral("--db"), QString(), QStringLiteral("--table"), QStringLiteral("T")};
    QTest::newRow("nothing to save") << target + QStringList{parse, QStringLiteral("databaseDelimiter=,")}
                                     << QByteArray() << 1 << QStringLiteral("There is nothing to save.");
    QTest::newRow("no method") << target << QByteArray("a") << 1 << QStringLiteral("Please specify a Process Method.");
    QTest::newRow("no delimiter") << target + QStringList{parse} << QByteArray("a") << 1
                                  << QStringLiteral("Please enter a delimiter.");
    QTest::newRow("table not there") << target + QStringList{parse, QStringLiteral("databaseDelimiter=,")}
                                     << QByteArray("a") << 1 << QStringLiteral("This table name (T) is not in ");
    QTest::newRow("heading refused")
        << target + QStringList{parse, QStringLiteral("databaseDelimiter=,"), QStringLiteral("--create"),
                                QStringLiteral("--columns"), QStringLiteral("twice")}
        << QByteArray("a") << 1 << QStringLiteral("names a field a second time");
    QTest::newRow("the program's own table")
        << QStringList{QStringLiteral("--db"), QString(), QStringLiteral("--table"), QStringLiteral("tabwrite_x"),
                       parse, QStringLiteral("databaseDelimiter=,"), QStringLiteral("--create"),
                       QStringLiteral("--columns"), QStringLiteral("columns")}
        << QByteArray("a") << 1 << QStringLiteral("belongs to Tabwright's own tables");
    QTest::newRow("bad --too-long") << target + QStringList{QStringLiteral("--too-long"), QStringLiteral("maybe")}
                                    << QByteArray("a") << 2 << QStringLiteral("--too-long takes skip or abort");
    QTest::newRow("column method without a layout") << target + QStringList{byColumns} << QByteArray("a") << 2
                                                    << QStringLiteral("needs --columns FILE");
}

void TestCliSave::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    QFETCH(QString, message);
    args[1] = m_db;
    const qsizetype columns = args.indexOf(QStringLiteral("--columns"));
    if (columns >= 0)
        args[columns + 1] = args[columns + 1] == u"twice" ? file(QStringLiteral("twice.csv"), "Id,1,2,0,2\nID,3,2,0,2\n")
                                                          : m_columns;
    const Run run = save(args, text);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    tw::Database reader;
    if (!(reader.open(m_db)).isError())
        QCOMPARE(reader.tableNames().value(), QStringList());
}

void TestCliSave::notADatabaseIsLeftAlone()
{
    const QByteArray bytes = "not a database\n";
    const QString path = file(QStringLiteral("notes.txt"), bytes);
    const Run run = save({QStringLiteral("--db"), path, QStringLiteral("--table"), QStringLiteral("T"),
                          QStringLiteral("--create"), QStringLiteral("--columns"), m_columns, parse,
                          QStringLiteral("databaseDelimiter=,")},
                         "a,b");
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(QStringLiteral("Unrecognized database format")), qPrintable(run.err));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), bytes);
}

void TestCliSave::bigTextMatchesTheSaverOnTheWholeText()
{
    // More than one block of input, with empty lines, lone CRs and LFs, and
    // misfits, so lines meet block joins in every way.
    QByteArray text;
    for (int i = 0; i < 60000; ++i) {
        switch (i % 7) {
        case 0: text += "\r\n"; break;
        case 1: text += "ab\rcd,e\r\n"; break;
        case 2: text += "x\ny,toolongvalue," + QByteArray::number(i) + "\r\n"; break;
        default: text += QByteArray::number(i) + ",v" + QByteArray::number(i % 100) + ",w\r\n";
        }
    }
    const Run run = save({QStringLiteral("--db"), m_db, QStringLiteral("--table"), QStringLiteral("Big"),
                          QStringLiteral("--create"), QStringLiteral("--columns"), m_columns, parse,
                          QStringLiteral("databaseDelimiter=,"), QStringLiteral("--too-long"), QStringLiteral("skip")},
                         text);
    QCOMPARE(run.status, 0);
    const QList<QStringList> fromCli = readBack(QStringLiteral("Big"));

    tw::Database db;
    QVERIFY(!(db.open(m_db)).isError());
    QVERIFY(db.exec(QStringLiteral("DELETE FROM Big")));
    Silent observer;
    const tw::SaveOutcome whole = tw::saveText(
        db, {QStringLiteral("Big"), tw::SaveMethod::Delimiter, QStringLiteral(","), {}}, QString::fromLatin1(text),
        observer);
    QCOMPARE(int(whole.end), int(tw::SaveOutcome::End::Done));
    db.close();
    QCOMPARE(fromCli.size(), qsizetype(whole.recordsWritten));
    QCOMPARE(fromCli, readBack(QStringLiteral("Big")));
    QVERIFY2(run.err.contains(QStringLiteral("values skipped").prepend(QString::number(whole.valuesSkipped) + u' ')),
             qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestCliSave)
#include "test_clisave.moc"
