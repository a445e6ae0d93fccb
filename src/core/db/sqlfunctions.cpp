// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/sqlfunctions.h"

#include <QSqlDriver>

#include <cmath>
#include <sqlite3.h>

namespace tw {

namespace {

bool isValBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

double radixPrefixValue(QStringView text, qsizetype i, int radix)
{
    double value = 0;
    for (; i < text.size(); ++i) {
        const int digit = QChar(text[i]).isDigit() ? text[i].unicode() - '0'
                          : (radix == 16 && text[i].toLower() >= u'a' && text[i].toLower() <= u'f')
                              ? text[i].toLower().unicode() - 'a' + 10
                              : -1;
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

void sqlVal(sqlite3_context *context, int, sqlite3_value **argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(context);
        return;
    case SQLITE_INTEGER:
        sqlite3_result_int64(context, sqlite3_value_int64(argv[0]));
        return;
    case SQLITE_FLOAT:
        sqlite3_result_double(context, sqlite3_value_double(argv[0]));
        return;
    default:
        break;
    }
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const double value = valOf(QString::fromUtf8(bytes, sqlite3_value_bytes(argv[0])));
    // Whole numbers come back as integers so that they print as 12, not 12.0.
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 9.0e15)
        sqlite3_result_int64(context, static_cast<sqlite3_int64>(value));
    else
        sqlite3_result_double(context, value);
}

void sqlIsNull(sqlite3_context *context, int, sqlite3_value **argv)
{
    sqlite3_result_int(context, sqlite3_value_type(argv[0]) == SQLITE_NULL ? 1 : 0);
}

} // namespace

double valOf(QStringView text)
{
    QString compact;
    compact.reserve(text.size());
    for (const QChar c : text) {
        if (!isValBlank(c))
            compact += c;
    }
    const QStringView s(compact);
    if (s.size() >= 2 && s[0] == u'&') {
        const QChar kind = s[1].toUpper();
        if (kind == u'H')
            return radixPrefixValue(s, 2, 16);
        if (kind == u'O')
            return radixPrefixValue(s, 2, 8);
    }
    qsizetype i = 0;
    QByteArray number;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        number += char(s[i++].unicode());
    bool digits = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= u'0' && s[i] <= u'9') {
            number += char(s[i].unicode());
            digits = true;
        } else if (s[i] == u'.' && !point) {
            number += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    if (i < s.size() && (s[i].toUpper() == u'E' || s[i].toUpper() == u'D')) {
        qsizetype j = i + 1;
        QByteArray exponent = "e";
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            exponent += char(s[j++].unicode());
        bool expDigits = false;
        for (; j < s.size() && s[j] >= u'0' && s[j] <= u'9'; ++j) {
            exponent += char(s[j].unicode());
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0.0;
}

bool registerSqlFunctions(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3 *sqlite = *static_cast<sqlite3 *const *>(handle.constData());
    if (!sqlite)
        return false;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function(sqlite, "val", 1, flags, nullptr, &sqlVal, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(sqlite, "isnull", 1, flags, nullptr, &sqlIsNull, nullptr, nullptr) == SQLITE_OK;
}

} // namespace tw
