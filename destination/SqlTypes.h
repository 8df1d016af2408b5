// SQL Server's column types as the program knows them: one table of the catalogue's type
// codes (the xtype of SysColumns) with each type's name and how a cell's text is written as a
// value of it. The column list shows the names; the conversion writes values by the classes.
#pragma once
#include "framework/String.h"

// How a cell's text becomes a value (convert/SqlValues.h writes it).
enum class ValueClass { Integer, Date, Decimal, Text };
// What a type asks beyond its class: a quoted literal (uniqueidentifier, sql_variant), 0x...
// text kept (binary types), both NULL for an empty cell; a national text literal N'...'.
enum class ValueForm { Plain, QuotedOrNull, BinaryOrNull, National };

struct SqlTypeRow {
    int xtype;
    const char* name;
    ValueClass valueClass;
    ValueForm form;
};

constexpr int kSqlTypeRows = 25;
extern const SqlTypeRow g_sqlTypeTable[kSqlTypeRows];

// Index of the row of g_sqlTypeTable with this type code, or -1.
int GetTypeClass(int xtype);
// The class of a row of g_sqlTypeTable.
ValueClass ClassOfTypeRow(int row);

// "varchar" for 167, "nvarchar" for 231 ...; the empty text for a code without a name.
CString GetSqlTypeName(int xtype);

// A type code as the catalogue gives it in text: its leading decimal digits, 0 when there
// are none (no type has code 0).
int ParseTypeCode(const char* text);
