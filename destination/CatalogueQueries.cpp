#include "destination/CatalogueQueries.h"
#include "destination/SqlIdentifier.h"

namespace {
CString ObjectIdArgument(const char* table)
{
    return EscapeSqlLiteral(QuoteIdentifier(table));
}
}

CString TableListQuery(const char* database)
{
    CString sql;
    sql.Format("select name from %s..sysobjects where XType='U' order by name asc;",
               QuoteIdentifier(database).GetString());
    return sql;
}

CString ColumnListQuery(const char* table)
{
    CString sql;
    sql.Format("select name,xtype from SysColumns where id=Object_Id('%s') order by name asc;",
               ObjectIdArgument(table).GetString());
    return sql;
}

CString IdentityColumnQuery(const char* table)
{
    CString sql;
    sql.Format("select name from syscolumns where id=object_id('%s') and columnproperty(id,name,'isidentity')=1;",
               ObjectIdArgument(table).GetString());
    return sql;
}
