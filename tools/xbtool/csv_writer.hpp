#pragma once
// CSV as RFC 4180 writes it: rows end with CR LF; a field holding a comma, a quote, CR or LF
// is quoted, with its quotes doubled.
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tools::xbtool {

std::string CsvField(std::string_view text);

class CsvWriter {
 public:
  explicit CsvWriter(std::ostream& out) : out_(out) {}
  void Row(const std::vector<std::string>& fields);

 private:
  std::ostream& out_;
};

}  // namespace tools::xbtool
