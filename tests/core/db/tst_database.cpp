// SPDX-License-Identifier: GPL-3.0-or-later
// Opening databases, tables and their fields, and the default database.
#include "dbtestsupport.h"

#include "core/db/database.h"
#include "core/db/identifier.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace tw;

class TestDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.close(); }

    void refusesFilesThatAreNoDatabase_data();
    void refusesFilesThatAreNoDatabase();
    void missingFileIsNotCreated();
    void createsWhenAsked();
    void nameIsFullPath();
    void eachDatabaseHasItsOwnConnection();

    void defaultDatabaseTables();
    void defaultDatabaseSettingsFields();
    void defaultDatabaseAllFields();
    void defaultDatabaseQueryCatalogMatchesOnDemandOne();

    void startUpCleanUpDeletesFilledRows();

    void textSizeIsEnforced_data();
    void textSizeIsEnforced();
    void zeroLengthRule_data();
    void zeroLengthRule();

    void tableLookupIgnoresCase();
    void tableListInCreationOrder();
    void createTableRefusals_data();
    void createTableRefusals();
    void awkwardNamesStayNames_data();
    void awkwardNamesStayNames();
    void copiedDefinitionKeepsNamesTypesSizes();
    void dropTable();

    void transactions();
    void errorsOfStatements_data();
    void errorsOfStatements();

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

void TestDatabase::refusesFilesThatAreNoDatabase_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("number");
    QTest::newRow("text file") << QByteArray("Name,Amount\r\nSmith,12\r\n") << 3343;
    QTest::newRow("empty file") << QByteArray() << 3343;
    QTest::newRow("long binary junk") << QByteArray(8192, '\xA5') << 3343;
    QTest::newRow("header but no body") << QByteArray("SQLite format 3\0garbage", 23) << 3343;
}

void TestDatabase::refusesFilesThatAreNoDatabase()
{
    QFETCH(QByteArray, content);
    QFETCH(int, number);
    const QString path = m_dir.filePath(QStringLiteral("notadb.mdb"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();

    const QString before = m_db.name();
    const DbError error = m_db.open(path);
    QCOMPARE(error.number, number);
    QVERIFY(!error.description.isEmpty());
    // The database that was open stays open and usable.
    QCOMPARE(m_db.name(), before);
    TW_VERIFY_RESULT(m_db.tableNames());
    // The file is left as it was.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
}

void TestDatabase::missingFileIsNotCreated()
{
    const QString path = m_dir.filePath(QStringLiteral("missing.mdb"));
    const QString before = m_db.name();
    QCOMPARE(m_db.open(path).number, int(ErrorNumber::FileNotFound));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(m_db.name(), before);
    QCOMPARE(m_db.open(m_dir.path()).number, int(ErrorNumber::PathFileAccess));
    QCOMPARE(m_db.open(QString()).number, int(ErrorNumber::FileNotFound));
}

void TestDatabase::createsWhenAsked()
{
    const QString path = m_dir.filePath(QStringLiteral("new.mdb"));
    Database created;
    TW_VERIFY_OK(created.open(path, {}, {}, Database::OpenMode::CreateIfMissing));
    created.close();
    // A fresh database is a database file at once, tables or not.
    Database reopened;
    TW_VERIFY_OK(reopened.open(path));
    QCOMPARE(reopened.tableNames().value(), QStringList());
}

void TestDatabase::nameIsFullPath()
{
    QCOMPARE(m_db.name(), QDir(m_dir.path()).absoluteFilePath(QStringLiteral("work.mdb")));
    m_db.close();
    QCOMPARE(m_db.name(), QString());
    QVERIFY(!m_db.isOpen());
    QCOMPARE(m_db.exec(QStringLiteral("select 1")).error().number, int(ErrorNumber::InvalidOperation));
}

void TestDatabase::eachDatabaseHasItsOwnConnection()
{
    Database second;
    TW_VERIFY_OK(second.open(m_db.name()));
    QVERIFY(second.connectionName() != m_db.connectionName());
    TW_VERIFY_OK(m_db.createTable({"t", {FieldDef::text("a")}}));
    QVERIFY(second.tableExists("T"));
    const QString name = second.connectionName();
    second.close();
    QVERIFY(!QSqlDatabase::contains(name));
    QVERIFY(m_db.tableExists("t"));
}

void TestDatabase::defaultDatabaseTables()
{
    const QString path = copyOfDefaultDatabase(m_dir, QStringLiteral("default-tables.mdb"));
    QVERIFY2(!path.isEmpty(), "TABWRIGHT_DEFAULT_DB must name the generated default database");
    Database db;
    TW_VERIFY_OK(db.open(path));
    QCOMPARE(db.tableNames().value(), QStringList({"MSysQueries", "tabwrite_settings", "tabwrite_allFields",
                                                   "SSysAdHocReportTitle"}));
    QCOMPARE(db.indexNames("tabwrite_allfields").value(), QStringList({"nameOfSettings"}));

    const QList<FieldDef> title = db.fields("SSysAdHocReportTitle").value();
    QStringList names;
    for (const FieldDef &f : title) {
        names.append(f.name);
        QVERIFY(f.isText());
    }
    QCOMPARE(names, QStringList({"ReportTitle", "Field1Name", "Field2Name", "Field3Name", "Field4Name",
                                 "Field5Name", "Field6Name", "Field7Name", "section"}));
    // Nothing in it yet: the report adds its one record itself.
    QCOMPARE(db.queryValue("select count(*) from \"SSysAdHocReportTitle\"").value().toInt(), 0);
}

void TestDatabase::defaultDatabaseSettingsFields()
{
    const QString path = copyOfDefaultDatabase(m_dir, QStringLiteral("default-settings.mdb"));
    Database db;
    TW_VERIFY_OK(db.open(path));
    const QList<FieldDef> fields = db.fields("tabwrite_settings").value();
    QCOMPARE(fields.size(), 5);
    QCOMPARE(fields[0].name, QString("column_heading"));
    QCOMPARE(int(fields[0].type), int(FieldType::Text));
    QVERIFY(fields[0].allowZeroLength);
    const QStringList numbers = {"get_data_from_column", "number_of_characters", "spaces_b4_next_column",
                                 "field_width"};
    for (int i = 0; i < numbers.size(); ++i) {
        QCOMPARE(fields[i + 1].name, numbers[i]);
        QCOMPARE(int(fields[i + 1].type), int(FieldType::Long));
    }
}

void TestDatabase::defaultDatabaseAllFields()
{
    const QString path = copyOfDefaultDatabase(m_dir, QStringLiteral("default-all.mdb"));
    Database db;
    TW_VERIFY_OK(db.open(path));
    const QList<FieldDef> fields = db.fields("tabwrite_allFields").value();
    const QStringList expected = {
        "nameOfSettings", "startLineAfter", "textToMove", "moveSpecificText", "moveFromCol", "moveNumOfChars",
        "moveToCol", "moveEndOfLine", "moveOptions", "moveSpaces", "movePlaceSpaces", "moveAfterProcess",
        "moveAfterProcessShow", "addText", "addIfContains", "addAtCol", "addEndOfLine", "addOptions", "addSpaces",
        "addPlaceSpaces", "addAfterProcess", "addAfterProcessShow", "replaceText", "replaceSpecificText",
        "replaceAtCol", "replaceNumOfChars", "replaceWith", "replaceEndOfLine", "replaceAfterProcess",
        "replaceAfterProcessShow", "deleteText", "deleteSpecificText", "deleteFromCol", "deleteNumOfChars",
        "deleteEndOfLine", "deleteOptions", "deleteSpaces", "deleteAfterProcess", "deleteAfterProcessShow",
        "formatCreate", "formatRemoveDelimiter", "formatDelimiter", "formatUseDelimiterString",
        "formatDelimiterString", "formatMoveDelimiter", "formatSpacesBetweenCols", "formatAddText",
        "formatTextToAdd", "formatAddFromCol", "formatNumOfChars", "formatFirstSection", "formatOptions",
        "formatPlaceSpaces", "formatSpaces", "formatAfterProcess", "formatAfterProcessShow", "tabwriteStartLineAt",
        "tabwriteAfterProcess", "tabwriteAfterProcessShow", "databaseProcessMethod", "databaseDelimiter"};
    QCOMPARE(expected.size(), 61);
    QCOMPARE(fields.size(), 61);
    for (int i = 0; i < fields.size(); ++i) {
        QCOMPARE(fields[i].name, expected[i]);
        const QString &n = fields[i].name;
        const bool isCheck = n.endsWith("AfterProcess") || n.endsWith("AfterProcessShow") || n.endsWith("EndOfLine")
            || n == "formatRemoveDelimiter" || n == "formatUseDelimiterString";
        const bool isNumber = !isCheck
            && (n.endsWith("Col") || n.endsWith("NumOfChars") || n.endsWith("Spaces") || n.endsWith("SpacesBetweenCols")
                || n == "tabwriteStartLineAt");
        if (n.endsWith("PlaceSpaces"))
            QCOMPARE(int(fields[i].type), int(FieldType::Memo));
        else if (isCheck)
            QCOMPARE(int(fields[i].type), int(FieldType::Integer));
        else if (isNumber)
            QCOMPARE(int(fields[i].type), int(FieldType::Double));
        else if (i > 0)
            QCOMPARE(int(fields[i].type), int(FieldType::Memo));
        if (fields[i].isText())
            QVERIFY2(fields[i].allowZeroLength, qPrintable(n));
    }

    // Texts of any length and empty texts are stored; names are unique
    // without regard to case.
    const QString longText(100000, u'x');
    TW_VERIFY_RESULT(db.exec("insert into \"tabwrite_allFields\" (\"nameOfSettings\", \"addText\", \"moveFromCol\", "
                             "\"moveEndOfLine\") values (?, ?, ?, ?)",
                             {"tabwrite_Weekly", longText, 2.5, 1}));
    TW_VERIFY_RESULT(db.exec("insert into \"tabwrite_allFields\" (\"nameOfSettings\", \"addText\") values (?, '')",
                             {"tabwrite_Daily"}));
    QCOMPARE(db.exec("insert into \"tabwrite_allFields\" (\"nameOfSettings\") values (?)", {"TABWRITE_weekly"})
                 .error()
                 .number,
             int(ErrorNumber::DuplicateKey));
    QCOMPARE(db.queryValue("select length(\"addText\") from \"tabwrite_allFields\" where \"nameOfSettings\" = ?",
                           {"TabWrite_WEEKLY"})
                 .value()
                 .toInt(),
             100000);
}

void TestDatabase::defaultDatabaseQueryCatalogMatchesOnDemandOne()
{
    const QString path = copyOfDefaultDatabase(m_dir, QStringLiteral("default-catalog.mdb"));
    Database shipped;
    TW_VERIFY_OK(shipped.open(path));
    // A database without the catalog gets it when its first query is saved.
    TW_VERIFY_RESULT(m_db.createQueryDef("q", "select 1"));
    QCOMPARE(m_db.fields("msysqueries").value(), shipped.fields("MSysQueries").value());
}

void TestDatabase::startUpCleanUpDeletesFilledRows()
{
    const QString path = copyOfDefaultDatabase(m_dir, QStringLiteral("default-cleanup.mdb"));
    Database db;
    TW_VERIFY_OK(db.open(path));
    const QString insert = "insert into \"tabwrite_settings\" (\"column_heading\", \"get_data_from_column\", "
                           "\"number_of_characters\", \"spaces_b4_next_column\", \"field_width\") values (?, ?, ?, ?, ?)";
    TW_VERIFY_RESULT(db.exec(insert, {"Name", 1, 10, 2, 10}));
    TW_VERIFY_RESULT(db.exec(insert, {"Kept", QVariant(), 5, 1, 5}));
    TW_VERIFY_RESULT(db.exec(insert, {"Zero", 0, 5, 1, 5}));
    TW_VERIFY_RESULT(db.exec(insert, {"Also kept", QVariant(), QVariant(), QVariant(), QVariant()}));

    const Result<qint64> deleted =
        db.execUser("delete * from tabwrite_settings where not isnull(get_data_from_column);");
    TW_VERIFY_RESULT(deleted);
    QCOMPARE(deleted.value(), qint64(2));
    Result<Recordset> rs = db.openRecordset("tabwrite_settings", RecordsetType::Table);
    TW_VERIFY_RESULT(rs);
    QStringList left;
    for (; !rs.value().isEof(); static_cast<void>(rs.value().moveNext()))
        left.append(rs.value().value("column_heading").value().toString());
    QCOMPARE(left, QStringList({"Kept", "Also kept"}));
}

void TestDatabase::textSizeIsEnforced_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("number");
    QTest::newRow("exact fit") << 5 << "abcde" << 0;
    QTest::newRow("one too long") << 5 << "abcdef" << 3163;
    QTest::newRow("size 1 fits one") << 1 << "x" << 0;
    QTest::newRow("size 1 refuses two") << 1 << "xy" << 3163;
    QTest::newRow("255 fits 255") << 255 << QString(255, u'a') << 0;
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
    const Result<qint64> inserted = m_db.exec("insert into sized (field) values (?)", {value});
    QCOMPARE(inserted.error().number, number);
    // The record set's update gives the same answer.
    Result<Recordset> rs = m_db.openRecordset("SIZED", RecordsetType::Table);
    TW_VERIFY_RESULT(rs);
    TW_VERIFY_OK(rs.value().addNew());
    TW_VERIFY_OK(rs.value().setValue("FIELD", value));
    QCOMPARE(rs.value().update().number, number);
    if (number == 3163)
        QVERIFY(rs.value().update().description.contains("field"));
    QCOMPARE(m_db.fields("sized").value().first().size, size);
}

void TestDatabase::zeroLengthRule_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("allow");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("number");
    QTest::newRow("allowed empty") << int(FieldType::Text) << true << QVariant(QString("")) << 0;
    QTest::newRow("refused empty") << int(FieldType::Text) << false << QVariant(QString("")) << 3315;
    QTest::newRow("refusing field takes text") << int(FieldType::Text) << false << QVariant(QString("x")) << 0;
    QTest::newRow("refusing field takes Null") << int(FieldType::Text) << false << QVariant() << 0;
    QTest::newRow("memo refuses empty") << int(FieldType::Memo) << false << QVariant(QString("")) << 3315;
    QTest::newRow("blank is not empty") << int(FieldType::Text) << false << QVariant(QString(" ")) << 0;
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
    Result<Recordset> rs = m_db.openRecordset("z");
    TW_VERIFY_RESULT(rs);
    TW_VERIFY_OK(rs.value().addNew());
    TW_VERIFY_OK(rs.value().setValue("f", value));
    TW_VERIFY_OK(rs.value().setValue("n", 1));
    const DbError error = rs.value().update();
    QCOMPARE(error.number, number);
    QCOMPARE(m_db.queryValue("select count(*) from z").value().toInt(), number ? 0 : 1);
    if (number) {
        // The edit stays open: correct the value and store again.
        TW_VERIFY_OK(rs.value().setValue("f", "ok"));
        TW_VERIFY_OK(rs.value().update());
        QCOMPARE(m_db.queryValue("select f from z").value().toString(), QString("ok"));
    }
}

void TestDatabase::tableLookupIgnoresCase()
{
    TW_VERIFY_OK(m_db.createTable({"Orders 2024", {FieldDef::text("a")}}));
    QCOMPARE(m_db.findTable("orders 2024").value(), QString("Orders 2024"));
    QCOMPARE(m_db.findTable("ORDERS 2024").value(), QString("Orders 2024"));
    QVERIFY(m_db.tableExists("oRdErS 2024"));
    QCOMPARE(m_db.findTable("Orders").error().number, int(ErrorNumber::ObjectNotFound));
    QCOMPARE(m_db.createTable({"ORDERS 2024", {FieldDef::text("a")}}).number, int(ErrorNumber::TableExists));
    QCOMPARE(m_db.openRecordset("no such table").error().number, int(ErrorNumber::InputTableNotFound));
    QCOMPARE(m_db.openRecordset("missing").error().number, int(ErrorNumber::InputTableNotFound));
}

void TestDatabase::tableListInCreationOrder()
{
    const QStringList names = {"zeta", "MSysData", "alpha", "tabwrite_Weekly", "Mid"};
    for (const QString &name : names)
        TW_VERIFY_OK(m_db.createTable({name, {FieldDef::text("a")}}));
    TW_VERIFY_OK(m_db.dropTable("alpha"));
    TW_VERIFY_OK(m_db.createTable({"alpha", {FieldDef::text("a")}}));
    // An index made later does not disturb the order.
    TW_VERIFY_RESULT(m_db.exec("create index zi on zeta (a)"));
    QCOMPARE(m_db.tableNames().value(), QStringList({"zeta", "MSysData", "tabwrite_Weekly", "Mid", "alpha"}));
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
    QTest::newRow("spaces") << "My Table";
    QTest::newRow("double quotes") << "say \"hi\"";
    QTest::newRow("single quote") << "O'Brien's";
    QTest::newRow("brackets") << "[x] and ]y[";
    QTest::newRow("injection") << ";drop table x;--";
    QTest::newRow("sql words") << "select * from t";
    QTest::newRow("non-ascii") << "Bestellungen \u00fc\u00df";
}

void TestDatabase::awkwardNamesStayNames()
{
    QFETCH(QString, name);
    TW_VERIFY_OK(m_db.createTable({"x", {FieldDef::text("a")}}));
    TW_VERIFY_OK(m_db.createTable({name, {FieldDef::text(name, 20, false), FieldDef::text("plain")}}));
    QCOMPARE(m_db.tableNames().value(), QStringList({"x", name}));
    const QList<FieldDef> fields = m_db.fields(name).value();
    QCOMPARE(fields.first().name, name);
    QCOMPARE(fields.first().size, 20);
    QVERIFY(!fields.first().allowZeroLength);

    Result<Recordset> rs = m_db.openRecordset(name);
    TW_VERIFY_RESULT(rs);
    TW_VERIFY_OK(rs.value().addNew());
    TW_VERIFY_OK(rs.value().setValue(name, "value"));
    TW_VERIFY_OK(rs.value().update());
    TW_VERIFY_OK(rs.value().addNew());
    TW_VERIFY_OK(rs.value().setValue(name, QString(21, u'v')));
    QCOMPARE(rs.value().update().number, 3163);
    TW_VERIFY_OK(rs.value().setValue(name, ""));
    QCOMPARE(rs.value().update().number, 3315);
    rs.value().cancelUpdate();
    TW_VERIFY_OK(rs.value().requery());
    QCOMPARE(rs.value().recordCount(), qint64(1));
    QCOMPARE(rs.value().value(name).value().toString(), QString("value"));

    // Filtering on the awkward field quotes it too.
    const QString filter = quoteIdentifier(name) + " = 'value'";
    TW_VERIFY_OK(m_db.exec("select count(*) from " + quoteIdentifier(name) + " where " + filter).error());

    TW_VERIFY_OK(m_db.dropTable(name));
    QCOMPARE(m_db.tableNames().value(), QStringList({"x"}));
}

void TestDatabase::copiedDefinitionKeepsNamesTypesSizes()
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
    const QList<FieldDef> read = m_db.fields("source").value();
    QCOMPARE(read, source.fields);

    // A copy as the table commands make it: same names, types and sizes,
    // empty values allowed everywhere.
    TableDef copy{"copy of source", read};
    for (FieldDef &field : copy.fields)
        field.allowZeroLength = true;
    TW_VERIFY_OK(m_db.createTable(copy));
    const QList<FieldDef> copied = m_db.fields("Copy Of Source").value();
    QCOMPARE(copied.size(), read.size());
    for (int i = 0; i < read.size(); ++i) {
        QCOMPARE(copied[i].name, read[i].name);
        QCOMPARE(int(copied[i].type), int(read[i].type));
        QCOMPARE(copied[i].size, read[i].size);
        QVERIFY(copied[i].allowZeroLength);
    }
}

void TestDatabase::dropTable()
{
    TW_VERIFY_OK(m_db.createTable({"Gone", {FieldDef::text("a")}}));
    TW_VERIFY_OK(m_db.dropTable("GONE"));
    QVERIFY(!m_db.tableExists("gone"));
    QCOMPARE(m_db.dropTable("gone").number, int(ErrorNumber::ObjectNotFound));
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

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
