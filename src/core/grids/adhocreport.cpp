// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grids/adhocreport.h"

#include "core/db/database.h"
#include "core/db/dialect.h"
#include "core/db/identifier.h"
#include "core/db/session.h"

#include <QCoreApplication>

namespace tw {

namespace {

const QString titleTable = QStringLiteral("SSysAdHocReportTitle");
const QString copyTable = QStringLiteral("~SSysAdHocTmp");
const QString savedCopy = QStringLiteral("~adhocTmp");
const QString catalogTable = QStringLiteral("MSysQueries");
constexpr int sectionWidth = 7;

// Deleting what is not there is no failure here.
DbError ignoreMissing(const DbError &error)
{
    return error.number == ErrorNumber::ItemNotFound ? DbError() : error;
}

} // namespace

QString reportTitleText(const QString &sql)
{
    QString title = sql;
    title.replace(QLatin1String("\r\n"), QLatin1String(" "));
    // A line break of any other kind is no part of a one-line title either.
    title.replace(u'\r', u' ');
    title.replace(u'\n', u' ');
    title.replace(QLatin1String("   "), QLatin1String(" "));
    title.replace(QLatin1String("  "), QLatin1String(" "));
    return title;
}

QString reportSelectItem(const QString &fieldName, int place)
{
    const QString alias = QStringLiteral("field%1").arg(place);
    if (fieldName.toLower() == alias)
        return userIdentifier(fieldName);
    return userIdentifier(fieldName) + QStringLiteral(" as Field%1").arg(place);
}

// The state of one run, and what it has put where, so the clean-up removes
// exactly that.
struct AdHocReport::Run {
    Database *reportDb = nullptr; // the default database: title record, ~adhoc
    std::unique_ptr<Database> ownDefault;
    bool external = false;
    QString source;               // the name the sections select from
    QString sourceView;           // a view of that name in the report database
    QString copyView;             // a view in the current database, for the copy
    bool copied = false;          // ~SSysAdHocTmp made in the current database
    bool attached = false;
    bool wroteSavedCopy = false;  // ~adhocTmp written into another database
    bool madeCatalog = false;     // ... whose catalog table came with it
    QList<FieldDef> fields;       // the fields printed, long binaries left out
    qint64 titleRow = 0;
};

AdHocReport::AdHocReport(Database &current, const QString &defaultPath, const QueryDef &query)
    : m_current(current), m_defaultPath(defaultPath), m_query(query)
{
}

AdHocReport::~AdHocReport()
{
    (void)cleanUp();
}

AdHocReport::State AdHocReport::prepare()
{
    (void)cleanUp();
    m_run = std::make_unique<Run>();
    Run &run = *m_run;
    m_title = reportTitleText(m_query.sql());
    if (!m_title.toLower().contains(QLatin1String("from")))
        return State::NoFrom;
    const auto fail = [this](const DbError &error) {
        m_error = error;
        (void)cleanUp();
        return State::Failed;
    };
    const QString engineSql = translateUserSql(m_query.sql());
    const BoundSql bound = bindNamedParameters(engineSql, m_query.parameterValues());
    if (!bound.missing.isEmpty())
        return fail(DbError::make(ErrorNumber::TooFewParameters, QString::number(bound.missing.size())));
    if (hasTextAfterStatement(m_query.sql()))
        return fail(DbError::make(ErrorNumber::CharactersAfterEnd));
    run.external = !samePath(m_current.name(), m_defaultPath);
    if (m_current.isServer()) {
        if (const DbError error = copyServerResult(); error.isError())
            return fail(error);
        return describeSource();
    }

    // A query that was never saved is saved as ~adhocTmp, so the report reads
    // a saved query like any other.
    run.source = m_query.name();
    if (m_query.isTemporary()) {
        if (run.external)
            run.madeCatalog = !m_current.tableExists(catalogTable);
        if (const DbError error = ignoreMissing(m_current.deleteQueryDef(savedCopy)); error.isError())
            return fail(error);
        const Result<QueryDef> saved = m_current.createQueryDef(savedCopy, m_query.sql());
        if (!saved)
            return fail(saved.error());
        run.wroteSavedCopy = run.external;
        run.source = savedCopy;
    }
    // The saved query is read as the view it stands for, with the values its
    // parameters were given.
    const QString viewSql = inlineParameterValues(engineSql, m_query.parameterValues());
    const auto makeView = [&](Database &db, const QString &name, const QString &select) {
        const Result<qint64> dropped = db.exec(QStringLiteral("DROP VIEW IF EXISTS temp.") + quoteIdentifier(name));
        if (!dropped)
            return dropped.error();
        QString body = select.trimmed();
        while (body.endsWith(u';'))
            body = body.chopped(1).trimmed();
        return db.exec(QStringLiteral("CREATE TEMP VIEW ") + quoteIdentifier(name) + QStringLiteral(" AS ") + body
                       + u'\n')
            .error();
    };

    if (!run.external) {
        run.reportDb = &m_current;
        if (const DbError error = makeView(m_current, run.source, viewSql); error.isError())
            return fail(error);
        run.sourceView = run.source;
    } else {
        // The result is copied into the other database, and the default one
        // reads the copy through a link.
        if (const DbError error = makeView(m_current, run.source, viewSql); error.isError())
            return fail(error);
        run.copyView = run.source;
        if (m_current.tableExists(copyTable)) {
            if (const DbError error = m_current.dropTable(copyTable); error.isError())
                return fail(error);
        }
        run.copied = true;
        const Result<qint64> copy = m_current.execUser(QStringLiteral("select * into ") + bracketedIdentifier(copyTable)
                                                       + QStringLiteral(" from ") + bracketedIdentifier(run.source)
                                                       + u';');
        if (!copy)
            return fail(copy.error());
        (void)m_current.exec(QStringLiteral("DROP VIEW IF EXISTS temp.") + quoteIdentifier(run.copyView));
        run.copyView.clear();

        run.ownDefault = std::make_unique<Database>();
        if (const DbError error = run.ownDefault->open(m_defaultPath); error.isError())
            return fail(error);
        run.reportDb = run.ownDefault.get();
        if (run.reportDb->tableExists(copyTable)) {
            if (const DbError error = run.reportDb->dropTable(copyTable); error.isError())
                return fail(error);
        }
        const Result<qint64> attached =
            run.reportDb->exec(QStringLiteral("ATTACH DATABASE ? AS tw_link"), {m_current.name()});
        if (!attached)
            return fail(attached.error());
        run.attached = true;
        run.source = copyTable;
        if (const DbError error = makeView(*run.reportDb, copyTable,
                                           QStringLiteral("SELECT * FROM tw_link.") + quoteIdentifier(copyTable));
            error.isError())
            return fail(error);
        run.sourceView = copyTable;
    }

    return describeSource();
}

// A server cannot be attached to the default database: the result is read
// row by row into a temporary table of the report's own connection to it,
// which goes when that connection closes.
DbError AdHocReport::copyServerResult()
{
    Run &run = *m_run;
    const Result<QueryDescription> shape = m_current.describe(m_query);
    if (!shape)
        return shape.error();
    run.ownDefault = std::make_unique<Database>();
    if (const DbError error = run.ownDefault->open(m_defaultPath); error.isError())
        return error;
    Database &db = *run.ownDefault;
    run.reportDb = &db;
    run.source = copyTable;
    QStringList columns;
    QStringList marks;
    for (const FieldDef &field : shape.value().fields) {
        columns << quoteIdentifier(field.name);
        marks << QStringLiteral("?");
    }
    if (columns.isEmpty())
        return {};
    if (const Result<qint64> made = db.exec(QStringLiteral("CREATE TEMP TABLE ") + quoteIdentifier(copyTable) + u'('
                                            + columns.join(QStringLiteral(", ")) + u')');
        !made)
        return made.error();
    const QString insert = QStringLiteral("INSERT INTO temp.") + quoteIdentifier(copyTable) + QStringLiteral(" VALUES (")
        + marks.join(QStringLiteral(", ")) + u')';
    if (const DbError error = db.begin(); error.isError())
        return error;
    DbError failed;
    const Result<qint64> read = m_current.readRows(m_query, [&](const QVariantList &row) {
        if (const Result<qint64> written = db.exec(insert, row); !written) {
            failed = written.error();
            return false;
        }
        return true;
    });
    if (!failed.isError() && !read)
        failed = read.error();
    if (failed.isError()) {
        (void)db.rollback();
        return failed;
    }
    return db.commit();
}

AdHocReport::State AdHocReport::describeSource()
{
    Run &run = *m_run;
    const auto fail = [this](const DbError &error) {
        m_error = error;
        (void)cleanUp();
        return State::Failed;
    };
    Database &db = *run.reportDb;
    const Result<QVariant> count = db.queryValue(QStringLiteral("SELECT count(*) FROM ") + quoteIdentifier(run.source));
    if (!count)
        return fail(count.error());
    m_rows = count.value().toLongLong();
    const Result<QueryDescription> described =
        db.describe(QueryDef({}, QStringLiteral("select * from ") + bracketedIdentifier(run.source)));
    if (!described)
        return fail(described.error());
    // The types are the query's own: a copy made in another database keeps
    // the names but not the declared types (a long binary field would print).
    const Result<QueryDescription> original = m_current.describe(m_query);
    QList<FieldDef> fields = described.value().fields;
    if (original && original.value().fields.size() == fields.size()) {
        for (qsizetype i = 0; i < fields.size(); ++i)
            fields[i].type = original.value().fields[i].type;
    }
    for (const FieldDef &field : std::as_const(fields))
        if (field.type != FieldType::LongBinary)
            run.fields.append(field);
    if (m_rows == 0 || run.fields.isEmpty()) {
        (void)cleanUp();
        return State::NoData;
    }
    // The sections are counted over the fields that print, so the section
    // line never promises a section that a long binary field left empty.
    m_sections = int((run.fields.size() + sectionWidth - 1) / sectionWidth);
    return State::Ready;
}

DbError AdHocReport::print(ReportSink &sink)
{
    if (!m_run || !m_run->reportDb || m_run->fields.isEmpty())
        return DbError::make(ErrorNumber::InvalidOperation);
    Run &run = *m_run;
    Database &db = *run.reportDb;
    const auto fail = [this](const DbError &error) {
        const DbError cleaned = cleanUp();
        return error.isError() ? error : cleaned;
    };

    // The title record: the first one, or a new one.
    const Result<QVariant> first =
        db.queryValue(QStringLiteral("SELECT min(rowid) FROM ") + quoteIdentifier(titleTable));
    if (!first)
        return fail(first.error());
    if (first.value().isNull()) {
        const Result<qint64> added = db.exec(QStringLiteral("INSERT INTO ") + quoteIdentifier(titleTable)
                                             + QStringLiteral(" (ReportTitle) VALUES (?)"),
                                             {m_title});
        if (!added)
            return fail(added.error());
        run.titleRow = db.queryValue(QStringLiteral("SELECT max(rowid) FROM ") + quoteIdentifier(titleTable))
                           .valueOr(QVariant())
                           .toLongLong();
    } else {
        run.titleRow = first.value().toLongLong();
    }
    QStringList names;
    for (int k = 1; k <= sectionWidth; ++k)
        names << QStringLiteral("Field%1Name = ?").arg(k);
    const QString writeNames = QStringLiteral("UPDATE ") + quoteIdentifier(titleTable) + QStringLiteral(" SET ")
        + names.join(QStringLiteral(", ")) + QStringLiteral(", section = ?, ReportTitle = ? WHERE rowid = ?");

    for (int section = 1; section <= m_sections; ++section) {
        const QList<FieldDef> fields = run.fields.mid((section - 1) * sectionWidth, sectionWidth);
        QStringList items;
        QVariantList values;
        for (int k = 1; k <= sectionWidth; ++k) {
            if (k <= fields.size()) {
                items << reportSelectItem(fields[k - 1].name, k);
                values << fields[k - 1].name;
            } else {
                values << QVariant();
            }
        }
        const QString sectionLine =
            QCoreApplication::translate("AdHocReport", "%1 of %2").arg(section).arg(m_sections);
        values << sectionLine << m_title << run.titleRow;
        if (const Result<qint64> written = db.exec(writeNames, values); !written)
            return fail(written.error());

        const QString queryName = fields.size() == sectionWidth ? QStringLiteral("~adhocbak") : QStringLiteral("~adhoc");
        if (const DbError error = ignoreMissing(db.deleteQueryDef(queryName)); error.isError())
            return fail(error);
        const Result<QueryDef> sectionQuery =
            db.createQueryDef(queryName, QStringLiteral("select ") + items.join(QStringLiteral(", "))
                                             + QStringLiteral(" from ") + bracketedIdentifier(run.source)
                                             + u';');
        if (!sectionQuery)
            return fail(sectionQuery.error());

        // The page reads its title, captions and section line from the record.
        ReportSection shown;
        QueryDef readBack({}, QStringLiteral("SELECT ReportTitle, section, Field1Name, Field2Name, Field3Name, "
                                             "Field4Name, Field5Name, Field6Name, Field7Name FROM ")
                                  + quoteIdentifier(titleTable) + QStringLiteral(" WHERE rowid = :titleRow"));
        (void)readBack.setParameter(QStringLiteral("titleRow"), run.titleRow);
        const Result<qint64> record = db.readRows(readBack, [&](const QVariantList &row) {
            shown.title = row.value(0).toString();
            shown.sectionLine = row.value(1).toString();
            for (int k = 1; k <= fields.size(); ++k)
                shown.captions << row.value(k + 1).toString();
            return false;
        });
        if (!record)
            return fail(record.error());
        for (const FieldDef &field : fields)
            shown.types << field.type;
        shown.number = section;
        shown.count = m_sections;
        shown.rows = m_rows;

        sink.beginSection(shown);
        bool going = true;
        const Result<qint64> read = db.readRows(sectionQuery.value(), [&](const QVariantList &row) {
            going = sink.row(row);
            return going;
        });
        sink.endSection();
        if (!read)
            return fail(read.error());
        if (!going)
            break;
    }
    return fail({});
}

DbError AdHocReport::cleanUp()
{
    if (!m_run)
        return {};
    std::unique_ptr<Run> run = std::move(m_run);
    DbError first;
    const auto keep = [&first](const DbError &error) {
        if (!first.isError())
            first = error;
    };
    if (!run->copyView.isEmpty())
        keep(m_current.exec(QStringLiteral("DROP VIEW IF EXISTS temp.") + quoteIdentifier(run->copyView)).error());
    if (run->reportDb && !run->sourceView.isEmpty())
        keep(run->reportDb->exec(QStringLiteral("DROP VIEW IF EXISTS temp.") + quoteIdentifier(run->sourceView))
                 .error());
    if (run->attached)
        keep(run->reportDb->exec(QStringLiteral("DETACH DATABASE tw_link")).error());
    run->ownDefault.reset();
    if (run->copied && m_current.tableExists(copyTable))
        keep(m_current.execUser(QStringLiteral("DROP table ") + bracketedIdentifier(copyTable) + u';').error());
    if (run->wroteSavedCopy) {
        keep(ignoreMissing(m_current.deleteQueryDef(savedCopy)));
        if (run->madeCatalog && m_current.queryNames().valueOr({QString()}).isEmpty())
            keep(m_current.dropTable(catalogTable));
    }
    return first;
}

} // namespace tw
