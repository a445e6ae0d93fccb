// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"

#include "core/db/database.h"
#include "core/settings/settingsstore.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Named settings on the command line, run as a user runs it: the settings
// commands and their recipe text, an operation and run taking a settings'
// fields, the default database beside the program, and the fields whose
// control offers only a fixed list. What the store keeps is tested in core;
// that run gives what the window gives is tested with the window.
class TestCliSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void fixedListsTakeOnlyTheirEntries_data();
    void fixedListsTakeOnlyTheirEntries();
    void recipeTextRoundTrip();
    void settingsCommands();
    void operationTakesTheStoredFields();
    void runChainsTheSteps();
    void runRefusals_data();
    void runRefusals();
    void defaultDatabaseBesideTheProgram();

private:
    using Run = clirun::Run;
    static Run cli(const QStringList &args, const QByteArray &input = {},
                   const QString &program = QStringLiteral(TABWRIGHT_CLI))
    {
        return clirun::cli(args, input, {}, program);
    }
    QString file(const QString &name, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_db;
};

void TestCliSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = m_dir->filePath(QStringLiteral("tabwright.mdb"));
    QVERIFY(QFile::copy(qEnvironmentVariable("TABWRIGHT_DEFAULT_DB"), m_db));
    QVERIFY(QFile::setPermissions(m_db, QFile::ReadOwner | QFile::WriteOwner));
}

QString TestCliSettings::file(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestCliSettings::fixedListsTakeOnlyTheirEntries_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString spacing = QStringLiteral("takes one of \"Add spaces\", \"Omit spaces\", not ");
    QTest::newRow("moveOptions=Sideways") << QStringList{"move", "textToMove=a", "moveOptions=Sideways"} << 2
                                          << "moveOptions " + spacing + "'Sideways'";
    QTest::newRow("addOptions=add spaces") << QStringList{"add", "addText=+", "addOptions=add spaces"} << 2
                                           << "addOptions " + spacing + "'add spaces'";
    QTest::newRow("formatAddText empty")
        << QStringList{"format", "formatDelimiter=;", "formatAddText="} << 2
        << "formatAddText takes one of \"Start of line\", \"End of line\", \"Start of column\", \"End of column\", "
           "\"Omit text\", not ''";
    QTest::newRow("settings save movePlaceSpaces=both sides")
        << QStringList{"settings", "save", "X", "--db", "@db", "movePlaceSpaces=both sides"} << 2
        << "movePlaceSpaces takes one of \"Both sides\", \"Left side\", \"Right side\", not 'both sides'";
    // Boxes whose any text means something of its own.
    QTest::newRow("a text to move that reads like an entry") << QStringList{"move", "textToMove=general move"} << 0
                                                             << "";
    QTest::newRow("a typed delimiter") << QStringList{"format", "formatDelimiter=;;"} << 0 << "";
    QTest::newRow("a typed replace text") << QStringList{"replace", "replaceText=Sideways", "replaceWith=x"} << 0
                                          << "";
}

void TestCliSettings::fixedListsTakeOnlyTheirEntries()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    args.replaceInStrings(QStringLiteral("@db"), m_db);
    const Run run = cli(args, "a;b\r\n");
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    if (status != 0)
        QVERIFY(run.out.isEmpty());
}

void TestCliSettings::recipeTextRoundTrip()
{
    const QString columns = file(QStringLiteral("columns.csv"), "\"a,\"\"b\"\"\\r\",1,2,0,5\nplain,3,,1\n");
    QCOMPARE(cli({"settings", "save", "A", "--db", m_db, "--columns", columns, "addIfContains=x\\r\\ny",
                  "replaceWith=back\\\\slash", "formatDelimiterString=a=b", "textToMove=Specific Move",
                  "moveFromCol=7", "moveEndOfLine=1", "startLineAfter=012", "formatAfterProcess=0"})
                 .status,
             0);
    const Run shown = cli({"settings", "show", "a", "--db", m_db});
    QCOMPARE(shown.status, 0);
    const QString text = u'\n' + QString::fromUtf8(shown.out);
    for (const char *line : {"\naddIfContains=x\\r\\ny\n", "\nreplaceWith=back\\\\slash\n", "\nmoveFromCol=7\n",
                             "\nstartLineAfter=012\n", "\nmoveSpecificText=\n",
                             "\n\n\"a,\"\"b\"\"\\r\",1,2,0,5\nplain,3,,1\n"})
        QVERIFY2(text.contains(QString::fromLatin1(line)), qPrintable(text));
    QCOMPARE(text.count(u'\n'), int(tw::settings::fields().size()) + 4);

    // Imported under another name, a comment line added, from standard input.
    QCOMPARE(cli({"settings", "save", "B", "--db", m_db, "--from", "-"}, "# kept in git\n" + shown.out).status, 0);
    QCOMPARE(cli({"settings", "show", "B", "--db", m_db}).out, shown.out);
    tw::Database db;
    QVERIFY(!db.open(m_db).isError());
    const auto a = tw::settings::findSettings(db, QStringLiteral("A"));
    const auto b = tw::settings::findSettings(db, QStringLiteral("B"));
    QVERIFY(a.ok() && b.ok() && a.value() && b.value());
    QCOMPARE(b.value()->record, a.value()->record);
    QCOMPARE(tw::settings::settingsColumns(db, QStringLiteral("B")).value().first().column_heading,
             QStringLiteral("a,\"b\"\r"));
}

void TestCliSettings::settingsCommands()
{
    for (const char *name : {"A", "C", "b"})
        QCOMPARE(cli({"settings", "save", name, "--db", m_db, "addText=first"}).status, 0);
    QCOMPARE(cli({"settings", "list", "--db", m_db}).out, QByteArray("A\nb\nC\n"));

    // An existing name needs --replace.
    const Run again = cli({"settings", "save", "a", "--db", m_db, "addText=second"});
    QCOMPARE(again.status, 1);
    QVERIFY2(again.err.contains(QStringLiteral("This name (a) for the settings is already on file")),
             qPrintable(again.err));
    QVERIFY(cli({"settings", "show", "A", "--db", m_db}).out.contains("\naddText=first\n"));
    QCOMPARE(cli({"settings", "save", "a", "--db", m_db, "addText=second", "--replace"}).status, 0);
    QVERIFY(cli({"settings", "show", "A", "--db", m_db}).out.contains("\naddText=second\n"));

    QCOMPARE(cli({"settings", "delete", "B", "--db", m_db}).status, 0);
    QCOMPARE(cli({"settings", "list", "--db", m_db}).out, QByteArray("a\nC\n"));
    for (const QStringList &args : {QStringList{"settings", "delete", "b"}, QStringList{"settings", "show", "b"},
                                    QStringList{"move", "--settings", "b"}}) {
        const Run missing = cli(args + QStringList{"--db", m_db});
        QCOMPARE(missing.status, 2);
        QVERIFY2(missing.err.contains(QStringLiteral("no settings named 'b'")), qPrintable(missing.err));
    }
    const Run own = cli({"settings", "save", "AllFields", "--db", m_db});
    QCOMPARE(own.status, 2);
    QVERIFY2(own.err.contains(QStringLiteral("Tabwright's own tables")), qPrintable(own.err));
}

void TestCliSettings::operationTakesTheStoredFields()
{
    const QString columns = file(QStringLiteral("columns.csv"), "Id,1,2,1\nRest,3,4,0\n");
    QCOMPARE(cli({"settings", "save", "Layout", "--db", m_db, "--columns", columns, "tabwriteStartLineAt=3"}).status,
             0);
    const QByteArray text = "ab1234\r\ncd5678\r\n";
    const Run stored = cli({"tabwrite", "--settings", "Layout", "--db", m_db}, text);
    QCOMPARE(stored.status, 0);
    QCOMPARE(stored.out, cli({"tabwrite", "--columns", columns, "tabwriteStartLineAt=3"}, text).out);
    // A field given on the command line wins over the stored one.
    QCOMPARE(cli({"tabwrite", "--settings", "Layout", "--db", m_db, "tabwriteStartLineAt=1"}, text).out,
             cli({"tabwrite", "--columns", columns}, text).out);
}

void TestCliSettings::runChainsTheSteps()
{
    QCOMPARE(cli({"settings", "save", "Chain", "--db", m_db, "formatDelimiter=,", "formatRemoveDelimiter=1",
                  "addText=>", "addEndOfLine=1", "databaseDelimiter=>"})
                 .status,
             0);
    const QString target = m_dir->filePath(QStringLiteral("target.db"));
    const QString output = m_dir->filePath(QStringLiteral("out.txt"));
    const Run run = cli({"run", "--settings", "Chain", "--settings-db", m_db, "--steps", "format,add,save", "--db",
                         target, "--table", "T", "--create", "--columns", file(QStringLiteral("c.csv"), "X,1,5,0,5\n"),
                         "-o", output},
                        "a,b\r\nc\r\n");
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.isEmpty());
    QFile out(output);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), QByteArray("a>\r\nb>\r\nc>\r\n"));
    tw::Database db;
    QVERIFY(!db.open(target).isError());
    QCOMPARE(db.queryValue(QStringLiteral("SELECT group_concat(X, '|') FROM T")).valueOr({}).toString(),
             QStringLiteral("a|b|c"));
}

void TestCliSettings::runRefusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("no --steps") << QStringList{"run"} << 2 << "--steps STEP,STEP,... is required";
    QTest::newRow("unknown step") << QStringList{"run", "--steps", "add,fold"} << 2 << "unknown step 'fold'";
    QTest::newRow("save not last") << QStringList{"run", "--steps", "save,add", "--table", "T"} << 2
                                   << "save can only be the last step";
    QTest::newRow("a save option without save") << QStringList{"run", "--steps", "add", "--table", "T"} << 2
                                                << "--table is for a save step, and --steps has none";
    QTest::newRow("a step refused") << QStringList{"run", "--steps", "join-lines,add"} << 1
                                    << "step 2 (add) refused:\nPlease enter text to add";
}

void TestCliSettings::runRefusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QString output = file(QStringLiteral("out.txt"), "before");
    const Run run = cli(args + QStringList{"-o", output}, "a\r\nb");
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QFile out(output);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), QByteArray("before"));
}

void TestCliSettings::defaultDatabaseBesideTheProgram()
{
    // A copy of the program with the default database beside it, as the
    // window finds it.
    const QString folder = m_dir->filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(folder));
    const QString program = QDir(folder).filePath(QStringLiteral("tabwright-cli"));
    QVERIFY(QFile::copy(QStringLiteral(TABWRIGHT_CLI), program));
    const Run none = cli({"settings", "list"}, {}, program);
    QCOMPARE(none.status, 2);
    QVERIFY2(none.err.contains(QStringLiteral("there is no tabwright.mdb beside the program")), qPrintable(none.err));

    QVERIFY(QFile::rename(m_db, QDir(folder).filePath(QStringLiteral("TabWright.mdb"))));
    QCOMPARE(cli({"settings", "save", "Monthly", "addText=+"}, {}, program).status, 0);
    QCOMPARE(cli({"settings", "list"}, {}, program).out, QByteArray("Monthly\n"));
    QCOMPARE(cli({"add", "--settings", "monthly"}, "a\r\n", program).out, QByteArray("+a\r\n"));
}

QTEST_GUILESS_MAIN(TestCliSettings)
#include "test_clisettings.moc"
