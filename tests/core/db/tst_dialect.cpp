// SPDX-License-Identifier: GPL-3.0-or-later
// The pure pieces of the database layer: the user SQL dialect, parameter
// scanning, the Val reading, declared types, the error mapping and results.
#include "core/db/dberror.h"
#include "core/db/dialect.h"
#include "core/db/fielddef.h"
#include "core/db/result.h"
#include "core/db/sqlfunctions.h"

#include <QTest>

#include <sqlite3.h>

using namespace tw;

class TestDialect : public QObject
{
    Q_OBJECT

private slots:
    void translate_data();
    void translate();
    void dateLiteral_data();
    void dateLiteral();
    void parameters();
    void bindParameters();
    void textAfterStatement_data();
    void textAfterStatement();
    void val_data();
    void val();
    void declaredTypeRoundTrip_data();
    void declaredTypeRoundTrip();
    void foreignDeclaredTypes_data();
    void foreignDeclaredTypes();
    void errorMapping_data();
    void errorMapping();
    void resultOfAFailure();
};

void TestDialect::translate_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("engine");

    QTest::newRow("start-up clean-up: delete *, isnull, not")
        << "delete * from tabwrite_settings where not isnull(get_data_from_column);"
        << "delete from tabwrite_settings where not ((get_data_from_column) IS NULL);";
    QTest::newRow("nested isnull") << "select isnull(val(isnull(a))) from t"
                                   << "select ((val(((a) IS NULL))) IS NULL) from t";
    QTest::newRow("upper case, brackets stay names") << "DELETE * FROM [my table]" << "DELETE FROM [my table]";
    QTest::newRow("double-quoted text with quotes")
        << "name = \"O'Brien said \"\"hi\"\"\"" << "name = 'O''Brien said \"hi\"'";
    QTest::newRow("single-quoted text untouched") << "a = 'x \"y\" *'" << "a = 'x \"y\" *'";
    QTest::newRow("apostrophe pairs as quotes") << "OrderID = ''123''" << "OrderID = '123'";
    QTest::newRow("apostrophe pairs before more text")
        << "c not like ''Pan*'' AND id between 101 and 201" << "c not like 'Pan%' AND id between 101 and 201";
    QTest::newRow("empty texts stay empty") << "(a = '') or (b = '')" << "(a = '') or (b = '')";
    QTest::newRow("apostrophe pairs inside a literal untouched") << "a = 'x ''y'' z'" << "a = 'x ''y'' z'";
    QTest::newRow("not like, star and question mark") << "code not like \"A?C*\"" << "code not like 'A_C%'";
    QTest::newRow("like ends at its pattern") << "a like \"x*\" or b = \"*\"" << "a like 'x%' or b = '*'";
    QTest::newRow("like literal percent escaped") << "p like \"100%*\"" << "p like '100\\%%' ESCAPE '\\'";
    QTest::newRow("like bracketed star is literal") << "p like \"a[*]b\"" << "p like 'a*b'";
    QTest::newRow("between dates")
        << "d between #1/16/99# And #11/3/00# or x < 100000.00"
        << "d between '1999-01-16' And '2000-11-03' or x < 100000.00";
    QTest::newRow("hash in text untouched") << "a = '#1/2/03#'" << "a = '#1/2/03#'";
    QTest::newRow("invalid date left for the engine") << "d = #13/45/00#" << "d = #13/45/00#";
    QTest::newRow("not equals") << "custName not = \"x\"" << "custName <> 'x'";
    QTest::newRow("select into")
        << "SELECT * INTO newTableName FROM aTableName;" << "create table \"newTableName\" as SELECT * FROM aTableName;";
    QTest::newRow("select into bracketed name")
        << "select a into [new table] from t" << "create table \"new table\" as select a from t";
    QTest::newRow("insert into untouched") << "insert into t (a) values (\"x\")" << "insert into t (a) values ('x')";
}

void TestDialect::translate()
{
    QFETCH(QString, user);
    QFETCH(QString, engine);
    QCOMPARE(translateUserSql(user), engine);
}

void TestDialect::dateLiteral_data()
{
    QTest::addColumn<QString>("inner");
    QTest::addColumn<QString>("iso");

    QTest::newRow("two-digit year 29 is 2029") << "12/31/29" << "2029-12-31";
    QTest::newRow("two-digit year 30 is 1930") << "1/1/30" << "1930-01-01";
    QTest::newRow("four-digit year") << "2/29/2024" << "2024-02-29";
    QTest::newRow("iso") << "2024-03-05" << "2024-03-05";
    QTest::newRow("with time") << "8/7/00 13:05:09" << "2000-08-07 13:05:09";
    QTest::newRow("with pm time") << "8/7/00 1:05 PM" << "2000-08-07 13:05:00";
    QTest::newRow("midnight drops the time") << "8/7/00 12:00 AM" << "2000-08-07";
    QTest::newRow("no such day") << "2/30/01" << "";
    QTest::newRow("not a date") << "hello" << "";
}

void TestDialect::dateLiteral()
{
    QFETCH(QString, inner);
    QFETCH(QString, iso);
    QCOMPARE(isoFromDateLiteral(inner), iso);
}

void TestDialect::parameters()
{
    QCOMPARE(namedParameters("select * from t where a = :First and b = ':notme' and c = :second or d = :first"),
             QStringList({"First", "second"}));
    QCOMPARE(namedParameters("select [x:y], \"a:b\" from t"), QStringList());
}

void TestDialect::bindParameters()
{
    const BoundSql bound =
        bindNamedParameters("select * from t where a = :A and b = ':A' and c = :b or d = :a", {{"a", 5}});
    QCOMPARE(bound.sql, QString("select * from t where a = ? and b = ':A' and c = ? or d = ?"));
    QCOMPARE(bound.values, QVariantList({5, QVariant(), 5}));
    QCOMPARE(bound.missing, QStringList({"b"}));
}

void TestDialect::textAfterStatement_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("more");
    QTest::newRow("one statement") << "delete from t;" << false;
    QTest::newRow("trailing blanks and comment") << "delete from t; -- done\n" << false;
    QTest::newRow("semicolon in text") << "select ';drop table x;--' from t" << false;
    QTest::newRow("second statement") << "delete from t; drop table x" << true;
}

void TestDialect::textAfterStatement()
{
    QFETCH(QString, sql);
    QFETCH(bool, more);
    QCOMPARE(hasTextAfterStatement(sql), more);
}

void TestDialect::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("leading number of a text") << "12abc" << 12.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks inside are skipped") << " 1 2 3" << 123.0;
    QTest::newRow("decimal") << "3.75 kg" << 3.75;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("negative") << "-42" << -42.0;
    QTest::newRow("exponent") << "1.5e3x" << 1500.0;
    QTest::newRow("basic exponent letter") << "2D2" << 200.0;
    QTest::newRow("hexadecimal") << "&HFF" << 255.0;
    QTest::newRow("octal") << "&O17" << 15.0;
}

void TestDialect::val()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(valOf(text), value);
}

void TestDialect::declaredTypeRoundTrip_data()
{
    QTest::addColumn<FieldDef>("field");
    const FieldType all[] = {FieldType::Boolean, FieldType::Byte, FieldType::Integer, FieldType::Long,
                             FieldType::Currency, FieldType::Single, FieldType::Double, FieldType::Date,
                             FieldType::LongBinary, FieldType::Memo, FieldType::Guid, FieldType::BigInt,
                             FieldType::Decimal};
    for (const FieldType type : all)
        QTest::addRow("type %d", int(type)) << FieldDef::of("f", type);
    QTest::newRow("text 1") << FieldDef::text("f", 1);
    QTest::newRow("text 50") << FieldDef::text("f");
    QTest::newRow("text 255") << FieldDef::text("f", 255);
    QTest::newRow("binary 16") << FieldDef{"f", FieldType::Binary, 16, true, false};
}

void TestDialect::declaredTypeRoundTrip()
{
    QFETCH(FieldDef, field);
    FieldType type = FieldType::Boolean;
    int size = -1;
    parseDeclaredType(declaredType(field), &type, &size);
    QCOMPARE(int(type), int(field.type));
    QCOMPARE(size, field.size);
}

void TestDialect::foreignDeclaredTypes_data()
{
    QTest::addColumn<QString>("declared");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("size");
    QTest::newRow("untyped") << "" << int(FieldType::Memo) << 0;
    QTest::newRow("text without size") << "TEXT" << int(FieldType::Memo) << 0;
    QTest::newRow("varchar too long for a text field") << "VARCHAR(1000)" << int(FieldType::Memo) << 0;
    QTest::newRow("nvarchar") << "nvarchar(20)" << int(FieldType::Text) << 20;
    QTest::newRow("int") << "INT" << int(FieldType::Long) << 4;
    QTest::newRow("affinity NUM") << "NUM" << int(FieldType::Double) << 8;
    QTest::newRow("real") << "REAL" << int(FieldType::Double) << 8;
    QTest::newRow("blob") << "BLOB" << int(FieldType::LongBinary) << 0;
}

void TestDialect::foreignDeclaredTypes()
{
    QFETCH(QString, declared);
    QFETCH(int, type);
    QFETCH(int, size);
    FieldType parsedType = FieldType::Boolean;
    int parsedSize = -1;
    parseDeclaredType(declared, &parsedType, &parsedSize);
    QCOMPARE(int(parsedType), type);
    QCOMPARE(parsedSize, size);
}

void TestDialect::errorMapping_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("context");
    QTest::addColumn<int>("number");

    // Engine messages that statements readily produce are mapped in the
    // database tests, on the engine's own words.
    const int statement = int(ErrorContext::Statement);
    QTest::newRow("size check") << (SQLITE_CONSTRAINT | (1 << 8)) << "CHECK constraint failed: tw_size:Name"
                                << statement << 3163;
    QTest::newRow("zero-length check") << SQLITE_CONSTRAINT << "CHECK constraint failed: tw_nonempty:a b"
                                       << statement << 3315;
    QTest::newRow("other check") << SQLITE_CONSTRAINT << "CHECK constraint failed: price > 0" << statement << 3317;
    QTest::newRow("unique index") << (SQLITE_CONSTRAINT | (8 << 8))
                                  << "UNIQUE constraint failed: tabwrite_allFields.nameOfSettings" << statement << 3022;
    QTest::newRow("query name taken") << SQLITE_CONSTRAINT << "UNIQUE constraint failed: MSysQueries.Name"
                                      << statement << 3012;
    QTest::newRow("not a database") << SQLITE_NOTADB << "file is not a database" << int(ErrorContext::Open) << 3343;
    QTest::newRow("index exists") << SQLITE_ERROR << "index nameOfSettings already exists" << statement << 3012;
    QTest::newRow("syntax in expression") << SQLITE_ERROR << "near \"=\": syntax error"
                                          << int(ErrorContext::Expression) << 3075;
    QTest::newRow("duplicate field") << SQLITE_ERROR << "duplicate column name: a" << statement << 3191;
    QTest::newRow("busy") << SQLITE_BUSY << "database is locked" << statement << 3050;
    QTest::newRow("read-only") << SQLITE_READONLY << "attempt to write a readonly database" << statement << 3027;
    QTest::newRow("cannot open") << SQLITE_CANTOPEN << "unable to open database file" << statement << 75;
    QTest::newRow("permission") << SQLITE_PERM << "access permission denied" << statement << 70;
    QTest::newRow("unknown code, message tells") << -1 << "CHECK constraint failed: tw_size:x" << statement << 3163;
    QTest::newRow("anything else keeps the text") << SQLITE_ERROR << "something new" << statement << 3000;
}

void TestDialect::errorMapping()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(int, context);
    QFETCH(int, number);
    const DbError error = mapEngineError(code, message, ErrorContext(context));
    QCOMPARE(error.number, number);
    QVERIFY(!error.description.isEmpty());
    if (number == 3000)
        QCOMPARE(error.description, message);
}

void TestDialect::resultOfAFailure()
{
    // A failed result answers the fallback, not the empty value it holds.
    const Result<int> failed(DbError::make(ErrorNumber::ObjectNotFound, "t"));
    QVERIFY(!failed);
    QCOMPARE(failed.valueOr(7), 7);
    QCOMPARE(Result<int>(3).valueOr(7), 3);
    // An "error" that is none still makes a failed result.
    QCOMPARE(Result<int>(DbError()).error().number, int(ErrorNumber::InvalidOperation));
}

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
