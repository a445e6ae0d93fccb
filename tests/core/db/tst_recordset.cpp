// SPDX-License-Identifier: GPL-3.0-or-later
// Record sets: walking, editing, seeking, sorting and filtering; saved queries.
#include "dbtestsupport.h"

#include "core/db/database.h"

#include <QSqlQuery>
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
    void walkAndPosition();
    void addEditDelete();
    void editRules();
    void recordSetOutlivesDatabase();

    void seekOnSettingsNames_data();
    void seekOnSettingsNames();
    void refusedByType();

    void sortByExpression_data();
    void sortByExpression();
    void filterByUserExpression_data();
    void filterByUserExpression();
    void invalidExpressionKeepsOldSet();
    void requeryAndSelectSql();

    void recordSetOnSql();

    void savedQueries();
    void savedQueryParameters();
    void actionQueries();

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
    Recordset rs = m_db.openRecordset("t", RecordsetType::Table).value();
    QVERIFY(rs.isBof());
    QVERIFY(rs.isEof());
    QCOMPARE(rs.recordCount(), qint64(0));
    QCOMPARE(rs.absolutePosition(), qint64(-1));
    QCOMPARE(rs.moveFirst().number, int(ErrorNumber::NoCurrentRecord));
    QCOMPARE(rs.value("a").error().number, int(ErrorNumber::NoCurrentRecord));
    QCOMPARE(rs.edit().number, int(ErrorNumber::NoCurrentRecord));
    QCOMPARE(rs.deleteRecord().number, int(ErrorNumber::NoCurrentRecord));
}

void TestRecordset::walkAndPosition()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("people", RecordsetType::Table).value();
    QCOMPARE(column(rs, "name"), QStringList({"Pantera", "adams", "Baker", "panther"}));
    TW_VERIFY_OK(rs.moveFirst());
    QCOMPARE(rs.absolutePosition(), qint64(0));
    TW_VERIFY_OK(rs.moveLast());
    QCOMPARE(rs.absolutePosition(), qint64(3));
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
    QCOMPARE(rs.value("Nope").error().number, int(ErrorNumber::ItemNotFound));
}

void TestRecordset::addEditDelete()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People", RecordsetType::Table).value();
    TW_VERIFY_OK(rs.move(1)); // on adams

    TW_VERIFY_OK(rs.addNew());
    QCOMPARE(rs.editMode(), Recordset::EditMode::Add);
    TW_VERIFY_OK(rs.setValue("Name", "Carter"));
    // An empty entry in a number field is no value; dates are stored as ISO.
    TW_VERIFY_OK(rs.setValue("Age", ""));
    TW_VERIFY_OK(rs.setValue("Joined", QDate(2024, 2, 29)));
    TW_VERIFY_OK(rs.update());
    // The row that was current stays current; the new one is at the end.
    QCOMPARE(rs.value("Name").value().toString(), QString("adams"));
    QCOMPARE(rs.recordCount(), qint64(5));
    QCOMPARE(m_db.queryValue("select coalesce(\"Age\", 'null') || ' ' || \"Joined\" from \"People\" "
                             "where \"Name\" = 'Carter'").value().toString(),
             QString("null 2024-02-29"));

    TW_VERIFY_OK(rs.edit());
    TW_VERIFY_OK(rs.setValue("Age", 26));
    QCOMPARE(rs.value("Age").value().toInt(), 26);
    TW_VERIFY_OK(rs.update());
    QCOMPARE(m_db.queryValue("select \"Age\" from \"People\" where \"Name\" = 'adams'").value().toInt(), 26);

    TW_VERIFY_OK(rs.deleteRecord());
    QCOMPARE(rs.value("Name").error().number, int(ErrorNumber::RecordDeleted));
    TW_VERIFY_OK(rs.moveNext());
    QCOMPARE(rs.value("Name").value().toString(), QString("Baker"));
    QCOMPARE(column(rs, "Name"), QStringList({"Pantera", "Baker", "panther", "Carter"}));

    // Deleting the last row leaves the set at its end after the next move.
    TW_VERIFY_OK(rs.moveLast());
    TW_VERIFY_OK(rs.deleteRecord());
    TW_VERIFY_OK(rs.moveNext());
    QVERIFY(rs.isEof());
}

void TestRecordset::editRules()
{
    fillPeople();
    Recordset rs = m_db.openRecordset("People").value();
    QCOMPARE(rs.setValue("Name", "x").number, int(ErrorNumber::UpdateWithoutEdit));
    QCOMPARE(rs.update().number, int(ErrorNumber::UpdateWithoutEdit));
    // Moving away drops an unsaved edit.
    TW_VERIFY_OK(rs.edit());
    QCOMPARE(rs.setValue("Nope", 1).number, int(ErrorNumber::ItemNotFound));
    TW_VERIFY_OK(rs.setValue("Name", "changed"));
    TW_VERIFY_OK(rs.moveNext());
    TW_VERIFY_OK(rs.moveFirst());
    QCOMPARE(rs.value("Name").value().toString(), QString("Pantera"));
    // A record set holds no lock: another connection writes meanwhile. A row
    // it deleted during the edit is not "stored".
    TW_VERIFY_OK(rs.edit());
    TW_VERIFY_OK(rs.setValue("Age", 1));
    Database other;
    TW_VERIFY_OK(other.open(m_db.name()));
    TW_VERIFY_RESULT(other.exec("delete from \"People\" where \"Name\" = 'Pantera'"));
    QCOMPARE(rs.update().number, int(ErrorNumber::RecordDeleted));
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

void TestRecordset::seekOnSettingsNames_data()
{
    QTest::addColumn<QString>("comparison");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("found"); // "" for no match
    QTest::newRow("= ignores case") << "=" << "TABWRITE_WEEKLY" << "tabwrite_Weekly";
    QTest::newRow("= on a prefix only") << "=" << "tabwrite_Week" << "";
    QTest::newRow(">= ignores case") << ">=" << "TABWRITE_B" << "tabwrite_daily";
    QTest::newRow("<") << "<" << "tabwrite_daily" << "tabwrite_Annual";
}

void TestRecordset::seekOnSettingsNames()
{
    QFETCH(QString, comparison);
    QFETCH(QString, key);
    QFETCH(QString, found);
    Database db;
    TW_VERIFY_OK(db.open(copyOfDefaultDatabase(m_dir, QStringLiteral("seek.mdb"))));
    Recordset rs = db.openRecordset("tabwrite_allFields", RecordsetType::Table).value();
    for (const char *name : {"tabwrite_Weekly", "tabwrite_Annual", "tabwrite_daily"}) {
        TW_VERIFY_OK(rs.addNew());
        TW_VERIFY_OK(rs.setValue("nameOfSettings", QString::fromLatin1(name)));
        TW_VERIFY_OK(rs.update());
    }
    QCOMPARE(rs.setIndex("noSuchIndex").number, int(ErrorNumber::ItemNotFound));
    TW_VERIFY_OK(rs.setIndex("NAMEOFSETTINGS"));
    QCOMPARE(rs.index(), QString("nameOfSettings"));
    QCOMPARE(column(rs, "nameOfSettings"), QStringList({"tabwrite_Annual", "tabwrite_daily", "tabwrite_Weekly"}));
    TW_VERIFY_OK(rs.seek(comparison, {key}));
    QCOMPARE(rs.noMatch(), found.isEmpty());
    if (found.isEmpty()) {
        QVERIFY(rs.isEof());
    } else {
        QCOMPARE(rs.value("nameOfSettings").value().toString(), found);
        // Found rows can be edited in place, as saving over a settings does.
        TW_VERIFY_OK(rs.edit());
        TW_VERIFY_OK(rs.setValue("addText", "overwritten"));
        TW_VERIFY_OK(rs.update());
        QCOMPARE(db.queryValue("select \"addText\" from \"tabwrite_allFields\" where \"nameOfSettings\" = ?", {found})
                     .value().toString(),
                 QString("overwritten"));
    }
    // A clone walks in the same index order, or fails when it cannot.
    Recordset clone = rs.clone().value();
    QCOMPARE(column(clone, "nameOfSettings").first(), QString("tabwrite_Annual"));
    TW_VERIFY_RESULT(db.exec("drop index \"nameOfSettings\""));
    QCOMPARE(rs.clone().error().number, int(ErrorNumber::ItemNotFound));
    QFile::remove(db.name());
}

void TestRecordset::refusedByType()
{
    fillPeople();
    Recordset table = m_db.openRecordset("People", RecordsetType::Table).value();
    QCOMPARE(table.seek("=", {"x"}).number, int(ErrorNumber::NoCurrentIndex));
    QCOMPARE(table.sorted("Name").error().number, int(ErrorNumber::NotSupportedForType));
    QCOMPARE(table.filtered("Age > 1").error().number, int(ErrorNumber::NotSupportedForType));
    Recordset dynaset = m_db.openRecordset("People").value();
    QCOMPARE(dynaset.setIndex("x").number, int(ErrorNumber::NotSupportedForType));
    QCOMPARE(dynaset.seek("=", {"x"}).number, int(ErrorNumber::NotSupportedForType));
}

void TestRecordset::sortByExpression_data()
{
    QTest::addColumn<QString>("sort");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("text ignores case") << "[Name]" << QStringList({"adams", "Baker", "Pantera", "panther"});
    QTest::newRow("numbers held as text, by value")
        << "val([Amount])" << QStringList({"panther", "Baker", "adams", "Pantera"});
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
    // Expressions in the user dialect; the dialect's rules are tested on their own.
    QTest::newRow("text ignores case") << "name = \"BAKER\"" << QStringList({"Baker"});
    QTest::newRow("dates between")
        << "Joined between #1/16/99# And #11/3/00# OR Age >= 50"
        << QStringList({"Pantera", "adams", "Baker", "panther"});
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

void TestRecordset::requeryAndSelectSql()
{
    fillPeople();
    // A filter of a filter narrows it; the sort between stays.
    Recordset rs = m_db.openRecordset("People").value().filtered("Age > 30").value().sorted("Age desc").value()
                       .filtered("Name like \"p*\"").value();
    QCOMPARE(column(rs, "Name"), QStringList({"panther", "Pantera"}));
    TW_VERIFY_RESULT(m_db.exec("insert into \"People\" (\"Name\", \"Age\") values ('Pat', 99)"));
    TW_VERIFY_RESULT(m_db.exec("delete from \"People\" where \"Name\" = 'panther'"));
    TW_VERIFY_OK(rs.requery());
    QCOMPARE(column(rs, "Name"), QStringList({"Pat", "Pantera"}));
    // The engine select of a record set gives its rows in its order.
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
    QCOMPARE(rs.value().fields()[0], FieldDef::text("Name", 20));
    QCOMPARE(rs.value().addNew().number, int(ErrorNumber::ReadOnly));
    Recordset sorted = rs.value().sorted("Twice").value();
    QCOMPARE(column(sorted, "Name"), QStringList({"Pantera", "panther"}));
    QCOMPARE(m_db.openRecordset("delete from People").error().number, int(ErrorNumber::InvalidOperation));
    QCOMPARE(m_db.openRecordset("select * from People", RecordsetType::Table).error().number,
             int(ErrorNumber::InvalidOperation));
    QCOMPARE(m_db.tableNames().value(), QStringList({"People"}));
}

void TestRecordset::savedQueries()
{
    fillPeople();
    QCOMPARE(m_db.queryNames().value(), QStringList());
    QCOMPARE(m_db.queryDef("Young").error().number, int(ErrorNumber::ItemNotFound));
    TW_VERIFY_RESULT(m_db.createQueryDef("Young", "select * from People where Age < 30"));
    TW_VERIFY_RESULT(m_db.createQueryDef("~adhoc", "select Name as Field1 from People"));
    TW_VERIFY_RESULT(m_db.createQueryDef("adults", "select * from People where Age >= 30"));
    // An empty name makes a temporary query that is never stored.
    QVERIFY(m_db.createQueryDef("", "select 1").value().isTemporary());
    QCOMPARE(m_db.queryNames().value(), QStringList({"adults", "Young", "~adhoc"}));
    QCOMPARE(m_db.createQueryDef("YOUNG", "select 2").error().number, int(ErrorNumber::ObjectExists));

    QueryDef young = m_db.queryDef("young").value();
    QCOMPARE(young.name(), QString("Young"));
    Result<QueryOutcome> outcome = m_db.run(young);
    TW_VERIFY_RESULT(outcome);
    QVERIFY(outcome.value().returnedRecords);
    QCOMPARE(column(outcome.value().records, "Name"), QStringList({"adams"}));

    young.setSql("select * from People where Age < 40");
    TW_VERIFY_OK(m_db.updateQueryDef(young));
    QCOMPARE(m_db.queryDef("Young").value().sql(), QString("select * from People where Age < 40"));

    TW_VERIFY_OK(m_db.deleteQueryDef("YOUNG"));
    QCOMPARE(m_db.deleteQueryDef("Young").number, int(ErrorNumber::ItemNotFound));
    QCOMPARE(m_db.updateQueryDef(young).number, int(ErrorNumber::ItemNotFound));
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

void TestRecordset::actionQueries()
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

    // select ... into makes a table.
    outcome = m_db.run(QueryDef({}, "select Name, Age into [Old People] from People where Age > 35"));
    TW_VERIFY_RESULT(outcome);
    QVERIFY(!outcome.value().returnedRecords);
    QCOMPARE(m_db.tableNames().value(), QStringList({"People", "MSysQueries", "Old People"}));
    Recordset rs = m_db.openRecordset("old people").value();
    QCOMPARE(column(rs, "Name"), QStringList({"Pantera", "panther"}));
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
