// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace tw {

// Field types with the numbers desktop-database code knows them by (text is
// 10, long binary 11), so callers can compare with those numbers directly.
enum class FieldType {
    Boolean = 1,
    Byte = 2,
    Integer = 3,   // 16 bit
    Long = 4,      // 32 bit
    Currency = 5,
    Single = 6,
    Double = 7,
    Date = 8,
    Binary = 9,    // sized binary, 1-255 bytes
    Text = 10,     // sized text, 1-255 characters
    LongBinary = 11,
    Memo = 12,     // text of any length
    Guid = 15,
    BigInt = 16,
    Decimal = 20,
};

inline constexpr int DefaultTextSize = 50;
inline constexpr int MaxTextSize = 255;

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    // Declared size for Text and Binary; the storage size in bytes for the
    // fixed types; 0 for Memo and LongBinary (no limit).
    int size = DefaultTextSize;
    bool allowZeroLength = true; // Text and Memo only
    bool required = false;       // refuses Null

    static FieldDef text(const QString &name, int size = DefaultTextSize, bool allowZeroLength = true)
    {
        return FieldDef{name, FieldType::Text, size, allowZeroLength, false};
    }
    static FieldDef of(const QString &name, FieldType type)
    {
        return FieldDef{name, type, fixedSize(type), true, false};
    }

    bool isText() const { return type == FieldType::Text || type == FieldType::Memo; }
    bool isNumeric() const;

    // Storage size of the fixed-size types; 0 for the others.
    static int fixedSize(FieldType type);

    bool operator==(const FieldDef &) const = default;
};

struct TableDef {
    QString name;
    QList<FieldDef> fields;
};

// The declared column type written into CREATE TABLE for a field, and the way
// it is read back. Text sizes live in the declared type ("VARCHAR(50)");
// sizes and zero-length rules are enforced by named CHECK constraints (see
// columnConstraints).
QString declaredType(const FieldDef &field);
// Type and size from a declared column type, including types written by other
// programs ("TEXT", "INT", "" ...); `size` is left for Text/Binary.
void parseDeclaredType(const QString &declared, FieldType *type, int *size);

// The column definition of a field in CREATE TABLE: quoted name, declared
// type, NOT NULL and the named CHECK constraints.
QString columnDefinition(const FieldDef &field);

// Names of the CHECK constraints our error mapping recognises.
QString sizeConstraintName(const QString &field);
QString nonEmptyConstraintName(const QString &field);
inline constexpr char NonEmptyConstraintPrefix[] = "tw_nonempty:";

} // namespace tw
