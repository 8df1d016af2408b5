#include "destination/SqlTypes.h"

const SqlTypeRow g_sqlTypeTable[kSqlTypeRows] = {
    {104, "bit", ValueClass::Integer, ValueForm::Plain},
    {189, "timestamp", ValueClass::Integer, ValueForm::Plain},
    {127, "bigint", ValueClass::Integer, ValueForm::Plain},
    {36, "uniqueidentifier", ValueClass::Integer, ValueForm::QuotedOrNull},
    {48, "tinyint", ValueClass::Integer, ValueForm::Plain},
    {52, "smallint", ValueClass::Integer, ValueForm::Plain},
    {56, "int", ValueClass::Integer, ValueForm::Plain},
    {173, "binary", ValueClass::Integer, ValueForm::BinaryOrNull},
    {34, "image", ValueClass::Integer, ValueForm::BinaryOrNull},
    {165, "varbinary", ValueClass::Integer, ValueForm::BinaryOrNull},
    {98, "sql_variant", ValueClass::Integer, ValueForm::QuotedOrNull},
    {58, "smalldatetime", ValueClass::Date, ValueForm::Plain},
    {61, "datetime", ValueClass::Date, ValueForm::Plain},
    {59, "real", ValueClass::Decimal, ValueForm::Plain},
    {106, "decimal", ValueClass::Decimal, ValueForm::Plain},
    {108, "numeric", ValueClass::Decimal, ValueForm::Plain},
    {122, "smallmoney", ValueClass::Decimal, ValueForm::Plain},
    {60, "money", ValueClass::Decimal, ValueForm::Plain},
    {62, "float", ValueClass::Decimal, ValueForm::Plain},
    {99, "ntext", ValueClass::Text, ValueForm::National},
    {167, "varchar", ValueClass::Text, ValueForm::Plain},
    {175, "char", ValueClass::Text, ValueForm::Plain},
    {231, "nvarchar", ValueClass::Text, ValueForm::National},
    {239, "nchar", ValueClass::Text, ValueForm::National},
    {35, "text", ValueClass::Text, ValueForm::Plain},
};

namespace {
// Type codes fit in a byte: a dense index from code to row, built once from the table, so
// that a lookup per listed column or converted value costs one read.
constexpr int kCodes = 256;

struct RowOfCode {
    signed char row[kCodes];
};

RowOfCode IndexCodes()
{
    RowOfCode index;
    for (signed char& r : index.row) r = -1;
    for (int i = kSqlTypeRows - 1; i >= 0; --i) index.row[g_sqlTypeTable[i].xtype] = static_cast<signed char>(i);
    return index;
}

const RowOfCode& CodeIndex()
{
    static const RowOfCode index = IndexCodes();
    return index;
}
}

int GetTypeClass(int xtype)
{
    return xtype >= 0 && xtype < kCodes ? CodeIndex().row[xtype] : -1;
}

ValueClass ClassOfTypeRow(int row)
{
    return g_sqlTypeTable[row].valueClass;
}

CString GetSqlTypeName(int xtype)
{
    int row = GetTypeClass(xtype);
    return row < 0 ? CString() : CString(g_sqlTypeTable[row].name);
}

int ParseTypeCode(const char* text)
{
    int n = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        if (n > kCodes) continue;   // no type has so long a code: stop growing, read on
        n = n * 10 + (*p - '0');
    }
    return n;
}
