#include "convert/SqlValues.h"
#include "destination/SqlIdentifier.h"
#include "framework/OleDateTime.h"
#include <cctype>
#include <string>

namespace {
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

// Whether a text the parser read as a time of 1899-12-30 wrote that day itself. The parser
// puts a time alone on that same day; a date placed before a time alone still parses (to that
// date), while a text that already holds a date then has two and is refused.
bool NamesADay(const CString& text)
{
    COleDateTime t;
    return !t.ParseDateTime("2000-01-02 " + text) || t.GetYear() != 2000 || t.GetMonth() != 1 || t.GetDay() != 2;
}

// The forms the workbook driver gives dates in, yyyy-mm-dd and yyyy-mm-dd hh:mm:ss, with a
// year from 1000 and a day the calendar has: read here as the platform's parser reads them,
// for that parser costs more than all the rest of a row. Other texts are left to the parser.
bool ReadWorkbookDate(const std::string& s, int f[6])
{
    auto number = [&s](size_t at, size_t count, int& value) {
        value = 0;
        for (size_t i = at; i < at + count; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
            value = value * 10 + (s[i] - '0');
        }
        return true;
    };
    if (s.size() != 10 && s.size() != 19) return false;
    if (!number(0, 4, f[0]) || s[4] != '-' || !number(5, 2, f[1]) || s[7] != '-' || !number(8, 2, f[2])) return false;
    f[3] = f[4] = f[5] = 0;
    if (s.size() == 19 && (s[10] != ' ' || !number(11, 2, f[3]) || s[13] != ':' || !number(14, 2, f[4]) ||
                           s[16] != ':' || !number(17, 2, f[5])))
        return false;
    static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (f[0] % 4 == 0 && f[0] % 100 != 0) || f[0] % 400 == 0;
    return f[0] >= 1000 && f[1] >= 1 && f[1] <= 12 && f[2] >= 1 &&
           f[2] <= kMonthDays[f[1] - 1] + (f[1] == 2 && leap ? 1 : 0) && f[3] < 24 && f[4] < 60 && f[5] < 60;
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
    int f[6];
    if (ReadWorkbookDate(text.str(), f)) {
        out.Format("%04d-%02d-%02dT%02d:%02d:%02d", f[0], f[1], f[2], f[3], f[4], f[5]);
        return true;
    }
    COleDateTime t;
    if (text.IsEmpty()) t = COleDateTime::GetCurrentTime();
    else if (!t.ParseDateTime(text)) return false;
    bool timeOnly = !text.IsEmpty() && t.m_dt >= 0 && t.m_dt < 1 && !NamesADay(text);
    out.Format("%04d-%02d-%02dT%02d:%02d:%02d", timeOnly ? 1900 : t.GetYear(), timeOnly ? 1 : t.GetMonth(),
               timeOnly ? 1 : t.GetDay(), t.GetHour(), t.GetMinute(), t.GetSecond());
    return true;
}

CString FormatSqlValue(int row, const CString& cell)
{
    const SqlTypeRow& type = g_sqlTypeTable[row];
    CString number;
    switch (type.valueClass) {
    case ValueClass::Integer:
        if (type.form == ValueForm::QuotedOrNull) return cell.IsEmpty() ? CString("NULL") : Quoted(cell, false);
        if (type.form == ValueForm::BinaryOrNull) {
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
        return Quoted(cell, type.form == ValueForm::National);
    }
    return Quoted(cell, false);
}
