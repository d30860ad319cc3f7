#pragma once
// TxblDBFGeneric: a function the table's formula hook answers. The hook is asked "FIND" when a
// name is unknown and "PARSE" each time a call is evaluated.
#include <string>
#include <string_view>

#include "tables/index/exp_registry.hpp"

namespace tables {

class TxbDBFExpUserLink;

class TxblDBFGeneric : public TxbUserDefFunction {
 public:
  // Without a name the function is "genericfunction".
  explicit TxblDBFGeneric(TxbDBFExpUserLink& link, std::string_view name = {});

  std::string_view Name() const override;
  // Calls the hook with "PARSE"; the result area's first 8 bytes hold the call node (see
  // FormulaCallNode) so that the hook can fetch the arguments. The answer: "C" zero-ended
  // text, "D" a 32-bit day, "F"/"N" an 8-byte double, "L" one character ("TtYyJj" true); any
  // other letter, or no hook, leaves the call undefined.
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;

  // Asks the hook with "FIND" whether it takes name.
  bool Takes(std::string_view name) const;

 private:
  TxbDBFExpUserLink& link_;
  std::string name_;
};

// The call node whose handle a PARSE result area carries in its first 8 bytes.
TxbExpFunction& FormulaCallNode(const char* rsl);

}  // namespace tables
