// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/database.h"
#include "core/settings/settingsstore.h"
#include "../db/dbtestsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tw;
using namespace tw::settings;

// The settings field list against the record table it is written to, and the
// store's rules that no window shows: names equal but for case are one
// settings, and a database that keeps no settings is never touched.
class TestSettingsCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void fieldListIsTheRecordLayout();
    void namesCompareWithoutRegardToCase();
    void deleteTouchesNothingWhereNoSettingsAreKept();

private:
    QTemporaryDir m_dir;
    Database m_db;
};

void TestSettingsCore::init()
{
    m_db.close();
    QFile::remove(m_dir.filePath(QStringLiteral("tabwright.mdb")));
    const QString path = copyOfDefaultDatabase(m_dir);
    QVERIFY(!path.isEmpty());
    TW_VERIFY_OK(m_db.open(path));
}

void TestSettingsCore::fieldListIsTheRecordLayout()
{
    const Result<QList<FieldDef>> stored = m_db.fields(QStringLiteral("tabwrite_allFields"));
    TW_VERIFY_RESULT(stored);
    QStringList expected{QStringLiteral("nameOfSettings")};
    QStringList wrongType;
    for (const Field &field : fields()) {
        expected << field.name;
        const qsizetype at = expected.size() - 1;
        if (at >= stored.value().size())
            continue;
        const FieldType type = stored.value().at(at).type;
        const bool fits = field.kind == Kind::Text     ? type == FieldType::Memo
                          : field.kind == Kind::Number ? type == FieldType::Double
                                                       : type == FieldType::Integer;
        if (!fits)
            wrongType << field.name;
    }
    QStringList names;
    for (const FieldDef &field : stored.value())
        names << field.name;
    QCOMPARE(names, expected);
    QCOMPARE(wrongType, QStringList());
}

void TestSettingsCore::namesCompareWithoutRegardToCase()
{
    SettingsRecord first = SettingsRecord::defaults();
    first.setValue(QStringLiteral("addText"), QStringLiteral("first"));
    SettingsRecord second = SettingsRecord::defaults();
    second.setValue(QStringLiteral("addText"), QStringLiteral("second"));
    const ColumnSpecs firstRows{{QStringLiteral("A"), 1, 2, 0, 5}};
    const ColumnSpecs secondRows{{QStringLiteral("B"), 3, std::nullopt, 1, std::nullopt}};
    TW_VERIFY_OK(saveSettings(m_db, QStringLiteral("Weekly"), first, ColumnsFrom::Given, firstRows));
    TW_VERIFY_OK(saveSettings(m_db, QStringLiteral("WEEKLY"), second, ColumnsFrom::Given, secondRows));

    QCOMPARE(settingsNames(m_db).valueOr({}), QStringList{"WEEKLY"});
    const auto found = findSettings(m_db, QStringLiteral("wEeKlY"));
    TW_VERIFY_RESULT(found);
    QVERIFY(found.value().has_value());
    QCOMPARE(found.value()->record, second);
    const Result<ColumnSpecs> rows = settingsColumns(m_db, QStringLiteral("weekly"));
    QCOMPARE(rows.valueOr({}).size(), 1);
    QCOMPARE(rows.valueOr({}).first().column_heading, QStringLiteral("B"));
    QCOMPARE(rows.valueOr({}).first().number_of_characters, std::nullopt);
    // One column table, taken over by the second save.
    QCOMPARE(m_db.tableNames().valueOr({}).filter(QStringLiteral("weekly"), Qt::CaseInsensitive).size(), 1);

    QCOMPARE(deleteSettings(m_db, QStringLiteral("weekLY")).valueOr(false), true);
    QCOMPARE(settingsNames(m_db).valueOr({QStringLiteral("<error>")}), QStringList());
    QVERIFY(!m_db.tableExists(QStringLiteral("tabwrite_Weekly")));
    QCOMPARE(deleteSettings(m_db, QStringLiteral("Weekly")).valueOr(true), false);
}

void TestSettingsCore::deleteTouchesNothingWhereNoSettingsAreKept()
{
    Database other;
    TW_VERIFY_OK(other.open(m_dir.filePath(QStringLiteral("other.db")), {}, {}, Database::OpenMode::CreateIfMissing));
    QVERIFY(other.exec(QStringLiteral("CREATE TABLE \"tabwrite_Weekly\" (a TEXT)")));
    QVERIFY(!deleteSettings(other, QStringLiteral("Weekly")));
    QVERIFY(other.tableExists(QStringLiteral("tabwrite_Weekly")));
}

QTEST_GUILESS_MAIN(TestSettingsCore)
#include "test_settings_core.moc"
