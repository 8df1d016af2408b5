#include "framework/AdoConnectionString.h"
#include <cstring>
#include <initializer_list>

namespace {
bool IsAnyOf(const CString& name, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (lstrcmpiA(name, n) == 0) return true;
    return false;
}

bool IsDigits(const CString& s)
{
    if (s.IsEmpty()) return false;
    for (int i = 0; i < s.GetLength(); ++i)
        if (s.GetAt(i) < '0' || s.GetAt(i) > '9') return false;
    return true;
}

bool IsLocalHost(const CString& host)
{
    return host.IsEmpty() || host == "." || lstrcmpiA(host, "(local)") == 0 || lstrcmpiA(host, "localhost") == 0;
}

// FreeTDS reads a braced value up to the first '}' that ends the attribute, and an unbraced
// one up to the next ';'.
bool AppendFreeTdsValue(CString& odbc, const char* name, const CString& value, CString& error)
{
    bool braces = value.Find(';') >= 0 || (!value.IsEmpty() && value.GetAt(0) == '{');
    if (braces && value.Find('}') >= 0) {
        error.Format("The value of %s holds '}' together with ';' or a leading '{': the FreeTDS "
                     "driver cannot be given it intact.", name);
        return false;
    }
    odbc += CString(name) + "=" + (braces ? "{" + value + "}" : value) + ";";
    return true;
}

// The standard ODBC rule: braces around a value with special characters or outer spaces,
// '}' doubled inside.
void AppendStandardValue(CString& odbc, const char* name, const CString& value)
{
    bool braces = !value.IsEmpty() &&
                  (strpbrk(value, "[]{}(),;?*=!@") != nullptr || value.GetAt(0) == ' ' ||
                   value.GetAt(value.GetLength() - 1) == ' ');
    CString quoted = value;
    if (braces) {
        quoted.Replace("}", "}}");
        quoted = "{" + quoted + "}";
    }
    odbc += CString(name) + "=" + quoted + ";";
}

bool BuildFreeTds(const CSqlServerLogin& login, UINT codePage, CString& odbc, CString& error)
{
    CString host = login.server;
    if (host.GetLength() > 4 && lstrcmpiA(host.Left(4), "tcp:") == 0) host = host.Mid(4);
    CString port;
    for (int i = host.GetLength() - 1; i >= 0; --i) {
        if (host.GetAt(i) != ',') continue;
        if (IsDigits(host.Mid(i + 1))) {
            port = host.Mid(i + 1);
            host = host.Left(i);
        }
        break;
    }
    CString instance;
    int slash = host.Find('\\');
    if (slash >= 0) {
        instance = host.Mid(slash);
        host = host.Left(slash);
    }
    if (IsLocalHost(host)) host = "127.0.0.1";
    if (port.IsEmpty() && instance.IsEmpty()) port = "1433";

    odbc = "DRIVER={FreeTDS};";
    if (!AppendFreeTdsValue(odbc, "SERVER", host + instance, error)) return false;
    if (!port.IsEmpty()) odbc += "PORT=" + port + ";";
    if (!login.database.IsEmpty() && !AppendFreeTdsValue(odbc, "DATABASE", login.database, error)) return false;
    if (!AppendFreeTdsValue(odbc, "UID", login.user, error)) return false;
    if (!AppendFreeTdsValue(odbc, "PWD", login.password, error)) return false;
    // Plain values last: a braced value at the very end would keep its closing brace.
    CString charset;
    if (codePage == CP_UTF8)
        charset = "UTF-8";
    else
        charset.Format("CP%u", codePage);
    odbc += "TDS_Version=7.4;ClientCharset=" + charset;
    return true;
}
}

bool ParseConnectionString(const char* text, std::vector<CConnectionAttribute>& attributes, CString& error)
{
    attributes.clear();
    const char* p = text ? text : "";
    while (*p) {
        const char* end = p;
        while (*end && *end != ';' && *end != '=') end = NextAnsiChar(end);
        if (*end != '=') {   // a segment without '=' carries nothing
            p = *end ? end + 1 : end;
            continue;
        }
        CConnectionAttribute a;
        a.name = CString(p, static_cast<int>(end - p));
        a.name.Trim();
        p = end + 1;
        if (*p == '{') {
            for (++p;;) {
                if (!*p) {
                    error.Format("The braced value of %s is not closed.", a.name.GetString());
                    return false;
                }
                if (*p == '}') {
                    if (p[1] != '}') break;
                    ++p;   // "}}" stands for one '}'
                }
                const char* next = NextAnsiChar(p);
                a.value += CString(p, static_cast<int>(next - p));
                p = next;
            }
            ++p;
            while (*p == ' ') ++p;
            if (*p && *p != ';') {
                error.Format("Text follows the braced value of %s.", a.name.GetString());
                return false;
            }
        } else {
            const char* stop = p;
            while (*stop && *stop != ';') stop = NextAnsiChar(stop);
            a.value = CString(p, static_cast<int>(stop - p));
            p = stop;
        }
        if (*p == ';') ++p;
        if (!a.name.IsEmpty()) attributes.push_back(a);
    }
    return true;
}

CString QuoteConnectionValue(const char* value)
{
    CString v(value);
    if (v.Find(';') < 0 && (v.IsEmpty() || v.GetAt(0) != '{')) return v;
    v.Replace("}", "}}");
    return "{" + v + "}";
}

CSqlServerLogin SqlServerLoginFromAttributes(const std::vector<CConnectionAttribute>& attributes)
{
    CSqlServerLogin login;
    for (const CConnectionAttribute& a : attributes) {
        if (IsAnyOf(a.name, {"Server", "Data Source", "Address", "Addr", "Network Address"}))
            login.server = a.value;
        else if (IsAnyOf(a.name, {"Database", "Initial Catalog"}))
            login.database = a.value;
        else if (IsAnyOf(a.name, {"UID", "User ID"}))
            login.user = a.value;
        else if (IsAnyOf(a.name, {"PWD", "Password"}))
            login.password = a.value;
    }
    return login;
}

CString ChooseSqlServerDriver(const std::vector<CString>& installed)
{
    for (const char* wanted : {"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server", "SQL Server", "FreeTDS"})
        for (const CString& name : installed)
            if (lstrcmpiA(name, wanted) == 0) return name;
    return CString();
}

bool BuildOdbcConnectionString(const CString& driver, const CSqlServerLogin& login, UINT codePage,
                               CString& odbc, CString& error)
{
    if (lstrcmpiA(driver, "FreeTDS") == 0) return BuildFreeTds(login, codePage, odbc, error);
    odbc = "DRIVER={" + driver + "};";
    AppendStandardValue(odbc, "SERVER", login.server);
    if (!login.database.IsEmpty()) AppendStandardValue(odbc, "DATABASE", login.database);
    AppendStandardValue(odbc, "UID", login.user);
    AppendStandardValue(odbc, "PWD", login.password);
    // The provider this replaces did not encrypt; version 18 of the driver would insist.
    if (driver.Find("18") >= 0) odbc += "Encrypt=no;";
    return true;
}
