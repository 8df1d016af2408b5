#include "handles.h"

#include <cstring>
#include <limits>
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

bool copy_text(ClientCharset* cs, const std::string& text, SQLPOINTER buf, SQLLEN buflen, size_t max_len,
               size_t& full_len) {
  auto whole = [&](size_t n) { return cs ? cs->whole_chars_prefix(text.data(), text.size(), n) : n; };
  // A text longer than the length type can count is handed out cut, so that no reported
  // length is negative or more than the text that can be had.
  size_t size = text.size();
  const bool too_long = size > max_len;
  if (too_long) size = whole(max_len);
  full_len = size;
  if (!buf) return too_long;
  if (buflen <= 0) return size > 0;
  const size_t n = size <= static_cast<size_t>(buflen) - 1 ? size : whole(static_cast<size_t>(buflen) - 1);
  std::memcpy(buf, text.data(), n);
  static_cast<char*>(buf)[n] = '\0';
  return too_long || n < size;
}

SQLRETURN put_text(Handle* h, const std::string& text, SQLPOINTER buf, SQLLEN buflen, size_t max_len,
                   size_t& full_len) {
  if (buf && buflen < 0) return h->diag.add(Sqlstate::InvalidLength);
  return cut_warning(h, copy_text(h->charset(), text, buf, buflen, max_len, full_len));
}

std::string to_client(Handle* h, const std::string& utf8) {
  ClientCharset* cs = h ? h->charset() : nullptr;
  return cs ? cs->from_utf8_lossy(utf8) : utf8;
}

bool copy_wide(const std::string& utf8, SQLPOINTER buf, SQLLEN buflen, WideUnit unit, SQLLEN max_len,
               SQLLEN& full_len) {
  std::u16string w = utf8_to_utf16(utf8);
  const SQLLEN unit_size = unit == WideUnit::Bytes ? static_cast<SQLLEN>(sizeof(SQLWCHAR)) : 1;
  // Whole characters only: a surrogate pair is never split.
  auto whole = [&](size_t n) {
    if (n > 0 && n < w.size() && w[n - 1] >= 0xD800 && w[n - 1] <= 0xDBFF) --n;
    return n;
  };
  size_t size = w.size();
  bool cut = false;
  if (static_cast<SQLLEN>(size) > max_len / unit_size) {
    size = whole(static_cast<size_t>(max_len / unit_size));
    cut = true;
  }
  full_len = static_cast<SQLLEN>(size) * unit_size;
  if (!buf) return cut;
  SQLLEN units = buflen / unit_size;  // room in characters, the NUL included
  if (units <= 0) return size > 0;
  size_t n = size;
  if (static_cast<SQLLEN>(n) > units - 1) {
    n = whole(static_cast<size_t>(units - 1));
    cut = true;
  }
  SQLWCHAR* out = static_cast<SQLWCHAR*>(buf);
  std::memcpy(out, w.data(), n * sizeof(SQLWCHAR));
  out[n] = 0;
  return cut;
}

std::string from_wide(const SQLWCHAR* text, SQLLEN len) {
  std::string out;
  if (!text) return out;
  size_t n = 0;
  if (len == SQL_NTS) {
    while (text[n]) ++n;
  } else if (len > 0) {
    n = static_cast<size_t>(len);
  }
  static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "SQLWCHAR is UTF-16");
  append_utf16_as_utf8(reinterpret_cast<const char16_t*>(text), n, out);
  return out;
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
