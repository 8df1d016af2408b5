#include "statement.h"

#include "value_numbers.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace xlsodbc {

const Dbc::LoadedSheet* load_worksheet(Dbc* dbc, int index, std::string& error) {
  auto it = dbc->sheets.find(index);
  if (it != dbc->sheets.end()) return &it->second;
  auto ws = std::make_shared<Worksheet>();
  if (!dbc->workbook->load_sheet(static_cast<size_t>(index), *ws, error)) return nullptr;
  Dbc::LoadedSheet& loaded = dbc->sheets[index];
  loaded.columns = SheetResult::columns_of(*dbc->workbook, *ws);
  loaded.cells = std::move(ws);
  return &loaded;
}

SQLRETURN prepare_statement(Stmt* st, const std::string& sql) {
  Dbc* dbc = st->dbc;
  st->result.reset();
  st->state = Stmt::Allocated;
  std::string error;
  SelectStatement parsed;
  if (!parse_select(sql, parsed, error)) return st->diag.add(Sqlstate::SyntaxError, error);
  const Workbook& wb = *dbc->workbook;
  std::string sheet = parsed.table;
  if (sheet.size() > 1 && sheet.back() == '$') sheet.pop_back();
  int index = wb.find_sheet(sheet);
  if (index < 0) index = wb.find_sheet(parsed.table);
  if (index < 0) {
    std::string list;
    for (const auto& s : wb.sheets())
      if (s.type == SheetType::Worksheet) list += (list.empty() ? "" : ", ") + s.name;
    return st->diag.add(Sqlstate::TableNotFound, "worksheet '" + sheet + "' not found in workbook " + dbc->workbook_label() +
                                       " (its worksheets are: " + (list.empty() ? "none" : list) + ")");
  }
  const auto& entry = wb.sheets()[index];
  if (entry.type != SheetType::Worksheet)
    return st->diag.add(Sqlstate::TableNotFound, "'" + entry.name + "' in workbook " + dbc->workbook_label() +
                                       " is a chart or macro sheet, not a worksheet");
  const Dbc::LoadedSheet* ws = load_worksheet(dbc, index, error);
  if (!ws) return st->diag.add(Sqlstate::GeneralError, "cannot read worksheet '" + entry.name + "' of workbook " + dbc->workbook_label() + ": " + error);
  Sqlstate state = Sqlstate::GeneralError;
  auto result = SheetResult::build(dbc->workbook, ws->cells, ws->columns, parsed, state, error);
  if (!result) {
    if (state == Sqlstate::GeneralError) error += " (workbook " + dbc->workbook_label() + ")";
    return st->diag.add(state, error);
  }
  st->statement = parsed;
  st->result = std::move(result);
  st->state = Stmt::Prepared;
  return SQL_SUCCESS;
}

SQLRETURN execute_statement(Stmt* st) {
  st->close_cursor();
  st->cursor_open = true;
  st->state = Stmt::Executed;
  return SQL_SUCCESS;
}

SQLRETURN set_table_result(Stmt* st, std::unique_ptr<ResultSet> result) {
  st->result = std::move(result);
  st->state = Stmt::Executed;
  st->close_cursor();
  st->cursor_open = true;
  return SQL_SUCCESS;
}

SQLULEN bytes_per_char(const Dbc* dbc) { return dbc->client.is_utf8() ? 4 : 2; }

namespace {

// 01S07, 22003 and 22018 for a conversion that cut, or could not be made.
SQLRETURN conversion_outcome(Stmt* st, NumberConversion c, const std::string& where, const char* type) {
  switch (c) {
    case NumberConversion::Exact: return SQL_SUCCESS;
    case NumberConversion::FractionCut: return st->diag.add(Sqlstate::FractionalTruncation, " in " + where);
    case NumberConversion::OutOfRange:
      return st->diag.add(Sqlstate::OutOfRange, std::string(" for ") + type + " in " + where);
    default: return st->diag.add(Sqlstate::InvalidCharacterValue, "the value in " + where + " is not a number");
  }
}

template <typename T>
SQLRETURN put_integer(Stmt* st, const std::string& text, SQLPOINTER target, SQLLEN* ind, const std::string& where,
                      const char* type) {
  T v = 0;
  NumberConversion c = integer_value(text, v);
  if (c == NumberConversion::Exact || c == NumberConversion::FractionCut) {
    if (target) std::memcpy(target, &v, sizeof v);
    if (ind) *ind = sizeof(T);
  }
  return conversion_outcome(st, c, where, type);
}

bool parse_date_time(const std::string& s, SQL_TIMESTAMP_STRUCT& ts) {
  std::memset(&ts, 0, sizeof ts);
  int y, mo, d, h = 0, mi = 0, se = 0;
  if (std::sscanf(s.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &se) >= 3) {
    ts.year = static_cast<SQLSMALLINT>(y);
    ts.month = static_cast<SQLUSMALLINT>(mo);
    ts.day = static_cast<SQLUSMALLINT>(d);
  } else if (std::sscanf(s.c_str(), "%d:%d:%d", &h, &mi, &se) != 3) {
    return false;
  }
  ts.hour = static_cast<SQLUSMALLINT>(h);
  ts.minute = static_cast<SQLUSMALLINT>(mi);
  ts.second = static_cast<SQLUSMALLINT>(se);
  return true;
}

}  // namespace

SQLRETURN deliver_value(Stmt* st, PendingValue& p, size_t col, SQLSMALLINT c_type, SQLPOINTER target,
                        SQLLEN buflen, SQLLEN* ind) {
  if (c_type == SQL_C_DEFAULT) c_type = SQL_C_CHAR;
  if (p.column != static_cast<int>(col)) {
    p = PendingValue();
    p.column = static_cast<int>(col);
    p.null = !st->result->value(st->row, col, p.utf8);
  } else if (p.done) {
    return SQL_NO_DATA;
  }
  if (p.null) {
    if (!ind) return st->diag.add(Sqlstate::IndicatorRequired, " (the value is NULL)");
    *ind = SQL_NULL_DATA;
    p.done = true;
    return SQL_SUCCESS;
  }
  if (p.c_type != c_type) {  // a new conversion starts from the beginning
    p.c_type = c_type;
    p.offset = 0;
    p.bytes.clear();
    p.wide.clear();
  }
  auto where = [&] { return st->result->describe(st->row, col); };
  switch (c_type) {
    case SQL_C_CHAR:
    case SQL_C_BINARY: {
      if (p.offset == 0 && p.bytes.empty() && !p.utf8.empty()) {
        uint32_t bad = 0;
        if (!st->out_charset.from_utf8(p.utf8, p.bytes, &bad)) {
          char cp[16];
          std::snprintf(cp, sizeof cp, "U+%04X", bad);
          return st->diag.add(Sqlstate::InvalidCharacterValue, "the value in " + where() + " contains the character " + cp +
                                             ", which the client character set " + st->out_charset.name() +
                                             " cannot represent");
        }
      }
      size_t remaining = p.bytes.size() - p.offset;
      if (ind) *ind = static_cast<SQLLEN>(remaining);
      if (buflen < 0) return st->diag.add(Sqlstate::InvalidLength);
      size_t room = c_type == SQL_C_CHAR ? (buflen > 0 ? static_cast<size_t>(buflen) - 1 : 0) : static_cast<size_t>(buflen);
      if (!target || (c_type == SQL_C_CHAR && buflen == 0)) {
        if (remaining == 0) { p.done = true; return SQL_SUCCESS; }
        return st->diag.add(Sqlstate::StringTruncated);
      }
      char* out = static_cast<char*>(target);
      if (remaining <= room) {
        std::memcpy(out, p.bytes.data() + p.offset, remaining);
        if (c_type == SQL_C_CHAR) out[remaining] = '\0';
        p.offset += remaining;
        p.done = true;
        return SQL_SUCCESS;
      }
      // A full buffer, as ODBC defines truncation (BufferLength less the NUL): clients such as
      // pyodbc count what they got from it. A character may be split between two pieces;
      // the pieces joined give the whole text.
      size_t n = room;
      std::memcpy(out, p.bytes.data() + p.offset, n);
      if (c_type == SQL_C_CHAR) out[n] = '\0';
      p.offset += n;
      return st->diag.add(Sqlstate::StringTruncated);
    }
    case SQL_C_WCHAR: {
      if (p.offset == 0 && p.wide.empty()) p.wide = utf8_to_utf16(p.utf8);
      size_t remaining = p.wide.size() - p.offset;
      if (ind) *ind = static_cast<SQLLEN>(remaining * sizeof(SQLWCHAR));
      if (buflen < 0) return st->diag.add(Sqlstate::InvalidLength);
      size_t room = buflen >= static_cast<SQLLEN>(sizeof(SQLWCHAR)) ? static_cast<size_t>(buflen) / sizeof(SQLWCHAR) - 1 : 0;
      if (!target || buflen < static_cast<SQLLEN>(sizeof(SQLWCHAR))) {
        if (remaining == 0) { p.done = true; return SQL_SUCCESS; }
        return st->diag.add(Sqlstate::StringTruncated);
      }
      SQLWCHAR* out = static_cast<SQLWCHAR*>(target);
      size_t n = remaining <= room ? remaining : room;  // a full buffer when cut, as for SQL_C_CHAR
      std::memcpy(out, p.wide.data() + p.offset, n * sizeof(SQLWCHAR));
      out[n] = 0;
      p.offset += n;
      if (n == remaining) {
        p.done = true;
        return SQL_SUCCESS;
      }
      return st->diag.add(Sqlstate::StringTruncated);
    }
    case SQL_C_TYPE_DATE: case SQL_C_DATE:
    case SQL_C_TYPE_TIME: case SQL_C_TIME:
    case SQL_C_TYPE_TIMESTAMP: case SQL_C_TIMESTAMP: {
      SQL_TIMESTAMP_STRUCT ts;
      if (!parse_date_time(p.utf8, ts))
        return st->diag.add(Sqlstate::InvalidCharacterValue, "the value in " + where() + " is not a date or time");
      p.done = true;
      if (c_type == SQL_C_TYPE_DATE || c_type == SQL_C_DATE) {
        SQL_DATE_STRUCT d{ts.year, ts.month, ts.day};
        if (target) std::memcpy(target, &d, sizeof d);
        if (ind) *ind = sizeof d;
      } else if (c_type == SQL_C_TYPE_TIME || c_type == SQL_C_TIME) {
        SQL_TIME_STRUCT t{ts.hour, ts.minute, ts.second};
        if (target) std::memcpy(target, &t, sizeof t);
        if (ind) *ind = sizeof t;
      } else {
        if (target) std::memcpy(target, &ts, sizeof ts);
        if (ind) *ind = sizeof ts;
      }
      return SQL_SUCCESS;
    }
    default:
      break;
  }
  // Numbers.
  p.done = true;
  const std::string& text = p.utf8;
  std::string w = where();
  switch (c_type) {
    case SQL_C_DOUBLE: case SQL_C_FLOAT: {
      double v = 0;
      NumberConversion c = decimal_value(text, v);
      if (c == NumberConversion::Exact && c_type == SQL_C_FLOAT && std::abs(v) > std::numeric_limits<SQLREAL>::max())
        c = NumberConversion::OutOfRange;
      if (c != NumberConversion::Exact) return conversion_outcome(st, c, w, "a floating point number");
      if (c_type == SQL_C_FLOAT) {
        SQLREAL f = static_cast<SQLREAL>(v);
        if (target) std::memcpy(target, &f, sizeof f);
        if (ind) *ind = sizeof f;
      } else {
        if (target) std::memcpy(target, &v, sizeof v);
        if (ind) *ind = sizeof v;
      }
      return SQL_SUCCESS;
    }
    case SQL_C_BIT: {
      SQLCHAR bit = 0;
      NumberConversion c = integer_value(text, bit);
      if (bit > 1) c = NumberConversion::OutOfRange;
      if (c == NumberConversion::Exact || c == NumberConversion::FractionCut) {
        if (target) *static_cast<SQLCHAR*>(target) = bit;
        if (ind) *ind = 1;
      }
      return conversion_outcome(st, c, w, "a bit");
    }
    case SQL_C_SHORT: case SQL_C_SSHORT: return put_integer<SQLSMALLINT>(st, text, target, ind, w, "a small integer");
    case SQL_C_USHORT: return put_integer<SQLUSMALLINT>(st, text, target, ind, w, "an unsigned small integer");
    case SQL_C_LONG: case SQL_C_SLONG: return put_integer<SQLINTEGER>(st, text, target, ind, w, "an integer");
    case SQL_C_ULONG: return put_integer<SQLUINTEGER>(st, text, target, ind, w, "an unsigned integer");
    case SQL_C_TINYINT: case SQL_C_STINYINT: return put_integer<SQLSCHAR>(st, text, target, ind, w, "a tiny integer");
    case SQL_C_UTINYINT: return put_integer<SQLCHAR>(st, text, target, ind, w, "an unsigned tiny integer");
    case SQL_C_SBIGINT: return put_integer<SQLBIGINT>(st, text, target, ind, w, "a big integer");
    case SQL_C_UBIGINT: return put_integer<SQLUBIGINT>(st, text, target, ind, w, "an unsigned big integer");
    default:
      p.done = false;
      return st->diag.add(Sqlstate::InvalidProgramType, "program type " + std::to_string(c_type) + " is not supported");
  }
}

}  // namespace xlsodbc
