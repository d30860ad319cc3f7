#pragma once
// NAME=VALUE arguments of append and set, stored into the record image of an open table. The
// value is the field's stored text as a person types it: C as text (refused when longer than
// the field), N and F as a decimal number, D as yyyymmdd or YYYY-MM-DD, L as T or F (also Y, N
// and numbers, as the engine reads them), memo fields (M, G, and B outside version 0x30) as
// their text; in version 0x30 tables I as a whole number, B as a number, Y as a decimal with at
// most four decimals (stored exactly) and T as YYYY-MM-DD[THH:MM[:SS[.mmm]]]. An empty value
// blanks the field (removes a memo). Texts are converted into the table's code page.
#include <string>
#include <string_view>
#include <vector>

#include "tables/storage/dbf_fields.hpp"
#include "tools/xbtool/text_codec.hpp"

namespace tools::xbtool {

struct Assignment {
  std::string name;
  std::string value;  // as given on the command line
};

// Splits "NAME=VALUE" at the first "="; UsageError without one or with an empty name.
Assignment ParseAssignment(std::string_view argument);

// The NAME=VALUE arguments from arguments[first] on.
std::vector<Assignment> ParseAssignments(const std::vector<std::string>& arguments,
                                         std::size_t first);

// Stores every value into the record image, memo texts last so that a bad value elsewhere
// stops the command before a memo is written. Unknown and repeated names, and values that do
// not suit their field, raise errors naming the field.
void AssignFields(tables::XBO_dBaseFld& table, const std::vector<Assignment>& assignments,
                  const TextCodec& codec);

}  // namespace tools::xbtool
