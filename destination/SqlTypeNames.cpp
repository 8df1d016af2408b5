#include "destination/SqlTypeNames.h"

namespace {
const char* const kNames[] = {
    "",                  // no name
    "image",             // 1
    "text",              // 2
    "uniqueidentifier",  // 3
    "tinyint",           // 4
    "smallint",          // 5
    "int",               // 6
    "smalldatetime",     // 7
    "real",              // 8
    "money",             // 9
    "datetime",          // 10
    "float",             // 11
    "sql_variant",       // 12
    "ntext",             // 13
    "bit",               // 14
    "decimal",           // 15
    "numeric",           // 16
    "smallmoney",        // 17
    "bigint",            // 18
    "varbinary",         // 19
    "varchar",           // 20
    "binary",            // 21
    "char",              // 22
    "timestamp",         // 23
    "nvarchar",          // 24
    "nchar",             // 25
};

constexpr int kFirstCode = 34;
constexpr int kLastCode = 239;

// Index into kNames for each code from 34 to 239.
constexpr unsigned char kNameOfCode[kLastCode - kFirstCode + 1] = {
    /*  34 */ 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 5, 0,
    /*  54 */ 0, 0, 6, 0, 7, 8, 9, 10, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    /*  74 */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    /*  94 */ 0, 0, 0, 0, 12, 13, 0, 0, 0, 0, 14, 0, 15, 0, 16, 0, 0, 0, 0, 0,
    /* 114 */ 0, 0, 0, 0, 0, 0, 0, 0, 17, 0, 0, 0, 0, 18, 0, 0, 0, 0, 0, 0,
    /* 134 */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    /* 154 */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 19, 0, 20, 0, 0, 0, 0, 0, 21,
    /* 174 */ 0, 22, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 23, 0, 0, 0, 0,
    /* 194 */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    /* 214 */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 24, 0, 0,
    /* 234 */ 0, 0, 0, 0, 0, 25,
};
}

CString GetSqlTypeName(int xtype)
{
    CString name;
    if (xtype >= kFirstCode && xtype <= kLastCode) name = kNames[kNameOfCode[xtype - kFirstCode]];
    return name;
}
