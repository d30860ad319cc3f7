#include "tools/xbtool/csv_writer.hpp"

namespace tools::xbtool {

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

void CsvWriter::Row(const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out_ << ',';
    out_ << CsvField(fields[i]);
  }
  out_ << "\r\n";
}

}  // namespace tools::xbtool
