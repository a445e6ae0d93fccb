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
    void fileNotMadeYet_data();
    void fileNotMadeYet();
    void replaceWithoutARunDeletesAtOnce();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<tw::Database> m_db;
};

Q_DECLARE_METATYPE(tw::SaveTarget)

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

// The column layout the host answers with.
constexpr int NoRows = 0, TwoColumns = 1, Unreadable = 2, HeadingTwice = 3, FromColumnZero = 4;

tw::ColumnSpecs twoColumns()
{
    return {{QStringLiteral("Code"), 1, 2, 0, 2}, {QStringLiteral("Name"), 3, 5, 0, 5}};
}

tw::Result<tw::ColumnSpecs> layoutOf(int layout)
{
    switch (layout) {
    case TwoColumns: return twoColumns();
    case Unreadable: return tw::DbError::make(tw::ErrorNumber::ObjectNotFound, QStringLiteral("tabwrite_settings"));
    case HeadingTwice: return tw::ColumnSpecs{{QStringLiteral("Id"), 1, 2, 0, 2}, {QStringLiteral("ID"), 3, 2, 0, 2}};
    case FromColumnZero: return tw::ColumnSpecs{{QStringLiteral("Id"), 1, 2, 0, 2}, {QStringLiteral("Name"), 0, 2, 0, 2}};
    default: return tw::ColumnSpecs{};
    }
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
    QTest::addColumn<tw::SaveTarget>("target");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("refusal");
    QTest::addColumn<QString>("message"); // %1: the database as named; or what the error says
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("layoutReads");

    using T = tw::SaveTarget;
    using R = tw::SavePlan::Refusal;
    using A = tw::SavePlan::Action;
    const int append = int(tw::ExistingTable::Append);
    const int replace = int(tw::ExistingTable::Replace);
    const int cancel = int(tw::ExistingTable::Cancel);
    const QString db = QStringLiteral("db.mdb");
    const QString noLayout = QStringLiteral(
        "Please select the Tabwrite Text tab and enter column headings; or, Select (saved) Settings from the "
        "Settings tab.  The headings will be used to create field names in the new table.  If you choose the "
        "Process Method 'Use specs on the Tabwrite Text tab', you must also enter data in all other fields on the "
        "Tabwrite Text tab.");

    // The checks of the request itself, in the order the user meets them.
    QTest::newRow("nothing to save") << T{false, "", "", "", "", false} << NoRows << append
        << int(R::NothingToSave)
        << "There is nothing to save.  Please open a file by selecting File menu/Open, or paste some text into the "
           "text box on the Text/Lines tab."
        << int(A::Refuse) << false << 0;
    QTest::newRow("no table name") << T{true, "", "", "", "", false} << NoRows << append << int(R::NoTableName)
                                   << "Please specify a table name." << int(A::Refuse) << false << 0;
    QTest::newRow("no method") << T{true, "T", "", "", "", false} << NoRows << append << int(R::NoProcessMethod)
                               << "Please specify a Process Method." << int(A::Refuse) << false << 0;
    QTest::newRow("no delimiter") << T{true, "T", parse, "", "", false} << NoRows << append << int(R::NoDelimiter)
                                  << "Please enter a delimiter." << int(A::Refuse) << false << 0;
    QTest::newRow("no database; a space is a delimiter") << T{true, "T", parse, " ", "", false} << NoRows << append
        << int(R::NoDatabase) << "Please select a database." << int(A::Refuse) << false << 0;
    QTest::newRow("the column method takes no delimiter") << T{true, "Names", byColumns, "", db, false}
        << TwoColumns << append << int(R::None) << "" << int(A::Append) << true << 1;

    // The program's own tables, by the name as typed or as stored: msysdata
    // is a name users may have, but here it finds MSysData.
    for (const char *name : {"TABWRITE_settings", "tabwrite_new", "MSysQueries", "SSysAdHocReportTitle", "msysdata"}) {
        QTest::newRow(name) << T{true, name, parse, ",", db, true} << TwoColumns << append << int(R::ProgramTable)
            << QStringLiteral("The table name (%1) belongs to Tabwright's own tables.  Please choose another name.")
                   .arg(QLatin1String(name))
            << int(A::Refuse) << false << 0;
    }

    // A table that is not there: created from the layout, or refused.
    QTest::newRow("not there") << T{true, "Nope", parse, ",", db, false} << TwoColumns << append
        << int(R::TableNotFound) << "This table name (Nope) is not in %1.  Please verify the name." << int(A::Refuse)
        << false << 0;
    QTest::newRow("created") << T{true, "New", parse, ",", db, true} << TwoColumns << append << int(R::None) << ""
                             << int(A::Create) << false << 1;
    QTest::newRow("created, the layout read once for the column method too")
        << T{true, "New", byColumns, "", db, true} << TwoColumns << append << int(R::None) << "" << int(A::Create)
        << false << 1;
    QTest::newRow("to be created without a layout") << T{true, "New", parse, ",", db, true} << NoRows << append
        << int(R::NoColumnLayout) << noLayout << int(A::Refuse) << false << 1;
    // The layout is needed to create a table even when the table is there.
    QTest::newRow("there, to be created, no layout") << T{true, "Names", parse, ",", db, true} << NoRows << append
        << int(R::NoColumnLayout) << noLayout << int(A::Refuse) << false << 1;

    // A layout that cannot be read or names a field twice: refused before
    // anything changes, even after "No" to the question.
    QTest::newRow("layout unreadable after the question") << T{true, "Names", byColumns, "", db, false}
        << Unreadable << replace << int(R::DatabaseError) << "" << int(A::Refuse) << true << 1;
    QTest::newRow("layout unreadable before creating") << T{true, "New", parse, ",", db, true} << Unreadable
        << append << int(R::DatabaseError) << "" << int(A::Refuse) << false << 1;
    QTest::newRow("lines cut by a row from column 0") << T{true, "Names", byColumns, "", db, false}
        << FromColumnZero << append << int(R::LayoutRefused)
        << "Row 2 of the column specifications starts at column 0.  Columns are counted from 1: please enter 1 or "
           "more in its get_data_from_column."
        << int(A::Refuse) << true << 1;
    QTest::newRow("a heading named twice") << T{true, "New", parse, ",", db, true} << HeadingTwice << append
        << int(R::HeadingRefused) << "\"ID\" in row 2" << int(A::Refuse) << false << 1;

    // A table that is there, named in another case: the answer decides.
    for (bool create : {false, true}) {
        const T target{true, "NAMES", parse, ",", db, create};
        const QByteArray how = create ? "to be created, there: " : "there: ";
        QTest::newRow(how + "append") << target << TwoColumns << append << int(R::None) << "" << int(A::Append)
                                      << true << int(create);
        QTest::newRow(how + "replace") << target << TwoColumns << replace << int(R::None) << "" << int(A::Replace)
                                       << true << int(create);
        QTest::newRow(how + "cancel") << target << TwoColumns << cancel << int(R::Cancelled) << "" << int(A::Refuse)
                                      << true << int(create);
    }
}

void TestSavePlan::plans()
{
    QFETCH(tw::SaveTarget, target);
    QFETCH(int, layout);
    QFETCH(int, answer);
    QFETCH(int, refusal);
    QFETCH(QString, message);
    QFETCH(int, action);
    QFETCH(bool, asked);
    QFETCH(int, layoutReads);

    ScriptedQuestions questions;
    questions.answer = tw::ExistingTable(answer);
    questions.layout = layoutOf(layout);
    const tw::SavePlan plan = tw::planSave(*m_db, target, questions);

    QCOMPARE(int(plan.refusal), refusal);
    QCOMPARE(int(plan.action), action);
    if (plan.error.isError()) {
        QVERIFY(plan.message.isEmpty());
        QVERIFY2(plan.error.description.contains(message), qPrintable(plan.error.description));
    } else {
        QCOMPARE(plan.message, message.contains(u'%') ? message.arg(target.databasePath) : message);
    }
    QCOMPARE(questions.asked, asked ? QStringList{target.table + QStringLiteral("/Names")} : QStringList());
    QCOMPARE(questions.layoutReads, layoutReads);
    // The checks of the request alone agree with the whole plan.
    const tw::SavePlan checked = tw::checkSaveTarget(target);
    QCOMPARE(int(checked.refusal), refusal <= int(tw::SavePlan::Refusal::NoDatabase) ? refusal : 0);

    // Planning changes nothing; carrying the plan out does what it says:
    // Create makes the table from the layout. Replace leaves the old records
    // to the run, which deletes them in the transaction of the new ones.
    const QStringList before{QStringLiteral("Names"), QStringLiteral("tabwrite_settings"), QStringLiteral("MSysData")};
    QCOMPARE(m_db->tableNames().value(), before);
    QCOMPARE(namesRows(*m_db), QStringList{QStringLiteral("old")});
    if (plan.refused())
        return;
    QCOMPARE(plan.request.table, target.table);
    QCOMPARE(plan.request.method, tw::saveMethodOf(target.methodText));
    QCOMPARE(plan.request.delimiter, target.delimiter);
    QCOMPARE(plan.request.columns.size(), layoutReads > 0 ? twoColumns().size() : 0);
    QVERIFY(!tw::prepareTarget(*m_db, plan).isError());
    const bool created = plan.action == tw::SavePlan::Action::Create;
    QCOMPARE(m_db->tableNames().value(), created ? before + QStringList{QStringLiteral("New")} : before);
    QCOMPARE(namesRows(*m_db), QStringList{QStringLiteral("old")});
    QCOMPARE(plan.request.replace, plan.action == tw::SavePlan::Action::Replace);
    if (created) {
        QCOMPARE(m_db->fields(QStringLiteral("New")).value(),
                 (QList<tw::FieldDef>{tw::FieldDef::text(QStringLiteral("Code"), 2, true),
                                      tw::FieldDef::text(QStringLiteral("Name"), 5, true)}));
    }
}

void TestSavePlan::fileNotMadeYet_data()
{
    QTest::addColumn<bool>("create");
    QTest::addColumn<int>("refusal");
    QTest::addColumn<int>("action");
    QTest::newRow("a table to append to is not there") << false << int(tw::SavePlan::Refusal::TableNotFound)
                                                       << int(tw::SavePlan::Action::Refuse);
    QTest::newRow("a table to create") << true << int(tw::SavePlan::Refusal::None) << int(tw::SavePlan::Action::Create);
}

void TestSavePlan::fileNotMadeYet()
{
    // The command line plans against a database it has not opened (made) yet.
    QFETCH(bool, create);
    QFETCH(int, refusal);
    QFETCH(int, action);
    tw::Database none;
    ScriptedQuestions questions;
    questions.layout = layoutOf(TwoColumns);
    const tw::SavePlan plan =
        tw::planSave(none, tw::SaveTarget{true, "Names", parse, ",", "new.db", create}, questions);
    QCOMPARE(int(plan.refusal), refusal);
    QCOMPARE(int(plan.action), action);
    QVERIFY(questions.asked.isEmpty());
}

void TestSavePlan::replaceWithoutARunDeletesAtOnce()
{
    // A method that is neither of the two writes nothing: the records go at once.
    ScriptedQuestions questions;
    questions.answer = tw::ExistingTable::Replace;
    const tw::SavePlan plan =
        tw::planSave(*m_db, tw::SaveTarget{true, "Names", "other", "", "db.mdb", false}, questions);
    QCOMPARE(int(plan.action), int(tw::SavePlan::Action::Replace));
    QVERIFY(!tw::prepareTarget(*m_db, plan).isError());
    QCOMPARE(namesRows(*m_db), QStringList());
}

QTEST_GUILESS_MAIN(TestSavePlan)
#include "test_saveplan.moc"
