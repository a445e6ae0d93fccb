// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/serveraddress.h"

#include <QRegularExpression>

#include <libpq-fe.h>

namespace tw {

namespace {

bool isUri(const QString &text)
{
    const QString trimmed = text.trimmed();
    return trimmed.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || trimmed.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

// A value in a libpq key-value string: quoted, with quotes and backslashes
// escaped, so spaces and quotes stay part of it.
QString quotedValue(const QString &value)
{
    QString quoted = value;
    quoted.replace(u'\\', QLatin1String("\\\\"));
    quoted.replace(u'\'', QLatin1String("\\'"));
    return u'\'' + quoted + u'\'';
}

// The URI as typed, with the password left out of the user part and the
// query.
QString uriWithoutPassword(const QString &uri)
{
    QString shown = uri.trimmed();
    // libpq ends the user part at the first "@" or "/", whatever comes
    // between; so does this.
    static const QRegularExpression userInfo(QStringLiteral("^(postgres(?:ql)?://[^:@/]*):[^@/]*@"),
                                             QRegularExpression::CaseInsensitiveOption);
    shown.replace(userInfo, QStringLiteral("\\1@"));
    static const QRegularExpression queryPassword(QStringLiteral("([?&])password=[^&#]*&?"));
    shown.replace(queryPassword, QStringLiteral("\\1"));
    while (shown.endsWith(u'&') || shown.endsWith(u'?'))
        shown.chop(1);
    return shown;
}

} // namespace

bool isServerAddress(const QString &text)
{
    if (isUri(text))
        return true;
    // key=value pairs: the first word is one of libpq's keywords.
    static const QRegularExpression firstKey(QStringLiteral("^\\s*([a-z_]+)\\s*="));
    const QRegularExpressionMatch match = firstKey.match(text);
    if (!match.hasMatch())
        return false;
    static const QStringList keys = {QStringLiteral("host"),    QStringLiteral("hostaddr"),
                                     QStringLiteral("port"),    QStringLiteral("dbname"),
                                     QStringLiteral("user"),    QStringLiteral("service"),
                                     QStringLiteral("sslmode"), QStringLiteral("password")};
    return keys.contains(match.captured(1));
}

std::optional<ServerAddress> parseServerAddress(const QString &text, QString *problem)
{
    const QByteArray utf8 = text.trimmed().toUtf8();
    char *error = nullptr;
    PQconninfoOption *parsed = PQconninfoParse(utf8.constData(), &error);
    if (!parsed) {
        if (problem)
            *problem = error ? QString::fromUtf8(error).trimmed() : QStringLiteral("out of memory");
        PQfreemem(error);
        return std::nullopt;
    }
    ServerAddress address;
    QStringList shown;
    bool hasTimeout = false;
    for (PQconninfoOption *option = parsed; option->keyword; ++option) {
        if (!option->val)
            continue;
        const QString key = QString::fromUtf8(option->keyword);
        const QString value = QString::fromUtf8(option->val);
        if (key == QLatin1String("password")) {
            address.password = value;
            continue;
        }
        shown << key + u'=' + quotedValue(value);
        bool isNumber = false;
        const int port = value.toInt(&isNumber);
        if (key == QLatin1String("host"))
            address.host = value;
        else if (key == QLatin1String("port") && isNumber)
            address.port = port;
        else if (key == QLatin1String("dbname"))
            address.database = value;
        else if (key == QLatin1String("user"))
            address.user = value;
        else if (value.contains(u';')) {
            // The driver turns every ";" of its options into a space: the
            // option would silently become another one.
            PQconninfoFree(parsed);
            if (problem)
                *problem = QStringLiteral("The value of %1 holds a \";\", which cannot be passed on to the server.")
                               .arg(key);
            return std::nullopt;
        } else
            address.options << key + u'=' + quotedValue(value);
        hasTimeout = hasTimeout || key == QLatin1String("connect_timeout");
    }
    PQconninfoFree(parsed);
    // A server that does not answer must not hang the program; libpq alone
    // would wait as long as the system lets a connection attempt run.
    if (!hasTimeout)
        address.options << QStringLiteral("connect_timeout=10");
    address.display = isUri(text) ? uriWithoutPassword(text) : shown.join(u' ');
    return address;
}

QString serverAddressOf(const QString &host, const QString &port, const QString &database,
                        const QString &service)
{
    QStringList pairs;
    const std::pair<const char *, QString> parts[] = {
        {"host", host.trimmed()}, {"port", port.trimmed()}, {"dbname", database.trimmed()}, {"service", service.trimmed()}};
    for (const auto &[key, value] : parts)
        if (!value.isEmpty())
            pairs << QLatin1String(key) + u'=' + quotedValue(value);
    return pairs.join(u' ');
}

QString displayDatabaseName(const QString &pathOrAddress)
{
    if (!isServerAddress(pathOrAddress))
        return pathOrAddress;
    const std::optional<ServerAddress> address = parseServerAddress(pathOrAddress);
    // An address libpq cannot read is not shown at all: it may hold a
    // password in a form we do not know to leave out.
    return address ? address->display : QStringLiteral("(a database server)");
}

} // namespace tw
