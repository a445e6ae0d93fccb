// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/saveplan.h"
#include "core/db/database.h"

#include <QTemporaryDir>
#include <QtTest>

// The checks and decisions before a save, shared by the Save to Database tab
// and the command line: which request is refused and with which message,
// what is asked, and what the plan then does to the database.
class TestSavePlan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void plans_data();
    void plans();
    void layoutFailureRefusesBeforeAnythingChanges_data();
    void layoutFailureRefusesBeforeAnythingChanges();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<tw::Database> m_db;
};

namespace {

const QString parse = QStringLiteral("Parse text using delimiter I specify");
const QString byColumns = QStringLiteral("Use column specs on the Tabwrite Text tab");

// Answers the plan's questions from a script and counts what was asked.
class ScriptedQuestions : public tw::SaveQuestions
{
public:
    tw::Result<tw::ColumnSpecs> layout = tw::ColumnSpecs{};
    tw::ExistingTable answer = tw::ExistingTable::Append;
    int layoutReads = 0;
    QStringList asked; // "table as typed/as stored"

    tw::Result<tw::ColumnSpecs> columnLayout() override
    {
        ++layoutReads;
        return layout;
    }
    tw::ExistingTable tableExists(const tw::SaveTarget &target, const QString &storedName) override
    {
        asked << target.table + u'/' + storedName;
        return answer;
    }
};

tw::ColumnSpecs twoColumns()
{
    return {{QStringLiteral("Code"), 1, 2, 0, 2}, {QStringLiteral("Name"), 3, 5, 0, 5}};
}

// The values of Names, in the order they were stored.
QStringList namesRows(const tw::Database &db)
{
    const tw::Result<QVariant> joined =
        db.queryValue(QStringLiteral("SELECT group_concat(A, '|') FROM (SELECT A FROM Names ORDER BY rowid)"));
    if (!joined)
        return {QStringLiteral("<no table>")};
    return joined.value().isNull() ? QStringList() : joined.value().toString().split(u'|');
}

} // namespace

void TestSavePlan::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = std::make_unique<tw::Database>();
    QVERIFY(!m_db->open(m_dir->filePath(QStringLiteral("target.db")), {}, {},
                        tw::Database::OpenMode::CreateIfMissing).isError());
    QVERIFY(!m_db->createTable({QStringLiteral("Names"), {tw::FieldDef::text(QStringLiteral("A"), 5)}}).isError());
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO Names VALUES ('old')")));
    QVERIFY(!m_db->createTable({QStringLiteral("tabwrite_settings"), {tw::FieldDef::text(QStringLiteral("x"), 5)}})
                 .isError());
    QVERIFY(!m_db->createTable({QStringLiteral("MSysData"), {tw::FieldDef::text(QStringLiteral("x"), 5)}}).isError());
}

void TestSavePlan::plans_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("database"); // "-": none chosen
    QTest::addColumn<bool>("hasText");
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("withLayout");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("refusal");
    QTest::addColumn<QString>("message"); // %1: the database as named
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<int>("layoutReads");
    QTest::addColumn<QStringList>("tables"); // the database's tables after prepareTarget
    QTest::addColumn<QStringList>("names");  // the rows of Names after prepareTarget

    using R = tw::SavePlan::Refusal;
    using A = tw::SavePlan::Action;
    const int append = int(tw::ExistingTable::Append);
    const int replace = int(tw::ExistingTable::Replace);
    const int cancel = int(tw::ExistingTable::Cancel);
    const QString db = QStringLiteral("db.mdb");
    const QStringList none;
    const QStringList before{QStringLiteral("Names"), QStringLiteral("tabwrite_settings"), QStringLiteral("MSysData")};
    const QStringList old{QStringLiteral("old")};
    const QString notIn = QStringLiteral("This table name (Nope) is not in %1.  Please verify the name.");
    const QString noLayout = QStringLiteral(
        "Please select the Tabwrite Text tab and enter column headings; or, Select (saved) Settings from the "
        "Settings tab.  The headings will be used to create field names in the new table.  If you choose the "
        "Process Method 'Use specs on the Tabwrite Text tab', you must also enter data in all other fields on the "
        "Tabwrite Text tab.");

    // The checks of the request itself, in the order the user meets them.
    QTest::newRow("nothing to save") << "" << "" << "" << "-" << false << false << false << append
        << int(R::NothingToSave)
        << "There is nothing to save.  Please open a file by selecting File menu/Open, or paste some text into "
           "the text box on the Text/Lines tab."
        << int(A::Refuse) << none << 0 << before << old;
    QTest::newRow("no table name") << "" << "" << "" << "-" << true << false << false << append
        << int(R::NoTableName) << "Please specify a table name." << int(A::Refuse) << none << 0 << before << old;
    QTest::newRow("no method") << "T" << "" << "" << "-" << true << false << false << append
        << int(R::NoProcessMethod) << "Please specify a Process Method." << int(A::Refuse) << none << 0 << before
        << old;
    QTest::newRow("no delimiter") << "T" << parse << "" << "-" << true << false << false << append
        << int(R::NoDelimiter) << "Please enter a delimiter." << int(A::Refuse) << none << 0 << before << old;
    QTest::newRow("no database; a space is a delimiter") << "T" << parse << " " << "-" << true << false << false
        << append << int(R::NoDatabase) << "Please select a database." << int(A::Refuse) << none << 0 << before
        << old;
    QTest::newRow("the column method takes no delimiter") << "Names" << byColumns << "" << db << true << false
        << true << append << int(R::None) << "" << int(A::Append) << QStringList{"Names/Names"} << 1 << before
        << old;

    // The program's own tables, by the name as typed or as stored.
    const QString own = QStringLiteral("The table name (%1) belongs to Tabwright's own tables.  Please choose "
                                       "another name.");
    // msysdata is a name users may have, but here it finds MSysData.
    for (const char *name : {"TABWRITE_settings", "tabwrite_new", "MSysQueries", "SSysAdHocReportTitle", "msysdata"}) {
        QTest::newRow(qPrintable(QStringLiteral("own table %1").arg(QLatin1String(name))))
            << name << parse << "," << db << true << true << true << append << int(R::ProgramTable)
            << own.arg(QLatin1String(name)) << int(A::Refuse) << none << 0 << before << old;
    }

    // A table that is not there.
    QTest::newRow("not there and not to be created") << "Nope" << parse << "," << db << true << false << true
        << append << int(R::TableNotFound) << notIn << int(A::Refuse) << none << 0 << before << old;
    QTest::newRow("created from the layout") << "New" << parse << "," << db << true << true << true << append
        << int(R::None) << "" << int(A::Create) << none << 1 << before + QStringList{"New"} << old;
    QTest::newRow("created: the layout is read once for the column method too") << "New" << byColumns << "" << db
        << true << true << true << append << int(R::None) << "" << int(A::Create) << none << 1
        << before + QStringList{"New"} << old;
    QTest::newRow("to be created without a layout")
        << "New" << parse << "," << db << true << true << false << append << int(R::NoColumnLayout)
        << noLayout
        << int(A::Refuse) << none << 1 << before << old;

    // A table that is there, named in another case: the answer decides.
    for (bool create : {false, true}) {
        const QString how = create ? QStringLiteral("to be created, ") : QString();
        const QStringList asked{QStringLiteral("NAMES/Names")};
        QTest::newRow(qPrintable(how + "there: append")) << "NAMES" << parse << "," << db << true << create
            << true << append << int(R::None) << "" << int(A::Append) << asked << (create ? 1 : 0) << before
            << old;
        QTest::newRow(qPrintable(how + "there: replace")) << "NAMES" << parse << "," << db << true << create
            << true << replace << int(R::None) << "" << int(A::Replace) << asked << (create ? 1 : 0) << before
            << QStringList();
        QTest::newRow(qPrintable(how + "there: cancel")) << "NAMES" << parse << "," << db << true << create
            << true << cancel << int(R::Cancelled) << "" << int(A::Refuse) << asked << (create ? 1 : 0)
            << before << old;
    }
    // The layout is needed to create a table even when the table is there.
    QTest::newRow("there, to be created, no layout") << "Names" << parse << "," << db << true << true << false
        << append << int(R::NoColumnLayout) << noLayout << int(A::Refuse) << none
        << 1 << before << old;
}

void TestSavePlan::plans()
{
    QFETCH(QString, table);
    QFETCH(QString, method);
    QFETCH(QString, delimiter);
    QFETCH(QString, database);
    QFETCH(bool, hasText);
    QFETCH(bool, create);
    QFETCH(bool, withLayout);
    QFETCH(int, answer);
    QFETCH(int, refusal);
    QFETCH(QString, message);
    QFETCH(int, action);
    QFETCH(QStringList, asked);
    QFETCH(int, layoutReads);
    QFETCH(QStringList, tables);
    QFETCH(QStringList, names);

    const tw::SaveTarget target{hasText, table, method, delimiter, database == u"-" ? QString() : database,
                                create};
    ScriptedQuestions questions;
    questions.answer = tw::ExistingTable(answer);
    if (withLayout)
        questions.layout = twoColumns();
    const tw::SavePlan plan = tw::planSave(*m_db, target, questions);

    QCOMPARE(int(plan.refusal), refusal);
    QCOMPARE(int(plan.action), action);
    if (message.contains(u'%'))
        message = message.arg(database);
    QCOMPARE(plan.message, message);
    QCOMPARE(questions.asked, asked);
    QCOMPARE(questions.layoutReads, layoutReads);
    // The checks of the request alone agree with the whole plan.
    const tw::SavePlan checked = tw::checkSaveTarget(target);
    if (refusal <= int(tw::SavePlan::Refusal::NoDatabase))
        QCOMPARE(int(checked.refusal), refusal);
    else
        QVERIFY(!checked.refused());

    // Planning changes nothing; carrying the plan out does what it says.
    const QStringList untouched{QStringLiteral("Names"), QStringLiteral("tabwrite_settings"), QStringLiteral("MSysData")};
    QCOMPARE(m_db->tableNames().value(), untouched);
    QCOMPARE(namesRows(*m_db), QStringList{QStringLiteral("old")});
    if (!plan.refused()) {
        QCOMPARE(plan.request.table, table);
        QCOMPARE(plan.request.method, tw::saveMethodOf(method));
        QCOMPARE(plan.request.delimiter, delimiter);
        QCOMPARE(plan.request.columns.size(), layoutReads > 0 ? twoColumns().size() : 0);
        QVERIFY(!tw::prepareTarget(*m_db, plan).isError());
    }
    QCOMPARE(m_db->tableNames().value(), tables);
    QCOMPARE(namesRows(*m_db), names);
    if (tables.contains(QStringLiteral("New"))) {
        QCOMPARE(m_db->fields(QStringLiteral("New")).value(),
                 (QList<tw::FieldDef>{tw::FieldDef::text(QStringLiteral("Code"), 2, true),
                                      tw::FieldDef::text(QStringLiteral("Name"), 5, true)}));
    }
}

void TestSavePlan::layoutFailureRefusesBeforeAnythingChanges_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("method");
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("refusedHeading");
    QTest::addColumn<int>("refusal");

    using R = tw::SavePlan::Refusal;
    // After "No" to the question, the records are still there when the
    // layout cannot be read.
    QTest::newRow("layout unreadable after the question") << "Names" << byColumns << false << false
                                                          << int(R::DatabaseError);
    QTest::newRow("layout unreadable before creating") << "New" << parse << true << false << int(R::DatabaseError);
    QTest::newRow("a heading named twice") << "New" << parse << true << true << int(R::HeadingRefused);
}

void TestSavePlan::layoutFailureRefusesBeforeAnythingChanges()
{
    QFETCH(QString, table);
    QFETCH(QString, method);
    QFETCH(bool, create);
    QFETCH(bool, refusedHeading);
    QFETCH(int, refusal);

    ScriptedQuestions questions;
    questions.answer = tw::ExistingTable::Replace;
    if (refusedHeading)
        questions.layout = tw::ColumnSpecs{{QStringLiteral("Id"), 1, 2, 0, 2}, {QStringLiteral("ID"), 3, 2, 0, 2}};
    else
        questions.layout = tw::DbError::make(tw::ErrorNumber::ObjectNotFound, QStringLiteral("tabwrite_settings"));
    const tw::SavePlan plan =
        tw::planSave(*m_db, {true, table, method, QStringLiteral(","), QStringLiteral("db.mdb"), create}, questions);
    QCOMPARE(int(plan.refusal), refusal);
    QVERIFY(plan.error.isError());
    QVERIFY(plan.message.isEmpty());
    if (refusedHeading)
        QVERIFY2(plan.error.description.contains(QLatin1String("\"ID\" in row 2")), qPrintable(plan.error.description));
    QCOMPARE(m_db->tableNames().value(), (QStringList{QStringLiteral("Names"), QStringLiteral("tabwrite_settings"),
                                                      QStringLiteral("MSysData")}));
    QCOMPARE(namesRows(*m_db), QStringList{QStringLiteral("old")});
}

QTEST_GUILESS_MAIN(TestSavePlan)
#include "test_saveplan.moc"
