#include "value_convert.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "date_text.h"
#include "exact_number.h"
#include "sql_error.h"
#include "text.h"

namespace standin {

namespace {

const char* source_type(const Literal& v) {
  return v.kind == Literal::Kind::NString ? "nvarchar" : "varchar";
}

bool is_text(const Literal& v) {
  return v.kind == Literal::Kind::String || v.kind == Literal::Kind::NString;
}

SqlError truncated() { return SqlError(8152, 16, 14, "String or binary data would be truncated."); }

StoredValue integer_value(int64_t v) {
  StoredValue s;
  s.kind = StoredValue::Kind::Integer;
  s.integer = v;
  return s;
}

StoredValue text_value(std::string text, bool blob = false) {
  StoredValue s;
  s.kind = blob ? StoredValue::Kind::Blob : StoredValue::Kind::Text;
  s.bytes = std::move(text);
  return s;
}

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

int64_t binary_as_integer(const std::string& bytes, size_t width) {
  uint64_t v = 0;
  size_t start = bytes.size() > width ? bytes.size() - width : 0;
  for (size_t k = start; k < bytes.size(); ++k) v = (v << 8) | static_cast<uint8_t>(bytes[k]);
  if (width < 8 && bytes.size() - start == width && (v >> (width * 8 - 1)) & 1)
    v |= ~0ULL << (width * 8);  // sign-extend
  return static_cast<int64_t>(v);
}

size_t integer_width(TypeKind kind) {
  switch (kind) {
    case TypeKind::TinyInt: return 1;
    case TypeKind::SmallInt: return 2;
    case TypeKind::Int: return 4;
    default: return 8;
  }
}

StoredValue to_integer(const Literal& v, const ColumnType& t) {
  int64_t low, high;
  integer_range(t.kind, low, high);
  auto overflow_literal = [&](const std::string& shown) {
    if (t.kind == TypeKind::TinyInt || t.kind == TypeKind::SmallInt)
      return SqlError(220, 16, 2,
                      "Arithmetic overflow error for data type " + t.name + ", value = " + shown +
                          ".");
    return SqlError(8115, 16, 2,
                    "Arithmetic overflow error converting expression to data type " + t.name +
                        ".");
  };
  if (v.kind == Literal::Kind::Binary) return integer_value(binary_as_integer(hex_to_bytes(v.text), integer_width(t.kind)));
  if (v.kind == Literal::Kind::Number) {
    auto n = parse_exact(v.text, NumberSyntax{true, false, false});
    if (!n) throw syntax_error(v.text);
    if (t.kind == TypeKind::Bit) {
      bool zero = n->whole.empty() && n->fraction.find_first_not_of('0') == std::string::npos;
      return integer_value(zero ? 0 : 1);
    }
    auto i = exact_to_int64(truncate_fraction(*n));
    if (!i || *i < low || *i > high) throw overflow_literal(exact_text(truncate_fraction(*n)));
    return integer_value(*i);
  }
  // Text: spaces around, an optional sign, digits; an empty text is 0.
  std::string s = trim(v.text);
  if (t.kind == TypeKind::Bit) {
    if (iequals(s, "true")) return integer_value(1);
    if (iequals(s, "false")) return integer_value(0);
  }
  auto fail = [&] {
    return SqlError(245, 16, 1,
                    std::string("Conversion failed when converting the ") + source_type(v) +
                        " value '" + v.text + "' to data type " + t.name + ".");
  };
  if (s.empty()) return integer_value(0);
  auto n = parse_exact(s, NumberSyntax{});
  if (!n || s.find('.') != std::string::npos) throw fail();
  if (t.kind == TypeKind::Bit) return integer_value(n->whole.empty() ? 0 : 1);
  auto i = exact_to_int64(*n);
  if (!i || *i < low || *i > high) {
    if (t.kind == TypeKind::TinyInt || t.kind == TypeKind::SmallInt)
      throw SqlError(244, 16, 2,
                     std::string("The conversion of the ") + source_type(v) + " value '" +
                         v.text + "' overflowed an " +
                         (t.kind == TypeKind::TinyInt ? "INT1" : "INT2") +
                         " column. Use a larger integer column.");
    if (t.kind == TypeKind::Int)
      throw SqlError(248, 16, 1,
                     std::string("The conversion of the ") + source_type(v) + " value '" +
                         v.text + "' overflowed an int column.");
    throw overflow_literal(s);
  }
  return integer_value(*i);
}

StoredValue to_exact(const Literal& v, const ColumnType& t) {
  bool money = t.kind == TypeKind::Money;
  std::string target = money ? t.name : "numeric";
  std::optional<ExactNumber> n;
  if (v.kind == Literal::Kind::Number) {
    n = parse_exact(v.text, NumberSyntax{true, false, false});
    if (!n) throw syntax_error(v.text);
  } else if (is_text(v)) {
    n = parse_exact(v.text, NumberSyntax{false, money, money});
    if (!n && money && trim(v.text).empty()) n = ExactNumber{};
    if (!n)
      throw SqlError(8114, 16, 5,
                     std::string("Error converting data type ") + source_type(v) + " to " +
                         target + ".");
  } else {
    throw SqlError(257, 16, 3,
                   "Implicit conversion from data type varbinary to " + target +
                       " is not allowed. Use the CONVERT function to run this query.");
  }
  ExactNumber r = round_to_scale(*n, t.scale);
  bool overflow;
  if (money)
    overflow = compare_magnitude(r, t.name == "money"
                                        ? (r.negative ? "922337203685477.5808" : "922337203685477.5807")
                                        : (r.negative ? "214748.3648" : "214748.3647")) > 0;
  else
    overflow = static_cast<int>(r.whole.size()) > t.precision - t.scale;
  if (overflow) {
    std::string from = v.kind == Literal::Kind::Number ? "numeric" : source_type(v);
    throw SqlError(8115, 16, 8,
                   money ? "Arithmetic overflow error converting expression to data type " + t.name + "."
                         : "Arithmetic overflow error converting " + from + " to data type numeric.");
  }
  return text_value(exact_text(r), true);
}

StoredValue to_float(const Literal& v, const ColumnType& t) {
  bool single = t.name == "real";
  double d = 0;
  if (v.kind == Literal::Kind::Binary)
    throw SqlError(257, 16, 3, "Implicit conversion from data type varbinary to " + t.name +
                                   " is not allowed. Use the CONVERT function to run this query.");
  std::string s = trim(v.text);
  if (!s.empty() || v.kind == Literal::Kind::Number) {
    auto n = parse_exact(s, NumberSyntax{true, false, false});
    if (!n) {
      if (v.kind == Literal::Kind::Number) throw syntax_error(v.text);
      throw SqlError(8114, 16, 5, std::string("Error converting data type ") + source_type(v) +
                                      " to " + t.name + ".");
    }
    d = std::strtod(s.c_str(), nullptr);
  }
  if (!std::isfinite(d) || (single && std::fabs(d) > 3.40282346638528859812e+38))
    throw SqlError(8115, 16, 2,
                   "Arithmetic overflow error converting expression to data type " + t.name + ".");
  StoredValue out;
  out.kind = StoredValue::Kind::Real;
  out.real = single ? static_cast<double>(static_cast<float>(d)) : d;
  return out;
}

StoredValue to_date(const Literal& v, const ColumnType& t) {
  bool small = t.kind == TypeKind::SmallDateTime;
  bool legacy = t.kind == TypeKind::DateTime || small;
  auto syntax_fail = [&] {
    if (small)
      return SqlError(295, 16, 3,
                      "Conversion failed when converting character string to smalldatetime data "
                      "type.");
    return SqlError(241, 16, 1,
                    "Conversion failed when converting date and/or time from character string.");
  };
  auto range_fail = [&] {
    if (!legacy) return syntax_fail();
    return SqlError(small ? 298 : 242, 16, 1,
                    std::string("The conversion of a ") + source_type(v) + " data type to a " +
                        t.name + " data type resulted in an out-of-range value.");
  };
  DateTimeParts parts;
  if (v.kind == Literal::Kind::Number && legacy) {
    // A number counts days from 1900-01-01, its fraction the time of day.
    auto n = parse_exact(v.text, NumberSyntax{true, false, false});
    if (!n) throw syntax_error(v.text);
    double days = std::strtod(v.text.c_str(), nullptr);
    double whole = std::floor(days);
    if (std::fabs(whole) > 3000000) throw range_fail();
    civil_from_days(static_cast<int64_t>(whole), parts.year, parts.month, parts.day);
    int64_t ns = static_cast<int64_t>(std::llround((days - whole) * 86400e9));
    parts.hour = static_cast<int>(ns / 3600000000000LL);
    parts.minute = static_cast<int>(ns / 60000000000LL % 60);
    parts.second = static_cast<int>(ns / 1000000000LL % 60);
    parts.nanos = ns % 1000000000LL;
  } else if (is_text(v)) {
    DateParse r = parse_date_text(v.text, parts);
    if (r == DateParse::BadSyntax) throw syntax_fail();
    if (r == DateParse::OutOfRange) throw range_fail();
  } else {
    throw SqlError(206, 16, 2,
                   std::string("Operand type clash: ") +
                       (v.kind == Literal::Kind::Number ? "int" : "varbinary") +
                       " is incompatible with " + t.name);
  }
  auto text = format_date_for_type(parts, t.name, t.scale);
  if (!text) {
    if (legacy && parts.fraction_digits > 3) throw syntax_fail();
    throw range_fail();
  }
  return text_value(*text);
}

StoredValue to_character(const Literal& v, const ColumnType& t) {
  std::string s;
  switch (v.kind) {
    case Literal::Kind::Binary: {
      std::string bytes = hex_to_bytes(v.text);
      s = t.national ? utf16le_to_utf8(reinterpret_cast<const uint8_t*>(bytes.data()),
                                       bytes.size())
                     : bytes;
      break;
    }
    case Literal::Kind::Number: {
      auto n = parse_exact(v.text, NumberSyntax{true, false, false});
      bool float_literal = v.text.find_first_of("eE") != std::string::npos;
      s = float_literal ? shortest_float_text(std::strtod(v.text.c_str(), nullptr), false)
          : n ? exact_text(*n) : v.text;
      break;
    }
    default:
      s = v.text;
  }
  if (t.kind == TypeKind::Text || t.length < 0) return text_value(s);
  int64_t used = static_cast<int64_t>(t.national ? utf16_length(s) : codepage_length(s));
  if (used > t.length) {
    // Trailing spaces beyond the length are dropped, as SQL Server does.
    std::string trimmed = s;
    while (used > t.length && !trimmed.empty() && trimmed.back() == ' ') {
      trimmed.pop_back();
      --used;
    }
    if (used > t.length) throw truncated();
    s = trimmed;
  }
  if (t.fixed) s += std::string(static_cast<size_t>(t.length - used), ' ');
  return text_value(s);
}

StoredValue to_guid(const Literal& v, const ColumnType& t) {
  if (!is_text(v))
    throw SqlError(206, 16, 2,
                   std::string("Operand type clash: ") +
                       (v.kind == Literal::Kind::Number ? "int" : "varbinary") +
                       " is incompatible with " + t.name);
  std::string s = v.text;
  if (s.size() == 38 && s.front() == '{' && s.back() == '}') s = s.substr(1, 36);
  bool ok = s.size() == 36;
  for (size_t k = 0; ok && k < s.size(); ++k) {
    bool dash = k == 8 || k == 13 || k == 18 || k == 23;
    ok = dash ? s[k] == '-' : std::isxdigit(static_cast<unsigned char>(s[k])) != 0;
  }
  if (!ok)
    throw SqlError(8169, 16, 2,
                   "Conversion failed when converting from a character string to "
                   "uniqueidentifier.");
  return text_value(ascii_upper(s));
}

StoredValue to_binary(const Literal& v, const ColumnType& t) {
  std::string bytes;
  if (v.kind == Literal::Kind::Binary) {
    bytes = hex_to_bytes(v.text);
  } else if (v.kind == Literal::Kind::Number) {
    auto n = parse_exact(v.text, NumberSyntax{true, false, false});
    auto i = n ? exact_to_int64(truncate_fraction(*n)) : std::nullopt;
    if (!i) throw SqlError(8115, 16, 2, "Arithmetic overflow error converting expression to data type " + t.name + ".");
    size_t width = (*i >= INT32_MIN && *i <= INT32_MAX) ? 4 : 8;
    for (size_t k = width; k-- > 0;) bytes += static_cast<char>((static_cast<uint64_t>(*i) >> (8 * k)) & 0xFF);
  } else {
    throw SqlError(257, 16, 3,
                   std::string("Implicit conversion from data type ") + source_type(v) + " to " +
                       t.name + " is not allowed. Use the CONVERT function to run this query.");
  }
  if (t.length >= 0 && static_cast<int64_t>(bytes.size()) > t.length) throw truncated();
  if (t.fixed) bytes += std::string(static_cast<size_t>(t.length) - bytes.size(), '\0');
  return text_value(bytes, true);
}

std::string hex_of(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out = "0x";
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

}  // namespace

std::string hex_to_bytes(const std::string& hex) {
  std::string h = hex.size() % 2 ? "0" + hex : hex;
  std::string out;
  for (size_t k = 0; k + 1 < h.size(); k += 2)
    out += static_cast<char>(std::strtol(h.substr(k, 2).c_str(), nullptr, 16));
  return out;
}

StoredValue convert_literal(const Literal& value, const ColumnType& type) {
  if (value.kind == Literal::Kind::Null) return StoredValue{};
  switch (type.kind) {
    case TypeKind::TinyInt:
    case TypeKind::SmallInt:
    case TypeKind::Int:
    case TypeKind::BigInt:
    case TypeKind::Bit:
      return to_integer(value, type);
    case TypeKind::Decimal:
    case TypeKind::Money:
      return to_exact(value, type);
    case TypeKind::Float:
      return to_float(value, type);
    case TypeKind::DateTime:
    case TypeKind::SmallDateTime:
    case TypeKind::Date:
    case TypeKind::Time:
    case TypeKind::DateTime2:
      return to_date(value, type);
    case TypeKind::Char:
    case TypeKind::NChar:
    case TypeKind::Text:
      return to_character(value, type);
    case TypeKind::UniqueIdentifier:
      return to_guid(value, type);
    case TypeKind::Binary:
    case TypeKind::Timestamp:
      return to_binary(value, type);
    case TypeKind::SqlVariant:
      return text_value(value.kind == Literal::Kind::Binary ? hex_of(hex_to_bytes(value.text))
                                                             : value.text,
                        true);
    case TypeKind::Other:
      break;
  }
  return text_value(value.text);
}

std::optional<std::string> stored_text(const StoredValue& value, const ColumnType& type) {
  switch (value.kind) {
    case StoredValue::Kind::Null:
      return std::nullopt;
    case StoredValue::Kind::Integer:
      if (type.kind == TypeKind::Decimal || type.kind == TypeKind::Money) {
        ExactNumber n;
        n.negative = value.integer < 0;
        n.whole = std::to_string(value.integer < 0 ? -value.integer : value.integer);
        if (n.whole == "0") n.whole.clear();
        return exact_text(round_to_scale(n, type.scale));
      }
      if (type.kind == TypeKind::Float) return std::to_string(value.integer);
      return std::to_string(value.integer);
    case StoredValue::Kind::Real:
      if (type.kind == TypeKind::Decimal || type.kind == TypeKind::Money) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", type.scale, value.real);
        return std::string(buf);
      }
      return shortest_float_text(value.real, type.name == "real");
    case StoredValue::Kind::Blob:
      if (type.kind == TypeKind::Binary || type.kind == TypeKind::Timestamp)
        return hex_of(value.bytes);
      return value.bytes;
    case StoredValue::Kind::Text:
      return value.bytes;
  }
  return std::nullopt;
}

}  // namespace standin
