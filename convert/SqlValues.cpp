#include "convert/SqlValues.h"
#include "destination/SqlIdentifier.h"
#include "framework/OleDateTime.h"
#include <cctype>
#include <string>

const SqlTypeRow g_sqlTypeTable[kSqlTypeRows] = {
    {"bit", 104}, {"timestamp", 189}, {"bigint", 127}, {"uniqueidentifier", 36},
    {"tinyint", 48}, {"smallint", 52}, {"int", 56}, {"binary", 173}, {"image", 34},
    {"varbinary", 165}, {"sql_variant", 98}, {"smalldatetime", 58}, {"datetime", 61},
    {"real", 59}, {"decimal", 106}, {"numeric", 108}, {"smallmoney", 122}, {"money", 60},
    {"float", 62}, {"ntext", 99}, {"varchar", 167}, {"char", 175}, {"nvarchar", 231},
    {"nchar", 239}, {"text", 35},
};

namespace {
// Rows of g_sqlTypeTable with a meaning of their own.
enum TypeRow {
    kUniqueIdentifier = 3, kBinary = 7, kImage = 8, kVarBinary = 9, kSqlVariant = 10,
    kDateTime = 12, kFloat = 18, kNText = 19, kNVarChar = 22, kNChar = 23,
};

// Exponents beyond this are not taken as numbers: the text goes to the server as it is.
constexpr int kMaxExponent = 4000;

bool AllDigits(const std::string& s)
{
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// Integer digits with optional group commas: "1234" or "1,234,567"; empty is allowed.
bool TakeIntegerDigits(const std::string& s, std::string& digits)
{
    if (s.find(',') == std::string::npos) {
        digits = s;
        return AllDigits(s);
    }
    digits.clear();
    size_t start = 0;
    bool first = true;
    while (true) {
        size_t comma = s.find(',', start);
        std::string group = s.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        bool sizeOk = first ? (!group.empty() && group.size() <= 3) : group.size() == 3;
        if (!sizeOk || !AllDigits(group)) return false;
        digits += group;
        if (comma == std::string::npos) return true;
        start = comma + 1;
        first = false;
    }
}

CString Quoted(const CString& text, bool national)
{
    return (national ? "N'" : "'") + EscapeSqlLiteral(text) + "'";
}

bool IsHexLiteral(const CString& text)
{
    const std::string& s = text.str();
    if (s.size() < 2 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return false;
    for (size_t i = 2; i < s.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}
}

int GetTypeClass(int xtype)
{
    for (int i = 0; i < kSqlTypeRows; ++i)
        if (g_sqlTypeTable[i].xtype == xtype) return i;
    return -1;
}

ValueClass ClassOfTypeRow(int row)
{
    if (row <= kSqlVariant) return ValueClass::Integer;
    if (row <= kDateTime) return ValueClass::Date;
    if (row <= kFloat) return ValueClass::Decimal;
    return ValueClass::Text;
}

bool NormalizeNumber(const CString& text, CString& out)
{
    CString trimmed(text);
    trimmed.Trim();
    std::string s = trimmed.str();
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

    size_t mantissaEnd = s.find_first_of("eE", i);
    std::string mantissa = s.substr(i, mantissaEnd == std::string::npos ? std::string::npos : mantissaEnd - i);
    long exponent = 0;
    if (mantissaEnd != std::string::npos) {
        std::string e = s.substr(mantissaEnd + 1);
        size_t k = 0;
        bool expNegative = false;
        if (k < e.size() && (e[k] == '+' || e[k] == '-')) expNegative = e[k++] == '-';
        std::string expDigits = e.substr(k);
        if (expDigits.empty() || !AllDigits(expDigits) || expDigits.size() > 6) return false;
        exponent = std::stol(expDigits);
        if (exponent > kMaxExponent) return false;
        if (expNegative) exponent = -exponent;
    }

    size_t point = mantissa.find('.');
    std::string intText = mantissa.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : mantissa.substr(point + 1);
    std::string intDigits;
    if (!TakeIntegerDigits(intText, intDigits) || !AllDigits(fraction)) return false;
    if (intDigits.empty() && fraction.empty()) return false;

    // Move the decimal point by the exponent over the digits as written.
    std::string digits = intDigits + fraction;
    long pointAt = static_cast<long>(intDigits.size()) + exponent;
    std::string whole, frac;
    if (pointAt <= 0) {
        frac = std::string(static_cast<size_t>(-pointAt), '0') + digits;
    } else if (pointAt >= static_cast<long>(digits.size())) {
        whole = digits + std::string(static_cast<size_t>(pointAt) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<size_t>(pointAt));
        frac = digits.substr(static_cast<size_t>(pointAt));
    }
    size_t firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);

    std::string result = negative ? "-" : "";
    result += whole;
    // A fraction keeps its digits as written, trailing zeros included ("1.50").
    if (!frac.empty()) result += "." + frac;
    out = CString(result);
    return true;
}

CString IntegerPart(const CString& normalized)
{
    int point = normalized.Find('.');
    CString whole = point < 0 ? normalized : normalized.Left(point);
    return whole == "-0" ? CString("0") : whole;
}

bool FormatDateValue(const CString& text, CString& out)
{
    COleDateTime t;
    if (text.IsEmpty()) t = COleDateTime::GetCurrentTime();
    else if (!t.ParseDateTime(text)) return false;
    bool timeOnly = !text.IsEmpty() && t.m_dt >= 0 && t.m_dt < 1;   // no date part was given
    out.Format("%04d-%02d-%02dT%02d:%02d:%02d", timeOnly ? 1900 : t.GetYear(), timeOnly ? 1 : t.GetMonth(),
               timeOnly ? 1 : t.GetDay(), t.GetHour(), t.GetMinute(), t.GetSecond());
    return true;
}

CString FormatSqlValue(int row, const CString& cell)
{
    CString number;
    switch (ClassOfTypeRow(row)) {
    case ValueClass::Integer:
        if (row == kUniqueIdentifier || row == kSqlVariant)
            return cell.IsEmpty() ? CString("NULL") : Quoted(cell, false);
        if (row == kBinary || row == kImage || row == kVarBinary) {
            if (cell.IsEmpty()) return "NULL";
            if (IsHexLiteral(cell)) return cell;
        }
        if (cell.IsEmpty()) return "0";
        return NormalizeNumber(cell, number) ? IntegerPart(number) : Quoted(cell, false);
    case ValueClass::Date: {
        CString iso;
        return FormatDateValue(cell, iso) ? "'" + iso + "'" : Quoted(cell, false);
    }
    case ValueClass::Decimal:
        if (cell.IsEmpty()) return "0.000000";
        return NormalizeNumber(cell, number) ? number : Quoted(cell, false);
    case ValueClass::Text:
        return Quoted(cell, row == kNText || row == kNVarChar || row == kNChar);
    }
    return Quoted(cell, false);
}
