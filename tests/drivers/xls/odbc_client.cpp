#include "odbc_client.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <stdexcept>

namespace xlstest {

std::string driver_path() { return XLS_DRIVER_PATH; }

std::string fixture(const std::string& name) {
  const char* dir = std::getenv("XLS_FIXTURES");
  return std::string(dir ? dir : ".") + "/" + name;
}

std::string connect_string(const std::string& name, const std::string& extra) {
  return "DRIVER=" + driver_path() + ";DBQ=" + fixture(name) + (extra.empty() ? "" : ";" + extra);
}

std::vector<Diag> diagnostics(SQLSMALLINT type, SQLHANDLE h) {
  std::vector<Diag> out;
  for (SQLSMALLINT i = 1;; ++i) {
    SQLCHAR state[6] = "", msg[2048] = "";
    SQLINTEGER native = 0;
    SQLSMALLINT len = 0;
    SQLRETURN rc = SQLGetDiagRec(type, h, i, state, &native, msg, sizeof msg, &len);
    if (!SQL_SUCCEEDED(rc)) break;
    out.push_back({reinterpret_cast<char*>(state), reinterpret_cast<char*>(msg)});
  }
  return out;
}

std::string describe(const std::vector<Diag>& d) {
  std::string s;
  for (const Diag& x : d) s += "[" + x.state + "] " + x.message + "\n";
  return s;
}

Connection::Connection() {
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
}

Connection::~Connection() {
  if (connected) SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
}

SQLRETURN Connection::connect(const std::string& cs) {
  SQLCHAR out[1024];
  SQLSMALLINT out_len = 0;
  SQLRETURN rc = SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(cs.c_str())), SQL_NTS,
                                  out, sizeof out, &out_len, SQL_DRIVER_NOPROMPT);
  connected = SQL_SUCCEEDED(rc);
  return rc;
}

Statement::Statement(const Connection& c) { SQLAllocHandle(SQL_HANDLE_STMT, c.dbc, &h); }
Statement::~Statement() {
  if (h) SQLFreeHandle(SQL_HANDLE_STMT, h);
}

SQLRETURN read_value(SQLHSTMT st, SQLUSMALLINT col, Value& out, size_t chunk, std::vector<Diag>* error) {
  std::string text;
  std::vector<char> buf(chunk);
  for (;;) {
    SQLLEN ind = 0;
    SQLRETURN rc = SQLGetData(st, col, SQL_C_CHAR, buf.data(), static_cast<SQLLEN>(buf.size()), &ind);
    if (rc == SQL_NO_DATA) break;
    if (rc == SQL_ERROR) {
      if (error) *error = diagnostics(SQL_HANDLE_STMT, st);
      return rc;
    }
    if (ind == SQL_NULL_DATA) {
      out.reset();
      return SQL_SUCCESS;
    }
    text += buf.data();
    if (rc == SQL_SUCCESS) break;
  }
  out = text;
  return SQL_SUCCESS;
}

bool Connection::query(const std::string& sql, Table& t, std::vector<Diag>* error, size_t chunk) {
  t = Table();
  Statement st(*this);
  SQLRETURN rc = SQLExecDirect(st.h, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
  if (!SQL_SUCCEEDED(rc)) {
    if (error) *error = diagnostics(SQL_HANDLE_STMT, st.h);
    return false;
  }
  SQLSMALLINT n = 0;
  SQLNumResultCols(st.h, &n);
  for (SQLSMALLINT c = 1; c <= n; ++c) {
    SQLCHAR name[1024];
    SQLSMALLINT len, type, digits, nullable;
    SQLULEN size;
    SQLDescribeCol(st.h, c, name, sizeof name, &len, &type, &size, &digits, &nullable);
    t.names.push_back(reinterpret_cast<char*>(name));
  }
  while ((rc = SQLFetch(st.h)) != SQL_NO_DATA) {
    if (!SQL_SUCCEEDED(rc)) {
      if (error) *error = diagnostics(SQL_HANDLE_STMT, st.h);
      return false;
    }
    Row row;
    for (SQLSMALLINT c = 1; c <= n; ++c) {
      Value v;
      if (read_value(st.h, c, v, chunk, error) == SQL_ERROR) return false;
      row.push_back(v);
    }
    t.rows.push_back(std::move(row));
  }
  return true;
}

namespace {

std::string unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out.push_back(s[i]);
      continue;
    }
    char c = s[++i];
    out.push_back(c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c);
  }
  return out;
}

std::vector<Value> split(const std::string& line) {
  std::vector<Value> out;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    std::string f = line.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    if (f == "\\N") out.emplace_back();
    else out.emplace_back(unescape(f));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return out;
}

}  // namespace

Table read_expected(const std::string& name) {
  std::ifstream in(fixture(name));
  if (!in) throw std::runtime_error("no expected file " + fixture(name));
  Table t;
  std::string line;
  bool first = true;
  while (std::getline(in, line)) {
    auto fields = split(line);
    if (first) {
      for (auto& f : fields) t.names.push_back(f.value_or(""));
      if (line.empty()) t.names.clear();
      first = false;
    } else {
      t.rows.push_back(fields);
    }
  }
  return t;
}

void expect_same(const Table& want, const Table& got) {
  ASSERT_EQ(want.names, got.names);
  ASSERT_EQ(want.rows.size(), got.rows.size());
  for (size_t r = 0; r < want.rows.size(); ++r) {
    ASSERT_EQ(want.rows[r].size(), got.rows[r].size()) << "row " << r + 1;
    for (size_t c = 0; c < want.rows[r].size(); ++c)
      EXPECT_EQ(want.rows[r][c], got.rows[r][c]) << "row " << r + 1 << ", column " << want.names[c];
  }
}

std::string to_charset(const std::string& utf8, const char* charset) {
  iconv_t cd = iconv_open(charset, "UTF-8");
  std::string out(utf8.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(utf8.data());
  size_t left = utf8.size(), room = out.size();
  char* dst = &out[0];
  size_t r = iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) throw std::runtime_error("not representable in " + std::string(charset));
  out.resize(out.size() - room);
  return out;
}

Table to_charset(Table t, const char* charset) {
  for (auto& n : t.names) n = to_charset(n, charset);
  for (auto& r : t.rows)
    for (auto& v : r)
      if (v) v = to_charset(*v, charset);
  return t;
}

}  // namespace xlstest
