#include "expression.h"

#include <cstdlib>

#include "exact_number.h"
#include "sql_error.h"
#include "text.h"

namespace standin {

namespace {

std::optional<double> number_of(const Cell& c) {
  if (c.is_integer) return static_cast<double>(c.integer);
  if (!parse_exact(c.text, NumberSyntax{true, false, false})) return std::nullopt;
  return std::strtod(c.text.c_str(), nullptr);
}

Cell null_cell() { return Cell{}; }

}  // namespace

Cell literal_cell(const Literal& literal) {
  switch (literal.kind) {
    case Literal::Kind::Null:
    case Literal::Kind::Default:
      return null_cell();
    case Literal::Kind::Number: {
      auto n = parse_exact(literal.text, NumberSyntax{true, false, false});
      bool integral = literal.text.find_first_of(".eE") == std::string::npos;
      if (n && integral) {
        auto i = exact_to_int64(*n);
        if (i) return integer_cell(*i);
      }
      return text_cell(literal.text);
    }
    case Literal::Kind::Binary:
      return text_cell("0x" + ascii_upper(literal.text));
    default:
      return text_cell(literal.text);
  }
}

bool truthy(const Cell& c) {
  if (c.null) return false;
  if (c.is_integer) return c.integer != 0;
  return !c.text.empty();
}

std::optional<int> compare_cells(const Cell& a, const Cell& b) {
  if (a.null || b.null) return std::nullopt;
  if (a.is_integer && b.is_integer) return a.integer < b.integer ? -1 : a.integer > b.integer;
  if (a.is_integer || b.is_integer) {
    auto x = number_of(a), y = number_of(b);
    if (!x || !y) {
      const Cell& bad = x ? b : a;
      throw SqlError(245, 16, 1,
                     "Conversion failed when converting the varchar value '" + bad.text +
                         "' to data type int.");
    }
    return *x < *y ? -1 : *x > *y;
  }
  // Text: case-insensitive, trailing spaces ignored.
  auto strip = [](std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  };
  std::string x = strip(a.text), y = strip(b.text);
  if (iequals(x, y)) return 0;
  return collation_less(x, y) ? -1 : 1;
}

Cell evaluate(const Expr& e, const EvalRow& row, const FunctionResolver& functions) {
  switch (e.kind) {
    case Expr::Kind::Literal:
      return literal_cell(e.literal);
    case Expr::Kind::Column: {
      int i = row.source ? row.source->find(e.name) : -1;
      if (i < 0) throw invalid_column(e.name);
      return (*row.cells)[i];
    }
    case Expr::Kind::Variable: {
      auto v = functions(e.name, {});
      if (!v) throw SqlError(137, 15, 2, "Must declare the scalar variable \"" + e.name + "\".");
      return *v;
    }
    case Expr::Kind::Function: {
      std::vector<Cell> args;
      for (const auto& a : e.args) args.push_back(evaluate(*a, row, functions));
      auto v = functions(e.name, args);
      if (!v)
        throw SqlError(195, 15, 10, "'" + e.name + "' is not a recognized built-in function name.");
      return *v;
    }
    case Expr::Kind::Star:
      throw syntax_error("*");
    case Expr::Kind::IsNull: {
      bool null = evaluate(*e.args[0], row, functions).null;
      return integer_cell(null != e.negated ? 1 : 0);
    }
    case Expr::Kind::Unary: {
      Cell v = evaluate(*e.args[0], row, functions);
      if (e.name == "not") return integer_cell(truthy(v) ? 0 : 1);
      if (v.null || e.name == "+") return v;
      if (v.is_integer) return integer_cell(-v.integer);
      return text_cell(v.text[0] == '-' ? v.text.substr(1) : "-" + v.text);
    }
    case Expr::Kind::Binary: {
      if (e.name == "and") {
        Cell l = evaluate(*e.args[0], row, functions);
        if (!truthy(l)) return integer_cell(0);
        return integer_cell(truthy(evaluate(*e.args[1], row, functions)) ? 1 : 0);
      }
      if (e.name == "or") {
        Cell l = evaluate(*e.args[0], row, functions);
        if (truthy(l)) return integer_cell(1);
        return integer_cell(truthy(evaluate(*e.args[1], row, functions)) ? 1 : 0);
      }
      Cell l = evaluate(*e.args[0], row, functions), r = evaluate(*e.args[1], row, functions);
      if (e.name == "+" || e.name == "-") {
        if (l.null || r.null) return null_cell();
        if (l.is_integer && r.is_integer)
          return integer_cell(e.name == "+" ? l.integer + r.integer : l.integer - r.integer);
        if (e.name == "+" && !l.is_integer && !r.is_integer) return text_cell(l.text + r.text);
        throw not_supported("arithmetic on these values");
      }
      auto c = compare_cells(l, r);
      if (!c) return null_cell();  // unknown: neither true nor false
      bool result = e.name == "="                     ? *c == 0
                    : e.name == "<>" || e.name == "!=" ? *c != 0
                    : e.name == "<"                    ? *c < 0
                    : e.name == ">"                    ? *c > 0
                    : e.name == "<="                   ? *c <= 0
                                                       : *c >= 0;
      return integer_cell(result ? 1 : 0);
    }
  }
  return null_cell();
}

}  // namespace standin
