// Evaluates the expressions of select lists and WHERE clauses over one row.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalog.h"
#include "statement.h"

namespace standin {

// Resolves functions and @@variables; nullopt when the name is unknown.
using FunctionResolver =
    std::function<std::optional<Cell>(const std::string& name, const std::vector<Cell>& args)>;

struct EvalRow {
  const RowSource* source = nullptr;  // column names
  const std::vector<Cell>* cells = nullptr;
};

Cell literal_cell(const Literal& literal);
Cell evaluate(const Expr& e, const EvalRow& row, const FunctionResolver& functions);
bool truthy(const Cell& c);

// Three-way comparison as the server's collation orders values; nullopt when either is NULL.
std::optional<int> compare_cells(const Cell& a, const Cell& b);

}  // namespace standin
