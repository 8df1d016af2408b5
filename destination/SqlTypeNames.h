// The names of SQL Server's column type codes (the xtype of the catalogue's SysColumns).
#pragma once
#include "framework/String.h"

// "varchar" for 167, "nvarchar" for 231 ...; the empty text for a code without a name.
CString GetSqlTypeName(int xtype);
