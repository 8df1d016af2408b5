// SQL Server names and literals in statement text. A name that is a regular identifier and
// not a reserved word goes in as it is, so ordinary names keep giving the plain statements;
// any other name goes in brackets with ']' doubled. Works on whole characters of the ANSI
// code page: in GBK the second byte of a character can be 0x5D (']') or 0x5C.
#pragma once
#include "framework/String.h"

// True when `name` must be bracketed: empty, not a regular identifier by SQL Server's rules
// (first a letter or '_', then letters, digits, '_', '@', '$', '#'), or a reserved word.
bool NeedsBrackets(const CString& name);

// The name as it may stand in a statement: unchanged, or as [name] with ']' doubled.
CString QuoteIdentifier(const CString& name);

// Text for inside a '...' literal: every single quote doubled.
CString EscapeSqlLiteral(const CString& text);
