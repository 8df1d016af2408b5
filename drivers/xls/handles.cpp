#include "handles.h"

#include <cstring>
#include <mutex>
#include <unordered_set>

namespace xlsodbc {
namespace {

std::mutex& registry_mutex() {
  static std::mutex m;
  return m;
}

std::unordered_set<const Handle*>& registry() {
  static std::unordered_set<const Handle*> s;
  return s;
}

template <typename Len>
SQLRETURN put_string_impl(Handle* h, const std::string& text, SQLPOINTER buf, Len buflen, Len* outlen) {
  if (outlen) *outlen = static_cast<Len>(text.size());
  if (!buf) return SQL_SUCCESS;
  if (buflen <= 0) {
    if (buflen < 0) return h->diag.error("HY090", "invalid string or buffer length");
    return text.empty() ? SQL_SUCCESS : h->diag.warning("01004", "string data, right truncated");
  }
  size_t room = static_cast<size_t>(buflen) - 1;
  char* out = static_cast<char*>(buf);
  if (text.size() <= room) {
    std::memcpy(out, text.data(), text.size());
    out[text.size()] = '\0';
    return SQL_SUCCESS;
  }
  ClientCharset* cs = h->charset();
  size_t n = cs ? cs->whole_chars_prefix(text.data(), text.size(), room) : room;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return h->diag.warning("01004", "string data, right truncated");
}

}  // namespace

std::string Dbc::workbook_label() const {
  if (path_given == path || path.empty()) return "'" + path_given + "'";
  return "'" + path_given + "' (" + path + ")";
}

void Stmt::close_cursor() {
  cursor_open = false;
  on_row = false;
  position = -1;
  pending = PendingValue();
}

void register_handle(Handle* h) {
  std::lock_guard<std::mutex> lock(registry_mutex());
  registry().insert(h);
}

void unregister_handle(Handle* h) {
  std::lock_guard<std::mutex> lock(registry_mutex());
  registry().erase(h);
}

Handle* lookup_handle(SQLHANDLE p, SQLSMALLINT kind) {
  if (!p) return nullptr;
  std::lock_guard<std::mutex> lock(registry_mutex());
  auto it = registry().find(static_cast<const Handle*>(p));
  if (it == registry().end()) return nullptr;
  Handle* h = const_cast<Handle*>(*it);
  return h->kind == kind ? h : nullptr;
}

SQLRETURN put_string(Handle* h, const std::string& t, SQLPOINTER b, SQLLEN n, SQLLEN* o) { return put_string_impl(h, t, b, n, o); }
SQLRETURN put_string(Handle* h, const std::string& t, SQLPOINTER b, SQLSMALLINT n, SQLSMALLINT* o) {
  return put_string_impl(h, t, b, n, o);
}
SQLRETURN put_string(Handle* h, const std::string& t, SQLPOINTER b, SQLINTEGER n, SQLINTEGER* o) {
  return put_string_impl(h, t, b, n, o);
}

std::string to_client(Handle* h, const std::string& utf8) {
  ClientCharset* cs = h ? h->charset() : nullptr;
  return cs ? cs->from_utf8_lossy(utf8) : utf8;
}

bool from_client(Handle* h, const SQLCHAR* text, SQLLEN len, std::string& out) {
  out.clear();
  if (!text) return true;
  size_t n = len == SQL_NTS ? std::strlen(reinterpret_cast<const char*>(text)) : static_cast<size_t>(len < 0 ? 0 : len);
  ClientCharset* cs = h->charset();
  if (!cs) {
    out.assign(reinterpret_cast<const char*>(text), n);
    return true;
  }
  return cs->to_utf8(reinterpret_cast<const char*>(text), n, out);
}

}  // namespace xlsodbc
