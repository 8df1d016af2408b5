// How a cell's text becomes a value in an insert statement, by the SQL Server type of the
// column it goes to. Every value is written whole: numbers with their own digits, texts and
// dates as quoted literals with quotes doubled.
#pragma once
#include "destination/SqlTypes.h"
#include "framework/String.h"

// A number written as text (trimmed: optional sign, digits with commas only between groups of
// three, optional fraction, optional exponent) in plain positional notation with its own
// digits: "1,234.50" -> "1234.50", "1.5e-7" -> "0.00000015". False when the text is no number.
bool NormalizeNumber(const CString& text, CString& out);
// The integer part of a normalized number, truncated toward zero: "-12.7" -> "-12".
CString IntegerPart(const CString& normalized);

// A date text as read by the platform's locale-aware parser, written as ISO 8601
// (yyyy-mm-ddThh:mm:ss) so the server reads it the same way under every login language; a
// time without a date goes on 1900-01-01. Empty text gives the current local date and time.
// False when the text is not empty and the parser refuses it.
bool FormatDateValue(const CString& text, CString& out);

// The SQL text of one value for a column of type row `row` (an index of g_sqlTypeTable), by
// the row's class and form: integers and decimals as exact digits (an empty cell 0 or
// 0.000000), dates as quoted ISO text (an empty cell the current time), texts quoted (N'...'
// for the national forms), uniqueidentifier and sql_variant quoted, binary types as 0x... or
// a number; an empty cell of these last is NULL. A value that does not fit its class goes as
// a quoted literal for the server to convert or refuse.
CString FormatSqlValue(int row, const CString& cell);
