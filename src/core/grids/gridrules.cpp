// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grids/gridrules.h"

#include "core/db/dialect.h"
#include "core/db/identifier.h"

#include <QCoreApplication>
#include <QStringList>

namespace tw {

bool looksNumeric(const QVariant &value)
{
    if (value.isNull())
        return false;
    bool ok = false;
    value.toString().trimmed().toDouble(&ok);
    return ok;
}

QString recordCounterText(qint64 position, qint64 count)
{
    if (count <= 0 || position < 0)
        return QCoreApplication::translate("Form13", "No record on file.");
    return QCoreApplication::translate("Form13", "Record: %1 of %2").arg(position + 1).arg(count);
}

QString headerSortRequest(const QString &column, bool descending)
{
    return u'[' + column + u']' + (descending ? QStringLiteral(" desc") : QString());
}

SortPlan planSort(const QString &request, const QList<FieldDef> &fields,
                  const std::function<QVariant(int)> &currentValue)
{
    SortPlan plan;
    QString column = request.trimmed();
    if (column.isEmpty())
        return plan;
    const QString suffix = QStringLiteral(" desc");
    plan.descending = column.endsWith(suffix, Qt::CaseInsensitive);
    if (plan.descending)
        column = column.chopped(suffix.size()).trimmed();
    // A bracketed name is taken whole: a header click puts any name in
    // brackets, even one holding "]" or quotes.
    QString name = column;
    if (name.size() >= 2 && name.startsWith(u'[') && name.endsWith(u']'))
        name = name.mid(1, name.size() - 2);
    int field = -1;
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            field = i;
            break;
        }
    }
    const QString order = plan.descending ? QStringLiteral(" DESC") : QString();
    if (field < 0) {
        // Any other request is an expression in the user's SQL.
        plan.expression = translateUserSql(column) + order;
        return plan;
    }
    plan.column = fields[field].name;
    const QString quoted = quoteIdentifier(fields[field].name);
    const bool byValue = fields[field].isText() && currentValue && looksNumeric(currentValue(field));
    plan.expression = (byValue ? QStringLiteral("val(") + quoted + u')' : quoted) + order;
    return plan;
}

QString filterExpression(const QString &typed)
{
    return translateUserSql(typed.trimmed());
}

QString sortPromptText()
{
    return QCoreApplication::translate(
        "Form13", "Enter Sort Column (or click Cancel, then click a column heading.  You could also hit Ctrl + "
                  "column heading to view the data in descending order.):");
}

QString filterPromptText()
{
    const char *const lines[] = {
        QT_TRANSLATE_NOOP("Form13",
                          "Enter FieldName =, <>, <, <=, >, >= Criteria.  Use the following with numeric or date "
                          "fields: <> means 'not equal to', < means 'less than', <= means 'less than or equal to', "
                          "> means 'greater than', >= means 'greater than or equal to'.  For text fields, use 'not "
                          "=' to mean 'not equal to'."),
        QT_TRANSLATE_NOOP("Form13", "- Enclose the Criteria of TEXT fields in DOUBLE quotes."),
        QT_TRANSLATE_NOOP("Form13", "- Enclose the Criteria of DATE fields in NUMBER signs."),
        QT_TRANSLATE_NOOP("Form13", "- Don't use quotes for numeric criteria."),
        "",
        QT_TRANSLATE_NOOP("Form13", "Example: OrderID = ''123''"),
        QT_TRANSLATE_NOOP("Form13", "Example: SaleID = 456"),
        "",
        QT_TRANSLATE_NOOP("Form13", "Use 'and' or 'or' to create combined criteria."),
        QT_TRANSLATE_NOOP("Form13", "Example: CustomerID=''ABC123'' or customerid=''ABC456''"),
        QT_TRANSLATE_NOOP("Form13", "Example: CustName = ''PantherEnterprises'' and OrderDate >= #8/7/00# or "
                                    "moneyEarned < 100000.00"),
        "",
        QT_TRANSLATE_NOOP("Form13", "Use the 'like' and/or 'between' operators to really get fancy."),
        QT_TRANSLATE_NOOP("Form13", "Example: customerID like ''abc*''"),
        QT_TRANSLATE_NOOP("Form13", "Example: custname like ''pant*'' or OrDeRiD <> 123"),
        QT_TRANSLATE_NOOP("Form13", "Example: orderDATE between #1/16/99# And #11/3/00# OR cashFlow >= 100"),
        QT_TRANSLATE_NOOP("Form13", "Example: custName not like ''Pan*'' AND orderID between 101 and 201"),
        "",
        QT_TRANSLATE_NOOP("Form13", "READ A BOOK ON FILTERING!  Laugh."),
    };
    QStringList text;
    for (const char *line : lines)
        text << (*line ? QCoreApplication::translate("Form13", line) : QString());
    return text.join(QStringLiteral("\r\n"));
}

} // namespace tw
