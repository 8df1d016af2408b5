#include "AdoError.h"
#include <oleauto.h>
#include <sqlext.h>
#include <vector>

namespace {
std::wstring Widen(const char* text)
{
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text, -1, &w[0], n);
    w.resize(wcslen(w.c_str()));
    return w;
}
}

void ThrowAdoError(HRESULT hr, const char* description)
{
    ICreateErrorInfo* create = nullptr;
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(::CreateErrorInfo(&create))) {
        std::wstring w = Widen(description);
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
    if (!handle) return all;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[6] = "";
        SQLINTEGER native = 0;
        std::vector<SQLCHAR> message(1024);
        SQLSMALLINT length = 0;
        SQLRETURN r = ::SQLGetDiagRec(handleType, handle, i, state, &native, message.data(),
                                      static_cast<SQLSMALLINT>(message.size()), &length);
        if (!SQL_SUCCEEDED(r)) break;
        CString line;
        line.Format("[%s] (%ld) %s", reinterpret_cast<const char*>(state), static_cast<long>(native),
                    reinterpret_cast<const char*>(message.data()));
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
