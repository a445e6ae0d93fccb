// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/fielddef.h"

#include "core/db/identifier.h"

#include <QRegularExpression>

namespace tw {

bool FieldDef::isNumeric() const
{
    switch (type) {
    case FieldType::Boolean:
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
    case FieldType::Currency:
    case FieldType::Single:
    case FieldType::Double:
    case FieldType::BigInt:
    case FieldType::Decimal:
        return true;
    default:
        return false;
    }
}

int FieldDef::fixedSize(FieldType type)
{
    switch (type) {
    case FieldType::Boolean: return 1;
    case FieldType::Byte: return 1;
    case FieldType::Integer: return 2;
    case FieldType::Long: return 4;
    case FieldType::Currency: return 8;
    case FieldType::Single: return 4;
    case FieldType::Double: return 8;
    case FieldType::Date: return 8;
    case FieldType::Guid: return 16;
    case FieldType::BigInt: return 8;
    case FieldType::Decimal: return 16;
    default: return 0;
    }
}

QString declaredType(const FieldDef &field)
{
    // Each name is chosen so that SQLite's type affinity suits the values:
    // the integer types contain "INT", the floating ones "FLOA"/"DOUB", the
    // texts "CHAR"/"TEXT"; the rest get numeric affinity, which leaves texts
    // such as dates and GUIDs alone.
    switch (field.type) {
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::Byte: return QStringLiteral("TINYINT");
    case FieldType::Integer: return QStringLiteral("SMALLINT");
    case FieldType::Long: return QStringLiteral("INTEGER");
    case FieldType::Currency: return QStringLiteral("CURRENCY");
    case FieldType::Single: return QStringLiteral("FLOAT4");
    case FieldType::Double: return QStringLiteral("DOUBLE");
    case FieldType::Date: return QStringLiteral("DATETIME");
    case FieldType::Binary: return QStringLiteral("BINARY(%1)").arg(field.size);
    case FieldType::Text: return QStringLiteral("VARCHAR(%1)").arg(field.size);
    case FieldType::LongBinary: return QStringLiteral("BLOB");
    case FieldType::Memo: return QStringLiteral("TEXT");
    case FieldType::Guid: return QStringLiteral("GUID");
    case FieldType::BigInt: return QStringLiteral("BIGINT");
    case FieldType::Decimal: return QStringLiteral("DECIMAL");
    }
    return QStringLiteral("TEXT");
}

void parseDeclaredType(const QString &declared, FieldType *type, int *size)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*([A-Za-z_][A-Za-z0-9_ ]*?)\s*(?:\(\s*(\d+)\s*(?:,\s*\d+\s*)?\))?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(declared);
    const QString name = match.hasMatch() ? match.captured(1).toUpper().simplified() : QString();
    const bool hasSize = match.hasMatch() && !match.captured(2).isEmpty();
    const int declaredSize = hasSize ? match.captured(2).toInt() : 0;

    FieldType result = FieldType::Memo;
    if (name == QLatin1String("BOOLEAN") || name == QLatin1String("BOOL") || name == QLatin1String("BIT")
        || name == QLatin1String("YESNO") || name == QLatin1String("LOGICAL"))
        result = FieldType::Boolean;
    else if (name == QLatin1String("TINYINT") || name == QLatin1String("BYTE"))
        result = FieldType::Byte;
    else if (name == QLatin1String("SMALLINT") || name == QLatin1String("SHORT") || name == QLatin1String("INT2"))
        result = FieldType::Integer;
    else if (name == QLatin1String("BIGINT") || name == QLatin1String("INT8"))
        result = FieldType::BigInt;
    else if (name.contains(QLatin1String("INT")) || name == QLatin1String("LONG"))
        result = FieldType::Long;
    else if (name == QLatin1String("CURRENCY") || name == QLatin1String("MONEY"))
        result = FieldType::Currency;
    else if (name == QLatin1String("FLOAT4") || name == QLatin1String("SINGLE"))
        result = FieldType::Single;
    else if (name.contains(QLatin1String("DOUB")) || name.contains(QLatin1String("FLOA"))
             || name == QLatin1String("REAL") || name == QLatin1String("NUM")
             || name == QLatin1String("NUMBER"))
        result = FieldType::Double;
    else if (name == QLatin1String("DECIMAL") || name == QLatin1String("NUMERIC"))
        result = FieldType::Decimal;
    else if (name.contains(QLatin1String("DATE")) || name.contains(QLatin1String("TIME")))
        result = FieldType::Date;
    else if (name == QLatin1String("GUID") || name == QLatin1String("UUID") || name == QLatin1String("UNIQUEIDENTIFIER"))
        result = FieldType::Guid;
    else if (name.contains(QLatin1String("BINARY")) && hasSize && declaredSize >= 1 && declaredSize <= MaxTextSize)
        result = FieldType::Binary;
    else if (name.contains(QLatin1String("BLOB")) || name.contains(QLatin1String("BINARY"))
             || name == QLatin1String("IMAGE") || name == QLatin1String("OLEOBJECT"))
        result = FieldType::LongBinary;
    else if ((name.contains(QLatin1String("CHAR")) || name.contains(QLatin1String("TEXT"))
              || name.contains(QLatin1String("STRING")))
             && hasSize && declaredSize >= 1 && declaredSize <= MaxTextSize)
        result = FieldType::Text;
    // Everything else, including the untyped columns other programs write,
    // holds texts of any length as far as we can tell: a memo.

    *type = result;
    if (result == FieldType::Text || result == FieldType::Binary)
        *size = declaredSize;
    else
        *size = FieldDef::fixedSize(result);
}

QString sizeConstraintName(const QString &field)
{
    return QStringLiteral("tw_size:") + field;
}

QString nonEmptyConstraintName(const QString &field)
{
    return QLatin1String(NonEmptyConstraintPrefix) + field;
}

QString columnDefinition(const FieldDef &field)
{
    const QString column = quoteIdentifier(field.name);
    QString definition = column + u' ' + declaredType(field);
    // Texts compare and sort without regard to case, as users of desktop
    // databases expect ("name = 'BAKER'" finds Baker).
    if (field.isText())
        definition += QLatin1String(" COLLATE NOCASE");
    if (field.required)
        definition += QLatin1String(" NOT NULL");
    if (field.type == FieldType::Text || field.type == FieldType::Binary) {
        definition += QStringLiteral(" CONSTRAINT %1 CHECK (length(%2) <= %3)")
                          .arg(quoteIdentifier(sizeConstraintName(field.name)), column)
                          .arg(field.size);
    }
    if (field.isText() && !field.allowZeroLength) {
        definition += QStringLiteral(" CONSTRAINT %1 CHECK (%2 <> '')")
                          .arg(quoteIdentifier(nonEmptyConstraintName(field.name)), column);
    }
    return definition;
}

} // namespace tw
