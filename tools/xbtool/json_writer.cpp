#include "tools/xbtool/json_writer.hpp"

#include <cstdio>

namespace tools::xbtool {

std::string JsonString(std::string_view text) {
  std::string literal = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        literal += "\\\"";
        break;
      case '\\':
        literal += "\\\\";
        break;
      case '\n':
        literal += "\\n";
        break;
      case '\r':
        literal += "\\r";
        break;
      case '\t':
        literal += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[16];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
          literal += escape;
        } else {
          literal += c;
        }
    }
  }
  return literal + "\"";
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (!level.empty) out_ << ',';
  if (level.array) out_ << '\n';
  level.empty = false;
}

void JsonWriter::BeginArray() {
  BeforeValue();
  out_ << '[';
  levels_.push_back({true});
}

void JsonWriter::BeginObject() {
  BeforeValue();
  out_ << '{';
  levels_.push_back({false});
}

void JsonWriter::Close(char bracket) {
  const Level level = levels_.back();
  levels_.pop_back();
  if (level.array && !level.empty) out_ << '\n';
  out_ << bracket;
  if (levels_.empty()) out_ << '\n';
}

void JsonWriter::EndArray() {
  Close(']');
}

void JsonWriter::EndObject() {
  Close('}');
}

void JsonWriter::Key(std::string_view name) {
  BeforeValue();
  out_ << JsonString(name) << ':';
  afterKey_ = true;
}

void JsonWriter::String(std::string_view text) {
  BeforeValue();
  out_ << JsonString(text);
}

void JsonWriter::Number(std::string_view literal) {
  BeforeValue();
  out_ << literal;
}

void JsonWriter::Boolean(bool value) {
  BeforeValue();
  out_ << (value ? "true" : "false");
}

void JsonWriter::Null() {
  BeforeValue();
  out_ << "null";
}

}  // namespace tools::xbtool
