#pragma once
// Literal nodes: text, number, date and boolean.
#include <string>
#include <string_view>

#include "tables/index/exp_node.hpp"

namespace tables {

class TxbExpTextLit : public TxbExpBaseObject {
 public:
  explicit TxbExpTextLit(std::string_view text);
  // The text between two double quotes.
  std::string Name() const override;
  std::uint8_t Evaluate(TxbExpValue& value) override;

 private:
  std::string text_;
};

class TxbExpNumLit : public TxbExpBaseObject {
 public:
  TxbExpNumLit(double value, int width, int decimals);
  // The value with its decimals, without leading blanks.
  std::string Name() const override;
  std::uint8_t Evaluate(TxbExpValue& value) override;
  double value() const { return value_; }

 private:
  double value_;
};

class TxbExpDateLit : public TxbExpBaseObject {
 public:
  // The machine gives the display form of the date.
  TxbExpDateLit(platform::Machine& machine, double day);
  // "{" + the date's display form + "}".
  std::string Name() const override;
  std::uint8_t Evaluate(TxbExpValue& value) override;

 private:
  platform::Machine& machine_;
  double day_;
};

class TxbExpBlnLit : public TxbExpBaseObject {
 public:
  explicit TxbExpBlnLit(bool value);
  // ".T." or ".F.".
  std::string Name() const override;
  std::uint8_t Evaluate(TxbExpValue& value) override;

 private:
  bool value_;
};

}  // namespace tables
