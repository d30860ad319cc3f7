#pragma once
// Helpers of the table-driven expression tests: evaluate a text and render the result so that
// one row can state type and value.
#include <cstdint>
#include <string>
#include <string_view>

#include "tables/index/exp_handler.hpp"
#include "tables/index/exp_number_text.hpp"

namespace tables::testing {

// One row: an expression, the result type it must have and its value rendered by Render.
struct ValueRow {
  const char* expression;
  std::uint8_t type;
  std::string value;
};

// One row of a failing expression: the message it must raise.
struct ErrorRow {
  const char* expression;
  const char* message;
};

// Text as it is, numbers and dates in shortest form, booleans as .T./.F., nothing for no
// value.
inline std::string Render(const TxbExpValue& value, std::uint8_t type) {
  if (value.IsUnassigned()) return {};
  switch (type) {
    case xb_type::Text:
      return value.text();
    case xb_type::Number:
    case xb_type::Date:
      return ShortestNumberText(value.number());
    case xb_type::Boolean:
      return value.boolean() ? ".T." : ".F.";
    default:
      return {};
  }
}

struct Outcome {
  std::uint8_t type;
  std::string value;
};

inline Outcome EvaluateText(std::string_view expression, TxbExpUserLink* link = nullptr) {
  TxbExpHandler handler(link, false, expression);
  const TxbExpValue& value = handler.Evaluate();
  return {handler.ResultType(), Render(value, handler.ResultType())};
}

// The message of the exception evaluating the text raises, or "" when it raises none.
template <typename Exception>
std::string MessageOf(std::string_view expression, TxbExpUserLink* link = nullptr) {
  try {
    TxbExpHandler handler(link, false, expression);
    handler.Evaluate();
  } catch (const Exception& e) {
    return e.what();
  }
  return {};
}

}  // namespace tables::testing
