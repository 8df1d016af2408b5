// ODBC entry points: allocating and freeing handles, environment attributes.
#include "handles.h"

#include <algorithm>
#include <cstring>

using namespace xlsodbc;

namespace {

SQLRETURN alloc_handle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
  if (!output) {
    if (Handle* h = lookup_handle(input, type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV : SQL_HANDLE_DBC))
      return h->diag.done(h->diag.add(Sqlstate::NullPointer));
    return SQL_ERROR;
  }
  *output = SQL_NULL_HANDLE;
  switch (type) {
    case SQL_HANDLE_ENV: {
      Env* env = new (std::nothrow) Env();
      if (!env) return SQL_ERROR;
      register_handle(env);
      *output = env;
      return SQL_SUCCESS;
    }
    case SQL_HANDLE_DBC: {
      Env* env = as<Env>(input, SQL_HANDLE_ENV);
      if (!env) return SQL_INVALID_HANDLE;
      return guarded(env, [&] {
        Dbc* dbc = new Dbc(env);
        register_handle(dbc);
        env->dbcs.push_back(dbc);
        *output = dbc;
        return SQL_SUCCESS;
      });
    }
    case SQL_HANDLE_STMT: {
      Dbc* dbc = as<Dbc>(input, SQL_HANDLE_DBC);
      if (!dbc) return SQL_INVALID_HANDLE;
      return guarded(dbc, [&]() -> SQLRETURN {
        if (!dbc->connected) return dbc->diag.add(Sqlstate::ConnectionNotOpen);
        Stmt* st = new Stmt(dbc);
        std::string ignored;
        st->out_charset.set(dbc->client.name(), ignored);
        register_handle(st);
        dbc->stmts.push_back(st);
        *output = st;
        return SQL_SUCCESS;
      });
    }
    case SQL_HANDLE_DESC: {
      Dbc* dbc = as<Dbc>(input, SQL_HANDLE_DBC);
      if (!dbc) return SQL_INVALID_HANDLE;
      return guarded(dbc, [&] { return dbc->diag.add(Sqlstate::NotImplemented, "descriptors are not supported"); });
    }
    default:
      if (Handle* h = lookup_handle(input, SQL_HANDLE_ENV)) return guarded(h, [&] { return h->diag.add(Sqlstate::InvalidAttribute, "invalid handle type"); });
      if (Handle* h = lookup_handle(input, SQL_HANDLE_DBC)) return guarded(h, [&] { return h->diag.add(Sqlstate::InvalidAttribute, "invalid handle type"); });
      return SQL_ERROR;
  }
}

void free_stmt(Stmt* st) {
  auto& v = st->dbc->stmts;
  v.erase(std::remove(v.begin(), v.end(), st), v.end());
  unregister_handle(st);
  delete st;
}

SQLRETURN free_handle(SQLSMALLINT type, SQLHANDLE handle) {
  switch (type) {
    case SQL_HANDLE_ENV: {
      Env* env = as<Env>(handle, SQL_HANDLE_ENV);
      if (!env) return SQL_INVALID_HANDLE;
      if (!env->dbcs.empty())
        return guarded(env, [&] { return env->diag.add(Sqlstate::SequenceError, ": connections are still allocated"); });
      unregister_handle(env);
      delete env;
      return SQL_SUCCESS;
    }
    case SQL_HANDLE_DBC: {
      Dbc* dbc = as<Dbc>(handle, SQL_HANDLE_DBC);
      if (!dbc) return SQL_INVALID_HANDLE;
      if (dbc->connected)
        return guarded(dbc, [&] { return dbc->diag.add(Sqlstate::SequenceError, ": the connection is still open"); });
      auto& v = dbc->env->dbcs;
      v.erase(std::remove(v.begin(), v.end(), dbc), v.end());
      unregister_handle(dbc);
      delete dbc;
      return SQL_SUCCESS;
    }
    case SQL_HANDLE_STMT: {
      Stmt* st = as<Stmt>(handle, SQL_HANDLE_STMT);
      if (!st) return SQL_INVALID_HANDLE;
      free_stmt(st);
      return SQL_SUCCESS;
    }
    default:
      return SQL_INVALID_HANDLE;
  }
}

}  // namespace

namespace xlsodbc {
void free_all_statements(Dbc* dbc) {
  while (!dbc->stmts.empty()) free_stmt(dbc->stmts.back());
}
}  // namespace xlsodbc

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
  return alloc_handle(type, input, output);
}

SQLRETURN SQL_API SQLAllocEnv(SQLHENV* env) { return alloc_handle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, env); }
SQLRETURN SQL_API SQLAllocConnect(SQLHENV env, SQLHDBC* dbc) { return alloc_handle(SQL_HANDLE_DBC, env, dbc); }
SQLRETURN SQL_API SQLAllocStmt(SQLHDBC dbc, SQLHSTMT* st) { return alloc_handle(SQL_HANDLE_STMT, dbc, st); }

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) { return free_handle(type, handle); }
SQLRETURN SQL_API SQLFreeEnv(SQLHENV env) { return free_handle(SQL_HANDLE_ENV, env); }
SQLRETURN SQL_API SQLFreeConnect(SQLHDBC dbc) { return free_handle(SQL_HANDLE_DBC, dbc); }

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT handle, SQLUSMALLINT option) {
  Stmt* st = as<Stmt>(handle, SQL_HANDLE_STMT);
  if (!st) return SQL_INVALID_HANDLE;
  if (option == SQL_DROP) return free_handle(SQL_HANDLE_STMT, handle);
  return guarded(st, [&]() -> SQLRETURN {
    switch (option) {
      case SQL_CLOSE:
        st->close_cursor();
        return SQL_SUCCESS;
      case SQL_UNBIND:
        st->bindings.clear();
        return SQL_SUCCESS;
      case SQL_RESET_PARAMS:
        return SQL_SUCCESS;
      default:
        return st->diag.add(Sqlstate::InvalidAttribute, "invalid option for SQLFreeStmt");
    }
  });
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV handle, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  Env* env = as<Env>(handle, SQL_HANDLE_ENV);
  if (!env) return SQL_INVALID_HANDLE;
  return guarded(env, [&]() -> SQLRETURN {
    SQLINTEGER v = static_cast<SQLINTEGER>(reinterpret_cast<SQLLEN>(value));
    switch (attr) {
      case SQL_ATTR_ODBC_VERSION:
        if (v != SQL_OV_ODBC2 && v != SQL_OV_ODBC3 && v != 380 /* SQL_OV_ODBC3_80 */)
          return env->diag.add(Sqlstate::InvalidAttributeValue, "invalid ODBC version");
        env->odbc_version = v;
        return SQL_SUCCESS;
      case SQL_ATTR_OUTPUT_NTS:
        if (v != SQL_TRUE) return env->diag.add(Sqlstate::NotImplemented, "only NUL-terminated output strings are supported");
        return SQL_SUCCESS;
      case SQL_ATTR_CONNECTION_POOLING:
      case SQL_ATTR_CP_MATCH:
        return SQL_SUCCESS;
      default:
        return env->diag.add(Sqlstate::InvalidAttribute, "invalid environment attribute " + std::to_string(attr));
    }
  });
}

SQLRETURN SQL_API SQLGetEnvAttr(SQLHENV handle, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER, SQLINTEGER* len) {
  Env* env = as<Env>(handle, SQL_HANDLE_ENV);
  if (!env) return SQL_INVALID_HANDLE;
  return guarded(env, [&]() -> SQLRETURN {
    SQLINTEGER v;
    switch (attr) {
      case SQL_ATTR_ODBC_VERSION: v = env->odbc_version; break;
      case SQL_ATTR_OUTPUT_NTS: v = SQL_TRUE; break;
      case SQL_ATTR_CONNECTION_POOLING: v = SQL_CP_OFF; break;
      case SQL_ATTR_CP_MATCH: v = SQL_CP_STRICT_MATCH; break;
      default: return env->diag.add(Sqlstate::InvalidAttribute, "invalid environment attribute " + std::to_string(attr));
    }
    if (value) *static_cast<SQLINTEGER*>(value) = v;
    if (len) *len = sizeof(SQLINTEGER);
    return SQL_SUCCESS;
  });
}

}  // extern "C"
