#pragma once
// xbtool eval: parses an expression of the table engine's expression language and evaluates
// it, on its own or against records of a table.
//
//   xbtool eval EXPR [--table FILE [--key K] [--record N | --all]] [--json]
//
// Prints the expression's own text, the result type (code and name) and the value of each
// evaluation; --json prints one object per evaluation and line instead. Exit status 0, or 2
// when the expression or an evaluation fails (with --all every record is still evaluated).
#include <ostream>
#include <string>
#include <vector>

namespace tools::xbtool {

// args: the command line after the verb; the same as RunXbtool with "eval" in front of them.
int RunEvalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tools::xbtool
