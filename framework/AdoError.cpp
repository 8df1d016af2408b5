#include "framework/AdoError.h"
#include "framework/OdbcDiag.h"
#include <oleauto.h>

void ThrowAdoError(HRESULT hr, const char* description)
{
    ICreateErrorInfo* create = nullptr;
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(::CreateErrorInfo(&create))) {
        std::wstring w = Utf16FromAnsi(description);
        create->SetDescription(const_cast<LPOLESTR>(w.c_str()));
        create->SetSource(const_cast<LPOLESTR>(L"SheetMover data access"));
        create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
        create->Release();
    }
    throw _com_error(hr, info);   // takes over the reference
}

void ThrowOdbcError(const char* what, SQLSMALLINT handleType, SQLHANDLE handle)
{
    CString text(what);
    CString diag = OdbcDiagnostics(handleType, handle);
    if (!diag.IsEmpty()) text += "\n" + diag;
    ThrowAdoError(E_FAIL, text);
}

CString OdbcDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle)
{
    CString all;
    for (const COdbcDiagRecord& record : ReadOdbcDiagRecords(handleType, handle)) {
        CString line;
        line.Format("[%s] (%ld) %s", record.state.GetString(), record.native, record.message.GetString());
        if (!all.IsEmpty()) all += "\n";
        all += line;
    }
    return all;
}

CString ComErrorDescription(const _com_error& e)
{
    CString text;
    IErrorInfo* info = e.ErrorInfo();
    if (!info) return text;
    BSTR description = nullptr;
    if (SUCCEEDED(info->GetDescription(&description)) && description) {
        int n = ::WideCharToMultiByte(CP_ACP, 0, description, -1, nullptr, 0, nullptr, nullptr);
        if (n > 1) {
            ::WideCharToMultiByte(CP_ACP, 0, description, -1, text.GetBuffer(n), n, nullptr, nullptr);
            text.ReleaseBuffer();
        }
        ::SysFreeString(description);
    }
    info->Release();
    return text;
}
