// SPDX-License-Identifier: GPL-3.0-or-later
// Record sets: walking, editing, seeking, sorting and filtering; saved queries.
#include "dbtestsupport.h"

#include "core/db/database.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tw;

namespace {

QStringList column(Recordset &rs, const QString &field)
{
    QStringList values;
    if (rs.recordCount() == 0)
        return values;
    if ((rs.moveFirst()).isError())
        return {"<moveFirst failed>"};
    for (; !rs.isEof(); static_cast<void>(rs.moveNext()))
        values.append(rs.value(field).value().toString());
    return values;
}

} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.close(); }

    void emptySetIsBofAndEof();
    void walksInTableOrder();
    void moveAndPosition();
    void addEditDelete();
    void editWithoutAddNewOrEdit();
    void numbersTakeEmptyAsNull();
    void unknownFieldIsItemNotFound();
    void recordSetOutlivesDatabase();

    void seekSettingsNameIgnoresCase_data();
    void seekSettingsNameIgnoresCase();
    void indexOrder();
    void seekNeedsTableTypeAndIndex();

    void sortByExpression_data();
    void sortByExpression();
    void filterByUserExpression_data();
    void filterByUserExpression();
    void filterOfFilterNarrows();
    void invalidExpressionKeepsOldSet();
    void tableTypeCannotSortOrFilter();
    void requerySeesChanges();
    void selectSqlMatchesRows();

    void recordSetOnSql();
    void bigTableWalk();

    void savedQueries();
    void savedQueryParameters();
    void actionQueryReportsRowsChanged();
    void selectIntoCreatesTable();

private:
    void fillPeople();

    QTemporaryDir m_dir;
    Database m_db;
};

void TestRecordset::init()
{
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("rs.mdb"));
    QFile::remove(path);
    TW_VERIFY_OK(m_db.open(path, {}, {}, Database::OpenMode::CreateIfMissing));
}

void TestRecordset::fillPeople()
{
    TW_VERIFY_OK(m_db.createTable({"People", {FieldDef::text("Name", 20), FieldDef::text("Amount", 10),
                                              FieldDef::of("Age", FieldType::Long),
                                              FieldDef::of("Joined", FieldType::Date)}}));
    const QString insert = "insert into \"People\" values (?, ?, ?, ?)";
    TW_VERIFY_RESULT(m_db.exec(insert, {"Pantera", "10", 40, "2000-08-07"}));
    TW_VERIFY_RESULT(m_db.exec(insert, {"adams", "2", 25, "1999-01-16"}));
    TW_VERIFY_RESULT(m_db.exec(insert, {"Baker", "1", 33, "2000-11-03"}));
    TW_VERIFY_RESULT(m_db.exec(insert, {"panther", "x", 51, "2001-05-01"}));
}

void TestRecordset::emptySetIsBofAndEof()
{
    TW_VERIFY_OK(m_db.createTable({"t", {FieldDef::text("a")}}));
    Result<Recordset> rs = m_db.openRecordset("t", RecordsetType::Table);
    TW_VERIFY_RESULT(rs);
    QVERIFY(rs.value().isBof());
    QVERIFY(rs.value().isEof());
    QCOMPARE(rs.value().recordCount(), qint64(0));
    QCOMPARE(rs.value().absolutePosition(), qint64(-1));
    QCOMPARE(rs.value().moveFirst().number, int(ErrorNumber::NoCurrentRecord));
    QCOMPARE(rs.value().value("a").error().number, int(ErrorNumber::NoCurrentRecord));
    QCOMPARE(rs.value().edit().number, int(ErrorNumber::NoCurrentRecord));
    QCOMPARE(rs.value().deleteRecord().number, int(ErrorNumber::NoCurrentRecord));
}

void TestRecordset::walksInTableOrder()
{
    fillPeople();
    Result<Recordset> rs = m_db.openRecordset("people", RecordsetType::Table);
    TW_VERIFY_RESULT(rs);
    QCOMPARE(rs.value().recordCount(), qint64(4));
    QCOMPARE(column(rs.value(), "name"), QStringList({"Pantera", "adams", "Baker", "panther"}));
    QCOMPARE(rs.value().fields().size(), 4);
    QCOMPARE(rs.value().fields()[1].size, 10);
}

void TestRecordset::moveAndPosition()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value();
    QCOMPARE(rs.absolutePosition(), qint64(0));
    TW_VERIFY_OK(rs.moveLast());
    QCOMPARE(rs.absolutePosition(), qint64(3));
    QCOMPARE(rs.value("Name").value().toString(), QString("panther"));
    TW_VERIFY_OK(rs.moveNext());
    QVERIFY(rs.isEof());
    QCOMPARE(rs.moveNext().number, int(ErrorNumber::NoCurrentRecord));
    TW_VERIFY_OK(rs.moveFirst());
    TW_VERIFY_OK(rs.move(2));
    QCOMPARE(rs.value("Name").value().toString(), QString("Baker"));
    TW_VERIFY_OK(rs.movePrevious());
    QCOMPARE(rs.absolutePosition(), qint64(1));
    TW_VERIFY_OK(rs.move(-5));
    QVERIFY(rs.isBof());
    TW_VERIFY_OK(rs.setAbsolutePosition(3));
    QCOMPARE(rs.value(0).value().toString(), QString("panther"));
    QCOMPARE(rs.setAbsolutePosition(4).number, int(ErrorNumber::InvalidArgument));
}

void TestRecordset::addEditDelete()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People", RecordsetType::Table).value();
    TW_VERIFY_OK(rs.move(1)); // on adams

    TW_VERIFY_OK(rs.addNew());
    QCOMPARE(rs.editMode(), Recordset::EditMode::Add);
    TW_VERIFY_OK(rs.setValue("Name", "Carter"));
    TW_VERIFY_OK(rs.setValue("Age", 19));
    TW_VERIFY_OK(rs.update());
    // The row that was current stays current; the new one is at the end.
    QCOMPARE(rs.value("Name").value().toString(), QString("adams"));
    QCOMPARE(rs.recordCount(), qint64(5));

    TW_VERIFY_OK(rs.edit());
    TW_VERIFY_OK(rs.setValue("Age", 26));
    QCOMPARE(rs.value("Age").value().toInt(), 26);
    TW_VERIFY_OK(rs.update());
    QCOMPARE(m_db.queryValue("select \"Age\" from \"People\" where \"Name\" = 'adams'").value().toInt(), 26);

    TW_VERIFY_OK(rs.deleteRecord());
    QCOMPARE(rs.value("Name").error().number, int(ErrorNumber::RecordDeleted));
    TW_VERIFY_OK(rs.moveNext());
    QCOMPARE(rs.value("Name").value().toString(), QString("Baker"));
    QCOMPARE(rs.recordCount(), qint64(4));
    QCOMPARE(column(rs, "Name"), QStringList({"Pantera", "Baker", "panther", "Carter"}));

    // Deleting the last row leaves the set at its end after the next move.
    TW_VERIFY_OK(rs.moveLast());
    TW_VERIFY_OK(rs.deleteRecord());
    TW_VERIFY_OK(rs.moveNext());
    QVERIFY(rs.isEof());
}

void TestRecordset::editWithoutAddNewOrEdit()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value();
    QCOMPARE(rs.setValue("Name", "x").number, int(ErrorNumber::UpdateWithoutEdit));
    QCOMPARE(rs.update().number, int(ErrorNumber::UpdateWithoutEdit));
    // Moving away drops an unsaved edit.
    TW_VERIFY_OK(rs.edit());
    TW_VERIFY_OK(rs.setValue("Name", "changed"));
    TW_VERIFY_OK(rs.moveNext());
    TW_VERIFY_OK(rs.moveFirst());
    QCOMPARE(rs.value("Name").value().toString(), QString("Pantera"));
}

void TestRecordset::numbersTakeEmptyAsNull()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value();
    TW_VERIFY_OK(rs.addNew());
    TW_VERIFY_OK(rs.setValue("Name", "Nobody"));
    TW_VERIFY_OK(rs.setValue("Age", ""));
    TW_VERIFY_OK(rs.setValue("Joined", QDate(2024, 2, 29)));
    TW_VERIFY_OK(rs.update());
    QVERIFY(m_db.queryValue("select \"Age\" from \"People\" where \"Name\" = 'Nobody'").value().isNull());
    QCOMPARE(m_db.queryValue("select \"Joined\" from \"People\" where \"Name\" = 'Nobody'").value().toString(),
             QString("2024-02-29"));
}

void TestRecordset::unknownFieldIsItemNotFound()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value();
    QCOMPARE(rs.value("Nope").error().number, int(ErrorNumber::ItemNotFound));
    TW_VERIFY_OK(rs.edit());
    QCOMPARE(rs.setValue("Nope", 1).number, int(ErrorNumber::ItemNotFound));
}

void TestRecordset::recordSetOutlivesDatabase()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value();
    QCOMPARE(rs.value("Name").value().toString(), QString("Pantera"));
    Recordset snapshot = m_db.openRecordset("select * from People").value();
    TW_VERIFY_OK(rs.moveNext());
    m_db.close();
    QCOMPARE(rs.value("Name").error().number, int(ErrorNumber::InvalidOperation));
    QCOMPARE(rs.edit().number, int(ErrorNumber::InvalidOperation));
    QVERIFY(rs.sorted("Name").error().isError());
}

void TestRecordset::seekSettingsNameIgnoresCase_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("stored");
    QTest::newRow("as stored") << "tabwrite_Weekly" << true << "tabwrite_Weekly";
    QTest::newRow("other case") << "TABWRITE_WEEKLY" << true << "tabwrite_Weekly";
    QTest::newRow("another row") << "tabwrite_daily" << true << "tabwrite_Daily";
    QTest::newRow("prefix only") << "tabwrite_Week" << false << "";
    QTest::newRow("not stored") << "tabwrite_Monthly" << false << "";
}

void TestRecordset::seekSettingsNameIgnoresCase()
{
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, stored);
    Database db;
    TW_VERIFY_OK(db.open(copyOfDefaultDatabase(m_dir, QStringLiteral("seek.mdb"))));
    Recordset rs = db.openRecordset("tabwrite_allFields", RecordsetType::Table).value();
    for (const char *name : {"tabwrite_Weekly", "tabwrite_Daily", "tabwrite_Annual"}) {
        TW_VERIFY_OK(rs.addNew());
        TW_VERIFY_OK(rs.setValue("nameOfSettings", QString::fromLatin1(name)));
        TW_VERIFY_OK(rs.update());
    }
    TW_VERIFY_OK(rs.setIndex("NAMEOFSETTINGS"));
    QCOMPARE(rs.index(), QString("nameOfSettings"));
    TW_VERIFY_OK(rs.seek("=", {key}));
    QCOMPARE(rs.noMatch(), !found);
    if (found) {
        QCOMPARE(rs.value("nameOfSettings").value().toString(), stored);
        // Found rows can be edited in place, as saving over a settings does.
        TW_VERIFY_OK(rs.edit());
        TW_VERIFY_OK(rs.setValue("addText", "overwritten"));
        TW_VERIFY_OK(rs.update());
        QCOMPARE(db.queryValue("select \"addText\" from \"tabwrite_allFields\" where \"nameOfSettings\" = ?", {stored})
                     .value()
                     .toString(),
                 QString("overwritten"));
    } else {
        QVERIFY(rs.isEof());
    }
    QFile::remove(db.name());
}

void TestRecordset::indexOrder()
{
    Database db;
    TW_VERIFY_OK(db.open(copyOfDefaultDatabase(m_dir, QStringLiteral("order.mdb"))));
    Recordset rs = db.openRecordset("tabwrite_allFields", RecordsetType::Table).value();
    for (const char *name : {"tabwrite_weekly", "tabwrite_Annual", "tabwrite_daily"}) {
        TW_VERIFY_OK(rs.addNew());
        TW_VERIFY_OK(rs.setValue("nameOfSettings", QString::fromLatin1(name)));
        TW_VERIFY_OK(rs.update());
    }
    QCOMPARE(column(rs, "nameOfSettings"), QStringList({"tabwrite_weekly", "tabwrite_Annual", "tabwrite_daily"}));
    TW_VERIFY_OK(rs.setIndex("nameOfSettings"));
    QCOMPARE(column(rs, "nameOfSettings"), QStringList({"tabwrite_Annual", "tabwrite_daily", "tabwrite_weekly"}));
    TW_VERIFY_OK(rs.seek(">=", {"TABWRITE_B"}));
    QCOMPARE(rs.value("nameOfSettings").value().toString(), QString("tabwrite_daily"));
    TW_VERIFY_OK(rs.seek("<", {"tabwrite_daily"}));
    QCOMPARE(rs.value("nameOfSettings").value().toString(), QString("tabwrite_Annual"));
    QCOMPARE(rs.setIndex("noSuchIndex").number, int(ErrorNumber::ItemNotFound));
    QFile::remove(db.name());
}

void TestRecordset::seekNeedsTableTypeAndIndex()
{
    fillPeople();
    Recordset table = m_db.openRecordset("People", RecordsetType::Table).value();
    QCOMPARE(table.seek("=", {"x"}).number, int(ErrorNumber::NoCurrentIndex));
    Recordset dynaset = m_db.openRecordset("People").value();
    QCOMPARE(dynaset.setIndex("x").number, int(ErrorNumber::NotSupportedForType));
    QCOMPARE(dynaset.seek("=", {"x"}).number, int(ErrorNumber::NotSupportedForType));
}

void TestRecordset::sortByExpression_data()
{
    QTest::addColumn<QString>("sort");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("text column") << "[Name]" << QStringList({"adams", "Baker", "Pantera", "panther"});
    QTest::newRow("descending") << "[Name] desc" << QStringList({"panther", "Pantera", "Baker", "adams"});
    QTest::newRow("numbers held as text, by value")
        << "val([Amount])" << QStringList({"panther", "Baker", "adams", "Pantera"});
    QTest::newRow("numbers held as text, as text")
        << "[Amount]" << QStringList({"Baker", "Pantera", "adams", "panther"});
    QTest::newRow("number column desc") << "Age desc" << QStringList({"panther", "Pantera", "Baker", "adams"});
    QTest::newRow("dates") << "Joined" << QStringList({"adams", "Pantera", "Baker", "panther"});
}

void TestRecordset::sortByExpression()
{
    QFETCH(QString, sort);
    QFETCH(QStringList, names);
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value();
    TW_VERIFY_OK(rs.moveLast());
    Result<Recordset> sorted = rs.sorted(sort);
    TW_VERIFY_RESULT(sorted);
    QCOMPARE(column(sorted.value(), "Name"), names);
    QVERIFY(sorted.value().isUpdatable());
    // The original keeps its order and its place.
    QCOMPARE(rs.absolutePosition(), qint64(3));
    QCOMPARE(column(rs, "Name"), QStringList({"Pantera", "adams", "Baker", "panther"}));
}

void TestRecordset::filterByUserExpression_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("text in double quotes") << "Name = \"Baker\"" << QStringList({"Baker"});
    QTest::newRow("text ignores case") << "name = \"BAKER\"" << QStringList({"Baker"});
    QTest::newRow("number") << "Age = 25" << QStringList({"adams"});
    QTest::newRow("or") << "Name=\"adams\" or name=\"Baker\"" << QStringList({"adams", "Baker"});
    QTest::newRow("like with star") << "Name like \"pant*\"" << QStringList({"Pantera", "panther"});
    QTest::newRow("like with question mark") << "Name like \"pant?r*\"" << QStringList({"Pantera"});
    QTest::newRow("not like and between")
        << "Name not like \"Pan*\" AND Age between 20 and 35" << QStringList({"adams", "Baker"});
    QTest::newRow("date literal") << "Joined >= #8/7/00#" << QStringList({"Pantera", "Baker", "panther"});
    QTest::newRow("dates between")
        << "Joined between #1/16/99# And #11/3/00# OR Age >= 50"
        << QStringList({"Pantera", "adams", "Baker", "panther"});
    QTest::newRow("combined with and/or")
        << "Name = \"Pantera\" and Joined >= #8/7/00# or Age < 30" << QStringList({"Pantera", "adams"});
    QTest::newRow("not equal for text") << "Name not = \"Baker\"" << QStringList({"Pantera", "adams", "panther"});
    QTest::newRow("isnull") << "isnull(Name)" << QStringList();
    QTest::newRow("val") << "val(Amount) > 1" << QStringList({"Pantera", "adams"});
}

void TestRecordset::filterByUserExpression()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, names);
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value();
    Result<Recordset> filtered = rs.filtered(filter);
    TW_VERIFY_RESULT(filtered);
    QCOMPARE(column(filtered.value(), "Name"), names);
    QCOMPARE(filtered.value().recordCount(), qint64(names.size()));
}

void TestRecordset::filterOfFilterNarrows()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value();
    Recordset older = rs.filtered("Age > 30").value();
    Recordset sorted = older.sorted("Name desc").value();
    Recordset narrow = sorted.filtered("Name like \"p*\"").value();
    QCOMPARE(column(narrow, "Name"), QStringList({"panther", "Pantera"}));
}

void TestRecordset::invalidExpressionKeepsOldSet()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value();
    QCOMPARE(rs.filtered("Name = = 3").error().number, int(ErrorNumber::SyntaxErrorInExpression));
    QCOMPARE(rs.sorted("Name desc desc").error().number, int(ErrorNumber::SyntaxErrorInExpression));
    QCOMPARE(rs.filtered("NoSuchField = 1").error().number, int(ErrorNumber::TooFewParameters));
    QCOMPARE(rs.filtered("  ").error().number, int(ErrorNumber::SyntaxErrorInExpression));
    // An attempt to break out of the filter stays inside it.
    QVERIFY(rs.filtered("1) ; drop table \"People\" --").error().isError());
    QVERIFY(m_db.tableExists("People"));
    QCOMPARE(rs.recordCount(), qint64(4));
}

void TestRecordset::tableTypeCannotSortOrFilter()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People", RecordsetType::Table).value();
    QCOMPARE(rs.sorted("Name").error().number, int(ErrorNumber::NotSupportedForType));
    QCOMPARE(rs.filtered("Age > 1").error().number, int(ErrorNumber::NotSupportedForType));
}

void TestRecordset::requerySeesChanges()
{
    fillPeople();
    Recordset filtered = m_db.openRecordset("People").value().filtered("Age > 30").value();
    QCOMPARE(filtered.recordCount(), qint64(3));
    TW_VERIFY_RESULT(m_db.exec("insert into \"People\" (\"Name\", \"Age\") values ('Zed', 99)"));
    TW_VERIFY_RESULT(m_db.exec("delete from \"People\" where \"Name\" = 'Baker'"));
    TW_VERIFY_OK(filtered.requery());
    QCOMPARE(column(filtered, "Name"), QStringList({"Pantera", "panther", "Zed"}));
}

void TestRecordset::selectSqlMatchesRows()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value().filtered("Age < 45").value().sorted("Age").value();
    QSqlQuery query(m_db.connection());
    QVERIFY(query.exec(rs.selectSql()));
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    QCOMPARE(names, column(rs, "Name"));
}

void TestRecordset::recordSetOnSql()
{
    fillPeople();
    Result<Recordset> rs =
        m_db.openRecordset("select Name, Age * 2 as Twice from People where Name like \"pant*\" order by Age desc");
    TW_VERIFY_RESULT(rs);
    QVERIFY(!rs.value().isUpdatable());
    QCOMPARE(rs.value().type(), RecordsetType::Snapshot);
    QCOMPARE(column(rs.value(), "Twice"), QStringList({"102", "80"}));
    QCOMPARE(int(rs.value().fields()[0].type), int(FieldType::Text));
    QCOMPARE(rs.value().fields()[0].size, 20);
    QCOMPARE(rs.value().addNew().number, int(ErrorNumber::ReadOnly));
    Result<Recordset> sorted = rs.value().sorted("Twice");
    TW_VERIFY_RESULT(sorted);
    QCOMPARE(column(sorted.value(), "Name"), QStringList({"Pantera", "panther"}));
    QCOMPARE(m_db.openRecordset("delete from People").error().number, int(ErrorNumber::InvalidOperation));
    QCOMPARE(m_db.openRecordset("select * from People", RecordsetType::Table).error().number,
             int(ErrorNumber::InvalidOperation));
    QCOMPARE(m_db.tableNames().value(), QStringList({"People"}));
}

void TestRecordset::bigTableWalk()
{
    TW_VERIFY_OK(m_db.createTable({"big", {FieldDef::of("n", FieldType::Long), FieldDef::text("t", 20)}}));
    TW_VERIFY_RESULT(m_db.exec("with recursive c(x) as (select 1 union all select x + 1 from c where x < 20000) "
                               "insert into big select x, 'row ' || x from c"));
    Recordset rs = m_db.openRecordset("big", RecordsetType::Table).value();
    QCOMPARE(rs.recordCount(), qint64(20000));
    qint64 sum = 0;
    qint64 rows = 0;
    for (; !rs.isEof(); static_cast<void>(rs.moveNext())) {
        sum += rs.value(0).value().toLongLong();
        ++rows;
    }
    QCOMPARE(rows, qint64(20000));
    QCOMPARE(sum, qint64(20000) * 20001 / 2);
    // Another connection can write while this record set is open.
    Database other;
    TW_VERIFY_OK(other.open(m_db.name()));
    TW_VERIFY_OK(rs.moveFirst());
    TW_VERIFY_RESULT(other.exec("insert into big (n) values (0)"));
}

void TestRecordset::savedQueries()
{
    fillPeople();
    QCOMPARE(m_db.queryNames().value(), QStringList());
    TW_VERIFY_RESULT(m_db.createQueryDef("Young", "select * from People where Age < 30"));
    TW_VERIFY_RESULT(m_db.createQueryDef("~adhoc", "select Name as Field1 from People"));
    TW_VERIFY_RESULT(m_db.createQueryDef("adults", "select * from People where Age >= 30"));
    // An empty name makes a temporary query that is never stored.
    Result<QueryDef> temporary = m_db.createQueryDef("", "select 1");
    TW_VERIFY_RESULT(temporary);
    QVERIFY(temporary.value().isTemporary());
    QCOMPARE(m_db.queryNames().value(), QStringList({"adults", "Young", "~adhoc"}));
    QCOMPARE(m_db.createQueryDef("YOUNG", "select 2").error().number, int(ErrorNumber::ObjectExists));

    QueryDef young = m_db.queryDef("young").value();
    QCOMPARE(young.name(), QString("Young"));
    QCOMPARE(young.sql(), QString("select * from People where Age < 30"));
    Result<QueryOutcome> outcome = m_db.run(young);
    TW_VERIFY_RESULT(outcome);
    QVERIFY(outcome.value().returnedRecords);
    QCOMPARE(column(outcome.value().records, "Name"), QStringList({"adams"}));

    young.setSql("select * from People where Age < 40");
    TW_VERIFY_OK(m_db.updateQueryDef(young));
    QCOMPARE(m_db.queryDef("Young").value().sql(), QString("select * from People where Age < 40"));

    TW_VERIFY_OK(m_db.deleteQueryDef("YOUNG"));
    QCOMPARE(m_db.deleteQueryDef("Young").number, int(ErrorNumber::ItemNotFound));
    QCOMPARE(m_db.queryDef("Young").error().number, int(ErrorNumber::ItemNotFound));
    QCOMPARE(m_db.queryNames().value(), QStringList({"adults", "~adhoc"}));
    // The catalog table is listed like any table; its name hides it from users.
    QVERIFY(m_db.tableNames().value().contains("MSysQueries"));
}

void TestRecordset::savedQueryParameters()
{
    fillPeople();
    TW_VERIFY_RESULT(m_db.createQueryDef("ByName", "select Age from People where Name like :pattern and Age > :min"));
    QueryDef query = m_db.queryDef("ByName").value();
    const QList<QueryParameter> params = query.parameters();
    QCOMPARE(params.size(), 2);
    QCOMPARE(params[0].name, QString("pattern"));
    QCOMPARE(params[1].name, QString("min"));
    QVERIFY(!params[0].value.isValid());

    const Result<QueryOutcome> tooFew = m_db.run(query);
    QCOMPARE(tooFew.error().number, int(ErrorNumber::TooFewParameters));
    QVERIFY(tooFew.error().description.contains('2'));

    TW_VERIFY_OK(query.setParameter("PATTERN", "pant%"));
    QCOMPARE(m_db.run(query).error().number, int(ErrorNumber::TooFewParameters));
    TW_VERIFY_OK(query.setParameter(":min", 45));
    QCOMPARE(query.setParameter("other", 1).number, int(ErrorNumber::ItemNotFound));
    QCOMPARE(query.parameters()[1].value, QVariant(45));
    Result<QueryOutcome> outcome = m_db.run(query);
    TW_VERIFY_RESULT(outcome);
    QCOMPARE(column(outcome.value().records, "Age"), QStringList({"51"}));
}

void TestRecordset::actionQueryReportsRowsChanged()
{
    fillPeople();
    TW_VERIFY_RESULT(m_db.createQueryDef("Older", "update People set Age = Age + 1 where Name like \"p*\""));
    Result<QueryOutcome> outcome = m_db.run(m_db.queryDef("older").value());
    TW_VERIFY_RESULT(outcome);
    QVERIFY(!outcome.value().returnedRecords);
    QCOMPARE(outcome.value().rowsAffected, qint64(2));
    QCOMPARE(m_db.run(QueryDef({}, "delete * from People where Age > :limit")).error().number,
             int(ErrorNumber::TooFewParameters));
    QCOMPARE(m_db.run(QueryDef({}, "selec * from People")).error().number, int(ErrorNumber::SyntaxError));
}

void TestRecordset::selectIntoCreatesTable()
{
    fillPeople();
    Result<QueryOutcome> outcome = m_db.run(QueryDef({}, "select Name, Age into [Old People] from People where Age > 35"));
    TW_VERIFY_RESULT(outcome);
    QVERIFY(!outcome.value().returnedRecords);
    QCOMPARE(m_db.tableNames().value(), QStringList({"People", "Old People"}));
    Recordset rs = m_db.openRecordset("old people").value();
    QCOMPARE(column(rs, "Name"), QStringList({"Pantera", "panther"}));
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
