#pragma once
// The reader of expression texts: reads a text level by level into flat item lists, binds
// each list by operator precedence and returns the tree.
#include <memory>
#include <string_view>

#include "tables/index/exp_node.hpp"
#include "tables/index/exp_registry.hpp"
#include "tables/index/exp_text_compare.hpp"

namespace tables {

class TxbExpHandler;

// What a parse needs from its handler.
struct TxbExpParseSettings {
  TxbExpHandler* handler = nullptr;      // kept by call and variable nodes
  platform::Machine* machine = nullptr;  // casing, dates and numbers of the parse
  TxbExpUserLink* link = nullptr;        // may be absent
  TxbTextCompareRules rules;             // copied into every operator node
};

// Counts over the literals, variables and calls of an expression at every depth.
struct TxbExpOperandStats {
  int count = 0;     // literals, variables and function calls
  int widest = 0;    // widest variable or numeric literal
  int decimals = 0;  // most decimals of a numeric literal
};

// Groups, calls and operator chains may nest this deep; deeper expressions are refused with
// "Expression cannot be evaluated" so that evaluating or freeing a tree cannot exhaust the
// stack.
inline constexpr int kMaxExpressionDepth = 1000;

// Parses text; an empty text (or one with no items) gives nullptr. Raises EXbaseExpression
// with the parse messages; stats are added to as operands are read.
std::unique_ptr<TxbExpBaseObject> ParseExpression(std::string_view text,
                                                  const TxbExpParseSettings& settings,
                                                  TxbExpOperandStats& stats);

}  // namespace tables
