// Failures of the data-access objects: every one is raised as _com_error, carrying an error
// description (for ODBC failures the driver's diagnostic records) that callers can read.
#pragma once
#include "framework/String.h"
#include <comdef.h>
#include <sql.h>

// Error codes the data-access objects raise besides E_POINTER and E_FAIL (ADO's numbers).
constexpr HRESULT kAdoErrNoCurrentRecord = static_cast<HRESULT>(0x800A0BCD);
constexpr HRESULT kAdoErrItemNotFound = static_cast<HRESULT>(0x800A0CC1);
constexpr HRESULT kAdoErrObjectClosed = static_cast<HRESULT>(0x800A0E78);
constexpr HRESULT kAdoErrObjectOpen = static_cast<HRESULT>(0x800A0E79);
constexpr HRESULT kAdoErrProviderNotFound = static_cast<HRESULT>(0x800A0E7A);

// Raises _com_error(hr) with `description` (ANSI text) as its error information.
[[noreturn]] void ThrowAdoError(HRESULT hr, const char* description);
// Raises _com_error(E_FAIL) described by `what` and the diagnostic records of an ODBC handle.
[[noreturn]] void ThrowOdbcError(const char* what, SQLSMALLINT handleType, SQLHANDLE handle);

// The diagnostic records of an ODBC handle, one "[SQLSTATE] (native) message" line each.
CString OdbcDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle);
// The description an error carries, in the ANSI code page; empty when it carries none.
CString ComErrorDescription(const _com_error& e);
