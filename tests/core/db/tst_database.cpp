// SPDX-License-Identifier: GPL-3.0-or-later
// Opening databases, tables and their fields, statements, and the default database.
#include "dbtestsupport.h"

#include "core/db/database.h"
#include "core/db/identifier.h"
#include "core/db/rowinserter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace tw;

class TestDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.close(); }

    void openRefusals_data();
    void openRefusals();
    void openCreateAndClose();
    void defaultDatabase();

    void textSizeIsEnforced_data();
    void textSizeIsEnforced();
    void zeroLengthRule_data();
    void zeroLengthRule();
    void inserterAppliesTheRulesAsTheEngine_data();
    void inserterAppliesTheRulesAsTheEngine();

    void tablesByNameWithoutCase();
    void createTableRefusals_data();
    void createTableRefusals();
    void awkwardNamesStayNames_data();
    void awkwardNamesStayNames();
    void fieldDefinitionsRoundTrip();

    void transactions();
    void errorsOfStatements_data();
    void errorsOfStatements();
    void lockedDatabaseIsNoMissingTable();

private:
    QTemporaryDir m_dir;
    Database m_db;
};

void TestDatabase::init()
{
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("work.mdb"));
    QFile::remove(path);
    TW_VERIFY_OK(m_db.open(path, {}, {}, Database::OpenMode::CreateIfMissing));
}

void TestDatabase::openRefusals_data()
{
    QTest::addColumn<QString>("name"); // in the test folder
    QTest::addColumn<QByteArray>("content"); // null: no such file
    QTest::addColumn<int>("number");
    QTest::newRow("missing file is not created") << "missing.mdb" << QByteArray() << 3024;
    QTest::newRow("no path") << "" << QByteArray() << 3024;
    QTest::newRow("a folder") << "." << QByteArray() << 75;
    QTest::newRow("text file") << "text.mdb" << QByteArray("Name,Amount\r\nSmith,12\r\n") << 3343;
    QTest::newRow("empty file") << "empty.mdb" << QByteArray("") << 3343;
    QTest::newRow("header but no body") << "junk.mdb" << QByteArray("SQLite format 3\0garbage", 23) << 3343;
}

void TestDatabase::openRefusals()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, number);
    const QString path = name.isEmpty() ? QString() : QDir(m_dir.path()).absoluteFilePath(name);
    QFile file(path);
    if (!content.isNull()) {
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
    }
    const QString before = m_db.name();
    const DbError error = m_db.open(path);
    QCOMPARE(error.number, number);
    QVERIFY(!error.description.isEmpty());
    // The database that was open stays open and usable.
    QCOMPARE(m_db.name(), before);
    TW_VERIFY_RESULT(m_db.tableNames());
    // The file is left as it was, a missing one missing.
    if (content.isNull()) {
        QVERIFY(name.isEmpty() || name == "." || !QFile::exists(path));
    } else {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }
}

void TestDatabase::openCreateAndClose()
{
    QCOMPARE(m_db.name(), QDir(m_dir.path()).absoluteFilePath(QStringLiteral("work.mdb")));
    // A fresh database is a database file at once, tables or not, and each
    // database has a connection of its own.
    Database second;
    TW_VERIFY_OK(second.open(m_db.name()));
    QCOMPARE(second.tableNames().value(), QStringList());
    QVERIFY(second.connectionName() != m_db.connectionName());
    TW_VERIFY_OK(m_db.createTable({"t", {FieldDef::text("a")}}));
    QVERIFY(second.tableExists("T"));
    const QString name = second.connectionName();
    second.close();
    QVERIFY(!QSqlDatabase::contains(name));
    QVERIFY(m_db.tableExists("t"));

    m_db.close();
    QCOMPARE(m_db.name(), QString());
    QVERIFY(!m_db.isOpen());
    QCOMPARE(m_db.exec(QStringLiteral("select 1")).error().number, int(ErrorNumber::InvalidOperation));
}

void TestDatabase::defaultDatabase()
{
    const QString path = copyOfDefaultDatabase(m_dir, QStringLiteral("default.mdb"));
    QVERIFY2(!path.isEmpty(), "TABWRIGHT_DEFAULT_DB must name the generated default database");
    Database db;
    TW_VERIFY_OK(db.open(path));
    QCOMPARE(db.tableNames().value(), QStringList({"MSysQueries", "tabwrite_settings", "tabwrite_allFields",
                                                   "SSysAdHocReportTitle"}));
    QCOMPARE(db.indexNames("tabwrite_allfields").value(), QStringList({"nameOfSettings"}));
    // A database without the query catalog gets the same one when its first
    // query is saved.
    TW_VERIFY_RESULT(m_db.createQueryDef("q", "select 1"));
    QCOMPARE(m_db.fields("msysqueries").value(), db.fields("MSysQueries").value());

    // Each field as name:type (T text, M memo, I integer, L long, D double),
    // with a "!" on a text field that refuses the empty text: none does.
    const auto layout = [&](const QString &table) {
        static const std::map<FieldType, char> letters = {{FieldType::Text, 'T'}, {FieldType::Memo, 'M'},
            {FieldType::Integer, 'I'}, {FieldType::Long, 'L'}, {FieldType::Double, 'D'}};
        QStringList list;
        const QList<FieldDef> fields = db.fields(table).value();
        for (const FieldDef &f : fields)
            list << f.name + u':' + QLatin1Char(letters.count(f.type) ? letters.at(f.type) : '?')
                    + (f.isText() && !f.allowZeroLength ? "!" : "");
        return list.join(u' ');
    };
    QCOMPARE(layout("SSysAdHocReportTitle"),
             QString("ReportTitle:M Field1Name:T Field2Name:T Field3Name:T Field4Name:T Field5Name:T Field6Name:T "
                     "Field7Name:T section:T"));
    QCOMPARE(layout("tabwrite_settings"), QString("column_heading:T get_data_from_column:L number_of_characters:L "
                                                  "spaces_b4_next_column:L field_width:L"));
    // The settings of every tab under a unique name: check boxes are
    // integers, columns and counts doubles, everything else memos.
    QCOMPARE(layout("tabwrite_allFields"),
             QString("nameOfSettings:T startLineAfter:M textToMove:M moveSpecificText:M moveFromCol:D "
                     "moveNumOfChars:D moveToCol:D moveEndOfLine:I moveOptions:M moveSpaces:D movePlaceSpaces:M "
                     "moveAfterProcess:I moveAfterProcessShow:I addText:M addIfContains:M addAtCol:D addEndOfLine:I "
                     "addOptions:M addSpaces:D addPlaceSpaces:M addAfterProcess:I addAfterProcessShow:I "
                     "replaceText:M replaceSpecificText:M replaceAtCol:D replaceNumOfChars:D replaceWith:M "
                     "replaceEndOfLine:I replaceAfterProcess:I replaceAfterProcessShow:I deleteText:M "
                     "deleteSpecificText:M deleteFromCol:D deleteNumOfChars:D deleteEndOfLine:I deleteOptions:M "
                     "deleteSpaces:D deleteAfterProcess:I deleteAfterProcessShow:I formatCreate:M "
                     "formatRemoveDelimiter:I formatDelimiter:M formatUseDelimiterString:I formatDelimiterString:M "
                     "formatMoveDelimiter:M formatSpacesBetweenCols:D formatAddText:M formatTextToAdd:M "
                     "formatAddFromCol:D formatNumOfChars:D formatFirstSection:M formatOptions:M formatPlaceSpaces:M "
                     "formatSpaces:D formatAfterProcess:I formatAfterProcessShow:I tabwriteStartLineAt:D "
                     "tabwriteAfterProcess:I tabwriteAfterProcessShow:I databaseProcessMethod:M databaseDelimiter:M"));

    // Texts of any length and empty texts are stored; settings names are
    // unique without regard to case.
    const QString insert = "insert into \"tabwrite_allFields\" (\"nameOfSettings\", \"addText\") values (?, ?)";
    TW_VERIFY_RESULT(db.exec(insert, {"tabwrite_Weekly", QString(100000, u'x')}));
    TW_VERIFY_RESULT(db.exec(insert, {"tabwrite_Daily", ""}));
    QCOMPARE(db.exec(insert, {"TABWRITE_weekly", "x"}).error().number, int(ErrorNumber::DuplicateKey));
    QCOMPARE(db.queryValue("select length(\"addText\") from \"tabwrite_allFields\" where \"nameOfSettings\" = ?",
                           {"TabWrite_WEEKLY"}).value().toInt(),
             100000);

    // The report adds its one title record itself; the start-up clean-up
    // deletes every layout row that names a column.
    QCOMPARE(db.queryValue("select count(*) from \"SSysAdHocReportTitle\"").value().toInt(), 0);
    const QString layoutRow = "insert into \"tabwrite_settings\" values (?, ?, ?, ?, ?)";
    TW_VERIFY_RESULT(db.exec(layoutRow, {"Name", 1, 10, 2, 10}));
    TW_VERIFY_RESULT(db.exec(layoutRow, {"Kept", QVariant(), 5, 1, 5}));
    TW_VERIFY_RESULT(db.exec(layoutRow, {"Zero", 0, 5, 1, 5}));
    const Result<qint64> deleted =
        db.execUser("delete * from tabwrite_settings where not isnull(get_data_from_column);");
    QCOMPARE(deleted.valueOr(-1), qint64(2));
    QCOMPARE(db.queryValue("select group_concat(column_heading) from tabwrite_settings").value().toString(),
             QString("Kept"));
}

void TestDatabase::textSizeIsEnforced_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("number");
    QTest::newRow("size 1 fits one") << 1 << "x" << 0;
    QTest::newRow("255 refuses 256") << 255 << QString(256, u'a') << 3163;
    QTest::newRow("characters, not bytes") << 3 << QStringLiteral("\u00e4\u00f6\u00fc") << 0;
    QTest::newRow("non-BMP counts once") << 2 << QStringLiteral("a\U0001F600") << 0;
}

void TestDatabase::textSizeIsEnforced()
{
    QFETCH(int, size);
    QFETCH(QString, value);
    QFETCH(int, number);
    TW_VERIFY_OK(m_db.createTable({"sized", {FieldDef::text("field", size)}}));
    QCOMPARE(m_db.fields("sized").value().first().size, size);
    const DbError error = m_db.exec("insert into sized (field) values (?)", {value}).error();
    QCOMPARE(error.number, number);
    QVERIFY(!number || error.description.contains("field"));
}

void TestDatabase::zeroLengthRule_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("allow");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("number");
    QTest::newRow("allowed empty") << int(FieldType::Text) << true << QVariant(QString("")) << 0;
    QTest::newRow("refused empty") << int(FieldType::Text) << false << QVariant(QString("")) << 3315;
    QTest::newRow("refusing field takes Null") << int(FieldType::Text) << false << QVariant() << 0;
    QTest::newRow("blank is not empty") << int(FieldType::Text) << false << QVariant(QString(" ")) << 0;
    QTest::newRow("memo refuses empty") << int(FieldType::Memo) << false << QVariant(QString("")) << 3315;
}

void TestDatabase::zeroLengthRule()
{
    QFETCH(int, type);
    QFETCH(bool, allow);
    QFETCH(QVariant, value);
    QFETCH(int, number);
    FieldDef field = FieldDef::of("f", FieldType(type));
    if (field.type == FieldType::Text)
        field.size = 10;
    field.allowZeroLength = allow;
    TW_VERIFY_OK(m_db.createTable({"z", {field, FieldDef::of("n", FieldType::Long)}}));
    QCOMPARE(m_db.fields("z").value().first().allowZeroLength, allow);
    Recordset rs = m_db.openRecordset("z").value();
    TW_VERIFY_OK(rs.addNew());
    TW_VERIFY_OK(rs.setValue("f", value));
    TW_VERIFY_OK(rs.setValue("n", 1));
    QCOMPARE(rs.update().number, number);
    QCOMPARE(m_db.queryValue("select count(*) from z").value().toInt(), number ? 0 : 1);
    if (number) {
        // The edit stays open: correct the value and store again.
        TW_VERIFY_OK(rs.setValue("f", "ok"));
        TW_VERIFY_OK(rs.update());
        QCOMPARE(m_db.queryValue("select f from z").value().toString(), QString("ok"));
    }
}

void TestDatabase::inserterAppliesTheRulesAsTheEngine_data()
{
    // The table: empty for the program's own (a: text of 3 refusing the
    // empty text, b: required text of 2, c: memo), else its declaration.
    QTest::addColumn<QString>("declaration");
    QTest::addColumn<QVariantList>("row"); // an invalid QVariant leaves the field Null
    QTest::addColumn<int>("number");
    const QVariant null;
    const auto row = [](std::initializer_list<QVariant> values) { return QVariantList(values); };
    QTest::newRow("fits") << "" << row({"abc", "xy", "long memo text"}) << 0;
    QTest::newRow("too long") << "" << row({"abcd", "xy", null}) << 3163;
    QTest::newRow("the second field too long") << "" << row({"abc", "xyz", null}) << 3163;
    QTest::newRow("a surrogate pair is one character") << "" << row({QStringLiteral("a\U0001F600b"), "x", null}) << 0;
    QTest::newRow("an unpaired surrogate is one character")
        << "" << row({QStringLiteral("ab") + QChar(0xD800) + QChar(u'c'), "x", null}) << 3163;
    QTest::newRow("length ends at U+0000") << "" << row({QStringLiteral("ab") + QChar(0) + QStringLiteral("cdef"), "x", null}) << 0;
    QTest::newRow("empty refused") << "" << row({"", "x", null}) << 3315;
    QTest::newRow("Null passes the rules") << "" << row({null, "x", null}) << 0;
    QTest::newRow("required Null reported before a size") << "" << row({"abcd", null, null}) << 3314;
    QTest::newRow("size before emptiness across fields") << "" << row({"", "xyz", null}) << 3315;
    QTest::newRow("a user's own rule still holds")
        << "CREATE TABLE t (\"a\" VARCHAR(3) CONSTRAINT \"tw_size:a\" CHECK (length(\"a\") <= 3), b TEXT CHECK (b <> 'no'))"
        << row({"abc", "no"}) << 3317;
    QTest::newRow("a size rule on a numeric column")
        << "CREATE TABLE t (\"a\" STRING(3) CONSTRAINT \"tw_size:a\" CHECK (length(\"a\") <= 3), b TEXT)"
        << row({"1e5", "x"}) << 3163;
}

void TestDatabase::inserterAppliesTheRulesAsTheEngine()
{
    QFETCH(QString, declaration);
    QFETCH(QVariantList, row);
    QFETCH(int, number);
    // The same row through the engine's checks and through the inserter's:
    // the same answer, the same rows stored.
    QList<DbError> answers;
    QList<QVariant> stored;
    for (const auto checks : {RowInserter::Checks::Engine, RowInserter::Checks::InserterAlone}) {
        (void)m_db.dropTable("t");
        if (declaration.isEmpty()) {
            FieldDef required = FieldDef::text("b", 2);
            required.required = true;
            TW_VERIFY_OK(m_db.createTable({"t", {FieldDef::text("a", 3, false), required, FieldDef::of("c", FieldType::Memo)}}));
        } else {
            TW_VERIFY_RESULT(m_db.exec(declaration));
        }
        RowInserter inserter;
        TW_VERIFY_OK(inserter.open(m_db, "t", checks));
        TW_VERIFY_OK(inserter.begin());
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (row[i].isValid())
                inserter.setText(int(i), row[i].toString());
        }
        answers.append(inserter.insert());
        // The next row goes in as before.
        inserter.setText(0, QStringLiteral("ok"));
        inserter.setText(1, QStringLiteral("ok"));
        TW_VERIFY_OK(inserter.insert());
        TW_VERIFY_OK(inserter.close());
        stored.append(m_db.queryValue("select group_concat(quote(a) || quote(b), ';') from t").value());
        // Once the inserter is closed the engine checks again.
        QCOMPARE(m_db.exec("insert into t (a, b) values ('abcd', 'x')").error().number, 3163);
    }
    QCOMPARE(answers[0].number, number);
    QCOMPARE(answers[1].number, answers[0].number);
    QCOMPARE(answers[1].description, answers[0].description);
    QCOMPARE(stored[1], stored[0]);
}

void TestDatabase::tablesByNameWithoutCase()
{
    // Listed in the order they were made; an index made later does not
    // disturb it.
    for (const char *name : {"zeta", "MSysData", "Orders 2024", "gone", "Mid"})
        TW_VERIFY_OK(m_db.createTable({name, {FieldDef::text("a")}}));
    TW_VERIFY_OK(m_db.dropTable("Orders 2024"));
    TW_VERIFY_OK(m_db.createTable({"Orders 2024", {FieldDef::text("a")}}));
    TW_VERIFY_RESULT(m_db.exec("create index zi on zeta (a)"));
    TW_VERIFY_OK(m_db.dropTable("GONE"));
    QCOMPARE(m_db.tableNames().value(), QStringList({"zeta", "MSysData", "Mid", "Orders 2024"}));

    QCOMPARE(m_db.findTable("ORDERS 2024").value(), QString("Orders 2024"));
    QVERIFY(m_db.tableExists("oRdErS 2024"));
    QVERIFY(!m_db.tableExists("gone"));
    QCOMPARE(m_db.findTable("Orders").error().number, int(ErrorNumber::ObjectNotFound));
    QCOMPARE(m_db.dropTable("gone").number, int(ErrorNumber::ObjectNotFound));
    QCOMPARE(m_db.createTable({"orders 2024", {FieldDef::text("a")}}).number, int(ErrorNumber::TableExists));
    QCOMPARE(m_db.openRecordset("no such table").error().number, int(ErrorNumber::InputTableNotFound));
}

void TestDatabase::createTableRefusals_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QList<FieldDef>>("fields");
    QTest::addColumn<int>("number");
    QTest::newRow("empty table name") << "" << QList<FieldDef>{FieldDef::text("a")} << 3125;
    QTest::newRow("engine's own name space") << "sqlite_mine" << QList<FieldDef>{FieldDef::text("a")} << 3125;
    QTest::newRow("no fields") << "t" << QList<FieldDef>{} << 3264;
    QTest::newRow("empty field name") << "t" << QList<FieldDef>{FieldDef::text("")} << 3125;
    QTest::newRow("field name with line break") << "t" << QList<FieldDef>{FieldDef::text("a\nb")} << 3125;
    QTest::newRow("field named twice in other case")
        << "t" << QList<FieldDef>{FieldDef::text("Name"), FieldDef::text("NAME")} << 3191;
    QTest::newRow("text size 0") << "t" << QList<FieldDef>{FieldDef::text("a", 0)} << 3001;
    QTest::newRow("text size 256") << "t" << QList<FieldDef>{FieldDef::text("a", 256)} << 3001;
}

void TestDatabase::createTableRefusals()
{
    QFETCH(QString, table);
    QFETCH(QList<FieldDef>, fields);
    QFETCH(int, number);
    QCOMPARE(m_db.createTable({table, fields}).number, number);
    QCOMPARE(m_db.tableNames().value(), QStringList());
}

void TestDatabase::awkwardNamesStayNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("double quotes") << "say \"hi\"";
    QTest::newRow("single quote") << "O'Brien's";
    QTest::newRow("brackets") << "[x] and ]y[";
    QTest::newRow("injection") << ";drop table x;--";
    // A table of exactly that name wins over reading it as SQL.
    QTest::newRow("sql words") << "select * from t";
    QTest::newRow("non-ascii") << "Bestellungen \u00fc\u00df";
}

void TestDatabase::awkwardNamesStayNames()
{
    QFETCH(QString, name);
    TW_VERIFY_OK(m_db.createTable({"x", {FieldDef::text("a")}}));
    TW_VERIFY_OK(m_db.createTable({name, {FieldDef::text(name, 20, false), FieldDef::text("plain")}}));
    QCOMPARE(m_db.tableNames().value(), QStringList({"x", name}));
    const FieldDef field = m_db.fields(name).value().first();
    QCOMPARE(field, FieldDef::text(name, 20, false));

    Recordset rs = m_db.openRecordset(name).value();
    TW_VERIFY_OK(rs.addNew());
    TW_VERIFY_OK(rs.setValue(name, "value"));
    TW_VERIFY_OK(rs.update());
    const QString filter = quoteIdentifier(name) + " = 'value'";
    QCOMPARE(m_db.queryValue("select count(*) from " + quoteIdentifier(name) + " where " + filter).value().toInt(), 1);

    TW_VERIFY_OK(m_db.dropTable(name));
    QCOMPARE(m_db.tableNames().value(), QStringList({"x"}));
}

void TestDatabase::fieldDefinitionsRoundTrip()
{
    TableDef source{"source", {FieldDef::text("Name", 30, false), FieldDef::text("Code", 1),
                               FieldDef::of("Count", FieldType::Long), FieldDef::of("Price", FieldType::Currency),
                               FieldDef::of("Ratio", FieldType::Double), FieldDef::of("Small", FieldType::Single),
                               FieldDef::of("Flag", FieldType::Boolean), FieldDef::of("Tiny", FieldType::Byte),
                               FieldDef::of("Short", FieldType::Integer), FieldDef::of("When", FieldType::Date),
                               FieldDef::of("Notes", FieldType::Memo), FieldDef::of("Picture", FieldType::LongBinary),
                               FieldDef{"Raw", FieldType::Binary, 8, true, false},
                               FieldDef::of("Id", FieldType::Guid), FieldDef::of("Big", FieldType::BigInt)}};
    TW_VERIFY_OK(m_db.createTable(source));
    QCOMPARE(m_db.fields("source").value(), source.fields);
}

void TestDatabase::transactions()
{
    TW_VERIFY_OK(m_db.createTable({"t", {FieldDef::text("a")}}));
    TW_VERIFY_OK(m_db.begin());
    TW_VERIFY_RESULT(m_db.exec("insert into t values ('one')"));
    TW_VERIFY_OK(m_db.rollback());
    QCOMPARE(m_db.queryValue("select count(*) from t").value().toInt(), 0);
    TW_VERIFY_OK(m_db.begin());
    TW_VERIFY_RESULT(m_db.exec("insert into t values ('two')"));
    TW_VERIFY_OK(m_db.commit());
    QCOMPARE(m_db.queryValue("select a from t").value().toString(), QString("two"));
    QCOMPARE(m_db.commit().number, int(ErrorNumber::NoTransaction));
}

void TestDatabase::errorsOfStatements_data()
{
    QTest::addColumn<QString>("userSql");
    QTest::addColumn<int>("number");
    QTest::newRow("syntax") << "delete form t" << 3131;
    QTest::newRow("missing table") << "delete * from nothere" << 3078;
    QTest::newRow("unknown column") << "update t set b = 1" << 3061;
    QTest::newRow("two statements") << "delete from t; drop table t" << 3142;
    QTest::newRow("select into existing table") << "select * into t from t" << 3010;
    QTest::newRow("unknown function") << "update t set a = nosuch(a)" << 3085;
    QTest::newRow("rows changed") << "update t set a = val(a) + 1 where isnull(a) = 0" << 0;
}

void TestDatabase::errorsOfStatements()
{
    QFETCH(QString, userSql);
    QFETCH(int, number);
    TW_VERIFY_OK(m_db.createTable({"t", {FieldDef::text("a")}}));
    TW_VERIFY_RESULT(m_db.exec("insert into t values ('41 apples'), (NULL)"));
    const Result<qint64> result = m_db.execUser(userSql);
    QCOMPARE(result.error().number, number);
    if (number == 0) {
        QCOMPARE(result.value(), qint64(1));
        QCOMPARE(m_db.queryValue("select a from t where a is not null").value().toString(), QString("42"));
    }
    QVERIFY(m_db.tableExists("t"));
}

void TestDatabase::lockedDatabaseIsNoMissingTable()
{
    // While another program holds the file locked, the table list cannot be
    // read: that is the answer, not "no such table" nor "no saved queries".
    TW_VERIFY_OK(m_db.createTable({"t", {FieldDef::text("a")}}));
    TW_VERIFY_RESULT(m_db.exec("pragma busy_timeout = 0"));
    Database other;
    TW_VERIFY_OK(other.open(m_db.name()));
    TW_VERIFY_OK(other.exec("begin exclusive").error());
    QCOMPARE(m_db.openRecordset("t").error().number, int(ErrorNumber::CouldNotLock));
    QCOMPARE(m_db.queryNames().error().number, int(ErrorNumber::CouldNotLock));
    QCOMPARE(m_db.queryDef("q").error().number, int(ErrorNumber::CouldNotLock));
    RowInserter inserter;
    QCOMPARE(inserter.open(m_db, "t").number, int(ErrorNumber::CouldNotLock));
    TW_VERIFY_OK(other.rollback());
    QCOMPARE(m_db.queryNames().value(), QStringList());
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
