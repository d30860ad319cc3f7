#include "tools/xbtool/json_output.hpp"

#include <nlohmann/json.hpp>

namespace tools::xbtool {

std::string JsonText(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

JsonObjectLine& JsonObjectLine::Add(std::string_view name, const Json& value) {
  AddMember(name, JsonText(value));
  return *this;
}

JsonObjectLine& JsonObjectLine::AddNumber(std::string_view name, std::string_view literal) {
  AddMember(name, literal);
  return *this;
}

void JsonObjectLine::AddMember(std::string_view name, std::string_view valueText) {
  if (!members_.empty()) members_ += ',';
  members_ += JsonText(Json(name));
  members_ += ':';
  members_ += valueText;
}

JsonArrayLines::JsonArrayLines(std::ostream& out) : out_(out) {
  out_ << '[';
}

void JsonArrayLines::Element(std::string_view elementText) {
  out_ << (empty_ ? "\n" : ",\n") << elementText;
  empty_ = false;
}

void JsonArrayLines::End() {
  out_ << (empty_ ? "]\n" : "\n]\n");
}

}  // namespace tools::xbtool
