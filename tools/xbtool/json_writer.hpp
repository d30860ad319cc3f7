#pragma once
// A small streaming JSON writer: arrays put each element on a line of its own, objects stay
// on one line, so that an export of many records reads one record per line.
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tools::xbtool {

// text as a JSON string literal with its quotes: quote, backslash and control characters
// escaped, every other byte as it is.
std::string JsonString(std::string_view text);

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  void BeginArray();
  void EndArray();
  void BeginObject();
  void EndObject();
  // The member name of the next value inside an object.
  void Key(std::string_view name);
  void String(std::string_view text);
  // literal must be a valid JSON number.
  void Number(std::string_view literal);
  void Boolean(bool value);
  void Null();

 private:
  struct Level {
    bool array;
    bool empty = true;
  };
  // Separators and line breaks before a value or a member.
  void BeforeValue();
  void Close(char bracket);

  std::ostream& out_;
  std::vector<Level> levels_;
  bool afterKey_ = false;
};

}  // namespace tools::xbtool
