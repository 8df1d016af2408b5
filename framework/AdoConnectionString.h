// ADO-style connection strings ("Provider=SQLOLEDB;Server=...;DATABASE=...;UID=...;PWD=...")
// and their translation into the connection string of the installed SQL Server ODBC driver.
#pragma once
#include "framework/String.h"
#include <vector>

// One Name=value pair.
struct CConnectionAttribute {
    CString name;
    CString value;
};

// Splits "Name=value;Name=value" into pairs. A name ends at the first '=' and is trimmed; a
// value runs to the next ';' exactly as written, or is enclosed in braces, inside which '}'
// is doubled. Empty segments are skipped. The text is walked by characters of the ANSI code
// page: a double-byte character's trail byte is never a delimiter. False (with a reason) for
// an unclosed brace.
bool ParseConnectionString(const char* text, std::vector<CConnectionAttribute>& attributes, CString& error);

// The value as it must be written into such a string: unchanged unless it holds ';' or starts
// with '{', then enclosed in braces with every '}' doubled.
CString QuoteConnectionValue(const char* value);

// The SQL Server to reach, as named by an ADO-style string.
struct CSqlServerLogin {
    CString server;     // "(local)", ".", "localhost", a host or address, "host,port", "host\instance"
    CString database;
    CString user;
    CString password;
};

// Reads Server / Data Source, Database / Initial Catalog, UID / User ID, PWD / Password (names
// without regard to case; Provider and others are not needed over ODBC).
CSqlServerLogin SqlServerLoginFromAttributes(const std::vector<CConnectionAttribute>& attributes);

// The preferred SQL Server driver among installed driver names: "ODBC Driver 18 for SQL
// Server", then 17, then "SQL Server", then "FreeTDS"; empty when none is installed.
CString ChooseSqlServerDriver(const std::vector<CString>& installed);

// The ODBC connection string for `driver`. Under FreeTDS the server name is turned into
// SERVER and PORT ("(local)", "." and "localhost" mean 127.0.0.1, port 1433 unless given),
// the TDS version is fixed and the client character set follows the ANSI code page
// `codePage`. False (with a reason) when a value cannot reach the driver intact: FreeTDS keeps
// neither a doubled '}' nor a closing brace at the end, so a value that needs braces must not
// hold '}'.
bool BuildOdbcConnectionString(const CString& driver, const CSqlServerLogin& login, UINT codePage,
                               CString& odbc, CString& error);
