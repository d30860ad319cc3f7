#pragma once
// TxbExpHandler: the one entry point of the expression language. It parses a text once into
// a tree it owns and evaluates the tree as often as asked, into a value or into a key.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "tables/index/exp_node.hpp"
#include "tables/index/exp_parser.hpp"
#include "tables/index/exp_registry.hpp"
#include "tables/index/exp_value.hpp"
#include "tables/index/key_variant.hpp"

namespace tables {

class TxbExpHandler {
 public:
  // Parses text (an empty text leaves no tree and result type 0). With sqlWildcards the
  // many-character wildcard of text patterns is "%" instead of "*". The link is not owned
  // and may be absent. Casing, decimal separator, dates and today are those of machine, which
  // must outlive the handler; without one, of the linked table's machine or else of the
  // current machine.
  TxbExpHandler(platform::Machine& machine, TxbExpUserLink* link, bool sqlWildcards,
                std::string_view text);
  TxbExpHandler(TxbExpUserLink* link, bool sqlWildcards, std::string_view text);
  TxbExpHandler(const TxbExpHandler&) = delete;
  TxbExpHandler& operator=(const TxbExpHandler&) = delete;

  // Frees the tree, clears the counts and the result type and parses text with the current
  // flags.
  void SetExpression(std::string_view text);

  // Evaluates the tree into the handler's value; ResultType tells its type (0 without tree).
  const TxbExpValue& Evaluate();
  // Evaluates into a key: Text as text, codes 4 and 7 as a double, Date as its day (0 for the
  // empty date), Boolean as a logical. Other types set the result type to 0 and leave the
  // key as it was, as does an unassigned result. Without a tree the key becomes empty text.
  void EvaluateKey(TxbVariant& key);
  // The key of the value Evaluate gave last, as EvaluateKey makes it (result type included).
  void TakeKey(TxbVariant& key);

  std::uint8_t ResultType() const { return resultType_; }
  const TxbExpValue& Value() const { return value_; }
  // The tree's display text, or empty text.
  std::string ExpressionText() const;
  // Names of the variables of a kind, each followed by ";" (17: the table fields).
  std::string NamesOfKind(int kind) const;

  int OperandCount() const { return stats_.count; }
  int WidestOperand() const { return stats_.widest; }
  int MostDecimals() const { return stats_.decimals; }

  bool CaseInsensitive() const { return rules_.caseInsensitive; }
  void SetCaseInsensitive(bool on) { rules_.caseInsensitive = on; }
  bool PartialCompare() const { return rules_.partialCompare; }
  void SetPartialCompare(bool on) { rules_.partialCompare = on; }
  char Wildcard() const { return rules_.wildcard; }

  TxbExpUserLink* Link() const { return link_; }
  platform::Machine& machine() const { return machine_; }
  const TxbExpBaseObject* Root() const { return root_.get(); }

 private:
  void Parse(std::string_view text);

  platform::Machine& machine_;
  TxbExpUserLink* link_;
  std::uint8_t resultType_ = xb_type::None;
  TxbExpOperandStats stats_;
  std::unique_ptr<TxbExpBaseObject> root_;
  TxbTextCompareRules rules_;
  TxbExpValue value_;
};

}  // namespace tables
