// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"
#include "core/db/fielddef.h"
#include "core/db/querydef.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

namespace tw {

class Database;

// One section of the ad-hoc report as its pages show it: the title, the
// section line and the column captions read back from the title record
// (SSysAdHocReportTitle), as the printed report reads them.
struct ReportSection {
    QString title;
    QString sectionLine;   // "1 of 2"
    QStringList captions;  // one to seven
    QList<FieldType> types; // of the columns, for their alignment
    int number = 1;
    int count = 1;
    qint64 rows = 0;
};

// Where the report's sections go: a printer, a PDF file, or a test.
class ReportSink
{
public:
    virtual ~ReportSink() = default;
    virtual void beginSection(const ReportSection &section) = 0;
    // Values in the order of the section's captions; false ends the report.
    virtual bool row(const QVariantList &values) = 0;
    virtual void endSection() = 0;
};

// "Print ALL fields": every field of a query's result, in sections of at most
// seven, through the report objects users of the program know:
//   - the title record of SSysAdHocReportTitle in the default database
//     (ReportTitle, Field1Name ... Field7Name, section);
//   - the saved queries "~adhoc" (sections of one to six fields) and
//     "~adhocbak" (seven) in the default database, which select the
//     section's fields as Field1 ... Field7 from the result;
//   - "~adhocTmp", the saved copy of a query that was not saved;
//   - while another database is current, its result copied there into the
//     table "~SSysAdHocTmp" and read through a link from the default one.
// Saved queries are read as the views they stand for while the report runs.
// What the run puts into another database (the copy, the link, the saved
// copy of the query) goes again when it ends, however it ends.
class AdHocReport
{
public:
    // `current` is the database the query ran on; the default database is
    // the program's own, opened a second time when another one is current.
    AdHocReport(Database &current, const QString &defaultPath, const QueryDef &query);
    ~AdHocReport();
    AdHocReport(const AdHocReport &) = delete;
    AdHocReport &operator=(const AdHocReport &) = delete;

    enum class State { Ready, NoFrom, NoData, Failed };
    // Checks the query, writes the saved copy of an unsaved one and reads
    // the result (copying it for another database). Nothing is printed yet.
    State prepare();
    const DbError &error() const { return m_error; }

    QString title() const { return m_title; }
    int sectionCount() const { return m_sections; }
    qint64 rowCount() const { return m_rows; }

    // The sections, one after the other, into the sink. After prepare()
    // said Ready.
    DbError print(ReportSink &sink);

private:
    struct Run;
    DbError cleanUp();
    DbError copyServerResult();
    // The rows and the printed fields of the source the sections read.
    State describeSource();

    Database &m_current;
    QString m_defaultPath;
    QueryDef m_query;
    QString m_title;
    int m_sections = 0;
    qint64 m_rows = 0;
    DbError m_error;
    std::unique_ptr<Run> m_run;
};

// The report's title: the SQL with its line breaks as blanks, then each run
// of three blanks and then of two shortened to one (one pass each).
QString reportTitleText(const QString &sql);
// The select-list item of a field in place k (1-7) of a section: the name
// alone when it already is "field" + k, otherwise "name as Fieldk"; a name
// that is not a plain word is bracketed.
QString reportSelectItem(const QString &fieldName, int place);

} // namespace tw
