#pragma once
// JSON as the tool writes it, through nlohmann::json. Objects stay on one line, arrays put each
// element on a line of its own, so that an export of many records reads one record per line.
// Texts that are not UTF-8 (a table read with --raw) have each bad byte replaced by U+FFFD, so
// that the output stays JSON.
#include <nlohmann/json_fwd.hpp>
#include <ostream>
#include <string>
#include <string_view>

namespace tools::xbtool {

using Json = nlohmann::ordered_json;

// value as compact JSON text.
std::string JsonText(const Json& value);

// One JSON object, its members in the order they are added (a table may name two fields
// alike; both are written). A number may be given by its decimal text, which is written as it
// is: a table's 1.50 or 1234567890123.4567 keeps its digits, which a double would not.
class JsonObjectLine {
 public:
  JsonObjectLine& Add(std::string_view name, const Json& value);
  // literal must be a JSON number.
  JsonObjectLine& AddNumber(std::string_view name, std::string_view literal);
  // The object without a line break.
  std::string Text() const { return "{" + members_ + "}"; }

 private:
  void AddMember(std::string_view name, std::string_view valueText);

  std::string members_;
};

// A JSON array written as its elements come: "[", each element on a line of its own, "]" and
// a line break at the end.
class JsonArrayLines {
 public:
  explicit JsonArrayLines(std::ostream& out);
  void Element(std::string_view elementText);
  void End();

 private:
  std::ostream& out_;
  bool empty_ = true;
};

}  // namespace tools::xbtool
